// INI reading and writing over a file's bytes, with no system code page involved.
//
// Lines end at LF; a CR before the LF belongs to the line ending. A line whose first non-blank
// character is "[" opens a section named by what lies before its last "]" (blanks trimmed);
// a line starting with ";" is a comment; any other non-blank line is a key line, its name
// before the first "=" (blanks trimmed), its value everything after that "=" up to the line
// ending, blanks included. Section and key names match with ASCII letters folded to one case;
// double-byte characters (a byte of 0x80 or more and the one after it) match byte for byte and
// are never taken apart, so a trail byte equal to "=", "[", "]" or "\" is no delimiter. The
// first matching section and the first matching key in it win. Keys before any section belong
// to none.
#pragma once
#include <cstddef>
#include <string>

#include "common/text.h"

// A value reads back at most this many bytes, cut at a character boundary (one byte less when
// the last character would be split).
constexpr std::size_t kIniValueLimit = 10239;

// Value of key in section; empty text when the section or key is missing. found (if given)
// tells a missing key from an empty value.
Text IniRead(const std::string& fileBytes, const Text& section, const Text& key,
             bool* found = nullptr);

// The file's bytes after setting key in section to value. Every other byte stays as it was:
// an existing key line keeps its own spelling of the name up to "=" and its line ending, and only
// its value changes. A missing key goes on a new CRLF line after the last key line of the
// section (before blank lines and comments that lead into the next section), a missing section
// is added at the end of the file. A value stops at its first line break (CR or LF), since the
// rest could not be read back as part of it. A key or section name that cannot be stored
// (empty after trimming, or holding a line break, a key with "=" or starting with "[" or ";", a
// section with "]") leaves the bytes unchanged.
std::string IniWrite(const std::string& fileBytes, const Text& section, const Text& key,
                     const Text& value);
