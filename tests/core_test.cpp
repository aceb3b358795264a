// SPDX-License-Identifier: GPL-3.0-or-later
// The layers without Qt: numbers, the catalogue, the sky arithmetic and the
// moment in the settings fields.
#include <erfa.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <sstream>

#include "catalogue/catalogue_reader.h"
#include "catalogue/votable_reader.h"
#include "sky/angles.h"
#include "sky/find_source.h"
#include "sky/horizontal.h"
#include "sky/plan.h"
#include "sky/positions_of_date.h"
#include "sky/sky_pass.h"
#include "sky/sun.h"
#include "time/calendar.h"
#include "time/time_steps.h"
#include "time/zones.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace skyvane {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(Catalogue, AnglesAndNames) {
  struct Angle { const char* text; double degrees; };
  Angle angles[] = {
      {"3h58'30.001''", 59.62500416666666}, {"+0*27'5.123''", 0.45142305555555556},
      {"-0*30'0''", -0.5}, {"-6*15'42''", -6.2616666666666667}, {"3h30''", 52.5}, {"2h", 30},
      {"-30'", -0.5}, {"garbage", 0}};  // a sign and no degrees
  for (const Angle& c : angles) EXPECT_NEAR(ParseAngle(c.text), c.degrees, 1e-12) << c.text;
  EXPECT_EQ(FormatName("cygnus A"), "Cygnus A");
  EXPECT_EQ(FormatName("CAS  a"), "Cas  A");
  EXPECT_EQ(FormatName("aZ zA"), "Az Za");  // the ends of the plain letters
  EXPECT_EQ(FormatName("\xE9toile \xC9T\xC9"), "\xC9toile \xC9t\xE9");
  // The Latin-1 letters' ends; y with diaeresis has no capital there, nor do the signs.
  EXPECT_EQ(FormatName("\xE0\xC0\xDE\xDF \xFE \xFF \xF7\xD7"),
            "\xC0\xE0\xFE\xDF \xDE \xFF \xF7\xD7");
}

SourceTable Read(const std::string& text) {
  std::istringstream in(text);
  SourceTable table;
  ReadCatalogue(in, table);
  return table;
}

std::string Line(const std::string& number, const std::string& flux, const std::string& name = "") {
  return number + "\t\t+00.14\t" + flux + "\t\t\t3h58'30.001''\t+0*27'5.123''\t" + name + "\r\n";
}

TEST(Catalogue, AcceptanceRulesAndTheSunRow) {
  SourceTable t = Read("Number\tone\tName\tFlux\tfour\tfive\tRA\tDec\tProper Name\r\n" +
                       Line("1", "1000", "3c99") + Line("2", "1000.5") + Line("7", "8") +
                       Line("7", "9") + Line("8", "2") + Line("7", "3"));
  ASSERT_EQ(t.RowCount(), 6);  // heading, 1, 7, 8, 7 again, the Sun
  EXPECT_EQ(t.CatalogText[2][3], "8");
  EXPECT_EQ(t.Flux[5], -27.97);

  // The heading is no source, whatever its flux field says.
  LoadReport bright;
  std::istringstream two("N\t\tHeading\t5000\r\n" + Line("2", "1000.5", "Big"));
  ReadCatalogue(two, t, &bright);
  EXPECT_NE(bright.Summary().find("1000 Jy: Big. View"), std::string::npos) << bright.Summary();
  // Many of them: the first names, whole, and how many more.
  std::string many = "N\t\tHeading\t5\r\n";
  for (int i = 10; i < 40; ++i)
    many += Line(std::to_string(i), "2000", "Source" + std::to_string(i));
  std::istringstream thirty(many);
  ReadCatalogue(thirty, t, &bright);
  EXPECT_NE(bright.Summary().find("Source20, Source21 and 18 more. View"), std::string::npos)
      << bright.Summary();
  const std::string long_name(111, 'A');  // and no more than 120 bytes of names
  std::istringstream edge("N\t\tHeading\t5\r\n" + Line("1", "2000", long_name) +
                          Line("2", "2000", "Bbbbbbbbb") + Line("3", "2000", "C"));
  ReadCatalogue(edge, t, &bright);
  EXPECT_NE(bright.Summary().find(long_name + ", Bbbbbbbbb and 1 more. View"), std::string::npos)
      << bright.Summary();

  // Longer than the table holds: the rows it has room for, the rest counted.
  std::string full = "N\t\tHeading\t5\r\n";
  for (int i = 1; i <= kMaxCatalogueRows; ++i) full += Line(std::to_string(i), "5");
  std::istringstream long_file(full);
  LoadReport over;
  SourceTable whole;
  ReadCatalogue(long_file, whole, &over);
  EXPECT_EQ(whole.RowCount(), kMaxCatalogueRows + 1);  // with the Sun's
  EXPECT_EQ(over.left_out, 1);

  // accepted, the Sun's not counted
  struct Torture { const char* name; std::string text; int rows; };
  Torture files[] = {
      {"empty", "", 0},
      {"first number empty", Line("", "5") + Line("1", "5") + Line("", "5") + Line("", "6"), 2},
      {"CR only", "1\t\tA\t5\r2\t\tB\t5\r3\t\tC\t5", 3},
      {"byte-order mark", "\xEF\xBB\xBFN\t\tName\tFlux\r\nN\t\tA\t5\r\n", 1},  // the number repeats
      {"fewer fields", "1\t\tA\r\n2\t\tB\t4\r\n3\r\n", 1},
      {"NUL bytes", std::string("1\t\tA\0B\t5\r\n", 10), 1},
  };
  for (const Torture& c : files) {
    SourceTable table = Read(c.text);
    EXPECT_EQ(table.RowCount(), c.rows + 1) << c.name;
  }
}

TEST(Catalogue, FilesAndWhatStartUpSaysOfThem) {
  SourceTable t;
  ASSERT_EQ(LoadCatalogueFile(SKYVANE_SHIPPED_CATALOGUE, t), CatalogueStatus::kLoaded);
  EXPECT_EQ(t.LastRow, 4841);  // four sources above 1000 Jy are left out
  EXPECT_EQ(t.CatalogText[1][8], "3c3");

  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / "skyvane_core_test";
  const fs::path latin1 = dir / "lat\xe9in1";  // not valid UTF-8: the bytes must still work
  const fs::path file = latin1 / "StarData.txt";
  auto write = [&](const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; };
  auto sized = [&](uintmax_t size) { write(""), fs::resize_file(file, size); };  // NUL bytes
  // A heading "1<tab><tab>É<tab>5" and a line "2<tab><tab>B<tab>6<tab><tab><tab>1h<tab>+1*"
  // in UTF-16 after its byte-order mark, either end first.
  std::string utf16 = "\xFF\xFE", utf16_big = "\xFE\xFF";
  for (const char c : std::string("1\t\t\xC9\t5\r\n2\t\tB\t6\t\t\t1h\t+1*\tZ")) {
    utf16 += {c, '\0'};
    utf16_big += {'\0', c};
  }
  const std::string data_line = "2\t\tB\t6\t\t\t1h0'0''\t+1*0'0''\t\r\n";
  // rows: read, the Sun's included
  struct Case { const char* name; std::function<void()> make; CatalogueStatus status; int rows;
                const char* says; };
  Case cases[] = {
      {"missing", [] {}, CatalogueStatus::kNotFound, 0, "not found"},
      {"a pipe", [&] { ::mkfifo(file.c_str(), 0600); }, CatalogueStatus::kNotRegularFile, 0,
       "not a regular file"},
      {"binary", [&] { write(std::string("1\t\tA\0\x01\t5", 9)); }, CatalogueStatus::kNotText, 0,
       "not a text file"},
      {"at the size limit", [&] { sized(kMaxFileBytes); }, CatalogueStatus::kNotText, 0,
       "not a text file"},
      {"too large", [&] { sized(kMaxFileBytes + 1); }, CatalogueStatus::kTooLarge, 0, "too large"},
      // not in the catalogue format, and no table either: refused, its header shown
      {"neither", [&] { write("1\t\tB\t6\r\n2\t\tC\t7\r\n"); }, CatalogueStatus::kNoPositions, 0,
       "1\t\tB\t6\nnames no right ascension"},
      {"a line too long",
       [&] {
         write("1\t\tA\t5\r\n1\t\t" + std::string(kMaxLineBytes, 'x') + "\t5\r\n" + data_line);
       },
       CatalogueStatus::kLoaded, 3, ""},
      {"UTF-16 with nothing after its mark", [&] { write("\xFF\xFE"); }, CatalogueStatus::kEmpty, 0,
       "no source"},
      {"UTF-16", [&] { write(utf16); }, CatalogueStatus::kLoaded, 3, ""},
      {"UTF-16, big end first", [&] { write(utf16_big); }, CatalogueStatus::kLoaded, 3, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(dir);
    fs::create_directories(latin1);
    c.make();
    SourceTable table;
    const CatalogueReport report = LoadFirstCatalogue({dir / "none", latin1}, {}, table);
    EXPECT_EQ(report.status, c.status);
    EXPECT_EQ(table.RowCount(), c.rows);
    EXPECT_EQ(report.read.unreadable, std::string(c.name) == "a line too long" ? 1 : 0);
    const std::string text = DescribeReport(report);
    EXPECT_EQ(text.empty(), c.status == CatalogueStatus::kLoaded);
    EXPECT_NE(text.find(c.says), std::string::npos) << text;
    // The message names the file, and every place looked in when there was none.
    EXPECT_EQ(text.find(ShownPath(file)) != std::string::npos, !text.empty()) << text;
    const bool names_both =
        text.find(ShownPath(dir / "none" / "StarData.txt")) != std::string::npos;
    EXPECT_EQ(names_both, c.status == CatalogueStatus::kNotFound) << text;
  }
  // The name is matched without regard to letter case.
  fs::rename(file, latin1 / "STARDATA.txt");
  const char* others[] = {"stardata.TXT", "Stardata.txt", "sTARDATA.txt"};
  for (const char* other : others) std::ofstream(latin1 / other) << "";
  EXPECT_EQ(FindCatalogueFile(latin1), latin1 / "STARDATA.txt");  // of several, the first in order
  for (const char* other : others) fs::remove(latin1 / other);
  fs::rename(latin1 / "STARDATA.txt", latin1 / "STARDATA.tsv");  // and no other name
  EXPECT_EQ(FindCatalogueFile(latin1), std::nullopt);
  fs::rename(latin1 / "STARDATA.tsv", file);
  EXPECT_EQ(ShownPath(latin1 / "\xC3\xA9\xC3"), (dir / "lat\\xE9in1" / "\xC3\xA9\\xC3").string());
  EXPECT_EQ(ShownPath("\xC2\xA9\xE0\xA0\x80\xEF\xBC\x81\xF4\x8F\xBF\xBF\xF5\x80\x80\x80\xC3" "A"),
            "\xC2\xA9\xE0\xA0\x80\xEF\xBC\x81\xF4\x8F\xBF\xBF\\xF5\\x80\\x80\\x80\\xC3" "A");
  SourceTable table;
  LoadFirstCatalogue({latin1}, {}, table);
  EXPECT_EQ(table.CatalogText[0][2], "\xC9");  // from the UTF-16 file, to its last letter
  EXPECT_EQ(table.CatalogText[1][8], "Z");
  write("1\t\tA\t5\t\t\t1h\t+1*\t" + std::string(1000, 'n') + "\r\n" + data_line);
  LoadFirstCatalogue({}, file, table);
  EXPECT_EQ(table.CatalogText[0][8].size(), kMaxFieldBytes);  // a name too long is cut
  EXPECT_EQ(LoadCatalogueFile("/proc/self/mem", table), CatalogueStatus::kNotReadable);
  CatalogueReport short_of_memory{CatalogueStatus::kOutOfMemory, file, {}, {}, {}};
  EXPECT_EQ(DescribeReport(short_of_memory), "The catalogue file cannot be used:\n" +
                                                 ShownPath(file) +
                                                 "\nthere is not enough memory to read it");
  fs::remove_all(dir);
}

// Every input the fuzzer kept passes its checks again (a failed one aborts).
TEST(Catalogue, FuzzCorpusReplays) {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(SKYVANE_FUZZ_CORPUS)) {
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    ++count;
  }
  EXPECT_GT(count, 1000);
}

// A table read from text, and what its report said.
struct TableRead {
  SourceTable table;
  LoadReport report;
};
using Reader = void (*)(std::istream&, Equinox, SourceTable&, LoadReport&);
TableRead ReadText(const std::string& text, Equinox assumed = Equinox::kJ2000,
                   Reader read = ReadTable) {
  TableRead r;
  std::istringstream in(text);
  read(in, assumed, r.table, r.report);
  return r;
}
// A VOTable of one table whose content starts with `body`.
TableRead ReadVo(const std::string& body, Equinox assumed = Equinox::kJ2000) {
  return ReadText("<?xml version=\"1.0\"?><VOTABLE><RESOURCE><TABLE>" + body, assumed, ReadVoTable);
}

TEST(Tables, ExportsSpreadsheetsAndTheCatalogueFormat) {
  // name, right ascension, declination (degrees), flux (Jy) of each row kept
  struct Row { const char* name; double ra, dec, flux; };
  struct Case { const char* file; Equinox assumed; std::vector<Row> rows; const char* said; };
  Case cases[] = {
      {"export.tsv", Equinox::kB1950,
       {{"3C 461", 350.8584, 58.8118, 11000}, {"3C 405", 299.8682, 40.7339, 8100},
        {"3C 48", 24.4221, 33.1598, 60}, {"3C 286", 202.7845, 30.5092, 27.5},
        {"3C 295", 212.836, 52.2025, 83.2}, {"3C 245", 161.2508, 6.4183, 15.1}},
       "tab-separated table, positions for J2000: 7 lines read, 6 kept; 1 with no readable "
       "position.\nline 13: not-a-position"},
      // a comment block past 4 KiB, split sexagesimal columns, the sign on its own
      {"split_columns_4c.tsv", Equinox::kB1950,
       {{"+00.01", 0.375, 27.1 / 60, 8.8}, {"+58.40", 350.28, 58 + 32.8 / 60, 11000},
        {"-00.55", 212.25, -0.5, 4.2}, {"+10.99", 0, 10, 3}},
       "tab-separated table, positions for B1950: 5 lines read, 4 kept; 1 with no readable "
       "position.\nline 85: 12\t61"},
      // semicolons, decimal commas, quotes as arcsecond marks, CR alone, Latin-1
      {"spreadsheet_latin1.csv", Equinox::kJ2000,
       {{"Cygnus A", 299.865, 40 + 44 / 60.0 + 2 / 3600.0, 8100},
        {"M\xFCnchen test", 83.625, 22 + 52 / 3600.0, 13.4},
        {"Cas A; SNR", 350.865, 58.815, 11000}},
       "semicolon-separated table, positions for J2000: 4 lines read, 3 kept; 1 with no readable "
       "position.\nline 5: broken"},
      {"targets.csv", Equinox::kJ2000,
       {{"Virgo A; M87", 187.70583333, 12.39111111, 850},
        {"Taurus A, Crab", 83.63291667, 22.01444444, 875}, {"3C 273", 187.27791667, 2.0525, 66},
        {"Orion \"A\"", 83.82083333, -5.38333333, 520}},
       "semicolon-separated table, positions for J2000: 5 lines read, 4 kept; 1 with no readable "
       "position.\nline 6: \"Somewhere\";"},
      // found by their UCDs, units from the fields, the equinox from the system they refer to
      {"sources.vot", Equinox::kJ2000,
       {{"3C 461", 350.29416667, 58.55166667, 12000}, {"3C 405 & Cyg A", 299.43875, 40.6, 8700},
        {"3C 48", 23.7075, 32.90555556, 1}},
       "VOTable, positions for B1950: 4 lines read, 3 kept; 1 with no readable position.\n"
       "line 3: row 3"},
      {"sources_binary2.vot", Equinox::kB1950,
       {{"3C 286", 202.784533, 30.509155, 14.9}, {"3C 48", 24.422081, 33.159759, 1},
        {"", 10, 20, 5}},
       "VOTable, positions for J2000: 3 lines read, 3 kept."},
      // found by name, fixed-size text and 32-bit integers, no null flags
      {"sources_binary.vot", Equinox::kB1950,
       {{"Tau A", 83.633083, 22.0145, 875}, {"Vir A", 187.70593, 12.391123, 1210}},
       "VOTable, positions for J2000: 2 lines read, 2 kept."},
      {"catalogue_format.txt", Equinox::kJ2000,
       {{"3c99", 0.375, 27 / 60.0 + 5 / 3600.0, 8.8}, {"+05.03", 1.2925, 5.2, 12.1}},
       "catalogue format, positions for B1950: 4 lines read, 2 kept; 1 with a flux above 1000; 1 "
       "repeating the number before.\nline 4: 2\t"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    SourceTable t;
    LoadReport report;
    const std::string file = std::string(SKYVANE_TEST_DATA) + "/" + c.file;
    ASSERT_EQ(LoadCatalogueFile(file, t, &report, c.assumed), CatalogueStatus::kLoaded)
        << report.refusal;
    EXPECT_EQ(report.Summary().substr(0, std::string(c.said).size()), c.said);
    ASSERT_EQ(t.RowCount(), int(c.rows.size()) + 2);  // the heading's row 0 and the Sun's
    if (c.file == std::string("export.tsv")) {
      EXPECT_EQ(t.CatalogText[3][3], "60.0");  // the flux as written, for the readout
    }
    for (size_t i = 0; i < c.rows.size(); ++i) {
      EXPECT_EQ(t.CatalogText[i + 1][8], c.rows[i].name);
      EXPECT_NEAR(t.RaDec[i + 1][0], c.rows[i].ra, 1e-6) << c.rows[i].name;
      EXPECT_NEAR(t.RaDec[i + 1][1], c.rows[i].dec, 1e-6) << c.rows[i].name;
      EXPECT_NEAR(t.Flux[i + 1], c.rows[i].flux, 1e-9) << c.rows[i].name;
      // what the pass computes with
      EXPECT_DOUBLE_EQ(t.SinDec[i + 1], std::sin(t.RaDec[i + 1][1] * kDegree));
      EXPECT_EQ(t.J2000[i + 1], report.equinox == "J2000");
    }
  }
  // Exports as services and spreadsheets write them: the equinox comes from
  // the position columns read, units from the header or a units row.
  struct Inline { const char* name; const char* text; double ra, dec, flux; const char* equinox;
                  const char* said; };
  Inline inlines[] = {
      {"ICRS, flux first in mJy by its name",
       "S1.4GHz (mJy),RA_ICRS,DE_ICRS,Name\n14900,202.784533,+30.509155,3C 286\n", 202.784533,
       30.509155, 14.9, "J2000", "1 kept."},
      {"B1950 columns first",
       "Name,RAB1950,DEB1950,RAJ2000,DEJ2000\n3C 48,23.6875,32.8788,24.4221,33.1598\n", 23.6875,
       32.8788, 1, "B1950", "1 kept."},
      {"a units row in hours and mJy", "RA,Dec,Flux\nhours,deg,mJy\n12.5,-0.5,2500\n", 187.5, -0.5,
       2.5, "B1950", "1 kept."},
      {"hours in brackets", "Name;RA [h];Dec (deg);S1400\nA;12,5;-20,25;3,5\n", 187.5, -20.25, 3.5,
       "B1950", "1 kept."},
      {"sexagesimal under a unit of degrees", "RA (d:m:s),Dec\n187 30 00,-00 30 00\n", 187.5, -0.5,
       1, "B1950", "1 kept."},
      {"plain numbers below 24", "RA,Dec\n12.5,10\n", 12.5, 10, 1, "B1950",
       "1 kept.\nEvery right ascension is below 24"},
      {"a bad first row is data", "RA,Dec\nabc,def\n10,-0d30m\n", 10, -0.5, 1, "B1950",
       "2 lines read, 1 kept; 1 with no readable position.\nline 2: abc,def"},
      {"60 in split columns",
       "RAh\tRAm\tRAs\tDE-\tDEd\tDEm\tDEs\n1\t0\t60\t+\t1\t0\t0\n1\t60\t0\t+\t1\t0\t0\n2\t0\t0\t-"
       "\t0\t29\t36\n3\t0\t0\t?\t0\t30\t0\n3\t0\t0\t+\t0\t0\t60\n3\t0\t0\t+\t0\t60\t0\n",
       30, -0.49333333, 1, "B1950", "1 kept; 5 with no readable"},
      {"radians", "ra (rad),DECrad\n3.14159265358979,0.5\n", 180, 28.64788976, 1, "B1950",
       "1 kept."},
      {"the equinox of the right ascension alone", "RAJ2000,Dec\n10,20\n", 10, 20, 1, "J2000",
       "1 kept."},
      {"a sign twice", "RA,Dec\n++10,20\n10,-+5\n+1,-2\n", 1, -2, 1, "B1950",
       "3 lines read, 1 kept; 2 with no"},
      {"a UTF-8 mark before the header", "\xEF\xBB\xBFRA,Dec\n10,20\n", 10, 20, 1, "B1950",
       "1 kept."},
      {"one semicolon", "RA;Dec\n10,5;20\n", 10.5, 20, 1, "B1950", "1 kept."},
      {"semicolons win a tie with commas", "RA;Dec;S(1,4 GHz), Jy\n10,5;20,25;3,5\n", 10.5, 20.25,
       3.5, "B1950", "1 kept."},
      {"mJy in the flux column's name", "RA,Dec,Flux_mJy\n10,20,2500\n", 10, 20, 2.5, "B1950",
       "1 kept."},
      {"and after a bracket", "RA,Dec,S (1.4 GHz) mJy\n10,20,2500\n", 10, 20, 2.5, "B1950",
       "1 kept."},
      {"a units row leaves units in brackets",
       "RA [h],Dec (rad),S1400 (mJy),Name\n,,,-\n12.5,0.5,2500,X\n", 187.5, 28.64788976, 2.5,
       "B1950", "1 kept."},
      {"tabs round a comma table's flux", "RA,Dec,Flux\n10,20,\t13.4\t\n", 10, 20, 13.4, "B1950",
       "1 kept."},
      {"24 hours and a comment after the header",
       "RAJ2000,DEJ2000,Name\n# a note\n24 00 00,+10,X\n", 0, 10, 1, "J2000", "1 kept."},
      {"the equinox of the declination alone", "RA,DEJ2000\n10,20\n", 10, 20, 1, "J2000",
       "1 kept."},
      {"the first declination column", "DEJ2000,RAJ2000,DEB1950\n20,10,21\n", 10, 20, 1, "J2000",
       "1 kept."},
      {"the first right ascension column", "RAJ2000,DEJ2000,RAB1950\n10,20,9\n", 10, 20, 1,
       "J2000", "1 kept."},
      {"a units row for the declination", "RA,Dec\ndeg,rad\n10,0.5\n", 10, 28.64788976, 1, "B1950",
       "1 kept."},
      {"words under the data are no units row", "RA,Dec,Name\n10,20,a\n,,b\n", 10, 20, 1, "B1950",
       "2 lines read, 1 kept; 1 with no readable position.\nline 3: ,,b"},
      {"past 360 degrees, past the pole, and infinity", "RA,Dec\n360.5,20\n1,90.5\ninf,20\n10,20\n",
       10, 20, 1, "B1950", "4 lines read, 1 kept; 3 with no"},
      {"a quoted row shorter than the last", "RA,Dec,Flux\nx,y,5\n\"10\",20\n", 10, 20, 1, "B1950",
       "2 lines read, 1 kept"},
  };
  for (const Inline& c : inlines) {
    SCOPED_TRACE(c.name);
    const TableRead r = ReadText(c.text, Equinox::kB1950);
    ASSERT_EQ(r.table.RowCount(), 3) << r.report.Summary();
    EXPECT_NEAR(r.table.RaDec[1][0], c.ra, 1e-6);
    EXPECT_NEAR(r.table.RaDec[1][1], c.dec, 1e-6);
    EXPECT_NEAR(r.table.Flux[1], c.flux, 1e-9);
    EXPECT_EQ(r.report.equinox, c.equinox);
    EXPECT_NE(r.report.Summary().find(c.said), std::string::npos) << r.report.Summary();
  }
  // Degrees said in the header: no word of hours.
  for (const char* header : {"RA (deg),Dec\n", "RAdeg,DEdeg\n"}) {
    const std::string degrees = ReadText(header + std::string("12.5,10\n")).report.Summary();
    EXPECT_EQ(degrees.find("below 24"), std::string::npos) << degrees;
  }
  // A line the report quotes is quoted to its first 80 bytes.
  const std::string wide(100, 'x');
  const std::string quoted = ReadText("RA,Dec\n" + wide + "\n100,2\n").report.Summary();
  EXPECT_EQ(quoted.substr(quoted.find("line 2: ")), "line 2: " + wide.substr(0, 80)) << quoted;
  // A table with no position columns is refused, its header shown.
  const TableRead refused = ReadText("# x\nName,X,Y," + std::string(300, 'Z') + "\nA,1,2\n");
  EXPECT_EQ(refused.table.RowCount(), 0);
  EXPECT_NE(refused.report.refusal.find("  Name,X,Y," + std::string(191, 'Z') +
                                        "\nnames no right ascension"),
            std::string::npos);  // its first 200 bytes
  // A VOTable without positions is refused with its fields; one cut short
  // keeps the rows before the break and says where it broke.
  for (const char* fields :
       {"<FIELD name=\"x\"/><FIELD name=\"y\"/>", "<FIELD name=\"RA\"/><FIELD name=\"Dec\"/>"}) {
    const TableRead vot =
        ReadVo(fields + std::string("<DATA><TABLEDATA><TR><TD>10</TD><TD>20</TD></TR><TR><TD>1"));
    const LoadReport& r = vot.report;
    EXPECT_EQ(vot.table.RowCount(), r.refusal.empty() ? 3 : 0);
    const char* said = r.refusal.empty() ? "The XML breaks off at line 1" : "x, y\nname no right";
    EXPECT_NE((r.refusal + r.Summary()).find(said), std::string::npos) << r.refusal << r.Summary();
  }
  // The UCDs tell the columns, in any order, over their names; of two the
  // main one.
  const SourceTable described =
      ReadVo("<FIELD name=\"x\" ucd=\"phot.flux.density\" unit=\"mJy\"/>"
             "<FIELD name=\"RA\" ucd=\"pos.eq.dec;meta.main\" unit=\"rad\"/>"
             "<FIELD name=\"b\" ucd=\"pos.eq.ra\" unit=\"rad\"/>"
             "<FIELD name=\"c\" ucd=\"pos.eq.ra;meta.main\" unit=\"deg\"/>"
             "<DATA><TABLEDATA><TR><TD>7500</TD><TD>0.5</TD><TD>3.14159265358979</TD><TD>90</TD>"
             "</TR><TR><TD/><TD>0.5</TD><TD>1</TD></TR></TABLEDATA></DATA>").table;
  ASSERT_EQ(described.RowCount(), 3);  // the second row's right ascension is left off
  EXPECT_NEAR(described.RaDec[1][0], 90, 1e-9);
  EXPECT_NEAR(described.RaDec[1][1], 28.64788976, 1e-6);
  EXPECT_EQ(described.Flux[1], 7.5);  // in mJy, though the first column
  const SourceTable dec_first = ReadVo("<FIELD name=\"p\" ucd=\"pos.eq.dec\" unit=\"rad\"/>"
                                       "<FIELD name=\"q\" ucd=\"pos.eq.ra\"/><DATA><TABLEDATA>"
                                       "<TR><TD>0.5</TD><TD>10</TD></TR></TABLEDATA></DATA>").table;
  ASSERT_EQ(dec_first.RowCount(), 3);  // and the declination's first
  EXPECT_NEAR(dec_first.RaDec[1][1], 28.64788976, 1e-6);
  // A frame says the equinox, or leaves it to the one assumed.
  struct Frame { const char* coosys; Equinox assumed; const char* equinox; };
  Frame frames[] = {
      {"system=\"eq_FK5\"", Equinox::kB1950, "J2000"},
      {"system=\"eq_FK4\"", Equinox::kJ2000, "B1950"},
      {"equinox=\"B1950.0\"", Equinox::kJ2000, "B1950"},
      {"system=\"galactic\"", Equinox::kB1950, "B1950"}};
  for (const Frame& f : frames) {
    const TableRead framed =
        ReadVo("<COOSYS ID=\"s\" " + std::string(f.coosys) +
                   "/><FIELD name=\"RA\" ref=\"s\"/><FIELD name=\"Dec\"/><DATA>"
                   "<TABLEDATA><TR><TD>1</TD><TD>2</TD></TR></TABLEDATA></DATA>",
               f.assumed);
    EXPECT_EQ(framed.report.equinox, f.equinox) << f.coosys;
  }
  // Binary rows: one steps over a complex visibility (1 + 2i) to its
  // position; BINARY2 rows open with a byte of null flags per eight fields,
  // here before a flux in one byte or, the ninth field, after it with its
  // flag set.
  const std::string position = "<FIELD name=\"RA\" datatype=\"double\"/>"
                               "<FIELD name=\"Dec\" datatype=\"double\"/>";
  const std::string flux = "<FIELD name=\"S178\" datatype=\"unsignedByte\"/>";
  auto shorts = [](int n) {
    std::string fields;
    for (int k = 0; k < n; ++k)
      fields += "<FIELD name=\"n" + std::to_string(k) + "\" datatype=\"short\"/>";
    return fields;
  };
  auto stream = [](const std::string& fields, const std::string& kind, const std::string& base64) {
    return ReadVo(fields + "<DATA><" + kind + "><STREAM encoding=\"base64\">" + base64 +
                  "</STREAM></" + kind + "></DATA></TABLE></RESOURCE></VOTABLE>");
  };
  // A NaN flux is none: the readout's text is the one of a row without a flux.
  // Integers of each width are fluxes like any.
  struct Binary { std::string fields, stream, base64; double flux; const char* flux_text; };
  Binary binaries[] = {{"<FIELD name=\"V\" datatype=\"doubleComplex\"/>" + position, "BINARY",
                        "P/AAAAAAAABAAAAAAAAAAEAlAAAAAAAAwDRAAAAAAAA=", 1, "1"},
                       {position + flux + shorts(5), "BINARY2",
                        "AUAlAAAAAAAAwDRAAAAAAAAqAAAAAQACAAMABA==", 42, "42"},
                       {position + shorts(6) + flux, "BINARY2",
                        "AIBAJQAAAAAAAMA0QAAAAAAAAAAAAQACAAMABAAFKg==", 1, "1"},
                       {position + "<FIELD name=\"S178\" datatype=\"double\"/>", "BINARY",
                        "QCUAAAAAAADANEAAAAAAAH/4AAAAAAAA", 1, "1"},
                       {position + "<FIELD name=\"S178\" datatype=\"short\"/>", "BINARY",
                        "QCUAAAAAAADANEAAAAAAAAEs", 300, "300"},
                       {position + "<FIELD name=\"S178\" datatype=\"float\"/>", "BINARY",
                        "QCUAAAAAAADANEAAAAAAAEAgAAA=", 2.5, "2.5"},
                       {position + "<FIELD name=\"S178\" datatype=\"int\"/>", "BINARY",
                        "QCUAAAAAAADANEAAAAAAAAAAAEY=", 70, "70"},
                       {position + "<FIELD name=\"S178\" datatype=\"long\"/>", "BINARY",
                        "QCUAAAAAAADANEAAAAAAAAAAAAAAAAAJ", 9, "9"}};
  for (const Binary& b : binaries) {
    const SourceTable binary = stream(b.fields, b.stream, b.base64).table;
    ASSERT_EQ(binary.RowCount(), 3) << b.base64;
    EXPECT_EQ(binary.RaDec[1], (std::array<double, 2>{10.5, -20.25})) << b.base64;
    EXPECT_EQ(binary.Flux[1], b.flux);
    EXPECT_EQ(binary.CatalogText[1][3], b.flux_text);
  }
  // An array longer than the stream is a row cut short, however long it says.
  const std::string vast = "<FIELD name=\"RA\" datatype=\"double\" arraysize=\"" +
                           std::to_string(1LL << 62) + "\"/>" + position;
  EXPECT_EQ(stream(vast, "BINARY", "QCUAAAAAAADANEAAAAAAAA==").table.RowCount(), 2);
  const std::string broken = ReadVo("<FIELD name=\"RA\"><<").report.refusal;
  EXPECT_EQ(broken.rfind("it is no well-formed VOTable", 0), 0u) << broken;
  // One encoding for the whole file: UTF-8 names where all of it is UTF-8,
  // Latin-1 ends at U+00FF; fields are cut at 255 bytes.
  auto first_name = [](const std::string& text, int row = 1) {
    return ReadText(text).table.CatalogText[row][8];
  };
  EXPECT_EQ(
      first_name("Name,RA,Dec\n\xC2\xB5 Caf\xC3\xA9 \xC3\xBF\xF4\x8F\xBF\xBF"
                 "\xF0\x9F\x98\x80\xE2\x82\xAC\xC4\x80,1,2\n"),
      "\xB5 Caf\xE9 \xFF????");
  // A character cut at the 255th byte keeps what is left of it as it stands.
  const std::string long_name(254, 'n');
  EXPECT_EQ(first_name("Name,RA,Dec\n" + long_name + "\xC3\xA9,1,2\n"), long_name + "\xC3");
  // A lead byte, a byte that leads nothing, a lone follower.
  for (const char* latin1 : {"Caf\xE9", "M\xFCnchen", "x\x80"})
    EXPECT_EQ(first_name("Name,RA,Dec\n" + std::string(latin1) + ",1,2\nCaf\xC3\xA9,1,2\n", 2),
              "Caf\xC3\xA9");
  // A character cut by a line's end is no UTF-8.
  EXPECT_EQ(first_name("Name,RA,Dec\nx\xC3\nCaf\xC3\xA9,1,2\n"), "Caf\xC3\xA9");
  EXPECT_EQ(first_name("ID,Name,RA,Dec\n17,  Cyg A ,1,2\n"), "Cyg A");  // a column called Name wins
  EXPECT_EQ(first_name("Source,ID,RA,Dec\nCyg A,17,1,2\n"), "Cyg A");  // else the first
  const std::string zeros(300, '0');
  const TableRead wide_fields = ReadText("RA,Name,Dec,Flux\n1." + zeros + "," +
                                         std::string(300, 'n') + ",2,3." + zeros + "\n");
  for (int field : {2, 3, 6, 8}) EXPECT_EQ(wide_fields.table.CatalogText[1][field].size(), 255u);
  EXPECT_EQ(first_name("RA,Dec,Name\n1,2,\"say \"\"hi\"\"\"\n"), "say \"hi\"");
  for (int row : {1, 2})  // with quotes after it, blanks before or after
    EXPECT_EQ(first_name("RA,Dec,Name,Note\n1,2, Cyg A,\"x, y\"\n1,2,Cyg A ,\"\"\n", row), "Cyg A");
  // More usable rows than the table holds: the brightest, in file order, the
  // earlier of equal ones.
  std::string many = "RA,Dec,Flux\n";
  for (int i = 1; i <= kMaxCatalogueRows + 50; ++i)
    many += "1,2," + std::to_string(std::max(i, 60)) + "\n";
  const TableRead full = ReadText(many);  // rows 1 to 60 tie at the faintest flux
  EXPECT_EQ(full.report.kept, kMaxCatalogueRows - 1);
  EXPECT_EQ(full.report.left_out, 51);
  EXPECT_EQ(full.table.CatalogText[9][0], "10");  // the ninth row, on line 10
  EXPECT_EQ(full.table.Flux[9], 60);
  EXPECT_EQ(full.table.Flux[10], 61);
  EXPECT_EQ(full.table.Flux[kMaxCatalogueRows - 1], kMaxCatalogueRows + 50);
  // A row that takes a dropped row's place keeps none of its texts.
  std::string faint = "RA,Dec,Flux,Name\n";
  for (int i = 1; i < kMaxCatalogueRows; ++i) faint += "1,2,0.5,gone\n";
  const TableRead replaced = ReadText(faint + "3,4\n");
  EXPECT_EQ(replaced.table.CatalogText[kMaxCatalogueRows - 1][2], "");
  EXPECT_EQ(replaced.table.CatalogText[kMaxCatalogueRows - 1][3], "1");
  // Told apart by content: a tab table whose heading has nine fields is no
  // catalogue when its lines lack the format's angle forms.
  std::istringstream nine("a\tb\tc\td\te\tf\tRA\tDec\tName\n1\t\tx\t2\t\t\t10.5\t20\tA\n");
  EXPECT_FALSE(SniffFile(nine).catalogue_format);
  // Most data lines decide: four of ten in the format's forms are not enough.
  std::string mixed = "a\tb\tc\td\te\tf\tRA\tDec\tName\n";
  for (int i = 0; i < 10; ++i)
    mixed += i < 4 ? "1\t\tx\t5\t\t\t1h0'0''\t+2*0'0''\t\n" : "1\t\tx\t5\t\t\t10.5\t20\t\n";
  std::istringstream four(mixed);
  EXPECT_FALSE(SniffFile(four).catalogue_format);
  std::ifstream shipped(SKYVANE_SHIPPED_CATALOGUE, std::ios::binary);
  EXPECT_TRUE(SniffFile(shipped).catalogue_format);
  // With or without a prolog or a UTF-8 mark.
  for (const char* first : {"<?xml version=\"1.0\"?>\n", "<VOTABLE version=\"1.4\">\n",
                            "\xEF\xBB\xBF<?xml version=\"1.0\"?>\n"}) {
    std::istringstream xml(first + std::string("<RESOURCE>\n"));
    EXPECT_TRUE(SniffFile(xml).votable) << first;
  }
  std::istringstream b1950("# exported\n#\nName,RAB1950,DEB1950\nA,1,2\n");  // under comments
  EXPECT_EQ(SniffFile(b1950).equinox, Equinox::kB1950);  // then no one is asked
  // As many tabs as semicolons: tabs win, and the declination "2;3" is unreadable;
  // the line too long after it is skipped, once.
  const TableRead tie =
      ReadText("ra\tdec\ta;b;c\n1\t2;3\t4\n" + std::string(kMaxLineBytes + 1, 'x'));
  EXPECT_EQ(tie.report.format, "tab-separated table");
  EXPECT_EQ(tie.report.unreadable, 2);
  EXPECT_NE(tie.report.Summary().find("line 3: (a line too long)"), std::string::npos);
  // Angles as tables write them; in hours where the text or the column says so.
  // degrees NaN: unreadable
  struct Angle { const char* text; bool hours; double degrees; };
  Angle angles[] = {
      {"12 30 49.4", true, 187.70583333333333}, {"-05d30m", false, -5.5},
      {"+12 23 28", false, 12.391111111111112}, {"12h30m", false, 187.5}, {"187.5", false, 187.5},
      {"12.5", true, 187.5}, {"12 60 00", true, NAN}, {"12 30 60", true, NAN}, {"12 61", true, NAN},
      {"abc", false, NAN}, {"", false, NAN}, {"1 2 3 4", false, NAN},
      {" -05\u00B030'", false, -5.5}};
  for (const Angle& c : angles) {
    const double value = ParseSexagesimal(c.text, c.hours);
    EXPECT_TRUE(std::isnan(c.degrees) ? std::isnan(value) : std::fabs(value - c.degrees) < 1e-9)
        << c.text << ": " << value;
  }
}

TEST(Sky, HorizontalCoordinatesWorkedValues) {
  struct Case { double ra, dec, lst, hour_angle, altitude, azimuth; };
  Case cases[] = {
      {100, 20, 130, 30, 56.3675, 121.9721}, {10, -30, 350, 340, 15.4861, 197.9000},
      {350, 5, 10, 20, 48.7660, 148.8743}, {0, 0, 90, 90, 0, 90}};
  for (const Case& c : cases) {
    const Horizontal h = ToHorizontal(c.ra, c.dec, 42.2, c.lst);
    EXPECT_DOUBLE_EQ(h.HourAngle, c.hour_angle) << c.ra;
    EXPECT_NEAR(h.Altitude, c.altitude, 5e-5) << c.ra;
    EXPECT_NEAR(h.Azimuth, c.azimuth, 5e-5) << c.ra;
  }
  // On the meridian rounding pushes the azimuth's cosine past 1: south stays south.
  for (double dec = -37.8; dec < 89.9; dec += 0.05) {
    if (std::fabs(dec - 42.2) < 0.01) continue;  // the zenith has no azimuth
    const double azimuth = ToHorizontal(123.4, dec, 42.2, 123.4).Azimuth;
    ASSERT_NEAR(std::fabs(std::remainder(azimuth - 180, 360)), dec < 42.2 ? 0 : 180, 1e-2) << dec;
  }
  // A pass ahead as compass bearings every 2 minutes for 12 hours, while it
  // stays up: from the transit, one that never sets, and one that sets in
  // the west after six sidereal hours; the first is kept however low.
  const std::vector<double> circling = BearingsAhead(0, 80, 52, 0, 0, 2, 12);
  EXPECT_EQ(circling.size(), 361u);
  EXPECT_EQ(circling.front(), 0);  // due north is 0, never 360
  const std::vector<double> setting = BearingsAhead(0, 0, 52, 0, 0, 2, 12);
  EXPECT_NEAR(setting.front(), 180, 1e-9);
  EXPECT_NEAR(setting.back(), 270, 1);
  EXPECT_EQ(setting.size(), 180u);
  EXPECT_EQ(BearingsAhead(0, 0, 52, 0, 70, 2, 12).size(), 1u);
  // At the zenith and the nadir the altitude's sine reaches 1 and -1.
  for (double latitude : {0.0, 42.2, -60.0, 89.0}) {
    EXPECT_NEAR(ToHorizontal(10, latitude, latitude, 10).Altitude, 90, 1e-6) << latitude;
    EXPECT_NEAR(ToHorizontal(190, -latitude, latitude, 10).Altitude, -90, 1e-6) << latitude;
  }
  // The block conversion is the row-by-row one, bit for bit, beyond one block,
  // and leaves the rows after the last asked for alone.
  SourceTable rows;
  for (int i = 0; i < 160; ++i) {
    rows.AddRow();
    rows.RaDec[i] = {std::fmod(i * 37.3, 360), -80 + i * 1.1};
    rows.UpdateDeclinationCache(i);
  }
  ToHorizontalRows(rows.RaDec.data(), rows.SinDec.data(), rows.CosDec.data(), 150,
                   std::sin(42.2 * kDegree), std::cos(42.2 * kDegree), 40, rows.AzAlt.data());
  for (int i = 0; i < 150; ++i) {
    const Horizontal h = ToHorizontal(rows.RaDec[i][0], rows.RaDec[i][1], 42.2, 40);
    ASSERT_EQ(rows.AzAlt[i], (std::array<double, 2>{h.Azimuth, h.Altitude})) << i;
  }
  EXPECT_EQ(rows.AzAlt[150], (std::array<double, 2>{0, 0}));
}

TEST(Sky, SunWrapAndArcTangent) {
  SunPosition s = ComputeSunPosition(-3544.5);  // 19 April 1990, 0h UT
  EXPECT_NEAR(s.Ra, 26.6581, 5e-5);
  EXPECT_NEAR(s.Dec, 11.0084, 5e-5);
  EXPECT_NEAR(s.Distance, 1.004323, 5e-7);
  s = ComputeSunPosition(-1.5);  // 31 December 1999: southern declinations wrap
  EXPECT_NEAR(s.Ra, 279.6345, 5e-5);
  EXPECT_NEAR(s.Dec, 336.8563, 5e-5);
  EXPECT_EQ(Wrap360(360), 0);
  EXPECT_EQ(Wrap360(-720.5), 359.5);
  EXPECT_EQ(Wrap360(0.3), 0.3);  // untouched, not 0.3 + 360 - 360
  EXPECT_EQ(Wrap360(1e12 + 10), std::fmod(1e12 + 10, 360));
  EXPECT_TRUE(std::isnan(Wrap360(kInf)));
  struct Case { double y, x, radians; };
  Case cases[] = {
      {0, 0, 0}, {1, 0, 1.5707963267949}, {-1, 5e-8, -1.5707963267949}, {0, -1, 3.14159265358979},
      {-1, -1, std::atan(1.0) - 3.14159265358979}, {1, -1, 3.14159265358979 - std::atan(1.0)},
      {5e-8, 5e-8, 0}, {1, 1.00005e-7, std::atan(1 / 1.00005e-7)}};
  for (const Case& c : cases) EXPECT_EQ(Atan2(c.y, c.x), c.radians) << c.y << "," << c.x;
}

// Settings fields at "month/day/year hour:minute:second", any part empty.
SettingsFields Fields(const std::string& moment, int mode, int zone = 12) {
  SettingsFields f;
  f.Latitude = "42.2";
  f.Longitude = "-82.84";
  f.ZoneIndex = zone;
  f.ClockMode = mode;
  std::string* parts[] = {&f.Date[0], &f.Date[1], &f.Date[2], &f.Time[0], &f.Time[1], &f.Time[2]};
  int i = 0;
  for (char c : moment)
    c == '/' || c == ' ' || c == ':' ? void(i = std::min(i + 1, 5)) : parts[i]->push_back(c);
  return f;
}

// The fields' moment in the same form.
std::string Shown(const SettingsFields& f) {
  return f.Date[0] + "/" + f.Date[1] + "/" + f.Date[2] + " " + f.Time[0] + ":" + f.Time[1] + ":" +
         f.Time[2];
}

SkyState Pass(SettingsFields& f, SourceTable* table = nullptr, PositionsOfDate* of_date = nullptr) {
  SourceTable sun_only;
  sun_only.AddRow();
  sun_only.AddRow();
  sun_only.LastRow = sun_only.SunRow = 1;
  SkyState sky;
  ComputeSky(f, sky, table ? *table : sun_only, of_date);
  return sky;
}

constexpr int AM = kClockAm, PM = kClockPm, H24 = kClock24;

TEST(Pass, ReadsValidatesAndWritesTheFieldsBack) {
  // the 24-hour hour the pass computes with
  struct Case { const char* name; SettingsFields in; int hour; const char* out; };
  Case cases[] = {
      {"pm noon", Fields("5/3/2024 12:0:0", PM), 12, "5/3/2024 12:00:00"},
      {"pm three", Fields("5/3/2024 3:0:0", PM), 15, "5/3/2024 3:00:00"},
      {"pm fifteen", Fields("5/3/2024 15:0:0", PM), 15, "5/3/2024 3:00:00"},
      {"am midnight", Fields("5/3/2024 12:0:0", AM), 0, "5/3/2024 12:00:00"},
      {"am fifteen", Fields("5/3/2024 15:0:0", AM), 15, "5/3/2024 3:00:00"},
      {"24 hour 24", Fields("5/3/2024 24:0:0", H24), 0, "5/3/2024 0:00:00"},
      {"24 hour 23", Fields("5/3/2024 23:59:59", H24), 23, "5/3/2024 23:59:59"},
      {"ten past ten", Fields("5/3/2024 10:10:10", H24), 10, "5/3/2024 10:10:10"},
      {"minute 60, second -1", Fields("5/3/2024 1:60:-1", H24), 1, "5/3/2024 1:00:00"},
      {"month 13, april 31", Fields("13/3/2024 1:5:7", H24), 1, "1/3/2024 1:05:07"},
      {"month 0", Fields("0/31/2024 1:0:0", H24), 1, "1/31/2024 1:00:00"},
      {"day 0 and 31 april", Fields("4/31/2024 1:0:0", H24), 1, "4/1/2024 1:00:00"},
      {"floors", Fields("7.9/-0.5/2024.7 7.9:59.99:-0.5", H24), 7, "7/1/2024 7:59:00"},
      {"leap day kept", Fields("2/29/2024 1:0:0", H24), 1, "2/29/2024 1:00:00"},
      {"no leap day", Fields("2/29/1900 1:0:0", H24), 1, "2/1/1900 1:00:00"},
      {"leap day of a 400th year", Fields("2/29/2000 1:0:0", H24), 1, "2/29/2000 1:00:00"},
      {"beyond 16 bits", Fields("1e999/1e999/1e300 32768:-32769:1e999", H24), 0,
       "1/1/1465000 0:00:00"},
      {"below the span", Fields("-1e999//-1e999 -32769:1e4:x", PM), 0, "1/1/-1474000 12:00:00"},
      {"empty year", Fields("1/1/ 0:0:0", H24), 0, "1/1/0 0:00:00"},
      {"blanks, exponents, a tail", Fields("5/3/2024 1\t2:3D1:2e1s", H24), 12, "5/3/2024 12:30:20"},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    const SkyState sky = Pass(c.in);
    EXPECT_EQ(sky.At.Hour, c.hour);
    EXPECT_EQ(Shown(c.in), c.out);
    EXPECT_EQ(c.in.Latitude, "42.2");  // the place is never rewritten
  }
}

TEST(Pass, DayNumberUniversalAndSiderealTime) {
  SettingsFields f = Fields("1/1/2000 12:0:0", H24);
  EXPECT_DOUBLE_EQ(Pass(f).LocalSidereal, Wrap360(100.46 + -82.84 + 180));
  f = Fields("3/5/2024 20:30:36", H24, 7);  // zone -5: past midnight UT
  SkyState sky = Pass(f);
  EXPECT_DOUBLE_EQ(sky.UtHours, 25.51);
  EXPECT_DOUBLE_EQ(sky.UtFromNoon, 13.51);
  f.ZoneIndex = -1;
  EXPECT_EQ(Pass(f).ZoneHours, -13);
  // At noon the day number is the Julian date less J2000's, every day of
  // common and leap years, year 0 and the span's far end among them.
  for (int year : {0, 1900, 2000, 2023, 2024, 1465000}) {
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= MonthLength(month, year); ++day) {
        const std::string date =
            std::to_string(month) + "/" + std::to_string(day) + "/" + std::to_string(year);
        SettingsFields g = Fields(date + " 12:0:0", H24);
        double jd0, jd;
        eraCal2jd(year, month, day, &jd0, &jd);
        ASSERT_EQ(Pass(g).DayNumber, jd0 + jd + 0.5 - 2451545) << date;
      }
    }
  }
}

TEST(Pass, ZonesOfHalfAndQuarterHours) {
  // The whole hours keep their indexes; the others follow them.
  struct Case { int index; const char* text; int minutes; };
  Case cases[] = {
      {0, "-12", -720}, {7, "-5", -300}, {12, "+0", 0}, {25, "+13", 780}, {26, "-9:30", -570},
      {27, "-3:30", -210}, {28, "+3:30", 210}, {29, "+4:30", 270}, {30, "+5:30", 330},
      {31, "+5:45", 345}, {32, "+6:30", 390}, {33, "+8:45", 525}, {34, "+9:30", 570},
      {35, "+10:30", 630}, {36, "+12:45", 765}, {37, "+14", 840}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ZoneText(c.index), c.text);
    EXPECT_EQ(ZoneMinutes(c.index), c.minutes);
    EXPECT_EQ(ZoneIndexOf(c.minutes), c.index);
  }
  EXPECT_EQ(ZoneCount(), 38);
  EXPECT_EQ(ZoneText(38), "");
  EXPECT_EQ(ZoneIndexOf(-345), -1);

  // Noon at +5:45 is 06:15 universal time: the same sky as 06:15 at +0,
  // and the sidereal time of that instant by ERFA's Greenwich mean
  // sidereal time, within the chart's own arithmetic's 0.01 degree.
  SettingsFields nepal = Fields("12/8/2026 12:0:0", H24, 31);
  SettingsFields greenwich = Fields("12/8/2026 6:15:0", H24, 12);
  const SkyState at_nepal = Pass(nepal), at_greenwich = Pass(greenwich);
  EXPECT_DOUBLE_EQ(at_nepal.ZoneHours, 5.75);
  EXPECT_DOUBLE_EQ(at_nepal.UtHours, 6.25);
  EXPECT_DOUBLE_EQ(at_nepal.LocalSidereal, at_greenwich.LocalSidereal);
  double jd0, jd;
  eraCal2jd(2026, 12, 8, &jd0, &jd);
  const double ut = jd + 6.25 / 24;
  const double lst = std::fmod(eraGmst06(jd0, ut, jd0, ut) / kDegree - 82.84 + 720, 360);
  EXPECT_NEAR(at_nepal.LocalSidereal, lst, 0.01);
  // The computer's own zone, in seconds, stands in for the list's.
  nepal.ZoneSeconds = 5 * 3600 + 30 * 60;
  EXPECT_DOUBLE_EQ(Pass(nepal).UtHours, 6.5);
}

// The largest angle on the sky between each row's place from the pass and
// ERFA's observed place (no refraction, UT1 = UTC, no polar motion), over
// dates from 1950 to 2100 and observers from -60 to +80 degrees.
double LargestErrorAgainstErfa(SourceTable& table, PositionsOfDate* of_date) {
  double largest = 0;
  for (const char* year : {"1950", "1990", "2026", "2100"}) {
    for (const char* latitude : {"-60", "0", "42.2", "80"}) {
      SettingsFields f = Fields(std::string("12/7/") + year + " 21:30:0", H24);
      f.Latitude = latitude;
      const SkyState sky = Pass(f, &table, of_date);
      for (int r = 1; r < table.LastRow; ++r) {
        double ra, dec, aob, zob, hob, dob, rob, eo;
        eraFk45z(table.RaDec[r][0] * kDegree, table.RaDec[r][1] * kDegree, 1950, &ra, &dec);
        eraAtco13(ra, dec, 0, 0, 0, 0, 2451545.0, sky.DayNumber, 0, -82.84 * kDegree,
                  sky.Latitude * kDegree, 0, 0, 0, 0, 0, 0, 0, &aob, &zob, &hob, &dob, &rob, &eo);
        const double error = eraSeps(aob, M_PI / 2 - zob, (360 - table.AzAlt[r][0]) * kDegree,
                                     table.AzAlt[r][1] * kDegree);
        largest = std::max(largest, error / kDegree);
      }
    }
  }
  return largest;
}

TEST(PositionsOfDate, AgreeWithErfaObservedPlaces) {
  // Every tenth source of the shipped catalogue, and rows at the pole and on
  // the equator.
  SourceTable shipped, table;
  ASSERT_EQ(LoadCatalogueFile(SKYVANE_SHIPPED_CATALOGUE, shipped), CatalogueStatus::kLoaded);
  std::vector<std::array<double, 2>> places = {{0, 0}, {0, 89.9}, {200, -0.5}, {123, 0}};
  for (int r = 1; r < shipped.LastRow; r += 10) places.push_back(shipped.RaDec[r]);
  table.AddRow();
  for (const auto& place : places) {
    const int r = table.AddRow();
    table.RaDec[r] = place;
    table.UpdateDeclinationCache(r);
  }
  table.LastRow = table.SunRow = table.AddRow();
  PositionsOfDate of_date;
  of_date.Prepare(table);
  EXPECT_LT(LargestErrorAgainstErfa(table, &of_date), 0.025);
  EXPECT_GT(LargestErrorAgainstErfa(table, nullptr), 1.5);  // the precession since 1950
  // A position that is not a number stays one: nothing is drawn for it.
  table.RaDec[1] = {std::nan(""), 10};
  of_date.Prepare(table);
  SettingsFields f = Fields("12/7/2026 21:30:0", H24);
  const SkyState sky = Pass(f, &table, &of_date);
  EXPECT_TRUE(std::isnan(of_date.RaDec()[1][0]));
  EXPECT_EQ(table.RaDec[table.SunRow][0], ComputeSunPosition(sky.DayNumber).Ra);  // the Sun's own
  EXPECT_EQ(sky.SunAltitude, table.AzAlt[table.SunRow][1]);
}

// A step or a tick the fields cannot take (out: nullptr) leaves them as they are.
void ExpectMoved(const char* name, SettingsFields& f, const TimeMove& move, const char* in,
                 const char* out, int mode_after) {
  SCOPED_TRACE(name);
  EXPECT_EQ(move.Applied, out != nullptr);
  EXPECT_EQ(Shown(f), out ? out : in);
  EXPECT_EQ(f.ClockMode, mode_after);
}

TEST(TimeSteps, TrackingCarriesThroughTheCalendar) {
  struct Case { const char* name; const char* in; int mode, unit, direction; const char* out;
                int mode_after; };
  Case cases[] = {
      {"new year", "12/31/2023 23:59:59", H24, kUnitSecond, 1, "1/1/2024 0:00:00", H24},
      {"into december", "11/30/2023 23:59:59", H24, kUnitSecond, 1, "12/1/2023 0:00:00", H24},
      {"back into a leap february", "3/1/2024 0:00:00", H24, kUnitSecond, -1, "2/29/2024 23:59:59",
       H24},
      {"pm to the next day", "6/10/2024 11:59:59", PM, kUnitSecond, 1, "6/11/2024 12:00:00", AM},
      {"am midnight back", "6/10/2024 12:00:00", AM, kUnitSecond, -1, "6/9/2024 11:59:59", PM},
      {"hour back over midnight", "6/10/2024 0:30:00", H24, kUnitHour, -1, "6/9/2024 23:30:00",
       H24},
      {"jan 31 plus a month", "1/31/2023 1:00:00", H24, kUnitMonth, 1, "3/1/2023 1:00:00", H24},
      {"feb 29 typed, back a day", "2/29/2023 12:00:00", H24, kUnitDay, -1, "2/28/2023 12:00:00",
       H24},
      {"feb 29 typed, back a second", "2/29/2023 12:00:00", H24, kUnitSecond, -1,
       "3/1/2023 11:59:59", H24},
      {"january back a month", "1/5/2024 1:00:00", H24, kUnitMonth, -1, "12/5/2023 1:00:00", H24},
      {"december plus a month", "12/5/2023 1:00:00", H24, kUnitMonth, 1, "1/5/2024 1:00:00", H24},
      {"new year's day back", "1/1/0 0:00:00", H24, kUnitDay, -1, "12/31/-1 0:00:00", H24},
      {"minute 75", "6/10/2024 3:75:10", H24, kUnitSecond, 1, "6/10/2024 4:00:11", H24},
      {"fractional day", "6/15.5/2024 3:00:00", H24, kUnitDay, 1, "6/16.5/2024 3:00:00", H24},
      {"a day with an exponent", "6/1e1/2024 3:00:00", H24, kUnitDay, 1, "6/11/2024 3:00:00", H24},
      {"a tab after the day", "6/10\t/2024 3:00:00", H24, kUnitDay, 1, "6/11/2024 3:00:00", H24},
      {"hour 7.5 rounds to 8", "6/10/2024 7.5:00:00", H24, kUnitMinute, 1, "6/10/2024 8:01:00",
       H24},
      {"hour 6.5 rounds to 6", "6/10/2024 6.5:00:00", H24, kUnitMinute, 1, "6/10/2024 6:01:00",
       H24},
      {"leap year step", "2/29/2024 1:00:00", H24, kUnitYear, 1, "3/1/2025 1:00:00", H24},
      {"no unit", "6/10/2024 1:5:7", H24, -1, 1, "6/10/2024 1:05:07", H24},
      {"empty day", "6//2024 1:00:00", H24, kUnitSecond, 1, nullptr, H24},
      {"a word", "June/1/2024 1:00:00", H24, kUnitSecond, 1, nullptr, H24},
      {"a comma", "6/1,5/2024 1:00:00", H24, kUnitSecond, 1, nullptr, H24},
      {"month 13", "13/5/2024 1:00:00", H24, kUnitSecond, 1, nullptr, H24},
      {"hour 32767", "6/5/2024 32767:00:00", H24, kUnitHour, 1, nullptr, H24},
      {"to hour 32768", "6/5/2024 32767:59:59", H24, kUnitSecond, 1, nullptr, H24},
      {"minute 32767", "6/5/2024 1:32767:59", H24, kUnitSecond, 1, nullptr, H24},
      {"second -32768", "6/5/2024 1:00:-32768", H24, kUnitSecond, -1, nullptr, H24},
      {"month 32767", "32767/5/2024 1:00:00", H24, kUnitMonth, 1, nullptr, H24},
      {"month 1e10", "1e10/5/2024 1:00:00", H24, kUnitSecond, 1, nullptr, H24},
      {"year 1e300", "6/5/1e300 1:00:00", H24, kUnitSecond, 1, nullptr, H24},
      {"second 1e999", "6/5/2024 1:00:1e999", H24, kUnitSecond, 1, nullptr, H24},
  };
  for (const Case& c : cases) {
    SettingsFields f = Fields(c.in, c.mode);
    const TimeMove move = TrackStep(f, c.unit, c.direction, ".");
    ExpectMoved(c.name, f, move, c.in, c.out, c.mode_after);
    EXPECT_EQ(move.SelectClockMode, c.mode_after == H24 || !c.out ? -1 : c.mode_after) << c.name;
  }
  SettingsFields f = Fields("6/1,5/2024 1:00:00", H24);
  EXPECT_TRUE(TrackStep(f, kUnitDay, 1, ",").Applied);  // the user's own separator
  EXPECT_EQ(f.Date[1], "2.5");
}

TEST(TimeSteps, PlayTicksTurnTheClockAndTheCalendar) {
  struct Case { const char* name; const char* in; int mode, direction, rate; const char* out;
                int mode_after; };
  Case cases[] = {
      {"11:59 am", "6/10/2024 11:59:30", AM, 1, 1, "6/10/2024 12:0:30", PM},
      {"11:59 pm", "6/10/2024 11:59:30", PM, 1, 1, "6/11/2024 12:0:30", AM},
      {"12:00 pm back", "6/10/2024 12:00:30", PM, -1, 1, "6/10/2024 11:59:30", AM},
      {"12:59 pm", "6/10/2024 12:59:30", PM, 1, 1, "6/10/2024 1:0:30", PM},
      {"1:00 pm back", "6/10/2024 1:00:30", PM, -1, 1, "6/10/2024 12:59:30", PM},
      {"12:00 am back", "6/10/2024 12:00:30", AM, -1, 1, "6/9/2024 11:59:30", PM},
      {"feb 28 leap", "2/28/2024 23:59:00", H24, 1, 1, "2/29/2024 0:0:00", H24},
      {"new year's eve", "12/31/2023 23:59:00", H24, 1, 1, "1/1/2024 0:0:00", H24},
      {"march back, leap", "3/1/2024 0:00:00", H24, -1, 1, "2/29/2024 23:59:00", H24},
      {"rate 30", "6/10/2024 10:45:00", H24, 1, 30, "6/10/2024 11:15:00", H24},
      {"to minute 59", "6/10/2024 10:58:00", H24, 1, 1, "6/10/2024 10:59:00", H24},
      {"onto hour 23", "6/10/2024 22:59:30", H24, 1, 1, "6/10/2024 23:0:30", H24},
      {"date kept as typed", "2.6/10/2024.0 10:15:00", H24, 1, 1, "2.6/10/2024.0 10:16:00", H24},
      {"a word", "x/10/2024 10:59:30", H24, 1, 1, nullptr, H24},
      {"month 13", "13/31/2024 23:59:00", H24, 1, 1, nullptr, H24},
      {"to hour 32768", "6/10/2024 32767:59:30", H24, 1, 1, nullptr, H24},
      {"to hour -32769", "6/10/2024 -32768:00:30", H24, -1, 1, nullptr, H24},
      {"stopped", "6/10/2024 10:59:30", H24, 0, 1, nullptr, H24},
  };
  for (const Case& c : cases) {
    SettingsFields f = Fields(c.in, c.mode);
    ExpectMoved(c.name, f, PlayTick(f, c.direction, c.rate, "."), c.in, c.out, c.mode_after);
  }
}

// What a source does over the 24 hours from 8 December 2026 18:00 at -5,
// found by brute force: the chart's own sidereal time (and its Sun) every
// 20 seconds, the altitude by ERFA's hour-angle routine, crossings
// interpolated.
struct Observed {
  double rise = NAN, set = NAN, transit = NAN, transit_altitude = NAN, above = 0, first = NAN;
  bool ever_up = false, ever_down = false;
};
Observed BruteForce(double latitude, double ra, double dec, bool sun, double min_altitude) {
  Observed seen;
  const Moment start{12, 8, 2026, 18, 0, 0};
  double last_el = 0, last_ha = 0, last_t = 0;
  constexpr double kStep = 20.0 / 3600;
  for (double t = 0; t <= kPlanHours + 1e-9; t += kStep) {
    SettingsFields f = Fields("", H24, 7);
    f.Latitude = std::to_string(latitude);
    WriteMoment(MomentAfter(start, t * 3600), f);
    SourceTable table;
    table.AddRow();
    AppendSunRow(table);
    const SkyState sky = Pass(f, &table);
    const double place_ra = sun ? table.RaDec[1][0] : ra, place_dec = sun ? table.RaDec[1][1] : dec;
    const double ha = Wrap360(sky.LocalSidereal - place_ra);
    double az, el;
    eraHd2ae(ha * kDegree, place_dec * kDegree, latitude * kDegree, &az, &el);
    el /= kDegree;
    (el >= 0 ? seen.ever_up : seen.ever_down) = true;
    if (t == 0) seen.first = el;
    if (el >= min_altitude) seen.above += kStep;
    if (t > 0) {
      const double at = last_t + kStep * (0 - last_el) / (el - last_el);
      if (last_el < 0 && el >= 0 && std::isnan(seen.rise)) seen.rise = at;
      if (last_el >= 0 && el < 0 && std::isnan(seen.set)) seen.set = at;
      if (last_ha > 180 && ha < 180 && std::isnan(seen.transit)) {
        seen.transit = last_t + kStep * (360 - last_ha) / (ha + 360 - last_ha);
        eraHd2ae(0, place_dec * kDegree, latitude * kDegree, &az, &el);
        seen.transit_altitude = el / kDegree;
        el = seen.transit_altitude;
      }
    }
    last_el = el, last_ha = ha, last_t = t;
  }
  return seen;
}

TEST(Plan, EventTimesAgreeWithABruteForceSearch) {
  constexpr double kHalfMinute = 30.0 / 3600;
  SettingsFields f = Fields("12/8/2026 18:0:0", H24, 7);
  const SkyState at_start = Pass(f);
  for (const double latitude : {-89.9, -60.0, 52.0, 80.0, 89.9}) {
    const double sign = latitude < 0 ? -1 : 1;
    const double circumpolar = sign * std::min(89.0, 95 - std::fabs(latitude));
    const double grazing = latitude - sign * 89.8;  // transits 0.2 degree up
    struct Source { const char* what; double ra, dec; bool sun; };
    Source sources[] = {{"circumpolar", 10, circumpolar, false},
                        {"never rising", 200, -circumpolar, false},
                        {"grazing", 300, std::fabs(grazing) <= 90 ? grazing : 0, false},
                        {"ordinary", 120, 5, false},
                        {"transits 10 s after the start",
                         Wrap360(at_start.LocalSidereal + 10 * 15.041 / 3600), 25, false},
                        {"the Sun", 0, 0, true}};
    const PlanStart start{latitude, at_start.LocalSidereal, at_start.DayNumber};
    for (const Source& s : sources) {
      SCOPED_TRACE(std::string(s.what) + " at " + std::to_string(latitude));
      const SourceDay day = s.sun ? SunDay(start, 10) : DayOf(s.ra, s.dec, start, 10);
      const Observed seen = BruteForce(latitude, s.ra, s.dec, s.sun, 10);
      EXPECT_EQ(day.Up == SourceDay::kAlwaysUp, !seen.ever_down);
      EXPECT_EQ(day.Up == SourceDay::kNeverUp, !seen.ever_up);
      const std::pair<double, double> events[] = {
          {day.Rise, seen.rise}, {day.Set, seen.set}, {day.Transit, seen.transit}};
      for (auto [code, brute] : events) {
        EXPECT_EQ(std::isnan(code), std::isnan(brute)) << code << " " << brute;
        if (!std::isnan(brute)) { EXPECT_NEAR(code, brute, kHalfMinute); }
      }
      if (!std::isnan(seen.transit)) {
        EXPECT_NEAR(day.TransitAltitude, seen.transit_altitude, 0.01);
      }
      EXPECT_NEAR(day.HoursAboveMinimum, seen.above, 2.0 / 60);
      if (!s.sun) { EXPECT_NEAR(day.AltitudeAtStart, seen.first, 1e-6); }
      EXPECT_EQ(day.ReachesMinimum, seen.above > 0);
    }
  }
  // A source through the zenith transits at 90 degrees, wherever that is.
  for (double latitude = -89.5; latitude < 90; latitude += 0.7)
    ASSERT_NEAR(DayOf(0, latitude, {latitude, 0, 0}, 0).TransitAltitude, 90, 1e-5) << latitude;
  // One that only touches the horizon, at its transit, rises and sets there
  // (its cosine of the hour angle on the horizon is 1 to the last bit).
  const SourceDay touching = DayOf(0, -85.000000000016996, {5, 100, 0}, 0);
  EXPECT_EQ(touching.Up, SourceDay::kRisesAndSets);
  EXPECT_NEAR(touching.Rise, touching.Transit, 1e-9);
  EXPECT_NEAR(touching.Set, touching.Transit, 1e-9);
  // On the pole nothing rises or sets, and nothing transits.
  const SourceDay pole = DayOf(10, 30, {90, 100, 0}, 0);
  EXPECT_EQ(pole.Up, SourceDay::kAlwaysUp);
  EXPECT_TRUE(std::isnan(pole.Transit));
  EXPECT_NEAR(pole.TransitAltitude, 30, 1e-9);
  EXPECT_EQ(pole.HoursAboveMinimum, 24);
  EXPECT_TRUE(pole.ReachesMinimum);
  // One that stands at the minimum itself is above it, as the antenna may point there.
  EXPECT_EQ(DayOf(10, 30, {90, 100, 0}, pole.TransitAltitude).HoursAboveMinimum, 24);
  EXPECT_EQ(DayOf(10, -1, {90, 100, 0}, 0).Up, SourceDay::kNeverUp);
  EXPECT_EQ(DayOf(10, 0.5, {90, 100, 0}, 0).Up, SourceDay::kAlwaysUp);
  EXPECT_EQ(DayOf(10, 0, {90, 100, 0}, 0).Up, SourceDay::kAlwaysUp);  // on the horizon is up
  EXPECT_EQ(DayOf(10, -1, {90, 100, 0}, 0).HoursAboveMinimum, 0);
  EXPECT_EQ(PlanProblem(90), "");
  EXPECT_NE(PlanProblem(90.5), "");
  EXPECT_NE(PlanProblem(NAN), "");
}

TEST(Plan, DriftThroughAFixedBeam) {
  // Due south at 60 degrees from latitude 52: the beam points at the
  // meridian, declination 22.
  const auto beam = FixedBeam(180, 60, 52);
  EXPECT_NEAR(std::fmod(beam[0] + 180, 360) - 180, 0, 1e-9);
  EXPECT_NEAR(beam[1], 22, 1e-9);
  const PlanStart start{52, 100, 9473};
  // A 4-degree beam: a source 1 degree north of its centre crosses at
  // transit; one 3 degrees off never enters.
  const auto drift = DriftOf(130, 23, start, beam, 4);
  ASSERT_TRUE(drift);
  EXPECT_NEAR(drift->Closest, 30 / kPassSiderealRate, 1e-9);
  EXPECT_NEAR(drift->Separation, 1, 1e-9);
  // Time within 2 degrees of the centre, by brute force over the hour angle.
  double inside = 0;
  for (double h = -20; h <= 20; h += 0.001) {
    if (eraSeps(h * kDegree, 23 * kDegree, 0, 22 * kDegree) <= 2 * kDegree) inside += 0.001;
  }
  EXPECT_NEAR(drift->Crossing, inside / kPassSiderealRate, 1e-4);
  EXPECT_FALSE(DriftOf(130, 25, start, beam, 4));
  // The Sun's passage an hour after the start, its place taken when it
  // passes (half a day later it stands half a degree further east).
  const PlanStart noon{52, 240, 9473};
  const double transit = SunDay(noon, 0).Transit;
  ASSERT_NEAR(transit, 1, 0.2);
  const auto sun_beam = FixedBeam(180, 90 - 52 + SunPlace(9473 + transit / 24)[1], 52);
  const auto sun = SunDrift(noon, sun_beam, 2);
  ASSERT_TRUE(sun);
  EXPECT_LT(sun->Separation, 0.02);
  // It passes when it crosses the meridian.
  EXPECT_NEAR(sun->Closest, transit, 5.0 / 3600);
  // The beam of a 3 m dish at the hydrogen line, and sizes that give none.
  EXPECT_NEAR(*BeamWidth(3, 1420.405751), 70 * 0.21106114 / 3, 1e-6);
  for (auto [diameter, frequency] : {std::pair{0.0, 1420.0}, {-3.0, 1420.0}, {3.0, 0.0}, {3.0, NAN},
                                      {kInf, 1420.0}, {0.01, 1.0}}) {
    EXPECT_FALSE(BeamWidth(diameter, frequency)) << diameter << " m " << frequency << " MHz";
  }
}

TEST(Find, NamesDesignationsCommonNamesAndPlaces) {
  SourceTable table;
  table.AddRow();
  auto add = [&](const char* designation, const char* name, double ra, double dec) {
    const int r = table.AddRow();
    table.CatalogText[r][2] = designation;
    table.CatalogText[r][8] = name;
    table.RaDec[r] = {ra, dec};
    table.J2000[r] = 0;
  };
  add("+40.40", "3c405", 299.43875, 40.6);  // the 4C catalogue's Cygnus A, B1950
  add("+58.40", "3c461", 350.2, 58.53);
  add("-06.02", "-06.02", 2.04, -6.225);
  add("", " Cyg A ", 1, 1);  // the blanks round it are no part of its name
  add("", "J0534+2200", 83.6, 22);
  add("", "3c40", 200, -40);
  AppendSunRow(table);
  // rows found, the whole names before those that begin with the query
  struct Case { const char* query; std::vector<int> rows; };
  Case cases[] = {
      {"cyg a", {1, 4}}, {"3C405", {1}}, {"3c 405", {1}}, {"+40.40", {1}}, {"4C +40.40", {1}},
      {"CAS A", {2}}, {"4c-06.02", {3}}, {" -06.02 ", {3}}, {"3C4", {1, 2, 6}}, {"sun", {7}},
      {"3c40", {6, 1}}, {"5C405", {}}, {"", {}}, {"Vir A", {}}, {"0534+22", {5}}, {"J0534", {5}},
      {"4C0534", {}}};
  for (const Case& c : cases) EXPECT_EQ(FindRows(table, c.query), c.rows) << c.query;

  struct Place { const char* text; double ra, dec; };
  Place places[] = {
      {"12 30 49 +12 23 28", 187.70416666666667, 12.391111111111111},
      {"12:30:49.2 -05:07:00", 187.705, -5.116666666666667},
      {"12h30m49s +12d23m28s", 187.70416666666667, 12.391111111111111},
      {"187.70 12.39", 187.7, 12.39}, {"187.7 -0.5", 187.7, -0.5}, {"24 00 00 +00 00 00", 0, 0},
      {"12 30 -00 30", 187.5, -0.5}, {"12 30 +12", 187.5, 12}, {"12h +10", 180, 10},
      {"12 30 49 1 +12", NAN, 0}, {"12 61 00 +10 00 00", NAN, 0}, {"12 30 60 +10 00 00", NAN, 0},
      {"abc", NAN, 0}, {"360.5 10", NAN, 0}, {"10 95", NAN, 0}, {"0 +90", 0, 90},
      {"1 2 3 4 5 6 7", NAN, 0}, {"12", NAN, 0}, {"12 +10 20 30 40", NAN, 0},
      {"10 -20 +30", NAN, 0}};  // a sign inside the declination
  for (const Place& p : places) {
    const auto place = ReadPlace(p.text);
    ASSERT_EQ(place.has_value(), !std::isnan(p.ra)) << p.text;
    if (place) {
      EXPECT_NEAR((*place)[0], p.ra, 1e-9) << p.text;
      EXPECT_NEAR((*place)[1], p.dec, 1e-9) << p.text;
    }
  }
  // Cygnus A's J2000 place finds the catalogue's B1950 row within 0.05
  // degree; the two places lie 0.35 degree apart.
  EXPECT_EQ(NearestRow(table, {299.86815, 40.73392}, 0.05), 1);
  EXPECT_EQ(NearestRow(table, {299.86815, 42}, 0.5), 0);
  EXPECT_EQ(NearestRow(table, table.RaDec[7], 5), 4);  // not the Sun: it is found by name alone
  const std::vector<std::string> texts{"3c405",  "+40.40", "3c461",      "+58.40", "-06.02",
                                       "Cyg A",  "J0534+2200", "3c40", "Sun"};
  EXPECT_EQ(CompletionTexts(table), texts);
}

TEST(Calendar, MomentsAfterAStart) {
  struct Case { Moment from; double seconds; Moment to; };
  Case cases[] = {
      {{12, 31, 2026, 23, 59, 30}, 45, {1, 1, 2027, 0, 0, 15}},
      {{2, 28, 2024, 23, 0, 0}, 3600, {2, 29, 2024, 0, 0, 0}},
      {{3, 1, 2023, 0, 0, 0}, -1, {2, 28, 2023, 23, 59, 59}},
      {{1, 1, 2000, 5, 0, 0}, -6 * 3600.0, {12, 31, 1999, 23, 0, 0}},
      {{6, 30, 2026, 12, 0, 0}, 86400 * 1.5 + 0.4, {7, 2, 2026, 0, 0, 0}}};
  for (const Case& c : cases) {
    const Moment m = MomentAfter(c.from, c.seconds);
    EXPECT_EQ(std::tie(m.Year, m.Month, m.Day, m.Hour, m.Minute, m.Second),
              std::tie(c.to.Year, c.to.Month, c.to.Day, c.to.Hour, c.to.Minute, c.to.Second))
        << c.seconds;
  }
}

}  // namespace
}  // namespace skyvane
