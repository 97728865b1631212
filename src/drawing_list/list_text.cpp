#include "drawing_list/list_text.h"

Text SizeCellText(std::int64_t bytes) {
  if (bytes < 0) return MissingFileCellText();
  return numberToText(roundTo(static_cast<double>(bytes) / 1024.0, 2)) + "KB";
}

Text TimeCellText(const DateTime& t) { return FormatFileTime(t); }

Text MissingFileCellText() { return "文件不存在"; }
