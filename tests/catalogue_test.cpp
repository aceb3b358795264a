#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "catalogue/catalogue_reader.h"

namespace skyvane {
namespace {

TEST(ParseAngle, HoursAndDegreesForms) {
  // clang-format off
  struct Case {
    const char* text;
    double expected;
  } cases[] = {
      {"3h58'30.001''", 59.62500416666666},
      {"+0*27'5.123''", 0.45142305555555556},
      {"-5*30'0''", -5.5},
      {"12h30'0''", 187.5},
      {"-0*30'0''", -0.5},  // the sign comes from the first character only
      {"3h30''", 52.5},     // seconds without minutes read as minutes: 3.5 h
      {"", 0},
      {"garbage", 0},
      {"+12*", 12},
      {"2h", 30},
      {"-6*15'42''", -6.2616666666666667},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_NEAR(ParseAngle(c.text), c.expected, 1e-12);
  }
}

TEST(FormatName, CapitalisesWordStartsOnly) {
  // clang-format off
  struct Case {
    const char* text;
    const char* expected;
  } cases[] = {
      {"3C99", "3c99"},          {"cygnus A", "Cygnus A"}, {"+00.14", "+00.14"},
      {"", ""},                  {"CAS  a", "Cas  A"},     {"x", "X"},
      {"\xE9toile \xC9T\xC9", "\xC9toile \xC9t\xE9"},  // Latin-1 letters
  };
  // clang-format on
  for (const Case& c : cases) EXPECT_EQ(FormatName(c.text), c.expected) << c.text;
}

SourceTable Read(const std::string& text) {
  std::istringstream in(text);
  SourceTable table;
  ReadCatalogue(in, table);
  return table;
}

std::string Line(const std::string& number, const std::string& flux, const std::string& name = "",
                 const std::string& designation = "+00.14") {
  return number + "\t\t" + designation + "\t" + flux + "\t\t\t3h58'30.001''\t+0*27'5.123''\t" +
         name + "\r\n";
}

TEST(ReadCatalogue, AcceptanceRulesAndTheSunRow) {
  const std::string heading = "Number\tone\tName\tFlux\tfour\tfive\tRA\tDec\tProper Name\r\n";
  SourceTable t = Read(heading + Line("1", "1000", "3c99") + Line("2", "1000.5") + Line("3", "") +
                       Line("7", "8") + Line("7", "9") + Line("8", "2") + Line("7", "3"));
  // heading, 1, 7, 8, 7 again, then the Sun
  ASSERT_EQ(t.RowCount(), 6);
  EXPECT_EQ(t.LastRow, 5);
  EXPECT_EQ(t.SunRow, 5);
  EXPECT_EQ(t.CatalogText[0][8], "Proper Name");
  EXPECT_EQ(t.Flux[0], 0);
  EXPECT_EQ(t.CatalogText[1][8], "3c99");
  EXPECT_EQ(t.CatalogText[2][3], "8");       // the first of the two 7s
  EXPECT_EQ(t.CatalogText[2][8], "+00.14");  // designation when no proper name
  EXPECT_EQ(t.CatalogText[4][0], "7");
  EXPECT_NEAR(t.RaDec[1][0], 59.62500416666666, 1e-12);
  EXPECT_NEAR(t.RaDec[1][1], 0.45142305555555556, 1e-12);
  EXPECT_EQ(t.CatalogText[5][8], "Sun");
  EXPECT_EQ(t.CatalogText[5][3], "-27.97");
  EXPECT_EQ(t.CatalogText[5][0], "");
  EXPECT_DOUBLE_EQ(t.Flux[5], -27.97);
}

TEST(ReadCatalogue, EmptyFirstNumberIsSkippedLaterOnesAccepted) {
  SourceTable t = Read(Line("", "5") + Line("1", "5") + Line("", "5") + Line("", "6"));
  ASSERT_EQ(t.RowCount(), 3);  // "1", the first empty number, then the Sun
  EXPECT_EQ(t.CatalogText[1][3], "5");
}

TEST(ReadCatalogue, ExtraFieldsAreIgnoredAndBlanksKept) {
  SourceTable t = Read("1\t\t name \t 5 \t\t\t1h\t+1*\t\textra\tmore\r\n");
  ASSERT_EQ(t.RowCount(), 2);
  EXPECT_EQ(t.CatalogText[0][2], " name ");
  EXPECT_EQ(t.CatalogText[0][8], " Name ");
  EXPECT_DOUBLE_EQ(t.Flux[0], 5);
  EXPECT_DOUBLE_EQ(t.RaDec[0][0], 15);
}

TEST(ReadCatalogue, StopsAtTheTableLimit) {
  std::string text;
  for (int i = 0; i < kMaxCatalogueRows + 50; ++i) text += std::to_string(i) + "\t\tX\t3\n";
  SourceTable t = Read(text);
  EXPECT_EQ(t.RowCount(), kMaxCatalogueRows + 1);
  EXPECT_EQ(t.SunRow, kMaxCatalogueRows);
  EXPECT_EQ(t.CatalogText[kMaxCatalogueRows - 1][0], std::to_string(kMaxCatalogueRows - 1));
}

TEST(ReadCatalogue, ShippedCatalogueKeepsAllButTheFourBrightest) {
  SourceTable t;
  ASSERT_TRUE(LoadCatalogueFile(SKYVANE_SHIPPED_CATALOGUE, t));
  // the heading row, 4840 sources (four are brighter than 1000 Jy), the Sun
  EXPECT_EQ(t.LastRow, 4841);
  EXPECT_EQ(t.CatalogText[0][0], "Number");
  for (int r = 1; r < 4841; ++r) ASSERT_LE(t.Flux[r], 1000) << r;
  EXPECT_EQ(t.CatalogText[1][8], "3c3");
}

TEST(ReadCatalogue, TortureFiles) {
  const std::string heading = "Number\tone\tName\tFlux\tfour\tfive\tRA\tDec\tProper Name";
  std::string million;
  million.reserve(25'000'000);
  for (int i = 0; i < 1'000'000; ++i) million += std::to_string(i) + "\t\tX\t3\t\t\t1h\t+1*\t\r\n";
  std::string binary;
  for (int i = 0; i < 70000; ++i) binary.push_back(static_cast<char>((i * 7919) % 256));
  const std::string long_field(10 * 1024 * 1024, 'x');
  // clang-format off
  struct Case {
    const char* name;
    std::string text;
    int rows;  // catalogue rows accepted, the Sun's row not counted
  } cases[] = {
      {"empty", "", 0},
      {"only a heading", heading, 1},
      {"heading with line end", heading + "\r\n", 1},
      {"a million lines", million, kMaxCatalogueRows},
      {"a 10 MB line", "1\t\t" + long_field + "\t5\r\n2\t\tB\t6\r\n", 2},
      {"a 10 MB flux field", "1\t\tA\t" + long_field + "\r\n", 1},
      {"CR only", "1\t\tA\t5\r2\t\tB\t5\r3\t\tC\t5", 3},
      {"LF only", "1\t\tA\t5\n2\t\tB\t5\n", 2},
      {"blank lines", "\r\n\n\r\r\n", 0},
      {"byte-order mark", "\xEF\xBB\xBF" + heading + "\r\n1\t\tA\t5\r\n", 2},
      {"fewer fields", "1\t\tA\r\n2\t\tB\t4\r\n3\r\n", 1},
      {"more fields", "1\t\tA\t5\t\t\t1h\t+1*\tN\tx\ty\tz\t\t\r\n", 1},
      {"NUL bytes", std::string("1\t\tA\0B\t5\r\n", 10), 1},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SourceTable t = Read(c.text);
    EXPECT_EQ(t.RowCount(), c.rows + 1);
    EXPECT_EQ(t.SunRow, c.rows);
    EXPECT_EQ(t.CatalogText[c.rows][8], "Sun");
  }
  // Bytes beyond ASCII are kept as Latin-1 letters and never end a line.
  SourceTable t = Read("5\t\t\xE9t\xC9\t2\x85\r\n6\t\tB\t3");
  ASSERT_EQ(t.RowCount(), 3);
  EXPECT_EQ(t.CatalogText[0][8], "\xC9t\xE9");
  EXPECT_EQ(t.CatalogText[0][3], "2\x85");
  t = Read("1\t\t" + long_field + "\t5\r\n");
  EXPECT_EQ(t.CatalogText[0][2].size(), long_field.size());
  EXPECT_EQ(t.CatalogText[0][8].size(), long_field.size());
  // Arbitrary bytes load whatever passes the rules, and the table stays whole.
  t = Read(binary);
  for (int r = 0; r + 1 < t.RowCount(); ++r) {
    EXPECT_LE(t.Flux[r], 1000);
    EXPECT_FALSE(t.CatalogText[r][3].empty());
  }
}

class CatalogueFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("skyvane_cat_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  void Write(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name, std::ios::binary) << text;
  }
  std::filesystem::path dir_;
};

TEST_F(CatalogueFileTest, NameMatchesWithoutRegardToCase) {
  Write("STARDATA.TXT", "1\t\tA\t5\n");
  auto found = FindCatalogueFile(dir_);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->filename(), "STARDATA.TXT");
  Write("StarData.txt", "1\t\tA\t5\n");
  EXPECT_EQ(FindCatalogueFile(dir_)->filename(), "StarData.txt");
}

TEST_F(CatalogueFileTest, MissingOrDirectoryIsNotACatalogue) {
  EXPECT_FALSE(FindCatalogueFile(dir_));
  std::filesystem::create_directory(dir_ / "stardata.txt");
  EXPECT_FALSE(FindCatalogueFile(dir_));
  SourceTable t;
  EXPECT_FALSE(LoadCatalogueFile(dir_ / "stardata.txt", t));
  EXPECT_FALSE(LoadCatalogueFile(dir_ / "nothing.txt", t));
  EXPECT_EQ(t.RowCount(), 0);
  EXPECT_FALSE(FindCatalogueFile(dir_ / "no_such_folder"));
}

}  // namespace
}  // namespace skyvane
