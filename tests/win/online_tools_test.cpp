// The tools window's first page against the real windows, with the seam answering the notice
// file and the pictures: rows, pictures on clicks, links on presses, the not-connected state,
// layout and reopening.
#include <windows.h>
#include <commctrl.h>

#include <fstream>
#include <sstream>

#include "app/main_window.h"
#include "app/tools_window.h"
#include "common/gbk.h"
#include "common/globals.h"
#include "harness.h"
#include "online/picture_box.h"
#include "online/settings_page.h"
#include "online/update_check.h"
#include "settings/settings.h"

namespace {

std::string Fixture(const char* name) {
  std::ifstream f(std::string(TESSARO_SOURCE_DIR) + "/tests/fixtures/pictures/" + name, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

class ToolsPage : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    WriteAll(SettingsPath(), "[配置]\r\n帮助=0\r\n次数=7\r\n");
  }
  // Starts the program and opens the tools window with this notice file (nullptr: no network).
  void Open(const char* notice) {
    if (notice) seam->fetchBodies[NoticeFileUrl()] = notice;
    else seam->fetchBodies.erase(NoticeFileUrl());
    if (!main) Start();
    seam->fetchedUrls.clear();
    Click(mainwin::按钮_广告);
    ASSERT_TRUE(toolswin::window && IsWindow(toolswin::window));
    PumpMessages();
  }
  HWND List() const { return toolswin::超级列表框1; }
  HWND Box() const { return toolswin::图片框_广告; }
  int Rows() const { return static_cast<int>(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0)); }
  Text Cell(int row, int column) const {
    wchar_t buf[256] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buf;
    item.cchTextMax = 256;
    SendMessageW(List(), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return WideToGbk(buf);
  }
  int Selected() const {
    return static_cast<int>(SendMessageW(List(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  }
  // A real left click: the press is handled while the release waits in the queue.
  static void ClickAt(HWND w, POINT p) {
    PostMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    PumpMessages();
  }
  void ClickRow(int row) {
    RECT r{};
    r.left = LVIR_BOUNDS;
    ASSERT_TRUE(SendMessageW(List(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r)));
    ClickAt(List(), {r.left + 60, (r.top + r.bottom) / 2});
  }
  void ClickBelowRows() {
    RECT c;
    GetClientRect(List(), &c);
    ClickAt(List(), {100, c.bottom - 10});
  }
  void PressPicture() { ClickAt(Box(), {20, 20}); }
  // Size of the picture shown, or 0 x 0.
  std::pair<int, int> Shown() const {
    const Picture* p = PictureOf(Box());
    return p ? std::make_pair(p->width, p->height) : std::make_pair(0, 0);
  }
  // The box as drawn, pixel (x, y), as RGB.
  COLORREF Drawn(int x, int y) const {
    RECT c;
    GetClientRect(Box(), &c);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, c.right, c.bottom);
    HGDIOBJ old = SelectObject(dc, bmp);
    SendMessageW(Box(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    COLORREF px = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return px;
  }
};

const char kTwoTools[] =
    "v3.2#www.example.com/dl#@批量打印#http://tools.example.com/1#http://pic.example.com/1.png"
    "@图框工具#https://tools.example.com/2#http://pic.example.com/2.jpg";

TEST_F(ToolsPage, TwoToolsClicksAndPresses) {
  seam->fetchBodies["http://pic.example.com/1.png"] = Fixture("red_4x3.png");
  seam->fetchBodies["http://pic.example.com/2.jpg"] = Fixture("green_8x8.jpg");
  Open(kTwoTools);
  EXPECT_EQ(ui::GetText(toolswin::window), "CAD工具集[动态更新]");
  ASSERT_EQ(Rows(), 2);
  EXPECT_EQ(Cell(0, 0), "1");
  EXPECT_EQ(Cell(0, 1), "批量打印");
  EXPECT_EQ(Cell(1, 0), "2");
  EXPECT_EQ(Cell(1, 1), "图框工具");
  EXPECT_EQ(Selected(), -1);
  EXPECT_TRUE(IsWindowEnabled(List()));
  EXPECT_TRUE(IsWindowEnabled(Box()));
  EXPECT_EQ(toolLinks, (TextArray{"http://tools.example.com/1", "https://tools.example.com/2"}));
  EXPECT_EQ(toolPictureUrls, (TextArray{"http://pic.example.com/1.png", "http://pic.example.com/2.jpg"}));
  EXPECT_EQ(seam->fetchedUrls, (std::vector<Text>{NoticeFileUrl(), "http://pic.example.com/1.png"}));
  EXPECT_EQ(Shown(), std::make_pair(4, 3));
  // 4 x 3 fitted into 286 x 269: 286 x 215, centred from y = 27.
  EXPECT_EQ(Drawn(143, 134), RGB(255, 0, 0));
  EXPECT_EQ(Drawn(1, 28), RGB(255, 0, 0));
  EXPECT_EQ(Drawn(143, 10), RGB(255, 255, 255));
  EXPECT_EQ(Drawn(143, 260), RGB(255, 255, 255));

  // No row selected: the picture shown is the first tool's, and so is the link.
  PressPicture();
  EXPECT_EQ(seam->openedUrls, (std::vector<Text>{"http://tools.example.com/1"}));

  seam->fetchedUrls.clear();
  ClickBelowRows();
  EXPECT_EQ(Selected(), -1);
  EXPECT_EQ(seam->fetchedUrls, (std::vector<Text>{"http://pic.example.com/1.png"}));

  seam->fetchedUrls.clear();
  ClickRow(1);
  EXPECT_EQ(Selected(), 1);
  EXPECT_EQ(seam->fetchedUrls, (std::vector<Text>{"http://pic.example.com/2.jpg"}));
  EXPECT_EQ(Shown(), std::make_pair(8, 8));
  const COLORREF green = Drawn(143, 134);
  EXPECT_LT(GetRValue(green), 10);
  EXPECT_GT(GetGValue(green), 190);

  seam->openedUrls.clear();
  PressPicture();
  EXPECT_EQ(seam->openedUrls, (std::vector<Text>{"https://tools.example.com/2"}));

  // The same row again downloads again; the first row shows the first picture.
  seam->fetchedUrls.clear();
  ClickRow(1);
  ClickRow(0);
  EXPECT_EQ(seam->fetchedUrls, (std::vector<Text>{"http://pic.example.com/2.jpg", "http://pic.example.com/1.png"}));
  EXPECT_EQ(Shown(), std::make_pair(4, 3));
}

TEST_F(ToolsPage, PictureThatCannotBeHadLeavesTheBoxEmpty) {
  seam->fetchBodies["http://pic.example.com/1.png"] = Fixture("red_4x3.png");
  seam->fetchBodies["http://pic.example.com/2.jpg"] = "<html>404</html>";
  Open(kTwoTools);
  EXPECT_EQ(Shown(), std::make_pair(4, 3));
  ClickRow(1);
  EXPECT_EQ(Shown(), std::make_pair(0, 0));
  EXPECT_EQ(Drawn(143, 134), RGB(255, 255, 255));
  seam->messages.clear();
  ClickRow(0);
  EXPECT_EQ(Shown(), std::make_pair(4, 3));
  EXPECT_TRUE(seam->messages.empty());
}

// Links from the file go to the shell only when they are web addresses.
TEST_F(ToolsPage, OnlyWebLinksAreOpened) {
  Open("h@a#C:\\Windows\\System32\\calc.exe#p@b#file:///C:/x.exe#p@c#cmd /c del x#p@d#HTTP://Ok.example.com#p"
       "@e#\\\\server\\share\\x.exe#p@f#www.example.com#p");
  ASSERT_EQ(Rows(), 6);
  for (int r = 0; r < 6; ++r) ClickRow(r), PressPicture();
  EXPECT_EQ(seam->openedUrls, (std::vector<Text>{"HTTP://Ok.example.com"}));
}

TEST_F(ToolsPage, NoNetwork) {
  selectedTable = 2;
  Open(nullptr);
  EXPECT_EQ(ui::GetText(toolswin::window), "CAD工具集[动态更新][未连接网络]");
  EXPECT_EQ(Rows(), 0);
  EXPECT_FALSE(IsWindowEnabled(List()));
  EXPECT_FALSE(IsWindowEnabled(Box()));
  EXPECT_EQ(Shown(), std::make_pair(0, 0));
  EXPECT_EQ(seam->fetchedUrls, (std::vector<Text>{NoticeFileUrl()}));
  EXPECT_TRUE(toolLinks.empty());
  EXPECT_TRUE(toolPictureUrls.empty());
  EXPECT_TRUE(seam->messages.empty());
  // The second page is filled and reachable all the same.
  EXPECT_EQ(selectedTable, 0);
  toolswin::ShowPage(1);
  EXPECT_TRUE(IsWindowVisible(toolswin::页面_设置));
  EXPECT_FALSE(IsWindowVisible(toolswin::页面_工具));
  std::size_t n = 0;
  const ui::ControlDef* defs = toolswin::SettingsControls(&n);
  for (std::size_t i = 0; i < n; ++i)
    EXPECT_TRUE(defs[i].handle && IsWindow(*defs[i].handle)) << defs[i].name;
  // An empty body is the same as no network.
  CloseToolsWindow();
  PumpMessages();
  Open("");
  EXPECT_EQ(ui::GetText(toolswin::window), "CAD工具集[动态更新][未连接网络]");
  EXPECT_FALSE(IsWindowEnabled(List()));
}

TEST_F(ToolsPage, FilesOfOddShapes) {
  seam->fetchBodies["http://p/2.png"] = Fixture("blue_6x2.png");
  // A header only: an enabled, empty list and no picture.
  Open("v3.2#www.example.com/dl#");
  EXPECT_EQ(ui::GetText(toolswin::window), "CAD工具集[动态更新]");
  EXPECT_EQ(Rows(), 0);
  EXPECT_TRUE(IsWindowEnabled(List()));
  EXPECT_EQ(Shown(), std::make_pair(0, 0));
  EXPECT_EQ(seam->fetchedUrls, (std::vector<Text>{NoticeFileUrl()}));
  PressPicture();
  ClickBelowRows();
  EXPECT_TRUE(seam->openedUrls.empty());
  EXPECT_EQ(seam->fetchedUrls.size(), 1u);
  CloseToolsWindow();
  PumpMessages();

  // Missing fields are empty, extra ones ignored, an empty name is listed.
  Open("h@甲#http://a@乙#http://b#http://p/2.png#多余#更多@#http://c#http://p/3.png");
  ASSERT_EQ(Rows(), 3);
  EXPECT_EQ(Cell(0, 1), "甲");
  EXPECT_EQ(Cell(1, 1), "乙");
  EXPECT_EQ(Cell(2, 0), "3");
  EXPECT_EQ(Cell(2, 1), "");
  EXPECT_EQ(toolLinks, (TextArray{"http://a", "http://b", "http://c"}));
  EXPECT_EQ(toolPictureUrls, (TextArray{"", "http://p/2.png", "http://p/3.png"}));
  // The first tool has no picture address: nothing is fetched for it.
  EXPECT_EQ(seam->fetchedUrls, (std::vector<Text>{NoticeFileUrl()}));
  EXPECT_EQ(Shown(), std::make_pair(0, 0));
  PressPicture();
  ClickRow(1);
  EXPECT_EQ(Shown(), std::make_pair(6, 2));
  PressPicture();
  EXPECT_EQ(seam->openedUrls, (std::vector<Text>{"http://a", "http://b"}));
}

TEST_F(ToolsPage, ReopeningFollowsTheChangedFile) {
  seam->fetchBodies["http://pic.example.com/1.png"] = Fixture("red_4x3.png");
  seam->fetchBodies["http://n/new.png"] = Fixture("blue_6x2.png");
  Open(kTwoTools);
  ASSERT_EQ(Rows(), 2);
  CloseToolsWindow();
  PumpMessages();
  EXPECT_EQ(toolswin::window, nullptr);
  Open("v3.2#dl#@新工具#http://n/tool#http://n/new.png");
  ASSERT_EQ(Rows(), 1);
  EXPECT_EQ(Cell(0, 1), "新工具");
  EXPECT_EQ(toolLinks, (TextArray{"http://n/tool"}));
  EXPECT_EQ(toolPictureUrls, (TextArray{"http://n/new.png"}));
  EXPECT_EQ(Shown(), std::make_pair(6, 2));
  PressPicture();
  EXPECT_EQ(seam->openedUrls, (std::vector<Text>{"http://n/tool"}));
  // And back to no network: the old rows do not come back.
  CloseToolsWindow();
  PumpMessages();
  Open(nullptr);
  EXPECT_EQ(Rows(), 0);
  EXPECT_TRUE(toolLinks.empty());
}

TEST_F(ToolsPage, LayoutFontsAndPointer) {
  Open(nullptr);
  struct {
    HWND h;
    int x, y, w, h2;
    const char* text;
    int font;  // pixel height
    bool bold;
  } want[] = {
      {toolswin::标签1, 82, 47, 226, 32, "常用软件工具集", 32, false},
      {toolswin::标签2, 314, 63, 178, 14, nullptr, 12, false},
      {toolswin::超级列表框1, 3, 95, 275, 300, nullptr, 14, false},
      {toolswin::分组框1, 279, 89, 300, 307, "点击下面图片下载", 16, true},
      {toolswin::图片框_广告, 279 + 9, 89 + 26, 286, 269, nullptr, 0, false},
  };
  for (const auto& w : want) {
    ASSERT_TRUE(IsWindow(w.h));
    EXPECT_EQ(GetParent(w.h), toolswin::页面_工具);
    RECT r;
    GetWindowRect(w.h, &r);
    MapWindowPoints(nullptr, toolswin::页面_工具, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, w.x) << w.x;
    EXPECT_EQ(r.top, w.y) << w.x;
    EXPECT_EQ(r.right - r.left, w.w) << w.x;
    EXPECT_EQ(r.bottom - r.top, w.h2) << w.x;
    if (w.text) EXPECT_EQ(ui::GetText(w.h), w.text);
    if (w.font) {
      LOGFONTW lf{};
      GetObjectW(reinterpret_cast<HFONT>(SendMessageW(w.h, WM_GETFONT, 0, 0)), sizeof lf, &lf);
      EXPECT_EQ(std::abs(lf.lfHeight), w.font) << w.x;
      EXPECT_EQ(lf.lfWeight >= FW_BOLD, w.bold) << w.x;
      EXPECT_EQ(lf.lfCharSet, GB2312_CHARSET) << w.x;
    }
  }
  EXPECT_EQ(ui::GetText(toolswin::标签2),
            Text("[动态更新]QQ群") + TESSARO_QQ_GROUP + "/" + TESSARO_QQ_GROUP2);
  // The window's own font for the rest: the tab control.
  LOGFONTW lf{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(toolswin::选择夹1, WM_GETFONT, 0, 0)), sizeof lf, &lf);
  EXPECT_EQ(std::abs(lf.lfHeight), 16);
  // Columns.
  HWND header = reinterpret_cast<HWND>(SendMessageW(List(), LVM_GETHEADER, 0, 0));
  ASSERT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 2);
  const char* names[] = {"序", "软件名"};
  const int widths[] = {30, 220};
  for (int i = 0; i < 2; ++i) {
    wchar_t buf[64] = {};
    LVCOLUMNW c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH;
    c.pszText = buf;
    c.cchTextMax = 64;
    ASSERT_TRUE(SendMessageW(List(), LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&c)));
    EXPECT_EQ(WideToGbk(buf), names[i]);
    EXPECT_EQ(c.cx, widths[i]);
  }
  EXPECT_TRUE(GetWindowLongW(List(), GWL_STYLE) & LVS_REPORT);
  EXPECT_TRUE(GetWindowLongW(List(), GWL_STYLE) & LVS_SINGLESEL);
  // The hand over the picture.
  EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrW(Box(), GCLP_HCURSOR)), LoadCursorW(nullptr, IDC_HAND));
  wchar_t cls[64];
  GetClassNameW(Box(), cls, 64);
  EXPECT_STREQ(cls, L"TessaroPicture");
  // The first page is the one shown.
  EXPECT_EQ(SendMessageW(toolswin::选择夹1, TCM_GETCURSEL, 0, 0), 0);
  EXPECT_TRUE(IsWindowVisible(toolswin::页面_工具));
}

}  // namespace
