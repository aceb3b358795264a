// SPDX-License-Identifier: GPL-3.0-or-later
// The chart surface on screen: shows Picture1 and hands its mouse and key
// events to the main window.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

namespace skyvane {

class ChartView : public QWidget {
 public:
  ChartView(const QImage& picture, QWidget* parent);

  std::function<void(float x, float y)> MouseMove;
  std::function<void(Qt::MouseButton button)> MouseDown;
  std::function<void(int key, Qt::KeyboardModifiers modifiers)> KeyDown;
  std::function<void(QChar character)> KeyPress;
  std::function<void(QPoint at)> ContextMenu;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  const QImage& picture_;
};

}  // namespace skyvane
