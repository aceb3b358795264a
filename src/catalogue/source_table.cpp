// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/source_table.h"

#include <cmath>

#include "base/numbers.h"

namespace skyvane {

int SourceTable::AddRow() {
  CatalogText.emplace_back();
  RaDec.push_back({0.0, 0.0});
  Flux.push_back(0.0);
  AzAlt.push_back({0.0, 0.0});
  SinDec.push_back(0.0);
  CosDec.push_back(1.0);
  J2000.push_back(0);
  return RowCount() - 1;
}

void AppendSunRow(SourceTable& table) {
  const int s = table.AddRow();
  table.LastRow = static_cast<float>(s);
  table.SunRow = table.LastRow;
  table.CatalogText[s][8] = "Sun";
  table.CatalogText[s][3] = "-27.97";
  table.Flux[s] = -27.97;
}

void SourceTable::UpdateDeclinationCache(int row) {
  const double dec = RaDec[row][1] * kDegree;
  SinDec[row] = std::sin(dec);
  CosDec[row] = std::cos(dec);
}

}  // namespace skyvane
