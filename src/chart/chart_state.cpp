// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart/chart_state.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace skyvane {

ChartState::ChartState() {
  const QStringList names =
      QStringLiteral("N,NNE,NE,ENE,E,ESE,SE,SSE,S,SSW,SW,WSW,W,WNW,NW,NNW,N").split(',');
  for (int i = 0; i < 17; ++i) CompassPoints[i] = names[i];
}

void ChartState::SetSize(int width, int height, double pixel_ratio) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (!(pixel_ratio >= 1)) pixel_ratio = 1;
  if (width_ == width && height_ == height && ratio_ == pixel_ratio && !Picture1.isNull()) return;
  width_ = width;
  height_ = height;
  ratio_ = pixel_ratio;
  MarkRect = QRect();
  const QSize device(static_cast<int>(std::ceil(width * pixel_ratio)),
                     static_cast<int>(std::ceil(height * pixel_ratio)));
  for (QImage* image : {&Picture1, &SwapScreen, &SwapScreen2}) {
    *image = QImage(device, QImage::Format_RGB32);
    image->setDevicePixelRatio(pixel_ratio);
    image->fill(Qt::black);
  }
  PickWidth = width + 1;
  PickHeight = height + 1;
  PickMap.assign(static_cast<size_t>(PickWidth) * PickHeight, 0);
  GroundSize = QSize();
  ReadoutDirty = QRect();
}

QRect ChartState::DeviceRect(const QRect& rect) const {
  if (ratio_ == 1) return rect;
  return QRectF(rect.x() * ratio_, rect.y() * ratio_, rect.width() * ratio_, rect.height() * ratio_)
      .toAlignedRect();
}

QFont ChartFont(double points, bool bold) {
  QFont font;
  font.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")});
  // The chart works in pixels at 96 per inch, whatever the screen says.
  font.setPixelSize(qRound(points * 96 / 72));
  font.setBold(bold);
  return font;
}

void BlockCopyRect(QImage& dst, const QImage& src, const QRect& rect) {
  const QRect area = rect & dst.rect() & src.rect();
  if (area.isEmpty()) return;
  const size_t bytes = static_cast<size_t>(area.width()) * 4;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    std::memcpy(dst.scanLine(y) + area.left() * 4, src.constScanLine(y) + area.left() * 4, bytes);
  }
}

void BlockCopy(QImage& dst, const QImage& src, int width, int height) {
  BlockCopyRect(dst, src, QRect(0, 0, width, height));
}

QRgb FromColourValue(int32_t colour) {
  return qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

}  // namespace skyvane
