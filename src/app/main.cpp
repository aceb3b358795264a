// Skyvane: a live sky chart of the radio sources of a catalogue.
#include <QApplication>

#include "app/form1.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Skyvane"));
  QApplication::setOrganizationName(QStringLiteral("Skyvane"));
  skyvane::SystemClock clock;
  skyvane::Form1 form(clock);
  if (!form.Form_Load(QCoreApplication::applicationDirPath())) return 1;
  form.show();
  return QApplication::exec();
}
