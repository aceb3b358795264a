// SPDX-License-Identifier: GPL-3.0-or-later
// What the readers of tables share: the columns found by name, their units,
// and the rows kept while reading.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/source_table.h"
#include "catalogue/table_reader.h"

namespace skyvane {

enum class Unit { kNone, kDegrees, kHours, kRadians, kJy, kMilliJy };

// A unit as headers, units rows and field descriptions write it ("h",
// "deg", "d:m:s", "mJy"...).
Unit UnitOf(std::string_view text);

// Where a table's values are, and in what units.
struct Layout {
  int ra = -1, dec = -1, flux = -1, name = -1;
  // Split sexagesimal columns: RAh RAm RAs, DE- DEd DEm DEs.
  int ra_h = -1, ra_m = -1, ra_s = -1, de_sign = -1, de_d = -1, de_m = -1, de_s = -1;
  Unit ra_unit = Unit::kNone, dec_unit = Unit::kNone, flux_unit = Unit::kNone;
  std::optional<Equinox> equinox;
  bool Split() const { return ra_h >= 0 && ra_m >= 0 && de_d >= 0 && de_m >= 0; }
  bool Positions() const { return Split() || (ra >= 0 && dec >= 0); }
};

// The columns of a header row, found by their names.
Layout FindColumns(const std::vector<std::string>& header);

// The names a table is read by, for a user whose table has none.
extern const char* const kKnownNames;

// The rows of a table as they are read: each kept, with its place, or
// counted under its reason; the brightest kept when there are too many.
class TableRows {
 public:
  // `delimiter` is the one the fields were cut at (';' makes the comma a
  // decimal mark), 0 for none.
  TableRows(const Layout& columns, char delimiter, LoadReport& report)
      : columns_(columns), delimiter_(delimiter), report_(report) {}
  Layout& columns() { return columns_; }
  void Add(const std::vector<std::string>& fields, int line_number, std::string_view line);
  // Fills `table` (empty) with the rows kept, in the order read, and the
  // Sun's row. `utf8`: the names are UTF-8, else Latin-1 already.
  void Finish(Equinox assumed, bool utf8, SourceTable& table);

 private:
  struct Candidate {
    int line;
    std::string name, flux_text, ra_text, dec_text;
    double flux, ra, dec;
  };
  // What decides which rows stay, and where a row's texts are: the heap
  // moves only these, however long the texts.
  struct Rank {
    double flux;
    int line;
    size_t slot;
  };
  static bool Brighter(const Rank& a, const Rank& b);
  Layout columns_;
  char delimiter_;
  LoadReport& report_;
  std::vector<Rank> ranks_;      // a heap, the faintest on top
  std::vector<Candidate> kept_;  // the rows kept, in no order; a dropped row's slot is reused
  bool all_below_24_ = true, plain_ra_ = false;
};

}  // namespace skyvane
