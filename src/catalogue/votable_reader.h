// SPDX-License-Identifier: GPL-3.0-or-later
// VOTable, the XML table that astronomical data services download by
// default and their desktop tools save: TABLEDATA, and the BINARY and
// BINARY2 streams.
#pragma once

#include <istream>

#include "catalogue/source_table.h"
#include "catalogue/table_reader.h"

namespace skyvane {

// Reads the first table of a VOTable into `table` (which must be empty) and
// appends the Sun's row. Columns are found by their UCD first
// (pos.eq.ra;meta.main, pos.eq.dec;meta.main, phot.flux.density,
// meta.id;meta.main), by name otherwise; units come from each field's unit,
// the equinox from the coordinate system the position fields refer to.
// Refused, as a delimited table is, without position columns or when the XML
// is broken before any row.
void ReadVoTable(std::istream& in, Equinox assumed, SourceTable& table, LoadReport& report);

}  // namespace skyvane
