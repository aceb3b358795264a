// The main window driven as a person drives it: controls found by their
// names, keys typed and buttons clicked.
#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>

#include "app/form1.h"
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
  QString Time() const {
    return Field("Text3_0")->text() + ":" + Field("Text3_1")->text() + ":" +
           Field("Text3_2")->text();
  }
  QString Date() const {
    return Field("Text4_0")->text() + "/" + Field("Text4_1")->text() + "/" +
           Field("Text4_2")->text();
  }
  int ClockMode() const {
    for (int i = 0; i < 3; ++i)
      if (Get<QRadioButton>(QStringLiteral("Option1_%1").arg(i))->isChecked()) return i;
    return -1;
  }
  bool Following() const { return Get<QTimer>("Timer3")->isActive(); }
  QStringList Items(const char* name) const {
    QStringList items;
    for (int i = 0; i < Get<QComboBox>(name)->count(); ++i) items << Get<QComboBox>(name)->itemText(i);
    return items;
  }
  // 24-hour mode at a fixed moment, the clock no longer followed.
  void Hold(const char* hour, const char* minute) {
    Click("Option2_1");
    Click("Option1_2");
    Type("Text3_0", hour);
    Type("Text3_1", minute);
  }

  FixedClock clock;
  std::unique_ptr<Form1> form;
  QStringList messages;
};

TEST_F(Form1Test, StartsAtTheComputerClock) {
  Start();
  EXPECT_EQ(form->windowTitle(), QStringLiteral("4C Skyvane         https://skyvane.example.org"));
  EXPECT_EQ(Get<QWidget>("DesignArea")->geometry(), QRect(0, form->MenuHeight(), 777, 570));
  EXPECT_EQ(form->size(), QSize(777, 570 + form->MenuHeight()));
  EXPECT_EQ(Items("Combo1").size(), 26);
  EXPECT_EQ(Items("Combo1").mid(11, 3).join(' ') + " " + Items("Combo1").last(), "-1 +0 +1 +13");
  EXPECT_EQ(Items("Combo2").join(' '), "Sec. Min. Hr. Day Mo. Yr.");
  EXPECT_EQ(Get<QComboBox>("Combo1")->currentText() + Get<QComboBox>("Combo2")->currentText(),
            "-5Min.");
  EXPECT_EQ(Field("Text2_0")->text(), "42.2");
  EXPECT_EQ(Field("Text2_1")->text(), "-82.84");
  EXPECT_TRUE(Get<QRadioButton>("Option2_1")->isChecked());
  EXPECT_EQ(Time(), "3:07:09");  // 15:07:09 in an AM/PM format, rewritten by the first pass
  EXPECT_EQ(ClockMode(), kClockPm);
  EXPECT_EQ(Date(), "3/5/2024");
  EXPECT_EQ(form->Sky().At.Hour, 15);
  EXPECT_EQ(Get<QTimer>("Timer2")->interval(), 100);
  EXPECT_EQ(Get<QTimer>("Timer3")->interval(), 6300);
  EXPECT_TRUE(Get<QTimer>("Timer2")->isActive() && Following());
  EXPECT_EQ(form->Sources().LastRow, 4841);
  EXPECT_EQ(Get<QWidget>("Picture1")->geometry(), QRect(0, 56, 777, 514));
  // Drawn at the screen's own resolution, in the chart's own pixels.
  EXPECT_EQ(form->Chart().Width(), 777);
  EXPECT_EQ(form->Chart().Picture1.size(), QSize(777, 514) * form->devicePixelRatioF());
  EXPECT_EQ(form->Chart().PickWidth, 778);
  EXPECT_TRUE(messages.isEmpty());

  clock.format = "HH:mm:ss";
  clock.now = QDateTime(QDate(2024, 2, 29), QTime(12, 0, 0));
  Start();
  EXPECT_EQ(Time(), "12:00:00");
  EXPECT_EQ(Date(), "2/29/2024");
  EXPECT_EQ(ClockMode(), kClock24);
  form->show();
  form->close();  // closing stops the clock and play
  EXPECT_FALSE(Following() || Get<QTimer>("Timer2")->isActive());
}

TEST_F(Form1Test, ControlsSitAtTheirDesignPlaces) {
  Start();
  form->show();
  // clang-format off
  const std::pair<const char*, QRect> places[] = {
      {"Label3", {0, 8, 25, 17}},      {"Text2_0", {32, 8, 49, 19}},    {"Label1", {0, 32, 33, 17}},
      {"Text2_1", {32, 32, 49, 19}},   {"Label4", {88, 8, 33, 17}},     {"Label2", {184, 8, 9, 17}},
      {"Text3_0", {120, 8, 25, 19}},   {"Text3_2", {184, 8, 25, 19}},   {"Label5", {88, 32, 33, 17}},
      {"Label6", {184, 32, 9, 17}},    {"Text4_1", {152, 32, 25, 19}},  {"Text4_2", {184, 32, 33, 19}},
      {"Command2", {216, 8, 89, 17}},  {"Frame1", {216, 32, 97, 17}},   {"Option1_0", {0, 0, 25, 17}},
      {"Option1_2", {64, 0, 25, 17}},  {"Label8", {320, 8, 57, 17}},    {"Combo1", {320, 24, 49, 21}},
      {"VScroll1", {376, 0, 17, 57}},  {"Text8", {398, 16, 41, 33}},    {"Command3_0", {448, 0, 73, 17}},
      {"Command3_1", {448, 16, 73, 17}}, {"Combo2", {448, 32, 73, 21}}, {"Shape1", {528, 0, 161, 57}},
      {"Label14", {528, 8, 33, 17}},   {"Option2_2", {568, 8, 33, 17}}, {"Option2_0", {648, 8, 33, 17}},
      {"Label13", {528, 32, 33, 17}},  {"Label12", {544, 32, 25, 17}},  {"HScroll1", {568, 32, 113, 17}},
      {"Command8", {696, 3, 65, 21}},  {"Command1", {696, 25, 65, 25}}, {"Command7", {0, 481, 25, 17}},
      {"Command6", {24, 481, 33, 17}}, {"Command5", {720, 481, 33, 17}}, {"Command4", {752, 481, 25, 17}},
  };
  // clang-format on
  for (const auto& [name, place] : places) EXPECT_EQ(Get<QWidget>(name)->geometry(), place) << name;
  EXPECT_EQ(Get<QLabel>("Label12")->text(), "1");
  EXPECT_EQ(form->State().PlayRate, 1);
  EXPECT_EQ(Get<QPushButton>("Command4")->iconSize(), QSize(14, 14));
  EXPECT_EQ(Get<QPushButton>("Command5")->iconSize(), QSize(20, 14));
  EXPECT_EQ(Get<QPushButton>("Command6")->iconSize(), QSize(20, 14));
  EXPECT_EQ(Get<QWidget>("Text8")->font().pixelSize(), 9);
}

// Whether each caption, option, button text, list item and ordinary field
// content shows whole inside its control, in the face the control uses.
TEST_F(Form1Test, EveryTextFitsItsControlAtEverySize) {
  Start();
  form->show();
  const int padding_radio = 9 + 1;  // the option's mark and its spacing
  const int padding_button = 2 * (form->style()->pixelMetric(QStyle::PM_ButtonMargin) +
                                  form->style()->pixelMetric(QStyle::PM_DefaultFrameWidth));
  for (QSize size : {QSize(777, 570), QSize(1200, 880), form->minimumSize()}) {
    form->resize(size.width(),
                 size.height() + (size == form->minimumSize() ? 0 : form->MenuHeight()));
    QList<QRect> inks;  // where each label's text is drawn, to check neighbours
    for (QWidget* control : Get<QWidget>("DesignArea")->findChildren<QWidget*>()) {
      const QFontMetrics metrics(control->font());
      const QString name = control->objectName();
      int room = control->width(), widest = 0;
      if (auto* label = qobject_cast<QLabel*>(control)) {
        widest = metrics.horizontalAdvance(name == "Label12" ? QString("30") : label->text());
        const int left = label->alignment() & Qt::AlignRight ? label->width() - widest : 0;
        inks << QRect(control->mapTo(form.get(), QPoint(left, 0)), QSize(widest, label->height()));
      } else if (auto* option = qobject_cast<QRadioButton*>(control)) {
        widest = metrics.horizontalAdvance(option->text()) + padding_radio;
      } else if (auto* button = qobject_cast<QPushButton*>(control);
                 button && !button->text().isEmpty()) {
        widest = metrics.horizontalAdvance(button->text()) + padding_button;
      } else if (auto* list = qobject_cast<QComboBox*>(control)) {
        for (int i = 0; i < list->count(); ++i)
          widest = std::max(widest, metrics.horizontalAdvance(list->itemText(i)) + 20);
      } else if (auto* field = qobject_cast<QLineEdit*>(control);
                 field && name.startsWith("Text")) {
        widest = metrics.horizontalAdvance(name.startsWith("Text2") ? "-82.84" : "2026") + 4;
        if (name.startsWith("Text3") || name < "Text4_2")
          widest = metrics.horizontalAdvance("59") + 4;
      } else {
        continue;
      }
      EXPECT_LE(widest, room) << name.toStdString() << " at " << size.width() << "x"
                              << size.height();
      EXPECT_GE(control->font().pixelSize(), 8) << name.toStdString();
      // A wide window gives every text the largest face the band's height holds.
      if (size.width() == 1200) {
        EXPECT_EQ(control->font().pixelSize(), 13) << name.toStdString();
      }
    }
    for (int i = 0; i < inks.size(); ++i)
      for (int j = i + 1; j < inks.size(); ++j)
        EXPECT_FALSE(inks[i].intersects(inks[j])) << "labels overlap at " << size.width();
    // No caption runs under a control beside it ("Time Zone" and the scope bar).
    const QRect scope =
        Get<QWidget>("VScroll1")->geometry().translated(Get<QWidget>("DesignArea")->pos());
    for (const QRect& ink : inks) EXPECT_FALSE(ink.intersects(scope)) << size.width();
    if (size.width() == 777) {  // short texts keep the design's face
      EXPECT_EQ(Get<QWidget>("Text3_0")->font().pixelSize(), 11);
      EXPECT_EQ(Get<QWidget>("Command1")->font().pixelSize(), 11);
    }
  }
}

TEST_F(Form1Test, EnterTheListsRefreshAndTheClockModeRunAPass) {
  Start();
  Field("Text3_2")->setText("7");
  QTest::keyClick(Field("Text2_0"), Qt::Key_Tab);
  EXPECT_EQ(Field("Text3_2")->text(), "7");
  Type("Text2_0", "-33.9");
  EXPECT_EQ(Field("Text3_2")->text(), "07");
  EXPECT_EQ(form->Sky().Latitude, -33.9);
  EXPECT_EQ(Field("Text2_0")->text(), "-33.9");  // Enter adds no character

  Click("Option2_0");  // play: Refresh does nothing, the zone list still recomputes
  EXPECT_FALSE(Following());
  EXPECT_EQ(ClockMode(), kClockPm);  // the play choice leaves the clock mode alone
  Field("Text3_2")->setText("8");
  Click("Command1");
  EXPECT_EQ(Field("Text3_2")->text(), "8");
  Get<QComboBox>("Combo1")->setCurrentIndex(12);
  EXPECT_EQ(Field("Text3_2")->text(), "08");
  EXPECT_EQ(form->Sky().ZoneHours, 0);
  Click("Option2_1");
  Field("Text3_2")->setText("9");
  Click("Command1");
  EXPECT_EQ(Field("Text3_2")->text(), "09");

  // A clock-mode choice rewrites the hour and runs a pass: 5 PM to 5 AM is
  // half a turn of the sky.
  Type("Text3_0", "5");
  const double pm_sidereal = form->Sky().LocalSidereal;
  Click("Option1_0");
  EXPECT_EQ(Field("Text3_0")->text(), "5");
  EXPECT_NEAR(std::fmod(pm_sidereal - form->Sky().LocalSidereal + 720, 360), 180.5, 0.1);
  Click("Option1_2");
  Type("Text3_0", "17");
  Click("Option1_1");
  EXPECT_EQ(Field("Text3_0")->text(), "5");
  Click("Option1_2");
  EXPECT_EQ(Field("Text3_0")->text(), "17");
  EXPECT_EQ(form->State().ClockMode, kClock24);

  // A click on the time zone's caption tells where the Sun is.
  QTest::mouseClick(Get<QLabel>("Label8"), Qt::LeftButton);
  const auto& sun = form->Sources().RaDec[4841];
  const QStringList parts = messages.value(0).split(", ");
  ASSERT_EQ(parts.size(), 2);
  EXPECT_NEAR(parts[0].toDouble(), sun[0], 1e-12);
  EXPECT_NEAR(parts[1].toDouble(), sun[1], 1e-12);
}

TEST_F(Form1Test, TheClockIsFollowedUntilAStepOrAPlayChoice) {
  Start();
  clock.now = QDateTime(QDate(2024, 2, 29), QTime(9, 1, 2));
  form->Timer3_Timer();
  EXPECT_EQ(Date(), "2/29/2024");
  EXPECT_EQ(Time(), "9:01:02");
  EXPECT_EQ(ClockMode(), kClockAm);
  Click("Option2_1");  // "Stop", although already chosen, stops following
  EXPECT_FALSE(Following());
  Click("Command2");
  EXPECT_TRUE(Following());
  Click("Command3_1");
  EXPECT_FALSE(Following());
  EXPECT_EQ(Time(), "9:02:02");

  Get<QComboBox>("Combo2")->setCurrentIndex(0);
  Click("Option1_1");
  Type("Text3_0", "11");
  Type("Text3_1", "59");
  Type("Text3_2", "59");
  Click("Command3_1");
  EXPECT_EQ(Time(), "12:00:00");
  EXPECT_EQ(ClockMode(), kClockAm);
  EXPECT_EQ(Date(), "3/1/2024");
  EXPECT_EQ(form->Sky().At.Hour, 0);
  Click("Command3_0");
  EXPECT_EQ(Time(), "11:59:59");
  EXPECT_EQ(ClockMode(), kClockPm);
  Field("Text4_1")->setText("");
  Click("Command3_1");  // an unreadable date: nothing changes
  EXPECT_EQ(Time(), "11:59:59");
  EXPECT_EQ(Field("Text4_1")->text(), "");
}

TEST_F(Form1Test, PlayTicksCrossNoonAndMidnight) {
  Start();
  form->Timer2_Timer();  // stopped: nothing happens
  EXPECT_EQ(Time(), "3:07:09");
  auto* rate = Get<QScrollBar>("HScroll1");
  QTest::keyClick(rate, Qt::Key_PageDown);  // five at a time
  EXPECT_EQ(Get<QLabel>("Label12")->text(), "6");
  rate->setValue(30);
  EXPECT_EQ(Get<QLabel>("Label12")->text(), "30");
  Click("Option1_0");
  Type("Text3_0", "11");
  Type("Text3_1", "45");
  Click("Option2_0");
  form->Timer2_Timer();
  EXPECT_EQ(Time(), "12:15:09");
  EXPECT_EQ(ClockMode(), kClockPm);
  EXPECT_EQ(form->Sky().At.Hour, 12);  // noon, not midnight
  EXPECT_EQ(Date(), "3/5/2024");
  Click("Option2_2");
  form->Timer2_Timer();
  form->Timer2_Timer();
  EXPECT_EQ(Time(), "11:15:09");
  EXPECT_EQ(ClockMode(), kClockAm);
  EXPECT_EQ(form->Sky().At.Hour, 11);
  rate->setValue(1);
  Click("Option1_1");
  Type("Text3_0", "11");
  Type("Text3_1", "59");
  Click("Option2_0");
  form->Timer2_Timer();
  EXPECT_EQ(Time(), "12:00:09");
  EXPECT_EQ(ClockMode(), kClockAm);
  EXPECT_EQ(form->Sky().At.Hour, 0);
  EXPECT_EQ(Date(), "3/6/2024");
  Field("Text4_0")->setText("x");  // a tick that cannot read the date changes nothing
  form->Timer2_Timer();
  EXPECT_EQ(Field("Text4_0")->text(), "x");
  Click("Option2_1");
  Type("Text4_0", "3");
  form->Timer2_Timer();
  EXPECT_EQ(Time(), "12:00:09");
}

TEST_F(Form1Test, ViewButtonsAndKeysTurnAndRedrawTheChart) {
  Start();
  QWidget* chart = Get<QWidget>("Picture1");
  // clang-format off
  struct Case { std::function<void()> act; double to; } cases[] = {
      {[&] { Click("Command4"); }, 359},
      {[&] { Click("Command6"); }, 9},
      {[&] { Click("Command5"); }, 359},
      {[&] { Click("Command7"); }, 0},  // from 359 exactly onto 0
      {[&] { QTest::keyClick(chart, Qt::Key_Right, Qt::ControlModifier); }, 359.75},
      {[&] { QTest::keyClick(chart, Qt::Key_Left, Qt::ControlModifier); }, 0},
      {[&] { QTest::keyClick(chart, Qt::Key_Left, Qt::ControlModifier); }, 0.25},
      {[&] { QTest::keyClick(chart, Qt::Key_Right, Qt::ControlModifier); }, 0},
      {[&] { QTest::keyClick(chart, Qt::Key_Left, Qt::ShiftModifier); }, 5},
      {[&] { QTest::keyClick(chart, Qt::Key_Right); }, 4},
      {[&] { QTest::keyClick(chart, Qt::Key_Left, Qt::ShiftModifier | Qt::ControlModifier); }, 5},
      {[&] { QTest::keyClick(chart, Qt::Key_Up); }, 5},
  };
  // clang-format on
  double previous = 0;
  for (const Case& c : cases) {
    const QImage before = form->Chart().Picture1;
    c.act();
    EXPECT_EQ(form->Chart().ViewAzimuth, c.to);
    EXPECT_EQ(form->Chart().Picture1 != before, c.to != previous) << c.to;
    previous = c.to;
  }
  // The keys act after a click on a button or an option, not in a field.
  for (const char* name : {"Command1", "Option2_1", "Combo2"}) {
    Get<QWidget>(name)->setFocus();
    const double before = form->Chart().ViewAzimuth;
    QTest::keyClick(Get<QWidget>(name), Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(form->Chart().ViewAzimuth, before + 5) << name;
  }
  QTest::keyClick(Field("Text2_0"), Qt::Key_Left);
  EXPECT_EQ(form->Chart().ViewAzimuth, 20);
  form->show();
  QApplication::setActiveWindow(form.get());
  Field("Text2_0")->setFocus();
  QTest::mouseClick(chart, Qt::LeftButton);  // a click on the chart takes the keys from the field
  EXPECT_EQ(QApplication::focusWidget(), chart);
  QTest::keyClick(Get<QWidget>("Command1"), Qt::Key_I);
  EXPECT_FALSE(form->State().ShowInfo);
  QTest::keyClick(chart, Qt::Key_I);
  EXPECT_TRUE(form->State().ShowInfo);
  QTest::keyClick(chart, Qt::Key_I);
  EXPECT_FALSE(form->State().ShowInfo);
  QTest::keyClick(chart, Qt::Key_I, Qt::ShiftModifier);
  EXPECT_TRUE(form->State().ShowInfo);

  auto* scope = Get<QScrollBar>("VScroll1");
  EXPECT_EQ(scope->value(), 80);
  EXPECT_EQ(form->Chart().ScopeMarkerY, 0);
  QTest::keyClick(scope, Qt::Key_Up);  // two at a time
  EXPECT_EQ(scope->value(), 78);
  scope->setValue(40);
  EXPECT_DOUBLE_EQ(form->Chart().ScopeMarkerY, 0.4 * 514);
  // The thumb is small and travels the bar's length.
  auto thumb_rows = [scope](int value) {
    scope->setValue(value);
    const QImage bar = scope->grab().toImage();
    std::vector<int> rows;
    for (int y = 0; y < bar.height(); ++y)
      if (bar.pixel(bar.width() / 2, y) == qRgb(0x50, 0x50, 0x50)) rows.push_back(y);
    return rows;
  };
  const std::vector<int> top = thumb_rows(0), bottom = thumb_rows(80);
  ASSERT_FALSE(top.empty() || bottom.empty());
  EXPECT_LE(top.size(), 10u);
  EXPECT_GE(bottom.front() - top.front(), 25);
}

// The view buttons' pictures: solid triangles and hollow curved arrows,
// those turning right the mirror of those turning left.
TEST_F(Form1Test, TheViewButtonsShowArrows) {
  Start();
  // clang-format off
  struct Look { const char* left; const char* right; std::vector<QPoint> ink, clear; } looks[] = {
      {"Command7", "Command4", {{5, 6}, {10, 4}, {10, 9}}, {{3, 2}, {3, 11}, {12, 6}}},
      {"Command6", "Command5", {{16, 8}, {4, 5}}, {{11, 8}, {10, 1}}},  // the bowl stays clear
  };
  // clang-format on
  for (const Look& look : looks) {
    for (const char* name : {look.left, look.right}) {
      auto* button = Get<QPushButton>(name);
      const QImage image = button->icon().pixmap(button->iconSize()).toImage();
      auto inked = [&](QPoint p) {
        if (name == look.right) p.setX(image.width() - 1 - p.x());
        return qAlpha(image.pixel(p)) > 128;
      };
      for (QPoint p : look.ink) EXPECT_TRUE(inked(p)) << name << " " << p.x() << "," << p.y();
      for (QPoint p : look.clear) EXPECT_FALSE(inked(p)) << name << " " << p.x() << "," << p.y();
    }
  }
}

TEST_F(Form1Test, ResizingKeepsProportions) {
  Start();
  form->show();
  form->resize(1554, 856 + form->MenuHeight());
  EXPECT_EQ(Get<QWidget>("Picture1")->geometry(), QRect(0, 56, 1554, 800));
  EXPECT_EQ(Get<QWidget>("Command8")->geometry(), QRect(1392, 3, 130, 21));
  EXPECT_EQ(Get<QWidget>("Command4")->geometry().right(), 1553);
  EXPECT_EQ(form->Chart().SwapScreen2.size(), QSize(1554, 800));
  form->resize(1000, 856 + form->MenuHeight());  // the width alone
  EXPECT_EQ(Get<QWidget>("Picture1")->geometry(), QRect(0, 56, 1000, 800));
  EXPECT_EQ(Get<QWidget>("Command8")->geometry().left(), 896);
  EXPECT_EQ(form->Chart().Picture1.size(), QSize(1000, 800));
  EXPECT_EQ(form->Chart().HalfWidth, 500);
  // On a window wider than 6001 pixels the sources beyond pixel 6000 can be
  // pointed at too.
  form->resize(7200, 700);
  const QPoint far = SourceIn(*form, QRect(6100, 100, 1000, 300));
  ASSERT_GE(far.x(), 0);
  form->Picture1_MouseMove(far.x(), far.y());  // beyond the offscreen screen's own width
  EXPECT_NE(form->Chart().Picture1, form->Chart().SwapScreen);
}

TEST_F(Form1Test, TheInformationWindowIsOneAndForgetsEdits) {
  Start();
  Click("Command8");
  Click("Command8");
  QList<QWidget*> windows;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == "Form2") windows << w;
  ASSERT_EQ(windows.size(), 1);
  QPointer<QWidget> info = windows[0];
  EXPECT_EQ(info->windowTitle(), "INFO");
  EXPECT_EQ(info->size(), QSize(515, 246));
  EXPECT_EQ(info->palette().color(QPalette::Window), QColor(255, 0, 0));
  auto* text = info->findChild<QPlainTextEdit*>("Text1");
  EXPECT_EQ(text->geometry(), QRect(8, 8, 497, 225));
  info->show();  // all sixteen lines at once, none wrapped, nothing to scroll
  EXPECT_EQ(text->document()->documentLayout()->documentSize().height(), 17);  // and the last break
  EXPECT_EQ(text->verticalScrollBar()->maximum(), 0);
  EXPECT_GE(text->font().pixelSize(), 8);
  EXPECT_EQ(text->palette().color(QPalette::Base), QColor(Qt::white));
  EXPECT_EQ(text->toPlainText(), QString::fromLatin1(HelpText()).replace("\r\n", "\n"));
  EXPECT_EQ(QString::fromLatin1(HelpText()).count("\r\n"), 16);
  text->setPlainText("edited");
  info->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(info);
  form.reset();  // the window stays open after the main window goes
  Start();
  Click("Command8");
  bool fresh = false;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* t = w->findChild<QPlainTextEdit*>("Text1")) fresh = t->toPlainText() != "edited";
  EXPECT_TRUE(fresh);
}

TEST_F(Form1Test, TheReadoutComesAndGoes) {
  Start();
  form->show();
  Hold("0", "0");
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

TEST_F(Form1Test, PositionsForTheObservingDateAreAChoiceRemembered) {
  Start();
  auto* item = form->findChild<QAction*>("actionPositionsOfDate");
  ASSERT_NE(item, nullptr);
  EXPECT_FALSE(item->isChecked());  // the design's chart unless chosen
  const QString plain_title = form->windowTitle();
  const auto before = form->Sources().AzAlt;
  item->trigger();
  EXPECT_TRUE(form->windowTitle().contains("positions for the observing date"));
  const auto& after = form->Sources().AzAlt;
  EXPECT_GT(std::fabs(after[100][0] - before[100][0]) + std::fabs(after[100][1] - before[100][1]),
            0.1);
  EXPECT_EQ(after[4841], before[4841]);  // the Sun keeps its own computation
  Start();                               // remembered by the next window
  EXPECT_TRUE(form->windowTitle().contains("positions for the observing date"));
  EXPECT_TRUE(form->findChild<QAction*>("actionPositionsOfDate")->isChecked());
  form->findChild<QAction*>("actionPositionsOfDate")->trigger();
  EXPECT_EQ(form->windowTitle(), plain_title);
  EXPECT_EQ(form->Sources().AzAlt[100], before[100]);
  form->findChild<QAction*>("actionInformation")->trigger();
  int info_windows = 0;
  for (QWidget* w : QApplication::topLevelWidgets()) info_windows += w->objectName() == "Form2";
  EXPECT_EQ(info_windows, 1);
}

TEST_F(Form1Test, AUsersOwnCatalogueReplacesTheTableAndIsRemembered) {
  Start();
  form->findChild<QAction*>("actionFollow")->trigger();  // following, with nothing to follow yet
  QString about;  // Help > About tells what the catalogue in use is and what its reading kept
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    about = box->text();
    box->accept();
  });
  form->findChild<QAction*>("actionAbout")->trigger();
  EXPECT_TRUE(about.contains("1.0.0") && about.contains("catalogue format")) << about.toStdString();
  EXPECT_TRUE(about.contains("4840 kept; 4 with a flux above 1000")) << about.toStdString();
  QString report;
  EXPECT_FALSE(form->OpenCatalogue(SKYVANE_DATA_DIR "/README.md", Equinox::kJ2000, &report));
  EXPECT_TRUE(report.contains("no source with a readable position")) << report.toStdString();
  EXPECT_EQ(form->Sources().LastRow, 4841);  // nothing lost
  QTimer::singleShot(0, [] {  // File > Open, its dialog answered as a user would
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    dialog->selectFile(SKYVANE_TEST_DATA "/targets.csv");
    static_cast<QDialog*>(dialog)->accept();
  });
  form->AskEquinox = [] { return std::optional(Equinox::kB1950); };  // the table does not say
  form->findChild<QAction*>("actionOpenCatalogue")->trigger();
  report = messages.value(0);
  EXPECT_TRUE(
      report.contains("semicolon-separated table, positions for B1950: 5 lines read, 4 kept"))
      << report.toStdString();
  EXPECT_EQ(form->Sources().LastRow, 5);
  EXPECT_EQ(form->Sources().CatalogText[1][8], "Virgo A; M87");
  EXPECT_FALSE(form->findChild<QAction*>("actionFollow")->isChecked());  // no old row followed
  EXPECT_EQ(form->CatalogueSummary(), report);
  // The pass ran on the new table; the next start opens it again.
  EXPECT_NE(form->Sources().AzAlt[1][1], 0);
  const auto last = Form1::LastCatalogue();
  ASSERT_TRUE(last.has_value());
  EXPECT_EQ(last->first.filename(), "targets.csv");
  EXPECT_EQ(last->second, Equinox::kB1950);
  ASSERT_TRUE(form->OpenCatalogue(SKYVANE_TEST_DATA "/export.tsv", Equinox::kJ2000, &report));
  QMenu* recent = form->findChild<QMenu*>("menuRecent");
  emit recent->aboutToShow();  // the list is made as the menu opens: newest first
  ASSERT_GE(recent->actions().size(), 2);
  EXPECT_TRUE(recent->actions()[0]->text().endsWith("export.tsv"));
  EXPECT_TRUE(recent->actions()[1]->text().endsWith("targets.csv"));
  // That table does not say its equinox: reopening it asks again.
  int asked = 0;
  form->AskEquinox = [&]() -> std::optional<Equinox> {
    return ++asked == 1 ? std::nullopt : std::optional(Equinox::kB1950);
  };
  recent->actions()[1]->trigger();  // and the user cancels
  EXPECT_EQ(form->Sources().CatalogText[1][8], "3C 48");
  recent->actions()[1]->trigger();
  EXPECT_EQ(asked, 2);
  EXPECT_TRUE(messages.last().contains("positions for B1950")) << messages.last().toStdString();
  QSettings().setValue("catalogue/last", QStringLiteral(SKYVANE_DATA_DIR "/README.md"));
  EXPECT_FALSE(Form1::LastCatalogue().has_value());  // no longer usable: the default again
}

TEST(TimeDesignator, FollowsTheEndOfTheTimeFormat) {
  // clang-format off
  struct Case { const char* format; QTime time; const char* expected; } cases[] = {{"h:mm:ss AP", QTime(15, 7, 9), "PM"}, {"h:mm AP", QTime(0, 30), "AM"},
               {"h:mm:ss ap t", QTime(12, 0), "PM"},  {"HH:mm:ss", QTime(15, 7, 9), "09"},
               {"AP h:mm", QTime(15, 7), "07"}};
  // clang-format on
  for (const Case& c : cases)
    EXPECT_EQ(TimeDesignator(c.time, QString::fromLatin1(c.format)), c.expected) << c.format;
}

}  // namespace
}  // namespace skyvane
