#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

#include "app/form1.h"
#include "fixed_clock.h"

namespace skyvane {
namespace {

// A main window started on a given clock with the shipped catalogue.
class Form1Test : public ::testing::Test {
 protected:
  void Start() {
    form = std::make_unique<Form1>(clock);
    form->ShowMessage = [this](const QString& text) { messages << text; };
    ASSERT_TRUE(form->Form_Load(QStringLiteral(SKYVANE_DATA_DIR)));
  }
  void TearDown() override {
    if (form && form->Info) delete form->Info.data();
  }
  QString Time() const {
    return form->Text3[0]->text() + ":" + form->Text3[1]->text() + ":" + form->Text3[2]->text();
  }
  QString Date() const {
    return form->Text4[0]->text() + "/" + form->Text4[1]->text() + "/" + form->Text4[2]->text();
  }
  int ChosenOption1() const {
    for (int i = 0; i < 3; ++i)
      if (form->Option1[i]->isChecked()) return i;
    return -1;
  }
  void Type(QLineEdit* edit, const QString& text) {
    edit->setText(text);
    QTest::keyClick(edit, Qt::Key_Return);
  }

  FixedClock clock;
  std::unique_ptr<Form1> form;
  QStringList messages;
};

TEST_F(Form1Test, StartUpState) {
  Start();
  EXPECT_EQ(form->windowTitle(), QStringLiteral("4C Skyvane         https://skyvane.example.org"));
  EXPECT_EQ(form->size(), QSize(777, 570));
  ASSERT_EQ(form->Combo1->count(), 26);
  EXPECT_EQ(form->Combo1->itemText(0), "-12");
  EXPECT_EQ(form->Combo1->itemText(11), "-1");
  EXPECT_EQ(form->Combo1->itemText(12), "+0");
  EXPECT_EQ(form->Combo1->itemText(25), "+13");
  EXPECT_EQ(form->Combo1->currentText(), "-5");
  ASSERT_EQ(form->Combo2->count(), 6);
  EXPECT_EQ(form->Combo2->itemText(5), "Yr.");
  EXPECT_EQ(form->Combo2->currentText(), "Min.");
  EXPECT_EQ(form->Text2[0]->text(), "42.2");
  EXPECT_EQ(form->Text2[1]->text(), "-82.84");
  EXPECT_TRUE(form->Option2[1]->isChecked());
  EXPECT_FALSE(form->Option2[0]->isChecked() || form->Option2[2]->isChecked());
  // 15:07:09 in an AM/PM format, rewritten by the first pass
  EXPECT_EQ(Time(), "3:07:09");
  EXPECT_EQ(ChosenOption1(), kOptionPm);
  EXPECT_EQ(Date(), "3/5/2024");
  EXPECT_EQ(form->State.PlayDirection, 0);
  EXPECT_TRUE(form->Timer2.isActive());
  EXPECT_TRUE(form->Timer3.isActive());
  EXPECT_EQ(form->Timer2.interval(), 100);
  EXPECT_EQ(form->Timer3.interval(), 6300);
  EXPECT_EQ(form->Table.LastRow, 4841);
  EXPECT_EQ(form->Picture1->geometry(), QRect(0, 56, 777, 514));
  EXPECT_EQ(form->Chart.Picture1.size(), QSize(777, 514));
  EXPECT_TRUE(messages.isEmpty());
}

TEST_F(Form1Test, ControlsSitAtTheirDesignPlaces) {
  Start();
  // clang-format off
  struct Case {
    QWidget* widget;
    QRect place;
    QString caption;
  } cases[] = {
      {form->Label3, {0, 8, 25, 17}, "Lat."},
      {form->Text2[0], {32, 8, 49, 19}, ""},
      {form->Label1, {0, 32, 33, 17}, "Long."},
      {form->Text3[1], {152, 8, 25, 19}, ""},
      {form->Text4[2], {184, 32, 33, 19}, ""},
      {form->Command2, {216, 8, 89, 17}, "Computer time"},
      {form->Frame1, {216, 32, 97, 17}, ""},
      {form->Option1[1], {32, 0, 25, 17}, "PM"},
      {form->Label8, {320, 8, 57, 17}, "Time Zone"},
      {form->Combo1, {320, 24, 49, 21}, ""},
      {form->VScroll1, {376, 0, 17, 57}, ""},
      {form->Text8, {398, 16, 41, 33}, ""},
      {form->Command3[0], {448, 0, 73, 17}, "- TRACK"},
      {form->Command3[1], {448, 16, 73, 17}, "+ TRACK"},
      {form->Shape1, {528, 0, 161, 57}, ""},
      {form->Option2[2], {568, 8, 33, 17}, "Rew"},
      {form->Option2[1], {608, 8, 33, 17}, "Stop"},
      {form->Option2[0], {648, 8, 33, 17}, "Fwd"},
      {form->Label12, {544, 32, 25, 17}, "1"},
      {form->HScroll1, {568, 32, 113, 17}, ""},
      {form->Command8, {696, 3, 65, 21}, "INFO"},
      {form->Command1, {696, 25, 65, 25}, "Refresh"},
      {form->Command7, {0, 481, 25, 17}, ""},
      {form->Command4, {752, 481, 25, 17}, ""},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption.toStdString() + " " + c.widget->metaObject()->className());
    EXPECT_EQ(c.widget->geometry(), c.place);
    if (auto* label = qobject_cast<QLabel*>(c.widget)) {
      EXPECT_EQ(label->text(), c.caption);
    }
    if (auto* button = qobject_cast<QAbstractButton*>(c.widget); button && !c.caption.isEmpty()) {
      EXPECT_EQ(button->text(), c.caption);
    }
  }
  EXPECT_EQ(form->Text8->toPlainText(), "SCOPE ELEV");
  EXPECT_EQ(form->VScroll1->value(), 80);
  EXPECT_EQ(form->HScroll1->value(), 1);
}

TEST_F(Form1Test, ResizingKeepsProportionsAndMinimumSize) {
  Start();
  form->show();
  form->resize(1554, 856);
  EXPECT_EQ(form->Picture1->geometry(), QRect(0, 56, 1554, 800));
  EXPECT_EQ(form->Command8->geometry(), QRect(1392, 3, 130, 21));
  EXPECT_EQ(form->Chart.SwapScreen2.size(), QSize(1554, 800));
  EXPECT_EQ(form->Command4->geometry().right(), 1553);
  form->resize(10, 10);
  EXPECT_GE(form->Picture1->height(), 1);
}

TEST_F(Form1Test, TwentyFourHourFormatAtNoonKeepsTheHour) {
  clock.format = "HH:mm:ss";
  clock.now = QDateTime(QDate(2024, 3, 5), QTime(12, 0, 0));
  Start();
  EXPECT_EQ(Time(), "12:00:00");
  EXPECT_EQ(ChosenOption1(), kOption24);
  EXPECT_EQ(form->Sky.Hour, 12);
}

TEST_F(Form1Test, EnterRunsAPassTabDoesNot) {
  Start();
  form->Text3[2]->setText("7");
  QTest::keyClick(form->Text2[0], Qt::Key_Tab);
  EXPECT_EQ(form->Text3[2]->text(), "7");
  form->Text2[0]->setText("-33.9");
  QTest::keyClick(form->Text2[0], Qt::Key_Return);
  EXPECT_EQ(form->Text3[2]->text(), "07");
  EXPECT_EQ(form->Sky.Latitude, -33.9);
  EXPECT_EQ(form->Text2[0]->text(), "-33.9");  // Enter adds no character
  Type(form->Text4[0], "13");
  EXPECT_EQ(form->Text4[0]->text(), "1");
}

TEST_F(Form1Test, ZoneListAndRefreshDuringPlay) {
  Start();
  form->Option2[0]->click();
  EXPECT_EQ(form->State.PlayDirection, 1);
  EXPECT_FALSE(form->Timer3.isActive());
  EXPECT_EQ(ChosenOption1(), kOptionPm);  // the play choice leaves the clock mode alone
  form->Text3[2]->setText("7");
  form->Command1->click();  // Refresh does nothing during play
  EXPECT_EQ(form->Text3[2]->text(), "7");
  form->Combo1->setCurrentIndex(12);  // the zone list always recomputes
  EXPECT_EQ(form->Text3[2]->text(), "07");
  EXPECT_EQ(form->Sky.ZoneHours, 0);
  form->Option2[1]->click();
  EXPECT_EQ(form->State.PlayDirection, 0);
  form->Text3[2]->setText("8");
  form->Command1->click();
  EXPECT_EQ(form->Text3[2]->text(), "08");
}

TEST_F(Form1Test, ClockModeConversions) {
  Start();
  struct Case {
    int from;
    const char* hour;
    int to;
    const char* expected;
  } cases[] = {{kOption24, "15", kOptionPm, "3"}, {kOptionPm, "3", kOption24, "15"},
               {kOptionAm, "12", kOption24, "0"}, {kOptionPm, "12", kOption24, "12"},
               {kOptionPm, "5", kOptionAm, "5"},  {kOption24, "0", kOptionAm, "12"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.hour) + " to " + std::to_string(c.to));
    form->Option1[c.from]->click();
    form->Text3[0]->setText(c.hour);
    form->Option2[0]->click();  // during play the choice converts but runs no pass
    form->Option1[c.to]->click();
    EXPECT_EQ(form->Text3[0]->text(), c.expected);
    EXPECT_EQ(form->State.ClockMode, c.to);
    form->Option2[1]->click();
  }
  // AM after PM moves the chart by twelve hours
  form->Option1[kOptionPm]->click();
  Type(form->Text3[0], "5");
  const double pm_sidereal = form->Sky.LocalSidereal;
  form->Option1[kOptionAm]->click();
  EXPECT_EQ(form->Text3[0]->text(), "5");
  EXPECT_NEAR(std::fmod(pm_sidereal - form->Sky.LocalSidereal + 720, 360), 180.5, 0.1);
  // an hour beyond 16 bits keeps its text
  form->Option1[kOption24]->click();
  form->Text3[0]->setText("99999");
  form->Option2[0]->click();
  form->Option1[kOptionPm]->click();
  EXPECT_EQ(form->Text3[0]->text(), "99999");
}

TEST_F(Form1Test, ComputerClockIsFollowedUntilPlayOrStep) {
  Start();
  clock.now = QDateTime(QDate(2024, 2, 29), QTime(9, 1, 2));
  form->Timer3_Timer();
  EXPECT_EQ(Date(), "2/29/2024");  // the leap day is kept
  EXPECT_EQ(Time(), "9:01:02");
  EXPECT_EQ(ChosenOption1(), kOptionAm);
  form->Option2[1]->click();  // "Stop", although already chosen, stops the clock
  EXPECT_FALSE(form->Timer3.isActive());
  form->Command2->click();
  EXPECT_TRUE(form->Timer3.isActive());
  form->Command3[1]->click();
  EXPECT_FALSE(form->Timer3.isActive());
  EXPECT_EQ(Time(), "9:02:02");
}

TEST_F(Form1Test, TrackingStepsSelectTheHalfOfTheDay) {
  Start();
  form->Combo2->setCurrentIndex(0);
  form->Option1[kOptionPm]->click();
  form->Text3[0]->setText("11");
  form->Text3[1]->setText("59");
  Type(form->Text3[2], "59");
  form->Command3[1]->click();
  EXPECT_EQ(Time(), "12:00:00");
  EXPECT_EQ(ChosenOption1(), kOptionAm);
  EXPECT_EQ(Date(), "3/6/2024");
  EXPECT_EQ(form->State.ClockMode, kOptionAm);
  form->Text4[1]->setText("");
  form->Command3[1]->click();  // unreadable date: nothing changes
  EXPECT_EQ(Time(), "12:00:00");
  EXPECT_EQ(form->Text4[1]->text(), "");
}

TEST_F(Form1Test, PlayTicksMoveTheMinutes) {
  Start();
  form->Timer2_Timer();  // stopped: nothing happens
  EXPECT_EQ(Time(), "3:07:09");
  form->HScroll1->setValue(30);
  EXPECT_EQ(form->Label12->text(), "30");
  EXPECT_EQ(form->State.PlayRate, 30);
  form->Option2[2]->click();
  form->Timer2_Timer();
  EXPECT_EQ(Time(), "2:37:09");
  form->Option2[1]->click();
  form->Timer2_Timer();
  EXPECT_EQ(Time(), "2:37:09");
}

TEST_F(Form1Test, TimeZoneCaptionShowsTheSun) {
  Start();
  QTest::mouseClick(form->Label8, Qt::LeftButton);
  ASSERT_EQ(messages.size(), 1);
  const QStringList parts = messages[0].split(", ");
  ASSERT_EQ(parts.size(), 2);
  const int sun = static_cast<int>(form->Table.SunRow);
  EXPECT_EQ(parts[0].toDouble(), std::stod(parts[0].toStdString()));
  EXPECT_NEAR(parts[0].toDouble(), form->Table.RaDec[sun][0], 1e-12);
  EXPECT_NEAR(parts[1].toDouble(), form->Table.RaDec[sun][1], 1e-12);
}

TEST_F(Form1Test, ViewButtonsAndKeys) {
  Start();
  // clang-format off
  struct Case {
    double from;
    std::function<void()> act;
    double to;
  } cases[] = {
      {0, [&] { form->Command4->click(); }, 359},
      {0, [&] { form->Command5->click(); }, 350},
      {359, [&] { form->Command7->click(); }, 0},
      {355, [&] { form->Command6->click(); }, 5},
      {0, [&] { QTest::keyClick(form->Picture1, Qt::Key_Right); }, 359},
      {0, [&] { QTest::keyClick(form->Picture1, Qt::Key_Right, Qt::ShiftModifier); }, 355},
      {0, [&] { QTest::keyClick(form->Picture1, Qt::Key_Right, Qt::ControlModifier); }, 359.75},
      {359.75, [&] { QTest::keyClick(form->Picture1, Qt::Key_Left, Qt::ControlModifier); }, 0},
      {0, [&] { QTest::keyClick(form->Picture1, Qt::Key_Left, Qt::ShiftModifier | Qt::ControlModifier); }, 1},
      {10, [&] { QTest::keyClick(form->Picture1, Qt::Key_Up); }, 10},
  };
  // clang-format on
  for (const Case& c : cases) {
    form->Chart.ViewAzimuth = c.from;
    c.act();
    EXPECT_EQ(form->Chart.ViewAzimuth, c.to) << c.from;
  }
  QTest::keyClick(form->Picture1, Qt::Key_I);
  EXPECT_FALSE(form->State.ShowInfo);
  QTest::keyClick(form->Picture1, Qt::Key_I, Qt::ShiftModifier);
  EXPECT_TRUE(form->State.ShowInfo);
}

TEST_F(Form1Test, ScopeElevationBarMovesTheMarker) {
  Start();
  EXPECT_EQ(form->Chart.ScopeMarkerY, 0);
  form->VScroll1->setValue(0);
  EXPECT_EQ(form->Chart.ScopeMarkerY, 0);
  form->VScroll1->setValue(80);
  EXPECT_DOUBLE_EQ(form->Chart.ScopeMarkerY, 0.8 * form->Picture1->height());
}

TEST_F(Form1Test, InformationWindowIsOneAndForgetsEdits) {
  Start();
  form->Command8->click();
  QPointer<Form2> first = form->Info;
  ASSERT_TRUE(first);
  form->Command8->click();
  EXPECT_EQ(form->Info, first);
  EXPECT_EQ(first->windowTitle(), "INFO");
  EXPECT_EQ(first->size(), QSize(515, 246));
  EXPECT_EQ(first->Text1->geometry(), QRect(8, 8, 497, 225));
  EXPECT_EQ(first->palette().color(QPalette::Window), QColor(255, 0, 0));
  first->Text1->setPlainText("edited");
  first->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(first);
  form->Command8->click();
  ASSERT_TRUE(form->Info);
  EXPECT_EQ(form->Info->Text1->toPlainText(),
            QString::fromLatin1(HelpText()).replace("\r\n", "\n"));
}

TEST_F(Form1Test, MouseReadoutComesAndGoes) {
  Start();
  // a recorded source well inside the chart
  QPoint at(-1, -1);
  for (int y = 100; y < 300 && at.x() < 0; ++y)
    for (int x = 100; x < 600 && at.x() < 0; ++x)
      if (form->Chart.PickAt(x, y) > 0) at = QPoint(x, y);
  ASSERT_GE(at.x(), 0);
  QTest::mouseMove(form->Picture1, at);
  form->Picture1_MouseMove(at.x(), at.y());
  EXPECT_NE(form->Chart.Picture1, form->Chart.SwapScreen);
  EXPECT_FALSE(form->Chart.FontBold);
  form->Picture1_MouseDown(Qt::RightButton);  // only the left button counts
  EXPECT_TRUE(form->State.ShowReadout);
  form->Picture1_MouseDown(Qt::LeftButton);
  EXPECT_FALSE(form->State.ShowReadout);
  EXPECT_EQ(form->Chart.Picture1, form->Chart.SwapScreen);
  form->Picture1_MouseMove(at.x(), at.y());
  EXPECT_EQ(form->Chart.Picture1, form->Chart.SwapScreen);
  form->Picture1_MouseDown(Qt::LeftButton);
  EXPECT_TRUE(form->State.ShowReadout);
  form->Picture1_MouseMove(at.x(), at.y());
  EXPECT_NE(form->Chart.Picture1, form->Chart.SwapScreen);
  // a pass redraws the whole chart, readout gone
  form->Command1->click();
  EXPECT_EQ(form->Chart.Picture1, form->Chart.SwapScreen);
}

// Whether a date or time field holds what the pass writes back.
bool IsCanonical(int field, const QString& text, int mode) {
  bool ok = false;
  const int value = text.toInt(&ok);
  if (!ok || text != QString::number(value)) {
    // minutes and seconds carry a leading zero below 10
    if ((field == 1 || field == 2) && text.size() == 2 && text[0] == '0' && text[1].isDigit()) {
      return true;
    }
    return false;
  }
  switch (field) {
    case 0:
      return mode == kOption24 ? value >= 0 && value <= 23 : value >= 1 && value <= 12;
    case 1:
    case 2:
      return value >= 10 && value <= 59;
    case 3:
      return value >= 1 && value <= 12;
    case 4:
      return value >= 1 && value <= 31;
    default:
      return value >= -1474000 && value <= 1465000;
  }
}

TEST_F(Form1Test, HostileTextsInEveryFieldUnderEveryAction) {
  Start();
  const QString hostile[] = {"",
                             "   ",
                             "1e999",
                             "-1e999",
                             "32767",
                             "32768",
                             "-32769",
                             "7.5",
                             "&H10",
                             QString(10240, QLatin1Char('8')),
                             QString::fromUtf8("\u00e9t\u00e9 \u6f22\u5b57")};
  // Text3 (hour, minute, second), then Text4 (month, day, year)
  QLineEdit* fields[] = {form->Text3[0], form->Text3[1], form->Text3[2],
                         form->Text4[0], form->Text4[1], form->Text4[2]};
  std::vector<std::pair<std::string, std::function<void(QLineEdit*)>>> actions;
  actions.emplace_back("enter", [](QLineEdit* edit) { QTest::keyClick(edit, Qt::Key_Return); });
  for (int unit = 0; unit < 6; ++unit) {
    for (int index = 0; index < 2; ++index) {
      actions.emplace_back("track " + std::to_string(unit) + "/" + std::to_string(index),
                           [this, unit, index](QLineEdit*) {
                             form->Combo2->setCurrentIndex(unit);
                             form->Command3[index]->click();
                           });
    }
  }
  for (int direction : {0, 2}) {
    actions.emplace_back("play " + std::to_string(direction), [this, direction](QLineEdit*) {
      form->Option2[direction]->click();
      form->Timer2_Timer();
      form->Option2[1]->click();
    });
  }
  for (int mode : {kOptionAm, kOptionPm, kOption24}) {
    for (const QString& text : hostile) {
      for (int target = 0; target < 8; ++target) {
        for (const auto& [name, act] : actions) {
          form->Option1[mode]->click();
          form->Text2[0]->setText("42.2");
          form->Text2[1]->setText("-82.84");
          const char* calm[] = {"10", "30", "15", "6", "15", "2024"};
          for (int i = 0; i < 6; ++i) fields[i]->setText(calm[i]);
          QLineEdit* edit = target < 6 ? fields[target] : form->Text2[target - 6];
          edit->setText(text);
          QStringList before;
          for (QLineEdit* f : fields) before << f->text();
          act(edit);
          for (int i = 0; i < 6; ++i) {
            const QString now = fields[i]->text();
            ASSERT_TRUE(now == before[i] || IsCanonical(i, now, mode))
                << name << " mode " << mode << " field " << target << " text "
                << text.left(20).toStdString() << ": field " << i << " reads "
                << now.left(20).toStdString();
          }
          ASSERT_TRUE(form->Sky.Hour >= 0 && form->Sky.Hour <= 23);
        }
      }
    }
  }
}

TEST(TimeDesignator, FollowsTheEndOfTheTimeFormat) {
  // clang-format off
  struct Case {
    const char* format;
    QTime time;
    const char* expected;
  } cases[] = {
      {"h:mm:ss AP", QTime(15, 7, 9), "PM"},
      {"h:mm AP", QTime(0, 30), "AM"},
      {"h:mm:ss ap t", QTime(12, 0), "PM"},  // a trailing time zone is not the designator
      {"HH:mm:ss", QTime(15, 7, 9), "09"},
      {"AP h:mm", QTime(15, 7), "07"},
      {"H.mm", QTime(9, 5), "05"},
  };
  // clang-format on
  for (const Case& c : cases) {
    EXPECT_EQ(TimeDesignator(c.time, QString::fromLatin1(c.format)), c.expected) << c.format;
  }
}

TEST(HelpText, ExactText) {
  const std::string text = HelpText();
  EXPECT_EQ(text.size(), 1077u);
  int lines = 0;
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
    ++lines;
  EXPECT_EQ(lines, 16);
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
  EXPECT_NE(text.find("Number   one    Name    Flux   four  five      RA               Dec"
                      "                    Proper Name\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("14                     +00.14   8.8                   3h58'30.001''   "
                      "+0*27'5.123''     3c99\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("and \" (seconds) is made with two ' (single ticks)\r\n"), std::string::npos);
  EXPECT_NE(text.find("Save the data as StarData.txt      tab delimited \r\n"), std::string::npos);
}

TEST(Form1Start, MissingCatalogueIsReported) {
  FixedClock clock;
  QTemporaryDir empty;
  Form1 form(clock);
  QStringList messages;
  form.ShowMessage = [&](const QString& text) { messages << text; };
  EXPECT_FALSE(form.Form_Load(empty.path()));
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].contains("not found"));
  EXPECT_TRUE(messages[0].contains(empty.path() + "/StarData.txt"));
  EXPECT_FALSE(form.Timer3.isActive());
}

}  // namespace
}  // namespace skyvane
