// SPDX-License-Identifier: GPL-3.0-or-later
// Peak resident memory of a running window with the shipped catalogue:
// start-up, a minute of fast play and a sweep of readouts.
#include <sys/resource.h>

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
  return mb <= 80 ? 0 : 1;
}
