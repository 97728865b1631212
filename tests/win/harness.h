// Test harness for the Windows tests: platform-seam doubles that record every message box and
// opened address, a private program directory per test, and a fixture that creates the real
// main window.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "common/platform.h"
#include "common/text.h"

struct MessageRecord {
  HWND owner;
  Text text, title;
  UINT type;
};

// Installs doubles into the seam for its lifetime.
class SeamDoubles {
 public:
  SeamDoubles();
  ~SeamDoubles();

  std::vector<MessageRecord> messages;
  std::deque<int> messageAnswers;  // answer of the next boxes; IDOK when empty
  std::function<void(const MessageRecord&)> onMessage;  // runs while the "box" is shown

  std::vector<Text> openedUrls;

  std::vector<Text> fetchedUrls;
  std::map<Text, std::string> fetchBodies;  // url -> body; missing: empty bytes (no network)

  std::deque<OpenFileResult> openFileAnswers;  // cancel when empty
  std::vector<OpenFileRequest> openFileRequests;
  std::deque<Text> folderAnswers;
  std::vector<Text> folderTitles;

  std::vector<unsigned> pauses;
  bool realPauses = false;
  DateTime now{2025, 3, 7, 14, 5, 9};
};

// A fresh, empty program directory (GBK path with Chinese characters) under the temp folder.
class TempProgramDir {
 public:
  TempProgramDir();
  ~TempProgramDir();
  const Text& path() const { return path_; }
  Text file(const Text& name) const { return path_ + "\\" + name; }

 private:
  Text path_;
};

void RemoveTree(const Text& path);
// Dispatches every waiting message of this thread, as the program's loop does.
void PumpMessages();
// A click on a button, check box or radio button of this thread through BM_CLICK, as a user's
// click reaches the control. Wine's button loses a BM_CLICK now and then (its capture changes
// between the emulated press and release, so no BN_CLICKED follows); the click is watched and,
// when the parent heard nothing, given again, with a line on stderr saying so.
void Click(HWND button);
std::string ReadAll(const Text& path);
void WriteAll(const Text& path, const std::string& bytes);
DWORD FileAttributes(const Text& path);

// Every test of the application: seam doubles, a private program directory, the globals, and the
// real main window created (with its start-up sequence) by Start().
class AppTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Creates the main window as the program does; the settings file may be prepared before.
  void Start();
  std::unique_ptr<SeamDoubles> seam;
  std::unique_ptr<TempProgramDir> dir;
  HWND main = nullptr;
};
