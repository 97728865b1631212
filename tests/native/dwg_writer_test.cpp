// The part-frame drawing read back by a small R2000 reader written for these tests, independent of
// the writer's encoder: file header and sections with their sentinels and CRCs, the object map,
// every handle reference, the header variables and the frame's lines. The same reader also reads
// an AutoCAD-written drawing, which keeps the reader itself honest.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bit_writer.h"
#include "dwg_writer.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// ---------------------------------------------------------------- reader primitives

std::uint16_t BitwiseCrc(const std::uint8_t* p, std::size_t n, std::uint16_t seed) {
  std::uint16_t c = seed;
  for (std::size_t i = 0; i < n; ++i) {
    c ^= p[i];
    for (int k = 0; k < 8; ++k) c = (c & 1) ? static_cast<std::uint16_t>((c >> 1) ^ 0xA001) : static_cast<std::uint16_t>(c >> 1);
  }
  return c;
}

std::uint16_t LE16(const Bytes& d, std::size_t at) { return static_cast<std::uint16_t>(d.at(at) | (d.at(at + 1) << 8)); }
std::uint32_t LE32(const Bytes& d, std::size_t at) {
  return static_cast<std::uint32_t>(d.at(at)) | (static_cast<std::uint32_t>(d.at(at + 1)) << 8) |
         (static_cast<std::uint32_t>(d.at(at + 2)) << 16) | (static_cast<std::uint32_t>(d.at(at + 3)) << 24);
}
bool BytesAt(const Bytes& d, std::size_t at, const std::vector<std::uint8_t>& expect) {
  return at + expect.size() <= d.size() && std::equal(expect.begin(), expect.end(), d.begin() + static_cast<long>(at));
}

struct HandleRef {
  std::uint8_t code;
  std::uint32_t value;
};

class BitReader {
 public:
  BitReader(const Bytes& d, std::size_t bytePos) : d_(d), pos_(bytePos * 8) {}
  std::size_t Pos() const { return pos_; }
  void Seek(std::size_t bit) { pos_ = bit; }
  bool B() {
    if (pos_ / 8 >= d_.size()) throw std::out_of_range("read past the end of the file");
    const bool b = ((d_[pos_ / 8] >> (7 - pos_ % 8)) & 1) != 0;
    ++pos_;
    return b;
  }
  std::uint32_t Bits(int n) {
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = (v << 1) | (B() ? 1u : 0u);
    return v;
  }
  unsigned BB() { return Bits(2); }
  std::uint8_t RC() { return static_cast<std::uint8_t>(Bits(8)); }
  std::uint16_t RS() { const std::uint16_t lo = RC(); return static_cast<std::uint16_t>(lo | (RC() << 8)); }
  std::uint32_t RL() { const std::uint32_t lo = RS(); return lo | (static_cast<std::uint32_t>(RS()) << 16); }
  double RD() {
    std::uint8_t raw[8];
    for (auto& b : raw) b = RC();
    double v;
    std::memcpy(&v, raw, 8);
    return v;
  }
  std::uint16_t BS() {
    switch (BB()) {
      case 0: return RS();
      case 1: return RC();
      case 2: return 0;
      default: return 256;
    }
  }
  std::uint32_t BL() {
    switch (BB()) {
      case 0: return RL();
      case 1: return RC();
      case 2: return 0;
      default: throw std::runtime_error("invalid BL code");
    }
  }
  double BD() {
    switch (BB()) {
      case 0: return RD();
      case 1: return 1.0;
      case 2: return 0.0;
      default: throw std::runtime_error("invalid BD code");
    }
  }
  double DD(double fallback) {
    std::uint8_t raw[8];
    std::memcpy(raw, &fallback, 8);
    switch (BB()) {
      case 0: return fallback;
      case 1: for (int i = 0; i < 4; ++i) raw[i] = RC(); break;
      case 2: raw[4] = RC(); raw[5] = RC(); for (int i = 0; i < 4; ++i) raw[i] = RC(); break;
      default: return RD();
    }
    double v;
    std::memcpy(&v, raw, 8);
    return v;
  }
  double BT() { return B() ? 0.0 : BD(); }
  void BE() { if (!B()) { BD(); BD(); BD(); } }
  HandleRef H() {
    HandleRef h{static_cast<std::uint8_t>(Bits(4)), 0};
    const int n = static_cast<int>(Bits(4));
    for (int i = 0; i < n; ++i) h.value = (h.value << 8) | RC();
    return h;
  }
  std::string T() {
    const std::uint16_t n = BS();
    std::string s;
    for (std::uint16_t i = 0; i < n; ++i) s.push_back(static_cast<char>(RC()));
    return s;
  }

 private:
  const Bytes& d_;
  std::size_t pos_;
};

std::uint32_t ReadModularChar(const Bytes& d, std::size_t& at) {
  std::uint32_t v = 0;
  for (int shift = 0;; shift += 7) {
    const std::uint8_t c = d.at(at++);
    v |= static_cast<std::uint32_t>(c & 0x7F) << shift;
    if (!(c & 0x80)) return v;
  }
}
std::int32_t ReadSignedModularChar(const Bytes& d, std::size_t& at) {
  std::uint32_t v = 0;
  for (int shift = 0;; shift += 7) {
    const std::uint8_t c = d.at(at++);
    if (c & 0x80) {
      v |= static_cast<std::uint32_t>(c & 0x7F) << shift;
    } else {
      v |= static_cast<std::uint32_t>(c & 0x3F) << shift;
      return (c & 0x40) ? -static_cast<std::int32_t>(v) : static_cast<std::int32_t>(v);
    }
  }
}
std::uint32_t ReadModularShort(const Bytes& d, std::size_t& at) {
  std::uint32_t v = 0;
  for (int shift = 0;; shift += 15) {
    const std::uint16_t w = LE16(d, at);
    at += 2;
    v |= static_cast<std::uint32_t>(w & 0x7FFF) << shift;
    if (!(w & 0x8000)) return v;
  }
}

// ---------------------------------------------------------------- file model

const std::vector<std::uint8_t> kFileHeaderEnd = {0x95, 0xA0, 0x4E, 0x28, 0x99, 0x82, 0x1A, 0xE5,
                                                  0x5E, 0x41, 0xE0, 0x5F, 0x9D, 0x3A, 0x4D, 0x00};
const std::vector<std::uint8_t> kHeaderBegin = {0xCF, 0x7B, 0x1F, 0x23, 0xFD, 0xDE, 0x38, 0xA9,
                                                0x5F, 0x7C, 0x68, 0xB8, 0x4E, 0x6D, 0x33, 0x5F};
const std::vector<std::uint8_t> kHeaderEnd = {0x30, 0x84, 0xE0, 0xDC, 0x02, 0x21, 0xC7, 0x56,
                                              0xA0, 0x83, 0x97, 0x47, 0xB1, 0x92, 0xCC, 0xA0};
const std::vector<std::uint8_t> kClassesBegin = {0x8D, 0xA1, 0xC4, 0xB8, 0xC4, 0xA9, 0xF8, 0xC5,
                                                 0xC0, 0xDC, 0xF4, 0x5F, 0xE7, 0xCF, 0xB6, 0x8A};
const std::vector<std::uint8_t> kClassesEnd = {0x72, 0x5E, 0x3B, 0x47, 0x3B, 0x56, 0x07, 0x3A,
                                               0x3F, 0x23, 0x0B, 0xA0, 0x18, 0x30, 0x49, 0x75};
const std::vector<std::uint8_t> kPreviewBegin = {0x1F, 0x25, 0x6D, 0x07, 0xD4, 0x36, 0x28, 0x28,
                                                 0x9D, 0x57, 0xCA, 0x3F, 0x9D, 0x44, 0x10, 0x2B};
const std::vector<std::uint8_t> kPreviewEnd = {0xE0, 0xDA, 0x92, 0xF8, 0x2B, 0xC9, 0xD7, 0xD7,
                                               0x62, 0xA8, 0x35, 0xC0, 0x62, 0xBB, 0xEF, 0xD4};
const std::vector<std::uint8_t> kSecondBegin = {0xD4, 0x7B, 0x21, 0xCE, 0x28, 0x93, 0x9F, 0xBF,
                                                0x53, 0x24, 0x40, 0x09, 0x12, 0x3C, 0xAA, 0x01};
const std::vector<std::uint8_t> kSecondEnd = {0x2B, 0x84, 0xDE, 0x31, 0xD7, 0x6C, 0x60, 0x40,
                                              0xAC, 0xDB, 0xBF, 0xF6, 0xED, 0xC3, 0x55, 0xFE};

const std::map<std::uint16_t, std::string> kFixedTypes = {
    {1, "TEXT"}, {2, "ATTRIB"}, {3, "ATTDEF"}, {4, "BLOCK"}, {5, "ENDBLK"}, {6, "SEQEND"}, {7, "INSERT"},
    {17, "ARC"}, {18, "CIRCLE"}, {19, "LINE"}, {27, "POINT"}, {34, "VIEWPORT"}, {42, "DICTIONARY"},
    {44, "MTEXT"}, {48, "BLOCK_CONTROL"}, {49, "BLOCK_HEADER"}, {50, "LAYER_CONTROL"}, {51, "LAYER"},
    {52, "STYLE_CONTROL"}, {53, "STYLE"}, {56, "LTYPE_CONTROL"}, {57, "LTYPE"}, {60, "VIEW_CONTROL"},
    {61, "VIEW"}, {62, "UCS_CONTROL"}, {63, "UCS"}, {64, "VPORT_CONTROL"}, {65, "VPORT"},
    {66, "APPID_CONTROL"}, {67, "APPID"}, {68, "DIMSTYLE_CONTROL"}, {69, "DIMSTYLE"}, {70, "VX_CONTROL"},
    {71, "VX"}, {72, "GROUP"}, {73, "MLINESTYLE"}, {77, "LWPOLYLINE"}, {78, "HATCH"}, {79, "XRECORD"},
    {80, "ACDBPLACEHOLDER"}, {82, "LAYOUT"}};

struct Object {
  std::uint32_t handle = 0;
  std::uint16_t type = 0;
  std::string typeName;
  bool entity = false;
  bool crcOk = false;
  bool handlesEndExactly = false;  // the handle stream fills the record up to its padding
  std::vector<HandleRef> refs;     // the whole handle stream, relative codes resolved
  // Positional roles in the handle stream.
  std::uint32_t owner = 0;
  std::vector<std::uint32_t> reactors;
  std::uint32_t xdictionary = 0;
  int entityMode = -1;
  std::uint32_t prev = 0, next = 0, layer = 0;
  std::vector<std::uint32_t> rest;  // type-specific references
  // Data that the checks use.
  std::string name;
  std::uint32_t entryCount = 0;
  std::vector<std::string> keys;
  unsigned insertCounts = 0;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct Locator {
  std::uint32_t address = 0, size = 0;
};

struct HeaderValue {
  double v[3] = {0, 0, 0};
  HandleRef h{0, 0};
  std::string text;
  std::uint32_t n = 0;
};

struct DwgFile {
  Bytes bytes;
  std::string version;
  std::vector<std::string> problems;
  std::map<int, Locator> sections;
  std::map<std::uint16_t, std::pair<std::string, std::uint16_t>> classes;  // number -> dxf name, item class
  std::map<std::uint32_t, std::uint32_t> objectMap;                        // handle -> file offset
  std::map<std::uint32_t, Object> objects;
  std::map<std::string, HeaderValue> header;
  std::map<int, std::uint32_t> secondHeaderHandles;

  const Object* Find(std::uint32_t h) const {
    auto it = objects.find(h);
    return it == objects.end() ? nullptr : &it->second;
  }
  std::string TypeOf(std::uint32_t h) const {
    const Object* o = Find(h);
    return o ? o->typeName : (h == 0 ? "null" : "missing");
  }
};

std::uint32_t Resolve(const HandleRef& r, std::uint32_t self) {
  switch (r.code) {
    case 6: return self + 1;
    case 8: return self - 1;
    case 0xA: return self + r.value;
    case 0xC: return self - r.value;
    default: return r.value;
  }
}

// R2000 header variables in file order; the checks look some of them up by name.
const char* const kHeaderLayout =
    "BD - BD - BD - BD - T - T - T - T - BL - BL - H VPORTENTHDR "
    "B DIMASO B DIMSHO B PLINEGEN B ORTHOMODE B REGENMODE B FILLMODE B QTEXTMODE B PSLTSCALE B LIMCHECK "
    "B USRTIMER B SKPOLY B ANGDIR B SPLFRAME B MIRRTEXT B WORLDVIEW B TILEMODE B PLIMCHECK B VISRETAIN "
    "B DISPSILH B PELLIPSE BS PROXYGRAPHICS BS TREEDEPTH BS LUNITS BS LUPREC BS AUNITS BS AUPREC "
    "BS ATTMODE BS PDMODE BS USERI1 BS USERI2 BS USERI3 BS USERI4 BS USERI5 BS SPLINESEGS BS SURFU BS SURFV "
    "BS SURFTYPE BS SURFTAB1 BS SURFTAB2 BS SPLINETYPE BS SHADEDGE BS SHADEDIF BS UNITMODE BS MAXACTVP "
    "BS ISOLINES BS CMLJUST BS TEXTQLTY BD LTSCALE BD TEXTSIZE BD TRACEWID BD SKETCHINC BD FILLETRAD "
    "BD THICKNESS BD ANGBASE BD PDSIZE BD PLINEWID BD USERR1 BD USERR2 BD USERR3 BD USERR4 BD USERR5 "
    "BD CHAMFERA BD CHAMFERB BD CHAMFERC BD CHAMFERD BD FACETRES BD CMLSCALE BD CELTSCALE T MENUNAME "
    "BL TDCREATE BL TDCREATE_MS BL TDUPDATE BL TDUPDATE_MS BL TDINDWG BL TDINDWG_MS BL TDUSRTIMER "
    "BL TDUSRTIMER_MS BS CECOLOR H HANDSEED H CLAYER H TEXTSTYLE H CELTYPE H DIMSTYLE H CMLSTYLE "
    "BD PSVPSCALE 3BD P_INSBASE 3BD P_EXTMIN 3BD P_EXTMAX 2RD P_LIMMIN 2RD P_LIMMAX BD P_ELEVATION "
    "3BD P_UCSORG 3BD P_UCSXDIR 3BD P_UCSYDIR H P_UCSNAME H P_UCSORTHOREF BS P_UCSORTHOVIEW H P_UCSBASE "
    "3BD - 3BD - 3BD - 3BD - 3BD - 3BD - "
    "3BD INSBASE 3BD EXTMIN 3BD EXTMAX 2RD LIMMIN 2RD LIMMAX BD ELEVATION 3BD UCSORG 3BD UCSXDIR "
    "3BD UCSYDIR H UCSNAME H UCSORTHOREF BS UCSORTHOVIEW H UCSBASE 3BD - 3BD - 3BD - 3BD - 3BD - 3BD - "
    "T DIMPOST T DIMAPOST BD DIMSCALE BD DIMASZ BD DIMEXO BD DIMDLI BD DIMEXE BD DIMRND BD DIMDLE BD DIMTP "
    "BD DIMTM B DIMTOL B DIMLIM B DIMTIH B DIMTOH B DIMSE1 B DIMSE2 BS DIMTAD BS DIMZIN BS DIMAZIN "
    "BD DIMTXT BD DIMCEN BD DIMTSZ BD DIMALTF BD DIMLFAC BD DIMTVP BD DIMTFAC BD DIMGAP BD DIMALTRND "
    "B DIMALT BS DIMALTD B DIMTOFL B DIMSAH B DIMTIX B DIMSOXD BS DIMCLRD BS DIMCLRE BS DIMCLRT "
    "BS DIMADEC BS DIMDEC BS DIMTDEC BS DIMALTU BS DIMALTTD BS DIMAUNIT BS DIMFRAC BS DIMLUNIT BS DIMDSEP "
    "BS DIMTMOVE BS DIMJUST B DIMSD1 B DIMSD2 BS DIMTOLJ BS DIMTZIN BS DIMALTZ BS DIMALTTZ B DIMUPT "
    "BS DIMATFIT H DIMTXSTY H DIMLDRBLK H DIMBLK H DIMBLK1 H DIMBLK2 BS DIMLWD BS DIMLWE "
    "H BLOCK_CONTROL H LAYER_CONTROL H STYLE_CONTROL H LTYPE_CONTROL H VIEW_CONTROL H UCS_CONTROL "
    "H VPORT_CONTROL H APPID_CONTROL H DIMSTYLE_CONTROL H VX_CONTROL H DICT_GROUP H DICT_MLINESTYLE "
    "H DICT_NAMED_OBJECTS BS TSTACKALIGN BS TSTACKSIZE T HYPERLINKBASE T STYLESHEET H DICT_LAYOUT "
    "H DICT_PLOTSETTINGS H DICT_PLOTSTYLENAME BL FLAGS BS INSUNITS BS CEPSNTYPE T FINGERPRINTGUID "
    "T VERSIONGUID H PAPER_SPACE H MODEL_SPACE H LTYPE_BYLAYER H LTYPE_BYBLOCK H LTYPE_CONTINUOUS "
    "BS - BS - BS - BS -";

void ReadHeaderVariables(DwgFile& f, std::uint32_t at) {
  if (!BytesAt(f.bytes, at, kHeaderBegin)) f.problems.push_back("header variables: begin sentinel");
  const std::uint32_t size = LE32(f.bytes, at + 16);
  if (BitwiseCrc(&f.bytes.at(at + 16), size + 4, 0xC0C1) != LE16(f.bytes, at + 20 + size))
    f.problems.push_back("header variables: CRC");
  if (!BytesAt(f.bytes, at + 22 + size, kHeaderEnd)) f.problems.push_back("header variables: end sentinel");
  BitReader r(f.bytes, at + 20);
  std::istringstream layout(kHeaderLayout);
  std::string kind, name;
  while (layout >> kind >> name) {
    HeaderValue v;
    if (kind == "B") v.n = r.B();
    else if (kind == "BS") v.n = r.BS();
    else if (kind == "BL") v.n = r.BL();
    else if (kind == "BD") v.v[0] = r.BD();
    else if (kind == "T") v.text = r.T();
    else if (kind == "H") v.h = r.H();
    else if (kind == "2RD") { v.v[0] = r.RD(); v.v[1] = r.RD(); }
    else if (kind == "3BD") { v.v[0] = r.BD(); v.v[1] = r.BD(); v.v[2] = r.BD(); }
    if (name != "-") f.header[name] = v;
  }
  if (r.Pos() > (at + 20 + static_cast<std::size_t>(size)) * 8) f.problems.push_back("header variables overrun");
  if ((at + 20 + static_cast<std::size_t>(size)) * 8 - r.Pos() >= 8) f.problems.push_back("header variables: unread bytes");
}

void ReadClasses(DwgFile& f, std::uint32_t at) {
  if (!BytesAt(f.bytes, at, kClassesBegin)) f.problems.push_back("classes: begin sentinel");
  const std::uint32_t size = LE32(f.bytes, at + 16);
  if (BitwiseCrc(&f.bytes.at(at + 16), size + 4, 0xC0C1) != LE16(f.bytes, at + 20 + size))
    f.problems.push_back("classes: CRC");
  if (!BytesAt(f.bytes, at + 22 + size, kClassesEnd)) f.problems.push_back("classes: end sentinel");
  BitReader r(f.bytes, at + 20);
  const std::size_t end = (at + 20 + static_cast<std::size_t>(size)) * 8;
  while (r.Pos() + 8 < end) {
    const std::uint16_t number = r.BS();
    r.BS();
    r.T();
    r.T();
    const std::string dxf = r.T();
    r.B();
    const std::uint16_t itemClass = r.BS();
    f.classes[number] = {dxf, itemClass};
  }
}

void ReadObjectMap(DwgFile& f, std::uint32_t at, std::uint32_t size) {
  std::size_t p = at;
  while (true) {
    const std::size_t sectionSize = (static_cast<std::size_t>(f.bytes.at(p)) << 8) | f.bytes.at(p + 1);
    const std::uint16_t crc = static_cast<std::uint16_t>((f.bytes.at(p + sectionSize) << 8) | f.bytes.at(p + sectionSize + 1));
    if (BitwiseCrc(&f.bytes[p], sectionSize, 0xC0C1) != crc) f.problems.push_back("object map: page CRC");
    if (sectionSize > 2032) f.problems.push_back("object map: page too large");
    if (sectionSize <= 2) {
      p += sectionSize + 2;
      break;
    }
    std::size_t q = p + 2;
    std::uint32_t handle = 0;
    std::int64_t offset = 0;
    while (q < p + sectionSize) {
      handle += ReadModularChar(f.bytes, q);
      offset += ReadSignedModularChar(f.bytes, q);
      if (!f.objectMap.emplace(handle, static_cast<std::uint32_t>(offset)).second)
        f.problems.push_back("object map: handle listed twice");
    }
    p += sectionSize + 2;
  }
  if (p != at + size) f.problems.push_back("object map: size differs from its locator");
}

bool IsEntity(const DwgFile& f, std::uint16_t type) {
  if (type >= 500) {
    auto it = f.classes.find(type);
    return it != f.classes.end() && it->second.second == 0x1F2;
  }
  return (type < 48 && type != 42) || type == 77 || type == 78;
}

void ReadTableEntry(BitReader& r, Object& o) {
  o.name = r.T();
  r.B();
  r.BS();
  r.B();
}

void ReadObject(DwgFile& f, std::uint32_t mapHandle, std::uint32_t offset) {
  Object o;
  std::size_t at = offset;
  const std::uint32_t size = ReadModularShort(f.bytes, at);
  const std::size_t dataStart = at;
  o.crcOk = BitwiseCrc(&f.bytes.at(offset), dataStart - offset + size, 0xC0C1) == LE16(f.bytes, dataStart + size);
  BitReader r(f.bytes, dataStart);
  o.type = r.BS();
  const std::uint32_t dataBits = r.RL();
  o.handle = r.H().value;
  if (o.handle != mapHandle) {
    f.problems.push_back("object at the map's offset for handle " + std::to_string(mapHandle) + " has handle " +
                         std::to_string(o.handle));
  }
  auto fixed = kFixedTypes.find(o.type);
  if (o.type >= 500 && f.classes.count(o.type)) o.typeName = f.classes[o.type].first;
  else if (fixed != kFixedTypes.end()) o.typeName = fixed->second;
  else o.typeName = "TYPE" + std::to_string(o.type);
  o.entity = IsEntity(f, o.type);
  for (std::uint16_t n = r.BS(); n != 0; n = r.BS()) {  // extended entity data
    r.H();
    for (std::uint16_t i = 0; i < n; ++i) r.RC();
  }
  std::uint32_t reactorCount = 0;
  bool noLinks = true;
  unsigned ltypeFlags = 0, plotFlags = 0;
  if (o.entity) {
    if (r.B()) {
      const std::uint32_t n = r.RL();
      for (std::uint32_t i = 0; i < n; ++i) r.RC();
    }
    o.entityMode = static_cast<int>(r.BB());
    reactorCount = r.BL();
    noLinks = r.B();
    r.BS();
    r.BD();
    ltypeFlags = r.BB();
    plotFlags = r.BB();
    r.BS();
    r.RC();
  } else {
    reactorCount = r.BL();
  }
  // Type-specific data. Types read to their end must end exactly at the recorded data size.
  bool complete = true;
  const std::string& t = o.typeName;
  if (t.size() > 8 && t.compare(t.size() - 8, 8, "_CONTROL") == 0) {
    o.entryCount = r.BL();
    if (t == "DIMSTYLE_CONTROL") r.RC();
  } else if (t == "DICTIONARY" || t == "ACDBDICTIONARYWDFLT") {
    o.entryCount = r.BL();
    r.BS();
    r.RC();
    for (std::uint32_t i = 0; i < o.entryCount; ++i) o.keys.push_back(r.T());
  } else if (t == "ACDBPLACEHOLDER" || t == "ENDBLK") {
  } else if (t == "BLOCK_HEADER") {
    ReadTableEntry(r, o);
    for (int i = 0; i < 5; ++i) r.B();
    r.BD(); r.BD(); r.BD();
    r.T();
    while (r.RC() != 0) ++o.insertCounts;
    r.T();
    for (std::uint32_t n = r.BL(); n > 0; --n) r.RC();
  } else if (t == "LAYER") {
    ReadTableEntry(r, o);
    r.BS();
    r.BS();
  } else if (t == "STYLE") {
    ReadTableEntry(r, o);
    r.B(); r.B();
    r.BD(); r.BD(); r.BD();
    r.RC();
    r.BD();
    r.T(); r.T();
  } else if (t == "LTYPE") {
    ReadTableEntry(r, o);
    r.T();
    r.BD();
    r.RC();
    for (int n = r.RC(); n > 0; --n) {
      r.BD(); r.BS(); r.RD(); r.RD(); r.BD(); r.BD(); r.BS();
    }
    for (int i = 0; i < 256; ++i) r.RC();
  } else if (t == "APPID") {
    ReadTableEntry(r, o);
    r.RC();
  } else if (t == "DIMSTYLE" || t == "VPORT") {
    ReadTableEntry(r, o);
    complete = false;
  } else if (t == "MLINESTYLE") {
    o.name = r.T();
    r.T();
    r.BS(); r.BS();
    r.BD(); r.BD();
    for (int n = r.RC(); n > 0; --n) { r.BD(); r.BS(); r.BS(); }
  } else if (t == "LAYOUT") {
    for (int i = 0; i < 2; ++i) r.T();
    r.BS();
    for (int i = 0; i < 6; ++i) r.BD();
    r.T();
    r.BD(); r.BD();
    for (int i = 0; i < 3; ++i) r.BS();
    for (int i = 0; i < 4; ++i) r.BD();
    r.T();
    r.BD(); r.BD();
    r.T();
    r.BS();
    r.BD();
    r.BD(); r.BD();
    o.name = r.T();
    r.BS(); r.BS();
    for (int i = 0; i < 3; ++i) r.BD();
    for (int i = 0; i < 4; ++i) r.RD();
    for (int i = 0; i < 9; ++i) r.BD();
    r.BD();
    r.BS();
    for (int i = 0; i < 6; ++i) r.BD();
  } else if (t == "BLOCK") {
    o.name = r.T();
  } else if (t == "LINE") {
    const bool flat = r.B();
    o.x1 = r.RD();
    o.x2 = r.DD(o.x1);
    o.y1 = r.RD();
    o.y2 = r.DD(o.y1);
    if (!flat) { const double z = r.RD(); r.DD(z); }
    r.BT();
    r.BE();
  } else {
    complete = false;
  }
  if (complete && r.Pos() != dataStart * 8 + dataBits) {
    f.problems.push_back(t + " " + std::to_string(o.handle) + ": data ends at bit " + std::to_string(r.Pos() - dataStart * 8) +
                         ", recorded size " + std::to_string(dataBits));
  }
  // Handle stream: from the recorded data size to the end of the record.
  r.Seek(dataStart * 8 + dataBits);
  const std::size_t end = (dataStart + size) * 8;
  while (end - r.Pos() >= 8) {
    HandleRef h = r.H();
    h.value = Resolve(h, o.handle);
    o.refs.push_back(h);
  }
  o.handlesEndExactly = r.Pos() <= end;
  std::size_t i = 0;
  auto next = [&]() { return i < o.refs.size() ? o.refs[i++].value : 0xFFFFFFFFu; };
  if (!o.entity || o.entityMode == 0) o.owner = next();
  for (std::uint32_t k = 0; k < reactorCount; ++k) o.reactors.push_back(next());
  o.xdictionary = next();
  if (o.entity) {
    if (!noLinks) {
      o.prev = next();
      o.next = next();
    }
    o.layer = next();
    if (ltypeFlags == 3) next();
    if (plotFlags == 3) next();
  }
  while (i < o.refs.size()) o.rest.push_back(next());
  f.objects[o.handle] = o;
}

void ReadSecondHeader(DwgFile& f, std::size_t at) {
  const std::uint32_t size = LE32(f.bytes, at + 16);
  if (!BytesAt(f.bytes, at + 16 + size, kSecondEnd)) f.problems.push_back("second header: end sentinel");
  BitReader r(f.bytes, at + 20);
  if (r.BL() != at) f.problems.push_back("second header: own address");
  std::string version;
  for (int i = 0; i < 6; ++i) version.push_back(static_cast<char>(r.RC()));
  if (version != "AC1015") f.problems.push_back("second header: version");
  for (int i = 0; i < 7; ++i) r.RC();
  r.BS();
  r.RS();
  const std::uint16_t sections = r.BS();
  for (std::uint16_t i = 0; i < sections; ++i) {
    const int number = r.RC();
    const std::uint32_t address = r.BL(), length = r.BL();
    if (number != 4 && (f.sections[number].address != address || f.sections[number].size != length))
      f.problems.push_back("second header: locator " + std::to_string(number) + " differs");
  }
  const std::uint16_t handles = r.BS();
  for (std::uint16_t i = 0; i < handles; ++i) {
    const int n = r.RC();
    const int slot = r.RC();
    std::uint32_t v = 0;
    for (int k = 0; k < n; ++k) v = (v << 8) | r.RC();
    f.secondHeaderHandles[slot] = v;
  }
  const std::size_t crcAt = (r.Pos() + 7) / 8;
  if (BitwiseCrc(&f.bytes.at(at + 16), crcAt - (at + 16), 0xC0C1) != LE16(f.bytes, crcAt))
    f.problems.push_back("second header: CRC");
}

DwgFile Read(Bytes bytes) {
  DwgFile f;
  f.bytes = std::move(bytes);
  try {
    f.version.assign(f.bytes.begin(), f.bytes.begin() + 6);
    const std::uint32_t count = LE32(f.bytes, 0x15);
    const std::size_t crcAt = 0x19 + 9 * static_cast<std::size_t>(count);
    for (std::uint32_t i = 0; i < count; ++i) {
      const std::size_t p = 0x19 + 9 * static_cast<std::size_t>(i);
      f.sections[f.bytes.at(p)] = {LE32(f.bytes, p + 1), LE32(f.bytes, p + 5)};
    }
    const std::uint16_t xorByCount[7] = {0, 0, 0, 0xA598, 0x8101, 0x3CC4, 0x8461};
    if (count > 6 || (BitwiseCrc(f.bytes.data(), crcAt, 0) ^ xorByCount[count]) != LE16(f.bytes, crcAt))
      f.problems.push_back("file header: CRC");
    if (!BytesAt(f.bytes, crcAt + 2, kFileHeaderEnd)) f.problems.push_back("file header: sentinel");
    for (const auto& s : f.sections) {
      if (static_cast<std::size_t>(s.second.address) + s.second.size > f.bytes.size())
        f.problems.push_back("section " + std::to_string(s.first) + " runs past the end");
    }
    const std::uint32_t preview = LE32(f.bytes, 0x0D);
    if (!BytesAt(f.bytes, preview, kPreviewBegin) ||
        !BytesAt(f.bytes, preview + 20 + LE32(f.bytes, preview + 16), kPreviewEnd))
      f.problems.push_back("preview: sentinels");
    ReadClasses(f, f.sections.at(1).address);
    ReadHeaderVariables(f, f.sections.at(0).address);
    ReadObjectMap(f, f.sections.at(2).address, f.sections.at(2).size);
    for (const auto& m : f.objectMap) ReadObject(f, m.first, m.second);
    const auto it = std::search(f.bytes.begin(), f.bytes.end(), kSecondBegin.begin(), kSecondBegin.end());
    if (it != f.bytes.end()) ReadSecondHeader(f, static_cast<std::size_t>(it - f.bytes.begin()));
  } catch (const std::exception& e) {
    f.problems.push_back(std::string("read failed: ") + e.what());
  }
  return f;
}

std::string Join(const std::vector<std::string>& v) {
  std::string s;
  for (const auto& x : v) s += x + "\n";
  return s;
}

const DwgFile& Frame() {
  static const DwgFile file = Read(dwgframe::BuildPartFrameDwg());
  return file;
}

// ---------------------------------------------------------------- tests

TEST(DwgWriter, FileHeaderSectionsAndSentinelsAreSound) {
  const DwgFile& f = Frame();
  EXPECT_EQ(f.version, "AC1015");
  EXPECT_TRUE(f.problems.empty()) << Join(f.problems);
  ASSERT_EQ(f.sections.size(), 6u);
  EXPECT_EQ(f.sections.at(3).size, 53u);   // free-space record
  EXPECT_EQ(f.sections.at(5).address, 0x61u);
  EXPECT_EQ(f.sections.at(5).size, 123u);  // auxiliary header
  EXPECT_TRUE(BytesAt(f.bytes, 0x61, {0xFF, 0x77, 0x01}));
  ASSERT_EQ(f.sections.at(4).size, 4u);
  EXPECT_EQ(LE16(f.bytes, f.sections.at(4).address + 2), 1u) << "MEASUREMENT should be metric";
  // Sections do not overlap.
  std::vector<std::pair<std::uint32_t, std::uint32_t>> spans;
  for (const auto& s : f.sections) spans.emplace_back(s.second.address, s.second.address + s.second.size);
  std::sort(spans.begin(), spans.end());
  for (std::size_t i = 1; i < spans.size(); ++i) EXPECT_LE(spans[i - 1].second, spans[i].first);
  EXPECT_EQ(f.bytes, dwgframe::BuildPartFrameDwg()) << "output should be reproducible";
}

TEST(DwgWriter, ObjectMapLeadsToIntactObjectsWithTheirOwnHandles) {
  const DwgFile& f = Frame();
  ASSERT_EQ(f.objects.size(), f.objectMap.size());
  EXPECT_EQ(f.objects.size(), 44u);
  for (const auto& m : f.objectMap) {
    const Object* o = f.Find(m.first);
    ASSERT_NE(o, nullptr) << "no object with handle " << m.first;
    EXPECT_TRUE(o->crcOk) << o->typeName << " " << m.first;
    EXPECT_TRUE(o->handlesEndExactly) << o->typeName << " " << m.first;
  }
  EXPECT_LT(f.objectMap.rbegin()->first, f.header.at("HANDSEED").h.value);
}

TEST(DwgWriter, ObjectListIsThatOfAnEmptyAutoCadDrawingPlusTheFrame) {
  std::map<std::string, int> counts;
  for (const auto& o : Frame().objects) ++counts[o.second.typeName];
  const std::map<std::string, int> expected = {
      {"BLOCK_CONTROL", 1}, {"LAYER_CONTROL", 1}, {"STYLE_CONTROL", 1}, {"LTYPE_CONTROL", 1}, {"VIEW_CONTROL", 1},
      {"UCS_CONTROL", 1}, {"VPORT_CONTROL", 1}, {"APPID_CONTROL", 1}, {"DIMSTYLE_CONTROL", 1}, {"VX_CONTROL", 1},
      {"DICTIONARY", 5}, {"ACDBDICTIONARYWDFLT", 1}, {"ACDBPLACEHOLDER", 1}, {"LAYER", 1}, {"STYLE", 1},
      {"LTYPE", 3}, {"APPID", 1}, {"DIMSTYLE", 1}, {"VPORT", 1}, {"MLINESTYLE", 1}, {"BLOCK_HEADER", 2},
      {"BLOCK", 2}, {"ENDBLK", 2}, {"LAYOUT", 2}, {"LINE", 10}};
  EXPECT_EQ(counts, expected);
}

// Every reference resolves, and each role points at the kind of object it must.
TEST(DwgWriter, EveryReferenceResolvesToAnObjectOfTheExpectedType) {
  const DwgFile& f = Frame();
  for (const auto& entry : f.objects) {
    const Object& o = entry.second;
    for (const HandleRef& r : o.refs) {
      if (r.value != 0) {
        EXPECT_NE(f.Find(r.value), nullptr) << o.typeName << " " << o.handle << " -> " << r.value;
      }
    }
    EXPECT_EQ(o.xdictionary, 0u) << o.typeName;
    for (std::uint32_t reactor : o.reactors) EXPECT_EQ(reactor, o.owner) << o.typeName << " " << o.handle;
  }

  struct Table {
    const char* control;
    const char* entry;
    std::vector<std::string> names;
  };
  const std::vector<Table> tables = {
      {"BLOCK_CONTROL", "BLOCK_HEADER", {}},  // model and paper space are listed apart
      {"LAYER_CONTROL", "LAYER", {"0"}},
      {"STYLE_CONTROL", "STYLE", {"Standard"}},
      {"LTYPE_CONTROL", "LTYPE", {"Continuous"}},
      {"VIEW_CONTROL", "VIEW", {}},
      {"UCS_CONTROL", "UCS", {}},
      {"VPORT_CONTROL", "VPORT", {"*Active"}},
      {"APPID_CONTROL", "APPID", {"ACAD"}},
      {"DIMSTYLE_CONTROL", "DIMSTYLE", {"Standard"}},
      {"VX_CONTROL", "VX", {}},
  };
  for (const Table& t : tables) {
    SCOPED_TRACE(t.control);
    const Object* control = nullptr;
    for (const auto& e : f.objects) if (e.second.typeName == t.control) control = &e.second;
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->owner, 0u);
    ASSERT_EQ(control->entryCount, t.names.size());
    ASSERT_GE(control->rest.size(), t.names.size());
    for (std::size_t i = 0; i < t.names.size(); ++i) {
      const Object* e = f.Find(control->rest[i]);
      ASSERT_NE(e, nullptr);
      EXPECT_EQ(e->typeName, t.entry);
      EXPECT_EQ(e->name, t.names[i]);
      EXPECT_EQ(e->owner, control->handle);
    }
    std::vector<std::string> owned;
    for (std::size_t i = t.names.size(); i < control->rest.size(); ++i) {
      const Object* e = f.Find(control->rest[i]);
      ASSERT_NE(e, nullptr);
      EXPECT_EQ(e->owner, control->handle);
      owned.push_back(e->name);
    }
    if (std::string(t.control) == "BLOCK_CONTROL") {
      EXPECT_EQ(owned, (std::vector<std::string>{"*Model_Space", "*Paper_Space"}));
    }
    if (std::string(t.control) == "LTYPE_CONTROL") {
      EXPECT_EQ(owned, (std::vector<std::string>{"ByBlock", "ByLayer"}));
    }
  }
  // Every table entry is listed by its control.
  for (const auto& e : f.objects) {
    const Object& o = e.second;
    if (o.typeName != "LAYER" && o.typeName != "STYLE" && o.typeName != "LTYPE" && o.typeName != "APPID" &&
        o.typeName != "DIMSTYLE" && o.typeName != "VPORT" && o.typeName != "BLOCK_HEADER")
      continue;
    const Object* control = f.Find(o.owner);
    ASSERT_NE(control, nullptr) << o.name;
    EXPECT_EQ(control->typeName, o.typeName == "BLOCK_HEADER" ? std::string("BLOCK_CONTROL") : o.typeName + "_CONTROL");
    EXPECT_NE(std::find(control->rest.begin(), control->rest.end(), o.handle), control->rest.end()) << o.name;
  }
  // Layer 0: Normal plot style and Continuous linetype. Dimension style: Standard text style.
  for (const auto& e : f.objects) {
    const Object& o = e.second;
    if (o.typeName == "LAYER") {
      ASSERT_EQ(o.rest.size(), 3u);
      EXPECT_EQ(o.rest[0], 0u);
      EXPECT_EQ(f.TypeOf(o.rest[1]), "ACDBPLACEHOLDER");
      EXPECT_EQ(f.TypeOf(o.rest[2]), "LTYPE");
      EXPECT_EQ(f.Find(o.rest[2])->name, "Continuous");
    }
    if (o.typeName == "DIMSTYLE") {
      ASSERT_EQ(o.rest.size(), 6u);
      EXPECT_EQ(f.TypeOf(o.rest[1]), "STYLE");
    }
  }
}

TEST(DwgWriter, DictionariesHoldWhatAutoCadExpects) {
  const DwgFile& f = Frame();
  const std::uint32_t nod = f.header.at("DICT_NAMED_OBJECTS").h.value;
  const Object* root = f.Find(nod);
  ASSERT_NE(root, nullptr);
  ASSERT_EQ(root->typeName, "DICTIONARY");
  EXPECT_EQ(root->owner, 0u);
  // key in the named object dictionary -> its type, and the type of what it holds by key
  struct Expect {
    std::string key, type;
    std::map<std::string, std::string> contents;
  };
  const std::vector<Expect> expected = {
      {"ACAD_GROUP", "DICTIONARY", {}},
      {"ACAD_LAYOUT", "DICTIONARY", {{"Layout1", "LAYOUT"}, {"Model", "LAYOUT"}}},
      {"ACAD_MLINESTYLE", "DICTIONARY", {{"Standard", "MLINESTYLE"}}},
      {"ACAD_PLOTSETTINGS", "DICTIONARY", {}},
      {"ACAD_PLOTSTYLENAME", "ACDBDICTIONARYWDFLT", {{"Normal", "ACDBPLACEHOLDER"}}},
  };
  ASSERT_EQ(root->keys.size(), expected.size());
  ASSERT_EQ(root->rest.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(expected[i].key);
    EXPECT_EQ(root->keys[i], expected[i].key);
    const Object* d = f.Find(root->rest[i]);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->typeName, expected[i].type);
    EXPECT_EQ(d->owner, nod);
    std::map<std::string, std::string> contents;
    for (std::size_t k = 0; k < d->keys.size(); ++k) {
      const Object* item = f.Find(d->rest.at(k));
      ASSERT_NE(item, nullptr);
      EXPECT_EQ(item->owner, d->handle);
      contents[d->keys[k]] = item->typeName;
      if (item->typeName == "LAYOUT") {
        EXPECT_EQ(item->name, d->keys[k]);
      }
    }
    EXPECT_EQ(contents, expected[i].contents);
    if (expected[i].type == "ACDBDICTIONARYWDFLT") {
      ASSERT_EQ(d->rest.size(), 2u);
      EXPECT_EQ(d->rest[1], d->rest[0]) << "default entry should be Normal";
    }
  }
  EXPECT_EQ(f.header.at("DICT_GROUP").h.value, root->rest[0]);
  EXPECT_EQ(f.header.at("DICT_LAYOUT").h.value, root->rest[1]);
  EXPECT_EQ(f.header.at("DICT_MLINESTYLE").h.value, root->rest[2]);
  EXPECT_EQ(f.header.at("DICT_PLOTSETTINGS").h.value, root->rest[3]);
  EXPECT_EQ(f.header.at("DICT_PLOTSTYLENAME").h.value, root->rest[4]);
}

// Block record -> BLOCK, entity chain, ENDBLK, LAYOUT -> the same block record.
TEST(DwgWriter, BlockRecordsAndLayoutsPointAtEachOther) {
  const DwgFile& f = Frame();
  struct Space {
    const char* headerVar;
    const char* name;
    int entityMode;
    std::size_t entities;
    const char* layout;
  };
  for (const Space& s : {Space{"MODEL_SPACE", "*Model_Space", 2, 10, "Model"},
                         Space{"PAPER_SPACE", "*Paper_Space", 1, 0, "Layout1"}}) {
    SCOPED_TRACE(s.name);
    const Object* record = f.Find(f.header.at(s.headerVar).h.value);
    ASSERT_NE(record, nullptr);
    ASSERT_EQ(record->typeName, "BLOCK_HEADER");
    EXPECT_EQ(record->name, s.name);
    // null, BLOCK, first, last, ENDBLK, layout
    ASSERT_EQ(record->rest.size(), 6u + record->insertCounts);
    const Object* block = f.Find(record->rest[1]);
    const Object* endblk = f.Find(record->rest[4]);
    ASSERT_NE(block, nullptr);
    ASSERT_NE(endblk, nullptr);
    EXPECT_EQ(block->typeName, "BLOCK");
    EXPECT_EQ(block->name, s.name);
    EXPECT_EQ(endblk->typeName, "ENDBLK");
    for (const Object* e : {block, endblk}) {
      EXPECT_EQ(e->entityMode, s.entityMode);
      EXPECT_EQ(f.TypeOf(e->layer), "LAYER");
    }
    std::size_t count = 0;
    std::uint32_t prev = 0;
    for (std::uint32_t h = record->rest[2]; h != 0; h = f.Find(h)->next) {
      const Object* e = f.Find(h);
      ASSERT_NE(e, nullptr);
      ASSERT_LE(++count, f.objects.size());
      EXPECT_TRUE(e->entity);
      EXPECT_EQ(e->entityMode, s.entityMode);
      EXPECT_EQ(e->prev, prev);
      EXPECT_EQ(f.TypeOf(e->layer), "LAYER");
      if (e->next == 0) {
        EXPECT_EQ(h, record->rest[3]) << "last entity";
      }
      prev = h;
    }
    EXPECT_EQ(count, s.entities);
    const Object* layout = f.Find(record->rest[5]);
    ASSERT_NE(layout, nullptr);
    EXPECT_EQ(layout->typeName, "LAYOUT");
    EXPECT_EQ(layout->name, s.layout);
    ASSERT_GE(layout->rest.size(), 1u);
    EXPECT_EQ(layout->rest[0], record->handle);
  }
  // No entity outside the two spaces.
  std::size_t entities = 0;
  for (const auto& e : f.objects) entities += e.second.entity ? 1 : 0;
  EXPECT_EQ(entities, 10u + 4u);
}

TEST(DwgWriter, HeaderVariablesReferenceTheTablesAndMatchTheSheet) {
  const DwgFile& f = Frame();
  const std::map<std::string, std::string> refs = {
      {"CLAYER", "LAYER"}, {"TEXTSTYLE", "STYLE"}, {"CELTYPE", "LTYPE"}, {"DIMSTYLE", "DIMSTYLE"},
      {"CMLSTYLE", "MLINESTYLE"}, {"DIMTXSTY", "STYLE"}, {"BLOCK_CONTROL", "BLOCK_CONTROL"},
      {"LAYER_CONTROL", "LAYER_CONTROL"}, {"STYLE_CONTROL", "STYLE_CONTROL"}, {"LTYPE_CONTROL", "LTYPE_CONTROL"},
      {"VIEW_CONTROL", "VIEW_CONTROL"}, {"UCS_CONTROL", "UCS_CONTROL"}, {"VPORT_CONTROL", "VPORT_CONTROL"},
      {"APPID_CONTROL", "APPID_CONTROL"}, {"DIMSTYLE_CONTROL", "DIMSTYLE_CONTROL"}, {"VX_CONTROL", "VX_CONTROL"},
      {"PAPER_SPACE", "BLOCK_HEADER"}, {"MODEL_SPACE", "BLOCK_HEADER"}, {"LTYPE_BYLAYER", "LTYPE"},
      {"LTYPE_BYBLOCK", "LTYPE"}, {"LTYPE_CONTINUOUS", "LTYPE"}, {"UCSNAME", "null"}, {"DIMBLK", "null"}};
  for (const auto& r : refs) EXPECT_EQ(f.TypeOf(f.header.at(r.first).h.value), r.second) << r.first;
  EXPECT_EQ(f.Find(f.header.at("LTYPE_BYLAYER").h.value)->name, "ByLayer");
  EXPECT_EQ(f.Find(f.header.at("LTYPE_BYBLOCK").h.value)->name, "ByBlock");
  EXPECT_EQ(f.Find(f.header.at("CELTYPE").h.value)->name, "ByLayer");
  EXPECT_EQ(f.header.at("HANDSEED").h.code, 0);

  struct Point {
    const char* name;
    double x, y, z;
  };
  for (const Point& p : {Point{"INSBASE", 0, 0, 0}, Point{"EXTMIN", 0, -297, 0}, Point{"EXTMAX", 420, 0, 0},
                         Point{"LIMMIN", 0, -297, 0}, Point{"LIMMAX", 420, 0, 0}}) {
    const HeaderValue& v = f.header.at(p.name);
    EXPECT_DOUBLE_EQ(v.v[0], p.x) << p.name;
    EXPECT_DOUBLE_EQ(v.v[1], p.y) << p.name;
    EXPECT_DOUBLE_EQ(v.v[2], p.z) << p.name;
  }
  EXPECT_EQ(f.header.at("INSUNITS").n, 4u);  // millimetres
  EXPECT_EQ(f.header.at("TILEMODE").n, 1u);

  // The second header lists the same controls and dictionaries.
  const std::map<int, std::string> slots = {
      {0, "HANDSEED"}, {1, "BLOCK_CONTROL"}, {2, "LAYER_CONTROL"}, {3, "STYLE_CONTROL"}, {4, "LTYPE_CONTROL"},
      {5, "VIEW_CONTROL"}, {6, "UCS_CONTROL"}, {7, "VPORT_CONTROL"}, {8, "APPID_CONTROL"},
      {9, "DIMSTYLE_CONTROL"}, {10, "VX_CONTROL"}, {11, "DICT_NAMED_OBJECTS"}, {12, "DICT_MLINESTYLE"},
      {13, "DICT_GROUP"}};
  ASSERT_EQ(f.secondHeaderHandles.size(), slots.size());
  for (const auto& s : slots) EXPECT_EQ(f.secondHeaderHandles.at(s.first), f.header.at(s.second).h.value) << s.second;
}

TEST(DwgWriter, ModelSpaceHoldsTheFrameLines) {
  const DwgFile& f = Frame();
  // Each line as (min point, max point) so that direction does not matter.
  using Key = std::vector<double>;
  auto key = [](double x1, double y1, double x2, double y2) {
    if (std::make_pair(x2, y2) < std::make_pair(x1, y1)) { std::swap(x1, x2); std::swap(y1, y2); }
    return Key{x1, y1, x2, y2};
  };
  std::multiset<Key> expected = {
      key(0, 0, 420, 0), key(420, 0, 420, -297), key(420, -297, 0, -297), key(0, -297, 0, 0),  // sheet border
      key(0, -95, 420, -95), key(0, -190, 420, -190), key(0, -285, 420, -285),              // rows; title strip
      key(105, 0, 105, -285), key(210, 0, 210, -285), key(315, 0, 315, -285)};             // columns
  std::multiset<Key> actual;
  for (const auto& e : f.objects) {
    const Object& o = e.second;
    if (o.typeName != "LINE") continue;
    actual.insert(key(o.x1, o.y1, o.x2, o.y2));
    EXPECT_EQ(f.Find(o.layer)->name, "0");
  }
  EXPECT_EQ(actual, expected);
}

TEST(DwgWriter, ModularEncodingsReadBack) {
  for (std::int64_t v : {0LL, 1LL, 63LL, 64LL, 127LL, 128LL, 8191LL, 8192LL, 0x7FFFLL, 0x8000LL, 1000000LL}) {
    SCOPED_TRACE(v);
    Bytes b;
    dwgframe::AppendModularChar(b, static_cast<std::uint32_t>(v));
    dwgframe::AppendSignedModularChar(b, static_cast<std::int32_t>(v));
    dwgframe::AppendSignedModularChar(b, static_cast<std::int32_t>(-v));
    dwgframe::AppendModularShort(b, static_cast<std::uint32_t>(v));
    std::size_t at = 0;
    EXPECT_EQ(ReadModularChar(b, at), static_cast<std::uint32_t>(v));
    EXPECT_EQ(ReadSignedModularChar(b, at), v);
    EXPECT_EQ(ReadSignedModularChar(b, at), -v);
    EXPECT_EQ(ReadModularShort(b, at), static_cast<std::uint32_t>(v));
    EXPECT_EQ(at, b.size());
  }
}

// The reader against a drawing AutoCAD wrote: if this fails, suspect the reader, not the writer.
TEST(DwgReader, ReadsAnAutoCadR2000Drawing) {
  const std::string path = std::string(TESSARO_SOURCE_DIR) + "/../shared/fixtures/dwg/sample_2000.dwg";
  std::ifstream in(path, std::ios::binary);
  if (!in) GTEST_SKIP() << "fixture not available: " << path;
  const DwgFile f = Read(Bytes(std::istreambuf_iterator<char>(in), {}));
  EXPECT_EQ(f.version, "AC1015");
  EXPECT_TRUE(f.problems.empty()) << Join(f.problems);
  EXPECT_EQ(f.objects.size(), 61u);
  for (const auto& e : f.objects) {
    EXPECT_TRUE(e.second.crcOk) << e.first;
    for (const HandleRef& r : e.second.refs) {
      if (r.value != 0) {
        EXPECT_NE(f.Find(r.value), nullptr) << e.second.typeName << " -> " << r.value;
      }
    }
  }
  EXPECT_EQ(f.TypeOf(f.header.at("CLAYER").h.value), "LAYER");
  EXPECT_EQ(f.TypeOf(f.header.at("MODEL_SPACE").h.value), "BLOCK_HEADER");
  EXPECT_DOUBLE_EQ(f.header.at("LIMMAX").v[0], 420.0);
  int lines = 0;
  for (const auto& e : f.objects) {
    if (e.second.typeName != "LINE") continue;
    ++lines;
    EXPECT_EQ(f.TypeOf(e.second.layer), "LAYER");
  }
  EXPECT_EQ(lines, 3);
  const Object* ms = f.Find(f.header.at("MODEL_SPACE").h.value);
  ASSERT_NE(ms, nullptr);
  EXPECT_EQ(f.TypeOf(ms->rest.at(1)), "BLOCK");
  EXPECT_EQ(f.TypeOf(ms->rest.at(4)), "ENDBLK");
  EXPECT_EQ(f.TypeOf(ms->rest.at(5)), "LAYOUT");
}

}  // namespace
