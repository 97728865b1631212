#include "settings/ini.h"

#include <vector>

namespace {

// Byte length of the character at i within [.., end): 2 for a lead byte with its trail, else 1.
std::size_t CharLen(const std::string& s, std::size_t i, std::size_t end) {
  return (IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < end) ? 2 : 1;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Position of the first (or last) single byte c at a character boundary in [from, to); npos if
// none.
std::size_t FindChar(const std::string& s, char c, std::size_t from, std::size_t to, bool last) {
  std::size_t found = std::string::npos;
  for (std::size_t i = from; i < to; i += CharLen(s, i, to)) {
    if (s[i] == c) {
      found = i;
      if (!last) break;
    }
  }
  return found;
}

// [from, to) without leading and trailing blanks, as a copy.
Text Trimmed(const std::string& s, std::size_t from, std::size_t to) {
  while (from < to && IsBlank(s[from])) ++from;
  // Walk forward so that a trail byte is never mistaken for a blank.
  std::size_t keepEnd = from;
  for (std::size_t i = from; i < to; i += CharLen(s, i, to)) {
    if (!IsBlank(s[i])) keepEnd = i + CharLen(s, i, to);
  }
  return s.substr(from, keepEnd - from);
}

// Name with ASCII letters folded to lower case; double-byte characters stay as they are.
Text FoldName(const Text& name) {
  Text out = name;
  for (std::size_t i = 0; i < out.size();) {
    std::size_t n = CharLen(out, i, out.size());
    if (n == 1 && out[i] >= 'A' && out[i] <= 'Z') out[i] = static_cast<char>(out[i] - 'A' + 'a');
    i += n;
  }
  return out;
}

enum class Kind { Blank, Comment, Section, Key };

struct Line {
  std::size_t begin = 0;       // first byte
  std::size_t contentEnd = 0;  // before the CR LF / LF (or a CR closing the file)
  std::size_t end = 0;         // after the LF; equals contentEnd when the file ends unbroken
  Kind kind = Kind::Blank;
  Text foldedName;                       // section or key name, folded
  std::size_t equals = std::string::npos;  // key lines: position of the "=", npos when none
};

std::vector<Line> ParseLines(const std::string& bytes) {
  std::vector<Line> lines;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    Line ln;
    ln.begin = pos;
    // LF and CR are never trail bytes, so the line structure is found byte by byte.
    std::size_t lf = bytes.find('\n', pos);
    ln.end = lf == std::string::npos ? bytes.size() : lf + 1;
    ln.contentEnd = lf == std::string::npos ? bytes.size() : lf;
    if (ln.contentEnd > ln.begin && bytes[ln.contentEnd - 1] == '\r') --ln.contentEnd;
    pos = ln.end;

    std::size_t s = ln.begin;
    while (s < ln.contentEnd && IsBlank(bytes[s])) ++s;
    if (s == ln.contentEnd) {
      ln.kind = Kind::Blank;
    } else if (bytes[s] == ';') {
      ln.kind = Kind::Comment;
    } else {
      std::size_t close = bytes[s] == '[' ? FindChar(bytes, ']', s + 1, ln.contentEnd, true)
                                          : std::string::npos;
      if (close != std::string::npos) {
        ln.kind = Kind::Section;
        ln.foldedName = FoldName(Trimmed(bytes, s + 1, close));
      } else {
        // A "[" line without "]" is read as a key line, as the system's profile code does.
        ln.kind = Kind::Key;
        ln.equals = FindChar(bytes, '=', s, ln.contentEnd, false);
        std::size_t nameEnd = ln.equals == std::string::npos ? ln.contentEnd : ln.equals;
        ln.foldedName = FoldName(Trimmed(bytes, s, nameEnd));
      }
    }
    lines.push_back(std::move(ln));
  }
  return lines;
}

// Where a section sits among the lines: its header, the first line of the key (if present)
// and its last key line (the header when it has none).
struct Place {
  bool sectionFound = false;
  std::size_t header = 0;
  bool keyFound = false;
  std::size_t key = 0;
  std::size_t lastKeyLine = 0;
};

Place Locate(const std::vector<Line>& lines, const Text& section, const Text& key) {
  Place p;
  const Text wantSection = FoldName(section), wantKey = FoldName(key);
  std::size_t i = 0;
  for (; i < lines.size(); ++i) {
    if (lines[i].kind == Kind::Section && lines[i].foldedName == wantSection) break;
  }
  if (i == lines.size()) return p;
  p.sectionFound = true;
  p.header = p.lastKeyLine = i;
  for (++i; i < lines.size() && lines[i].kind != Kind::Section; ++i) {
    if (lines[i].kind != Kind::Key) continue;
    p.lastKeyLine = i;
    if (!p.keyFound && lines[i].foldedName == wantKey) {
      p.keyFound = true;
      p.key = i;
    }
  }
  return p;
}

bool HasLineBreak(const Text& t) { return t.find_first_of("\r\n") != Text::npos; }

// Ends out with a line break before more lines go after it: CR LF, or the LF a lone CR lacks.
void EndLine(std::string& out) {
  if (out.empty() || out.back() == '\n') return;
  out += out.back() == '\r' ? "\n" : "\r\n";
}

}  // namespace

Text IniRead(const std::string& fileBytes, const Text& section, const Text& key, bool* found) {
  if (found) *found = false;
  const std::vector<Line> lines = ParseLines(fileBytes);
  const Place p = Locate(lines, Trimmed(section, 0, section.size()), Trimmed(key, 0, key.size()));
  if (!p.keyFound) return Text();
  if (found) *found = true;
  const Line& ln = lines[p.key];
  if (ln.equals == std::string::npos) return Text();
  const std::size_t from = ln.equals + 1;
  // Stop before the character that would cross the limit, so no lead byte is left alone.
  std::size_t to = from;
  while (to < ln.contentEnd) {
    std::size_t n = CharLen(fileBytes, to, ln.contentEnd);
    if (to + n - from > kIniValueLimit) break;
    to += n;
  }
  return fileBytes.substr(from, to - from);
}

std::string IniWrite(const std::string& fileBytes, const Text& section, const Text& key,
                     const Text& value) {
  const Text sec = Trimmed(section, 0, section.size());
  const Text name = Trimmed(key, 0, key.size());
  if (sec.empty() || HasLineBreak(sec) || FindChar(sec, ']', 0, sec.size(), false) != Text::npos)
    return fileBytes;
  if (name.empty() || HasLineBreak(name) || name[0] == '[' || name[0] == ';' ||
      FindChar(name, '=', 0, name.size(), false) != Text::npos)
    return fileBytes;
  const Text val = value.substr(0, value.find_first_of("\r\n"));

  const std::vector<Line> lines = ParseLines(fileBytes);
  const Place p = Locate(lines, sec, name);
  std::string out;
  if (!p.sectionFound) {
    out = fileBytes;
    EndLine(out);
    out += "[" + sec + "]\r\n" + name + "=" + val + "\r\n";
    return out;
  }
  if (p.keyFound) {
    const Line& ln = lines[p.key];
    if (ln.equals != std::string::npos) {
      out.assign(fileBytes, 0, ln.equals + 1);
    } else {
      out.assign(fileBytes, 0, ln.contentEnd);
      out += "=";
    }
    out += val;
    out.append(fileBytes, ln.contentEnd, std::string::npos);
    return out;
  }
  const Line& after = lines[p.lastKeyLine];
  out.assign(fileBytes, 0, after.end);
  EndLine(out);  // the file may end on this line without a line break
  out += name + "=" + val + "\r\n";
  out.append(fileBytes, after.end, std::string::npos);
  return out;
}
