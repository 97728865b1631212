// Texts of the drawing list's size and time cells. Portable: no windows.h.
#pragma once
#include <cstdint>

#include "common/text.h"

// Kilobytes to two decimals, trailing zeros dropped: 1536 -> "1.5KB", 5 -> "0KB". The count is
// 64-bit so files of 2 GiB and more show their real size. A negative size (file missing)
// gives MissingFileCellText().
Text SizeCellText(std::int64_t bytes);

// "2024/3/5 9:7", as FormatFileTime.
Text TimeCellText(const DateTime& t);

// Shown in the size and time cells of a file that does not exist.
Text MissingFileCellText();
