#include "common/text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {
// Byte length of the character starting at i: 2 for a lead byte with its trail, else 1.
std::size_t CharLen(const Text& s, std::size_t i) {
  return (IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
}
bool MatchesAt(const Text& s, std::size_t i, const Text& needle) {
  return s.compare(i, needle.size(), needle) == 0;
}
}  // namespace

TextArray split(const Text& text, const Text& delim) {
  TextArray out;
  if (text.empty()) return out;
  if (delim.empty()) {
    out.push_back(text);
    return out;
  }
  std::size_t start = 0, i = 0;
  while (i < text.size()) {
    if (MatchesAt(text, i, delim)) {
      out.push_back(text.substr(start, i - start));
      i += delim.size();
      start = i;
    } else {
      i += CharLen(text, i);
    }
  }
  if (start < text.size()) out.push_back(text.substr(start));
  return out;
}

std::size_t FindText(const Text& text, const Text& needle, std::size_t from) {
  if (needle.empty()) return from <= text.size() ? from : Text::npos;
  // Walk from the start so that `from` inside a character never misaligns the scan.
  for (std::size_t i = 0; i < text.size(); i += CharLen(text, i)) {
    if (i >= from && MatchesAt(text, i, needle)) return i;
  }
  return Text::npos;
}

std::size_t FindLastChar(const Text& text, char c) {
  std::size_t found = Text::npos;
  for (std::size_t i = 0; i < text.size(); i += CharLen(text, i)) {
    if (text[i] == c) found = i;
  }
  return found;
}

Text FoldFullWidth(const Text& text) {
  Text out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    std::size_t n = CharLen(text, i);
    if (n == 2) {
      auto lead = static_cast<unsigned char>(text[i]);
      auto trail = static_cast<unsigned char>(text[i + 1]);
      if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
        out.push_back(static_cast<char>(trail - 0x80));
      } else if (lead == 0xA1 && trail == 0xA1) {
        out.push_back(' ');
      } else if (lead == 0xA1 && trail == 0xAB) {
        out.push_back('~');
      } else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) {
        out.push_back('*');
      } else {
        out.append(text, i, 2);
      }
    } else {
      out.push_back(text[i]);
    }
    i += n;
  }
  return out;
}

double TextToNumber(const Text& text) {
  const Text s = FoldFullWidth(text);
  std::size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  auto isDigit = [&](std::size_t k) { return k < s.size() && s[k] >= '0' && s[k] <= '9'; };
  Text num;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) num.push_back(s[i++]);
  bool digits = false;
  while (isDigit(i)) { num.push_back(s[i++]); digits = true; }
  if (i < s.size() && s[i] == '.') {
    num.push_back(s[i++]);
    while (isDigit(i)) { num.push_back(s[i++]); digits = true; }
  }
  if (!digits) return 0.0;
  // An exponent counts only when at least one digit follows its optional sign.
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t k = i + 1;
    if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
    if (isDigit(k)) {
      num.append(s, i, k - i);
      while (isDigit(k)) num.push_back(s[k++]);
    }
  }
  double v = std::strtod(num.c_str(), nullptr);
  return v;
}

bool FitsWhole(double value) {
  if (std::isnan(value)) return false;
  double t = std::trunc(value);
  return t >= static_cast<double>(std::numeric_limits<std::int32_t>::min()) &&
         t <= static_cast<double>(std::numeric_limits<std::int32_t>::max());
}

std::int32_t ToWhole(double value) {
  if (std::isnan(value)) return 0;
  double t = std::trunc(value);
  if (t <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
    return std::numeric_limits<std::int32_t>::min();
  if (t >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
    return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(t);
}

std::int32_t TextToWhole(const Text& text) { return ToWhole(TextToNumber(text)); }

Text IntToText(long long value) { return std::to_string(value); }

Text numberToText(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value < 0 ? "-Infinity" : "Infinity";
  if (value == 0) return "0";
  // Thirteen significant digits, rounded once; the exponent is the one after rounding.
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.12e", std::fabs(value));
  Text digits;
  const char* p = buf;
  for (; *p && *p != 'e'; ++p)
    if (*p != '.') digits.push_back(*p);
  int exp = std::atoi(p + 1);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  Text out = value < 0 ? "-" : "";
  if (exp < -4 || exp >= 13) {
    out += digits.substr(0, 1);
    if (digits.size() > 1) out += "." + digits.substr(1);
    char e[16];
    std::snprintf(e, sizeof e, "e%c%03d", exp < 0 ? '-' : '+', exp < 0 ? -exp : exp);
    return out + e;
  }
  if (exp >= 0) {
    std::size_t intLen = static_cast<std::size_t>(exp) + 1;
    if (digits.size() <= intLen) return out + digits + Text(intLen - digits.size(), '0');
    return out + digits.substr(0, intLen) + "." + digits.substr(intLen);
  }
  return out + "0." + Text(static_cast<std::size_t>(-exp - 1), '0') + digits;
}

double roundTo(double x, int n) {
  if (x == 0) return x;
  const double a = std::fabs(x);
  double y, scale;
  if (n >= 0) {
    scale = std::pow(10.0, n);
    y = a * scale;
  } else {
    scale = std::pow(10.0, -n);
    y = a / scale;
  }
  y += 1e-12;
  double w = std::floor(y);
  double f = y - w;
  if (f >= 0.5) w += 1;
  double r = n >= 0 ? w / scale : w * scale;
  return x < 0 ? -r : r;
}

Text FormatFileTime(const DateTime& t) {
  return IntToText(t.year) + "/" + IntToText(t.month) + "/" + IntToText(t.day) + " " +
         IntToText(t.hour) + ":" + IntToText(t.minute);
}

Text FormatSaveTime(const DateTime& t) {
  Text s = IntToText(t.year) + "年" + IntToText(t.month) + "月" + IntToText(t.day) + "日";
  if (t.second != 0)
    s += IntToText(t.hour) + "时" + IntToText(t.minute) + "分" + IntToText(t.second) + "秒";
  else if (t.minute != 0)
    s += IntToText(t.hour) + "时" + IntToText(t.minute) + "分";
  else if (t.hour != 0)
    s += IntToText(t.hour) + "时";
  return s;
}
