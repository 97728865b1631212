// Whole-file access by GBK path. Portable interface; Windows converts the path with code page 936
// and uses the W APIs, other systems take the bytes as they are (tests only).
#pragma once
#include <cstdint>
#include <string>

#include "common/text.h"

bool FileExists(const Text& path);
bool ReadFileBytes(const Text& path, std::string& out);
// Replaces the whole file (creating it); false when it cannot be written.
bool WriteFileBytes(const Text& path, const std::string& bytes);
// Sets the file's attributes to hidden and nothing else; false on failure.
bool SetHiddenOnly(const Text& path);
// File size in bytes, -1 when the file cannot be found.
std::int64_t FileSize(const Text& path);
// Last-modification time in local time; false when the file cannot be found.
bool FileModifiedTime(const Text& path, DateTime& out);
// Directory of the running executable, without a trailing backslash. Tests may point it elsewhere
// (an empty text restores the real one).
Text ProgramDirectory();
void OverrideProgramDirectory(const Text& dir);
