// Builders for the R2000 objects and entities of a small drawing. Each returns the object's full
// record as stored in the object stream: MS size, data and handle streams, CRC.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "bit_writer.h"

namespace dwgframe {

// Fixed R2000 object type numbers, and the class numbers this writer registers.
enum ObjectType : std::uint16_t {
  kTypeBlock = 4,
  kTypeEndblk = 5,
  kTypeLine = 19,
  kTypeDictionary = 42,
  kTypeBlockControl = 48,
  kTypeBlockHeader = 49,
  kTypeLayerControl = 50,
  kTypeLayer = 51,
  kTypeStyleControl = 52,
  kTypeStyle = 53,
  kTypeLtypeControl = 56,
  kTypeLtype = 57,
  kTypeViewControl = 60,
  kTypeUcsControl = 62,
  kTypeVportControl = 64,
  kTypeVport = 65,
  kTypeAppidControl = 66,
  kTypeAppid = 67,
  kTypeDimstyleControl = 68,
  kTypeDimstyle = 69,
  kTypeVxControl = 70,
  kTypeMlinestyle = 73,
  kClassDictionaryWithDefault = 500,
  kClassPlaceholder = 501,
  kClassLayout = 502,
};

using Handle = std::uint32_t;
using Record = std::vector<std::uint8_t>;

// Entity ownership as the common entity data encodes it.
enum class EntityMode : unsigned { kInBlock = 0, kPaperSpace = 1, kModelSpace = 2 };

struct EntityLinks {
  EntityMode mode = EntityMode::kModelSpace;
  Handle owner = 0;  // written only for kInBlock
  Handle layer = 0;
  Handle prev = 0;   // 0 = none
  Handle next = 0;
};

Record ControlObject(ObjectType type, Handle handle, const std::vector<Handle>& entries,
                     const std::vector<Handle>& extraOwned = {});
Record Dictionary(Handle handle, Handle owner, const std::vector<std::pair<std::string, Handle>>& entries);
Record DictionaryWithDefault(Handle handle, Handle owner,
                             const std::vector<std::pair<std::string, Handle>>& entries, Handle defaultEntry);
Record Placeholder(Handle handle, Handle owner);
Record Layer(Handle handle, Handle control, const std::string& name, std::uint16_t color, Handle plotStyle,
             Handle linetype);
Record TextStyle(Handle handle, Handle control, const std::string& name, double lastHeight, const std::string& font);
Record Linetype(Handle handle, Handle control, const std::string& name, const std::string& description);
Record AppId(Handle handle, Handle control, const std::string& name);
// DIMPOST..DIMATFIT with metric (ISO-25) values, in the R2000 order shared by the header
// variables and DIMSTYLE.
void WriteMetricDimValues(BitWriter& d);
Record DimStyle(Handle handle, Handle control, const std::string& name, Handle textStyle);
struct ViewWindow {
  double centerX, centerY, height, width;
};
Record Vport(Handle handle, Handle control, const std::string& name, const ViewWindow& view, double gridSpacing);
Record MlineStyle(Handle handle, Handle owner, const std::string& name);
struct LayoutInfo {
  std::string name;
  std::uint16_t tabOrder;
  bool model;
  Handle blockRecord;
  double limMinX, limMinY, limMaxX, limMaxY;
};
Record Layout(Handle handle, Handle owner, const LayoutInfo& info);
struct BlockRecordInfo {
  std::string name;
  Handle block, endblk;
  Handle firstEntity, lastEntity;  // 0 when the block holds no entities
  Handle layout;
};
Record BlockRecord(Handle handle, Handle control, const BlockRecordInfo& info);
Record BlockBegin(Handle handle, const EntityLinks& links, const std::string& name);
Record BlockEnd(Handle handle, const EntityLinks& links);
Record Line(Handle handle, const EntityLinks& links, double x1, double y1, double x2, double y2);

}  // namespace dwgframe
