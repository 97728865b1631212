#include "dwg_objects.h"

namespace dwgframe {

namespace {

constexpr std::uint16_t kColorByLayer = 256;
constexpr std::uint8_t kLineweightByLayer = 29;
constexpr double kHalfPi = 1.5707963267948966;

// One object under construction: the data stream (with the R2000 bit size patched in at the end)
// and the handle stream, which follows the data in the record.
class ObjectWriter {
 public:
  ObjectWriter(std::uint16_t type, Handle handle) {
    data_.BS(type);
    sizePos_ = data_.BitCount();
    data_.RL(0);
    data_.H(0, handle);
    data_.BS(0);  // no extended entity data
  }

  BitWriter& Data() { return data_; }
  BitWriter& Refs() { return refs_; }

  // Non-entity common part: reactor count in the data; owner, reactors, xdictionary as refs.
  void ObjectCommon(Handle owner, const std::vector<Handle>& reactors = {}) {
    data_.BL(static_cast<std::uint32_t>(reactors.size()));
    refs_.H(kSoftPointer, owner);
    for (Handle r : reactors) refs_.H(kSoftPointer, r);
    refs_.H(kHardOwner, 0);
  }

  void TableEntryCommon(Handle control, const std::string& name) {
    ObjectCommon(control);
    data_.T(name);
    data_.B(true);  // 64-flag, set by AutoCAD on every entry it writes
    data_.BS(0);    // xref index + 1
    data_.B(false); // not xref dependent
    refs_.H(kHardPointer, 0);  // xref block
  }

  void EntityCommon(const EntityLinks& links) {
    data_.B(false);  // no preview graphics
    data_.BB(static_cast<unsigned>(links.mode));
    data_.BL(0);     // reactors
    data_.B(false);  // explicit prev/next links follow
    data_.CMC(kColorByLayer);
    data_.BD(1.0);   // linetype scale
    data_.BB(0);     // linetype ByLayer
    data_.BB(0);     // plot style ByLayer
    data_.BS(0);     // visible
    data_.RC(kLineweightByLayer);
    if (links.mode == EntityMode::kInBlock) refs_.H(kSoftPointer, links.owner);
    refs_.H(kHardOwner, 0);  // xdictionary
    refs_.H(kSoftPointer, links.prev);
    refs_.H(kSoftPointer, links.next);
    refs_.H(kHardPointer, links.layer);
  }

  Record Finish() {
    data_.PatchRL(sizePos_, static_cast<std::uint32_t>(data_.BitCount()));
    BitWriter body = data_;
    body.Append(refs_);
    body.PadToByte();
    Record out;
    AppendModularShort(out, static_cast<std::uint32_t>(body.ByteCount()));
    out.insert(out.end(), body.Bytes().begin(), body.Bytes().end());
    const std::uint16_t crc = Crc16(out, 0xC0C1);
    out.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    out.push_back(static_cast<std::uint8_t>(crc >> 8));
    return out;
  }

 private:
  BitWriter data_;
  BitWriter refs_;
  std::size_t sizePos_ = 0;
};

void DictionaryBody(ObjectWriter& w, Handle owner, const std::vector<std::pair<std::string, Handle>>& entries) {
  // The named object dictionary has no owner; the dictionaries under it list it as reactor too.
  if (owner == 0) w.ObjectCommon(0); else w.ObjectCommon(owner, {owner});
  w.Data().BL(static_cast<std::uint32_t>(entries.size()));
  w.Data().BS(1);  // cloning: keep existing
  w.Data().RC(0);  // not a hard owner
  for (const auto& e : entries) {
    w.Data().T(e.first);
    w.Refs().H(kSoftOwner, e.second);
  }
}

}  // namespace

void WriteMetricDimValues(BitWriter& d) {
  d.T("");  // DIMPOST
  d.T("");  // DIMAPOST
  for (double v : {1.0, 2.5, 0.625, 3.75, 1.25, 0.0, 0.0, 0.0, 0.0}) d.BD(v);  // DIMSCALE..DIMTM
  for (int i = 0; i < 6; ++i) d.B(false);                                     // DIMTOL..DIMSE2
  d.BS(1);  // DIMTAD
  d.BS(8);  // DIMZIN
  d.BS(0);  // DIMAZIN
  for (double v : {2.5, 2.5, 0.0, 0.03937007874016, 1.0, 0.0, 1.0, 0.625, 0.0}) d.BD(v);  // DIMTXT..DIMALTRND
  d.B(false);  // DIMALT
  d.BS(3);     // DIMALTD
  d.B(true);   // DIMTOFL
  d.B(false);  // DIMSAH
  d.B(false);  // DIMTIX
  d.B(false);  // DIMSOXD
  for (int i = 0; i < 3; ++i) d.BS(0);  // DIMCLRD, DIMCLRE, DIMCLRT
  for (std::uint16_t v : {0, 2, 2, 2, 3, 0, 0, 2, 44, 0, 0}) d.BS(v);  // DIMADEC..DIMJUST
  d.B(false);  // DIMSD1
  d.B(false);  // DIMSD2
  d.BS(0);     // DIMTOLJ
  d.BS(8);     // DIMTZIN
  d.BS(0);     // DIMALTZ
  d.BS(0);     // DIMALTTZ
  d.B(false);  // DIMUPT
  d.BS(3);     // DIMATFIT
}

Record ControlObject(ObjectType type, Handle handle, const std::vector<Handle>& entries,
                     const std::vector<Handle>& extraOwned) {
  ObjectWriter w(type, handle);
  w.ObjectCommon(0);
  w.Data().BL(static_cast<std::uint32_t>(entries.size()));
  if (type == kTypeDimstyleControl) w.Data().RC(0);  // no additional handles
  for (Handle e : entries) w.Refs().H(kSoftOwner, e);
  for (Handle e : extraOwned) w.Refs().H(kHardOwner, e);
  return w.Finish();
}

Record Dictionary(Handle handle, Handle owner, const std::vector<std::pair<std::string, Handle>>& entries) {
  ObjectWriter w(kTypeDictionary, handle);
  DictionaryBody(w, owner, entries);
  return w.Finish();
}

Record DictionaryWithDefault(Handle handle, Handle owner,
                             const std::vector<std::pair<std::string, Handle>>& entries, Handle defaultEntry) {
  ObjectWriter w(kClassDictionaryWithDefault, handle);
  DictionaryBody(w, owner, entries);
  w.Refs().H(kHardPointer, defaultEntry);
  return w.Finish();
}

Record Placeholder(Handle handle, Handle owner) {
  ObjectWriter w(kClassPlaceholder, handle);
  w.ObjectCommon(owner, {owner});
  return w.Finish();
}

Record Layer(Handle handle, Handle control, const std::string& name, std::uint16_t color, Handle plotStyle,
             Handle linetype) {
  ObjectWriter w(kTypeLayer, handle);
  w.TableEntryCommon(control, name);
  w.Data().BS(0x10 | (31u << 5));  // plotted, lineweight Default; on, thawed, unlocked
  w.Data().CMC(color);
  w.Refs().H(kHardPointer, plotStyle);
  w.Refs().H(kHardPointer, linetype);
  return w.Finish();
}

Record TextStyle(Handle handle, Handle control, const std::string& name, double lastHeight, const std::string& font) {
  ObjectWriter w(kTypeStyle, handle);
  w.TableEntryCommon(control, name);
  BitWriter& d = w.Data();
  d.B(false);  // not vertical
  d.B(false);  // not a shape file
  d.BD(0.0);   // fixed height: none
  d.BD(1.0);   // width factor
  d.BD(0.0);   // oblique angle
  d.RC(0);     // generation flags
  d.BD(lastHeight);
  d.T(font);
  d.T("");     // no big font
  return w.Finish();
}

Record Linetype(Handle handle, Handle control, const std::string& name, const std::string& description) {
  ObjectWriter w(kTypeLtype, handle);
  w.TableEntryCommon(control, name);
  BitWriter& d = w.Data();
  d.T(description);
  d.BD(0.0);   // pattern length
  d.RC('A');   // alignment
  d.RC(0);     // no dashes
  for (int i = 0; i < 256; ++i) d.RC(0);  // text area, always present before R2007
  return w.Finish();
}

Record AppId(Handle handle, Handle control, const std::string& name) {
  ObjectWriter w(kTypeAppid, handle);
  w.TableEntryCommon(control, name);
  w.Data().RC(0);
  return w.Finish();
}

Record DimStyle(Handle handle, Handle control, const std::string& name, Handle textStyle) {
  ObjectWriter w(kTypeDimstyle, handle);
  w.TableEntryCommon(control, name);
  BitWriter& d = w.Data();
  WriteMetricDimValues(d);
  d.BS(0xFFFE);  // DIMLWD ByBlock
  d.BS(0xFFFE);  // DIMLWE ByBlock
  d.B(false);
  w.Refs().H(kHardPointer, textStyle);
  for (int i = 0; i < 4; ++i) w.Refs().H(kHardPointer, 0);  // DIMLDRBLK, DIMBLK, DIMBLK1, DIMBLK2
  return w.Finish();
}

Record Vport(Handle handle, Handle control, const std::string& name, const ViewWindow& view, double gridSpacing) {
  ObjectWriter w(kTypeVport, handle);
  w.TableEntryCommon(control, name);
  BitWriter& d = w.Data();
  d.BD(view.height);
  d.BD(view.width);  // aspect ratio times height
  d.P2RD(view.centerX, view.centerY);
  d.P3BD(0, 0, 0);   // target
  d.P3BD(0, 0, 1);   // direction
  d.BD(0.0);         // twist
  d.BD(50.0);        // lens length
  d.BD(0.0);         // front clip
  d.BD(0.0);         // back clip
  d.Bits(1, 4);      // VIEWMODE
  d.RC(0);           // render mode
  d.P2RD(0, 0);      // lower left
  d.P2RD(1, 1);      // upper right
  d.B(false);        // UCSFOLLOW
  d.BS(1000);        // circle zoom
  d.B(true);         // fast zoom
  d.Bits(3, 2);      // UCSICON on, at origin
  d.B(false);        // grid off
  d.P2RD(gridSpacing, gridSpacing);
  d.B(false);        // snap off
  d.B(false);        // snap style
  d.BS(0);           // isopair
  d.BD(0.0);         // snap rotation
  d.P2RD(0, 0);      // snap base
  d.P2RD(gridSpacing, gridSpacing);
  d.B(false);
  d.B(true);         // UCS per viewport
  d.P3BD(0, 0, 0);
  d.P3BD(1, 0, 0);
  d.P3BD(0, 1, 0);
  d.BD(0.0);         // UCS elevation
  d.BS(0);           // not orthographic
  w.Refs().H(kHardPointer, 0);  // base UCS
  w.Refs().H(kHardPointer, 0);  // named UCS
  return w.Finish();
}

Record MlineStyle(Handle handle, Handle owner, const std::string& name) {
  ObjectWriter w(kTypeMlinestyle, handle);
  w.ObjectCommon(owner, {owner});
  BitWriter& d = w.Data();
  d.T(name);
  d.T("");
  d.BS(0);             // flags
  d.CMC(kColorByLayer);  // fill colour
  d.BD(kHalfPi);       // start angle
  d.BD(kHalfPi);       // end angle
  d.RC(2);
  for (double offset : {0.5, -0.5}) {
    d.BD(offset);
    d.CMC(kColorByLayer);
    d.BS(0x7FFF);      // linetype ByLayer
  }
  return w.Finish();
}

Record Layout(Handle handle, Handle owner, const LayoutInfo& info) {
  ObjectWriter w(kClassLayout, handle);
  w.ObjectCommon(owner, {owner});
  BitWriter& d = w.Data();
  // Plot settings: no device, as AutoCAD leaves a fresh drawing.
  d.T("");
  d.T("None");
  d.BS(info.model ? 1712 : 688);  // plot layout flags
  for (int i = 0; i < 4; ++i) d.BD(0.0);  // margins
  d.BD(0.0);  // paper width
  d.BD(0.0);  // paper height
  d.T("");    // paper size name
  d.P2BD(0, 0);  // plot origin
  d.BS(0);    // paper units
  d.BS(0);    // rotation
  d.BS(info.model ? 0 : 5);  // plot type: display / layout
  d.P2BD(0, 0);  // window min
  d.P2BD(0, 0);  // window max
  d.T("");    // plot view name
  d.BD(1.0);  // real world units
  d.BD(1.0);  // drawing units
  d.T("");    // style sheet
  d.BS(info.model ? 0 : 16);  // scale type
  d.BD(1.0);  // scale factor
  d.P2BD(0, 0);  // paper image origin
  // Layout proper.
  d.T(info.name);
  d.BS(info.tabOrder);
  d.BS(1);    // layout flags
  d.P3BD(0, 0, 0);  // UCS origin
  d.P2RD(info.limMinX, info.limMinY);
  d.P2RD(info.limMaxX, info.limMaxY);
  d.P3BD(0, 0, 0);  // insertion base
  d.P3BD(1, 0, 0);
  d.P3BD(0, 1, 0);
  d.BD(0.0);  // elevation
  d.BS(0);    // orthographic view type
  if (info.model) {
    d.P3BD(0, 0, 0);
    d.P3BD(0, 0, 0);
  } else {  // an empty paper space: inverted extents
    d.P3BD(1e20, 1e20, 1e20);
    d.P3BD(-1e20, -1e20, -1e20);
  }
  w.Refs().H(kSoftPointer, info.blockRecord);
  w.Refs().H(kSoftPointer, 0);  // last active viewport
  w.Refs().H(kHardPointer, 0);  // base UCS
  w.Refs().H(kHardPointer, 0);  // named UCS
  return w.Finish();
}

Record BlockRecord(Handle handle, Handle control, const BlockRecordInfo& info) {
  ObjectWriter w(kTypeBlockHeader, handle);
  w.TableEntryCommon(control, info.name);  // its trailing null hard pointer is the record's own
  BitWriter& d = w.Data();
  d.B(false);  // anonymous
  d.B(false);  // has attributes
  d.B(false);  // is xref
  d.B(false);  // xref overlaid
  d.B(false);  // loaded xref
  d.P3BD(0, 0, 0);  // base point
  d.T("");     // xref path
  d.RC(0);     // end of insert counts: no inserts
  d.T("");     // description
  d.BL(0);     // no preview
  w.Refs().H(kHardOwner, info.block);
  w.Refs().H(kSoftPointer, info.firstEntity);
  w.Refs().H(kSoftPointer, info.lastEntity);
  w.Refs().H(kHardOwner, info.endblk);
  w.Refs().H(kHardPointer, info.layout);
  return w.Finish();
}

Record BlockBegin(Handle handle, const EntityLinks& links, const std::string& name) {
  ObjectWriter w(kTypeBlock, handle);
  w.EntityCommon(links);
  w.Data().T(name);
  return w.Finish();
}

Record BlockEnd(Handle handle, const EntityLinks& links) {
  ObjectWriter w(kTypeEndblk, handle);
  w.EntityCommon(links);
  return w.Finish();
}

Record Line(Handle handle, const EntityLinks& links, double x1, double y1, double x2, double y2) {
  ObjectWriter w(kTypeLine, handle);
  w.EntityCommon(links);
  BitWriter& d = w.Data();
  d.B(true);  // both z are zero
  d.RD(x1);
  d.DD(x2, x1);
  d.RD(y1);
  d.DD(y2, y1);
  d.BT(0.0);
  d.BE(0, 0, 1);
  return w.Finish();
}

}  // namespace dwgframe
