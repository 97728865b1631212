// The update check at the end of start-up, against the real main window with the seam answering
// the notice file.
#include <windows.h>

#include <algorithm>
#include <string>

#include "app/main_window.h"
#include "common/globals.h"
#include "harness.h"
#include "online/update_check.h"
#include "settings/settings.h"

namespace {

using namespace std::string_literals;
using UpdateCheck = AppTest;

const char kNoticeTitle[] = "更新提示!";
const char kNoticeText[] = "软件已更新修复，请到下载页面下载最新版本";
const std::string kNoNetwork = "(no network)";

TEST_F(UpdateCheck, NoticeFileUrl) {
  EXPECT_EQ(NoticeFileUrl(), Text("https://") + TESSARO_WEB_HOST + "/cad.txt");
}

TEST_F(UpdateCheck, AtTheEndOfStartUp) {
  struct {
    const char* name;
    std::string body;
    bool notice;
    std::vector<Text> opened;
  } cases[] = {
      {"same tag", "v3.2#www.example.com/dl#@工具#http://a#http://b", false, {}},
      {"same tag alone", "v3.2", false, {}},
      {"later tag", "v3.3#A#@工具#http://a#http://b", true, {"https://A"}},
      {"earlier tag", "v3.1#www.example.com/下载#", true, {"https://www.example.com/下载"}},
      {"capital V", "V3.2#dl#", true, {"https://dl"}},
      {"empty tag", "#dl#", true, {"https://dl"}},
      {"header without its closing #", "v3.3#dl@工具#http://a#http://b", true, {"https://dl@工具"}},
      {"no # at all", "v4", true, {}},
      {"page that is no plain address", "v3.3#dl \"x#", true, {}},
      // An error page is read as the file; what it gives as page is no address.
      {"error page", "<html><style>a{color:#00f}</style>404</html>", true, {}},
      {"no network", kNoNetwork, false, {}},
      {"empty body", "", false, {}},
      {"zero byte first", "\0v3.3#dl#"s, false, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    // No help page at this start.
    WriteAll(SettingsPath(), std::string("[配置]\r\n帮助=0\r\n次数=7\r\n尺寸=") + kDefaultSizeList + "\r\n");
    seam->fetchBodies.clear();
    if (c.body != kNoNetwork) seam->fetchBodies[NoticeFileUrl()] = c.body;
    seam->messages.clear();
    seam->openedUrls.clear();
    seam->fetchedUrls.clear();
    std::size_t openedWhileShown = 99;
    int presetsWhileShown = -1;
    seam->onMessage = [&](const MessageRecord& m) {
      if (m.title != kNoticeTitle) return;
      openedWhileShown = seam->openedUrls.size();
      presetsWhileShown = static_cast<int>(SendMessageW(mainwin::组合框_尺寸, CB_GETCOUNT, 0, 0));
    };
    Start();
    std::vector<MessageRecord> notices;
    for (const auto& m : seam->messages)
      if (m.title == kNoticeTitle) notices.push_back(m);
    ASSERT_EQ(notices.size(), c.notice ? 1u : 0u);
    if (c.notice) {
      const MessageRecord& m = notices[0];
      EXPECT_EQ(m.owner, nullptr);
      EXPECT_EQ(m.text, kNoticeText);
      EXPECT_EQ(m.type & MB_TYPEMASK, static_cast<UINT>(MB_OK));
      EXPECT_EQ(m.type & MB_ICONMASK, 0u);
      // The main window is topmost; an ownerless box must come above it.
      EXPECT_TRUE(m.type & MB_TOPMOST);
      EXPECT_TRUE(m.type & MB_TASKMODAL);
      EXPECT_EQ(openedWhileShown, 0u) << "the page opens once the box is closed";
      EXPECT_GT(presetsWhileShown, 0) << "the check comes after the size presets";
    }
    EXPECT_EQ(seam->openedUrls, c.opened);
    EXPECT_EQ(std::count(seam->fetchedUrls.begin(), seam->fetchedUrls.end(), NoticeFileUrl()), 1);
    seam->onMessage = nullptr;
    DestroyWindow(main);
    PumpMessages();
    InitGlobals();
  }
}

}  // namespace
