// The drawing list on the real list view: its look, its operations, adding drawings through the
// open-file seam and the six buttons that reorder and remove rows.
#include <windows.h>
#include <commctrl.h>

#include <map>
#include <sstream>

#include "app/main_window.h"
#include "common/files.h"
#include "common/gbk.h"
#include "common/globals.h"
#include "drawing_list/drawing_list.h"
#include "drawing_list/list_text.h"
#include "harness.h"
#include "settings/settings.h"

namespace {

HWND List() { return mainwin::超级列表框1; }

std::vector<int> SelectedRows() {
  std::vector<int> rows;
  for (int i = ListView_GetNextItem(List(), -1, LVNI_SELECTED); i >= 0;
       i = ListView_GetNextItem(List(), i, LVNI_SELECTED))
    rows.push_back(i);
  return rows;
}

Text Joined(const std::vector<Text>& parts) {
  Text out;
  for (std::size_t i = 0; i < parts.size(); ++i) out += (i ? "," : "") + parts[i];
  return out;
}

// Writes a file of the given size (sparse beyond what is written) and last-write time.
void MakeFile(const Text& path, std::int64_t size, const SYSTEMTIME& local) {
  HANDLE h = CreateFileW(GbkToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
  LARGE_INTEGER at;
  at.QuadPart = size;
  ASSERT_TRUE(SetFilePointerEx(h, at, nullptr, FILE_BEGIN));
  ASSERT_TRUE(SetEndOfFile(h));
  FILETIME lft, ft;
  SystemTimeToFileTime(&local, &lft);
  LocalFileTimeToFileTime(&lft, &ft);
  ASSERT_TRUE(SetFileTime(h, nullptr, nullptr, &ft));
  CloseHandle(h);
}

SYSTEMTIME Local(WORD y, WORD mo, WORD d, WORD h, WORD mi, WORD s) {
  SYSTEMTIME st{};
  st.wYear = y;
  st.wMonth = mo;
  st.wDay = d;
  st.wHour = h;
  st.wMinute = mi;
  st.wSecond = s;
  return st;
}

// A file whose name ends in a character with the GBK trail byte 0x5C, in a folder whose name
// ends in one too: a byte-wise search for the last "\" would cut inside a character.
const char kTrailChar[] = "俓";  // 82 5C

class DrawingList : public AppTest {
 protected:
  struct FileInfo {
    Text path, size, time;
  };

  void SetUp() override {
    AppTest::SetUp();
    ASSERT_EQ(Text(kTrailChar), Text("\x82\x5C"));
    const Text trailDir = dir->file(Text("图纸") + kTrailChar);
    CreateDirectoryW(GbkToWide(trailDir).c_str(), nullptr);
    rootFile = "C:\\合图根目录_" + IntToText(GetCurrentProcessId()) + ".dwg";
    struct {
      const char* key;
      Text path;
      std::int64_t size;
      SYSTEMTIME time;
      const char* sizeText;
      const char* timeText;
    } made[] = {
        {"a", dir->file("a.dwg"), 1024, Local(2024, 3, 5, 9, 7, 42), "1KB", "2024/3/5 9:7"},
        {"b", dir->file("b.dwg"), 1536, Local(2023, 12, 31, 23, 59, 59), "1.5KB", "2023/12/31 23:59"},
        {"c", dir->file("c.dxf"), 12345, Local(2020, 1, 1, 0, 0, 30), "12.06KB", "2020/1/1 0:0"},
        {"d", dir->file("d.dwg"), 100, Local(2019, 7, 10, 12, 30, 0), "0.1KB", "2019/7/10 12:30"},
        {"e", dir->file("e.dwg"), 1000, Local(2018, 2, 3, 4, 5, 6), "0.98KB", "2018/2/3 4:5"},
        {"huge", dir->file("三吉.dwg"), 3221225472LL, Local(2022, 5, 6, 7, 8, 9), "3145728KB",
         "2022/5/6 7:8"},
        {"trail", trailDir + "\\" + kTrailChar + ".dwg", 0, Local(2021, 11, 12, 13, 14, 15), "0KB",
         "2021/11/12 13:14"},
        {"root", rootFile, 512, Local(2017, 1, 2, 3, 4, 5), "0.5KB", "2017/1/2 3:4"},
    };
    for (const auto& m : made) {
      MakeFile(m.path, m.size, m.time);
      files[m.key] = {m.path, m.sizeText, m.timeText};
    }
    files["gone"] = {dir->file("已删除.dwg"), MissingFileCellText(), MissingFileCellText()};

    // The dialog double: answers in order, and remembers the owner and the focus it was shown
    // with.
    Seam().openFiles = [this](HWND owner, const OpenFileRequest& r) {
      requests.push_back(r);
      dialogOwners.push_back(owner);
      focusAtDialog.push_back(GetFocus());
      if (answers.empty()) return OpenFileResult{};
      OpenFileResult a = answers.front();
      answers.pop_front();
      return a;
    };
  }

  void TearDown() override {
    AppTest::TearDown();
    DeleteFileW(GbkToWide(rootFile).c_str());
  }

  // "a,b,c" as the paths of those files.
  TextArray Paths(const Text& keys) {
    TextArray out;
    for (const Text& k : split(keys, ",")) out.push_back(files.at(k).path);
    return out;
  }

  void Add(const Text& keys) {
    answers.push_back(OpenFileResult{Paths(keys), false});
    Click(mainwin::按钮_增加);
  }

  // Checks every row is whole: number as given, path, and that file's own size and time.
  void ExpectRows(const Text& numbers, const Text& keys) {
    std::vector<Text> gotNumbers;
    std::vector<Text> gotKeys;
    for (int r = 0; r < drawing_list::RowCount(); ++r) {
      gotNumbers.push_back(drawing_list::CellText(r, 0));
      Text path = drawing_list::CellText(r, 1);
      Text key = "?" + path;
      for (const auto& f : files)
        if (f.second.path == path) key = f.first;
      gotKeys.push_back(key);
      if (files.count(key)) {
        EXPECT_EQ(drawing_list::CellText(r, 2), files[key].size) << "row " << r;
        EXPECT_EQ(drawing_list::CellText(r, 3), files[key].time) << "row " << r;
      }
    }
    EXPECT_EQ(Joined(gotNumbers), numbers);
    EXPECT_EQ(Joined(gotKeys), keys);
  }

  Text rootFile;
  std::map<Text, FileInfo> files;
  std::deque<OpenFileResult> answers;
  std::vector<OpenFileRequest> requests;
  std::vector<HWND> dialogOwners, focusAtDialog;
};

TEST_F(DrawingList, ReportViewLook) {
  Start();
  LONG style = GetWindowLongW(List(), GWL_STYLE);
  EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
  EXPECT_TRUE(style & LVS_SINGLESEL);
  EXPECT_TRUE(style & LVS_SHOWSELALWAYS);
  EXPECT_TRUE(style & LVS_NOSORTHEADER);
  EXPECT_FALSE(style & (LVS_EDITLABELS | LVS_SORTASCENDING | LVS_SORTDESCENDING | LVS_NOCOLUMNHEADER));
  DWORD ex = ListView_GetExtendedListViewStyle(List());
  EXPECT_TRUE(ex & LVS_EX_FULLROWSELECT);
  EXPECT_FALSE(ex & (LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_HEADERDRAGDROP));
  HWND header = ListView_GetHeader(List());
  ASSERT_TRUE(header);
  EXPECT_FALSE(GetWindowLongW(header, GWL_STYLE) & HDS_BUTTONS);
  EXPECT_TRUE(IsWindowVisible(header));
  const struct {
    const char* text;
    int width;
  } want[] = {{"序号", 50}, {"文件名", 290}, {"大小", 100}, {"时间", 160}};
  ASSERT_EQ(Header_GetItemCount(header), 4);
  for (int i = 0; i < 4; ++i) {
    wchar_t buf[64] = {};
    LVCOLUMNW c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    c.pszText = buf;
    c.cchTextMax = 64;
    ASSERT_TRUE(SendMessageW(List(), LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&c)));
    EXPECT_EQ(WideToGbk(buf), want[i].text);
    EXPECT_EQ(c.cx, want[i].width);
    EXPECT_EQ(c.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
  }
  EXPECT_EQ(drawing_list::RowCount(), 0);
}

TEST_F(DrawingList, Operations) {
  Start();
  using namespace drawing_list;
  EXPECT_EQ(AppendRow(), 0);
  EXPECT_EQ(AppendRow(), 1);
  InsertRow(2, "尾");  // the row count appends
  InsertRow(0, "首");
  EXPECT_EQ(RowCount(), 4);
  EXPECT_EQ(CellText(0, 0), "首");
  EXPECT_EQ(CellText(3, 0), "尾");
  EXPECT_EQ(CurrentRow(), -1);  // inserted rows are not selected
  SelectRow(-1);
  SetCurrentRow(4);
  EXPECT_TRUE(SelectedRows().empty());
  SetCurrentRow(1);
  EXPECT_EQ(SelectedRows(), std::vector<int>{1});
  EXPECT_EQ(ListView_GetNextItem(List(), -1, LVNI_FOCUSED), 1);
  SelectRow(3);  // single selection: row 1 lets go
  EXPECT_EQ(SelectedRows(), std::vector<int>{3});
  EXPECT_EQ(CurrentRow(), 3);
  SetCurrentRow(-1);
  SetCurrentRow(9);
  EXPECT_EQ(CurrentRow(), 3);
  DeselectRow(-1);
  DeselectRow(3);
  EXPECT_EQ(CurrentRow(), -1);
  // A path longer than any fixed buffer comes back whole.
  Text longText = "D:\\" + Text(3000, 'x') + "\\图纸" + Text(3000, 'y') + ".dwg";
  SetCellText(2, 1, longText);
  EXPECT_EQ(CellText(2, 1), longText);
  EXPECT_EQ(CellText(2, 2), "");
  RemoveRow(0);
  EXPECT_EQ(CellText(1, 1), longText);
  RemoveAllRows();
  EXPECT_EQ(RowCount(), 0);
  GiveFocus();
  EXPECT_EQ(GetFocus(), List());
}

// Each case starts from an empty list and runs its steps through the real buttons:
//   +keys  add those files (the dialog answers their paths)   cancel  the dialog is cancelled
//   long   the selection did not fit into the dialog's answer
//   sN     select row N (s-1: no row)    up down top bottom remove clear: the buttons
TEST_F(DrawingList, AddMoveRemoveCases) {
  WriteAll(SettingsPath(), "[配置]\r\n路径=D:\\\r\n");
  Start();
  const Text dirFolder = dir->path() + "\\";
  struct Case {
    const char* name;
    const char* steps;
    const char* numbers;
    const char* keys;
    int selected;                       // -1 none
    std::vector<const char*> messages;  // boundary texts in order ("long": the too-long text)
    const char* folder;                 // lastFolder after: "dir", "root", "trail" or "D:\"
  };
  const Case cases[] = {
      {"three to an empty list", "+a,b,c", "1,2,3", "a,b,c", 0, {}, "dir"},
      {"two more: first row selected", "+a,b,c s2 +d,e", "1,2,3,4,5", "a,b,c,d,e", 0, {}, "dir"},
      {"same file twice", "+a +a", "1,2", "a,a", 0, {}, "dir"},
      {"number after a removal repeats", "+a,b,c s1 remove +d", "1,3,3", "a,c,d", 0, {}, "dir"},
      {"root folder", "+root,a", "1,2", "root,a", 0, {}, "root"},
      {"trail byte 0x5C in folder and name", "+trail,a", "1,2", "trail,a", 0, {}, "trail"},
      {"only the first path decides the folder", "+a,trail", "1,2", "a,trail", 0, {}, "dir"},
      {"3 GiB file and a vanished file", "+huge,gone", "1,2", "huge,gone", 0, {}, "dir"},
      {"cancel, empty list", "cancel", "", "", -1, {}, "D:\\"},
      {"cancel, non-empty list", "+a,b s1 cancel", "1,2", "a,b", 0, {}, "dir"},
      {"selection too long", "+a,b s1 long", "1,2", "a,b", 0, {"long"}, "dir"},
      {"selection too long, empty list", "long", "", "", -1, {"long"}, "D:\\"},
      {"third to the top", "+a,b,c s2 top", "3,1,2", "c,a,b", 0, {}, "dir"},
      {"second to the top", "+a,b,c s1 top", "2,1,3", "b,a,c", 0, {}, "dir"},
      {"first to the bottom", "+a,b,c s0 bottom", "2,3,1", "b,c,a", 2, {}, "dir"},
      {"second to the bottom", "+a,b,c s1 bottom", "1,3,2", "a,c,b", 2, {}, "dir"},
      {"second up", "+a,b,c s1 up", "2,1,3", "b,a,c", 0, {}, "dir"},
      {"second down", "+a,b,c s1 down", "1,3,2", "a,c,b", 2, {}, "dir"},
      {"up walks to the top, then the message", "+a,b,c s2 up up up", "3,1,2", "c,a,b", 0,
       {"到顶啦！"}, "dir"},
      {"down walks to the bottom, then the message", "+a,b,c s0 down down down", "2,3,1", "b,c,a",
       2, {"到底啦！"}, "dir"},
      {"one row: every boundary", "+a up top down bottom", "1", "a", 0,
       {"到顶啦！", "已经到顶啦！！", "到底啦！", "已经到底啦！！"}, "dir"},
      {"first row: up and top", "+a,b,c up top", "1,2,3", "a,b,c", 0,
       {"到顶啦！", "已经到顶啦！！"}, "dir"},
      {"last row: down and bottom", "+a,b,c s2 down bottom", "1,2,3", "a,b,c", 2,
       {"到底啦！", "已经到底啦！！"}, "dir"},
      {"no row selected: nothing", "+a,b,c s-1 up down top bottom remove", "1,2,3", "a,b,c", -1,
       {}, "dir"},
      {"empty list: nothing", "up down top bottom remove clear", "", "", -1, {}, "D:\\"},
      {"remove the second of three", "+a,b,c s1 remove", "1,3", "a,c", -1, {}, "dir"},
      {"remove the last", "+a,b,c s2 remove", "1,2", "a,b", -1, {}, "dir"},
      {"clear, then numbers from 1", "+a,b,c clear +d,e", "1,2", "d,e", 0, {}, "dir"},
      {"moved rows stay whole after mixed moves", "+a,b,c,d s3 up top s1 bottom down",
       "4,2,3,1", "d,b,c,a", 3, {"到底啦！"}, "dir"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    drawing_list::RemoveAllRows();
    lastFolder = "D:\\";
    WriteSetting(kKeyFolder, "D:\\");
    seam->messages.clear();
    requests.clear();
    dialogOwners.clear();
    focusAtDialog.clear();
    std::size_t dialogs = 0;
    std::istringstream steps(c.steps);
    std::string step;
    while (steps >> step) {
      SCOPED_TRACE(step);
      SetFocus(mainwin::按钮_增加);
      const Text folderBefore = lastFolder;
      bool focusesList = true;
      HWND clicked = mainwin::按钮_增加;
      if (step[0] == '+') {
        Add(step.substr(1));
      } else if (step == "cancel") {
        Click(mainwin::按钮_增加);
      } else if (step == "long") {
        answers.push_back(OpenFileResult{{}, true});
        Click(mainwin::按钮_增加);
      } else if (step[0] == 's') {
        int row = std::stoi(step.substr(1));
        if (row < 0) {
          for (int r : SelectedRows()) drawing_list::DeselectRow(r);
        } else {
          drawing_list::SelectRow(row);
        }
        focusesList = false;
      } else {
        const std::map<std::string, HWND> buttons = {
            {"up", mainwin::按钮_上移},     {"down", mainwin::按钮_下移},
            {"top", mainwin::按钮_置顶},    {"bottom", mainwin::按钮_置底},
            {"remove", mainwin::按钮_删除}, {"clear", mainwin::按钮_清空}};
        ASSERT_TRUE(buttons.count(step));
        int selectedBefore = drawing_list::SelectedRow();
        clicked = buttons.at(step);
        Click(clicked);
        // The moves give the list the focus whenever there was a row to act on.
        focusesList = step != "remove" && step != "clear" && selectedBefore >= 0;
      }
      if (step[0] == '+' || step == "cancel" || step == "long") {
        ++dialogs;
        ASSERT_EQ(requests.size(), dialogs);
        const OpenFileRequest& r = requests.back();
        EXPECT_EQ(r.title, "请选择要合并的CAD文件");
        EXPECT_EQ(r.filter, "DWG文件|*.dwg|DXF文件|*.dxf");
        EXPECT_EQ(r.initialFolder, folderBefore);
        EXPECT_EQ(r.bufferBytes, 61440u);
        EXPECT_EQ(dialogOwners.back(), main);
        EXPECT_EQ(focusAtDialog.back(), List());
        EXPECT_EQ(ReadSetting(kKeyFolder), lastFolder);  // written with the folder, or left
      }
      if (focusesList) {
        EXPECT_EQ(GetFocus(), List());
      } else if (step[0] != 's') {
        EXPECT_EQ(GetFocus(), clicked);
      }
    }
    ExpectRows(c.numbers, c.keys);
    EXPECT_EQ(SelectedRows(), c.selected < 0 ? std::vector<int>{} : std::vector<int>{c.selected});
    ASSERT_EQ(seam->messages.size(), c.messages.size());
    for (std::size_t i = 0; i < c.messages.size(); ++i) {
      const MessageRecord& m = seam->messages[i];
      EXPECT_EQ(m.text, Text(c.messages[i]) == "long" ? Text(kSelectionTooLongText)
                                                       : Text(c.messages[i]));
      EXPECT_EQ(m.title, "提示");
      EXPECT_EQ(m.type, static_cast<UINT>(MB_ICONINFORMATION | MB_OK));
      EXPECT_EQ(m.owner, main);
    }
    const Text folder = c.folder;
    const Text wantFolder = folder == "dir"    ? dirFolder
                            : folder == "root" ? Text("C:\\")
                            : folder == "trail"
                                ? dir->file(Text("图纸") + kTrailChar) + "\\"
                                : folder;
    EXPECT_EQ(lastFolder, wantFolder);
    EXPECT_EQ(ReadSetting(kKeyFolder), wantFolder);
  }
}

}  // namespace
