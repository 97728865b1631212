#include "online/update_check.h"

#include <windows.h>

#include "common/platform.h"
#include "online/notice.h"

Text NoticeFileUrl() { return Text("https://") + TESSARO_WEB_HOST + "/cad.txt"; }

void CheckForUpdate() {
  const UpdateDecision d = DecideUpdate(FetchUrl(NoticeFileUrl()));
  if (!d.showNotice) return;
  // The notice has no owner; the main window is topmost, so the box must be too, or it would
  // open behind it.
  ShowMessage(nullptr, "软件已更新修复，请到下载页面下载最新版本", "更新提示!",
              MB_OK | MB_TASKMODAL | MB_TOPMOST | MB_SETFOREGROUND);
  // Only a web address goes to the shell: a header naming no page, or one that would not make a
  // plain http(s) address, opens nothing.
  if (d.openPage) OpenUrl(d.url);
}
