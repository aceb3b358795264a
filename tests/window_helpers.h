// SPDX-License-Identifier: GPL-3.0-or-later
// What the window tests share: a clock at a fixed moment with chosen formats,
// and finding a source on the chart.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/clock.h"
#include "app/form1.h"

// Failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }

namespace skyvane {

class FixedClock : public Clock {
 public:
  QDateTime now{QDate(2024, 3, 5), QTime(15, 7, 9)};
  QString format = QStringLiteral("h:mm:ss AP");
  QString separator = QStringLiteral(".");
  QLocale locale{QLocale::English, QLocale::UnitedStates};

  QDateTime Now() const override { return now; }
  QString TimeFormat() const override { return format; }
  QString DecimalSeparator() const override { return separator; }
  QLocale NumberLocale() const override { return locale; }
};

// The first chart pixel of `area`, row by row, that names a source; (-1, -1)
// when there is none.
inline QPoint SourceIn(const Form1& form, QRect area) {
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (form.Chart().PickAt(x, y) > 0) return {x, y};
  return {-1, -1};
}

// Whether `done` comes true within `ms` milliseconds, events handled meanwhile.
inline bool Soon(const std::function<bool()>& done, int ms = 5000) {
  return QTest::qWaitFor(done, ms);
}

// Answers the modal dialog that the next call opens, as its user would.
template <typename Dialog = QWidget, typename Answer>
void AnswerDialog(Answer answer) {
  QTimer::singleShot(0, [answer] {
    auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    answer(dialog);
  });
}

// Clicks the `button` of the dialog's buttons.
inline void Press(QWidget* dialog, QDialogButtonBox::StandardButton button) {
  dialog->findChild<QDialogButtonBox*>()->button(button)->click();
}

}  // namespace skyvane
