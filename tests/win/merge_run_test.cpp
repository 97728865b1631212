// The merge run against the stand-in CAD in another process: what the CAD side receives and
// when, the messages, the drawing list's current row, and the failures that must be reported.
#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "app/main_window.h"
#include "app/ui.h"
#include "cad/automation.h"
#include "cad/part_frame.h"
#include "common/files.h"
#include "common/gbk.h"
#include "common/globals.h"
#include "drawing_list/drawing_list.h"
#include "fakecad_process.h"
#include "harness.h"

namespace {

const Text kTitle = "提示：";
const Text kNoCad = Text(26, ' ') + "请打开CAD软件" + Text(26, ' ');
const Text kEmptyList = Text(26, ' ') + "请增加要合图的CAD文件！" + Text(26, ' ');
const Text kStartTitle = "准备开始合并文件";
const Text kStart = Text(11, ' ') + "将在打开的第一个CAD中起始点坐标处开始合并，期间请不要操作!" + Text(9, ' ');
const Text kDone = Text(26, ' ') + "在打开的第一个CAD文件中合并完毕！" + Text(26, ' ');

// The state of the window at one pause of the run.
struct PauseSeen {
  unsigned ms;
  int currentRow;
  bool listFocused, rowVisible, startEnabled, addEnabled;
};

bool RowWhollyVisible(int row) {
  HWND list = mainwin::超级列表框1;
  RECT item, client, header;
  if (!ListView_GetItemRect(list, row, &item, LVIR_BOUNDS)) return false;
  GetClientRect(list, &client);
  GetWindowRect(ListView_GetHeader(list), &header);
  return item.top >= header.bottom - header.top && item.bottom <= client.bottom;
}

Text Point(double x, double y) {
  return "(" + IntToText(static_cast<std::int32_t>(x)) + "," + IntToText(static_cast<std::int32_t>(y)) + ",0)";
}

Text InsertLine(const Text& point, const Text& path, const Text& outcome = "-> ok") {
  return "InsertBlock point=" + point + " vt=VT_ARRAY|VT_R8 lb=1 name=" + path +
         " scales=1,1,1 rot=0 (VT_R8 each) password=VT_I4 0"
         " sent=VT_ARRAY|VT_R8,VT_BSTR,VT_I4,VT_I4,VT_I4,VT_I4,VT_I4 " + outcome;
}

class MergeRun : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    Seam().pause = [this](unsigned ms) {
      const int row = drawing_list::CurrentRow();
      seen.push_back({ms, row, GetFocus() == mainwin::超级列表框1, row >= 0 && RowWhollyVisible(row),
                      IsWindowEnabled(mainwin::按钮_开始合图) != FALSE, IsWindowEnabled(mainwin::按钮_增加) != FALSE});
      seam->pauses.push_back(ms);
      if (seam->realPauses) Sleep(ms);
    };
  }
  // A row for a drawing file in the program directory, created unless told otherwise.
  Text AddDrawing(const Text& name, bool create = true) {
    const Text path = dir->file(name);
    if (create) WriteAll(path, "drawing");
    const int row = drawing_list::AppendRow();
    drawing_list::SetCellText(row, 0, IntToText(row + 1));
    drawing_list::SetCellText(row, 1, path);
    return path;
  }
  void SetBoxes(const char* n, const char* l, const char* w, const char* k, const char* h, const char* v) {
    using namespace mainwin;
    ui::SetText(编辑框_间距, n);
    ui::SetText(编辑框_水平尺寸, l);
    ui::SetText(编辑框_垂直尺寸, w);
    ui::SetText(编辑框_行数量, k);
    ui::SetText(编辑框_定向水平数量, h);
    ui::SetText(编辑框_定向垂直数量, v);
  }
  void ClickStart() {
    Click(mainwin::按钮_开始合图);
    PumpMessages();
  }
  void ExpectMessages(const std::vector<std::pair<Text, Text>>& want) {
    ASSERT_EQ(seam->messages.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(seam->messages[i].text, want[i].first);
      EXPECT_EQ(seam->messages[i].title, want[i].second);
      EXPECT_EQ(seam->messages[i].owner, main);
      EXPECT_EQ(seam->messages[i].type, static_cast<UINT>(MB_OK));
    }
  }
  std::vector<PauseSeen> seen;
};

TEST_F(MergeRun, ThreeDrawingsHorizontally) {
  FakeCad cad({L"ZWCAD.Application"});  // with its window: the markers are drawn too
  Start();
  ArrangementMode = 1;
  SetBoxes("10", "1189", "841", "10", "4", "3");  // the A0 preset: step 1199
  const Text paths[] = {AddDrawing("第一张.dwg"), AddDrawing("second.dwg"), AddDrawing("第 三.dxf")};
  std::vector<bool> enabledBefore;
  std::size_t n = 0;
  const ui::ControlDef* defs = mainwin::Controls(&n);
  for (std::size_t i = 0; i < n; ++i) enabledBefore.push_back(IsWindowEnabled(*defs[i].handle) != FALSE);
  std::size_t callsAtStartMessage = 0;
  seam->onMessage = [&](const MessageRecord& m) {
    if (m.title == kStartTitle) callsAtStartMessage = cad.Calls().size();
  };
  seam->realPauses = true;

  ClickStart();

  ExpectMessages({{kStart, kStartTitle}, {kDone, kTitle}});
  const std::vector<FakeCadCall> calls = cad.Calls();
  EXPECT_EQ(callsAtStartMessage, 3u);  // the three reads, nothing inserted yet
  std::vector<Text> want = {"ActiveDocument", "ModelSpace", "Utility"};
  for (int i = 0; i < 3; ++i) {
    want.push_back(InsertLine(Point(1199.0 * i, 0), paths[i]));
    want.push_back("Update");
    want.push_back("ZoomExtents");
  }
  std::vector<Text> lines;
  for (const FakeCadCall& c : calls) lines.push_back(c.line);
  EXPECT_EQ(lines, want);
  // 100 ms before each InsertBlock (after the previous call) and 100 ms after it (before Update).
  ASSERT_EQ(calls.size(), 12u);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const std::size_t insert = 3 + 3 * static_cast<std::size_t>(i);
    EXPECT_GE(calls[insert].ms - calls[insert - 1].ms, 100.0);
    EXPECT_GE(calls[insert + 1].ms - calls[insert].ms, 100.0);
  }
  ASSERT_EQ(seen.size(), 6u);
  for (std::size_t i = 0; i < seen.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(seen[i].ms, 100u);
    EXPECT_EQ(seen[i].currentRow, static_cast<int>(i / 2));
    EXPECT_TRUE(seen[i].listFocused);
    EXPECT_FALSE(seen[i].startEnabled);
    EXPECT_FALSE(seen[i].addEnabled);
  }
  EXPECT_EQ(drawing_list::CurrentRow(), 2);
  for (std::size_t i = 0; i < n; ++i) EXPECT_EQ(IsWindowEnabled(*defs[i].handle) != FALSE, enabledBefore[i]) << defs[i].name;
  EXPECT_FALSE(lastBlockReference.empty());
  EXPECT_FALSE(cadUtility.empty());
}

TEST_F(MergeRun, DirectionalFourteenDrawingsThenTwoPartFrames) {
  FakeCad cad({L"GstarCAD.Application"}, {L"--hidden"});
  Start();
  ASSERT_TRUE(FileExists(PartFramePath()));
  ArrangementMode = 4;
  SetBoxes("10", "105", "95", "10", "4", "3");
  std::vector<Text> paths;
  for (int i = 0; i < 14; ++i) paths.push_back(AddDrawing("零件" + IntToText(i + 1) + ".dwg"));

  ClickStart();

  ExpectMessages({{kStart, kStartTitle}, {kDone, kTitle}});
  const int xs[] = {0, 105, 210, 315, 0, 105, 210, 315, 0, 105, 210, 315, 430, 535};
  const int ys[] = {0, 0, 0, 0, -95, -95, -95, -95, -190, -190, -190, -190, 0, 0};
  std::vector<Text> want, inserts;
  for (int i = 0; i < 14; ++i) want.push_back(InsertLine(Point(xs[i], ys[i]), paths[static_cast<std::size_t>(i)]));
  want.push_back(InsertLine(Point(0, 95), PartFramePath()));
  want.push_back(InsertLine(Point(430, 95), PartFramePath()));
  const std::vector<FakeCadCall> calls = cad.Calls();
  for (std::size_t i = 0; i < calls.size(); ++i) {
    if (calls[i].name != "InsertBlock") continue;
    inserts.push_back(calls[i].line);
    ASSERT_GE(calls.size(), i + 3);
    EXPECT_EQ(calls[i + 1].name, "Update");
    EXPECT_EQ(calls[i + 2].name, "ZoomExtents");
  }
  EXPECT_EQ(inserts, want);
  ASSERT_EQ(seen.size(), 32u);
  for (std::size_t i = 28; i < 32; ++i) EXPECT_EQ(seen[i].currentRow, 13);  // part frames leave the list alone
  EXPECT_EQ(drawing_list::CurrentRow(), 13);
}

TEST_F(MergeRun, EveryRowIsCurrentFocusedAndVisibleAtItsInsertion) {
  FakeCad cad({L"ZWCAD.Application"}, {L"--hidden"});
  Start();
  ArrangementMode = 1;
  SetBoxes("10", "420", "297", "10", "4", "3");
  for (int i = 0; i < 40; ++i) AddDrawing("图" + IntToText(i) + ".dwg");
  ASSERT_FALSE(RowWhollyVisible(39));  // the list must scroll to show the later rows
  ClickStart();
  ASSERT_EQ(seen.size(), 80u);
  for (std::size_t i = 0; i < seen.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(seen[i].currentRow, static_cast<int>(i / 2));
    EXPECT_TRUE(seen[i].listFocused);
    EXPECT_TRUE(seen[i].rowVisible);
  }
  EXPECT_EQ(seam->messages.back().text, kDone);
}

TEST_F(MergeRun, NoCadShowsOnlyItsMessage) {
  Start();
  AddDrawing("a.dwg");
  ClickStart();
  ExpectMessages({{kNoCad, kTitle}});
  EXPECT_EQ(ui::GetText(main), "Tessaro_不限CAD版本_v3.2  [未连接到CAD，请打开CAD软件]");
  EXPECT_TRUE(activeDocument.empty());
  EXPECT_TRUE(seen.empty());
  EXPECT_TRUE(IsWindowEnabled(mainwin::按钮_开始合图));
}

TEST_F(MergeRun, EmptyListReadsTheDocumentThenTells) {
  FakeCad cad({L"ZWCAD.Application"}, {L"--hidden"});
  Start();
  ClickStart();
  ExpectMessages({{kEmptyList, kTitle}});
  EXPECT_EQ(CallNames(cad.Calls()), (std::vector<Text>{"ActiveDocument", "ModelSpace", "Utility"}));
  EXPECT_FALSE(modelSpace.empty());
  EXPECT_TRUE(seen.empty());
}

// The run goes through every insertion whatever fails, and the completion message names what was
// not inserted instead of announcing success.
TEST_F(MergeRun, FailedInsertionsAreNamed) {
  struct Case {
    const char* what;
    std::vector<std::wstring> options;
    std::int32_t mode;
    bool removePartFrame;
    int insertsReachingCad;
  };
  const Case cases[] = {
      {"deleted file and refused file", {L"--hidden", L"--fail-insert=拒绝"}, 1, false, 4},
      {"no document open", {L"--hidden", L"--no-document"}, 1, false, 0},
      {"document without an object", {L"--hidden", L"--no-document=null"}, 1, false, 0},
      {"part frame file missing", {L"--hidden"}, 4, true, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeCad cad({L"ZWCAD.Application"}, c.options);
    Start();
    ArrangementMode = c.mode;
    SetBoxes("10", "420", "297", "10", "4", "3");
    const Text a = AddDrawing("a.dwg");
    const Text b = AddDrawing("删除了.dwg");
    const Text r = AddDrawing("拒绝.dwg");
    const Text d = AddDrawing("d.dwg");
    DeleteFileW(GbkToWide(b).c_str());
    if (c.removePartFrame) DeleteFileW(GbkToWide(PartFramePath()).c_str());

    ClickStart();

    std::vector<Text> failed;
    if (c.insertsReachingCad == 0) failed = {a, b, r, d};
    else failed = {b};
    if (c.options.size() > 1 && c.options[1] == L"--fail-insert=拒绝") failed.push_back(r);
    if (c.removePartFrame) failed.push_back(PartFramePath());
    const int total = c.mode == 4 ? 5 : 4;
    Text text = "合并结束：共 " + IntToText(total) + " 个文件，其中 " + IntToText(static_cast<std::int32_t>(failed.size())) +
                " 个未能合并" + (c.insertsReachingCad == 0 ? "（未能取得CAD中打开的图纸）" : "") + "：";
    for (const Text& f : failed) text += "\r\n" + f;
    ExpectMessages({{kStart, kStartTitle}, {text, kTitle}});

    const std::vector<FakeCadCall> calls = cad.Calls();
    int inserts = 0, updates = 0, zooms = 0;
    for (const FakeCadCall& call : calls) {
      inserts += call.name == "InsertBlock";
      updates += call.name == "Update";
      zooms += call.name == "ZoomExtents";
    }
    EXPECT_EQ(inserts, c.insertsReachingCad);
    EXPECT_EQ(updates, total);
    EXPECT_EQ(zooms, total);
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(2 * total));

    DestroyWindow(main);
    PumpMessages();
    InitGlobals();
    seam->messages.clear();
    seen.clear();
    WritePartFrameIfMissing();
  }
}

TEST_F(MergeRun, LongFailureListsAreCut) {
  FakeCad cad({L"ZWCAD.Application"}, {L"--hidden", L"--no-document"});
  Start();
  ArrangementMode = 1;
  for (int i = 0; i < 25; ++i) AddDrawing("f" + IntToText(i) + ".dwg");
  ClickStart();
  ASSERT_EQ(seam->messages.size(), 2u);
  const Text& t = seam->messages[1].text;
  EXPECT_NE(t.find("共 25 个文件，其中 25 个未能合并"), Text::npos);
  EXPECT_NE(t.find(dir->file("f19.dwg")), Text::npos);
  EXPECT_EQ(t.find(dir->file("f20.dwg")), Text::npos);
  EXPECT_NE(t.find("……另有 5 个"), Text::npos);
}

// Counts below 1 and numbers beyond 32 bits, where the mode reads them, are refused before
// anything is inserted; a box the mode does not read does not matter.
TEST_F(MergeRun, UnusableParametersAreRefusedBeforeAnyInsertion) {
  struct Case {
    std::int32_t mode;
    const char *n, *l, *w, *k, *h, *v;
    const char* refusal;  // nullptr: the run goes ahead
  } cases[] = {
      {3, "10", "420", "297", "0", "4", "3", "每行数量必须是不小于1的整数，请修改后再开始合图。未合并任何文件。"},
      {3, "10", "420", "297", "-2", "4", "3", "每行数量必须是不小于1的整数，请修改后再开始合图。未合并任何文件。"},
      {4, "10", "105", "95", "10", "0", "3", "定向水平数必须是不小于1的整数，请修改后再开始合图。未合并任何文件。"},
      {4, "10", "105", "95", "10", "4", "-1", "定向垂直数必须是不小于1的整数，请修改后再开始合图。未合并任何文件。"},
      {1, "10", "99999999999", "297", "10", "4", "3", "图纸长度的数值超出允许范围，请修改后再开始合图。未合并任何文件。"},
      {3, "30000000000", "420", "-30000000000", "10", "4", "3",
       "图纸间距、图纸宽度的数值超出允许范围，请修改后再开始合图。未合并任何文件。"},
      {1, "2000000000", "2000000000", "297", "10", "4", "3",
       "按当前参数排列，插入点坐标将超出允许范围，请减小图纸尺寸、间距或数量后再开始合图。未合并任何文件。"},
      {1, "10", "420", "297", "0", "0", "99999999999", nullptr},  // counts of other modes
      {2, "10", "99999999999", "297", "10", "4", "3", nullptr},   // mode 2 has no length
  };
  FakeCad cad({L"ZWCAD.Application"}, {L"--hidden"});
  Start();
  AddDrawing("a.dwg");
  AddDrawing("b.dwg");
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("mode ") + std::to_string(c.mode) + " N=" + c.n + " L=" + c.l + " W=" + c.w +
                 " K=" + c.k + " H=" + c.h + " V=" + c.v);
    ArrangementMode = c.mode;
    SetBoxes(c.n, c.l, c.w, c.k, c.h, c.v);
    const std::size_t before = cad.Calls().size();
    seam->messages.clear();
    ClickStart();
    int inserts = 0;
    const std::vector<FakeCadCall> calls = cad.Calls();
    for (std::size_t i = before; i < calls.size(); ++i) inserts += calls[i].name == "InsertBlock";
    if (c.refusal) {
      ExpectMessages({{c.refusal, kTitle}});
      EXPECT_EQ(inserts, 0);
    } else {
      ExpectMessages({{kStart, kStartTitle}, {kDone, kTitle}});
      EXPECT_EQ(inserts, 2);
    }
    EXPECT_TRUE(IsWindowEnabled(mainwin::按钮_开始合图));
  }
}

}  // namespace
