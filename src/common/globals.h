// The program-wide values that every window and procedure shares, in their declaration order.
// The five automation references live with the CAD code (cad/automation.h).
#pragma once
#include <cstdint>

#include "common/text.h"

extern std::int32_t ArrangementMode;  // 1 horizontal, 2 vertical, 3 mixed, 4 directional
extern TextArray sizeEntries;         // sizeListText split at "/"
extern Text sizeListText;             // settings value 尺寸
extern Text helpFlagText;             // settings value 帮助
extern std::int32_t runCount;         // settings value 次数 as read
extern Text lastFolder;               // settings value 路径
extern Text versionListText;          // settings value 版本
extern std::int32_t selectedTable;    // tools window: 0 none, 1 version table, 2 size table
extern TextArray toolLinks;           // link of each tool row
extern TextArray toolPictureUrls;     // picture address of each tool row

// Resets the portable globals to their first values.
void ResetPortableGlobals();
