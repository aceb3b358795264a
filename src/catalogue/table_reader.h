// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the tables people have: delimited text with a header row, as
// spreadsheets and astronomical data services export them.
#pragma once

#include <atomic>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "catalogue/source_table.h"

namespace skyvane {

// The equinox of a table's positions.
enum class Equinox { kJ2000, kB1950 };

// Lets another thread follow a reading and stop it.
struct ReadControl {
  std::atomic<long long> bytes_read{0};
  std::atomic<bool> cancel{false};
};

// What a reading kept and skipped, for the user.
struct LoadReport {
  std::string format;  // "catalogue format", "comma-separated table"...
  int lines = 0;       // data lines read
  int kept = 0;
  int over_1000 = 0;                                  // flux above 1000 (the catalogue format)
  int repeated = 0;                                   // the number of the line before
  int unreadable = 0;                                 // position not readable (or a line too long)
  int left_out = 0;                                   // the table was full
  std::vector<std::pair<int, std::string>> examples;  // first skipped lines, numbered
  std::string equinox;                                // "J2000", "B1950"
  std::vector<std::string> notes;                     // warnings worth the user's eye
  // Why a table cannot be read at all (its header line and the names that
  // would be recognised); empty when it could.
  std::string refusal;
  ReadControl* control = nullptr;  // followed and stoppable from elsewhere, when given
  bool cancelled = false;

  void Skip(int& count, int line_number, std::string_view line);
  // Whether reading goes on after line `line_number` of `in`; now and then
  // it tells the control how far it got and looks whether to stop.
  bool Going(std::istream& in, int line_number);
  std::string Summary() const;
};

// Lines longer than this are skipped as unreadable; fields longer than
// kMaxFieldBytes are cut. No catalogue can then hold more than a few hundred
// megabytes or make a readout draw a huge name.
inline constexpr size_t kMaxLineBytes = 64 * 1024;
inline constexpr size_t kMaxFieldBytes = 255;

// Reads one line; CR LF, LF and CR alone all end it. Returns false at the end
// of the input when nothing was read. A line longer than kMaxLineBytes is
// read to its end but kept empty, with `too_long` set.
bool ReadLine(std::istream& in, std::string& line, bool& too_long);

// An angle written in sexagesimal ("12 30 49.4", "12:30:49.4",
// "12h30m49.4s", "+12 23 28", "-05d30m") or as a decimal number, in
// degrees; a value with h, m, s, or `hours`, is hours. NaN when unreadable.
double ParseSexagesimal(std::string_view text, bool hours);

// What the start of a file says about it, told by its content alone.
struct FileKind {
  bool catalogue_format = false;   // the nine fields with the format's angle forms
  bool votable = false;            // an XML VOTable, whose fields say their own system
  bool positions = false;          // a table whose position columns are recognised
  std::optional<Equinox> equinox;  // what those columns' names say, if anything
};

// Reads up to the first few dozen lines of `in` (left anywhere).
FileKind SniffFile(std::istream& in);

// Reads a delimited table into `table` (which must be empty) and appends
// the Sun's row. Columns are found by their names (and split
// sexagesimal columns by theirs); units come from the header or a units row;
// the equinox from the position columns' names, else `assumed` holds. When
// more than kMaxCatalogueRows rows are usable, the brightest are kept, in
// file order. A table whose position columns cannot be found is refused:
// `report.refusal` says why, and the table gets no row.
void ReadTable(std::istream& in, Equinox assumed, SourceTable& table, LoadReport& report);

}  // namespace skyvane
