// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form2.h"

#include <QPalette>
#include <QStringList>
#include <algorithm>

namespace skyvane {

const char* HelpText() {
  return "The chart is compiled from the 4C radio catalog with objects greater than 2 Jankys and "
         "between the \r\n"
         "declinations of -7 to +80. The observations were at a frequency of 178 MHZ. The position "
         "is from 1950 \r\n"
         "so azimuth position may be out by 2 degrees. \r\n"
         "To use other radio catalogs, rename StarData.txt and using excel or other spreedsheet, "
         "format the data \r\n"
         "as\r\n"
         "Number   one    Name    Flux   four  five      RA               Dec                    "
         "Proper Name\r\n"
         "14                     +00.14   8.8                   3h58'30.001''   +0*27'5.123''     "
         "3c99\r\n"
         ".\r\n"
         "Dec must show + or - Values, the * stands for degrees and \" (seconds) is made with two "
         "' (single ticks)\r\n"
         "Save the data as StarData.txt      tab delimited \r\n"
         ".\r\n"
         "The display is actually a domed view so Altitude readings show the elevation of the "
         "object as it passes \r\n"
         "due south or north. Set your view for N or S\r\n"
         ".\r\n"
         "The real time display is set by the computer clock and is updated approximately every "
         "minute. After using \r\n"
         "the fast Play or Track buttons, reset the computer time to return to present time and "
         "tracking \r\n";
}

Form2::Form2() : QWidget(nullptr) {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(QStringLiteral("INFO"));
  setAttribute(Qt::WA_DeleteOnClose);
  setFixedSize(515, 246);
  QPalette red = palette();
  red.setColor(QPalette::Window, QColor(255, 0, 0));
  setPalette(red);
  setAutoFillBackground(true);

  Text1 = new QPlainTextEdit(this);
  Text1->setObjectName(QStringLiteral("Text1"));
  Text1->setGeometry(8, 8, 497, 225);
  Text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  Text1->document()->setDocumentMargin(2);
  // The largest size of the desktop's face at which all sixteen lines show
  // whole, none wrapped, in the text box.
  const QStringList lines = QString::fromLatin1(HelpText()).split(QStringLiteral("\r\n"));
  const int room_x = 497 - 2 * Text1->frameWidth() - 2 * 2 - 4;
  const int room_y = 225 - 2 * Text1->frameWidth() - 2 * 2;
  QFont face = font();
  for (int pixels = 12; pixels >= 6; --pixels) {
    face.setPixelSize(pixels);
    const QFontMetrics metrics(face);
    int widest = 0;
    for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
    if (widest <= room_x && 16 * metrics.lineSpacing() <= room_y) break;
  }
  Text1->setFont(face);
  Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  QPalette plain = Text1->palette();
  plain.setColor(QPalette::Base, Qt::white);
  plain.setColor(QPalette::Text, Qt::black);
  Text1->setPalette(plain);
  // The text box keeps its lines as paragraphs: CR LF becomes one break.
  Text1->setPlainText(
      QString::fromLatin1(HelpText()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  Text1->setFocus();
}

}  // namespace skyvane
