#include "bit_writer.h"

#include <array>
#include <cmath>
#include <cstring>

namespace dwgframe {

namespace {

std::array<std::uint16_t, 256> MakeCrcTable() {
  std::array<std::uint16_t, 256> table{};
  for (unsigned i = 0; i < 256; ++i) {
    std::uint16_t c = static_cast<std::uint16_t>(i);
    for (int k = 0; k < 8; ++k) c = (c & 1) ? static_cast<std::uint16_t>((c >> 1) ^ 0xA001) : static_cast<std::uint16_t>(c >> 1);
    table[i] = c;
  }
  return table;
}

}  // namespace

std::uint16_t Crc16(const std::uint8_t* data, std::size_t size, std::uint16_t seed) {
  static const std::array<std::uint16_t, 256> table = MakeCrcTable();
  std::uint16_t crc = seed;
  for (std::size_t i = 0; i < size; ++i) crc = static_cast<std::uint16_t>((crc >> 8) ^ table[(crc ^ data[i]) & 0xFF]);
  return crc;
}

void BitWriter::B(bool bit) {
  if (bits_ % 8 == 0) bytes_.push_back(0);
  if (bit) bytes_.back() |= static_cast<std::uint8_t>(0x80u >> (bits_ % 8));
  ++bits_;
}

void BitWriter::Bits(std::uint32_t value, int count) {
  for (int i = count - 1; i >= 0; --i) B(((value >> i) & 1u) != 0);
}

void BitWriter::RS(std::uint16_t v) {
  RC(static_cast<std::uint8_t>(v & 0xFF));
  RC(static_cast<std::uint8_t>(v >> 8));
}

void BitWriter::RL(std::uint32_t v) {
  for (int i = 0; i < 4; ++i) RC(static_cast<std::uint8_t>(v >> (8 * i)));
}

void BitWriter::RD(double v) {
  std::uint8_t raw[8];
  std::memcpy(raw, &v, sizeof raw);  // IEEE little-endian on every target we build for
  Raw(raw, sizeof raw);
}

void BitWriter::Raw(const std::vector<std::uint8_t>& bytes) { Raw(bytes.data(), bytes.size()); }

void BitWriter::Raw(const std::uint8_t* bytes, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) RC(bytes[i]);
}

void BitWriter::BS(std::uint16_t v) {
  if (v == 0) {
    BB(2);
  } else if (v == 256) {
    BB(3);
  } else if (v < 256) {
    BB(1);
    RC(static_cast<std::uint8_t>(v));
  } else {
    BB(0);
    RS(v);
  }
}

void BitWriter::BL(std::uint32_t v) {
  if (v == 0) {
    BB(2);
  } else if (v < 256) {
    BB(1);
    RC(static_cast<std::uint8_t>(v));
  } else {
    BB(0);
    RL(v);
  }
}

void BitWriter::BD(double v) {
  if (v == 0.0 && !std::signbit(v)) {
    BB(2);
  } else if (v == 1.0) {
    BB(1);
  } else {
    BB(0);
    RD(v);
  }
}

void BitWriter::DD(double v, double fallback) {
  if (std::memcmp(&v, &fallback, sizeof v) == 0) {
    BB(0);
  } else {
    BB(3);
    RD(v);
  }
}

void BitWriter::BT(double thickness) {
  if (thickness == 0.0) {
    B(true);
  } else {
    B(false);
    BD(thickness);
  }
}

void BitWriter::BE(double x, double y, double z) {
  if (x == 0.0 && y == 0.0 && z == 1.0) {
    B(true);
  } else {
    B(false);
    P3BD(x, y, z);
  }
}

void BitWriter::H(std::uint8_t code, std::uint32_t handle) {
  std::uint8_t be[4];
  int n = 0;
  for (int i = 3; i >= 0; --i) {
    std::uint8_t b = static_cast<std::uint8_t>(handle >> (8 * i));
    if (n == 0 && b == 0) continue;
    be[n++] = b;
  }
  Bits(code & 0xFu, 4);
  Bits(static_cast<std::uint32_t>(n), 4);
  Raw(be, static_cast<std::size_t>(n));
}

void BitWriter::T(const std::string& text) {
  BS(static_cast<std::uint16_t>(text.size()));
  Raw(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

void BitWriter::Append(const BitWriter& other) {
  for (std::size_t i = 0; i < other.bits_; ++i) B(((other.bytes_[i / 8] >> (7 - i % 8)) & 1u) != 0);
}

void BitWriter::PadToByte() {
  while (bits_ % 8 != 0) B(false);
}

void BitWriter::PatchRL(std::size_t bitPos, std::uint32_t v) {
  for (int i = 0; i < 32; ++i) {
    const std::size_t pos = bitPos + static_cast<std::size_t>(i);
    const int byteIndex = i / 8;  // little-endian byte order, each byte MSB first
    const bool bit = ((v >> (8 * byteIndex + (7 - i % 8))) & 1u) != 0;
    const std::uint8_t mask = static_cast<std::uint8_t>(0x80u >> (pos % 8));
    if (bit) bytes_[pos / 8] |= mask; else bytes_[pos / 8] &= static_cast<std::uint8_t>(~mask);
  }
}

void AppendModularShort(std::vector<std::uint8_t>& out, std::uint32_t v) {
  do {
    std::uint16_t word = static_cast<std::uint16_t>(v & 0x7FFF);
    v >>= 15;
    if (v != 0) word |= 0x8000;
    out.push_back(static_cast<std::uint8_t>(word & 0xFF));
    out.push_back(static_cast<std::uint8_t>(word >> 8));
  } while (v != 0);
}

void AppendModularChar(std::vector<std::uint8_t>& out, std::uint32_t v) {
  do {
    std::uint8_t b = static_cast<std::uint8_t>(v & 0x7F);
    v >>= 7;
    if (v != 0) b |= 0x80;
    out.push_back(b);
  } while (v != 0);
}

void AppendSignedModularChar(std::vector<std::uint8_t>& out, std::int32_t v) {
  const bool negative = v < 0;
  std::uint32_t mag = negative ? static_cast<std::uint32_t>(-static_cast<std::int64_t>(v)) : static_cast<std::uint32_t>(v);
  while (mag >= 0x40) {
    out.push_back(static_cast<std::uint8_t>(0x80 | (mag & 0x7F)));
    mag >>= 7;
  }
  out.push_back(static_cast<std::uint8_t>(mag | (negative ? 0x40 : 0)));
}

}  // namespace dwgframe
