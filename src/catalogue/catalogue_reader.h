// Reading the tab-delimited catalogue into the source table.
#pragma once

#include <filesystem>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

#include "catalogue/source_table.h"

namespace skyvane {

// Angle text in degrees: "3h58'30.001''" (hours) or "+0*27'5.123''" (degrees).
double ParseAngle(std::string_view text);

// Upper case for the first letter and every letter after a blank, lower case
// for the rest (Latin-1 letters included).
std::string FormatName(std::string_view text);

// Reads every line of `in` into `table` (which must be empty) and appends
// the Sun's row.
void ReadCatalogue(std::istream& in, SourceTable& table);

// The catalogue file in `folder`: "StarData.txt" when it exists, otherwise the
// first regular file whose name matches it without regard to letter case.
std::optional<std::filesystem::path> FindCatalogueFile(const std::filesystem::path& folder);

// Opens and reads the catalogue file. Returns false when it cannot be opened
// (missing, unreadable or not a regular file); the table is then untouched.
bool LoadCatalogueFile(const std::filesystem::path& file, SourceTable& table);

}  // namespace skyvane
