// The tools window's second page on the real window: the controls, filling the tables from the
// settings file, the table looks, adding and deleting rows, saving, the folder dialog and the
// close handler.
#include <windows.h>
#include <commctrl.h>

#include "app/main_window.h"
#include "app/tools_window.h"
#include "common/gbk.h"
#include "common/globals.h"
#include "harness.h"
#include "online/grid.h"
#include "online/settings_page.h"
#include "settings/settings.h"

namespace {

class SettingsPage : public AppTest {
 protected:
  // Starts with a settings file holding these lists (nullptr: the defaults written at start).
  void Open(const char* versions = nullptr, const char* sizes = nullptr,
            const char* folder = "C:\\图纸\\") {
    if (versions || sizes) {
      WriteAll(SettingsPath(), std::string("[配置]\r\n帮助=0\r\n路径=") + folder + "\r\n次数=3\r\n版本=" +
                                   (versions ? versions : kDefaultVersionList) + "\r\n尺寸=" +
                                   (sizes ? sizes : kDefaultSizeList) + "\r\n");
    }
    Start();
    OpenTools();
  }
  void OpenTools() {
    Click(mainwin::按钮_广告);
    ASSERT_TRUE(toolswin::window && IsWindow(toolswin::window));
    toolswin::ShowPage(1);
    PumpMessages();
  }

  static Text Row(HWND table, int row) {
    Text out;
    for (int c = 0; c < grid::ColumnCount(table); ++c)
      out += (c ? "|" : "") + grid::Cell(table, row, c);
    return out;
  }
  static Text Numbers(HWND table) {
    Text out;
    for (int r = 1; r < grid::RowCount(table); ++r) out += (r > 1 ? "," : "") + grid::Cell(table, r, 0);
    return out;
  }
  // A left click on a data cell, as the mouse gives it.
  static void ClickCell(HWND table, int row, int column) {
    int x = 0;
    for (int c = 0; c < column; ++c) x += grid::ColumnWidth(table, c);
    x += grid::ColumnWidth(table, column) / 2;
    const LPARAM at = MAKELPARAM(x, (row - grid::TopRow(table) + 1) * 24 + 12);
    SendMessageW(table, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(table, WM_LBUTTONUP, 0, at);
    PumpMessages();
  }
  static void Press(HWND button) {
    Click(button);
    PumpMessages();
  }
  void Save() {
    seam->messages.clear();
    Press(toolswin::按钮_保存);
  }
};

TEST_F(SettingsPage, ControlsAtTheirPlacesAndTablesAsLaidOut) {
  Open();
  struct Want {
    HWND* h;
    int x, y, w, h2;
    const char* text;
  } want[] = {
      {&toolswin::标签6, 16, 40, 72, 24, "默认路径:"},
      {&toolswin::编辑框_路径, 96, 40, 392, 28, nullptr},
      {&toolswin::按钮_路径, 495, 38, 80, 30, "...浏览"},
      {&toolswin::高级表格_版本, 16, 80, 220, 280, nullptr},
      {&toolswin::高级表格_尺寸, 242, 80, 245, 280, nullptr},
      {&toolswin::按钮_增加, 495, 254, 80, 30, "增加行"},
      {&toolswin::按钮_删除, 495, 292, 80, 30, "删除行"},
      {&toolswin::按钮_保存, 495, 330, 80, 30, "保存设置"},
      {&toolswin::标签3, 16, 371, 536, 24,
       "说明:有CAD新版本或调整图纸尺寸时可修改，如不清楚请不要修改此数据。"},
  };
  std::size_t n = 0;
  toolswin::SettingsControls(&n);
  EXPECT_EQ(n, sizeof want / sizeof want[0]);
  for (const Want& w : want) {
    HWND h = *w.h;
    ASSERT_TRUE(h && IsWindow(h));
    SCOPED_TRACE(ui::GetText(h));
    EXPECT_EQ(GetParent(h), toolswin::页面_设置);
    RECT r;
    GetWindowRect(h, &r);
    MapWindowPoints(nullptr, toolswin::页面_设置, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, w.x);
    EXPECT_EQ(r.top, w.y);
    EXPECT_EQ(r.right - r.left, w.w);
    EXPECT_EQ(r.bottom - r.top, w.h2);
    if (w.text) EXPECT_EQ(ui::GetText(h), w.text);
    HFONT f = reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0));
    LOGFONTW lf{};
    ASSERT_TRUE(f && GetObjectW(f, sizeof lf, &lf));
    EXPECT_EQ(std::abs(lf.lfHeight), 16);
  }
  struct Table {
    HWND h;
    std::vector<Text> headers;
    std::vector<int> widths;
  } tables[] = {
      {toolswin::高级表格_版本, {"序号", "CAD内部号", "CAD版本号"}, {35, 80, 85}},
      {toolswin::高级表格_尺寸, {"序号", "规格", "方向", "尺寸"}, {35, 50, 50, 90}},
  };
  for (const Table& t : tables) {
    ASSERT_EQ(grid::ColumnCount(t.h), static_cast<int>(t.headers.size()));
    for (int c = 0; c < grid::ColumnCount(t.h); ++c) {
      EXPECT_EQ(grid::Cell(t.h, 0, c), t.headers[static_cast<std::size_t>(c)]);
      EXPECT_EQ(grid::ColumnWidth(t.h, c), t.widths[static_cast<std::size_t>(c)]);
      EXPECT_TRUE(grid::Centred(t.h, 0, c));
    }
    EXPECT_EQ(grid::LineColour(t.h), RGB(192, 192, 192));
    EXPECT_EQ(grid::CellBackground(t.h), RGB(255, 255, 255));
    EXPECT_TRUE(GetWindowLongW(t.h, GWL_STYLE) & WS_TABSTOP);
    EXPECT_TRUE(GetWindowLongW(t.h, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  }
  EXPECT_EQ(selectedTable, 0);
}

TEST_F(SettingsPage, DefaultsFillBothTablesAndThePath) {
  Open();
  HWND v = toolswin::高级表格_版本, s = toolswin::高级表格_尺寸;
  EXPECT_EQ(grid::RowCount(v), 26);
  EXPECT_EQ(Row(v, 1), "1|15|2000");
  EXPECT_EQ(Row(v, 25), "25|25.1|2026");
  EXPECT_EQ(grid::RowCount(s), 12);
  EXPECT_EQ(Row(s, 1), "1|A0|横向|1189*841");
  EXPECT_EQ(Row(s, 11), "11|Z1|定向排|105*95");
  EXPECT_EQ(ui::GetText(toolswin::编辑框_路径), "D:\\");
  EXPECT_EQ(grid::TopRow(v), 1);  // shown from the first row
  EXPECT_EQ(grid::TopRow(s), 1);
  EXPECT_TRUE(GetWindowLongW(v, GWL_STYLE) & WS_VSCROLL);
}

TEST_F(SettingsPage, EntriesLackingPiecesLeaveTheirCellsEmpty) {
  Open("15/16-2004/17-2007-extra/", "A0/A1-横向//A2-竖向-594*420-x/");
  HWND v = toolswin::高级表格_版本, s = toolswin::高级表格_尺寸;
  ASSERT_EQ(grid::RowCount(v), 4);
  EXPECT_EQ(Row(v, 1), "1|15|");
  EXPECT_EQ(Row(v, 2), "2|16|2004");
  EXPECT_EQ(Row(v, 3), "3|17|2007");
  ASSERT_EQ(grid::RowCount(s), 5);
  EXPECT_EQ(Row(s, 1), "1|A0||");
  EXPECT_EQ(Row(s, 2), "2|A1|横向|");
  EXPECT_EQ(Row(s, 3), "3|||");
  EXPECT_EQ(Row(s, 4), "4|A2|竖向|594*420");
  // Their rows fail the save's tests and are left out.
  Save();
  EXPECT_EQ(ReadSetting("版本"), "16-2004/17-2007/");
  EXPECT_EQ(ReadSetting("尺寸"), "A2-竖向-594*420/");
}

TEST_F(SettingsPage, NoSettingsFileLeavesHeadersOnlyAndSaveWritesANewFile) {
  Start();
  SetFileAttributesW(GbkToWide(SettingsPath()).c_str(), FILE_ATTRIBUTE_NORMAL);
  ASSERT_TRUE(DeleteFileW(GbkToWide(SettingsPath()).c_str()));
  OpenTools();
  EXPECT_EQ(grid::RowCount(toolswin::高级表格_版本), 1);
  EXPECT_EQ(grid::RowCount(toolswin::高级表格_尺寸), 1);
  EXPECT_EQ(grid::ColumnCount(toolswin::高级表格_尺寸), 4);
  EXPECT_EQ(ui::GetText(toolswin::编辑框_路径), "");
  Save();
  EXPECT_EQ(ReadAll(SettingsPath()), "[配置]\r\n路径=\r\n版本=\r\n尺寸=\r\n");
}

TEST_F(SettingsPage, SavingUnchangedWritesBackTheTextsReadAndConfirms) {
  const char* cases[][2] = {
      {nullptr, nullptr},
      {"15-2000/99-测试/", "B5-横-250*176/Z9-定向排-10*10/"},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c[0] ? c[0] : "defaults");
    Open(c[0], c[1]);
    const Text folder = ReadSetting("路径"), versions = ReadSetting("版本"), sizes = ReadSetting("尺寸");
    ClickCell(toolswin::高级表格_尺寸, 1, 1);  // opens an edit, left as it is
    Save();
    EXPECT_EQ(ReadSetting("路径"), folder);
    EXPECT_EQ(ReadSetting("版本"), versions);
    EXPECT_EQ(ReadSetting("尺寸"), sizes);
    ASSERT_EQ(seam->messages.size(), 1u);
    EXPECT_EQ(seam->messages[0].owner, toolswin::window);
    EXPECT_EQ(seam->messages[0].text, "-----数据已保存-----2025年3月7日14时5分9秒");
    EXPECT_EQ(seam->messages[0].title, "提示");
    EXPECT_EQ(seam->messages[0].type & MB_TYPEMASK, static_cast<UINT>(MB_OK));
    // A save doesn't refill the tables.
    EXPECT_EQ(grid::RowCount(toolswin::高级表格_尺寸), static_cast<int>(split(sizes, "/").size()) + 1);
    DestroyWindow(main);
    PumpMessages();
    InitGlobals();
  }
}

TEST_F(SettingsPage, RowFiltersOfTheSave) {
  Open("15-2000/16-2004/", "A0-横向-1189x841/A1-横向-841*594/A2--594*420/A3-竖-297 x 420/");
  HWND v = toolswin::高级表格_版本, s = toolswin::高级表格_尺寸;
  ClickCell(v, 1, 1);
  Press(toolswin::按钮_增加);  // an empty row in each table
  ClickCell(s, 1, 1);
  Press(toolswin::按钮_增加);
  EXPECT_EQ(grid::RowCount(v), 4);
  EXPECT_EQ(grid::RowCount(s), 6);
  // A row with only its version filled, and one whose cells hold "-" and "/" (written unchanged).
  Press(toolswin::按钮_增加);
  grid::SetCell(s, 6, 1, "X-1");
  grid::SetCell(s, 6, 2, " 横 ");
  grid::SetCell(s, 6, 3, "1/2*3");
  grid::SetCell(v, 3, 1, "30");
  Save();
  EXPECT_EQ(ReadSetting("版本"), "15-2000/16-2004/");
  EXPECT_EQ(ReadSetting("尺寸"), "A1-横向-841*594/X-1- 横 -1/2*3/");
}

TEST_F(SettingsPage, ClickingATableSelectsItsLook) {
  Open();
  HWND v = toolswin::高级表格_版本, s = toolswin::高级表格_尺寸;
  struct Step {
    HWND click;
    int want;
  } steps[] = {{v, 1}, {s, 2}, {s, 2}, {v, 1}};
  for (const Step& st : steps) {
    ClickCell(st.click, 2, 2);
    EXPECT_EQ(selectedTable, st.want);
    HWND on = st.want == 1 ? v : s, off = st.want == 1 ? s : v;
    EXPECT_EQ(grid::LineColour(on), RGB(0, 0, 0));
    EXPECT_EQ(grid::CellBackground(on), RGB(192, 192, 192));
    EXPECT_EQ(grid::LineColour(off), RGB(192, 192, 192));
    EXPECT_EQ(grid::CellBackground(off), RGB(255, 255, 255));
  }
  // The event fires on release, not on the press.
  ClickCell(v, 1, 1);
  SendMessageW(s, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 36));
  EXPECT_EQ(selectedTable, 1);
  SendMessageW(s, WM_LBUTTONUP, 0, MAKELPARAM(60, 36));
  EXPECT_EQ(selectedTable, 2);
}

TEST_F(SettingsPage, AddOrDeleteBeforeAnyTableClickComplains) {
  Open();
  for (HWND button : {toolswin::按钮_增加, toolswin::按钮_删除}) {
    seam->messages.clear();
    Press(button);
    ASSERT_EQ(seam->messages.size(), 1u);
    EXPECT_EQ(seam->messages[0].text, "请先单击选择一个表格");
    EXPECT_EQ(seam->messages[0].title, "错误");
    EXPECT_EQ(seam->messages[0].owner, toolswin::window);
  }
  EXPECT_EQ(grid::RowCount(toolswin::高级表格_版本), 26);
  EXPECT_EQ(grid::RowCount(toolswin::高级表格_尺寸), 12);
}

TEST_F(SettingsPage, DeleteKeepsNumbersAndAddNumbersByRowCount) {
  Open("15-2000/16-2004/17-2007/");
  HWND v = toolswin::高级表格_版本;
  ClickCell(v, 2, 1);
  Press(toolswin::按钮_删除);
  EXPECT_EQ(Numbers(v), "1,3");
  EXPECT_EQ(Row(v, 2), "3|17|2007");
  Press(toolswin::按钮_增加);
  EXPECT_EQ(Numbers(v), "1,3,3");
  EXPECT_EQ(Row(v, 3), "3||");
  EXPECT_TRUE(seam->messages.empty());
}

TEST_F(SettingsPage, RepeatedDeletesWalkDownThenUp) {
  Open(nullptr, "A0-横向-1189*841/A1-横向-841*594/A2-横向-594*420/A3-横向-420*297/");
  HWND s = toolswin::高级表格_尺寸;
  ClickCell(s, 3, 2);
  const char* after[] = {"1,2,4", "1,2", "1", "", ""};
  for (const char* want : after) {
    Press(toolswin::按钮_删除);
    EXPECT_EQ(Numbers(s), want);
  }
  EXPECT_EQ(grid::CurrentRow(s), -1);
  EXPECT_TRUE(seam->messages.empty());
}

TEST_F(SettingsPage, FolderDialogFillsThePathBoxAndCancelEmptiesIt) {
  Open();
  seam->folderAnswers = {"E:\\新图纸"};
  Press(toolswin::按钮_路径);
  EXPECT_EQ(ui::GetText(toolswin::编辑框_路径), "E:\\新图纸");
  EXPECT_EQ(ReadSetting("路径"), "D:\\");  // nothing written before a save
  Press(toolswin::按钮_路径);  // cancelled
  EXPECT_EQ(seam->folderTitles, (std::vector<Text>{"指定CAD图纸文件路径", "指定CAD图纸文件路径"}));
  EXPECT_EQ(ui::GetText(toolswin::编辑框_路径), "");
  Save();
  EXPECT_EQ(ReadAll(SettingsPath()).find("路径=\r\n") != std::string::npos, true);
  EXPECT_EQ(ReadSetting("版本"), kDefaultVersionList);
}

TEST_F(SettingsPage, ACellBeingEditedIsSaved) {
  // Pressed with the mouse (the edit loses the focus) and sent as the button's command (it
  // doesn't): both save the typed text.
  for (bool byCommand : {false, true}) {
    SCOPED_TRACE(byCommand ? "command" : "button");
    Open();
    HWND v = toolswin::高级表格_版本;
    grid::ScrollToRow(v, 25);
    ClickCell(v, 25, 2);
    ASSERT_TRUE(grid::IsEditing(v));
    SetWindowTextW(grid::EditBox(v), L"2027");
    seam->messages.clear();
    if (byCommand) {
      SendMessageW(toolswin::window, WM_COMMAND,
                   MAKEWPARAM(GetDlgCtrlID(toolswin::按钮_保存), BN_CLICKED),
                   reinterpret_cast<LPARAM>(toolswin::按钮_保存));
    } else {
      Press(toolswin::按钮_保存);
    }
    EXPECT_FALSE(grid::IsEditing(v));
    EXPECT_EQ(grid::Cell(v, 25, 2), "2027");
    Text want = kDefaultVersionList;
    want.replace(want.find("25.1-2026"), 9, "25.1-2027");
    EXPECT_EQ(ReadSetting("版本"), want);
    EXPECT_EQ(seam->messages.size(), 1u);
    DestroyWindow(main);
    PumpMessages();
    InitGlobals();
  }
}

TEST_F(SettingsPage, EnterAndEscThroughTheProgramsLoopEndTheEdit) {
  Open();
  HWND s = toolswin::高级表格_尺寸;
  for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
    ClickCell(s, 2, 3);
    ASSERT_TRUE(grid::IsEditing(s));
    SetWindowTextW(grid::EditBox(s), key == VK_RETURN ? L"1*1" : L"2*2");
    MSG m{grid::EditBox(s), WM_KEYDOWN, key, 0x00010001};
    DispatchAppMessage(m);
    PumpMessages();
    EXPECT_FALSE(grid::IsEditing(s));
    EXPECT_EQ(grid::Cell(s, 2, 3), "1*1");
    EXPECT_TRUE(toolswin::window && IsWindow(toolswin::window));
  }
}

TEST_F(SettingsPage, ClosingReloadsSettingsOnEveryClose) {
  Open();
  HWND combo = mainwin::组合框_尺寸;
  Click(mainwin::单选框_定);
  const int mode = ArrangementMode;
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    if (round == 1) OpenTools();
    const int before = TextToWhole(ReadSetting("次数"));
    SendMessageW(combo, CB_SETCURSEL, 3, 0);
    if (round == 1) {
      // A saved size list reaches the main window at the close.
      ClickCell(toolswin::高级表格_尺寸, 1, 1);
      Press(toolswin::按钮_删除);
      Save();
    }
    CloseToolsWindow();
    PumpMessages();
    EXPECT_FALSE(toolswin::window);
    EXPECT_EQ(TextToWhole(ReadSetting("次数")), before + 1);
    EXPECT_EQ(runCount, before);
    EXPECT_EQ(ArrangementMode, mode);
    EXPECT_EQ(sizeListText, ReadSetting("尺寸"));
    EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), round == 0 ? 11 : 10);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
  }
}

}  // namespace
