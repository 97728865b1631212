// The remote notice file: "tag#downloadpage#@name#link#pictureurl@name#link#pictureurl...",
// GBK text read up to the first zero byte. The header (before the first "@") carries the
// newest version's tag and its download page (without scheme); each "@" starts a tool entry.
// Portable: no windows.h.
#pragma once
#include <string>
#include <vector>

#include "common/text.h"

// The file's bytes up to the first zero byte (all of them when there is none).
Text NoticeText(const std::string& body);

struct UpdateDecision {
  bool showNotice = false;  // tell the user a different version is out
  bool openPage = false;    // open url in the browser
  Text url;                 // "https://" + download page, when the header names one
};

// Text split at "#": no members -> nothing; member 0 equal to ownTag byte for byte -> nothing;
// otherwise show the notice, and with a member 1 open "https://" + member 1 when that makes a
// web address (IsWebAddress). A header lacking the "#" before the first "@" makes member 1 run
// on into the first tool entry; the URL then carries both, as the file says.
UpdateDecision DecideUpdate(const std::string& body, const Text& ownTag = "v3.2");

// True for "http://" or "https://" (ASCII case-insensitive) followed by a host: the rest is not
// empty, does not start with "/", and has no control characters, blanks or the characters
// " < > \ (which could break out of the quoted command line a browser is started with).
bool IsWebAddress(const Text& address);

struct ToolEntry {
  Text name, link, pictureUrl;
};

// Text split at "@": no members -> not connected and no tools. Otherwise connected; member 0
// (the header) is dropped and each further member, split at "#", gives name, link and picture
// URL (further fields ignored). Missing fields are left empty so the rows follow the file; a
// member with no text in any of the three fields (as from "@@") gives no row.
// connected may be null.
std::vector<ToolEntry> ParseTools(const std::string& body, bool* connected);
