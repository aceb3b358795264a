// SPDX-License-Identifier: GPL-3.0-or-later
// Test entry point for everything that draws: Qt's offscreen platform, so no
// display is needed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

// Each test starts as a first start does, with nothing remembered.
class ForgetSettings : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override { QSettings().clear(); }
};

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // Remembered choices go to a scratch place of this process's own, since
  // tests run side by side.
  QStandardPaths::setTestModeEnabled(true);
  QApplication::setOrganizationName(QStringLiteral("Skyvane"));
  QApplication::setApplicationName(
      QStringLiteral("Skyvane-test-%1").arg(QCoreApplication::applicationPid()));
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new ForgetSettings);
  const int result = RUN_ALL_TESTS();
  QFile::remove(QSettings().fileName());
  return result;
}
