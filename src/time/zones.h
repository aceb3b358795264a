// SPDX-License-Identifier: GPL-3.0-or-later
// The time zones of the zone list: the 26 whole hours from -12 to +13 at
// list indexes 0..25, then the zones in use that are not whole hours, and
// +14, after them so that every whole-hour index keeps its meaning.
#pragma once

#include <string>

namespace skyvane {

// How many items the list holds.
int ZoneCount();

// The list's text of item `index` ("-5", "+0", "+5:45"); empty outside the list.
std::string ZoneText(int index);

// The zone of item `index` in minutes east of universal time. An index
// outside the list reads as the whole hours index - 12 (no selection, -1,
// is -13 hours).
int ZoneMinutes(int index);

// The item for a zone `minutes` east of universal time, or -1 when the list
// has none.
int ZoneIndexOf(int minutes);

}  // namespace skyvane
