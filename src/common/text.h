// GBK text helpers shared by the whole program. A Text is a GBK byte string: lengths and
// positions count bytes, and a byte of 0x80 or more starts a double-byte character that no
// search or cut ever splits. Portable: no windows.h.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using Text = std::string;
using TextArray = std::vector<Text>;

// Lead bytes (0x80..0xFF) take the next byte with them; a lone lead byte at the end stands alone.
inline bool IsLeadByte(unsigned char c) { return c >= 0x80; }

// Splits at every occurrence of delim, stepping over double-byte characters whole. Empty pieces
// between delimiters (and before a leading one) are kept; the rest after the last delimiter is a
// member only when not empty. An empty text (or an empty delimiter on an empty text) gives no
// members; an empty delimiter gives the whole text as one member.
TextArray split(const Text& text, const Text& delim);

// Position of the first occurrence of needle at or after from, matching only at character
// boundaries; Text::npos when none.
std::size_t FindText(const Text& text, const Text& needle, std::size_t from = 0);

// Position of the last occurrence of the single byte c at a character boundary; npos when none.
// Used for the last "\" of a path, whose trail bytes may equal 0x5C.
std::size_t FindLastChar(const Text& text, char c);

// Folds GBK full-width ASCII forms (A3A1..A3FE) to ASCII, A1A1 to a blank, A1AB to "~",
// A1EE and A1EF to "*". Other characters stay.
Text FoldFullWidth(const Text& text);

// The text-to-number rule: fold, skip leading blanks, then read the longest decimal
// floating-point prefix (sign, digits, optional point, optional exponent). No number gives 0.
double TextToNumber(const Text& text);

// Truncation toward zero to a signed 32-bit whole number. Values outside the range (and NaN)
// saturate; FitsWhole tells the caller whether that happened.
std::int32_t ToWhole(double value);
bool FitsWhole(double value);

// TextToNumber followed by ToWhole.
std::int32_t TextToWhole(const Text& text);

// At most 13 significant digits, trailing fraction zeros dropped, exponent form (sign and at
// least three digits) for decimal exponents below -4 or of 13 and more.
Text numberToText(double value);
// Whole numbers in plain decimal.
Text IntToText(long long value);

// Rounds half away from zero to n decimals, with the 1e-12 nudge that makes 2.675 give 2.68.
double roundTo(double x, int n);

// Calendar time, as the platform's clock or a file's time gives it (local time).
struct DateTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// "2024/3/5 9:7": numbers without leading zeros, seconds dropped.
Text FormatFileTime(const DateTime& t);
// "2025年3月7日14时5分9秒", cut after the last non-zero unit of hour/minute/second.
Text FormatSaveTime(const DateTime& t);
