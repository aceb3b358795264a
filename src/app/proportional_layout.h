// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps child widgets at their design places in proportion to their
// container's size.
#pragma once

#include <QRect>
#include <QSize>
#include <QWidget>
#include <vector>

namespace skyvane {

class ProportionalLayout {
 public:
  // `design` is the container's size the places were drawn for. With
  // `fixed_heights` only x and width scale (a band of controls of fixed height).
  ProportionalLayout(QSize design, bool fixed_heights) : design_(design), fixed_(fixed_heights) {}
  void Add(QWidget* widget, QRect place);
  void Apply(QSize now) const;
  static QRect Scaled(QRect place, QSize design, QSize now, bool fixed_heights);

 private:
  struct Item {
    QWidget* widget;
    QRect place;
  };
  QSize design_;
  bool fixed_;
  std::vector<Item> items_;
};

}  // namespace skyvane
