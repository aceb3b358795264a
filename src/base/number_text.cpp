// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/number_text.h"

#include <locale.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace skyvane {
namespace {

// The C locale for strtod: the program's own locale may use a comma.
locale_t CLocale() {
  static locale_t c_locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return c_locale;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Reads [sign] digits [. digits] [E|D [sign] digits] from `s` starting at `i`
// into `out` as a C-style number text. Returns false when no mantissa digit
// was found. `i` is left after the last character taken.
bool TakeNumber(const std::string& s, size_t& i, std::string& out, std::string_view decimal,
                bool accept_period) {
  out.clear();
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) out.push_back(s[i++]);
  bool any_digit = false;
  while (i < s.size() && IsDigit(s[i])) {
    out.push_back(s[i++]);
    any_digit = true;
  }
  auto at_separator = [&](size_t pos) -> size_t {
    if (accept_period && pos < s.size() && s[pos] == '.') return 1;
    if (!decimal.empty() && s.compare(pos, decimal.size(), decimal) == 0) return decimal.size();
    return 0;
  };
  if (size_t len = at_separator(i)) {
    i += len;
    out.push_back('.');
    while (i < s.size() && IsDigit(s[i])) {
      out.push_back(s[i++]);
      any_digit = true;
    }
  }
  if (!any_digit) return false;
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
    size_t j = i + 1;
    std::string exponent = "E";
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent.push_back(s[j++]);
    if (j < s.size() && IsDigit(s[j])) {
      while (j < s.size() && IsDigit(s[j])) exponent.push_back(s[j++]);
      out += exponent;
      i = j;
    }
  }
  return true;
}

double ToDouble(const std::string& number) {
  return strtod_l(number.c_str(), nullptr, CLocale());
}

std::string FormatG(double value, int digits) {
  if (value == 0) return "0";  // also folds -0 into "0"
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*G", digits, value);
  return buffer;
}

}  // namespace

double ParseLeadingNumber(std::string_view text) {
  std::string packed;
  packed.reserve(text.size());
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '\n') packed.push_back(c);
  }
  size_t i = 0;
  std::string number;
  if (!TakeNumber(packed, i, number, {}, true)) return 0.0;
  return ToDouble(number);
}

bool ParseStrictNumber(std::string_view text, std::string_view decimal_separator, double& out) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
  while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
  std::string body(text.substr(begin, end - begin));
  size_t i = 0;
  std::string number;
  if (!TakeNumber(body, i, number, decimal_separator, true) || i != body.size()) return false;
  out = ToDouble(number);
  return true;
}

std::string FormatShortest(double value) {
  return FormatG(value, 15);
}

std::string FormatSingle(float value) {
  return FormatG(static_cast<double>(value), 7);
}

std::string FormatWithSignPosition(double value) {
  std::string digits = FormatG(std::fabs(value), 15);
  if (digits.size() > 1 && digits[0] == '0' && digits[1] == '.') digits.erase(0, 1);
  return (value < 0 ? "-" : " ") + digits;
}

std::string FormatTwoDigits(int value) {
  std::string text = std::to_string(value);
  return value < 10 ? "0" + text : text;
}

}  // namespace skyvane
