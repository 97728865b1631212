// Lays out an R2000 (AC1015) file around prepared header variables, classes and objects:
// file header with section locators, auxiliary header, preview, header variables, classes,
// object stream, object map, free-space record, second header and measurement record.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "dwg_objects.h"

namespace dwgframe {

struct DwgClass {
  std::uint16_t number;
  std::string cppName;
  std::string dxfName;
};

struct FileContents {
  BitWriter headerVariables;  // the header variables stream, without sentinels, size or CRC
  std::vector<DwgClass> classes;
  std::vector<std::pair<Handle, Record>> objects;  // in stream order
  Handle handseed = 0;
  std::uint32_t julianDay = 0;  // creation and update date
  std::uint32_t milliseconds = 0;
  // The control objects and dictionaries the second header lists, by its slot number (1..13).
  std::vector<std::pair<std::uint8_t, Handle>> secondHeaderHandles;
  bool metric = true;
};

std::vector<std::uint8_t> AssembleR2000(const FileContents& contents);

// File offsets the assembler uses for the fixed leading parts.
constexpr std::uint32_t kFileHeaderSize = 0x61;
constexpr std::uint32_t kAuxHeaderSize = 0x7B;

}  // namespace dwgframe
