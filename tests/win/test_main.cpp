#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

// The application's thread is an OLE apartment; the tests run on such a thread too.
int wmain(int argc, wchar_t** argv) {
  OleInitialize(nullptr);
  ::testing::InitGoogleTest(&argc, argv);
  int rc = RUN_ALL_TESTS();
  OleUninitialize();
  return rc;
}
