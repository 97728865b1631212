#include "online/settings_page.h"

// The page's controls arrive with the tables work.
namespace toolswin {
void CreateSettingsPage(HWND, HFONT) {}
bool RouteSettingsCommand(WPARAM, LPARAM) { return false; }
bool RouteSettingsNotify(LPARAM) { return false; }
const ui::ControlDef* SettingsControls(std::size_t* count) {
  *count = 0;
  return nullptr;
}
}  // namespace toolswin

void FillSettingsTables() {}
void OnToolsWindowDestroyed() {}
