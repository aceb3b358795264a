// SPDX-License-Identifier: GPL-3.0-or-later
// Soak run: 100,000 fast-play ticks at rate 30 forwards, then as many
// backwards, on the offscreen platform. Prints resident memory at the start
// and the end and the moments reached, which must match the calendar.
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "bench_support.h"

namespace {

double ResidentMb() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * double(sysconf(_SC_PAGESIZE)) / (1024 * 1024);
}

QDateTime Shown(const skyvane::Form1& form) {
  auto field = [&form](const char* name) {
    return skyvane::Control<QLineEdit>(form, name)->text().toInt();
  };
  const QDate date(field("Text4_2"), field("Text4_0"), field("Text4_1"));
  const QTime time(field("Text3_0"), field("Text3_1"), field("Text3_2"));
  return QDateTime(date, time, Qt::UTC);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  constexpr int kTicks = 100000;
  skyvane::BenchClock clock;
  auto form = skyvane::StartWindow(clock, QStringLiteral(SKYVANE_DATA_DIR));
  if (!form) return 1;
  skyvane::Control<QScrollBar>(*form, "HScroll1")->setValue(30);
  const QDateTime start = Shown(*form);
  const double rss_start = ResidentMb();
  bool ok = true;
  for (int direction : {0, 2}) {
    skyvane::Control<QRadioButton>(*form, direction == 0 ? "Option2_0" : "Option2_2")->click();
    for (int tick = 0; tick < kTicks; ++tick) {
      form->Timer2_Timer();
      if (tick % 1000 == 0) QCoreApplication::processEvents();
    }
    const QDateTime expected = direction == 0 ? start.addSecs(qint64(kTicks) * 30 * 60) : start;
    const QDateTime reached = Shown(*form);
    const bool match = reached == expected;
    ok = ok && match;
    std::printf("%s %d ticks at rate 30: reached %s, calendar says %s   %s\n",
                direction == 0 ? "forwards " : "backwards", kTicks,
                qPrintable(reached.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))),
                qPrintable(expected.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))),
                match ? "ok" : "MISMATCH");
  }
  const double rss_end = ResidentMb();
  const bool steady = rss_end - rss_start < 1.0;
  std::printf(
      "resident memory: %.2f MB at the start, %.2f MB at the end, growth %.2f MB   "
      "budget 1.00 MB   %s\n",
      rss_start, rss_end, rss_end - rss_start, steady ? "ok" : "OVER");
  return ok && steady ? 0 : 1;
}
