#include <windows.h>

#include "common/files.h"
#include "common/gbk.h"

bool FileExists(const Text& path) {
  DWORD a = GetFileAttributesW(GbkToWide(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool ReadFileBytes(const Text& path, std::string& out) {
  HANDLE h = CreateFileW(GbkToWide(path).c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  out.clear();
  char buf[65536];
  DWORD got = 0;
  bool ok = true;
  while ((ok = ReadFile(h, buf, sizeof buf, &got, nullptr)) && got > 0) out.append(buf, got);
  CloseHandle(h);
  return ok;
}

bool WriteFileBytes(const Text& path, const std::string& bytes) {
  const std::wstring w = GbkToWide(path);
  // A hidden file refuses CREATE_ALWAYS without the hidden flag; open it in place instead.
  HANDLE h = CreateFileW(w.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD put = 0;
  bool ok = bytes.empty() ||
            (WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) &&
             put == bytes.size());
  ok = ok && SetEndOfFile(h);
  CloseHandle(h);
  return ok;
}

bool SetHiddenOnly(const Text& path) {
  return SetFileAttributesW(GbkToWide(path).c_str(), FILE_ATTRIBUTE_HIDDEN) != 0;
}

std::int64_t FileSize(const Text& path) {
  WIN32_FILE_ATTRIBUTE_DATA d;
  if (!GetFileAttributesExW(GbkToWide(path).c_str(), GetFileExInfoStandard, &d)) return -1;
  return (static_cast<std::int64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
}

bool FileModifiedTime(const Text& path, DateTime& out) {
  WIN32_FILE_ATTRIBUTE_DATA d;
  if (!GetFileAttributesExW(GbkToWide(path).c_str(), GetFileExInfoStandard, &d)) return false;
  FILETIME local;
  SYSTEMTIME st;
  if (!FileTimeToLocalFileTime(&d.ftLastWriteTime, &local) || !FileTimeToSystemTime(&local, &st))
    return false;
  out = {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
  return true;
}

namespace {
Text g_programDirOverride;
}
void OverrideProgramDirectory(const Text& dir) { g_programDirOverride = dir; }

Text ProgramDirectory() {
  if (!g_programDirOverride.empty()) return g_programDirOverride;
  std::wstring buf(32768, L'\0');
  DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
  buf.resize(n);
  Text path = WideToGbk(buf);
  std::size_t cut = FindLastChar(path, '\\');
  return cut == Text::npos ? path : path.substr(0, cut);
}
