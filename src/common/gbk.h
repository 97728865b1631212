// GBK <-> UTF-16 with code page 936, whatever the system code page. Windows only: this is the
// one place where program texts cross into W APIs.
#pragma once
#include <string>

#include "common/text.h"

std::wstring GbkToWide(const Text& text);
Text WideToGbk(const std::wstring& text);
