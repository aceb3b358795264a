// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/table_reader.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <set>

#include "base/number_text.h"
#include "base/numbers.h"

namespace skyvane {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr size_t kExamples = 5;

// Cuts a line at `delimiter`, honouring double quotes ("a;b" is one field,
// "" inside quotes is one quote).
std::vector<std::string> Split(std::string_view line, char delimiter) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
        fields.back() += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        fields.back() += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == delimiter) {
      fields.emplace_back();
    } else if (c != '\r') {
      fields.back() += c;
    }
  }
  for (std::string& f : fields) {
    const size_t first = f.find_first_not_of(' ');
    f = first == std::string::npos ? "" : f.substr(first, f.find_last_not_of(' ') - first + 1);
  }
  return fields;
}

// A column name reduced to its letters and digits, in lower case.
std::string Normal(std::string_view name) {
  std::string out;
  for (const char c : name) {
    if (std::isalnum(static_cast<unsigned char>(c))) {
      out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
  }
  return out;
}

bool IsRa(const std::string& n) {
  static const std::set<std::string> names = {"ra",     "raj2000",   "rab1950", "radeg",
                                              "rah",    "rahms",     "rahours", "ra2000",
                                              "ra1950", "raj2000deg"};
  return names.count(n) > 0;
}

bool IsDec(const std::string& n) {
  static const std::set<std::string> names = {"dec",     "de",       "dej2000", "decj2000",
                                              "deb1950", "decb1950", "decdeg",  "dedeg",
                                              "dec2000", "dec1950",  "dedms",   "decdms"};
  return names.count(n) > 0;
}

bool IsFlux(const std::string& n) {
  if (n.rfind("flux", 0) == 0) return true;
  return n.size() >= 2 && n[0] == 's' &&
         std::all_of(n.begin() + 1, n.end(), [](char c) { return std::isdigit(c); });
}

bool IsName(const std::string& n) {
  return n == "name" || n == "source" || n == "id" || n == "designation" || n == "sourcename" ||
         n == "object";
}

char DelimiterOf(std::string_view header) {
  const auto count = [&](char c) { return std::count(header.begin(), header.end(), c); };
  const long tabs = count('\t'), semicolons = count(';'), commas = count(',');
  if (tabs >= semicolons && tabs >= commas && tabs > 0) return '\t';
  if (semicolons >= commas && semicolons > 0) return ';';
  return ',';
}

// The header line of `text`: the first line that is not a '#' comment or
// empty.
std::string_view HeaderOf(std::string_view text) {
  size_t at = 0;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") at = 3;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty() && line[0] != '#') return line;
    at = end + 1;
  }
  return {};
}

struct Columns {
  int ra = -1, dec = -1, flux = -1, name = -1;
  bool ra_hours = false;
};

Columns FindColumns(const std::vector<std::string>& header) {
  Columns c;
  for (int i = 0; i < static_cast<int>(header.size()); ++i) {
    const std::string n = Normal(header[i]);
    if (c.ra < 0 && IsRa(n)) {
      c.ra = i;
      c.ra_hours = n == "rah" || n == "rahms" || n == "rahours";
    } else if (c.dec < 0 && IsDec(n)) {
      c.dec = i;
    } else if (c.flux < 0 && IsFlux(n)) {
      c.flux = i;
    } else if (IsName(n) && (c.name < 0 || n == "name")) {
      c.name = i;
    }
  }
  return c;
}

// UTF-8 text as the table's single bytes: Latin-1 where it can be, '?'
// beyond; bytes that are no UTF-8 are kept as they are.
std::string ToLatin1(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
      continue;
    }
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    bool valid = extra > 0 && i + extra < text.size() + 0;
    unsigned code = c & (0x3F >> extra);
    for (int k = 1; valid && k <= extra; ++k) {
      if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
        valid = false;
      } else {
        code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
      }
    }
    if (!valid) {
      out += static_cast<char>(c);
      continue;
    }
    out += code <= 0xFF ? static_cast<char>(code) : '?';
    i += extra;
  }
  return out;
}

struct Candidate {
  int line;
  std::string name, flux_text, ra_text, dec_text;
  double flux, ra, dec;
};

}  // namespace

void LoadReport::Skip(int& count, int line_number, std::string_view line) {
  ++count;
  if (examples.size() < kExamples) {
    examples.emplace_back(line_number, std::string(line.substr(0, 80)));
  }
}

std::string LoadReport::Summary() const {
  std::string text = format + (equinox.empty() ? "" : ", positions for " + equinox) + ": " +
                     std::to_string(lines) + " lines read, " + std::to_string(kept) + " kept";
  auto add = [&](int n, const char* why) {
    if (n > 0) text += "; " + std::to_string(n) + " " + why;
  };
  add(over_1000, "with a flux above 1000");
  add(repeated, "repeating the number before");
  add(unreadable, "with no readable position");
  add(left_out, "left out, the table being full");
  text += ".";
  for (const auto& [line, content] : examples) {
    text += "\nline " + std::to_string(line) + ": " + content;
  }
  return text;
}

double ParseSexagesimal(std::string_view text, bool hours) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty()) return kNaN;
  const bool negative = text.front() == '-';
  if (text.front() == '-' || text.front() == '+') text.remove_prefix(1);
  double parts[3] = {0, 0, 0};
  int count = 0;
  bool sexagesimal = false;
  size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (std::isdigit(static_cast<unsigned char>(c)) || c == '.') {
      if (count == 3) return kNaN;
      size_t end = i;
      while (end < text.size() &&
             (std::isdigit(static_cast<unsigned char>(text[end])) || text[end] == '.')) {
        ++end;
      }
      double value;
      if (!ParseStrictNumber(text.substr(i, end - i), ".", value)) return kNaN;
      parts[count++] = value;
      i = end;
    } else if (std::string_view(" :hmsd'\"").find(c) != std::string_view::npos ||
               static_cast<unsigned char>(c) == 0xB0 || static_cast<unsigned char>(c) == 0xC2) {
      if (c == 'h') hours = true;
      sexagesimal = true;
      ++i;
    } else {
      return kNaN;
    }
  }
  if (count == 0) return kNaN;
  if (sexagesimal && count > 1 && (parts[1] >= 60 || parts[2] >= 60)) return kNaN;
  double value = parts[0] + parts[1] / 60 + parts[2] / 3600;
  if (negative) value = -value;
  return hours ? value * 15 : value;
}

bool LooksLikeTable(std::string_view head) {
  const std::string_view header = HeaderOf(head);
  const char delimiter = DelimiterOf(header);
  const std::vector<std::string> names = Split(header, delimiter);
  // The catalogue format's own heading names RA and Dec as its fields 6 and 7.
  if (delimiter == '\t' && names.size() >= 8 && Normal(names[6]) == "ra" &&
      Normal(names[7]) == "dec") {
    return false;
  }
  const Columns c = FindColumns(names);
  return c.ra >= 0 && c.dec >= 0;
}

bool NamesEquinox(std::string_view head) {
  const std::string header = Normal(HeaderOf(head));
  return header.find("j2000") != std::string::npos || header.find("b1950") != std::string::npos;
}

void ReadTable(std::istream& in, Equinox assumed, SourceTable& table, LoadReport& report) {
  std::string line;
  int line_number = 0;
  std::vector<std::string> header;
  char delimiter = ',';
  Columns columns;
  bool units_possible = false;
  double flux_scale = 1;
  std::vector<Candidate> candidates;
  while (std::getline(in, line)) {
    ++line_number;
    if (line.size() > 64 * 1024) {
      if (!header.empty()) report.Skip(report.unreadable, line_number, "(a line too long)");
      continue;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line_number == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
    if (line.empty() || line[0] == '#') continue;
    if (header.empty()) {
      delimiter = DelimiterOf(line);
      header = Split(line, delimiter);
      columns = FindColumns(header);
      units_possible = true;
      const std::string names = Normal(line);
      const bool j2000 = names.find("j2000") != std::string::npos;
      const bool b1950 = names.find("b1950") != std::string::npos;
      const Equinox equinox = j2000 ? Equinox::kJ2000 : b1950 ? Equinox::kB1950 : assumed;
      report.equinox = equinox == Equinox::kJ2000 ? "J2000" : "B1950";
      report.format = delimiter == '\t'  ? "tab-separated table"
                      : delimiter == ';' ? "semicolon-separated table"
                                         : "comma-separated table";
      // Row 0 is never drawn: the header takes it, as a catalogue's heading
      // does, and it holds the equinox every row is read in.
      table.J2000[table.AddRow()] = equinox == Equinox::kJ2000;
      continue;
    }
    const std::vector<std::string> fields = Split(line, delimiter);
    if (std::all_of(line.begin(), line.end(),
                    [delimiter](char c) { return c == '-' || c == ' ' || c == delimiter; })) {
      continue;  // the row of dashes under the header
    }
    auto field = [&](int i) {
      return i >= 0 && i < int(fields.size()) ? fields[i] : std::string();
    };
    const std::string ra_text = field(columns.ra), dec_text = field(columns.dec);
    const bool sexagesimal_ra = ra_text.find_first_of(" :hm") != std::string::npos;
    const double ra = ParseSexagesimal(ra_text, columns.ra_hours || sexagesimal_ra);
    const double dec = ParseSexagesimal(dec_text, false);
    if (units_possible && std::isnan(ra)) {
      // The units row that some exports put under the header.
      units_possible = false;
      if (Normal(field(columns.ra)) == "h") columns.ra_hours = true;
      if (Normal(field(columns.flux)) == "mjy") flux_scale = 0.001;
      continue;
    }
    units_possible = false;
    ++report.lines;
    if (!(ra >= 0 && ra < 360 && dec >= -90 && dec <= 90)) {
      report.Skip(report.unreadable, line_number, line);
      continue;
    }
    const std::string flux_text = field(columns.flux);
    const double flux = columns.flux < 0 ? 1 : ParseLeadingNumber(flux_text) * flux_scale;
    if (!(flux <= 1000)) {
      report.Skip(report.over_1000, line_number, line);
      continue;
    }
    candidates.push_back(
        {line_number, ToLatin1(field(columns.name)), flux_text, ra_text, dec_text, flux, ra, dec});
  }
  // The brightest rows fill the table, in the file's order, when there are
  // more than it holds.
  const size_t room = kMaxCatalogueRows - 1;
  if (candidates.size() > room) {
    report.left_out = static_cast<int>(candidates.size() - room);
    std::nth_element(candidates.begin(), candidates.begin() + room, candidates.end(),
                     [](const Candidate& a, const Candidate& b) { return a.flux > b.flux; });
    candidates.resize(room);
    std::sort(candidates.begin(), candidates.end(),
              [](const Candidate& a, const Candidate& b) { return a.line < b.line; });
  }
  const bool j2000 = table.RowCount() > 0 && table.J2000[0];
  for (Candidate& c : candidates) {
    const int r = table.AddRow();
    auto& text = table.CatalogText[r];
    text[0] = std::to_string(c.line);
    text[2] = c.name;
    text[3] = c.flux_text.empty() ? "1" : c.flux_text;
    text[6] = c.ra_text;
    text[7] = c.dec_text;
    text[8] = c.name;
    table.RaDec[r] = {c.ra, c.dec};
    table.Flux[r] = c.flux;
    table.J2000[r] = j2000;
    table.UpdateDeclinationCache(r);
  }
  report.kept = static_cast<int>(candidates.size());
  AppendSunRow(table);
}

}  // namespace skyvane
