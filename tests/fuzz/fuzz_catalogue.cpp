// The catalogue reader and the table reader on arbitrary bytes: each must
// read any file into a consistent table, and say what it kept.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "catalogue/catalogue_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (bool catalogue_format : {true, false}) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    skyvane::SourceTable t;
    skyvane::LoadReport report;
    if (catalogue_format)
      skyvane::ReadCatalogue(in, t, &report);
    else
      skyvane::ReadTable(in, skyvane::Equinox::kJ2000, t, report);
    const int rows = t.RowCount();
    if (rows < 1 || rows > skyvane::kMaxCatalogueRows + 1 || t.LastRow != rows - 1 ||
        t.SunRow != t.LastRow || t.CatalogText[rows - 1][8] != "Sun" || report.kept < 0 ||
        report.kept > rows - 1 || report.examples.size() > 5)
      std::abort();
    for (int r = 1; r + 1 < rows; ++r) {
      if (!(t.Flux[r] <= 1000) || t.CatalogText[r][3].empty()) std::abort();
      if (catalogue_format && t.CatalogText[r][0] == t.CatalogText[r - 1][0]) std::abort();
      if (!catalogue_format &&
          !(t.RaDec[r][0] >= 0 && t.RaDec[r][0] < 360 && std::fabs(t.RaDec[r][1]) <= 90))
        std::abort();  // a table's rows hold readable places
    }
    (void)report.Summary();
  }
  return 0;
}
