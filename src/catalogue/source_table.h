// SPDX-License-Identifier: GPL-3.0-or-later
// The source table: one row per accepted catalogue line, then the Sun's row.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace skyvane {

// Room for 20000 catalogue rows (0..19999); the Sun takes row 20000 at most.
inline constexpr int kMaxCatalogueRows = 20000;

struct SourceTable {
  // Field 8 holds the display name; the others are the line's fields as read.
  // Texts are the file's single bytes (Latin-1).
  std::vector<std::array<std::string, 9>> CatalogText;
  std::vector<std::array<double, 2>> RaDec;  // degrees
  std::vector<double> Flux;                  // capped at 150 in place by the drawing
  std::vector<std::array<double, 2>> AzAlt;  // azimuth (north towards west), altitude
  // Sine and cosine of each row's declination, kept so the pass need not take
  // them again; they are exactly what the conversion would compute.
  std::vector<double> SinDec;
  std::vector<double> CosDec;
  // 1 where a row's position is for FK5 J2000; 0 for the catalogue
  // format's FK4 B1950.
  std::vector<char> J2000;
  float LastRow = -1;
  float SunRow = -1;

  int RowCount() const { return static_cast<int>(CatalogText.size()); }
  // Appends an empty row and returns its index.
  int AddRow();
  // Refreshes the cached sine and cosine after a row's declination changed.
  void UpdateDeclinationCache(int row);
};

// Appends the Sun's row, which ends every table: name "Sun", flux -27.97.
void AppendSunRow(SourceTable& table);

}  // namespace skyvane
