// SPDX-License-Identifier: GPL-3.0-or-later
#include "interact/readout.h"

#include <QFontMetrics>
#include <QPainter>
#include <cmath>

#include "base/numbers.h"

namespace skyvane {

PickCandidate FindNearestSource(const ChartState& chart, float x, float y) {
  PickCandidate best;
  const double X = x, Y = y;
  for (double cx = X - 8; cx <= X + 8; cx += 1) {
    for (double cy = Y - 8; cy <= Y + 8; cy += 1) {
      // Cells outside the map (which is as large as the chart) hold nothing.
      if (cx < 0 || cy < 0) continue;
      const double rx = RoundHalfEven(cx), ry = RoundHalfEven(cy);
      if (rx >= chart.PickWidth || ry >= chart.PickHeight) continue;
      const int v = chart.PickAt(static_cast<int>(rx), static_cast<int>(ry));
      if (v <= 0) continue;
      const double d = std::sqrt(std::pow(cx - X, 2) + std::pow(cy - Y, 2));
      if (d < best.Distance) best = {v, d, cx, cy};
    }
  }
  return best;
}

QRect RestoreCleanChart(ChartState& chart) {
  // Picture1 differs from the clean copy only where a readout was drawn.
  const QRect dirty = chart.ReadoutDirty;
  BlockCopyRect(chart.Picture1, chart.SwapScreen, chart.DeviceRect(dirty));
  chart.ReadoutDirty = QRect();
  return dirty;
}

QString ReadoutName(const SourceTable& table, int row) {
  std::string name = table.CatalogText[row][8];
  const size_t first = name.find_first_not_of(' ');
  name =
      first == std::string::npos ? "" : name.substr(first, name.find_last_not_of(' ') - first + 1);
  if (name.empty()) return QStringLiteral("Star #%1 (No Name Supplied)").arg(row);
  return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

QString ReadoutAzimuth(const SourceTable& table, int row, const QLocale& locale) {
  return QStringLiteral("Azimuth: ") + locale.toString(360 - table.AzAlt[row][0], 'f', 2) +
         QChar(0x00B0);
}

QString ReadoutAltitude(const SourceTable& table, int row, const QLocale& locale) {
  return QStringLiteral("Altitude: ") + locale.toString(table.AzAlt[row][1], 'f', 2) +
         QChar(0x00B0);
}

QRect DrawReadout(ChartState& chart, const SourceTable& table, const PickCandidate& found,
                  bool show_info, const QLocale& locale) {
  const int r = static_cast<int>(RoundHalfEven(found.Row));
  const double bx = found.X, by = found.Y;
  const QFont font = ChartFont(8, false);
  const QFontMetrics metrics(font);
  QPainter painter(&chart.Picture1);
  painter.setFont(font);
  painter.setPen(QColor(0, 255, 0));
  QRect drawn;
  auto print = [&](double x, double y, const QString& text) {
    painter.drawText(QPointF(x, y + metrics.ascent()), text);
    drawn |= QRect(static_cast<int>(std::floor(x)) - 1, static_cast<int>(std::floor(y)) - 1,
                   metrics.horizontalAdvance(text) + 4, metrics.height() + 3);
  };
  print(bx + 20, by - 20, ReadoutName(table, r));
  if (show_info) {
    const auto& flux = table.CatalogText[r][3];
    print(bx + 20, by - 10,
          QStringLiteral("FLUX: ") +
              QString::fromLatin1(flux.data(), static_cast<qsizetype>(flux.size())));
    print(bx + 20, by + 10, ReadoutAzimuth(table, r, locale));
    print(bx + 20, by + 20, ReadoutAltitude(table, r, locale));
  }
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QColor(85, 85, 85));
  painter.drawLine(QPointF(bx + 2, by - 2), QPointF(bx + 18, by - 15));
  painter.setPen(QPen(QColor(255, 0, 0), 0, Qt::DotLine));
  painter.drawEllipse(QPointF(bx, by), 4, 4);
  drawn |= QRect(static_cast<int>(bx) - 6, static_cast<int>(by) - 17, 26, 24);
  drawn &= QRect(0, 0, chart.Width(), chart.Height());
  chart.ReadoutDirty |= drawn;
  return drawn;
}

}  // namespace skyvane
