// The catalogue reader on arbitrary bytes: it must read any file into a
// consistent table.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "catalogue/catalogue_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  skyvane::SourceTable table;
  skyvane::ReadCatalogue(in, table);
  const int rows = table.RowCount();
  if (rows < 1 || rows > skyvane::kMaxCatalogueRows + 1) std::abort();
  if (table.LastRow != rows - 1 || table.SunRow != table.LastRow) std::abort();
  if (table.CatalogText[rows - 1][8] != "Sun") std::abort();
  for (int r = 0; r + 1 < rows; ++r) {
    if (!(table.Flux[r] <= 1000)) std::abort();
    if (table.CatalogText[r][3].empty()) std::abort();
    if (r > 0 && table.CatalogText[r][0] == table.CatalogText[r - 1][0]) std::abort();
  }
  return 0;
}
