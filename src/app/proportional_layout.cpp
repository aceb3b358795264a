// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/proportional_layout.h"

#include <cmath>

namespace skyvane {

void ProportionalLayout::Add(QWidget* widget, QRect place) {
  items_.push_back({widget, place});
}

QRect ProportionalLayout::Scaled(QRect place, QSize design, QSize now, bool fixed_heights) {
  const double sx = design.width() > 0 ? double(now.width()) / design.width() : 1;
  const double sy =
      fixed_heights || design.height() <= 0 ? 1 : double(now.height()) / design.height();
  const int left = static_cast<int>(std::lround(place.x() * sx));
  const int top = static_cast<int>(std::lround(place.y() * sy));
  const int right = static_cast<int>(std::lround((place.x() + place.width()) * sx));
  const int bottom = static_cast<int>(std::lround((place.y() + place.height()) * sy));
  return QRect(left, top, std::max(right - left, 1), std::max(bottom - top, 1));
}

void ProportionalLayout::Apply(QSize now) const {
  for (const Item& item : items_)
    item.widget->setGeometry(Scaled(item.place, design_, now, fixed_));
}

}  // namespace skyvane
