#include "catalogue/catalogue_reader.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <system_error>
#include <vector>

#include "base/number_text.h"

namespace skyvane {
namespace {

unsigned char UpperLatin1(unsigned char c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
  return c;
}

unsigned char LowerLatin1(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  return c;
}

// Reads one line; CR LF, LF and CR alone all end it. Returns false at the end
// of the input when nothing was read.
bool ReadLine(std::istream& in, std::string& line) {
  line.clear();
  std::streambuf* buffer = in.rdbuf();
  bool any = false;
  for (;;) {
    int c = buffer->sbumpc();
    if (c == std::char_traits<char>::eof()) {
      in.setstate(std::ios::eofbit);
      return any;
    }
    any = true;
    if (c == '\n') return true;
    if (c == '\r') {
      if (buffer->sgetc() == '\n') buffer->sbumpc();
      return true;
    }
    line.push_back(static_cast<char>(c));
  }
}

// Cuts a line at its tabs into fields 0..8; missing fields stay empty and
// fields beyond 8 are dropped.
std::array<std::string, 9> SplitFields(const std::string& line) {
  std::array<std::string, 9> fields;
  size_t start = 0;
  for (int f = 0; f < 9; ++f) {
    size_t tab = line.find('\t', start);
    fields[f] = line.substr(start, tab == std::string::npos ? std::string::npos : tab - start);
    if (tab == std::string::npos) break;
    start = tab + 1;
  }
  return fields;
}

}  // namespace

double ParseAngle(std::string_view s) {
  const bool signed_form = !s.empty() && (s[0] == '+' || s[0] == '-');
  const char unit = signed_form ? '*' : 'h';
  // Text between two marks; empty when they touch or are out of order.
  auto between = [&](size_t open, size_t close) {
    return close > open + 1 ? s.substr(open + 1, close - open - 1) : std::string_view{};
  };
  double v = 0;
  size_t p1 = s.find(unit);
  if (p1 != std::string_view::npos) {
    v = std::fabs(ParseLeadingNumber(s.substr(0, p1)));
  } else {
    p1 = 0;  // no unit mark: the minutes are looked for from the start
  }
  size_t p2 = s.find('\'', p1);
  if (p2 != std::string_view::npos) {
    v += ParseLeadingNumber(between(p1, p2)) / 60;
  } else {
    p2 = 0;
  }
  // Seconds written without minutes ("3h30''") read as minutes: the first
  // apostrophe ends the minutes, and the seconds text is then empty.
  const size_t p3 = s.find("''", p2);
  if (p3 != std::string_view::npos) v += ParseLeadingNumber(between(p2, p3)) / 3600;
  if (!s.empty() && s[0] == '-') v = -v;
  if (unit == 'h') v *= 15;
  return v;
}

std::string FormatName(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    const bool upper = i == 0 || s[i - 1] == ' ';
    out.push_back(static_cast<char>(upper ? UpperLatin1(c) : LowerLatin1(c)));
  }
  return out;
}

void ReadCatalogue(std::istream& in, SourceTable& table) {
  std::string line;
  std::string previous_number;
  bool first_line = true;
  while (table.RowCount() < kMaxCatalogueRows && ReadLine(in, line)) {
    if (first_line) {
      first_line = false;
      // A file saved with a byte-order mark keeps it out of field 0.
      if (line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
    }
    std::array<std::string, 9> fields = SplitFields(line);
    if (fields[3].empty()) continue;
    const double flux = ParseLeadingNumber(fields[3]);
    if (!(flux <= 1000)) continue;
    if (fields[0] == previous_number) continue;
    previous_number = fields[0];
    const int r = table.AddRow();
    table.LastRow = static_cast<float>(r);
    if (fields[8].empty()) fields[8] = fields[2];
    fields[8] = FormatName(fields[8]);
    table.RaDec[r] = {ParseAngle(fields[6]), ParseAngle(fields[7])};
    table.Flux[r] = flux;
    table.UpdateDeclinationCache(r);
    table.CatalogText[r] = std::move(fields);
  }
  const int s = table.AddRow();
  table.LastRow = static_cast<float>(s);
  table.SunRow = table.LastRow;
  table.CatalogText[s][8] = "Sun";
  table.CatalogText[s][3] = "-27.97";
  table.Flux[s] = ParseLeadingNumber("-27.97");
}

std::optional<std::filesystem::path> FindCatalogueFile(const std::filesystem::path& folder) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path exact = folder / "StarData.txt";
  if (fs::is_regular_file(exact, error)) return exact;
  std::vector<fs::path> matches;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name.size() != 12) continue;
    bool same = true;
    const char* wanted = "stardata.txt";
    for (size_t i = 0; i < 12 && same; ++i) same = LowerLatin1(name[i]) == wanted[i];
    if (same && it->is_regular_file(error)) matches.push_back(it->path());
  }
  if (matches.empty()) return std::nullopt;
  std::sort(matches.begin(), matches.end());
  return matches.front();
}

bool LoadCatalogueFile(const std::filesystem::path& file, SourceTable& table) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return false;
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  ReadCatalogue(in, table);
  return true;
}

}  // namespace skyvane
