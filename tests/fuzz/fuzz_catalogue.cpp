// The catalogue reader and the table reader on arbitrary bytes: each must
// read any file into a consistent table, and say what it kept.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "catalogue/catalogue_reader.h"

namespace {

void CheckTable(const skyvane::SourceTable& table, const skyvane::LoadReport& report,
                bool rows_numbered) {
  const int rows = table.RowCount();
  if (rows < 1 || rows > skyvane::kMaxCatalogueRows + 1) std::abort();
  if (table.LastRow != rows - 1 || table.SunRow != table.LastRow) std::abort();
  if (table.CatalogText[rows - 1][8] != "Sun") std::abort();
  if (report.kept < 0 || report.kept > rows - 1 || report.examples.size() > 5) std::abort();
  for (int r = 0; r + 1 < rows; ++r) {
    if (!(table.Flux[r] <= 1000)) std::abort();
    if (r > 0 && table.CatalogText[r][3].empty()) std::abort();  // row 0 is never shown
    if (rows_numbered && r > 0 && table.CatalogText[r][0] == table.CatalogText[r - 1][0])
      std::abort();
  }
  for (int r = 1; !rows_numbered && r + 1 < rows; ++r) {  // a table's rows hold readable places
    if (!(table.RaDec[r][0] >= 0 && table.RaDec[r][0] < 360 && std::fabs(table.RaDec[r][1]) <= 90))
      std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (bool catalogue_format : {true, false}) {
    std::istringstream in(text);
    skyvane::SourceTable table;
    skyvane::LoadReport report;
    if (catalogue_format) skyvane::ReadCatalogue(in, table, &report);
    else skyvane::ReadTable(in, skyvane::Equinox::kJ2000, table, report);
    CheckTable(table, report, catalogue_format);
    (void)report.Summary();
  }
  return 0;
}
