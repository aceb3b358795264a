// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/chart_view.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace skyvane {

ChartView::ChartView(const QImage& picture, QWidget* parent) : QWidget(parent), picture_(picture) {
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void ChartView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect area = event->rect();
  painter.fillRect(area, Qt::black);
  // The picture may hold several device pixels per chart pixel.
  const double ratio = picture_.devicePixelRatio();
  painter.drawImage(
      QRectF(area), picture_,
      QRectF(area.x() * ratio, area.y() * ratio, area.width() * ratio, area.height() * ratio));
}

void ChartView::mouseMoveEvent(QMouseEvent* event) {
  if (MouseMove) MouseMove(float(event->position().x()), float(event->position().y()));
}

void ChartView::mousePressEvent(QMouseEvent* event) {
  if (MouseDown) MouseDown(event->button());
}

void ChartView::keyPressEvent(QKeyEvent* event) {
  if (KeyDown) KeyDown(event->key(), event->modifiers());
  const QString text = event->text();
  if (KeyPress && text.size() == 1) KeyPress(text.front());
  event->accept();
}

void ChartView::contextMenuEvent(QContextMenuEvent* event) {
  if (ContextMenu) ContextMenu(event->pos());
}

}  // namespace skyvane
