// The part-frame drawing beside the program: written at start-up from the carried resource, never
// over a user's own file, and again once it has gone.
#include <windows.h>

#include "app/main_window.h"
#include "app/modes.h"
#include "cad/part_frame.h"
#include "common/files.h"
#include "common/gbk.h"
#include "harness.h"

namespace {

// The drawing the build generated, seen from Wine's Z: drive.
Text BuiltFramePath() {
  Text path = Text("Z:") + TESSARO_BINARY_DIR + "/part_frame.dwg";
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

void DeleteFrame() {
  ASSERT_TRUE(DeleteFileW(GbkToWide(PartFramePath()).c_str())) << PartFramePath();
}

using PartFrame = AppTest;

TEST_F(PartFrame, StartUpWritesTheCarriedDrawing) {
  const std::string carried = PartFrameBytes();
  ASSERT_FALSE(carried.empty());
  EXPECT_EQ(carried, ReadAll(BuiltFramePath()));
  EXPECT_EQ(carried.substr(0, 6), "AC1015");
  EXPECT_EQ(PartFramePath(), dir->file("零件图框.dwg"));
  ASSERT_FALSE(FileExists(PartFramePath()));

  Start();
  EXPECT_EQ(ReadAll(PartFramePath()), carried);
}

TEST_F(PartFrame, UsersOwnFileIsLeftAlone) {
  const std::string own = "AC1024 the user's own frame\r\n";
  WriteAll(PartFramePath(), own);
  Start();
  EXPECT_EQ(ReadAll(PartFramePath()), own);
  PrepareSizePresets();
  EXPECT_EQ(ReadAll(PartFramePath()), own);
  // An empty file is still the user's.
  WriteAll(PartFramePath(), "");
  PrepareSizePresets();
  EXPECT_EQ(FileSize(PartFramePath()), 0);
}

TEST_F(PartFrame, DeletedFileIsWrittenAgain) {
  Start();
  DeleteFrame();
  PrepareSizePresets();  // as when the tools window closes
  EXPECT_EQ(ReadAll(PartFramePath()), PartFrameBytes());

  DeleteFrame();
  DestroyWindow(main);
  PumpMessages();
  InitGlobals();
  Start();
  EXPECT_EQ(ReadAll(PartFramePath()), PartFrameBytes());
}

}  // namespace
