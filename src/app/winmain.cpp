#include <windows.h>
#include <objbase.h>

#include <cstdlib>

#include "app/main_window.h"

namespace {
void AtExitFreeGlobals() { FreeGlobals(); }
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Automation calls into the CAD application need an apartment on the GUI thread.
  OleInitialize(nullptr);
  InitGlobals();
  std::atexit(AtExitFreeGlobals);
  if (CreateMainWindow()) RunMessageLoop();
  FreeGlobals();
  OleUninitialize();
  return 0;
}
