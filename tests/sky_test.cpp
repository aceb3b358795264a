#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "catalogue/number_text.h"
#include "sky/angles.h"
#include "sky/calendar.h"
#include "sky/horizontal.h"
#include "sky/sky_pass.h"
#include "sky/sun.h"

namespace skyvane {
namespace {

TEST(ToHorizontal, WorkedTable) {
  // clang-format off
  struct Case {
    double ra, dec, lst, hour_angle, altitude, azimuth;
  } cases[] = {
      {100, 20, 130, 30, 56.3675, 121.9721},
      {10, -30, 350, 340, 15.4861, 197.9000},
      {0, 0, 270, 270, 0.0000, 270.0000},
      {0, 0, 90, 90, 0.0000, 90.0000},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ra);
    const Horizontal h = ToHorizontal(c.ra, c.dec, 42.2, c.lst);
    EXPECT_DOUBLE_EQ(h.HourAngle, c.hour_angle);
    EXPECT_NEAR(h.Altitude, c.altitude, 5e-5);
    EXPECT_NEAR(h.Azimuth, c.azimuth, 5e-5);
  }
}

TEST(ToHorizontal, HourAngleIsRaisedOnceIntoTheCircle) {
  EXPECT_DOUBLE_EQ(ToHorizontal(350, 5, 42.2, 10).HourAngle, 20);
  EXPECT_DOUBLE_EQ(ToHorizontal(10, 5, 42.2, 10).HourAngle, 0);
}

TEST(ToHorizontal, EquatorEastAndWestAtAnyLatitude) {
  for (double lat : {-60.0, 0.0, 42.2, 89.0}) {
    EXPECT_NEAR(ToHorizontal(0, 0, lat, 270).Altitude, 0, 1e-10);
    EXPECT_NEAR(ToHorizontal(0, 0, lat, 270).Azimuth, 270, 1e-8);
    EXPECT_NEAR(ToHorizontal(0, 0, lat, 90).Azimuth, 90, 1e-8);
  }
}

TEST(ToHorizontal, SourcesOnTheMeridianStayOnTheirSide) {
  // Rounding pushes the cosine of the azimuth a hair past +-1 for many of
  // these; a source transiting south of the zenith must still be drawn south.
  for (double lat : {42.2, 10.0, 55.5}) {
    for (double dec = lat - 80; dec < lat - 0.05; dec += 0.05) {
      const Horizontal h = ToHorizontal(123.4, dec, lat, 123.4);
      ASSERT_NEAR(h.Azimuth, 180, 1e-2) << "lat " << lat << " dec " << dec;
    }
    for (double dec = lat + 0.05; dec < 89.9; dec += 0.05) {
      const Horizontal h = ToHorizontal(10, dec, lat, 10);
      ASSERT_NEAR(std::fmod(h.Azimuth + 180, 360), 180, 1e-2) << "lat " << lat << " dec " << dec;
    }
  }
}

TEST(ToHorizontal, BlockConversionMatchesRowByRow) {
  // More rows than one block, so every stage's indexing is exercised.
  std::vector<std::array<double, 2>> ra_dec;
  std::vector<double> sin_dec, cos_dec;
  for (int i = 0; i < 150; ++i) {
    ra_dec.push_back({std::fmod(i * 37.3, 360), -80 + i * 1.1});
    sin_dec.push_back(std::sin(ra_dec.back()[1] * kDegree));
    cos_dec.push_back(std::cos(ra_dec.back()[1] * kDegree));
  }
  ra_dec[70] = {40, 42.2};  // at the zenith
  sin_dec[70] = std::sin(42.2 * kDegree);
  cos_dec[70] = std::cos(42.2 * kDegree);
  std::vector<std::array<double, 2>> az_alt(ra_dec.size());
  const Horizontal last =
      ToHorizontalRows(ra_dec.data(), sin_dec.data(), cos_dec.data(), 150, std::sin(42.2 * kDegree),
                       std::cos(42.2 * kDegree), 40, az_alt.data());
  for (int i = 0; i < 150; ++i) {
    const Horizontal h = ToHorizontal(ra_dec[i][0], ra_dec[i][1], 42.2, 40);
    ASSERT_EQ(az_alt[i][0], h.Azimuth) << i;
    ASSERT_EQ(az_alt[i][1], h.Altitude) << i;
  }
  EXPECT_NEAR(az_alt[70][1], 90.000000000017, 1e-11);  // no NaN at the zenith
  EXPECT_FALSE(std::isnan(az_alt[70][0]));
  EXPECT_EQ(last.Altitude, az_alt[149][1]);
  EXPECT_EQ(last.HourAngle, ToHorizontal(ra_dec[149][0], 0, 42.2, 40).HourAngle);
}

TEST(Atan2, ProgramConstants) {
  // clang-format off
  struct Case {
    double y, x, expected;
  } cases[] = {
      {0, 0, 0},
      {1, 0, 1.5707963267949},
      {-1, 5e-8, -1.5707963267949},
      {0, -1, 3.14159265358979},
      {-1, -1, std::atan(1.0) - 3.14159265358979},
      {1, 1, std::atan(1.0)},
      {5e-8, 5e-8, 0},
  };
  // clang-format on
  for (const Case& c : cases) EXPECT_EQ(Atan2(c.y, c.x), c.expected) << c.y << "," << c.x;
}

TEST(Wrap360, StepsIntoTheCircle) {
  EXPECT_EQ(Wrap360(360), 0);
  EXPECT_EQ(Wrap360(-720.5), 359.5);
  EXPECT_EQ(Wrap360(725), 5);
  EXPECT_DOUBLE_EQ(Wrap360(1e12 + 10), std::fmod(1e12 + 10, 360));
  EXPECT_TRUE(std::isnan(Wrap360(INFINITY)));
  EXPECT_TRUE(std::isnan(Wrap360(NAN)));
  const double a = Wrap360(-1e-20);
  EXPECT_TRUE(a >= 0 && a < 360);
}

TEST(ComputeSunPosition, KnownDates) {
  // 19 April 1990, 0h UT
  SunPosition s = ComputeSunPosition(-3544.5);
  EXPECT_NEAR(s.Ra, 26.6581, 5e-5);
  EXPECT_NEAR(s.Dec, 11.0084, 5e-5);
  EXPECT_NEAR(s.Distance, 1.004323, 5e-7);
  EXPECT_NEAR(s.Longitude, 388.687, 5e-4);
  // 1999 December 31, 0h UT: a southern declination is stored wrapped
  s = ComputeSunPosition(-1.5);
  EXPECT_NEAR(s.Ra, 279.6345, 5e-5);
  EXPECT_NEAR(s.Dec, 336.8563, 5e-5);
}

TEST(Calendar, LeapYearsAndMonthLengths) {
  struct Case {
    int month;
    double year;
    int days;
  } cases[] = {{2, 2024, 29}, {2, 2023, 28}, {2, 1900, 28}, {2, 2000, 29}, {2, 0, 29},
               {2, -4, 29},   {2, -100, 28}, {1, 2023, 31}, {4, 2024, 30}, {0, 2024, 0}};
  for (const Case& c : cases) EXPECT_EQ(MonthLength(c.month, c.year), c.days) << c.year;
  EXPECT_EQ(MonthDays[2], 28);
}

// Runs one pass over a table holding a heading row and the Sun.
struct PassResult {
  SettingsFields fields;
  SkyState sky;
};

SourceTable SunOnlyTable() {
  SourceTable table;
  table.AddRow();
  table.AddRow();
  table.LastRow = table.SunRow = 1;
  return table;
}

PassResult Pass(SettingsFields f) {
  SourceTable table = SunOnlyTable();
  PassResult r{f, {}};
  ComputeSky(r.fields, r.sky, table);
  return r;
}

SettingsFields Fields(const std::string& month, const std::string& day, const std::string& year,
                      const std::string& hour, const std::string& minute, const std::string& second,
                      int option, int zone = 12) {
  SettingsFields f;
  f.Text2 = {"42.2", "-82.84"};
  f.Combo1Index = zone;
  f.Text4 = {month, day, year};
  f.Text3 = {hour, minute, second};
  f.Option1Index = option;
  return f;
}

TEST(ComputeSky, ClockModesRangeResetsAndWriteBack) {
  // clang-format off
  struct Case {
    const char* name;
    SettingsFields in;
    int hour;  // 24-hour value used by the pass
    std::array<std::string, 3> date_out, time_out;
  } cases[] = {
      {"pm noon", Fields("5", "3", "2024", "12", "0", "0", kOptionPm), 12, {"5", "3", "2024"}, {"12", "00", "00"}},
      {"pm three", Fields("5", "3", "2024", "3", "0", "0", kOptionPm), 15, {"5", "3", "2024"}, {"3", "00", "00"}},
      {"am midnight", Fields("5", "3", "2024", "12", "0", "0", kOptionAm), 0, {"5", "3", "2024"}, {"12", "00", "00"}},
      {"am fifteen", Fields("5", "3", "2024", "15", "0", "0", kOptionAm), 15, {"5", "3", "2024"}, {"3", "00", "00"}},
      {"24 seven", Fields("5", "3", "2024", "7", "0", "0", kOption24), 7, {"5", "3", "2024"}, {"7", "00", "00"}},
      {"24 hour 24", Fields("5", "3", "2024", "24", "0", "0", kOption24), 0, {"5", "3", "2024"}, {"0", "00", "00"}},
      {"second 7", Fields("5", "3", "2024", "1", "5", "7", kOption24), 1, {"5", "3", "2024"}, {"1", "05", "07"}},
      {"minute 60", Fields("5", "3", "2024", "1", "60", "0", kOption24), 1, {"5", "3", "2024"}, {"1", "00", "00"}},
      {"month 13", Fields("13", "3", "2024", "1", "0", "0", kOption24), 1, {"1", "3", "2024"}, {"1", "00", "00"}},
      {"april 31", Fields("4", "31", "2024", "1", "0", "0", kOption24), 1, {"4", "1", "2024"}, {"1", "00", "00"}},
      {"floor", Fields("7.9", "-0.5", "2024.7", "7.9", "59.99", "-0.5", kOption24), 7, {"7", "1", "2024"}, {"7", "59", "00"}},
      {"empty year", Fields("1", "1", "", "0", "0", "0", kOption24), 0, {"1", "1", "0"}, {"0", "00", "00"}},
      {"leap day kept", Fields("2", "29", "2024", "1", "0", "0", kOption24), 1, {"2", "29", "2024"}, {"1", "00", "00"}},
      {"no leap day", Fields("2", "29", "2023", "1", "0", "0", kOption24), 1, {"2", "1", "2023"}, {"1", "00", "00"}},
      {"century", Fields("2", "29", "1900", "1", "0", "0", kOption24), 1, {"2", "1", "1900"}, {"1", "00", "00"}},
      {"huge", Fields("1e999", "1e999", "1e999", "32768", "-32769", "1e999", kOption24), 0, {"1", "1", "1465000"}, {"0", "00", "00"}},
      {"tiny", Fields("-1e999", "-1e999", "-1e999", "-1e999", "1e4", "x", kOptionPm), 0, {"1", "1", "-1474000"}, {"12", "00", "00"}},
      {"finite but huge", Fields("1", "1", "1e300", "1", "0", "0", kOption24), 1, {"1", "1", "1465000"}, {"1", "00", "00"}},
      {"finite but tiny", Fields("1", "1", "-1e300", "1", "0", "0", kOption24), 1, {"1", "1", "-1474000"}, {"1", "00", "00"}},
      {"no option", Fields("1", "1", "2000", "13", "0", "0", -1), 13, {"1", "1", "2000"}, {"1", "00", "00"}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PassResult r = Pass(c.in);
    EXPECT_EQ(r.sky.Hour, c.hour);
    EXPECT_EQ(r.fields.Text4, c.date_out);
    EXPECT_EQ(r.fields.Text3, c.time_out);
    EXPECT_EQ(r.fields.Text2, c.in.Text2);  // the place is never rewritten
    EXPECT_TRUE(r.sky.LocalSidereal >= 0 && r.sky.LocalSidereal < 360);
  }
}

TEST(ComputeSky, J2000NoonAndUniversalTimePastMidnight) {
  PassResult r = Pass(Fields("1", "1", "2000", "12", "0", "0", kOption24, 12));
  EXPECT_EQ(r.sky.DayNumber, 0);
  EXPECT_DOUBLE_EQ(r.sky.LocalSidereal, Wrap360(100.46 + -82.84 + 180));

  r = Pass(Fields("3", "5", "2024", "20", "0", "0", kOption24, 7));
  EXPECT_EQ(r.sky.ZoneHours, -5);
  EXPECT_EQ(r.sky.UtHours, 25);
  PassResult next_day = Pass(Fields("3", "6", "2024", "1", "0", "0", kOption24, 12));
  EXPECT_DOUBLE_EQ(r.sky.DayNumber, next_day.sky.DayNumber);

  r = Pass(Fields("1", "1", "2000", "0", "0", "0", kOption24, -1));  // no zone chosen
  EXPECT_EQ(r.sky.ZoneHours, -13);
}

double NoonDayNumber(int year, int month, int day) {
  return Pass(Fields(std::to_string(month), std::to_string(day), std::to_string(year), "12", "0",
                     "0", kOption24))
      .sky.DayNumber;
}

TEST(ComputeSky, DayNumberFollowsTheCalendarAcrossYears) {
  // Consecutive days at noon UT differ by exactly one, leap days included.
  for (int year : {-4, 0, 1900, 2000, 2023, 2024}) {
    double previous = NoonDayNumber(year - 1, 12, 31);
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= MonthLength(month, year); ++day) {
        const double dn = NoonDayNumber(year, month, day);
        ASSERT_EQ(dn - previous, 1) << year << "-" << month << "-" << day;
        previous = dn;
      }
    }
  }
  EXPECT_EQ(Pass(Fields("4", "19", "1990", "0", "0", "0", kOption24)).sky.DayNumber, -3544.5);
  // The ends of the supported span still count days without overflow.
  EXPECT_EQ(NoonDayNumber(1465000, 3, 1) - NoonDayNumber(1465000, 2, 28), 1);
  EXPECT_EQ(NoonDayNumber(-1474000, 1, 2) - NoonDayNumber(-1474000, 1, 1), 1);
}

TEST(ComputeSky, EveryRowIsConvertedAndAltitudeHoldsTheSuns) {
  SourceTable table;
  for (int i = 0; i < 3; ++i) table.AddRow();
  table.RaDec[1] = {100, 20};
  table.UpdateDeclinationCache(1);
  table.LastRow = table.SunRow = 2;
  SettingsFields f = Fields("6", "21", "2024", "12", "0", "0", kOption24, 7);
  SkyState sky;
  ComputeSky(f, sky, table);
  const Horizontal expected = ToHorizontal(100, 20, 42.2, sky.LocalSidereal);
  EXPECT_EQ(table.AzAlt[1][0], expected.Azimuth);
  EXPECT_EQ(table.AzAlt[1][1], expected.Altitude);
  EXPECT_EQ(sky.Altitude, table.AzAlt[2][1]);
  EXPECT_GT(sky.Altitude, 50);  // local noon near midsummer
  EXPECT_EQ(sky.SourceIndex, 3);
  const SunPosition sun = ComputeSunPosition(sky.DayNumber);
  EXPECT_EQ(table.RaDec[2][0], sun.Ra);
}

}  // namespace
}  // namespace skyvane
