// drive_merge.exe: runs a whole merge in a running Tessaro the way a person would, for
// demonstrations next to fakecad.exe. It finds the main window (class TessaroMain), clicks 增加,
// types the drawings' names into the real open-file dialog, clicks 开始合图 and answers the
// message boxes with OK.
//
//   drive_merge.exe FOLDER NAME...      (names of drawing files inside FOLDER)
//
// Exit code 0 when the completion message was answered; 1 on a missing window or dialog.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

DWORD g_pid;

HWND FindChildByText(HWND parent, const wchar_t* cls, const wchar_t* text) {
  struct Want {
    const wchar_t *cls, *text;
    HWND found;
  } want{cls, text, nullptr};
  EnumChildWindows(
      parent,
      [](HWND h, LPARAM lp) -> BOOL {
        auto* w = reinterpret_cast<Want*>(lp);
        wchar_t c[64], t[256];
        GetClassNameW(h, c, 64);
        GetWindowTextW(h, t, 256);
        if (_wcsicmp(c, w->cls) == 0 && wcscmp(t, w->text) == 0) {
          w->found = h;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&want));
  return want.found;
}

// A visible dialog (#32770) of Tessaro's process whose title starts with title ("" for any).
HWND FindDialog(const std::wstring& title) {
  struct Want {
    const std::wstring* title;
    HWND found;
  } want{&title, nullptr};
  EnumWindows(
      [](HWND h, LPARAM lp) -> BOOL {
        auto* w = reinterpret_cast<Want*>(lp);
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        wchar_t c[64], t[256];
        GetClassNameW(h, c, 64);
        GetWindowTextW(h, t, 256);
        if (pid == g_pid && wcscmp(c, L"#32770") == 0 && IsWindowVisible(h) &&
            std::wstring(t).compare(0, w->title->size(), *w->title) == 0) {
          w->found = h;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&want));
  return want.found;
}

HWND WaitForDialog(const std::wstring& title, DWORD ms) {
  for (DWORD waited = 0; waited < ms; waited += 50) {
    if (HWND h = FindDialog(title)) return h;
    Sleep(50);
  }
  return nullptr;
}

void WaitGone(HWND h, DWORD ms) {
  for (DWORD waited = 0; waited < ms && IsWindow(h) && IsWindowVisible(h); waited += 50) Sleep(50);
}

// The file-name box of the open-file dialog: the edit of combo cmb13 (0x47C), or edt1 (0x480).
HWND FileNameBox(HWND dialog) {
  if (HWND combo = GetDlgItem(dialog, 0x47C)) {
    if (HWND edit = FindWindowExW(combo, nullptr, L"Edit", nullptr)) return edit;
    return combo;
  }
  return GetDlgItem(dialog, 0x480);
}

void TypeAndConfirm(HWND dialog, const std::wstring& text) {
  SendMessageW(FileNameBox(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

bool Fail(const char* what) {
  std::fprintf(stderr, "drive_merge: %s\n", what);
  return false;
}

bool Drive(const std::wstring& folder, const std::vector<std::wstring>& names) {
  HWND main = nullptr;
  for (int i = 0; i < 600 && !main; ++i) {
    main = FindWindowW(L"TessaroMain", nullptr);
    if (!main) Sleep(50);
  }
  if (!main) return Fail("no Tessaro main window");
  GetWindowThreadProcessId(main, &g_pid);
  HWND add = FindChildByText(main, L"Button", L"增加");
  HWND start = FindChildByText(main, L"Button", L"开始合图");
  if (!add || !start) return Fail("no 增加 / 开始合图 button");

  // 增加: the dialog is modal, so the click is posted and the dialog awaited.
  PostMessageW(add, BM_CLICK, 0, 0);
  HWND dialog = WaitForDialog(L"", 20000);
  if (!dialog) return Fail("no open-file dialog");
  Sleep(300);
  // First the folder (the dialog moves there), then the names inside it.
  TypeAndConfirm(dialog, folder);
  Sleep(500);
  std::wstring list;
  for (const std::wstring& n : names) list += L"\"" + n + L"\" ";
  TypeAndConfirm(dialog, list);
  WaitGone(dialog, 10000);
  if (IsWindow(dialog) && IsWindowVisible(dialog)) return Fail("the open-file dialog did not take the names");
  Sleep(300);

  PostMessageW(start, BM_CLICK, 0, 0);
  HWND box = WaitForDialog(L"准备开始合并文件", 20000);
  if (!box) return Fail("no start message");
  Sleep(500);  // long enough for a person to read it
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  WaitGone(box, 5000);
  // The run takes (n + F) x 200 ms and more; its last box is the completion message.
  box = WaitForDialog(L"提示", 60000 + static_cast<DWORD>(names.size()) * 1000);
  if (!box) return Fail("no completion message");
  Sleep(1500);
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  WaitGone(box, 5000);
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: drive_merge FOLDER NAME...\n");
    return 2;
  }
  std::vector<std::wstring> names(argv + 2, argv + argc);
  return Drive(argv[1], names) ? 0 : 1;
}
