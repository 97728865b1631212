// Bit-level encoder for the R13-R2000 DWG stream types, and the file's CRC-16.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace dwgframe {

// CRC-16 as DWG uses it: reflected polynomial 0xA001, table driven, caller-chosen seed.
std::uint16_t Crc16(const std::uint8_t* data, std::size_t size, std::uint16_t seed);
inline std::uint16_t Crc16(const std::vector<std::uint8_t>& data, std::uint16_t seed) {
  return Crc16(data.data(), data.size(), seed);
}

// Handle reference codes used in handle streams.
enum RefCode : std::uint8_t {
  kSoftOwner = 2,
  kHardOwner = 3,
  kSoftPointer = 4,
  kHardPointer = 5,
};

// Writes values most significant bit first, as DWG streams are laid out. Raw multi-byte values
// (RS, RL, RD) are little-endian even when they do not start on a byte boundary.
class BitWriter {
 public:
  void B(bool bit);
  void Bits(std::uint32_t value, int count);
  void BB(unsigned code) { Bits(code & 3u, 2); }
  void RC(std::uint8_t v) { Bits(v, 8); }
  void RS(std::uint16_t v);
  void RL(std::uint32_t v);
  void RD(double v);
  void Raw(const std::vector<std::uint8_t>& bytes);
  void Raw(const std::uint8_t* bytes, std::size_t size);

  void BS(std::uint16_t v);
  void BL(std::uint32_t v);
  void BD(double v);
  void DD(double v, double fallback);  // bit double with default
  void BT(double thickness);
  void BE(double x, double y, double z);
  void CMC(std::uint16_t colorIndex) { BS(colorIndex); }
  void H(std::uint8_t code, std::uint32_t handle);
  void T(const std::string& text);  // R2000 text: BS length, then the bytes
  void P2RD(double x, double y) { RD(x); RD(y); }
  void P2BD(double x, double y) { BD(x); BD(y); }
  void P3BD(double x, double y, double z) { BD(x); BD(y); BD(z); }

  void Append(const BitWriter& other);
  void PadToByte();
  void PatchRL(std::size_t bitPos, std::uint32_t v);  // overwrite a raw long written earlier

  std::size_t BitCount() const { return bits_; }
  std::size_t ByteCount() const { return (bits_ + 7) / 8; }
  // The bytes written so far; a trailing partial byte is padded with zero bits.
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t bits_ = 0;
};

// Modular encodings used by the object stream and the object map (byte aligned).
void AppendModularShort(std::vector<std::uint8_t>& out, std::uint32_t v);
void AppendModularChar(std::vector<std::uint8_t>& out, std::uint32_t v);      // unsigned
void AppendSignedModularChar(std::vector<std::uint8_t>& out, std::int32_t v);  // sign in bit 6 of the last byte

}  // namespace dwgframe
