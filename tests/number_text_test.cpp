#include "catalogue/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace skyvane {
namespace {

TEST(ParseLeadingNumber, ReadsTheNumberAtTheStartOfTheText) {
  // clang-format off
  struct Case {
    const char* text;
    double expected;
  } cases[] = {
      {"42.2", 42.2},        {"-82.84", -82.84},   {"  7", 7},
      {"1 2 3", 123},        {"\t4\n5", 45},       {"3h58", 3},
      {"", 0},               {"abc", 0},           {"-", 0},
      {".5", 0.5},           {"5.", 5},            {"1.2.3", 1.2},
      {"+8", 8},             {"1e3", 1000},        {"1E+2x", 100},
      {"2D2", 200},          {"2d-1", 0.2},        {"1e", 1},
      {"1e+", 1},            {"--1", 0},           {"12,5", 12},
      {"7.9", 7.9},          {"0x10", 0},          {"\r5", 0},
      {"1 e 2", 100},        {"- 3", -3},          {"Flux", 0},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_DOUBLE_EQ(ParseLeadingNumber(c.text), c.expected);
  }
}

TEST(ParseLeadingNumber, HugeExponentsGiveInfinityNotFailure) {
  EXPECT_EQ(ParseLeadingNumber("1e999"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(ParseLeadingNumber("-1e999"), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(ParseLeadingNumber("1e-999"), 0.0);
  EXPECT_EQ(ParseLeadingNumber(std::string(10000, '9') + "x"),
            std::numeric_limits<double>::infinity());
  EXPECT_DOUBLE_EQ(ParseLeadingNumber("1e" + std::string(5000, '0') + "3"), 1000);
}

TEST(ParseStrictNumber, WholeTextMustBeANumber) {
  // clang-format off
  struct Case {
    const char* text;
    const char* separator;
    bool ok;
    double expected;
  } cases[] = {
      {"12", ".", true, 12},      {" 12 ", ".", true, 12},   {"15.5", ".", true, 15.5},
      {"15,5", ",", true, 15.5},  {"15.5", ",", true, 15.5}, {"15,5", ".", false, 0},
      {"", ".", false, 0},        {"  ", ".", false, 0},     {"12a", ".", false, 0},
      {"-3", ".", true, -3},      {"1e3", ".", true, 1000},  {"1 2", ".", false, 0},
      {".", ".", false, 0},       {"+.5", ".", true, 0.5},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    double value = -1;
    EXPECT_EQ(ParseStrictNumber(c.text, c.separator, value), c.ok);
    if (c.ok) {
      EXPECT_DOUBLE_EQ(value, c.expected);
    }
  }
}

TEST(NumberFormats, WrittenFormsUseThePeriodAndNoLeadingBlank) {
  EXPECT_EQ(FormatShortest(16.5), "16.5");
  EXPECT_EQ(FormatShortest(-0.0), "0");
  EXPECT_EQ(FormatShortest(1e20), "1E+20");
  EXPECT_EQ(FormatShortest(26.658123456789012), "26.658123456789");
  EXPECT_EQ(FormatSingle(2026.0f), "2026");
  EXPECT_EQ(FormatSingle(1465000.0f), "1465000");
  EXPECT_EQ(FormatSingle(-1474000.0f), "-1474000");
  EXPECT_EQ(FormatTwoDigits(7), "07");
  EXPECT_EQ(FormatTwoDigits(0), "00");
  EXPECT_EQ(FormatTwoDigits(59), "59");
}

TEST(NumberFormats, SignPositionFormOfTheViewLabel) {
  struct Case {
    double value;
    const char* expected;
  } cases[] = {{0, " 0"},      {90, " 90"},    {359.75, " 359.75"},
               {0.25, " .25"}, {-1.5, "-1.5"}, {-0.5, "-.5"}};
  for (const Case& c : cases) EXPECT_EQ(FormatWithSignPosition(c.value), c.expected);
}

}  // namespace
}  // namespace skyvane
