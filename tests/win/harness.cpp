#include "harness.h"

#include <shellapi.h>

#include <atomic>
#include <cstdio>

#include "app/main_window.h"
#include "app/tools_window.h"
#include "common/files.h"
#include "common/gbk.h"

SeamDoubles::SeamDoubles() {
  PlatformSeam& s = Seam();
  s.messageBox = [this](HWND owner, const Text& text, const Text& title, UINT type) {
    messages.push_back({owner, text, title, type});
    if (onMessage) onMessage(messages.back());
    if (messageAnswers.empty()) return IDOK;
    int a = messageAnswers.front();
    messageAnswers.pop_front();
    return a;
  };
  s.openUrl = [this](const Text& url) { openedUrls.push_back(url); };
  s.fetchUrl = [this](const Text& url) {
    fetchedUrls.push_back(url);
    auto it = fetchBodies.find(url);
    return it == fetchBodies.end() ? std::string() : it->second;
  };
  s.openFiles = [this](HWND, const OpenFileRequest& r) {
    openFileRequests.push_back(r);
    if (openFileAnswers.empty()) return OpenFileResult{};
    OpenFileResult a = openFileAnswers.front();
    openFileAnswers.pop_front();
    return a;
  };
  s.browseFolder = [this](HWND, const Text& title) {
    folderTitles.push_back(title);
    if (folderAnswers.empty()) return Text();
    Text a = folderAnswers.front();
    folderAnswers.pop_front();
    return a;
  };
  s.pause = [this](unsigned ms) {
    pauses.push_back(ms);
    if (realPauses) Sleep(ms);
  };
  s.now = [this] { return now; };
}

SeamDoubles::~SeamDoubles() { ResetSeam(); }

TempProgramDir::TempProgramDir() {
  static std::atomic<int> counter{0};
  wchar_t tmp[MAX_PATH];
  GetTempPathW(MAX_PATH, tmp);
  Text base = WideToGbk(tmp);
  if (!base.empty() && base.back() == '\\') base.pop_back();
  path_ = base + "\\合图测试_" + IntToText(GetCurrentProcessId()) + "_" + IntToText(counter++) + "_" +
          IntToText(GetTickCount());
  CreateDirectoryW(GbkToWide(path_).c_str(), nullptr);
}

TempProgramDir::~TempProgramDir() { RemoveTree(path_); }

void RemoveTree(const Text& path) {
  std::wstring from = GbkToWide(path);
  // Hidden files must lose their attribute first or some shells refuse them.
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((from + L"\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = fd.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring full = from + L"\\" + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(WideToGbk(full));
      } else {
        SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(full.c_str());
      }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryW(from.c_str());
}

void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) continue;
    DispatchAppMessage(msg);
  }
}

namespace {
HWND g_clickWatched;
bool g_clickHeard;

LRESULT CALLBACK WatchClicks(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const auto* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (m->message == WM_COMMAND && HIWORD(m->wParam) == BN_CLICKED &&
        reinterpret_cast<HWND>(m->lParam) == g_clickWatched)
      g_clickHeard = true;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
}  // namespace

void Click(HWND button) {
  HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, WatchClicks, nullptr, GetCurrentThreadId());
  g_clickWatched = button;
  g_clickHeard = false;
  for (int attempt = 1; attempt <= 3 && !g_clickHeard; ++attempt) {
    if (attempt > 1) {
      fprintf(stderr, "harness: BM_CLICK #%d on %p gave no BN_CLICKED; clicking again\n",
              attempt - 1, static_cast<void*>(button));
      PumpMessages();
    }
    SendMessageW(button, BM_CLICK, 0, 0);
    if (!hook) break;  // nothing to watch with
  }
  g_clickWatched = nullptr;
  if (hook) UnhookWindowsHookEx(hook);
}

std::string ReadAll(const Text& path) {
  std::string out;
  ReadFileBytes(path, out);
  return out;
}

void WriteAll(const Text& path, const std::string& bytes) {
  SetFileAttributesW(GbkToWide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
  ASSERT_TRUE(WriteFileBytes(path, bytes)) << path;
}

DWORD FileAttributes(const Text& path) { return GetFileAttributesW(GbkToWide(path).c_str()); }

void AppTest::SetUp() {
  seam = std::make_unique<SeamDoubles>();
  dir = std::make_unique<TempProgramDir>();
  OverrideProgramDirectory(dir->path());
  InitGlobals();
}

void AppTest::Start() {
  main = CreateMainWindow();
  ASSERT_NE(main, nullptr);
  PumpMessages();
}

void AppTest::TearDown() {
  CloseToolsWindow();
  if (mainwin::window) DestroyWindow(mainwin::window);
  PumpMessages();
  FreeGlobals();
  OverrideProgramDirectory("");
  dir.reset();
  seam.reset();
}
