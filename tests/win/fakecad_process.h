// The stand-in CAD (tools/fakecad) as a separate process for the CAD tests: started with the
// ProgIDs it registers, awaited through its ready event, ended in the destructor. Its call log is
// read back as lines with their millisecond timestamps.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "common/gbk.h"
#include "common/text.h"

#ifndef FAKECAD_EXE
#error "tests/win/CMakeLists.txt passes FAKECAD_EXE, the path of fakecad.exe"
#endif

struct FakeCadCall {
  double ms = 0;
  Text name;  // first word: InsertBlock, Update, ...
  Text line;  // the whole line after the timestamp, GBK
};

class FakeCad {
 public:
  // progIds and options as on fakecad's command line (see tools/fakecad/main.cpp).
  explicit FakeCad(std::vector<std::wstring> progIds, std::vector<std::wstring> options = {}) {
    static std::atomic<int> counter{0};
    const std::wstring tag = std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(counter++) + L"_" +
                             std::to_wstring(GetTickCount());
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    logPath_ = std::wstring(tmp) + L"fakecad_" + tag + L".log";
    const std::wstring event = L"Local\\TessaroFakeCadReady_" + tag;
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, event.c_str());

    std::wstring cmd = L"\"" + ExePath() + L"\" --log=\"" + logPath_ + L"\" --ready-event=" + event;
    for (const std::wstring& o : options) cmd += L" \"" + o + L"\"";
    for (const std::wstring& p : progIds) cmd += L" \"" + p + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_)) {
      ADD_FAILURE() << "fakecad did not start";
      CloseHandle(ready);
      return;
    }
    HANDLE waitFor[2] = {ready, pi_.hProcess};
    DWORD w = WaitForMultipleObjects(2, waitFor, FALSE, 60000);
    CloseHandle(ready);
    if (w != WAIT_OBJECT_0) ADD_FAILURE() << "fakecad did not register (wait " << w << ")";
  }
  FakeCad(const FakeCad&) = delete;
  FakeCad& operator=(const FakeCad&) = delete;
  ~FakeCad() {
    Stop();
    DeleteFileW(logPath_.c_str());
  }

  // Ends the process the way a user closing it would (revoking its registrations); killed when it
  // does not end in time.
  void Stop() {
    if (!pi_.hProcess) return;
    PostThreadMessageW(pi_.dwThreadId, WM_QUIT, 0, 0);
    if (WaitForSingleObject(pi_.hProcess, 10000) != WAIT_OBJECT_0) {
      TerminateProcess(pi_.hProcess, 1);
      WaitForSingleObject(pi_.hProcess, 5000);
    }
    CloseHandle(pi_.hProcess);
    CloseHandle(pi_.hThread);
    pi_ = PROCESS_INFORMATION{};
  }

  // Calls logged so far, registration lines left out.
  std::vector<FakeCadCall> Calls() const {
    std::vector<FakeCadCall> out;
    HANDLE f = CreateFileW(logPath_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return out;
    std::string bytes;
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0) bytes.append(buf, got);
    CloseHandle(f);
    std::size_t at = 0;
    while (at < bytes.size()) {
      std::size_t end = bytes.find('\n', at);
      if (end == std::string::npos) break;
      std::string line = bytes.substr(at, end - at);
      at = end + 1;
      std::size_t space = line.find(' ');
      if (space == std::string::npos) continue;
      FakeCadCall c;
      c.ms = std::stod(line.substr(0, space));
      c.line = FromUtf8(line.substr(space + 1));
      c.name = c.line.substr(0, c.line.find(' '));
      if (c.name == "Register" || c.name == "Unregister") continue;

      out.push_back(c);
    }
    return out;
  }

  static std::wstring ExePath() {
    std::wstring p = GbkToWide(FAKECAD_EXE);
    if (!p.empty() && p[0] == L'/') p = L"Z:" + p;  // a build-tree path under Wine
    for (auto& c : p)
      if (c == L'/') c = L'\\';
    return p;
  }

 private:
  static Text FromUtf8(const std::string& s) {
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return WideToGbk(w);
  }

  std::wstring logPath_;
  PROCESS_INFORMATION pi_{};
};

// Names of the calls, in order.
inline std::vector<Text> CallNames(const std::vector<FakeCadCall>& calls) {
  std::vector<Text> out;
  for (const FakeCadCall& c : calls) out.push_back(c.name);
  return out;
}
