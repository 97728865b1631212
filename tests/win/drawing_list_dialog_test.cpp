// Adding drawings through the real open-file dialog: a timer on the GUI thread finds the dialog
// while it runs modally, types two quoted names into its file-name box and presses Open.
#include <windows.h>
#include <commctrl.h>
#include <dlgs.h>

#include "app/main_window.h"
#include "common/gbk.h"
#include "common/globals.h"
#include "drawing_list/drawing_list.h"
#include "harness.h"
#include "settings/settings.h"

namespace {

struct DialogDriver {
  HWND owner = nullptr;
  std::wstring typed;
  HWND dialog = nullptr;
  std::wstring title;
  int ticks = 0;
  bool typedIn = false;
  std::wstring stuck;  // texts of the windows closed because the dialog did not end
};
DialogDriver* g_driver = nullptr;

BOOL CALLBACK FindOwnedDialog(HWND h, LPARAM) {
  wchar_t cls[32] = {};
  GetClassNameW(h, cls, 32);
  if (wcscmp(cls, L"#32770") == 0 && GetWindow(h, GW_OWNER) == g_driver->owner &&
      IsWindowVisible(h)) {
    g_driver->dialog = h;
    return FALSE;
  }
  return TRUE;
}

// The file-name box: the combo box cmb13 of the explorer-style dialog, or the edit box edt1.
HWND FileNameBox(HWND dialog) {
  HWND box = GetDlgItem(dialog, cmb13);
  if (!box) box = GetDlgItem(dialog, edt1);
  return box;
}

void CALLBACK DriveDialog(HWND, UINT, UINT_PTR id, DWORD) {
  DialogDriver& d = *g_driver;
  ++d.ticks;
  if (!d.dialog) EnumThreadWindows(GetCurrentThreadId(), FindOwnedDialog, 0);
  if (d.dialog && !d.typedIn) {
    HWND box = FileNameBox(d.dialog);
    if (!box) return;
    wchar_t t[256] = {};
    GetWindowTextW(d.dialog, t, 256);
    d.title = t;
    SetWindowTextW(box, d.typed.c_str());
    d.typedIn = true;
    SendMessageW(GetDlgItem(d.dialog, IDOK), BM_CLICK, 0, 0);
    return;
  }
  // Still open long after typing (or never found): report what is showing, close every dialog
  // of this thread (an error box of the dialog included) rather than hang the test.
  if (d.ticks > 100) {
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM) -> BOOL {
          wchar_t cls[32] = {}, text[512] = {};
          GetClassNameW(h, cls, 32);
          if (wcscmp(cls, L"#32770") == 0 && IsWindowVisible(h)) {
            HWND child = GetDlgItem(h, 0xFFFF);  // a message box's text
            if (child) GetWindowTextW(child, text, 512);
            g_driver->stuck += L"[" + std::wstring(text) + L"]";
            PostMessageW(h, WM_COMMAND, IDCANCEL, 0);
          }
          return TRUE;
        },
        0);
  }
  if (d.typedIn && !IsWindow(d.dialog)) KillTimer(nullptr, id);
}

using DrawingListDialog = AppTest;

// Clicks 增加 with the real dialog and types text into it.
DialogDriver AddThroughDialog(HWND main, const std::wstring& typed) {
  Seam().openFiles = real::OpenFiles;
  DialogDriver driver;
  driver.owner = main;
  driver.typed = typed;
  g_driver = &driver;
  UINT_PTR timer = SetTimer(nullptr, 0, 50, DriveDialog);
  Click(mainwin::按钮_增加);
  KillTimer(nullptr, timer);
  g_driver = nullptr;
  return driver;
}

TEST_F(DrawingListDialog, TwoQuotedNamesTypedIntoTheRealDialog) {
  for (const char* name : {"a.dwg", "b.dwg", "c.dxf"}) WriteAll(dir->file(name), "drawing");
  WriteAll(SettingsPath(), "[配置]\r\n路径=" + dir->path() + "\\\r\n");
  Start();
  ASSERT_EQ(lastFolder, dir->path() + "\\");
  DialogDriver driver = AddThroughDialog(main, L"\"a.dwg\" \"b.dwg\"");

  ASSERT_TRUE(driver.dialog) << "no open-file dialog owned by the main window";
  EXPECT_TRUE(driver.typedIn);
  EXPECT_EQ(WideToGbk(driver.stuck), "");
  EXPECT_FALSE(IsWindow(driver.dialog));
  EXPECT_EQ(WideToGbk(driver.title), "请选择要合并的CAD文件");
  ASSERT_EQ(drawing_list::RowCount(), 2);
  EXPECT_EQ(drawing_list::CellText(0, 0), "1");
  EXPECT_EQ(drawing_list::CellText(1, 0), "2");
  EXPECT_EQ(drawing_list::CellText(0, 1), dir->file("a.dwg"));
  EXPECT_EQ(drawing_list::CellText(1, 1), dir->file("b.dwg"));
  EXPECT_EQ(drawing_list::CellText(0, 2), "0.01KB");  // 7 bytes
  EXPECT_EQ(drawing_list::SelectedRow(), 0);
  EXPECT_EQ(ReadSetting(kKeyFolder), dir->path() + "\\");
  EXPECT_TRUE(seam->messages.empty());
}

}  // namespace
