// SPDX-License-Identifier: GPL-3.0-or-later
// Shared pieces of the benchmarks: a fixed clock and a main window started
// on a catalogue folder.
#pragma once

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "app/form1.h"

namespace skyvane {

class BenchClock : public Clock {
 public:
  QDateTime Now() const override { return QDateTime(QDate(2024, 6, 21), QTime(22, 30, 0)); }
  QString TimeFormat() const override { return QStringLiteral("HH:mm:ss"); }
  QString DecimalSeparator() const override { return QStringLiteral("."); }
  QLocale NumberLocale() const override { return QLocale::c(); }
};

// The window's control of that object name ("Option2_0" for Option2(0)).
template <typename T>
T* Control(const QWidget& form, const char* name) {
  return form.findChild<T*>(QString::fromLatin1(name));
}

// A main window with a 777 x 513 chart, loaded from `folder`.
inline std::unique_ptr<Form1> StartWindow(const Clock& clock, const QString& folder) {
  auto form = std::make_unique<Form1>(clock);
  form->ShowMessage = [](const QString&) {};
  form->resize(777, 513 + Form1::kBandHeight);
  if (!form->Form_Load({folder.toStdString()})) return nullptr;
  for (auto* timer : form->findChildren<QTimer*>()) timer->stop();
  form->Form_Resize();
  return form;
}

// A folder holding a generated catalogue of `rows` sources spread over the
// sky, their fluxes drawn from the shipped catalogue's so that the discs
// have the sizes a real catalogue gives.
inline QString GeneratedCatalogue(QTemporaryDir& dir, int rows) {
  QList<QByteArray> fluxes;
  QFile shipped(QStringLiteral(SKYVANE_DATA_DIR "/StarData.txt"));
  if (shipped.open(QIODevice::ReadOnly)) {
    shipped.readLine();
    while (!shipped.atEnd()) fluxes << shipped.readLine().split('\t').value(3);
  }
  if (fluxes.isEmpty()) fluxes << "5";
  QFile file(dir.filePath(QStringLiteral("StarData.txt")));
  if (!file.open(QIODevice::WriteOnly)) return {};
  QByteArray text = "Number\tone\tName\tFlux\tfour\tfive\tRA\tDec\tProper Name\r\n";
  unsigned seed = 12345;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) & 0xFFFF;
  };
  for (int i = 1; i <= rows; ++i) {
    const int ra_h = next() % 24, ra_m = next() % 60, dec = int(next() % 88) - 7;
    text += QByteArray::number(i) + "\t\tG" + QByteArray::number(i) + "\t" +
            fluxes[next() % fluxes.size()] + "\t\t\t" + QByteArray::number(ra_h) + "h" +
            QByteArray::number(ra_m) + "'0''\t" + (dec < 0 ? "-" : "+") +
            QByteArray::number(std::abs(dec)) + "*" + QByteArray::number(next() % 60) +
            "'0''\t\r\n";
  }
  file.write(text);
  return dir.path();
}

}  // namespace skyvane
