// The merge benchmark (scripts/bench.d/merge.sh runs it with --gtest_also_run_disabled_tests):
// a run of 200 drawings against the stand-in CAD with the real 100 ms pauses, its wall time
// against the floor the pauses set, (n + F) x 200 ms.
#include <windows.h>

#include <cstdio>

#include "app/main_window.h"
#include "app/ui.h"
#include "common/globals.h"
#include "drawing_list/drawing_list.h"
#include "fakecad_process.h"
#include "harness.h"

namespace {

using MergeBench = AppTest;

TEST_F(MergeBench, DISABLED_TwoHundredDrawings) {
  FakeCad cad({L"ZWCAD.Application"}, {L"--hidden"});
  Start();
  ArrangementMode = 1;
  ui::SetText(mainwin::编辑框_间距, "10");
  ui::SetText(mainwin::编辑框_水平尺寸, "420");
  const int n = 200;
  for (int i = 0; i < n; ++i) {
    const Text path = dir->file("图纸" + IntToText(i) + ".dwg");
    WriteAll(path, "drawing");
    const int row = drawing_list::AppendRow();
    drawing_list::SetCellText(row, 1, path);
  }
  LARGE_INTEGER freq, begin{}, end{};
  QueryPerformanceFrequency(&freq);
  // The real pause, timed: how much of the overhead is the system's sleeping.
  double slept = 0;
  int pauses = 0;
  Seam().pause = [&](unsigned ms) {
    LARGE_INTEGER a, b;
    QueryPerformanceCounter(&a);
    real::Pause(ms);
    QueryPerformanceCounter(&b);
    slept += static_cast<double>(b.QuadPart - a.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart) - ms;
    ++pauses;
  };
  // From the closing of the start message to the completion message.
  seam->onMessage = [&](const MessageRecord&) {
    if (begin.QuadPart == 0) QueryPerformanceCounter(&begin);
    else QueryPerformanceCounter(&end);
  };
  Click(mainwin::按钮_开始合图);
  ASSERT_EQ(seam->messages.size(), 2u);
  const std::vector<FakeCadCall> calls = cad.Calls();
  int inserted = 0;
  // Where the time goes, as the stand-in saw it: before each InsertBlock (pause 1 and the list),
  // InsertBlock to Update (pause 2), Update to ZoomExtents.
  double before = 0, after = 0, zoom = 0;
  for (std::size_t i = 1; i + 2 < calls.size(); ++i) {
    if (calls[i].name != "InsertBlock") continue;
    inserted += calls[i].line.find("-> ok") != Text::npos;
    before += calls[i].ms - calls[i - 1].ms;
    after += calls[i + 1].ms - calls[i].ms;
    zoom += calls[i + 2].ms - calls[i + 1].ms;
  }
  ASSERT_EQ(inserted, n);
  std::printf("merge: mean oversleep per 100 ms pause %.2f ms over %d pauses\n", slept / pauses, pauses);
  std::printf("merge: mean gaps before InsertBlock %.2f ms, to Update %.2f ms, to ZoomExtents %.2f ms\n",
              before / n, after / n, zoom / n);
  const double wall = static_cast<double>(end.QuadPart - begin.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
  const double floor = n * 200.0;
  std::printf("merge: n=%d F=0 wall=%.1f ms floor=%.0f ms ratio=%.4f\n", n, wall, floor, wall / floor);
}

}  // namespace
