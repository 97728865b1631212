#include "dwg_file.h"

#include <algorithm>
#include <stdexcept>

namespace dwgframe {

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::uint8_t kHeaderVarsBegin[16] = {0xCF, 0x7B, 0x1F, 0x23, 0xFD, 0xDE, 0x38, 0xA9,
                                           0x5F, 0x7C, 0x68, 0xB8, 0x4E, 0x6D, 0x33, 0x5F};
const std::uint8_t kHeaderVarsEnd[16] = {0x30, 0x84, 0xE0, 0xDC, 0x02, 0x21, 0xC7, 0x56,
                                         0xA0, 0x83, 0x97, 0x47, 0xB1, 0x92, 0xCC, 0xA0};
const std::uint8_t kClassesBegin[16] = {0x8D, 0xA1, 0xC4, 0xB8, 0xC4, 0xA9, 0xF8, 0xC5,
                                        0xC0, 0xDC, 0xF4, 0x5F, 0xE7, 0xCF, 0xB6, 0x8A};
const std::uint8_t kClassesEnd[16] = {0x72, 0x5E, 0x3B, 0x47, 0x3B, 0x56, 0x07, 0x3A,
                                      0x3F, 0x23, 0x0B, 0xA0, 0x18, 0x30, 0x49, 0x75};
const std::uint8_t kFileHeaderEnd[16] = {0x95, 0xA0, 0x4E, 0x28, 0x99, 0x82, 0x1A, 0xE5,
                                         0x5E, 0x41, 0xE0, 0x5F, 0x9D, 0x3A, 0x4D, 0x00};
const std::uint8_t kPreviewBegin[16] = {0x1F, 0x25, 0x6D, 0x07, 0xD4, 0x36, 0x28, 0x28,
                                        0x9D, 0x57, 0xCA, 0x3F, 0x9D, 0x44, 0x10, 0x2B};
const std::uint8_t kPreviewEnd[16] = {0xE0, 0xDA, 0x92, 0xF8, 0x2B, 0xC9, 0xD7, 0xD7,
                                      0x62, 0xA8, 0x35, 0xC0, 0x62, 0xBB, 0xEF, 0xD4};
const std::uint8_t kSecondHeaderBegin[16] = {0xD4, 0x7B, 0x21, 0xCE, 0x28, 0x93, 0x9F, 0xBF,
                                             0x53, 0x24, 0x40, 0x09, 0x12, 0x3C, 0xAA, 0x01};
const std::uint8_t kSecondHeaderEnd[16] = {0x2B, 0x84, 0xDE, 0x31, 0xD7, 0x6C, 0x60, 0x40,
                                           0xAC, 0xDB, 0xBF, 0xF6, 0xED, 0xC3, 0x55, 0xFE};

// Version bytes of the writing application: AutoCAD 2000 (file version 0x17, maintenance 6).
constexpr std::uint8_t kAppVersion = 0x17;
constexpr std::uint8_t kAppMaintenance = 6;
constexpr std::uint16_t kCodepageAnsi1252 = 30;
constexpr std::uint32_t kObjectStreamMarker = 0x0DCA;
constexpr std::size_t kMaxMapSection = 2032;

void Put(Bytes& out, const std::uint8_t* p, std::size_t n) { out.insert(out.end(), p, p + n); }
void PutRS(Bytes& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void PutRL(Bytes& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void PatchRL(Bytes& out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}
std::uint32_t Offset(const Bytes& out) { return static_cast<std::uint32_t>(out.size()); }

// Sentinel, RL size, data, CRC over size and data, end sentinel.
void PutSentinelSection(Bytes& out, const std::uint8_t* begin, const std::uint8_t* end, const Bytes& data) {
  Put(out, begin, 16);
  Bytes sized;
  PutRL(sized, static_cast<std::uint32_t>(data.size()));
  sized.insert(sized.end(), data.begin(), data.end());
  Put(out, sized.data(), sized.size());
  PutRS(out, Crc16(sized, 0xC0C1));
  Put(out, end, 16);
}

Bytes AuxHeader(const FileContents& c) {
  Bytes a = {0xFF, 0x77, 0x01};
  PutRS(a, kAppVersion);
  PutRS(a, kAppMaintenance);
  PutRL(a, 1);  // saves
  PutRL(a, 0xFFFFFFFF);
  PutRS(a, 1);
  PutRS(a, 0);
  PutRL(a, 0);
  for (int i = 0; i < 2; ++i) {
    PutRS(a, kAppVersion);
    PutRS(a, kAppMaintenance);
  }
  for (int i = 0; i < 2; ++i) {  // writer build numbers
    PutRS(a, 0x0206);
    PutRS(a, 0x23F0);
  }
  PutRS(a, 0);
  PutRS(a, 1);
  for (int i = 0; i < 5; ++i) PutRL(a, 0);
  for (int i = 0; i < 2; ++i) {  // TDCREATE, TDUPDATE
    PutRL(a, c.julianDay);
    PutRL(a, c.milliseconds);
  }
  PutRL(a, c.handseed);
  PutRL(a, 0);  // educational plot stamp
  PutRS(a, 0);
  PutRS(a, 1);
  for (int i = 0; i < 4; ++i) PutRL(a, 0);
  PutRL(a, 1);  // saves
  for (int i = 0; i < 3; ++i) PutRL(a, 0);
  if (a.size() != kAuxHeaderSize) throw std::logic_error("auxiliary header size");
  return a;
}

Bytes ClassesData(const std::vector<DwgClass>& classes) {
  BitWriter w;
  for (const DwgClass& k : classes) {
    w.BS(k.number);
    w.BS(0);  // proxy capability flags
    w.T("ObjectDBX Classes");
    w.T(k.cppName);
    w.T(k.dxfName);
    w.B(false);   // not a zombie
    w.BS(0x1F3);  // object class (0x1F2 would be an entity class)
  }
  return w.Bytes();
}

// Sections of at most 2032 bytes: big-endian size, (handle, offset) deltas, big-endian CRC.
Bytes ObjectMap(std::vector<std::pair<Handle, std::uint32_t>> locations) {
  std::sort(locations.begin(), locations.end());
  Bytes out;
  std::size_t i = 0;
  while (true) {
    Bytes section = {0, 0};
    Handle lastHandle = 0;
    std::int64_t lastLoc = 0;
    while (i < locations.size()) {
      Bytes entry;
      AppendModularChar(entry, locations[i].first - lastHandle);
      AppendSignedModularChar(entry, static_cast<std::int32_t>(locations[i].second - lastLoc));
      if (section.size() + entry.size() > kMaxMapSection) break;
      section.insert(section.end(), entry.begin(), entry.end());
      lastHandle = locations[i].first;
      lastLoc = locations[i].second;
      ++i;
    }
    section[0] = static_cast<std::uint8_t>(section.size() >> 8);
    section[1] = static_cast<std::uint8_t>(section.size() & 0xFF);
    const std::uint16_t crc = Crc16(section, 0xC0C1);
    out.insert(out.end(), section.begin(), section.end());
    out.push_back(static_cast<std::uint8_t>(crc >> 8));
    out.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    if (section.size() == 2) break;  // the empty section ends the map
  }
  return out;
}

Bytes FreeSpaceRecord(const FileContents& c, std::uint32_t objectsStart) {
  Bytes f;
  PutRL(f, 0);
  PutRL(f, static_cast<std::uint32_t>(c.objects.size()));
  PutRL(f, c.julianDay);
  PutRL(f, c.milliseconds);
  PutRL(f, objectsStart);
  f.push_back(4);
  for (std::uint32_t v : {0x32u, 0u, 0x64u, 0u, 0x200u, 0u, 0xFFFFFFFFu, 0u}) PutRL(f, v);
  return f;
}

struct Locator {
  std::uint8_t number;
  std::uint32_t address;
  std::uint32_t size;
};

Bytes SecondHeader(const FileContents& c, std::uint32_t address, const std::vector<Locator>& locators) {
  BitWriter w;
  w.RL(0);  // size, patched below
  w.BL(address);
  for (char ch : std::string("AC1015")) w.RC(static_cast<std::uint8_t>(ch));
  for (int i = 0; i < 5; ++i) w.RC(0);
  w.RC(kAppMaintenance);
  w.RC(1);
  w.BS(static_cast<std::uint16_t>(kAppVersion | (kAppMaintenance << 8)));
  w.RS(kCodepageAnsi1252);
  w.BS(static_cast<std::uint16_t>(locators.size()));
  for (const Locator& l : locators) {
    w.RC(l.number);
    // This copy leaves the measurement record out, as AutoCAD's does.
    w.BL(l.number == 4 ? 0 : l.address);
    w.BL(l.number == 4 ? 0 : l.size);
  }
  std::vector<std::pair<std::uint8_t, Handle>> handles = {{0, c.handseed}};
  handles.insert(handles.end(), c.secondHeaderHandles.begin(), c.secondHeaderHandles.end());
  w.BS(static_cast<std::uint16_t>(handles.size()));
  for (const auto& h : handles) {
    std::vector<std::uint8_t> be;
    for (int i = 3; i >= 0; --i) {
      const std::uint8_t b = static_cast<std::uint8_t>(h.second >> (8 * i));
      if (be.empty() && b == 0) continue;
      be.push_back(b);
    }
    w.RC(static_cast<std::uint8_t>(be.size()));
    w.RC(h.first);
    w.Raw(be);
  }
  w.PadToByte();
  Bytes body = w.Bytes();
  const std::uint32_t size = static_cast<std::uint32_t>(body.size() + 2 + 8);  // with CRC and trailer
  PatchRL(body, 0, size);
  const std::uint16_t crc = Crc16(body, 0xC0C1);
  Bytes out;
  Put(out, kSecondHeaderBegin, 16);
  out.insert(out.end(), body.begin(), body.end());
  PutRS(out, crc);
  for (int i = 0; i < 8; ++i) out.push_back(0);
  Put(out, kSecondHeaderEnd, 16);
  return out;
}

}  // namespace

std::vector<std::uint8_t> AssembleR2000(const FileContents& c) {
  Bytes out(kFileHeaderSize, 0);
  std::vector<Locator> loc(6);
  for (std::uint8_t i = 0; i < 6; ++i) loc[i].number = i;

  loc[5] = {5, Offset(out), kAuxHeaderSize};
  const Bytes aux = AuxHeader(c);
  out.insert(out.end(), aux.begin(), aux.end());

  const std::uint32_t previewAddress = Offset(out);
  Put(out, kPreviewBegin, 16);
  PutRL(out, 1);
  out.push_back(0);  // no preview images
  Put(out, kPreviewEnd, 16);

  std::uint32_t start = Offset(out);
  PutSentinelSection(out, kHeaderVarsBegin, kHeaderVarsEnd, c.headerVariables.Bytes());
  loc[0] = {0, start, Offset(out) - start};

  start = Offset(out);
  PutSentinelSection(out, kClassesBegin, kClassesEnd, ClassesData(c.classes));
  loc[1] = {1, start, Offset(out) - start};

  PutRL(out, kObjectStreamMarker);
  const std::uint32_t objectsStart = Offset(out);
  std::vector<std::pair<Handle, std::uint32_t>> locations;
  for (const auto& o : c.objects) {
    locations.emplace_back(o.first, Offset(out));
    out.insert(out.end(), o.second.begin(), o.second.end());
  }

  start = Offset(out);
  const Bytes map = ObjectMap(locations);
  out.insert(out.end(), map.begin(), map.end());
  loc[2] = {2, start, Offset(out) - start};

  start = Offset(out);
  const Bytes freeSpace = FreeSpaceRecord(c, objectsStart);
  out.insert(out.end(), freeSpace.begin(), freeSpace.end());
  loc[3] = {3, start, Offset(out) - start};

  // The measurement record follows the second header; its place is known before it is written.
  const std::uint32_t secondHeaderAddress = Offset(out);
  const Bytes probe = SecondHeader(c, secondHeaderAddress, loc);
  loc[4] = {4, secondHeaderAddress + static_cast<std::uint32_t>(probe.size()), 4};
  const Bytes second = SecondHeader(c, secondHeaderAddress, loc);
  out.insert(out.end(), second.begin(), second.end());

  PutRS(out, 0);                 // no template description
  PutRS(out, c.metric ? 1 : 0);  // MEASUREMENT

  // File header.
  Bytes h;
  for (char ch : std::string("AC1015")) h.push_back(static_cast<std::uint8_t>(ch));
  for (int i = 0; i < 5; ++i) h.push_back(0);
  h.push_back(kAppMaintenance);
  h.push_back(1);
  PutRL(h, previewAddress);
  h.push_back(kAppVersion);
  h.push_back(kAppMaintenance);
  PutRS(h, kCodepageAnsi1252);
  PutRL(h, static_cast<std::uint32_t>(loc.size()));
  for (const Locator& l : loc) {
    h.push_back(l.number);
    PutRL(h, l.address);
    PutRL(h, l.size);
  }
  PutRS(h, static_cast<std::uint16_t>(Crc16(h, 0) ^ 0x8461));  // 0x8461: six locator records
  Put(h, kFileHeaderEnd, 16);
  if (h.size() != kFileHeaderSize) throw std::logic_error("file header size");
  std::copy(h.begin(), h.end(), out.begin());
  return out;
}

}  // namespace dwgframe
