// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes through everything that reads a user's text: the catalogue
// and table readers must read any file into a consistent table and say what
// they kept; the number readers never fail, and a written number reads back
// the same to 15 digits.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "base/number_text.h"
#include "catalogue/catalogue_reader.h"
#include "catalogue/votable_reader.h"

using namespace skyvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (int reader = 0; reader < 3; ++reader) {
    const bool catalogue_format = reader == 0;
    std::istringstream in(reader == 2 ? "<?xml version=\"1.0\"?>" + text : text);
    SourceTable t;
    LoadReport report;
    if (reader == 0)
      ReadCatalogue(in, t, &report);
    else if (reader == 1)
      ReadTable(in, Equinox::kJ2000, t, report);
    else
      ReadVoTable(in, Equinox::kJ2000, t, report);
    const int rows = t.RowCount();
    // A refused table, or one of nothing but comments, gets no row at all.
    if (!catalogue_format && rows == 0 && report.kept == 0) continue;
    if (rows < 1 || rows > kMaxCatalogueRows + 1 || t.LastRow != rows - 1 ||
        t.SunRow != t.LastRow || t.CatalogText[rows - 1][8] != "Sun" || report.kept < 0 ||
        report.kept > rows - 1 || report.examples.size() > 5 || !report.refusal.empty())
      std::abort();
    for (int r = 1; r + 1 < rows; ++r) {
      if (t.CatalogText[r][3].empty()) std::abort();
      if (catalogue_format && (!(t.Flux[r] <= 1000) || t.CatalogText[r][0] == t.CatalogText[r - 1][0]))
        std::abort();
      if (!catalogue_format &&
          (!std::isfinite(t.Flux[r]) || !(t.RaDec[r][0] >= 0 && t.RaDec[r][0] < 360 && std::fabs(t.RaDec[r][1]) <= 90) ||
           t.CatalogText[r][8].size() > kMaxFieldBytes))
        std::abort();  // a table's rows hold readable places
    }
    (void)report.Summary();
    std::istringstream again(text);
    (void)SniffFile(again);
  }
  const double value = ParseLeadingNumber(text);
  double strict = 0;
  ParseStrictNumber(text, ",", strict);
  if (std::isnan(value) || std::isnan(strict) || FormatName(text).size() != size) std::abort();
  const double again = ParseLeadingNumber(FormatShortest(value));
  if (std::isfinite(value) && std::fabs(again - value) > std::fabs(value) * 1e-14 + 1e-300)
    std::abort();
  (void)ParseAngle(text);
  (void)FormatWithSignPosition(value);
  return 0;
}
