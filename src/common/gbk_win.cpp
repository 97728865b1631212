#include <windows.h>

#include "common/gbk.h"

std::wstring GbkToWide(const Text& text) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(936, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(936, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

Text WideToGbk(const std::wstring& text) {
  if (text.empty()) return {};
  int n = WideCharToMultiByte(936, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                              nullptr, nullptr);
  Text out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(936, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
}
