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
  // Still open long after typing (or never found): give up rather than hang the test.
  if (d.ticks > 100) {
    if (d.dialog && IsWindow(d.dialog)) PostMessageW(d.dialog, WM_COMMAND, IDCANCEL, 0);
    KillTimer(nullptr, id);
  }
  if (d.typedIn && !IsWindow(d.dialog)) KillTimer(nullptr, id);
}

using DrawingListDialog = AppTest;

TEST_F(DrawingListDialog, TwoQuotedNamesTypedIntoTheRealDialog) {
  for (const char* name : {"a.dwg", "b.dwg", "c.dxf"}) WriteAll(dir->file(name), "drawing");
  WriteAll(SettingsPath(), "[配置]\r\n路径=" + dir->path() + "\\\r\n");
  Start();
  ASSERT_EQ(lastFolder, dir->path() + "\\");
  Seam().openFiles = real::OpenFiles;

  DialogDriver driver;
  driver.owner = main;
  driver.typed = L"\"a.dwg\" \"b.dwg\"";
  g_driver = &driver;
  UINT_PTR timer = SetTimer(nullptr, 0, 50, DriveDialog);
  SendMessageW(mainwin::按钮_增加, BM_CLICK, 0, 0);
  KillTimer(nullptr, timer);
  g_driver = nullptr;

  ASSERT_TRUE(driver.dialog) << "no open-file dialog owned by the main window";
  EXPECT_TRUE(driver.typedIn);
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
