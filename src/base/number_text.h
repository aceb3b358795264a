// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing the numbers that live in text fields.
//
// Every field of the settings band and every number of the catalogue is read
// with the same forgiving parse: the number at the start of the text, with
// blanks, tabs and line feeds anywhere skipped, and 0 when there is none. The
// period is always the decimal point, whatever the user's locale.
#pragma once

#include <string>
#include <string_view>

namespace skyvane {

// The leading number of a text. Never throws; a huge exponent gives a huge or
// infinite value, which the callers' range checks then reject.
double ParseLeadingNumber(std::string_view text);

// Strict conversion: the whole text (blanks around it allowed) must read as a
// number. `decimal_separator` is the user's regional separator; the period is
// accepted as well. Returns false when the text is not a number.
bool ParseStrictNumber(std::string_view text, std::string_view decimal_separator, double& out);

// Shortest decimal form with up to 15 significant digits ("2.5", "1E+20").
std::string FormatShortest(double value);

// Shortest decimal form of a single-precision value, up to 7 significant digits.
std::string FormatSingle(float value);

// The classic number-to-text form with a sign position: a leading blank for a
// value of 0 or more and no zero before the point of a value below 1
// (" 0", " .25", "-1.5", "-.5").
std::string FormatWithSignPosition(double value);

// Whole number in plain decimal, "0" put in front below 10 ("07", "59").
std::string FormatTwoDigits(int value);

}  // namespace skyvane
