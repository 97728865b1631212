// The platform seam: every effect a test must observe or script goes through here. The defaults
// are the real Win32 implementations; tests replace members of Seam() with doubles.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "common/text.h"

struct OpenFileRequest {
  Text title;
  Text filter;         // "DWG文件|*.dwg|DXF文件|*.dxf"
  Text initialFolder;  // empty: where the platform chooses
  DWORD bufferBytes = 61440;
};

struct OpenFileResult {
  TextArray paths;        // full paths in the dialog's order; empty on cancel
  bool tooLong = false;   // the selection did not fit into the answer buffer
};

struct PlatformSeam {
  // Returns the button pressed (IDOK, IDCANCEL).
  std::function<int(HWND owner, const Text& text, const Text& title, UINT type)> messageBox;
  std::function<OpenFileResult(HWND owner, const OpenFileRequest&)> openFiles;
  // The chosen folder's full path; empty when cancelled.
  std::function<Text(HWND owner, const Text& title)> browseFolder;
  std::function<std::string(const Text& url)> fetchUrl;
  std::function<void(const Text& address)> openUrl;
  std::function<void(unsigned milliseconds)> pause;
  std::function<DateTime()> now;
};

PlatformSeam& Seam();
// Puts the real implementations back.
void ResetSeam();

// The program calls these; each forwards to the seam.
int ShowMessage(HWND owner, const Text& text, const Text& title, UINT type);
OpenFileResult ShowOpenFileDialog(HWND owner, const OpenFileRequest& request);
Text ShowFolderDialog(HWND owner, const Text& title);
std::string FetchUrl(const Text& url);
void OpenUrl(const Text& address);
void Pause(unsigned milliseconds);
DateTime Now();

// Real implementations (also used by tests that drive the real dialogs).
namespace real {
int MessageBoxGbk(HWND owner, const Text& text, const Text& title, UINT type);
OpenFileResult OpenFiles(HWND owner, const OpenFileRequest& request);
Text BrowseFolder(HWND owner, const Text& title);
std::string FetchUrl(const Text& url);
void OpenUrl(const Text& address);
void Pause(unsigned milliseconds);
DateTime Now();
}  // namespace real
