#include "common/platform.h"

#include <commdlg.h>
#include <cderr.h>
#include <shellapi.h>
#include <shlobj.h>

#include <vector>

#include "common/gbk.h"

namespace {
PlatformSeam MakeRealSeam() {
  PlatformSeam s;
  s.messageBox = real::MessageBoxGbk;
  s.openFiles = real::OpenFiles;
  s.browseFolder = real::BrowseFolder;
  s.fetchUrl = real::FetchUrl;
  s.openUrl = real::OpenUrl;
  s.pause = real::Pause;
  s.now = real::Now;
  return s;
}
}  // namespace

PlatformSeam& Seam() {
  static PlatformSeam seam = MakeRealSeam();
  return seam;
}

void ResetSeam() { Seam() = MakeRealSeam(); }

int ShowMessage(HWND owner, const Text& text, const Text& title, UINT type) {
  return Seam().messageBox(owner, text, title, type);
}
OpenFileResult ShowOpenFileDialog(HWND owner, const OpenFileRequest& request) {
  return Seam().openFiles(owner, request);
}
Text ShowFolderDialog(HWND owner, const Text& title) { return Seam().browseFolder(owner, title); }
std::string FetchUrl(const Text& url) { return Seam().fetchUrl(url); }
void OpenUrl(const Text& address) { Seam().openUrl(address); }
void Pause(unsigned milliseconds) { Seam().pause(milliseconds); }
DateTime Now() { return Seam().now(); }

namespace real {

int MessageBoxGbk(HWND owner, const Text& text, const Text& title, UINT type) {
  return MessageBoxW(owner, GbkToWide(text).c_str(), GbkToWide(title).c_str(), type);
}

OpenFileResult OpenFiles(HWND owner, const OpenFileRequest& request) {
  OpenFileResult result;
  // "Name|pattern|Name|pattern" becomes the dialog's double-zero-terminated list.
  std::wstring filter = GbkToWide(request.filter);
  for (auto& ch : filter)
    if (ch == L'|') ch = L'\0';
  filter.push_back(L'\0');
  filter.push_back(L'\0');
  // The answer buffer is counted in bytes of names; in UTF-16 that is half as many characters
  // of room, so allow bufferBytes characters and check the GBK length afterwards.
  std::vector<wchar_t> buf(request.bufferBytes + 2, L'\0');
  std::wstring title = GbkToWide(request.title);
  std::wstring folder = GbkToWide(request.initialFolder);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = buf.data();
  ofn.nMaxFile = static_cast<DWORD>(buf.size() - 2);
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  ofn.lpstrTitle = title.c_str();
  ofn.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST |
              OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameW(&ofn)) {
    result.tooLong = CommDlgExtendedError() == FNERR_BUFFERTOOSMALL;
    return result;
  }
  // Explorer style: a single full path, or the folder followed by the file names, each
  // zero-terminated, ending in an empty name.
  std::vector<std::wstring> parts;
  for (const wchar_t* p = buf.data(); *p; p += wcslen(p) + 1) parts.emplace_back(p);
  std::size_t bytes = 0;
  for (const auto& part : parts) bytes += WideToGbk(part).size() + 1;
  if (bytes + 1 > request.bufferBytes) {
    result.tooLong = true;
    return result;
  }
  if (parts.size() == 1) {
    result.paths.push_back(WideToGbk(parts[0]));
  } else if (parts.size() > 1) {
    std::wstring dir = parts[0];
    if (!dir.empty() && dir.back() != L'\\') dir.push_back(L'\\');
    for (std::size_t i = 1; i < parts.size(); ++i) result.paths.push_back(WideToGbk(dir + parts[i]));
  }
  return result;
}

Text BrowseFolder(HWND owner, const Text& title) {
  std::wstring t = GbkToWide(title);
  BROWSEINFOW bi{};
  bi.hwndOwner = owner;
  bi.lpszTitle = t.c_str();
  bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
  PIDLIST_ABSOLUTE pidl = SHBrowseForFolderW(&bi);
  if (!pidl) return {};
  wchar_t path[MAX_PATH * 4] = {};
  Text out;
  if (SHGetPathFromIDListW(pidl, path)) out = WideToGbk(path);
  CoTaskMemFree(pidl);
  return out;
}

void OpenUrl(const Text& address) {
  ShellExecuteW(nullptr, L"open", GbkToWide(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void Pause(unsigned milliseconds) { Sleep(milliseconds); }

DateTime Now() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

}  // namespace real
