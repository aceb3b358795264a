// SPDX-License-Identifier: GPL-3.0-or-later
// The main window driven as a person drives it: controls found by their
// names, keys typed and buttons clicked.
#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>
#include <algorithm>
#include <cmath>

#include <erfa.h>

#include "app/form1.h"
#include "base/numbers.h"
#include "chart/dome_chart.h"
#include "interact/readout.h"
#include "kept_picture.h"
#include "window_helpers.h"

namespace skyvane {
namespace {

class Form1Test : public ::testing::Test {
 protected:
  void Start() {
    form = std::make_unique<Form1>(clock);
    form->ShowMessage = [this](const QString& text) { messages << text; };
    ASSERT_TRUE(form->Form_Load({SKYVANE_DATA_DIR}));
  }
  void TearDown() override {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == "Form2") delete w;
  }
  template <typename T>
  T* Get(const QString& name) const {
    T* control = form->findChild<T*>(name);
    EXPECT_NE(control, nullptr) << name.toStdString();
    return control;
  }
  QLineEdit* Field(const char* name) const { return Get<QLineEdit>(name); }
  void Click(const char* name) const {
    QTest::mouseClick(Get<QAbstractButton>(name), Qt::LeftButton);
  }
  void Type(const char* name, const QString& text) const {
    Field(name)->clear();
    QTest::keyClicks(Field(name), text);
    QTest::keyClick(Field(name), Qt::Key_Return);
  }
  // The moment the settings fields show, "m/d/y h:m:s", and the chosen clock mode.
  QString Moment() const {
    QString text = QStringLiteral("%1/%2/%3 %4:%5:%6");
    for (const char* name : {"Text4_0", "Text4_1", "Text4_2", "Text3_0", "Text3_1", "Text3_2"})
      text = text.arg(Field(name)->text());
    for (int i = 0; i < 3; ++i)
      if (auto* mode = Get<QRadioButton>(QStringLiteral("Option1_%1").arg(i)); mode->isChecked())
        text += " " + mode->text();
    return text;
  }
  bool Following() const { return Get<QTimer>("Timer3")->isActive(); }

  FixedClock clock;
  std::unique_ptr<Form1> form;
  QStringList messages;
};

TEST_F(Form1Test, StartsAtTheComputerClock) {
  Start();
  EXPECT_EQ(Get<QWidget>("DesignArea")->geometry(), QRect(0, form->MenuHeight(), 777, 570));
  EXPECT_EQ(form->Sky().ZoneHours, -5);
  EXPECT_EQ(Moment(), "3/5/2024 3:07:09 PM");  // 15:07:09 in an AM/PM format, as the pass writes it
  EXPECT_EQ(form->Sky().At.Hour, 15);
  EXPECT_TRUE(Following() && Get<QTimer>("Timer2")->isActive());
  // Drawn at the screen's own resolution, in the chart's own pixels.
  EXPECT_EQ(form->Chart().Width(), 777);
  EXPECT_EQ(form->Chart().Picture1.size(), QSize(777, 514) * form->devicePixelRatioF());
  // A part painted again shows the picture's own part, at any pixel ratio.
  const qreal ratio = form->devicePixelRatioF();
  QImage part(QSize(100, 50) * ratio, QImage::Format_RGB32);
  part.setDevicePixelRatio(ratio);
  Get<QWidget>("Picture1")->render(&part, QPoint(), QRegion(300, 380, 100, 50));
  EXPECT_EQ(part, form->Chart().Picture1.copy(QRect(QPoint(300, 380) * ratio, part.size())));
  Type("Text2_0", "-33.9");  // Enter runs a pass, and so does a choice in the zone list
  EXPECT_EQ(form->Sky().Latitude, -33.9);
  Get<QComboBox>("Combo1")->setCurrentIndex(12);
  EXPECT_EQ(form->Sky().ZoneHours, 0);
  // The zone's caption shows by its pointer that a click on it says where the Sun is.
  EXPECT_EQ(Get<QLabel>("Label8")->cursor().shape(), Qt::PointingHandCursor);
  QTest::mouseClick(Get<QLabel>("Label8"), Qt::LeftButton);
  const auto& sun = form->Sources().RaDec[4841];
  EXPECT_EQ(messages.value(0),
            QString::number(sun[0], 'g', 15) + ", " + QString::number(sun[1], 'g', 15));

  form->show();
  Click("Command8");  // "INFO" and Help > Information show the same one window
  form->findChild<QAction*>("actionInformation")->trigger();
  QList<QWidget*> windows;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == "Form2") windows << w;
  ASSERT_EQ(windows.size(), 1);
  auto* text = windows[0]->findChild<QPlainTextEdit*>("Text1");
  // Sixteen lines and the last break, none wrapped.
  EXPECT_EQ(text->document()->documentLayout()->documentSize().height(), 17);
  EXPECT_EQ(text->verticalScrollBar()->maximum(), 0);
  EXPECT_GE(text->font().pixelSize(), 8);
  QPointer<QWidget> info = windows[0];
  info->close();  // and gone, with any edits
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(info);
  form->close();  // closing stops the clock and play
  EXPECT_FALSE(Following() || Get<QTimer>("Timer2")->isActive());
}

// The window at its first start, a zone narrowed to its list's room and the
// Info window as kept. Minimised, a pass still draws the chart, and
// restored, the window lays it out again.
TEST_F(Form1Test, TheWindowLooksAsDesigned) {
  Start();
  form->show();
  LooksAsKept(form->grab().toImage(), "window.png");
  Get<QComboBox>("Combo1")->setCurrentIndex(31);  // +5:45
  LooksAsKept(Get<QComboBox>("Combo1")->grab().toImage(), "zone.png");
  Click("Command8");
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == "Form2") LooksAsKept(w->grab().toImage(), "info.png");
  form->setWindowState(Qt::WindowMinimized);
  const QImage day = form->Chart().Picture1;
  Click("Option2_1");
  Click("Option1_2");
  Type("Text3_0", "0");  // midnight
  EXPECT_NE(form->Chart().Picture1, day);
  form->setWindowState(Qt::WindowNoState);
  const QImage restored = form->Chart().Picture1;
  Click("Command1");
  EXPECT_EQ(form->Chart().Picture1, restored);
}

// The band as kept at each size the window takes, on each screen: the
// design's, a wide window whose texts grow to the largest face the band
// holds, a narrower one with the longest zone narrowed to its list's room,
// and the smallest. The chart takes the width and the height below the band.
TEST_F(Form1Test, TheBandLooksAsKeptAtEverySize) {
  Start();
  form->show();
  const QString screen = form->devicePixelRatioF() == 1 ? "" : "_2x";
  for (QSize size : {QSize(777, 570), QSize(1200, 880), QSize(1000, 880), form->minimumSize()}) {
    const int menu = size == form->minimumSize() ? 0 : form->MenuHeight();
    Get<QComboBox>("Combo1")->setCurrentIndex(size.width() < 1200 && size.width() >= 777 ? 36 : 7);
    form->resize(size.width(), size.height() + menu);
    EXPECT_EQ(Get<QWidget>("Picture1")->geometry(),
              QRect(0, 56, form->width(), form->height() - form->MenuHeight() - 56));
    EXPECT_EQ(form->Chart().HalfWidth, form->width() / 2.0);
    const QRect band(0, 0, form->width(), form->MenuHeight() + 56);
    LooksAsKept(form->grab(band).toImage(), QString("band_%1%2.png").arg(size.width()).arg(screen));
  }
  form->resize(1, 1);  // the smallest window still has a chart of 120 rows
  EXPECT_EQ(Get<QWidget>("Picture1")->size(), QSize(680, 120));
}

TEST_F(Form1Test, TheClockIsFollowedUntilAStepOrAPlayChoice) {
  Start();
  clock.now = QDateTime(QDate(2024, 3, 5), QTime(16, 0, 0));
  form->Timer3_Timer();  // still PM: the tick runs its own pass
  EXPECT_EQ(form->Sky().At.Hour, 16);
  clock.now = QDateTime(QDate(2024, 2, 29), QTime(9, 1, 2));
  form->Timer3_Timer();
  EXPECT_EQ(Moment(), "2/29/2024 9:01:02 AM");
  Click("Option2_1");  // "Stop", although already chosen, stops following
  EXPECT_FALSE(Following());
  Click("Command2");
  EXPECT_TRUE(Following());
  Click("Command3_1");
  EXPECT_FALSE(Following());
  EXPECT_EQ(Moment(), "2/29/2024 9:02:02 AM");

  Get<QComboBox>("Combo2")->setCurrentIndex(0);
  Click("Option1_1");
  EXPECT_EQ(form->Sky().At.Hour, 21);  // the choice runs its own pass
  Click("Option1_2");  // the hour follows the form it is shown in, both ways
  EXPECT_EQ(Field("Text3_0")->text(), "21");
  Click("Option1_1");
  EXPECT_EQ(Field("Text3_0")->text(), "9");
  Type("Text3_0", "11");
  Type("Text3_1", "59");
  Type("Text3_2", "59");
  Click("Command3_1");
  EXPECT_EQ(Moment(), "3/1/2024 12:00:00 AM");
  Click("Command3_0");
  EXPECT_EQ(Moment(), "2/29/2024 11:59:59 PM");
}

TEST_F(Form1Test, PlayTicksCrossNoonAndMidnight) {
  Start();
  EXPECT_EQ(Get<QTimer>("Timer2")->interval(), 100);  // ten ticks a second
  form->Timer2_Timer();  // stopped: nothing happens
  EXPECT_EQ(Moment(), "3/5/2024 3:07:09 PM");
  Get<QScrollBar>("HScroll1")->setValue(99);  // as far as it goes: 30 minutes a tick
  Click("Option1_0");
  Type("Text3_0", "11");
  Type("Text3_1", "45");
  Click("Option2_0");
  Field("Text3_2")->setText("9");
  Click("Command1");  // while playing Refresh runs no pass, which would write "09"
  EXPECT_EQ(Field("Text3_2")->text(), "9");
  form->Timer2_Timer();
  EXPECT_EQ(Moment(), "3/5/2024 12:15:09 PM");
  EXPECT_EQ(form->Sky().At.Hour, 12);  // noon, not midnight
  Click("Option2_2");
  form->Timer2_Timer();
  form->Timer2_Timer();
  EXPECT_EQ(Moment(), "3/5/2024 11:15:09 AM");
  EXPECT_EQ(form->Sky().At.Hour, 11);
  Field("Text4_0")->setText("x");  // a tick the fields cannot take leaves them as typed
  form->Timer2_Timer();
  EXPECT_EQ(Field("Text4_0")->text(), "x");
}

TEST_F(Form1Test, ViewButtonsAndKeysTurnAndRedrawTheChart) {
  Start();
  QWidget* chart = Get<QWidget>("Picture1");
  struct Case { std::function<void()> act; double to; };
  Case cases[] = {
      {[&] { Click("Command4"); }, 359},
      {[&] { Click("Command6"); }, 9},
      {[&] { Click("Command5"); }, 359},
      {[&] { Click("Command7"); }, 0},  // from 359 exactly onto 0
      {[&] { Click("Command6"); }, 10},
      {[&] { Click("Command5"); }, 0},  // and back from 10
      {[&] { QTest::keyClick(chart, Qt::Key_Left, Qt::ControlModifier); }, 0.25},
      {[&] { QTest::keyClick(chart, Qt::Key_Right, Qt::ControlModifier); }, 0},
      {[&] { QTest::keyClick(chart, Qt::Key_Right, Qt::ControlModifier); }, 359.75},
      {[&] { QTest::keyClick(chart, Qt::Key_Left, Qt::ControlModifier); }, 0},
      {[&] { QTest::keyClick(chart, Qt::Key_Left, Qt::ShiftModifier); }, 5},
      {[&] { QTest::keyClick(chart, Qt::Key_Right); }, 4},
      {[&] { QTest::keyClick(chart, Qt::Key_Up); }, 4},
  };
  double previous = 0;
  for (const Case& c : cases) {
    const QImage before = form->Chart().Picture1;
    c.act();
    EXPECT_EQ(form->Chart().ViewAzimuth, c.to);
    EXPECT_EQ(form->Chart().Picture1 != before, c.to != previous) << c.to;
    previous = c.to;
  }
  QTest::keyClick(chart, Qt::Key_X);  // no other key
  QTest::keyClick(chart, Qt::Key_I);  // "I" turns the readout's details off and on
  EXPECT_FALSE(form->State().ShowInfo);
  QTest::keyClick(chart, Qt::Key_I, Qt::ShiftModifier);
  EXPECT_TRUE(form->State().ShowInfo);

  auto* scope = Get<QScrollBar>("VScroll1");
  QTest::keyClick(scope, Qt::Key_Up);  // two at a time
  EXPECT_EQ(scope->value(), 78);
  scope->setValue(40);
  EXPECT_DOUBLE_EQ(form->Chart().ScopeMarkerY, 0.4 * 514);
  scope->setValue(0);  // up to the zenith
  EXPECT_EQ(form->Chart().ScopeMarkerY, 0);
}

TEST_F(Form1Test, TheReadoutComesAndGoes) {
  Start();
  form->show();
  Click("Option2_1");  // a fixed moment: midnight
  Click("Option1_2");
  Type("Text3_0", "0");
  Type("Text3_1", "0");
  const QPoint at = SourceIn(*form, QRect(100, 100, 500, 200));
  ASSERT_GE(at.x(), 0);
  QWidget* chart = Get<QWidget>("Picture1");
  const QImage bold_chart = form->Chart().SwapScreen;
  QTest::mouseMove(chart, at);
  EXPECT_NE(form->Chart().Picture1, form->Chart().SwapScreen);
  EXPECT_FALSE(form->State().BoldChartText);
  QTest::mouseClick(chart, Qt::RightButton, {}, at);  // only the left button counts
  EXPECT_TRUE(form->State().ShowReadout);
  QTest::mouseClick(chart, Qt::LeftButton, {}, at);
  EXPECT_FALSE(form->State().ShowReadout);
  EXPECT_EQ(form->Chart().Picture1, form->Chart().SwapScreen);
  QTest::mouseMove(chart, at + QPoint(1, 0));
  EXPECT_EQ(form->Chart().Picture1, form->Chart().SwapScreen);
  QTest::mouseClick(chart, Qt::LeftButton, {}, at);
  QTest::mouseMove(chart, at);
  EXPECT_NE(form->Chart().Picture1, form->Chart().SwapScreen);
  Click("Command1");  // a pass redraws the chart, readout gone, texts no longer bold
  EXPECT_EQ(form->Chart().Picture1, form->Chart().SwapScreen);
  EXPECT_NE(form->Chart().SwapScreen, bold_chart);
}

TEST_F(Form1Test, TheObserverAndTheViewAreRememberedButNotTheMoment) {
  Start();
  Type("Text2_0", "27.7");
  Type("Text2_1", "85.3");
  Get<QComboBox>("Combo1")->setCurrentIndex(31);
  Click("Option1_2");  // "24"
  Get<QComboBox>("Combo2")->setCurrentIndex(0);  // the list's first unit
  Get<QScrollBar>("HScroll1")->setValue(7);
  Get<QScrollBar>("VScroll1")->setValue(40);
  QTest::keyClick(Get<QWidget>("Picture1"), Qt::Key_Left, Qt::ControlModifier);  // a view below 1°
  form->show();
  form->resize(700, 500);  // the offscreen screen is 800 x 600
  form->move(40, 20);
  Click("Command3_1");  // a day later, and no longer following the clock
  clock.now = QDateTime(QDate(2024, 6, 1), QTime(21, 0, 5));
  Start();
  EXPECT_EQ(Field("Text2_0")->text(), "27.7");
  EXPECT_EQ(Field("Text2_1")->text(), "85.3");
  EXPECT_EQ(Get<QComboBox>("Combo1")->currentText(), "+5:45");
  EXPECT_EQ(form->Sky().ZoneHours, 5.75);
  EXPECT_EQ(Moment(), "6/1/2024 21:00:05 24");  // the clock's moment, in the form chosen
  EXPECT_TRUE(Following());
  EXPECT_EQ(Get<QComboBox>("Combo2")->currentIndex(), 0);
  EXPECT_EQ(form->State().PlayRate, 7);
  EXPECT_EQ(Get<QLabel>("Label12")->text(), "7");
  EXPECT_EQ(Get<QScrollBar>("VScroll1")->value(), 40);
  EXPECT_EQ(form->Chart().ViewAzimuth, 0.25);
  EXPECT_EQ(form->size(), QSize(700, 500));
  EXPECT_EQ(form->pos(), QPoint(40, 20));
  // The marker stands where the scroll bar says on the chart as laid out.
  EXPECT_DOUBLE_EQ(form->Chart().ScopeMarkerY, 0.4 * Get<QWidget>("Picture1")->height());
  // The 12-hour form is kept too, whatever the time format says.
  clock.format = "HH:mm:ss";
  Click("Option1_0");
  Start();
  EXPECT_EQ(Moment(), "6/1/2024 9:00:05 PM");
  clock.now = QDateTime(QDate(2024, 6, 1), QTime(12, 30, 0));
  Start();
  EXPECT_EQ(Moment(), "6/1/2024 12:30:00 PM");  // noon is past the middle of the day
}

TEST_F(Form1Test, AHostileSettingsFileGivesTheDesignsValues) {
  QSettings settings;
  settings.setValue("observer/latitude", QVariantList{1, 2});
  settings.setValue("observer/longitude", QString(100000, '9'));
  settings.setValue("observer/zone", "+99");
  settings.setValue("clock/form", "7");
  settings.setValue("time/stepUnit", -3);
  settings.setValue("play/rate", "1e9");
  settings.setValue("view/scopeElevation", 81);
  settings.setValue("view/azimuth", "nan");
  settings.setValue("window/place", "0,0,1,1");
  settings.setValue("beam/shown", true);  // a width typed, and none kept
  settings.setValue("beam/widthTyped", true);
  settings.sync();
  Start();
  EXPECT_EQ(Field("Text2_0")->text(), "42.2");
  EXPECT_EQ(Field("Text2_1")->text(), "-82.84");
  EXPECT_EQ(Get<QComboBox>("Combo1")->currentText(), "-5");
  EXPECT_EQ(Moment(), "3/5/2024 3:07:09 PM");
  EXPECT_EQ(Get<QComboBox>("Combo2")->currentIndex(), 1);
  EXPECT_EQ(form->State().PlayRate, 1);
  EXPECT_EQ(Get<QScrollBar>("VScroll1")->value(), 80);
  EXPECT_EQ(form->Chart().ViewAzimuth, 0);
  EXPECT_EQ(form->size(), QSize(777, 570 + form->MenuHeight()));
  EXPECT_EQ(form->Chart().BeamWidth, 0);
  // A place the user could have typed is taken as typed: the pass reads it.
  settings.setValue("observer/latitude", "-60 south");
  settings.setValue("observer/longitude", "1e\x1b[2J");
  settings.setValue("window/place", "5,5,99999,99999");
  Start();
  EXPECT_EQ(form->Sky().Latitude, -60);
  EXPECT_EQ(form->size(), QSize(777, 570 + form->MenuHeight()));
  EXPECT_EQ(Field("Text2_1")->text(), "-82.84");
  // The list's first zone is a zone like any; a full turn is no view; a
  // place that is not four numbers is no place.
  settings.setValue("observer/zone", "-12");
  settings.setValue("view/azimuth", "360");
  for (const char* place : {"40,20,700,500,9", "40,20"}) {
    settings.setValue("window/place", place);
    Start();
    EXPECT_EQ(form->size(), QSize(777, 570 + form->MenuHeight())) << place;
  }
  EXPECT_EQ(form->Sky().ZoneHours, -12);
  EXPECT_EQ(form->Chart().ViewAzimuth, 0);
  // A place on a screen no longer there is none.
  settings.setValue("window/place", "5000,5000,700,500");
  Start();
  EXPECT_NE(form->pos(), QPoint(5000, 5000));
  // Half a dish is none: a frequency with no diameter, a diameter with no frequency.
  settings.remove("beam/widthTyped");
  for (auto [key, value] : {std::pair{"beam/frequency", 1420.0}, {"beam/diameter", 1000.0}}) {
    settings.setValue(key, value);
    Start();
    EXPECT_EQ(form->Chart().BeamWidth, 0) << key;
    settings.remove(key);
  }
}

TEST_F(Form1Test, TheComputersZoneFollowsSummerTime) {
  const QByteArray saved_zone = qgetenv("TZ");
  auto computer_zone = [](const char* zone) {
    qputenv("TZ", zone);
    tzset();
  };
  computer_zone("America/New_York");
  clock.now = QDateTime(QDate(2024, 3, 10), QTime(1, 30, 0));  // half an hour before summer time
  clock.format = "HH:mm:ss";
  Start();
  auto* zones = Get<QComboBox>("Combo1");
  zones->setCurrentIndex(12);
  Get<QAction>("actionComputerZone")->trigger();
  EXPECT_EQ(form->Sky().ZoneHours, -5);
  EXPECT_EQ(zones->currentText(), "-5");
  Get<QComboBox>("Combo2")->setCurrentIndex(2);
  Click("Command3_1");
  Click("Command3_1");
  EXPECT_EQ(Moment(), "3/10/2024 3:30:00 24");
  EXPECT_EQ(form->Sky().ZoneHours, -4);
  EXPECT_EQ(form->Sky().UtHours, 7.5);
  EXPECT_EQ(zones->currentText(), "-4");
  Type("Text4_0", "11");
  Type("Text4_1", "3");
  Type("Text3_0", "0");
  Click("Command3_1");
  Click("Command3_1");  // 02:00 on the 3rd of November is standard time again
  EXPECT_EQ(form->Sky().ZoneHours, -5);
  struct Case { const char* zone; QDate date; const char* shown; double hours; };
  Case cases[] = {
      {"Africa/Monrovia", {1970, 1, 1}, "-5", -2670 / 3600.0},  // -0:44:30, in no list
      {"Etc/GMT+12", {2024, 7, 15}, "-12", -12},  // the list's first
      {"Australia/Adelaide", {2024, 7, 15}, "+9:30", 9.5},
      {"Asia/Kathmandu", {2024, 7, 15}, "+5:45", 5.75}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.zone);
    computer_zone(c.zone);
    clock.now = QDateTime(c.date, QTime(12, 0, 0));
    Click("Command2");
    EXPECT_EQ(zones->currentText(), c.shown);
    EXPECT_EQ(form->Sky().ZoneHours, c.hours);
  }
  Start();  // remembered
  zones = Get<QComboBox>("Combo1");
  EXPECT_TRUE(Get<QAction>("actionComputerZone")->isChecked());
  EXPECT_EQ(form->Sky().ZoneHours, 5.75);
  zones->setFocus();
  QTest::keyClick(zones, Qt::Key_Up);  // a zone chosen by hand ends it
  EXPECT_FALSE(Get<QAction>("actionComputerZone")->isChecked());
  EXPECT_EQ(form->Sky().ZoneHours, 5.5);
  if (saved_zone.isNull()) qunsetenv("TZ");
  else qputenv("TZ", saved_zone);
  tzset();
}

// A large file is read beside the window, which keeps its table until the
// new one is whole, and Cancel leaves it untouched.
TEST_F(Form1Test, ALargeTableIsReadBesideTheWindowAndCanBeCancelled) {
  Start();
  // A file of the threshold's size is large.
  form->SetBackgroundReadBytes(QFileInfo(SKYVANE_TEST_DATA "/export.tsv").size());
  bool beside = false;
  QTimer::singleShot(0, [&] { beside = form->findChild<QProgressDialog*>("CatalogueProgress"); });
  QString report;
  ASSERT_TRUE(form->OpenCatalogue(SKYVANE_TEST_DATA "/export.tsv", Equinox::kJ2000, &report));
  EXPECT_TRUE(beside);
  EXPECT_EQ(form->Sources().CatalogText[1][8], "3C 461");
  // A table and a file in the catalogue format, each of a million lines.
  QTemporaryDir dir;
  const std::pair<const char*, QByteArray> files[] = {
      {"big.csv", "RA,Dec,Flux\n" + QByteArray("1.5,2.5,3\n").repeated(1000000)},
      {"big.txt", QByteArray("1\t\t4C\t5\t\t\t1h0'0''\t+2*0'0''\tx\n").repeated(1000000)}};
  for (const auto& [name, bytes] : files) {
    const QString big = dir.filePath(name);
    QFile file(big);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    int ticks = 0;
    QTimer::singleShot(0, [&] {
      auto* progress = form->findChild<QProgressDialog*>("CatalogueProgress");
      ASSERT_NE(progress, nullptr);
      ticks = form->State().PlayRate;  // the window answers meanwhile
      EXPECT_EQ(progress->labelText(), QStringLiteral("Reading %1...").arg(name));
      // the bar moves with the bytes read
      EXPECT_TRUE(Soon([&] { return progress->value() > 0; }));
      EXPECT_LT(progress->value(), progress->maximum());
      progress->cancel();
    });
    EXPECT_FALSE(
        form->OpenCatalogue(QFile::encodeName(big).toStdString(), Equinox::kJ2000, &report));
    EXPECT_TRUE(report.contains("its reading was cancelled")) << name << report.toStdString();
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(form->Sources().CatalogText[1][8], "3C 461");
  }
  // Left alone, the large table is read whole and replaces the one in use.
  ASSERT_TRUE(form->OpenCatalogue(QFile::encodeName(dir.filePath("big.csv")).toStdString(),
                                  Equinox::kJ2000, &report))
      << report.toStdString();
  EXPECT_EQ(form->Sources().LastRow, kMaxCatalogueRows);
}

TEST_F(Form1Test, AUsersOwnCatalogueReplacesTheTableAndIsRemembered) {
  Start();
  form->findChild<QAction*>("actionFollow")->trigger();  // following, with nothing to follow yet
  AnswerDialog<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
  Get<QAction>("actionExportPlan")->trigger();  // opens the plan it would write
  ASSERT_NE(form->Plan(), nullptr);
  QMenu* recent = form->findChild<QMenu*>("menuRecent");
  emit recent->aboutToShow();
  EXPECT_FALSE(recent->isEnabled());  // nothing opened yet
  QString report;
  EXPECT_FALSE(form->OpenCatalogue(SKYVANE_DATA_DIR "/README.md", Equinox::kJ2000, &report));
  EXPECT_TRUE(report.contains("names no right ascension")) << report.toStdString();
  EXPECT_EQ(form->Sources().LastRow, 4841);  // nothing lost
  ASSERT_TRUE(form->FindSource("3c 48"));
  // File > Open, its dialogs answered as a user would: first the equinox
  // the table does not say is asked for, and the user lets go.
  // J2000 is offered first; the second time the user takes B1950.
  for (const bool take : {false, true}) {
    AnswerDialog<QFileDialog>([take](QFileDialog* dialog) {
      dialog->selectFile(SKYVANE_TEST_DATA "/targets.csv");
      AnswerDialog<QInputDialog>([take](QInputDialog* asked) {
        EXPECT_EQ(asked->textValue(), "J2000");
        asked->setTextValue("B1950");
        take ? asked->accept() : asked->reject();
      });
      static_cast<QDialog*>(dialog)->accept();
    });
    form->findChild<QAction*>("actionOpenCatalogue")->trigger();
    EXPECT_EQ(form->Sources().LastRow == 4841, !take);
  }
  report = messages.value(0);
  EXPECT_TRUE(
      report.contains("semicolon-separated table, positions for B1950: 5 lines read, 4 kept"))
      << report.toStdString();
  EXPECT_EQ(form->Sources().LastRow, 5);
  EXPECT_EQ(form->Sources().CatalogText[1][8], "Virgo A; M87");
  // Nothing of the old table answers the pointer, wherever its sources were.
  const std::vector<int32_t>& cells = form->Chart().PickMap;
  EXPECT_LT(*std::max_element(cells.begin(), cells.end()), form->Sources().RowCount());
  EXPECT_EQ(form->FindNote(), "");  // what was found in the old table is gone with it
  EXPECT_EQ(form->Chart().FoundRow, 0);
  // The plan follows: four sources and the Sun, each named once.
  QAbstractItemModel* planned = form->Plan()->SourcesView->model();
  EXPECT_EQ(planned->rowCount(), 5);
  EXPECT_EQ(planned->index(2, 0).data().toString(), "3C 273");
  EXPECT_EQ(form->windowTitle(), "Skyvane - targets.csv");
  // Positions of date turn the new table's rows, from their own equinox.
  const auto as_given = form->Sources().AzAlt[1];
  Get<QAction>("actionPositionsOfDate")->trigger();
  const double moved = std::fabs(form->Sources().AzAlt[1][1] - as_given[1]);
  EXPECT_TRUE(moved > 0.5 && moved < 1.2) << moved;  // some 74 years of precession
  const auto of_date = form->Sources().AzAlt[1];
  Get<QAction>("actionBrightestSources")->trigger();  // read again, from B1950 still
  EXPECT_EQ(form->Sources().AzAlt[1], of_date);
  Get<QAction>("actionBrightestSources")->trigger();
  EXPECT_EQ(form->windowTitle(), "Skyvane - targets.csv   (positions for the observing date)");
  Get<QAction>("actionPositionsOfDate")->trigger();
  EXPECT_FALSE(form->findChild<QAction*>("actionFollow")->isChecked());  // no old row followed
  const auto last = Form1::LastCatalogue();
  ASSERT_TRUE(last.has_value());
  EXPECT_EQ(last->first.filename(), "targets.csv");
  EXPECT_EQ(last->second, Equinox::kB1950);
  QStringList older = QSettings().value("catalogue/recent").toStringList();
  for (int i = 0; i < 8; ++i) older << QString("/old/%1.csv").arg(i);
  QSettings().setValue("catalogue/recent", older);
  ASSERT_TRUE(form->OpenCatalogue(SKYVANE_TEST_DATA "/export.tsv", Equinox::kJ2000, &report));
  AnswerDialog<QMessageBox>([](QMessageBox* about) {  // Help > About names the table in use
    EXPECT_TRUE(about->text().contains("7 lines read, 6 kept")) << about->text().toStdString();
    about->accept();
  });
  Get<QAction>("actionAbout")->trigger();
  emit recent->aboutToShow();  // the list is made afresh each time the menu opens:
  emit recent->aboutToShow();  // the newest six
  ASSERT_EQ(recent->actions().size(), 6);
  EXPECT_TRUE(recent->actions()[1]->text().endsWith("targets.csv"));
  // That table does not say its equinox: reopening it asks again.
  int asked = 0;
  form->AskEquinox = [&]() -> std::optional<Equinox> {
    return ++asked == 1 ? std::nullopt : std::optional(Equinox::kB1950);
  };
  recent->actions()[1]->trigger();  // and the user cancels
  EXPECT_EQ(form->Sources().CatalogText[1][8], "3C 461");
  recent->actions()[1]->trigger();
  EXPECT_EQ(asked, 2);
  QStringList listed = QSettings().value("catalogue/recent").toStringList();
  EXPECT_EQ(listed.removeDuplicates(), 0);  // what is opened again moves to the top
  EXPECT_TRUE(messages.last().contains("positions for B1950")) << messages.last().toStdString();
  // One that has become unusable is passed over at the next start, and said so.
  QSettings().setValue("catalogue/last", QStringLiteral(SKYVANE_DATA_DIR "/README.md"));
  const auto last_file = Form1::LastCatalogue();
  ASSERT_TRUE(last_file.has_value());
  form = std::make_unique<Form1>(clock);
  form->ShowMessage = [this](const QString& text) { messages << text; };
  ASSERT_TRUE(form->Form_Load({SKYVANE_DATA_DIR}, last_file->first));
  EXPECT_EQ(form->Sources().LastRow, 4841);
  EXPECT_EQ(messages.last(), "Nothing to draw in\n" SKYVANE_DATA_DIR
                             "/README.md\nUsing " SKYVANE_DATA_DIR "/StarData.txt instead.");
  EXPECT_EQ(form->windowTitle(), "4C Skyvane");
  AnswerDialog<QMessageBox>([](QMessageBox* about) {  // and About names it
    EXPECT_TRUE(about->text().contains("StarData.txt")) << about->text().toStdString();
    about->accept();
  });
  Get<QAction>("actionAbout")->trigger();
}

// The row of the shipped catalogue whose name is `name`.
int RowNamed(const Form1& form, const char* name) {
  const SourceTable& table = form.Sources();
  for (int r = 1; r < table.RowCount(); ++r)
    if (table.CatalogText[r][8] == name) return r;
  return 0;
}

TEST_F(Form1Test, FindingASourceTurnsTheViewToItAndMakesItTheTarget) {
  Start();
  form->show();
  Get<QAction>("actionBrightestSources")->setChecked(true);  // Cas A and Cyg A among them
  const int cyg = RowNamed(*form, "3c405"), cas = RowNamed(*form, "3c461");
  ASSERT_TRUE(form->FindSource("cyg a"));
  EXPECT_EQ(form->Chart().FoundRow, cyg);
  const double bearing = 360 - form->Sources().AzAlt[cyg][0];
  EXPECT_NEAR(form->Chart().ViewAzimuth, bearing, 0.005);
  // A ring of its own round the disc, on the centre line.
  const auto [x, y] = form->Chart().ScreenPos[cyg];
  EXPECT_NEAR(x, form->Chart().Width() / 2.0, 1);
  const QImage shown = form->Chart().SwapScreen;
  double flux = form->Sources().Flux[cyg];
  float radius = 0;
  FluxStyle(flux, form->Chart().SymbolScale, radius);
  const QPoint ring(x + static_cast<int>(std::lround(radius + 5)), y);
  EXPECT_EQ(shown.pixelColor(ring * form->devicePixelRatioF()), QColor(255, 80, 80));
  // "/" on the chart asks; a place in J2000 finds the B1950 row nearest it.
  AnswerDialog<QDialog>([](QDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Find Source");
    EXPECT_TRUE(dialog->findChild<QLineEdit*>()->placeholderText().contains("19 59 28 +40"));
    QCompleter* names = dialog->findChild<QLineEdit*>()->completer();
    names->setCompletionPrefix("C405");  // within names as the table writes them, in any case
    EXPECT_GT(names->completionCount(), 0);
    dialog->findChild<QLineEdit*>()->setText("23 23 24 +58 48 54");
    Press(dialog, QDialogButtonBox::Ok);
    if (dialog->isVisible()) dialog->reject();
  });
  QTest::keyClick(Get<QWidget>("Picture1"), Qt::Key_Slash);
  EXPECT_EQ(form->Chart().FoundRow, cas);
  AnswerDialog<QDialog>([](QDialog* dialog) {  // Cancel finds nothing, whatever was typed
    dialog->findChild<QLineEdit*>()->setText("cyg a");
    Press(dialog, QDialogButtonBox::Cancel);
    EXPECT_FALSE(dialog->isVisible());
    dialog->reject();
  });
  form->findChild<QAction*>("actionFindSource")->trigger();
  EXPECT_EQ(form->Chart().FoundRow, cas);
  EXPECT_TRUE(form->findChild<QLabel*>("AntennaStatus")->toolTip().startsWith("3c461"));
  // The found source is what the antenna's Point acts on.
  form->findChild<QAction*>("actionPoint")->trigger();
  EXPECT_TRUE(form->AntennaNote().contains("not connected") || form->AntennaNote().isEmpty());
  // Below the horizon the status says when it rises and how high it gets.
  ASSERT_TRUE(form->FindSource("vir a"));
  const int vir = form->Chart().FoundRow;
  ASSERT_LT(form->Sources().AzAlt[vir][1], 0);
  EXPECT_EQ(form->FindNote(),
            "3c274 is below the horizon: rises 19:15, transits 6 Mar 02:01 at 60.5°");
  EXPECT_FALSE(form->FindSource("00 00 00 +89 30 00"));
  EXPECT_EQ(form->FindNote(), "no source within 1° of that place");
  EXPECT_FALSE(form->FindSource("Nowhere A"));
  EXPECT_EQ(form->FindNote(), "no source is called \"Nowhere A\"");
  EXPECT_EQ(form->Chart().FoundRow, vir);  // kept until another is found, or Esc
  Type("Text2_0", "89");  // by the pole the southernmost source never rises
  const auto& places = form->Sources().RaDec;  // the Sun, after the last row, left out
  const auto* south = std::min_element(&places[1], &places[form->Sources().LastRow + 1],
                                       [](const auto& a, const auto& b) { return a[1] < b[1]; });
  ASSERT_TRUE(
      form->FindSource(QString::fromStdString(form->Sources().CatalogText[south - &places[0]][8])));
  EXPECT_EQ(form->FindNote(), "-06.22 never rises here (highest -6.0°)");
  Get<QAction>("actionBrightestSources")->setChecked(false);
  EXPECT_FALSE(form->FindSource("cyg a"));  // above 1000 Jy, and the item that brings it back
  EXPECT_TRUE(form->FindNote().endsWith("(View > Brightest Sources adds those above 1000 Jy)"));
  form->FindSource("3c 48");
  const QString found = form->FindNote();
  EXPECT_TRUE(!found.isEmpty() && Get<QLabel>("AntennaStatus")->toolTip().contains(found));
  QTest::keyClick(Get<QWidget>("Picture1"), Qt::Key_Escape);
  EXPECT_EQ(form->Chart().FoundRow, 0);
  EXPECT_EQ(form->FindNote(), "");
  EXPECT_FALSE(Get<QLabel>("AntennaStatus")->toolTip().contains(found));  // nor the menu bar
  const auto* pixels = reinterpret_cast<const QRgb*>(form->Chart().SwapScreen.constBits());
  const auto size = form->Chart().SwapScreen.width() * form->Chart().SwapScreen.height();
  EXPECT_EQ(std::count(pixels, pixels + size, qRgb(255, 80, 80)), 0);  // no ring left
}

TEST_F(Form1Test, ThePlanGoesToATransitAndExportsWhatItShows) {
  Start();
  Get<QAction>("actionBrightestSources")->setChecked(true);
  form->show();
  QApplication::setActiveWindow(form.get());
  QTest::keyClick(form.get(), Qt::Key_L, Qt::ControlModifier);  // View > Plan
  PlanWindow* plan = form->Plan();
  ASSERT_NE(plan, nullptr);
  QAbstractItemModel* shown = plan->SourcesView->model();
  EXPECT_EQ(shown->rowCount(), 4845);  // every source and the Sun
  plan->SourcesView->selectRow(0);
  Click("Command6");  // at the plan's very start, a turned view keeps the sources' table
  EXPECT_TRUE(plan->SourcesView->selectionModel()->isRowSelected(0));
  plan->FilterText->setText("3c 405");
  ASSERT_EQ(shown->rowCount(), 1);
  EXPECT_EQ(plan->Count->text(), "1 of 4845");
  EXPECT_EQ(shown->index(0, 0).data().toString(), "3c405 (+40.40)");
  EXPECT_EQ(shown->index(0, 1).data().toString(), "8700.0");
  // Its transit, from the row to the fields: the clock held, the source at
  // its highest and found.
  const int cyg = RowNamed(*form, "3c405");
  const QString transit = shown->index(0, 4).data().toString();
  const double highest = shown->index(0, 5).data(Qt::UserRole).toDouble();
  plan->GoToLine(0, 0, 4);
  EXPECT_FALSE(Following());
  EXPECT_EQ(Moment().section(' ', 1, 1).left(transit.size() - transit.indexOf(':') + 1).right(3),
            transit.right(3));
  EXPECT_NEAR(form->Sources().AzAlt[cyg][1], highest, 0.01);
  EXPECT_EQ(form->Chart().FoundRow, cyg);
  EXPECT_NEAR(form->Chart().ViewAzimuth, 360 - form->Sources().AzAlt[cyg][0], 0.006);
  const QString rise = shown->index(0, 3).data().toString();  // a click on the rise goes there
  plan->GoToLine(0, 0, 3);
  EXPECT_EQ(QTime(form->Sky().At.Hour, form->Sky().At.Minute).toString("HH:mm"), rise.right(5));
  plan->FilterText->setText(QString::fromStdString(form->Sources().CatalogText[1][8]));
  plan->GoToLine(0, 0, 4);  // the table's first source
  EXPECT_EQ(form->Chart().FoundRow, 1);
  plan->FilterText->setText("3c 405");
  // Within its 24 hours the plan stands, a new beam direction included; a
  // new place makes a new one.
  const QString heading = plan->Heading->text();
  plan->SourcesView->selectRow(0);
  Click("Command3_1");
  Click("Command6");
  EXPECT_EQ(plan->Heading->text(), heading);
  EXPECT_TRUE(plan->SourcesView->selectionModel()->isRowSelected(0));  // the same table, kept
  // Its altitude now follows, within a second, with the clock held.
  const double now = form->Sources().AzAlt[cyg][1];
  EXPECT_TRUE(Soon([&] { return shown->index(0, 8).data(Qt::UserRole) == now; }, 3000));
  EXPECT_EQ(shown->index(0, 4).data().toString(), transit);
  Type("Text4_1", QString::number(static_cast<int>(form->Sky().At.Day) + 1));
  EXPECT_NE(plan->Heading->text(), heading);
  Type("Text2_1", "0");
  Get<QComboBox>("Combo1")->setCurrentIndex(31);
  Type("Text2_0", "-33.9");
  EXPECT_TRUE(plan->Heading->text().startsWith("33.90° S, 0.00° E, UTC+5:45:"))
      << plan->Heading->text().toStdString();
  plan->FilterText->clear();
  plan->FilterUpNow->setChecked(true);  // up now, as the chart has it, on the horizon too
  int up = 0;
  for (int r = 1; r <= form->Sources().LastRow; ++r) up += form->Sources().AzAlt[r][1] >= 0;
  EXPECT_EQ(shown->rowCount(), up);
  plan->ShowAltitudes(std::vector<std::array<double, 2>>(5000, {0, 0}));
  EXPECT_EQ(shown->rowCount(), 4845);
  plan->ShowAltitudes(form->Sources().AzAlt);
  plan->FilterUpNow->setChecked(false);
  // Antenna > Minimum Elevation: the plan follows at once
  AnswerDialog<QInputDialog>([](QInputDialog* dialog) {
    dialog->setDoubleValue(60);
    dialog->accept();
  });
  Get<QAction>("actionMinimumElevation")->trigger();
  int high = 0;
  for (int r = 0; r < shown->rowCount(); ++r)
    high += shown->index(r, 5).data(Qt::UserRole).toDouble() >= 60;
  plan->FilterReaches->setChecked(true);
  EXPECT_EQ(shown->rowCount(), high);
  EXPECT_GT(high, 0);
  plan->FilterReaches->setChecked(false);
  QSettings().remove("antenna/minimumElevation");

  // Exported as shown: the sources above 500 Jy, the brightest first.
  plan->FilterFlux->setValue(500);
  ASSERT_GT(shown->rowCount(), 1);
  plan->SourcesView->sortByColumn(1, Qt::DescendingOrder);
  // File > Export Plan: a dialog closed writes nothing and says nothing.
  const QString path = QDir::temp().filePath("skyvane_plan_test.csv");
  auto export_to = [&](const QString& file) {
    AnswerDialog<QFileDialog>([file](QFileDialog* dialog) {
      if (file.isEmpty()) return dialog->reject();
      dialog->selectFile(file);
      QMetaObject::invokeMethod(dialog, "accept");
    });
    Get<QAction>("actionExportPlan")->trigger();
  };
  const qsizetype said = messages.size();
  export_to("");
  export_to(path);
  EXPECT_EQ(messages.size(), said);
  export_to("/proc/skyvane_plan.csv");  // a place nobody may write: the user is told
  // File dialogs open where the last one was left: not there.
  QSettings("QtProject").setValue("FileDialog/lastVisited",
                                  QUrl::fromLocalFile(QDir::tempPath()).toString());
  ASSERT_EQ(messages.size(), said + 1);
  EXPECT_TRUE(messages.last().startsWith("/proc/skyvane_plan.csv cannot be written"))
      << messages.last().toStdString();
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
  file.remove();
  ASSERT_EQ(lines.size(), shown->rowCount() + 1);
  EXPECT_TRUE(lines[1].startsWith("Sun,")) << lines[1].toStdString();

  // An observer past the pole gets the reason, not a plan.
  Type("Text2_0", "95");
  EXPECT_EQ(plan->SourcesView->model()->rowCount(), 0);
  EXPECT_EQ(plan->DriftView->model()->rowCount(), 0);
  for (const QLabel* said : {plan->Heading, plan->DriftHeading})
    EXPECT_TRUE(said->text().contains("must lie between")) << said->text().toStdString();
  // A large table is planned beside the window, to the same result.
  Type("Text2_0", "52");
  const int rows = shown->rowCount();
  plan->SetBackgroundRows(0);
  Type("Text2_0", "0.4");
  EXPECT_TRUE(plan->Computing());
  EXPECT_EQ(plan->Count->text(), "computing...");
  ASSERT_TRUE(Soon([&] { return !plan->Computing(); }));
  EXPECT_EQ(shown->rowCount(), rows);
  EXPECT_TRUE(plan->Heading->text().startsWith("0.40° N"));
  // A line past the last goes nowhere.
  const QString before = Moment();
  plan->GoToLine(0, shown->rowCount(), 4);
  EXPECT_EQ(Moment(), before);
  for (const int hour : {9, 21}) {  // the other half of the day: AM and PM follow
    form->GoToMoment({3, 6, 2024, hour, 30, 0}, 0);
    EXPECT_EQ(form->Sky().At.Hour, hour);
  }
  // Closed while steps wait to show their altitudes: nothing is shown into it.
  for (int step = 0; step < 3; ++step) Click("Command3_1");
  plan->close();
  QTest::qWait(1100);
  EXPECT_EQ(form->Plan(), nullptr);
  Get<QAction>("actionPlan")->trigger();  // opened again, and planned again
  EXPECT_EQ(form->Plan()->SourcesView->model()->rowCount(), 4845);
}

TEST_F(Form1Test, TheBeamIsDrawnAndTheDriftListGoesToAPassage) {
  Start();
  // diameter, frequency, the width typed (-1: none), none of which makes a beam
  const std::tuple<double, double, double> no_beams[] = {
      {0, 1420, -1}, {-2, 1420, -1}, {3, -5, -1}, {3, 1420, 0}, {3, 1420, 180}, {0.01, 1, -1}};
  for (auto [diameter, frequency, width] : no_beams) {
    const auto typed = width < 0 ? std::nullopt : std::optional<double>(width);
    EXPECT_NE(form->SetBeam(diameter, frequency, typed, true), "") << diameter << " " << frequency;
    EXPECT_EQ(form->Chart().BeamWidth, 0);
  }
  Get<QAction>("actionPlan")->trigger();
  EXPECT_TRUE(form->Plan()->isVisible());
  EXPECT_TRUE(form->Plan()->DriftHeading->text().contains("Antenna > Beam"));
  // The dialog shows the width its diameter and frequency give, as they change.
  AnswerDialog([this](QWidget* dialog) {
    auto* computed = dialog->findChild<QLabel*>("computed");
    EXPECT_EQ(computed->text(), "4.92°");  // first offered: 3 m at 1420.4 MHz
    EXPECT_FALSE(dialog->findChild<QDoubleSpinBox*>("width")->isEnabled());
    dialog->findChild<QDoubleSpinBox*>("diameter")->setValue(10);
    EXPECT_EQ(computed->text(), "1.48°");  // at 1420.4 MHz
    dialog->findChild<QDoubleSpinBox*>("frequency")->setValue(408);
    EXPECT_EQ(computed->text(), "5.14°");
    dialog->findChild<QDoubleSpinBox*>("diameter")->setValue(0);  // refused: the dialog stays
    EXPECT_EQ(computed->text(), "none for these values");
    Press(dialog, QDialogButtonBox::Ok);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(messages.value(0).startsWith("No beam for a dish of 0 m at 408 MHz"));
    dialog->findChild<QDoubleSpinBox*>("diameter")->setValue(3);
    dialog->findChild<QDoubleSpinBox*>("frequency")->setValue(1420.405751);
    EXPECT_EQ(computed->text(), "4.92°");
    EXPECT_FALSE(dialog->findChild<QDoubleSpinBox*>("width")->isEnabled());
    dialog->findChild<QCheckBox*>("shown")->setChecked(true);
    Press(dialog, QDialogButtonBox::Ok);
  });
  const QImage no_beam = form->Chart().Picture1;
  form->findChild<QAction*>("actionBeam")->trigger();
  EXPECT_NEAR(form->Chart().BeamWidth, 4.925, 0.001);
  EXPECT_NE(form->Chart().Picture1, no_beam);  // drawn at once, and planned
  EXPECT_FALSE(form->Plan()->DriftHeading->text().contains("Antenna > Beam"));
  Get<QScrollBar>("VScroll1")->setValue(40);
  QAbstractItemModel* drift = form->Plan()->DriftView->model();
  ASSERT_GT(drift->rowCount(), 0);
  for (int r = 0; r < drift->rowCount(); ++r)
    EXPECT_LE(drift->index(r, 4).data(Qt::UserRole).toDouble(), 4.925 / 2);
  form->Plan()->DriftView->selectRow(0);
  Click("Command3_1");  // the dish and the day stay: the same list, its line still chosen
  EXPECT_TRUE(form->Plan()->DriftView->selectionModel()->isRowSelected(0));
  // At the closest approach the source stands near the beam's centre: on the
  // centre line, at the marker's elevation. Off the meridian, where sources
  // cross the beam at the azimuths they came in at.
  Click("Command6");
  Click("Command6");
  const double view = form->Chart().ViewAzimuth;
  const QString name = drift->index(0, 0).data().toString();
  const QString closest = drift->index(0, 3).data().toString();
  const double separation = drift->index(0, 4).data(Qt::UserRole).toDouble();
  form->Plan()->GoToLine(1, 0, 0);
  EXPECT_EQ(QTime(form->Sky().At.Hour, form->Sky().At.Minute).toString("HH:mm"), closest.right(5));
  const int row = form->Chart().FoundRow;
  ASSERT_GT(row, 0);
  EXPECT_EQ(form->Chart().ViewAzimuth, view);  // the dish stays where it points
  const auto& az_alt = form->Sources().AzAlt[row];
  const double elevation =
      2 * std::atan(1 - form->Chart().ScopeMarkerY / form->Chart().HorizonY) / kDegree;
  const double apart = eraSeps((360 - az_alt[0]) * kDegree, az_alt[1] * kDegree, view * kDegree,
                               elevation * kDegree);
  EXPECT_NEAR(apart / kDegree, separation, 0.05) << name.toStdString();
  // Remembered: the next window draws the same beam. The plan's window goes
  // with the chart's.
  const QPointer<PlanWindow> plan = form->Plan();
  Start();
  EXPECT_TRUE(plan.isNull());
  EXPECT_NEAR(form->Chart().BeamWidth, 4.925, 0.001);
}

// Five made-up sources at 52 N from 20:00 on 8 Dec 2026 in a zone of +12:45,
// and a dish fixed on the meridian at 60 degrees: both tabs as kept, each
// kind of cell, the filters and counts, where a line goes, and the export.
TEST(PlanWindowTest, ShowsEachKindOfDayAndGoesWhereTheLineSays) {
  PlanInputs in;
  in.Start = {52, 0, 9837.8};
  in.StartMoment = {12, 8, 2026, 20, 0, 0};
  in.ZoneHours = 12.75;
  in.MinElevation = 60;
  in.RaDec = {{0, 0}, {0, 80}, {90, -60}, {30, 10}, {0, 0}, {180, 20}};
  in.Names = {"", "alpha", "Beta \"B\", south", "gamma", "Sun", "delta"};
  in.FluxTexts = {"", "12.5", "3", "40", "", "7.25"};
  in.SunRow = 4;
  in.BeamAzimuth = 180;
  in.BeamAltitude = 60;
  in.BeamWidth = 5;
  in.Place = "Here";
  PlanWindow plan;
  QStringList went;
  plan.GoTo = [&](const Moment& at, int row, bool turn_view) {
    const char* dish = turn_view ? "" : " fixed";
    went << QString::asprintf("%g %d:%d row %d%s", at.Day, at.Hour, at.Minute, row, dish);
  };
  plan.Compute(in);
  QApplication::setCursorFlashTime(0);  // the picture must not catch the cursor blinking
  plan.show();
  QTest::qWait(0);
  LooksAsKept(plan.grab().toImage(), "plan.png");
  EXPECT_EQ(plan.windowTitle(), "Plan - Skyvane");
  EXPECT_EQ(plan.Count->text(), "5 of 5");
  EXPECT_TRUE(plan.FilterText->isClearButtonEnabled());
  const QStringList expected[] = {
      {"alpha", "12.5", "80.00", "always up", "20:00", "62.00", "always up", "4:24", "62.00"},
      {"Beta \"B\", south", "3", "-60.00", "never up", "9 Dec 01:59", "-22.00", "never up", "0:00",
       "-43.03"},
      {"gamma", "40", "10.00", "9 Dec 15:04", "21:59", "48.00", "9 Dec 04:50", "0:00", "41.45"},
      {"Sun", "", "-22.72", "9 Dec 09:10", "9 Dec 13:00", "15.21", "9 Dec 16:50", "0:00", "-26.82"},
      {"delta", "7.25", "20.00", "9 Dec 00:08", "9 Dec 07:58", "58.00", "9 Dec 15:47", "0:00",
       "-18.00"}};
  QAbstractItemModel* shown = plan.SourcesView->model();
  ASSERT_EQ(shown->rowCount(), 5);
  for (int r = 0; r < 5; ++r)
    for (int c = 0; c < shown->columnCount(); ++c)
      EXPECT_EQ(shown->index(r, c).data().toString(), expected[r][c]) << r << " " << c;
  EXPECT_EQ(shown->headerData(7, Qt::Horizontal).toString(), "Above minimum (h:mm)");
  // A click on a cell chooses its whole line.
  const QRect cell = plan.SourcesView->visualRect(shown->index(1, 2));
  QTest::mouseClick(plan.SourcesView->viewport(), Qt::LeftButton, {}, cell.center());
  EXPECT_TRUE(plan.SourcesView->selectionModel()->isRowSelected(1));
  // Altitudes for fewer rows than the plan's leave the others as they were.
  plan.ShowAltitudes({{0, 0}, {0, 10}, {0, 20}});
  EXPECT_EQ(shown->index(1, 8).data().toString(), "20.00");
  EXPECT_EQ(shown->index(2, 8).data().toString(), "41.45");
  // A time that is none goes to the line's transit; the drift list's dish stays.
  plan.SourcesView->setCurrentIndex(shown->index(0, 3));
  QTest::keyClick(plan.SourcesView, Qt::Key_Return);
  plan.GoToLine(0, 2, 6);
  plan.GoToLine(1, 0, 0);
  plan.GoToLine(0, -1, 4);  // no line
  EXPECT_EQ(went, QStringList({"8 20:0 row 1", "9 4:50 row 3", "9 7:58 row 5 fixed"}));

  // The beam's altitude is the minimum: what drifts through it rises high enough.
  plan.FilterText->setText("BETA");
  EXPECT_EQ(plan.Count->text(), "1 of 5");
  plan.FilterText->clear();
  plan.FilterFlux->setValue(12.5);  // alpha's own flux, and the Sun's that has none
  EXPECT_EQ(plan.Count->text(), "3 of 5");
  plan.FilterFlux->setValue(0);
  plan.FilterText->clear();
  plan.FilterReaches->setChecked(true);
  EXPECT_EQ(plan.Count->text(), "1 of 5");
  plan.Tabs->setCurrentIndex(1);
  EXPECT_EQ(plan.Count->text(), "1 of 1");
  LooksAsKept(plan.grab().toImage(), "drift.png");
  plan.FilterUpNow->setChecked(true);
  EXPECT_EQ(plan.Count->text(), "0 of 1");
  plan.FilterUpNow->setChecked(false);
  const QString path = QDir::temp().filePath("skyvane_plan_window_test.csv");
  auto exported = [&] {
    EXPECT_EQ(plan.ExportCsv(path), "");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
  };
  QStringList lines = exported();
  ASSERT_EQ(lines.size(), 2);
  EXPECT_EQ(lines[0], "Name,Flux (Jy),Dec (deg),Closest approach (local),"
                      "Closest approach (UTC),Separation (deg),Crossing (min)");
  EXPECT_EQ(lines[1], "delta,7.25,20.00,9 Dec 07:58,2026-12-08T19:13:02Z,2.00,12.8");
  // A full disk: the write fails only when it is flushed.
  EXPECT_TRUE(plan.ExportCsv("/dev/full").startsWith("/dev/full cannot be written"));
  // Headings longer than the window wrap rather than widen it.
  auto one_line = [](const QLabel* label) {
    return label->fontMetrics().horizontalAdvance(label->text());
  };
  EXPECT_LT(plan.minimumSizeHint().width(), one_line(plan.DriftHeading));
  plan.Tabs->setCurrentIndex(0);
  plan.FilterReaches->setChecked(false);
  lines = exported();
  QFile::remove(path);
  ASSERT_EQ(lines.size(), 6);
  EXPECT_TRUE(lines[2].startsWith("\"Beta \"\"B\"\", south\",3,-60.00,never up,,9 Dec 01:59,"))
      << lines[2].toStdString();
  // A user sorts by name with a click on its header, without regard to case.
  QHeaderView* header = plan.SourcesView->horizontalHeader();
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(4, 4));
  QStringList names;
  for (int r = 0; r < 5; ++r) names << shown->index(r, 0).data().toString().left(5);
  if (names.first() == "Sun") std::reverse(names.begin(), names.end());
  EXPECT_EQ(names, QStringList({"alpha", "Beta ", "delta", "gamma", "Sun"}));
  // By the time of rising: those that never rise or never set come last.
  plan.SourcesView->sortByColumn(3, Qt::AscendingOrder);
  names.clear();
  for (int r = 0; r < 3; ++r) names << shown->index(r, 0).data().toString();
  EXPECT_EQ(names, QStringList({"delta", "Sun", "gamma"}));

  // On the pole nothing transits: a line there goes nowhere. A table of
  // the background's size is still planned at once.
  in.Start.Latitude = 90;
  plan.SetBackgroundRows(static_cast<int>(in.RaDec.size()));
  plan.Compute(in);
  EXPECT_FALSE(plan.Computing());
  plan.GoToLine(0, 0, 4);
  EXPECT_EQ(went.size(), 3);
  in.Start.Latitude = 52;

  // Nothing to plan, west of Greenwich: the reasons.
  in.RaDec.resize(1);
  in.ZoneHours = -10;
  in.BeamWidth = 0.5;  // a large dish's narrow beam is still a beam
  plan.Compute(in);
  EXPECT_EQ(plan.Heading->text(),
            "Here, UTC-10:00: the 24 hours from Tue 8 Dec 2026 20:00, "
            "minimum elevation 60.0°.  The catalogue in use has no sources.");
  EXPECT_LT(plan.minimumSizeHint().width(), one_line(plan.Heading));
  EXPECT_EQ(plan.DriftHeading->text(), "Nothing passes through the beam in these 24 hours.");
  in.ZoneHours = 0;  // UTC itself is written with a plus
  plan.Compute(in);
  EXPECT_TRUE(plan.Heading->text().startsWith("Here, UTC+0:00:"))
      << plan.Heading->text().toStdString();
}

TEST(TimeDesignator, FollowsTheEndOfTheTimeFormat) {
  struct Case { const char* format; QTime time; const char* expected; };
  Case cases[] = {
      {"h:mm:ss AP", QTime(15, 7, 9), "PM"}, {"h:mm AP", QTime(0, 30), "AM"},
      {"h:mm:ss ap t", QTime(12, 0), "PM"}, {"HH:mm:ss", QTime(15, 7, 9), "09"},
      {"AP h:mm", QTime(15, 7), "07"}};
  for (const Case& c : cases)
    EXPECT_EQ(TimeDesignator(c.time, QString::fromLatin1(c.format)), c.expected) << c.format;
}

// The menus as the user reads them: entries, their keys, the groups between
// separators ("-").
TEST_F(Form1Test, TheMenusReadAsTheManualSays) {
  Start();
  const QStringList menus = {
      "&File: &Open Catalogue...[Ctrl+O] Open &Recent - &Export Plan... - &Quit",
      "&Edit: &Find Source...[Ctrl+F]",
      "&View: &Positions for the Observing Date &Brightest Sources (above 1000 Jy) Use the "
      "&Computer's Time Zone - P&lan...[Ctrl+L]",
      "&Antenna: &Connect to Rotator... &Reconnect &Disconnect Connect at &Start-up - &Point at "
      "Source (P on the chart) &Follow Source (F on the chart) S&top P&ark &Go To Az/El... - "
      "&Minimum Elevation... Follow &Step... Park &Position... Pointing &Offset... Send "
      "&Interval... - &Beam...",
      "&Help: &Information &About Skyvane"};
  QStringList shown;
  for (QAction* top : form->findChild<QMenuBar*>()->actions()) {
    QString line = top->text() + ":";
    for (QAction* entry : top->menu()->actions()) {
      const QString key = entry->shortcut().toString();
      line += " " +
              (entry->isSeparator() ? "-" : entry->text() + (key.isEmpty() ? "" : "[" + key + "]"));
    }
    shown << line;
  }
  EXPECT_EQ(shown, menus);
}

}  // namespace
}  // namespace skyvane
