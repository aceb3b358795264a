// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/zone_list.h"

#include <QStyleOptionComboBox>
#include <QStylePainter>

namespace skyvane {

int ZoneList::TextRoom() const {
  QStyleOptionComboBox option;
  initStyleOption(&option);
  return style()
             ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this)
             .width() -
         2;
}

void ZoneList::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionComboBox option;
  initStyleOption(&option);
  const QString text = option.currentText;
  option.currentText.clear();
  painter.drawComplexControl(QStyle::CC_ComboBox, option);
  const QRect room =
      style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
  const int wide = fontMetrics().horizontalAdvance(text);
  const int fit = TextRoom();
  painter.setPen(palette().color(QPalette::ButtonText));
  if (wide <= fit) {
    painter.drawText(room.adjusted(1, 0, -1, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
    return;
  }
  // Narrowed to its room, every digit still there.
  painter.translate(room.left() + 1, 0);
  painter.scale(fit / double(wide), 1);
  painter.drawText(QRect(0, room.top(), wide, room.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   text);
}

}  // namespace skyvane
