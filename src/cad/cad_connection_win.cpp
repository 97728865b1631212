#include "cad/cad_connection.h"

#include "app/main_window.h"
#include "app/ui.h"
#include "cad/automation.h"
#include "common/globals.h"
#include "settings/settings.h"

namespace {
const char kCaptionBase[] = "Tessaro_不限CAD版本_v3.2  [";
}  // namespace

bool ConnectToCad() {
  Text label;
  for (const VersionEntry& e : ParseVersionList(versionListText)) {
    // An empty member (between two "/", or after the closing one) names no release; a member
    // without a year is still probed and then named by its internal version.
    if (e.internalVersion.empty()) continue;
    if (GetRunningObject("Autocad.Application." + e.internalVersion, cadApplication))
      label = (e.hasYear && !e.year.empty() ? e.year : e.internalVersion) + "版本";
  }
  if (GetRunningObject("ZWCAD.Application", cadApplication)) label = "国产中望CAD";
  if (GetRunningObject("GstarCAD.Application", cadApplication)) label = "国产浩辰CAD";

  const bool connected = !label.empty();
  const Text caption = kCaptionBase + (connected ? "当前CAD: " + label : Text("未连接到CAD，请打开CAD软件")) + "]";
  if (mainwin::window) ui::SetText(mainwin::window, caption);
  return connected;
}
