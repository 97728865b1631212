// The real Tessaro.exe, started in an empty program directory and driven from outside like a
// user would: its settings file, its window, and the ways it ends.
#include <windows.h>

#include <cstdio>
#include <string>

#include "app/main_window.h"
#include "common/files.h"
#include "common/gbk.h"
#include "harness.h"
#include "settings/settings.h"

namespace {

// Z:\... path of a file in the build tree.
std::wstring BuildFile(const char* relative) {
  std::wstring p = L"Z:" + GbkToWide(TESSARO_BINARY_DIR) + L"/" + GbkToWide(relative);
  for (auto& c : p)
    if (c == L'/') c = L'\\';
  return p;
}

struct Found {
  DWORD pid;
  const wchar_t* cls;
  HWND hwnd;
};

BOOL CALLBACK FindTopLevel(HWND h, LPARAM lp) {
  auto* f = reinterpret_cast<Found*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  wchar_t cls[64];
  GetClassNameW(h, cls, 64);
  if (pid == f->pid && wcscmp(cls, f->cls) == 0 && IsWindowVisible(h)) {
    f->hwnd = h;
    return FALSE;
  }
  return TRUE;
}

HWND WaitForWindow(DWORD pid, const wchar_t* cls, DWORD ms = 30000) {
  for (DWORD waited = 0; waited < ms; waited += 50) {
    Found f{pid, cls, nullptr};
    EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&f));
    if (f.hwnd) return f.hwnd;
    Sleep(50);
  }
  return nullptr;
}

int ControlId(const char* name) {
  std::size_t n = 0;
  const ui::ControlDef* defs = mainwin::Controls(&n);
  return mainwin::kControlIdBase + static_cast<int>(ui::FindByName(defs, n, name) - defs);
}

class TessaroExe : public ::testing::Test {
 protected:
  void SetUp() override {
    exe = dir.file("Tessaro.exe");
    ASSERT_TRUE(CopyFileW(BuildFile("src/app/Tessaro.exe").c_str(), GbkToWide(exe).c_str(), FALSE));
  }
  void TearDown() override {
    if (pi.hProcess) {
      if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 1);
      WaitForSingleObject(pi.hProcess, 5000);
      CloseHandle(pi.hProcess);
      CloseHandle(pi.hThread);
    }
  }
  HWND Launch() {
    std::wstring cmd = L"\"" + GbkToWide(exe) + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    EXPECT_TRUE(CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               GbkToWide(dir.path()).c_str(), &si, &pi));
    HWND w = WaitForWindow(pi.dwProcessId, L"TessaroMain");
    // Start-up has finished once the window answers messages.
    DWORD_PTR r;
    if (w) SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_BLOCK, 30000, &r);
    return w;
  }
  DWORD ExitCode(DWORD waitMs = 20000) {
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, waitMs), WAIT_OBJECT_0);
    DWORD code = 12345;
    GetExitCodeProcess(pi.hProcess, &code);
    return code;
  }
  TempProgramDir dir;
  Text exe;
  PROCESS_INFORMATION pi{};
};

TEST_F(TessaroExe, FirstStartInEmptyDirectoryThenCloseBox) {
  HWND w = Launch();
  ASSERT_NE(w, nullptr);
  const Text ini = dir.file("合图工具配置.ini");
  const std::string want = std::string("[配置]\r\n帮助=1\r\n路径=D:\\\r\n次数=2\r\n版本=") +
                           kDefaultVersionList + "\r\n尺寸=" + kDefaultSizeList + "\r\n";
  EXPECT_EQ(ReadAll(ini), want);
  EXPECT_TRUE(FileAttributes(ini) & FILE_ATTRIBUTE_HIDDEN);
  RECT r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r.right - r.left, 850);
  EXPECT_EQ(r.bottom - r.top, 530);
  // Every control of the table exists in the real process with its text.
  std::size_t n = 0;
  const ui::ControlDef* defs = mainwin::Controls(&n);
  for (std::size_t i = 0; i < n; ++i) {
    HWND c = GetDlgItem(w, mainwin::kControlIdBase + static_cast<int>(i));
    EXPECT_NE(c, nullptr) << defs[i].name;
  }
  EXPECT_EQ(ui::GetText(GetDlgItem(w, ControlId("按钮_开始合图"))), "开始合图");
  PostMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(ExitCode(), 0u);
}

TEST_F(TessaroExe, CloseButtonAsksAndOkEndsWithExitCodeZero) {
  HWND w = Launch();
  ASSERT_NE(w, nullptr);
  HWND close = GetDlgItem(w, ControlId("按钮_关闭"));
  for (int answer : {IDCANCEL, IDOK}) {
    // Wine's button can lose a BM_CLICK (see Click in the harness): post it again when no box came.
    HWND box = nullptr;
    for (int attempt = 0; attempt < 3 && !box; ++attempt) {
      PostMessageW(close, BM_CLICK, 0, 0);
      box = WaitForWindow(pi.dwProcessId, L"#32770", 4000);
      if (!box) fprintf(stderr, "exe test: no box after BM_CLICK #%d\n", attempt + 1);
    }
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(GetWindow(box, GW_OWNER), w);
    EXPECT_EQ(ui::GetText(box), Text("QQ群:") + TESSARO_QQ_GROUP + " 提示：");
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
    if (answer == IDCANCEL) {
      Sleep(300);
      EXPECT_TRUE(IsWindow(w));
      EXPECT_EQ(WaitForSingleObject(pi.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    }
  }
  EXPECT_EQ(ExitCode(), 0u);
}

TEST_F(TessaroExe, EscEndsAtOnce) {
  HWND w = Launch();
  ASSERT_NE(w, nullptr);
  HWND add = GetDlgItem(w, ControlId("按钮_增加"));
  PostMessageW(add, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  PostMessageW(add, WM_KEYUP, VK_ESCAPE, 0xC0010001);
  EXPECT_EQ(ExitCode(), 0u);
}

}  // namespace
