// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart/annotations.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygonF>
#include <cmath>
#include <cstring>

#include "base/number_text.h"
#include "base/numbers.h"
#include "chart/chart_state.h"
#include "chart/dome_chart.h"
#include "chart/projection.h"

namespace skyvane {
namespace {

// Anything this far outside the surface cannot touch it.
constexpr double kFarAway = 1e5;

void DrawViewLabel(ChartState& chart, QPainter& painter, bool bold) {
  const QColor green(0, 255, 0);
  const QFont font = ChartFont(14, bold);
  painter.setFont(font);
  painter.setPen(green);
  const QString text = ViewLabelText(chart.ViewAzimuth);
  const QFontMetrics metrics(font);
  const double x = chart.HalfWidth - metrics.horizontalAdvance(text) / 2.0;
  const double y = chart.Height() - 85;
  painter.drawText(QPointF(x, y + metrics.ascent()), text);
  painter.drawLine(QPointF(chart.HalfWidth, chart.HorizonY),
                   QPointF(chart.HalfWidth, chart.HorizonY + 5));
  painter.drawLine(QPointF(chart.HalfWidth, chart.HorizonY + 20),
                   QPointF(chart.HalfWidth, chart.HorizonY + 25));
}

void DrawMeridians(ChartState& chart, QPainter& painter) {
  const QColor grid(0, 255, 0);
  QPen dotted(grid, 0, chart.DottedGrid ? Qt::DotLine : Qt::SolidLine);
  painter.setPen(dotted);
  const QRectF box(-10, -10, chart.Width() + 20, chart.Height() + 20);
  QPointF current(0, 0);
  for (double a : {0.0, 90.0, 180.0, 270.0}) {
    for (double altitude = 0; altitude <= 90; altitude += chart.GridStep) {
      const double azimuth = a + chart.ViewAzimuth;
      double sx, sy;
      if (!ProjectSkyPoint(azimuth, altitude, chart.HalfWidth, chart.HorizonY, sx, sy)) continue;
      if (azimuth == 180) continue;  // the meridian straight behind the observer
      const QPointF point(sx, sy);
      if (altitude == 0) {
        if (sx >= 0 && sy >= 0 && sx < chart.Width() && sy < chart.Height()) {
          painter.fillRect(QRect(static_cast<int>(sx), static_cast<int>(sy), 1, 1), grid);
        }
      } else {
        QLineF segment(current, point);
        if (std::isfinite(sx) && std::isfinite(sy) && ClipSegment(segment, box)) {
          painter.drawLine(segment);
        }
      }
      current = point;
    }
  }
}

void DrawCompassRing(ChartState& chart, QPainter& painter, bool bold) {
  const double lo = chart.ViewAzimuth - 180;
  const double hi = chart.ViewAzimuth + 180;
  const double first = std::floor(lo / 22.5) * 22.5;
  const double last = (std::floor(hi / 22.5) + 1) * 22.5;
  const QFont font = ChartFont(8, bold);
  const QFontMetrics metrics(font);
  painter.setFont(font);
  for (double a = first; a <= last; a += 22.5) {
    if (!(a >= lo && a <= hi)) continue;
    const double tick_length = 5;
    const double azimuth = a + chart.ViewAzimuth;
    double sx, sy;
    if (!ProjectSkyPoint(azimuth, 0, chart.HalfWidth, chart.HorizonY, sx, sy)) continue;
    if (!(std::fabs(sx) < kFarAway)) continue;
    painter.setPen(QColor(255, 255, 0));
    painter.drawLine(QPointF(sx, chart.HorizonY), QPointF(sx, chart.HorizonY + tick_length));
    const QString name = CompassName(chart, azimuth);
    painter.setPen(QColor(192, 192, 0));
    const int half = static_cast<int>(RoundHalfEven(metrics.horizontalAdvance(name))) / 2;
    const double top = std::floor(chart.HorizonY) + 6;
    painter.drawText(QPointF(sx - half, top + metrics.ascent()), name);
  }
}

}  // namespace

QString ViewLabelText(double view_azimuth) {
  return QString::fromStdString(FormatWithSignPosition(view_azimuth)) + QChar(0x00B0);
}

QString CompassName(const ChartState& chart, double azimuth) {
  double d = azimuth - chart.ViewAzimuth;
  if (d < 0) d += 360;
  if (d > 359) d -= 360;
  const int k = static_cast<int>(RoundHalfEven(d / 22.5));
  if (k < 0 || k > 16) return {};
  return chart.CompassPoints[16 - k];
}

bool ClipSegment(QLineF& line, const QRectF& box) {
  const double x0 = line.x1(), y0 = line.y1();
  const double dx = line.x2() - x0, dy = line.y2() - y0;
  double t0 = 0, t1 = 1;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x0 - box.left(), box.right() - x0, y0 - box.top(), box.bottom() - y0};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) {
      if (t > t1) return false;
      t0 = std::max(t0, t);
    } else {
      if (t < t0) return false;
      t1 = std::min(t1, t);
    }
  }
  line = QLineF(x0 + t0 * dx, y0 + t0 * dy, x0 + t1 * dx, y0 + t1 * dy);
  return true;
}

void DrawAnnotations(ChartState& chart, bool bold_text) {
  QPainter painter(&chart.Picture1);
  DrawViewLabel(chart, painter, bold_text);
  DrawMeridians(chart, painter);
  DrawCompassRing(chart, painter, bold_text);
}

QRect EraseAntennaMark(ChartState& chart) {
  const QRect under = chart.MarkRect;
  chart.MarkRect = QRect();
  const QRect device = chart.DeviceRect(under) & chart.SwapScreen.rect();
  if (under.isEmpty() || chart.UnderMark.size() != device.size()) return {};
  for (int y = 0; y < chart.UnderMark.height(); ++y) {
    std::memcpy(chart.SwapScreen.scanLine(device.top() + y) + device.left() * 4,
                chart.UnderMark.constScanLine(y), static_cast<size_t>(device.width()) * 4);
  }
  BlockCopyRect(chart.Picture1, chart.SwapScreen, device);
  return under;
}

namespace {

// Where a compass azimuth and elevation falls on the chart, if anywhere near.
bool PlaceOnChart(const ChartState& chart, double compass_azimuth, double elevation, QPointF& at) {
  double sx, sy;
  if (!ProjectSkyPoint(360 - compass_azimuth + chart.ViewAzimuth, elevation, chart.HalfWidth,
                       chart.HorizonY, sx, sy) ||
      !(std::fabs(sx) < kFarAway && std::fabs(sy) < kFarAway)) {
    return false;
  }
  at = QPointF(sx, sy);
  return true;
}

// The beam's half-power circle of `width` degrees round a compass azimuth
// and elevation, as it falls on the chart.
QPolygonF BeamOutline(const ChartState& chart, double azimuth, double elevation, double width) {
  QPolygonF outline;
  for (int bearing = 0; bearing <= 360; bearing += 5) {
    double az, el;
    OffsetSkyPoint(azimuth, elevation, width / 2, bearing, az, el);
    QPointF at;
    if (PlaceOnChart(chart, az, el, at)) outline << at;
  }
  return outline;
}

}  // namespace

void DrawPlanningMarks(ChartState& chart, const SourceTable& table) {
  QPainter painter(&chart.Picture1);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(Qt::NoBrush);
  if (chart.BeamWidth > 0) {
    // The dish's beam at the scope marker, on the centre line.
    const double elevation = CentreColumnAltitude(chart.ScopeMarkerY, chart.HorizonY);
    const QColor cyan(0, 255, 255);
    painter.setPen(QPen(cyan, 1, Qt::DashLine));
    painter.drawPolyline(BeamOutline(chart, chart.ViewAzimuth, elevation, chart.BeamWidth));
    painter.setPen(cyan);
    painter.setFont(ChartFont(8, false));
    painter.drawText(QPointF(chart.Width() / 2.0 + 24, chart.ScopeMarkerY + 4),
                     QStringLiteral("el %1°").arg(elevation, 0, 'f', 1));
  }
  const int row = chart.FoundRow;
  if (row > 0 && row < table.RowCount() && table.AzAlt[row][1] >= 0) {
    double sx, sy;
    if (ProjectSkyPoint(table.AzAlt[row][0] + chart.ViewAzimuth, table.AzAlt[row][1],
                        chart.HalfWidth, chart.HorizonY, sx, sy)) {
      // Just outside the disc, whatever its size.
      double flux = table.Flux[row];
      float radius = 0;
      FluxStyle(flux, chart.SymbolScale, radius);
      if (row == static_cast<int>(RoundHalfEven(table.SunRow))) radius = 12;
      painter.setPen(QPen(QColor(255, 80, 80), 2));
      painter.drawEllipse(QPointF(sx, sy), radius + 5.0, radius + 5.0);
    }
  }
}

QRect DrawAntennaMark(ChartState& chart, const AntennaMark& mark) {
  QRect changed = EraseAntennaMark(chart);
  QPointF at, target;
  const bool shown = PlaceOnChart(chart, mark.azimuth, mark.elevation, at);
  const bool aimed = mark.has_target && !mark.on_target &&
                     PlaceOnChart(chart, mark.target_azimuth, mark.target_elevation, target);
  if (!shown && !aimed) return changed;
  // Orange: no disc, no grid and no marker of the chart has that colour.
  const QColor orange(255, 128, 0);
  const QFont font = ChartFont(8, false);
  // The label gives the bearing as the readout does, whichever turn the
  // rotator took to it.
  double bearing = std::fmod(mark.azimuth, 360.0);
  if (bearing < 0) bearing += 360;
  QString text =
      QStringLiteral("az %1° el %2°").arg(bearing, 0, 'f', 1).arg(mark.elevation, 0, 'f', 1);
  if (mark.on_target) text += QStringLiteral(" on target");
  const QFontMetrics metrics(font);
  QRect drawn;
  QPolygonF beam;
  if (shown) {
    drawn = QRect(static_cast<int>(at.x()) - 13, static_cast<int>(at.y()) - 13,
                  std::max(26, metrics.horizontalAdvance(text) + 24), 27 + metrics.height());
    if (mark.beam_width > 0) {
      beam = BeamOutline(chart, mark.azimuth, mark.elevation, mark.beam_width);
      drawn |= beam.boundingRect().toAlignedRect().adjusted(-2, -2, 2, 2);
    }
  }
  if (aimed) {
    drawn |= QRect(target.toPoint() - QPoint(6, 6), QSize(13, 13));
    if (shown) drawn |= QRectF(at, target).normalized().toAlignedRect().adjusted(-2, -2, 2, 2);
  }
  drawn &= QRect(0, 0, chart.Width(), chart.Height());
  if (drawn.isEmpty()) return changed;
  // The mark goes into the clean copy, which never holds a readout, and the
  // chart under it is kept to be put back.
  const QRect device = chart.DeviceRect(drawn) & chart.SwapScreen.rect();
  chart.UnderMark = chart.SwapScreen.copy(device);
  chart.MarkRect = drawn;
  QPainter painter(&chart.SwapScreen);
  painter.setClipRect(drawn);
  painter.setBrush(Qt::NoBrush);
  if (aimed) {
    painter.setPen(QPen(orange, 1));
    painter.drawRect(QRectF(target - QPointF(4, 4), QSizeF(8, 8)));
    if (shown) {
      painter.setPen(QPen(orange, 1, Qt::DashLine));
      painter.drawLine(at, target);
    }
  }
  if (shown) {
    painter.setPen(QPen(orange, 1, Qt::DashLine));
    painter.drawPolyline(beam);
    painter.setPen(QPen(orange, 2));
    painter.drawEllipse(at, 7, 7);
    painter.drawLine(at - QPointF(11, 0), at + QPointF(11, 0));
    painter.drawLine(at - QPointF(0, 11), at + QPointF(0, 11));
    painter.setFont(font);
    painter.drawText(at + QPointF(10, 12 + metrics.ascent()), text);
  }
  painter.end();
  BlockCopyRect(chart.Picture1, chart.SwapScreen, device);
  return changed | drawn;
}

}  // namespace skyvane
