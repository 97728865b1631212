#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "online/notice.h"

namespace {

using namespace std::string_literals;

TEST(Notice, TextStopsAtFirstZeroByte) {
  EXPECT_EQ(NoticeText("v3.1#a\0b#"s), "v3.1#a");
  EXPECT_EQ(NoticeText("\0v3.1#"s), "");
  EXPECT_EQ(NoticeText("v3.1#a#"), "v3.1#a#");
  EXPECT_EQ(NoticeText(""), "");
}

TEST(Notice, UpdateDecision) {
  struct {
    const char* name;
    std::string body;
    bool show, open;
    Text url;
  } cases[] = {
      {"same tag", "v3.2#www.example.com/dl#@t#l#p", false, false, ""},
      {"same tag, nothing else", "v3.2", false, false, ""},
      {"tag compared case-sensitively", "V3.2#dl#", true, true, "https://dl"},
      {"tag not trimmed", " v3.2#dl#", true, true, "https://dl"},
      {"later tag", "v3.3#www.example.com/dl#@t#l#p", true, true, "https://www.example.com/dl"},
      {"earlier tag", "v3.1#www.example.com/dl#", true, true, "https://www.example.com/dl"},
      {"empty tag", "#a#", true, true, "https://a"},
      {"empty body", "", false, false, ""},
      {"zero byte cuts the page", "v3.1#a\0b#"s, true, true, "https://a"},
      {"zero byte first", "\0v3.1#"s, false, false, ""},
      {"header without closing #", "v9#dl@tool#l#p", true, true, "https://dl@tool"},
      {"no # at all", "v9", true, false, ""},
      {"empty download page is not opened", "v9##@t#l#p", true, false, "https://"},
      {"page with a blank is not opened", "v9#a b#", true, false, "https://a b"},
      {"Chinese tag", "新版#dl#", true, true, "https://dl"},
  };
  for (const auto& c : cases) {
    const UpdateDecision d = DecideUpdate(c.body);
    EXPECT_EQ(d.showNotice, c.show) << c.name;
    EXPECT_EQ(d.openPage, c.open) << c.name;
    EXPECT_EQ(d.url, c.url) << c.name;
  }
  EXPECT_FALSE(DecideUpdate("v4.0#dl#", "v4.0").showNotice);
}

TEST(Notice, WebAddress) {
  struct {
    Text address;
    bool want;
  } cases[] = {
      {"https://www.example.com/dl", true},
      {"http://www.example.com", true},
      {"HTTPS://Example.com", true},
      {"hTTp://a", true},
      {"https://a@b/c?d=1#x", true},
      {"https://例子.com/下载", true},
      {"https://\x95\\x", true},  // trail byte 0x5C belongs to a double-byte character
      {"https://", false},
      {"http://", false},
      {"https:///path", false},
      {"ftp://a", false},
      {"file:///C:/a.exe", false},
      {"C:\\a.exe", false},
      {"www.example.com", false},
      {"https:/a", false},
      {" https://a", false},
      {"https://a b", false},
      {"https://a\tb", false},
      {"https://a\r\n", false},
      {"https://a\x7f", false},
      {"https://a\"b", false},
      {"https://a\" --x", false},
      {"https://a<b>", false},
      {"https://a\\b", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsWebAddress(c.address), c.want) << c.address;
}

bool SameTools(const std::vector<ToolEntry>& got, const std::vector<ToolEntry>& want) {
  if (got.size() != want.size()) return false;
  for (std::size_t i = 0; i < got.size(); ++i)
    if (got[i].name != want[i].name || got[i].link != want[i].link ||
        got[i].pictureUrl != want[i].pictureUrl)
      return false;
  return true;
}

TEST(Notice, Tools) {
  struct {
    const char* name;
    std::string body;
    bool connected;
    std::vector<ToolEntry> want;
  } cases[] = {
      {"two entries", "v3.2#dl#@批量打印#http://a/p#http://a/p.png@图框#http://a/f#http://a/f.png",
       true,
       {{"批量打印", "http://a/p", "http://a/p.png"}, {"图框", "http://a/f", "http://a/f.png"}}},
      {"trailing # and @", "v3.2#dl#@t1#l1#p1#@t2#l2#p2#@", true,
       {{"t1", "l1", "p1"}, {"t2", "l2", "p2"}}},
      {"fourth field ignored", "h@t#l#p#extra#more", true, {{"t", "l", "p"}}},
      {"empty name kept", "h@#l#p", true, {{"", "l", "p"}}},
      {"missing fields left empty", "h@t#l@u@v##p", true,
       {{"t", "l", ""}, {"u", "", ""}, {"v", "", "p"}}},
      {"empty members give no row", "h@@t#l#p@@##@", true, {{"t", "l", "p"}}},
      {"no @", "v3.2#dl#", true, {}},
      {"empty body", "", false, {}},
      {"zero byte first", "\0@t#l#p"s, false, {}},
      {"zero byte cuts the list", "h@t#l#p@u#m\0#q@w#x#y"s, true, {{"t", "l", "p"}, {"u", "m", ""}}},
      {"only @", "@", true, {}},
  };
  for (const auto& c : cases) {
    bool connected = !c.connected;
    const auto tools = ParseTools(c.body, &connected);
    EXPECT_EQ(connected, c.connected) << c.name;
    EXPECT_TRUE(SameTools(tools, c.want)) << c.name << ": " << tools.size() << " tools";
  }
  EXPECT_EQ(ParseTools("h@t#l#p", nullptr).size(), 1u);
}

}  // namespace
