// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the tab-delimited catalogue into the source table.
#pragma once

#include <cstdint>
#include <filesystem>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/source_table.h"
#include "catalogue/table_reader.h"

namespace skyvane {

// Angle text in degrees: "3h58'30.001''" (hours) or "+0*27'5.123''" (degrees).
double ParseAngle(std::string_view text);

// Upper case for the first letter and every letter after a blank, lower case
// for the rest (Latin-1 letters included).
std::string FormatName(std::string_view text);

// Reads every line of `in` into `table` (which must be empty) and appends
// the Sun's row; `report`, when given, counts what was kept and skipped.
// Lines above 1000 Jy are skipped unless `keep_brightest`.
void ReadCatalogue(std::istream& in, SourceTable& table, LoadReport* report = nullptr,
                   bool keep_brightest = false);

// Files beyond this size are refused as too large.
inline constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{512} << 20;

// The catalogue file in `folder`: "StarData.txt" when it exists (of any
// kind, so that a folder or device of that name is reported as such),
// otherwise the first entry whose name matches it without regard to letter
// case.
std::optional<std::filesystem::path> FindCatalogueFile(const std::filesystem::path& folder);

enum class CatalogueStatus {
  kLoaded,
  kNotFound,
  kNotRegularFile,
  kNotReadable,
  kNotText,
  kTooLarge,
  kEmpty,        // read, but without a source to draw
  kNoPositions,  // a table whose position columns cannot be found
  kOutOfMemory,
  kCancelled,  // stopped through its ReadControl
};

// Opens and reads a catalogue file, in the catalogue format or as a
// delimited table (told apart by content); tables whose column names give
// no equinox are taken as `assumed`. A text in UTF-16 with a byte-order
// mark is read as its Latin-1 characters. On any status but kLoaded the
// table is untouched.
// `keep_brightest` reads the catalogue format's lines above 1000 Jy too.
CatalogueStatus LoadCatalogueFile(const std::filesystem::path& file, SourceTable& table,
                                  LoadReport* report = nullptr, Equinox assumed = Equinox::kJ2000,
                                  bool keep_brightest = false);

// What start-up found: the file used (or tried), the status, and every
// place looked in.
struct CatalogueReport {
  CatalogueStatus status = CatalogueStatus::kNotFound;
  std::filesystem::path file;
  std::vector<std::filesystem::path> looked_in;
  LoadReport read;  // what the reading kept and skipped
  // Files found on the way that had nothing to draw.
  std::vector<std::filesystem::path> passed_over;
};

// Loads `file` when one is named, else the catalogue of the first of
// `folders` that holds one (FindCatalogueFile). A file with nothing to draw
// gives way to the next place (`passed_over` lists it); one that cannot
// be read ends the search with its status.
CatalogueReport LoadFirstCatalogue(const std::vector<std::filesystem::path>& folders,
                                   const std::optional<std::filesystem::path>& file,
                                   SourceTable& table, Equinox assumed = Equinox::kJ2000,
                                   bool keep_brightest = false, ReadControl* control = nullptr);

// A path for a message: its bytes as they are where they are UTF-8, each
// other byte written \xNN.
std::string ShownPath(const std::filesystem::path& path);

// The report in words for a user, the paths as ShownPath writes them.
std::string DescribeReport(const CatalogueReport& report);

}  // namespace skyvane
