// SPDX-License-Identifier: GPL-3.0-or-later
// Peak resident memory of a running window with the shipped catalogue:
// start-up, a minute of fast play and a sweep of readouts.
#include <sys/resource.h>

#include <QTemporaryDir>
#include <cstdio>

#include "bench_support.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  skyvane::BenchClock clock;
  auto form = skyvane::StartWindow(clock, QStringLiteral(SKYVANE_DATA_DIR));
  if (!form) return 1;
  form->show();
  skyvane::Control<QRadioButton>(*form, "Option2_0")->click();
  for (int tick = 0; tick < 600; ++tick) form->Timer2_Timer();
  for (int y = 0; y < 500; y += 7) {
    for (int x = 0; x < 777; x += 7) form->Picture1_MouseMove(float(x), float(y));
  }
  QCoreApplication::processEvents();
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const double mb = usage.ru_maxrss / 1024.0;
  std::printf("%-44s %9.1f MB   budget %7.1f MB   %s\n", "peak resident memory, shipped catalogue",
              mb, 80.0, mb <= 80 ? "ok" : "OVER");
  // A table of a million rows, written a line at a time, then opened in
  // place of the catalogue: the peak grows by what the reading holds.
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("big.csv"));
  {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return 1;
    file.write("name,raj2000,dej2000,flux\n");
    for (int i = 0; i < 1000000; ++i) {
      file.write("S" + QByteArray::number(i) + "," + QByteArray::number((i * 7) % 360) + ".5," +
                 QByteArray::number(i % 170 - 80) + ".25," + QByteArray::number(1 + i % 977) +
                 "\n");
    }
  }
  QString report;
  if (!form->OpenCatalogue(QFile::encodeName(path).toStdString(), skyvane::Equinox::kJ2000, &report,
                           false)) {
    return 1;
  }
  getrusage(RUSAGE_SELF, &usage);
  const double growth = usage.ru_maxrss / 1024.0 - mb;
  std::printf("%-44s %9.1f MB   budget %7.1f MB   %s\n",
              "peak growth opening a 1,000,000-row table", growth, 50.0,
              growth <= 50 ? "ok" : "OVER");
  return mb <= 80 && growth <= 50 ? 0 : 1;
}
