// The grid control on its own, in a host window that handles dialog keys as the tools window
// does: click on release, in-place editing, fixed cells, scrolling and painting.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "app/ui.h"
#include "common/gbk.h"
#include "harness.h"
#include "online/grid.h"

namespace {

constexpr int kGridId = 77;

struct HostLog {
  std::vector<NMHDR> notifies;
  std::vector<int> commands;
};
HostLog* g_log;

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NOTIFY && g_log) g_log->notifies.push_back(*reinterpret_cast<NMHDR*>(lParam));
  if (msg == WM_COMMAND && g_log) g_log->commands.push_back(LOWORD(wParam));
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

class GridControl : public ::testing::Test {
 protected:
  void SetUp() override {
    g_log = &log;
    static bool registered = false;
    if (!registered) {
      WNDCLASSW wc{};
      wc.lpfnWndProc = HostProc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = L"GridTestHost";
      RegisterClassW(&wc);
      registered = true;
    }
    grid::RegisterGridClass();
    host = CreateWindowExW(WS_EX_CONTROLPARENT, L"GridTestHost", L"host", WS_OVERLAPPEDWINDOW, 0, 0,
                           400, 400, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(host);
    // As ui::Kind::Grid creates it.
    g = CreateWindowExW(WS_EX_CLIENTEDGE, grid::kClassName, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                        10, 10, 220, 280, host, reinterpret_cast<HMENU>(kGridId),
                        GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(g);
    other = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 250, 10, 100, 24,
                            host, reinterpret_cast<HMENU>(78), GetModuleHandleW(nullptr), nullptr);
    font = ui::MakeFont("宋体", 16, false);
    SendMessageW(g, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ShowWindow(host, SW_SHOW);
    SetForegroundWindow(host);
    PumpMessages();
    grid::SetColumnCount(g, 3);
    const int widths[] = {35, 80, 85};
    for (int c = 0; c < 3; ++c) {
      grid::SetColumnWidth(g, c, widths[c]);
      grid::SetCell(g, 0, c, "H" + IntToText(c));
    }
  }
  void TearDown() override {
    DestroyWindow(host);
    PumpMessages();
    DeleteObject(font);
    g_log = nullptr;
  }

  void AddRows(int n) {
    for (int i = 0; i < n; ++i) {
      int r = grid::AppendRow(g, IntToText(grid::RowCount(g)));
      grid::SetCell(g, r, 1, "a" + IntToText(r));
      grid::SetCell(g, r, 2, "b" + IntToText(r));
    }
  }

  // Centre of a cell in client coordinates.
  LPARAM At(int row, int column) {
    int x = 0;
    for (int c = 0; c < column; ++c) x += grid::ColumnWidth(g, c);
    x += grid::ColumnWidth(g, column) / 2;
    const int band = row == 0 ? 0 : row - grid::TopRow(g) + 1;
    return MAKELPARAM(x, band * 24 + 12);
  }
  void Click(LPARAM down, LPARAM up) {
    SendMessageW(g, WM_LBUTTONDOWN, MK_LBUTTON, down);
    SendMessageW(g, WM_LBUTTONUP, 0, up);
  }
  void Click(int row, int column) { Click(At(row, column), At(row, column)); }

  // A key as the program's loop delivers it: dialog keys first, then the window.
  void Key(HWND to, WPARAM key) {
    MSG m{to, WM_KEYDOWN, key, 0x00010001};
    if (!IsDialogMessageW(host, &m)) {
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
    PumpMessages();
  }

  HostLog log;
  HWND host = nullptr, g = nullptr, other = nullptr;
  HFONT font = nullptr;
};

TEST_F(GridControl, ClickFiresOnReleaseAndOpensTheEditBoxOverTheCell) {
  AddRows(3);
  SendMessageW(g, WM_LBUTTONDOWN, MK_LBUTTON, At(2, 1));
  EXPECT_TRUE(log.notifies.empty());
  EXPECT_EQ(grid::CurrentRow(g), 2);
  EXPECT_FALSE(grid::IsEditing(g));
  SendMessageW(g, WM_LBUTTONUP, 0, At(2, 1));
  ASSERT_EQ(log.notifies.size(), 1u);
  EXPECT_EQ(log.notifies[0].code, static_cast<UINT>(NM_CLICK));
  EXPECT_EQ(log.notifies[0].idFrom, static_cast<UINT_PTR>(kGridId));
  EXPECT_EQ(log.notifies[0].hwndFrom, g);

  ASSERT_TRUE(grid::IsEditing(g));
  HWND edit = grid::EditBox(g);
  EXPECT_TRUE(IsWindowVisible(edit));
  EXPECT_EQ(GetFocus(), edit);
  wchar_t buf[64];
  GetWindowTextW(edit, buf, 64);
  EXPECT_EQ(WideToGbk(buf), "a2");
  RECT r;
  GetWindowRect(edit, &r);
  MapWindowPoints(nullptr, g, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 35 + 1);
  EXPECT_EQ(r.top, 2 * 24 + 1);
  EXPECT_EQ(r.right - r.left, 80 - 2);

  // Pressed on one cell, released on another: a click, but no edit.
  grid::CommitEdit(g);
  Click(At(1, 1), At(3, 1));
  EXPECT_EQ(log.notifies.size(), 2u);
  EXPECT_FALSE(grid::IsEditing(g));
  // A release without a press in the grid is no click.
  SendMessageW(g, WM_LBUTTONUP, 0, At(1, 1));
  EXPECT_EQ(log.notifies.size(), 2u);
}

TEST_F(GridControl, FixedCellsAreNotEditable) {
  AddRows(2);
  for (auto [row, column] : {std::pair{0, 1}, {1, 0}, {0, 0}}) {
    SCOPED_TRACE(IntToText(row) + "," + IntToText(column));
    Click(row, column);
    EXPECT_FALSE(grid::IsEditing(g));
    EXPECT_FALSE(grid::BeginEdit(g, row, column));
  }
  EXPECT_EQ(log.notifies.size(), 3u);  // clicks on fixed cells still fire
  EXPECT_FALSE(grid::BeginEdit(g, 3, 1));  // no such row
  // The first column's cell can be current (it names the row) but typing doesn't edit it.
  EXPECT_EQ(grid::CurrentRow(g), 1);
  EXPECT_EQ(grid::CurrentColumn(g), 0);
  SendMessageW(g, WM_CHAR, L'x', 0);
  Key(g, VK_F2);
  EXPECT_FALSE(grid::IsEditing(g));
  EXPECT_EQ(grid::Cell(g, 1, 0), "1");
  EXPECT_EQ(grid::Cell(g, 0, 1), "H1");
}

TEST_F(GridControl, EditCommitsOrCancels) {
  AddRows(2);
  struct Way {
    const char* name;
    std::function<void()> end;
    bool keeps;
  } ways[] = {
      {"Enter", [&] { Key(grid::EditBox(g), VK_RETURN); }, true},
      {"Esc", [&] { Key(grid::EditBox(g), VK_ESCAPE); }, false},
      {"focus moves elsewhere", [&] { SetFocus(other); }, true},
      {"click on another cell", [&] { Click(2, 2); }, true},
      {"CommitEdit", [&] { EXPECT_TRUE(grid::CommitEdit(g)); }, true},
      {"CancelEdit", [&] { grid::CancelEdit(g); }, false},
  };
  for (const Way& w : ways) {
    SCOPED_TRACE(w.name);
    grid::SetCell(g, 1, 2, "旧");
    ASSERT_TRUE(grid::BeginEdit(g, 1, 2));
    SetWindowTextW(grid::EditBox(g), GbkToWide("新值").c_str());
    log.commands.clear();
    w.end();
    EXPECT_EQ(grid::Cell(g, 1, 2), w.keeps ? "新值" : "旧");
    if (w.keeps && Text(w.name) == "click on another cell") {
      EXPECT_TRUE(grid::IsEditing(g));  // the new cell's edit
      grid::CancelEdit(g);
    }
    EXPECT_FALSE(grid::IsEditing(g));
    EXPECT_FALSE(IsWindowVisible(grid::EditBox(g)));
    // Enter and Esc never reach the window around as its OK / Cancel.
    for (int id : log.commands) EXPECT_TRUE(id != IDOK && id != IDCANCEL) << id;
  }
  EXPECT_FALSE(grid::CommitEdit(g));  // nothing open
}

TEST_F(GridControl, KeyboardMovesTheCurrentCellAndTypingEditsIt) {
  AddRows(3);
  SetFocus(g);
  Key(g, VK_DOWN);  // no current cell yet: the first data cell
  EXPECT_EQ(grid::CurrentRow(g), 1);
  EXPECT_EQ(grid::CurrentColumn(g), 1);
  Key(g, VK_DOWN);
  Key(g, VK_RIGHT);
  Key(g, VK_RIGHT);  // stays in the last column
  EXPECT_EQ(grid::CurrentRow(g), 2);
  EXPECT_EQ(grid::CurrentColumn(g), 2);
  SendMessageW(g, WM_CHAR, L'7', 0);
  ASSERT_TRUE(grid::IsEditing(g));
  SendMessageW(grid::EditBox(g), WM_CHAR, L'5', 0);
  Key(grid::EditBox(g), VK_RETURN);
  EXPECT_EQ(grid::Cell(g, 2, 2), "75");
  EXPECT_EQ(GetFocus(), g);
  Key(g, VK_RETURN);  // Enter on a cell opens it with its text
  ASSERT_TRUE(grid::IsEditing(g));
  Key(grid::EditBox(g), VK_DOWN);  // commits and moves on
  EXPECT_FALSE(grid::IsEditing(g));
  EXPECT_EQ(grid::Cell(g, 2, 2), "75");
  EXPECT_EQ(grid::CurrentRow(g), 3);
}

TEST_F(GridControl, DeletingWhileEditingCommitsToTheRightRow) {
  AddRows(3);
  ASSERT_TRUE(grid::BeginEdit(g, 2, 1));
  SetWindowTextW(grid::EditBox(g), L"x");
  grid::DeleteRow(g, 1);
  EXPECT_FALSE(grid::IsEditing(g));
  EXPECT_EQ(grid::Cell(g, 1, 0), "2");
  EXPECT_EQ(grid::Cell(g, 1, 1), "x");
  EXPECT_EQ(grid::CurrentRow(g), 1);  // still on its content
  grid::DeleteRow(g, 0);              // the header stays
  EXPECT_EQ(grid::RowCount(g), 3);
}

TEST_F(GridControl, ScrollsWhenRowsExceedTheHeight) {
  AddRows(10);  // header + 10 rows fit in 276 pixels
  EXPECT_FALSE(GetWindowLongW(g, GWL_STYLE) & WS_VSCROLL);
  AddRows(20);
  EXPECT_TRUE(GetWindowLongW(g, GWL_STYLE) & WS_VSCROLL);
  SCROLLINFO si{sizeof si, SIF_ALL};
  GetScrollInfo(g, SB_VERT, &si);
  EXPECT_EQ(si.nMin, 1);
  EXPECT_EQ(si.nMax, 30);
  EXPECT_EQ(si.nPage, 10u);
  EXPECT_EQ(grid::TopRow(g), 21);  // appending brings the new row into view
  EXPECT_EQ(si.nPos, 21);

  grid::ScrollToRow(g, 1);
  SendMessageW(g, WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(grid::TopRow(g), 2);
  Click(MAKELPARAM(60, 24 + 5), MAKELPARAM(60, 24 + 5));
  EXPECT_EQ(grid::CurrentRow(g), 2);  // the first row below the header is now row 2
  ASSERT_TRUE(grid::IsEditing(g));
  SendMessageW(g, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  EXPECT_EQ(grid::TopRow(g), 5);
  EXPECT_FALSE(grid::IsEditing(g));  // scrolling ends the edit
  SendMessageW(g, WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(grid::TopRow(g), 21);
  Click(0, 1);  // the header stays at the top
  EXPECT_EQ(grid::CurrentRow(g), 2);
  SetFocus(g);
  Key(g, VK_HOME);
  EXPECT_EQ(grid::TopRow(g), 1);
}

class Printed {
 public:
  explicit Printed(HWND g) {
    GetClientRect(g, &r_);
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bmp_ = CreateCompatibleBitmap(screen, r_.right, r_.bottom);
    ReleaseDC(nullptr, screen);
    old_ = SelectObject(dc_, bmp_);
    SendMessageW(g, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_), PRF_CLIENT);
  }
  ~Printed() {
    SelectObject(dc_, old_);
    DeleteObject(bmp_);
    DeleteDC(dc_);
  }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
  // Smoothed glyphs are grey at their edges; only black text gets this dark on white.
  static bool Dark(COLORREF c) { return GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100; }
  // Leftmost column with a dark (text) pixel in the rectangle; -1 when none.
  int FirstBlackColumn(int l, int t, int r, int b) const {
    for (int x = l; x < r; ++x)
      for (int y = t; y < b; ++y)
        if (Dark(At(x, y))) return x;
    return -1;
  }

 private:
  RECT r_;
  HDC dc_;
  HBITMAP bmp_;
  HGDIOBJ old_;
};

TEST_F(GridControl, PaintsLinesBackgroundFixedCellsAndBlackText) {
  AddRows(2);
  grid::SetCell(g, 1, 1, "");
  grid::SetCell(g, 2, 1, "WW");
  grid::SetCell(g, 2, 2, "WW");
  grid::CentreRange(g, 2, 2, 2, 2);
  // Row 1, column 1 spans x 35..114, y 24..47.
  {
    Printed p(g);
    EXPECT_EQ(p.At(70, 36), RGB(255, 255, 255));
    EXPECT_EQ(p.At(70, 47), RGB(192, 192, 192));
    EXPECT_EQ(p.At(114, 36), RGB(192, 192, 192));
    EXPECT_EQ(p.At(17, 36), GetSysColor(COLOR_BTNFACE));  // the first column
    EXPECT_EQ(p.At(70, 6), GetSysColor(COLOR_BTNFACE));   // the header
    const int left = p.FirstBlackColumn(35, 48, 114, 71);
    const int centred = p.FirstBlackColumn(115, 48, 199, 71) - 115;
    EXPECT_GE(left, 35);
    EXPECT_LT(left - 35, 8);   // left-aligned text starts near the edge
    EXPECT_GT(centred, 20);    // centred text sits in the middle
  }
  grid::SetLineColour(g, RGB(0, 0, 0));
  grid::SetCellBackground(g, RGB(192, 192, 192));
  EXPECT_EQ(grid::LineColour(g), RGB(0, 0, 0));
  EXPECT_EQ(grid::CellBackground(g), RGB(192, 192, 192));
  {
    Printed p(g);
    EXPECT_EQ(p.At(70, 36), RGB(192, 192, 192));
    EXPECT_EQ(p.At(70, 47), RGB(0, 0, 0));
    EXPECT_EQ(p.At(17, 36), GetSysColor(COLOR_BTNFACE));  // fixed cells keep their colours
  }
}

}  // namespace
