// SPDX-License-Identifier: GPL-3.0-or-later
// The time-zone list: a drop-down list whose closed face narrows a zone's
// text that is wider than its room ("+10:30" in the design's 49 pixels)
// rather than cut its last digit.
#pragma once

#include <QComboBox>

namespace skyvane {

class ZoneList : public QComboBox {
 public:
  using QComboBox::QComboBox;

  // The room the closed list leaves its text, in pixels.
  int TextRoom() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace skyvane
