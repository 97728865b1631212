#include <windows.h>

#include "cad/part_frame.h"
#include "common/files.h"
#include "resources/resource_ids.h"

Text PartFramePath() { return ProgramDirectory() + "\\零件图框.dwg"; }

std::string PartFrameBytes() {
  HMODULE self = GetModuleHandleW(nullptr);
  HRSRC res = FindResourceW(self, MAKEINTRESOURCEW(IDR_PART_FRAME), MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (!res) return {};
  HGLOBAL data = LoadResource(self, res);
  const void* bytes = data ? LockResource(data) : nullptr;
  if (!bytes) return {};
  return std::string(static_cast<const char*>(bytes), SizeofResource(self, res));
}

void WritePartFrameIfMissing() {
  const Text path = PartFramePath();
  if (FileExists(path)) return;
  const std::string bytes = PartFrameBytes();
  if (!bytes.empty()) WriteFileBytes(path, bytes);
}
