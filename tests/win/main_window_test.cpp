// The application shell against the real main window: start-up, settings defaults, the
// help-page rule, layout, fonts, the tools window and closing.
#include <windows.h>
#include <commctrl.h>

#include "app/main_window.h"
#include "app/tools_window.h"
#include "common/files.h"
#include "common/gbk.h"
#include "common/globals.h"
#include "harness.h"
#include "settings/settings.h"

namespace {

HWND Control(const char* name) {
  std::size_t n = 0;
  const ui::ControlDef* defs = mainwin::Controls(&n);
  const ui::ControlDef* d = ui::FindByName(defs, n, name);
  return d ? *d->handle : nullptr;
}

bool Checked(HWND h) { return SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED; }

using MainWindow = AppTest;

TEST_F(MainWindow, FirstStartWritesDefaultsInOrderAndHidesTheFile) {
  Start();
  const std::string want = std::string("[配置]\r\n帮助=1\r\n路径=D:\\\r\n次数=2\r\n版本=") +
                           kDefaultVersionList + "\r\n尺寸=" + kDefaultSizeList + "\r\n";
  EXPECT_EQ(ReadAll(SettingsPath()), want);
  DWORD a = FileAttributes(SettingsPath());
  EXPECT_TRUE(a & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_FALSE(a & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM));
  EXPECT_EQ(runCount, 1);
  EXPECT_TRUE(Checked(mainwin::选择框_网页));
  ASSERT_EQ(seam->openedUrls.size(), 1u);
  EXPECT_EQ(seam->openedUrls[0], Text("https://") + TESSARO_WEB_HOST + "/?post=73");
  EXPECT_EQ(GetFocus(), mainwin::按钮_增加);
}

TEST_F(MainWindow, HelpPageRule) {
  struct Case {
    const char* help;
    const char* count;  // nullptr: no 次数 key
    bool opens;
  } cases[] = {
      {"1", "5", true},   {"0", "19", false}, {"0", "20", true},  {"0", nullptr, true},
      {"0", "0", true},   {"0", "-20", true}, {"0", "-3", false}, {"是", "7", false},
      {"1 ", "7", false}, {"", "21", false},  {"1", "19", true},  {"yes", "40", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("帮助=") + c.help + " 次数=" + (c.count ? c.count : "(none)"));
    std::string file = std::string("[配置]\r\n帮助=") + c.help + "\r\n";
    if (c.count) file += std::string("次数=") + c.count + "\r\n";
    WriteAll(SettingsPath(), file);
    seam->openedUrls.clear();
    Start();
    EXPECT_EQ(Checked(mainwin::选择框_网页), c.opens);
    EXPECT_EQ(seam->openedUrls.size(), c.opens ? 1u : 0u);
    EXPECT_EQ(ReadSetting("帮助"), c.opens ? Text("1") : Text(c.help));
    DestroyWindow(main);
    PumpMessages();
    InitGlobals();
  }
}

TEST_F(MainWindow, NineteenthStartThenTwentieth) {
  WriteAll(SettingsPath(), "[配置]\r\n帮助=0\r\n次数=19\r\n");
  Start();
  EXPECT_EQ(runCount, 19);
  EXPECT_TRUE(seam->openedUrls.empty());
  EXPECT_EQ(ReadSetting("次数"), "20");
  DestroyWindow(main);
  PumpMessages();
  InitGlobals();
  Start();
  EXPECT_EQ(runCount, 20);
  EXPECT_EQ(seam->openedUrls.size(), 1u);
  EXPECT_EQ(ReadSetting("帮助"), "1");
}

TEST_F(MainWindow, HelpCheckBoxWritesOnEveryClick) {
  Start();
  ASSERT_TRUE(Checked(mainwin::选择框_网页));
  Click(mainwin::选择框_网页);
  EXPECT_EQ(ReadSetting("帮助"), "0");
  Click(mainwin::选择框_网页);
  EXPECT_EQ(ReadSetting("帮助"), "1");
  EXPECT_EQ(helpFlagText, "1");  // the global only changes at the next start
}

TEST_F(MainWindow, ForeignSettingsFileKeepsAllItsContent) {
  const std::string before =
      "; written by another program\r\n[Other]\r\nKey=Value\r\n\r\n[配置]\r\n帮助=0\r\n"
      "; a comment inside\r\nFOO=bar\r\n次数=7\r\n路径=C:\\图纸\\\r\n\r\n[Tail]\r\nX=1\r\n";
  WriteAll(SettingsPath(), before);
  Start();
  std::string want = before;
  const Text old = "次数=7";
  want.replace(want.find(old), old.size(), "次数=8");
  EXPECT_EQ(ReadAll(SettingsPath()), want);
  EXPECT_EQ(lastFolder, "C:\\图纸\\");
}

TEST_F(MainWindow, WindowFrame) {
  Start();
  RECT r;
  GetWindowRect(main, &r);
  EXPECT_EQ(r.right - r.left, 850);
  EXPECT_EQ(r.bottom - r.top, 530);
  LONG style = GetWindowLongW(main, GWL_STYLE);
  LONG ex = GetWindowLongW(main, GWL_EXSTYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  EXPECT_TRUE(ex & WS_EX_TOPMOST);
  EXPECT_TRUE(ex & WS_EX_APPWINDOW);
  // Centred on the work area.
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_NEAR((r.left + r.right) / 2, (work.left + work.right) / 2, 1);
  EXPECT_NEAR((r.top + r.bottom) / 2, (work.top + work.bottom) / 2, 1);
  EXPECT_EQ(GetClassLongPtrW(main, GCLP_HBRBACKGROUND),
            reinterpret_cast<LONG_PTR>(GetStockObject(WHITE_BRUSH)));
}

TEST_F(MainWindow, EveryControlAtItsPlaceWithItsText) {
  Start();
  // Positions in the window's client area; group members are offset by their group box.
  struct Want {
    const char* name;
    int x, y, w, h;
    const char* text;
  } want[] = {
      {"标签1", 256, 16, 304, 40, "Tessaro"},
      {"标签9", 561, 36, 39, 16, "V3.2"},
      {"选择框_网页", 709, 6, 128, 16, "启动后打开帮助页面"},
      {"按钮_广告", 708, 24, 130, 32, "CAD工具及设置"},
      {"分组框1", 5, 77, 211, 95, "排列方式"},
      {"单选框_横", 5 + 11, 77 + 25, 88, 24, "横    排"},
      {"单选框_竖", 5 + 119, 77 + 25, 88, 24, "竖    排"},
      {"单选框_混", 5 + 11, 77 + 58, 88, 24, "混 合 排"},
      {"单选框_定", 5 + 119, 77 + 58, 88, 24, "定 向 排"},
      {"分组框3", 220, 77, 620, 95, "参数设置"},
      {"标签2", 220 + 8, 77 + 28, 70, 24, "图纸间距:"},
      {"编辑框_间距", 220 + 80, 77 + 28, 60, 24, "10"},
      {"标签_行数量", 220 + 168, 77 + 28, 72, 24, "每行数量:"},
      {"编辑框_行数量", 220 + 241, 77 + 28, 60, 24, "10"},
      {"标签6", 220 + 338, 77 + 28, 72, 24, "图纸尺寸:"},
      {"组合框_尺寸", 220 + 413, 77 + 28, 194, -1, nullptr},
      {"标签3", 220 + 8, 77 + 60, 70, 24, "图纸长度:"},
      {"编辑框_水平尺寸", 220 + 80, 77 + 59, 60, 24, nullptr},
      {"标签4", 220 + 168, 77 + 60, 70, 24, "图纸宽度:"},
      {"编辑框_垂直尺寸", 220 + 242, 77 + 62, 60, 24, nullptr},
      {"标签7", 220 + 337, 77 + 60, 91, 24, "定向水平数:"},
      {"编辑框_定向水平数量", 220 + 428, 77 + 60, 35, 24, "4"},
      {"标签8", 220 + 481, 77 + 59, 91, 24, "定向垂直数:"},
      {"编辑框_定向垂直数量", 220 + 572, 77 + 59, 35, 24, "3"},
      {"超级列表框1", 5, 181, 630, 296, nullptr},
      {"分组框2", 640, 173, 200, 305, "图纸文件操作"},
      {"按钮_增加", 640 + 12, 173 + 29, 80, 40, "增加"},
      {"按钮_上移", 640 + 108, 173 + 29, 80, 40, "上移"},
      {"按钮_删除", 640 + 12, 173 + 75, 80, 40, "删除"},
      {"按钮_下移", 640 + 108, 173 + 75, 80, 40, "下移"},
      {"按钮_清空", 640 + 12, 173 + 143, 80, 40, "清空"},
      {"按钮_置顶", 640 + 108, 173 + 143, 80, 40, "置顶"},
      {"按钮_关闭", 640 + 12, 173 + 190, 80, 40, "关闭"},
      {"按钮_置底", 640 + 108, 173 + 190, 80, 40, "置底"},
      {"按钮_开始合图", 640 + 11, 173 + 243, 176, 48, "开始合图"},
      {"标签5", 5, 480, 835, 20, nullptr},
  };
  std::size_t n = 0;
  mainwin::Controls(&n);
  EXPECT_EQ(n, sizeof want / sizeof want[0]);
  for (const Want& w : want) {
    SCOPED_TRACE(w.name);
    HWND h = Control(w.name);
    ASSERT_TRUE(h && IsWindow(h));
    RECT r;
    GetWindowRect(h, &r);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, w.x);
    EXPECT_EQ(r.top, w.y);
    EXPECT_EQ(r.right - r.left, w.w);
    if (w.h > 0) EXPECT_EQ(r.bottom - r.top, w.h);
    if (w.text) EXPECT_EQ(ui::GetText(h), w.text);
    EXPECT_TRUE(IsWindowVisible(h));
  }
  EXPECT_EQ(ui::GetText(mainwin::标签5),
            Text("提示:本工具将多个CAD文件合并成一个文件,支持AutoCAD现有版本,同时支持国产CAD软件( 中望 及 浩辰 ) QQ群:") +
                TESSARO_QQ_GROUP);
  // Edit boxes: centred text, no limit beyond the system's.
  for (const char* e : {"编辑框_间距", "编辑框_行数量", "编辑框_水平尺寸", "编辑框_垂直尺寸",
                        "编辑框_定向水平数量", "编辑框_定向垂直数量"})
    EXPECT_TRUE(GetWindowLongW(Control(e), GWL_STYLE) & ES_CENTER) << e;
  EXPECT_EQ(GetWindowLongW(mainwin::组合框_尺寸, GWL_STYLE) & 3, CBS_DROPDOWNLIST);
}

TEST_F(MainWindow, Fonts) {
  Start();
  struct {
    HWND h;
    const char* face;  // nullptr: any
    int height;        // 0: any
    bool bold;
  } want[] = {
      {mainwin::标签1, "黑体", 40, false},
      {mainwin::按钮_开始合图, "黑体", 19, false},
      {mainwin::按钮_广告, nullptr, 0, true},
      {mainwin::标签5, nullptr, 0, true},
      {mainwin::按钮_增加, nullptr, 0, false},
  };
  for (const auto& w : want) {
    HFONT f = reinterpret_cast<HFONT>(SendMessageW(w.h, WM_GETFONT, 0, 0));
    ASSERT_NE(f, nullptr);
    LOGFONTW lf{};
    GetObjectW(f, sizeof lf, &lf);
    if (w.face) EXPECT_EQ(WideToGbk(lf.lfFaceName), w.face);
    if (w.height) EXPECT_EQ(std::abs(lf.lfHeight), w.height);
    EXPECT_EQ(lf.lfWeight >= FW_BOLD, w.bold);
  }
}

TEST_F(MainWindow, HomePageLabels) {
  Start();
  seam->openedUrls.clear();
  SendMessageW(main, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(mainwin::标签1), STN_CLICKED),
               reinterpret_cast<LPARAM>(mainwin::标签1));
  SendMessageW(main, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(mainwin::标签5), STN_CLICKED),
               reinterpret_cast<LPARAM>(mainwin::标签5));
  const Text home = Text("https://") + TESSARO_WEB_HOST;
  EXPECT_EQ(seam->openedUrls, (std::vector<Text>{home, home}));
}

TEST_F(MainWindow, CloseConfirmation) {
  Start();
  seam->messageAnswers = {IDCANCEL};
  Click(mainwin::按钮_关闭);
  ASSERT_EQ(seam->messages.size(), 1u);
  const MessageRecord& m = seam->messages[0];
  EXPECT_EQ(m.owner, main);
  EXPECT_EQ(m.text, "                  你确定要关闭本工具吗？             ");
  EXPECT_EQ(m.title, Text("QQ群:") + TESSARO_QQ_GROUP + " 提示：");
  EXPECT_EQ(m.type & MB_TYPEMASK, static_cast<UINT>(MB_OKCANCEL));
  EXPECT_EQ(m.type & MB_ICONMASK, 0u);
  EXPECT_TRUE(IsWindow(main));
  seam->messageAnswers = {IDOK};
  Click(mainwin::按钮_关闭);
  EXPECT_FALSE(IsWindow(main));
}

TEST_F(MainWindow, EscAndCloseBoxEndAtOnce) {
  for (int way = 0; way < 2; ++way) {
    Start();
    if (way == 0) {
      SetFocus(mainwin::编辑框_间距);
      MSG msg{mainwin::编辑框_间距, WM_KEYDOWN, VK_ESCAPE, 0x00010001};
      DispatchAppMessage(msg);
    } else {
      SendMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    PumpMessages();
    EXPECT_FALSE(IsWindow(main)) << way;
    EXPECT_TRUE(seam->messages.empty());
    InitGlobals();
  }
}

TEST_F(MainWindow, OneToolsWindowBroughtToFront) {
  Start();
  Click(mainwin::按钮_广告);
  HWND tools = toolswin::window;
  ASSERT_TRUE(tools && IsWindow(tools));
  EXPECT_EQ(GetWindow(tools, GW_OWNER), main);
  EXPECT_EQ(ui::GetText(tools), "CAD工具集[动态更新][未连接网络]");  // the seam has no network
  RECT r;
  GetWindowRect(tools, &r);
  EXPECT_EQ(r.right - r.left, 590);
  EXPECT_EQ(r.bottom - r.top, 430);
  EXPECT_EQ(SendMessageW(toolswin::选择夹1, TCM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageW(toolswin::选择夹1, TCM_GETCURSEL, 0, 0), 0);
  ShowWindow(tools, SW_MINIMIZE);
  Click(mainwin::按钮_广告);
  EXPECT_EQ(toolswin::window, tools);
  EXPECT_FALSE(IsIconic(tools));
  EXPECT_TRUE(IsWindowEnabled(main));  // modeless
  DestroyWindow(main);
  EXPECT_FALSE(IsWindow(tools));  // goes with its owner
}

}  // namespace
