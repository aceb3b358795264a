// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the tables people have: delimited text with a header row, as
// spreadsheets and astronomical data services export them.
#pragma once

#include <istream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "catalogue/source_table.h"

namespace skyvane {

// The equinox of a table's positions.
enum class Equinox { kJ2000, kB1950 };

// What a reading kept and skipped, for the user.
struct LoadReport {
  std::string format;  // "catalogue format", "comma-separated table"...
  int lines = 0;       // data lines read
  int kept = 0;
  int over_1000 = 0;                                  // flux above 1000
  int repeated = 0;                                   // the number of the line before
  int unreadable = 0;                                 // position not readable (or a line too long)
  int left_out = 0;                                   // the table was full
  std::vector<std::pair<int, std::string>> examples;  // first skipped lines, numbered
  std::string equinox;                                // "J2000", "B1950"

  void Skip(int& count, int line_number, std::string_view line);
  std::string Summary() const;
};

// An angle written in sexagesimal ("12 30 49.4", "12:30:49.4",
// "12h30m49.4s", "+12 23 28", "-05d30m") or as a decimal number, in
// degrees; a value with h, m, s, or `hours`, is hours. NaN when unreadable.
double ParseSexagesimal(std::string_view text, bool hours);

// Whether `head`, the start of a file, is a delimited table whose header
// (after any '#' comment lines) names right-ascension and declination
// columns.
bool LooksLikeTable(std::string_view head);

// Reads a delimited table into `table` (which must be empty) and appends
// the Sun's row. Columns are found by their names; the equinox comes from
// them, else `assumed` holds. When more than kMaxCatalogueRows rows are
// usable, the brightest are kept, in file order.
void ReadTable(std::istream& in, Equinox assumed, SourceTable& table, LoadReport& report);

// Whether the header names the equinox of its positions.
bool NamesEquinox(std::string_view head);

}  // namespace skyvane
