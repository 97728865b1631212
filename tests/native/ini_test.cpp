#include <gtest/gtest.h>

#include <string>

#include "settings/ini.h"

namespace {

struct ReadCase {
  const char* name;
  std::string file;
  Text section, key;
  Text want;
  bool found;
};

TEST(IniRead, Rules) {
  const ReadCase cases[] = {
      {"CRLF file", "[s]\r\na=1\r\nb=2\r\n", "s", "b", "2", true},
      {"LF file", "[s]\na=1\nb=2\n", "s", "b", "2", true},
      {"last line without line break", "[s]\r\nb=2", "s", "b", "2", true},
      {"lone CR closing the file", "[s]\r\nb=2\r", "s", "b", "2", true},
      {"key letter case", "[s]\r\nFoo=1\r\n", "s", "fOO", "1", true},
      {"section letter case", "[Main]\r\nk=1\r\n", "MAIN", "k", "1", true},
      {"GBK section", "[配置]\r\n次数=5\r\n", "配置", "次数", "5", true},
      // 0x81 0x41 and 0x81 0x61 are two different characters: the trail byte is no letter.
      {"trail byte never case-folded", "[s]\r\n\x81\x41=1\r\n", "s", "\x81\x61", "", false},
      {"trail byte equal to the same letter matches", "[s]\r\n\x81\x41=1\r\n", "s", "\x81\x41",
       "1", true},
      {"blanks around names", "  [ s ]  \r\n \t k \t= v\r\n", "s", "k", " v", true},
      {"blanks around the asked names", "[s]\r\nk=v\r\n", " s ", "\tk ", "v", true},
      {"value blanks kept", "[s]\r\nk=  v  \r\n", "s", "k", "  v  ", true},
      {"value holding =", "[s]\r\nk=a=b=\r\n", "s", "k", "a=b=", true},
      {"trail byte = in key name", "[s]\r\n\x81=x=1\r\n", "s", "\x81=x", "1", true},
      {"trail byte ] in section name", "[\x81]]\r\nk=1\r\n", "\x81]", "k", "1", true},
      {"text after ] ignored", "[s] ;note\r\nk=1\r\n", "s", "k", "1", true},
      {"empty value", "[s]\r\nk=\r\n", "s", "k", "", true},
      {"key line without =", "[s]\r\nk\r\n", "s", "k", "", true},
      {"missing key", "[s]\r\nk=1\r\n", "s", "x", "", false},
      {"missing section", "[s]\r\nk=1\r\n", "t", "k", "", false},
      {"empty file", "", "s", "k", "", false},
      {"key of another section", "[t]\r\nk=1\r\n[s]\r\nj=2\r\n", "s", "k", "", false},
      {"key before any section", "k=1\r\n[s]\r\n", "s", "k", "", false},
      {"comment line is no key", "[s]\r\n;k=1\r\n", "s", ";k", "", false},
      {"first matching key wins", "[s]\r\nk=1\r\nK=2\r\n", "s", "k", "1", true},
      {"first matching section wins", "[s]\r\na=1\r\n[s]\r\nk=2\r\n", "s", "k", "", false},
      {"CR inside a line stays in the value", "[s]\r\nk=a\rb\r\n", "s", "k", "a\rb", true},
  };
  for (const auto& c : cases) {
    bool found = !c.found;
    EXPECT_EQ(IniRead(c.file, c.section, c.key, &found), c.want) << c.name;
    EXPECT_EQ(found, c.found) << c.name;
  }
}

TEST(IniRead, ValueLimitKeepsWholeCharacters) {
  struct {
    const char* name;
    Text value;
    std::size_t wantBytes;
  } cases[] = {
      {"longer value cut", Text(10240, 'a'), 10239},
      {"value at the limit", Text(10239, 'a'), 10239},
      {"double-byte character ending at the limit", Text(10237, 'a') + "配", 10239},
      // The character would cross the limit: left out whole rather than split.
      {"double-byte character crossing the limit", Text(10238, 'a') + "配", 10238},
  };
  for (const auto& c : cases) {
    const std::string file = "[s]\r\nk=" + c.value + "\r\nnext=1\r\n";
    const Text got = IniRead(file, "s", "k");
    EXPECT_EQ(got.size(), c.wantBytes) << c.name;
    EXPECT_EQ(got, c.value.substr(0, c.wantBytes)) << c.name;
  }
}

struct WriteCase {
  const char* name;
  std::string file;
  Text section, key, value;
  std::string want;
};

TEST(IniWrite, Rules) {
  const WriteCase cases[] = {
      {"empty file", "", "s", "k", "v", "[s]\r\nk=v\r\n"},
      {"section appended at the end", "[t]\r\na=1\r\n", "s", "k", "v",
       "[t]\r\na=1\r\n[s]\r\nk=v\r\n"},
      {"line break added before a new section", "[t]\r\na=1", "s", "k", "v",
       "[t]\r\na=1\r\n[s]\r\nk=v\r\n"},
      {"LF completes a lone CR", "[t]\r\na=1\r", "s", "k", "v", "[t]\r\na=1\r\n[s]\r\nk=v\r\n"},
      {"replaced in place, order and other values kept", "[s]\r\na=1\r\nk=old\r\nb=2\r\n", "s",
       "k", "new", "[s]\r\na=1\r\nk=new\r\nb=2\r\n"},
      {"key line keeps its spelling and blanks", "[S]\r\n  FOO \t= old value\r\n", "s", "foo",
       "x", "[S]\r\n  FOO \t=x\r\n"},
      {"LF line ending kept", "[s]\na=1\nk=old\n", "s", "k", "new", "[s]\na=1\nk=new\n"},
      {"last line without line break stays so", "[s]\r\nk=old", "s", "k", "new", "[s]\r\nk=new"},
      {"key line without = gains one", "[s]\r\nk\r\n", "s", "k", "v", "[s]\r\nk=v\r\n"},
      {"empty value", "[s]\r\nk=old\r\n", "s", "k", "", "[s]\r\nk=\r\n"},
      {"new key after the last key line, not at the end of the file",
       "[s]\r\na=1\r\n\r\n;about t\r\n[t]\r\nk=9\r\n", "s", "k", "v",
       "[s]\r\na=1\r\nk=v\r\n\r\n;about t\r\n[t]\r\nk=9\r\n"},
      {"comment between keys stays before the new key", "[s]\r\na=1\r\n;c\r\nb=2\r\n", "s", "k",
       "v", "[s]\r\na=1\r\n;c\r\nb=2\r\nk=v\r\n"},
      {"new key in a section without keys", "[s]\r\n\r\n[t]\r\n", "s", "k", "v",
       "[s]\r\nk=v\r\n\r\n[t]\r\n"},
      {"new key after a header closing the file", "[s]", "s", "k", "v", "[s]\r\nk=v\r\n"},
      {"new key after an LF file's last key", "[s]\na=1\n", "s", "k", "v", "[s]\na=1\nk=v\r\n"},
      {"other letter case of the section takes the key", "[MAIN]\r\na=1\r\n", "main", "k", "v",
       "[MAIN]\r\na=1\r\nk=v\r\n"},
      {"names written trimmed", "", " s ", " k ", "v", "[s]\r\nk=v\r\n"},
      {"value cut at its first line break", "[s]\r\nk=old\r\n", "s", "k", "one\r\n[x]\r\ny=2",
       "[s]\r\nk=one\r\n"},
      {"value cut at a lone LF", "", "s", "k", "a\nb", "[s]\r\nk=a\r\n"},
      {"key with = refused", "[s]\r\n", "s", "a=b", "v", "[s]\r\n"},
      {"key with a line break refused", "[s]\r\n", "s", "a\r\nb", "v", "[s]\r\n"},
      {"key opening a section refused", "[s]\r\n", "s", "[a]", "v", "[s]\r\n"},
      {"comment key refused", "[s]\r\n", "s", ";a", "v", "[s]\r\n"},
      {"empty key refused", "[s]\r\n", "s", "  ", "v", "[s]\r\n"},
      {"section with ] refused", "", "a]b", "k", "v", ""},
      {"empty section refused", "", "", "k", "v", ""},
      // 0x81 0x3D is one character: its "=" byte is no delimiter, so the key is storable.
      {"trail byte = in a key is allowed", "", "s", "\x81=", "v", "[s]\r\n\x81==v\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(IniWrite(c.file, c.section, c.key, c.value), c.want) << c.name;
}

// A file as the system's profile functions leave it; each write may change one line only.
TEST(IniWrite, LeavesEverythingElseUntouched) {
  const std::string file =
      "; written by hand\r\n"
      "[Other]\r\n"
      "Foo=upper\r\n"
      "foo=lower\r\n"
      "\r\n"
      "[配置]\r\n"
      "帮助=0\r\n"
      "; a comment inside\r\n"
      "路径=C:\\图纸\\\r\n"
      "\r\n"
      "[Last]\r\n"
      "帮助=other section\r\n";
  std::string got = IniWrite(file, "配置", "帮助", "1");
  std::string want = file;
  want.replace(want.find("帮助=0"), Text("帮助=0").size(), "帮助=1");
  EXPECT_EQ(got, want);

  got = IniWrite(file, "other", "FOO", "x");
  want = file;
  want.replace(want.find("Foo=upper"), Text("Foo=upper").size(), "Foo=x");
  EXPECT_EQ(got, want);
  EXPECT_EQ(IniRead(got, "Other", "foo"), "x");
  EXPECT_EQ(IniRead(got, "Last", "帮助"), "other section");
}

TEST(IniWrite, ValuesReadBackExactly) {
  const Text values[] = {
      "a=b",          "=",         "\x95[x",       "x\x95]",      "\x81=",        "\x95\\",
      "D:\\图纸\\",   " blanks ",  "",             "[s]",         ";not a comment", "\x81",
      "k=v\x95",      "\t",        "配置",
  };
  std::string file;
  int n = 0;
  for (const Text& v : values) file = IniWrite(file, "配置", "k" + IntToText(n++), v);
  file = IniWrite(file, "配置", "after", "end");
  n = 0;
  for (const Text& v : values) {
    bool found = false;
    EXPECT_EQ(IniRead(file, "配置", "k" + IntToText(n++), &found), v) << n;
    EXPECT_TRUE(found) << n;
  }
  EXPECT_EQ(IniRead(file, "配置", "after"), "end");
  // Writing them all again leaves the same bytes.
  n = 0;
  std::string again = file;
  for (const Text& v : values) again = IniWrite(again, "配置", "K" + IntToText(n++), v);
  EXPECT_EQ(again, file);
}

}  // namespace
