// Portable stand-in used by the native tests: paths are taken as bytes.
#include <sys/stat.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>

#include "common/files.h"

bool FileExists(const Text& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool ReadFileBytes(const Text& path, std::string& out) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  out.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  return true;
}

bool WriteFileBytes(const Text& path, const std::string& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  if (!f) return false;
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(f.flush());
}

// No hidden attribute here: report success when the file exists.
bool SetHiddenOnly(const Text& path) { return FileExists(path); }

std::int64_t FileSize(const Text& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return -1;
  return static_cast<std::int64_t>(st.st_size);
}

bool FileModifiedTime(const Text& path, DateTime& out) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return false;
  std::tm tm{};
  localtime_r(&st.st_mtime, &tm);
  out = {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
  return true;
}

namespace {
Text g_programDirOverride;
}
void OverrideProgramDirectory(const Text& dir) { g_programDirOverride = dir; }
Text ProgramDirectory() { return g_programDirOverride.empty() ? Text(".") : g_programDirOverride; }
