#include "interact/time_steps.h"

#include <gtest/gtest.h>

#include <string>

namespace skyvane {
namespace {

struct Moment {
  std::string month, day, year, hour, minute, second;
  int option;
};

SettingsFields Fields(const Moment& m) {
  SettingsFields f;
  f.Text2 = {"42.2", "-82.84"};
  f.Text4 = {m.month, m.day, m.year};
  f.Text3 = {m.hour, m.minute, m.second};
  f.Option1Index = m.option;
  return f;
}

void ExpectMoment(const SettingsFields& f, const Moment& m) {
  EXPECT_EQ(f.Text4[0], m.month);
  EXPECT_EQ(f.Text4[1], m.day);
  EXPECT_EQ(f.Text4[2], m.year);
  EXPECT_EQ(f.Text3[0], m.hour);
  EXPECT_EQ(f.Text3[1], m.minute);
  EXPECT_EQ(f.Text3[2], m.second);
  EXPECT_EQ(f.Option1Index, m.option);
}

constexpr int AM = kOptionAm, PM = kOptionPm, H24 = kOption24;

TEST(TrackStep, CarriesThroughTheCalendar) {
  // clang-format off
  struct Case {
    const char* name;
    Moment in;
    int unit, index;
    Moment out;
  } cases[] = {
      {"new year", {"12", "31", "2023", "23", "59", "59", H24}, kUnitSecond, 1, {"1", "1", "2024", "0", "00", "00", H24}},
      {"back to february, leap", {"3", "1", "2024", "0", "00", "00", H24}, kUnitSecond, 0, {"2", "29", "2024", "23", "59", "59", H24}},
      {"back to february, common", {"3", "1", "2023", "0", "00", "00", H24}, kUnitSecond, 0, {"2", "28", "2023", "23", "59", "59", H24}},
      {"pm to next day am", {"6", "10", "2024", "11", "59", "59", PM}, kUnitSecond, 1, {"6", "11", "2024", "12", "00", "00", AM}},
      {"am midnight back", {"6", "10", "2024", "12", "00", "00", AM}, kUnitSecond, 0, {"6", "9", "2024", "11", "59", "59", PM}},
      {"pm hour", {"6", "10", "2024", "12", "30", "00", PM}, kUnitHour, 1, {"6", "10", "2024", "1", "30", "00", PM}},
      {"jan 31 plus month", {"1", "31", "2023", "1", "00", "00", H24}, kUnitMonth, 1, {"3", "1", "2023", "1", "00", "00", H24}},
      {"jan 31 plus month, leap", {"1", "31", "2024", "1", "00", "00", H24}, kUnitMonth, 1, {"3", "1", "2024", "1", "00", "00", H24}},
      {"mar 31 minus month", {"3", "31", "2023", "1", "00", "00", H24}, kUnitMonth, 0, {"3", "1", "2023", "1", "00", "00", H24}},
      {"feb 29 typed, back a second", {"2", "29", "2023", "12", "00", "00", H24}, kUnitSecond, 0, {"3", "1", "2023", "11", "59", "59", H24}},
      {"feb 29 typed, back a day", {"2", "29", "2023", "12", "00", "00", H24}, kUnitDay, 0, {"2", "28", "2023", "12", "00", "00", H24}},
      {"feb 29 leap kept", {"2", "29", "2024", "12", "00", "00", H24}, kUnitSecond, 0, {"2", "29", "2024", "11", "59", "59", H24}},
      {"december plus month", {"12", "5", "2023", "1", "00", "00", H24}, kUnitMonth, 1, {"1", "5", "2024", "1", "00", "00", H24}},
      {"january minus month", {"1", "5", "2024", "1", "00", "00", H24}, kUnitMonth, 0, {"12", "5", "2023", "1", "00", "00", H24}},
      {"minute 75", {"6", "10", "2024", "3", "75", "10", H24}, kUnitSecond, 1, {"6", "10", "2024", "4", "00", "11", H24}},
      {"fractional day", {"6", "15.5", "2024", "3", "00", "00", H24}, kUnitDay, 1, {"6", "16.5", "2024", "3", "00", "00", H24}},
      {"hour 7.5 rounds to 8", {"6", "10", "2024", "7.5", "00", "00", H24}, kUnitMinute, 1, {"6", "10", "2024", "8", "01", "00", H24}},
      {"hour 6.5 rounds to 6", {"6", "10", "2024", "6.5", "00", "00", H24}, kUnitMinute, 1, {"6", "10", "2024", "6", "01", "00", H24}},
      {"year", {"6", "10", "2024", "1", "00", "00", H24}, kUnitYear, 0, {"6", "10", "2023", "1", "00", "00", H24}},
      {"leap year step", {"2", "29", "2024", "1", "00", "00", H24}, kUnitYear, 1, {"3", "1", "2025", "1", "00", "00", H24}},
      {"no unit", {"6", "10", "2024", "1", "5", "7", H24}, -1, 1, {"6", "10", "2024", "1", "05", "07", H24}},
      {"year 0 back a day", {"1", "1", "0", "0", "00", "00", H24}, kUnitDay, 0, {"12", "31", "-1", "0", "00", "00", H24}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SettingsFields f = Fields(c.in);
    const TimeMove move = TrackStep(f, c.unit, c.index, ".");
    EXPECT_TRUE(move.Applied);
    ExpectMoment(f, c.out);
  }
}

TEST(TrackStep, UnreadableOrOverflowingValuesChangeNothing) {
  // clang-format off
  struct Case {
    const char* name;
    Moment in;
    int unit, index;
    const char* separator;
  } cases[] = {
      {"empty day", {"6", "", "2024", "1", "00", "00", H24}, kUnitSecond, 1, "."},
      {"text month", {"June", "1", "2024", "1", "00", "00", H24}, kUnitSecond, 1, "."},
      {"comma in a point locale", {"6", "1,5", "2024", "1", "00", "00", H24}, kUnitSecond, 1, "."},
      {"month 13 at lookup", {"13", "5", "2024", "1", "00", "00", H24}, kUnitSecond, 1, "."},
      {"month 40000", {"40000", "5", "2024", "1", "00", "00", H24}, kUnitSecond, 1, "."},
      {"hour 32767 forwards", {"6", "5", "2024", "32767", "00", "00", H24}, kUnitHour, 1, "."},
      {"minute overflow by carry", {"6", "5", "2024", "1", "32767", "59", H24}, kUnitSecond, 1, "."},
      {"second -32768 back", {"6", "5", "2024", "1", "00", "-32768", H24}, kUnitSecond, 0, "."},
      {"month 32767 plus a month", {"32767", "5", "2024", "1", "00", "00", H24}, kUnitMonth, 1, "."},
      {"month -32768 borrowing", {"-32768", "0", "2024", "1", "00", "00", H24}, kUnitSecond, 1, "."},
      {"hour 1e999", {"6", "5", "2024", "1e999", "00", "00", H24}, kUnitSecond, 1, "."},
      {"year 1e300", {"6", "5", "1e300", "1", "00", "00", H24}, kUnitSecond, 1, "."},
      {"year 1e999", {"6", "5", "1e999", "1", "00", "00", H24}, kUnitSecond, 1, "."},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SettingsFields f = Fields(c.in);
    const SettingsFields before = f;
    const TimeMove move = TrackStep(f, c.unit, c.index, c.separator);
    EXPECT_FALSE(move.Applied);
    EXPECT_EQ(f.Text3, before.Text3);
    EXPECT_EQ(f.Text4, before.Text4);
  }
  SettingsFields f = Fields({"6", "1,5", "2024", "1", "00", "00", H24});
  EXPECT_TRUE(TrackStep(f, kUnitDay, 1, ",").Applied);  // the user's own separator
  EXPECT_EQ(f.Text4[1], "2.5");
}

TEST(PlayTick, TurnsTheClockAndTheCalendar) {
  // clang-format off
  struct Case {
    const char* name;
    Moment in;
    int direction, rate;
    Moment out;
  } cases[] = {
      {"10:59 am", {"6", "10", "2024", "10", "59", "30", AM}, 1, 1, {"6", "10", "2024", "11", "0", "30", AM}},
      {"11:59 am", {"6", "10", "2024", "11", "59", "30", AM}, 1, 1, {"6", "10", "2024", "12", "0", "30", PM}},
      {"11:59 pm", {"6", "10", "2024", "11", "59", "30", PM}, 1, 1, {"6", "11", "2024", "12", "0", "30", AM}},
      {"12:59 pm", {"6", "10", "2024", "12", "59", "30", PM}, 1, 1, {"6", "10", "2024", "1", "0", "30", PM}},
      {"12:00 pm back", {"6", "10", "2024", "12", "00", "30", PM}, -1, 1, {"6", "10", "2024", "11", "59", "30", AM}},
      {"12:00 am back", {"6", "10", "2024", "12", "00", "30", AM}, -1, 1, {"6", "9", "2024", "11", "59", "30", PM}},
      {"1:00 back", {"6", "10", "2024", "1", "00", "30", PM}, -1, 1, {"6", "10", "2024", "12", "59", "30", PM}},
      {"24h feb 28", {"2", "28", "2023", "23", "59", "00", H24}, 1, 1, {"3", "1", "2023", "0", "0", "00", H24}},
      {"24h feb 28 leap", {"2", "28", "2024", "23", "59", "00", H24}, 1, 1, {"2", "29", "2024", "0", "0", "00", H24}},
      {"24h new year back", {"1", "1", "2024", "0", "00", "00", H24}, -1, 1, {"12", "31", "2023", "23", "59", "00", H24}},
      {"24h march back, leap", {"3", "1", "2024", "0", "00", "00", H24}, -1, 1, {"2", "29", "2024", "23", "59", "00", H24}},
      {"rate 30", {"6", "10", "2024", "10", "45", "00", H24}, 1, 30, {"6", "10", "2024", "11", "15", "00", H24}},
      {"rate 30 back", {"6", "10", "2024", "10", "15", "00", H24}, -1, 30, {"6", "10", "2024", "9", "45", "00", H24}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SettingsFields f = Fields(c.in);
    const TimeMove move = PlayTick(f, c.direction, c.rate, ".");
    EXPECT_TRUE(move.Applied);
    ExpectMoment(f, c.out);
  }
}

TEST(PlayTick, StoppedOrUnreadableTicksChangeNothing) {
  for (const Moment& m : {Moment{"6", "10", "2024", "10", "59", "30", AM},
                          Moment{"x", "10", "2024", "10", "59", "30", AM},
                          Moment{"13", "31", "2024", "23", "59", "00", H24},
                          Moment{"6", "10", "2024", "32767", "59", "30", H24}}) {
    SettingsFields f = Fields(m);
    const SettingsFields before = f;
    const int direction = m.month == "6" && m.hour == "10" ? 0 : 1;
    EXPECT_FALSE(PlayTick(f, direction, 1, ".").Applied);
    EXPECT_EQ(f.Text3, before.Text3);
    EXPECT_EQ(f.Text4, before.Text4);
  }
}

}  // namespace
}  // namespace skyvane
