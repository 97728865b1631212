#include "online/notice.h"

Text NoticeText(const std::string& body) { return body.substr(0, body.find('\0')); }

UpdateDecision DecideUpdate(const std::string& body, const Text& ownTag) {
  UpdateDecision d;
  const TextArray header = split(NoticeText(body), "#");
  if (header.empty() || header[0] == ownTag) return d;
  d.showNotice = true;
  if (header.size() > 1) {
    d.url = "https://" + header[1];
    d.openPage = IsWebAddress(d.url);
  }
  return d;
}

namespace {

bool StartsWithNoCase(const Text& text, const char* prefix) {
  std::size_t i = 0;
  for (; prefix[i] != '\0'; ++i) {
    if (i >= text.size()) return false;
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

}  // namespace

bool IsWebAddress(const Text& address) {
  std::size_t start;
  if (StartsWithNoCase(address, "https://"))
    start = 8;
  else if (StartsWithNoCase(address, "http://"))
    start = 7;
  else
    return false;
  if (start >= address.size() || address[start] == '/') return false;
  for (std::size_t i = start; i < address.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(address[i]);
    if (IsLeadByte(c)) {
      ++i;  // a double-byte character; its trail byte may look like ASCII
      continue;
    }
    if (c <= 0x20 || c == 0x7F || c == '"' || c == '<' || c == '>' || c == '\\') return false;
  }
  return true;
}

std::vector<ToolEntry> ParseTools(const std::string& body, bool* connected) {
  std::vector<ToolEntry> tools;
  const TextArray members = split(NoticeText(body), "@");
  if (connected) *connected = !members.empty();
  for (std::size_t m = 1; m < members.size(); ++m) {
    const TextArray f = split(members[m], "#");
    ToolEntry t;
    if (f.size() > 0) t.name = f[0];
    if (f.size() > 1) t.link = f[1];
    if (f.size() > 2) t.pictureUrl = f[2];
    if (t.name.empty() && t.link.empty() && t.pictureUrl.empty()) continue;
    tools.push_back(t);
  }
  return tools;
}
