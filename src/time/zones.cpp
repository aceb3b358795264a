// SPDX-License-Identifier: GPL-3.0-or-later
#include "time/zones.h"

#include <array>

namespace skyvane {
namespace {

constexpr int kWholeHours = 26;  // -12 .. +13
// Minutes east of universal time, in the order the list shows them.
constexpr std::array<int, 12> kOtherZones = {-9 * 60 - 30, -3 * 60 - 30, 3 * 60 + 30,  4 * 60 + 30,
                                             5 * 60 + 30,  5 * 60 + 45,  6 * 60 + 30,  8 * 60 + 45,
                                             9 * 60 + 30,  10 * 60 + 30, 12 * 60 + 45, 14 * 60};

}  // namespace

int ZoneCount() {
  return kWholeHours + static_cast<int>(kOtherZones.size());
}

std::string ZoneText(int index) {
  if (index < 0 || index >= ZoneCount()) return {};
  const int minutes = ZoneMinutes(index);
  const int size = minutes < 0 ? -minutes : minutes;
  std::string text(1, minutes < 0 ? '-' : '+');
  text += std::to_string(size / 60);
  if (size % 60 != 0) {
    text += ':';
    text += std::to_string(size % 60);
  }
  return text;
}

int ZoneMinutes(int index) {
  if (index >= kWholeHours && index < ZoneCount()) return kOtherZones[index - kWholeHours];
  return (index - 12) * 60;
}

int ZoneIndexOf(int minutes) {
  for (int i = 0; i < ZoneCount(); ++i) {
    if (ZoneMinutes(i) == minutes) return i;
  }
  return -1;
}

}  // namespace skyvane
