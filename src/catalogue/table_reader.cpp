// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/table_reader.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <regex>
#include <set>

#include "base/number_text.h"
#include "base/numbers.h"
#include "catalogue/table_rows.h"

namespace skyvane {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr size_t kExamples = 5;
constexpr int kSniffLines = 50;

// Cuts a line at `delimiter`. A double quote at a field's start opens a
// quoted field ("a;b" is one field, "" inside it one quote); anywhere else it
// is an ordinary character, such as the arcsecond mark. Fields are trimmed of
// blanks.
void SplitInto(std::string_view line, char delimiter, std::vector<std::string>& fields) {
  // The strings keep their room from line to line: a million rows make no
  // million allocations.
  size_t count = 1;
  if (fields.empty()) fields.emplace_back();
  fields[0].clear();
  if (line.find('"') == std::string_view::npos) {
    // No quotes, the usual case: cut at each delimiter in one go.
    size_t from = 0;
    for (;;) {
      const size_t to = line.find(delimiter, from);
      std::string_view piece = line.substr(from, to == std::string_view::npos ? to : to - from);
      while (!piece.empty() && piece.front() == ' ') piece.remove_prefix(1);
      while (!piece.empty() && piece.back() == ' ') piece.remove_suffix(1);
      fields[count - 1].assign(piece);
      if (to == std::string_view::npos) break;
      fields.resize(std::max(fields.size(), ++count));
      from = to + 1;
    }
    fields.resize(count);
    return;
  }
  bool quoted = false, at_start = true;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    std::string& field = fields[count - 1];
    if (quoted) {
      if (line.compare(i, 2, "\"\"") == 0) {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        field += c;
      }
    } else if (c == '"' && at_start) {
      quoted = true;
      at_start = false;
    } else if (c == delimiter) {
      fields.resize(std::max(fields.size(), ++count));
      fields[count - 1].clear();
      at_start = true;
    } else {
      if (c != ' ') at_start = false;
      field += c;
    }
  }
  fields.resize(count);
  for (std::string& f : fields) {
    const size_t first = f.find_first_not_of(' ');
    if (first == std::string::npos) {
      f.clear();
    } else if (first > 0 || f.back() == ' ') {
      f = f.substr(first, f.find_last_not_of(' ') - first + 1);
    }
  }
}

std::vector<std::string> Split(std::string_view line, char delimiter) {
  std::vector<std::string> fields;
  SplitInto(line, delimiter, fields);
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

std::optional<Equinox> EquinoxOf(const std::string& token) {
  if (token == "j2000" || token == "2000" || token == "icrs" || token == "fk5") {
    return Equinox::kJ2000;
  }
  if (token == "b1950" || token == "1950" || token == "fk4") return Equinox::kB1950;
  return std::nullopt;
}

Unit UnitToken(const std::string& token) {
  if (token == "h" || token == "hms" || token == "hour" || token == "hours") return Unit::kHours;
  if (token == "deg" || token == "d" || token == "dms") return Unit::kDegrees;
  if (token == "rad") return Unit::kRadians;
  return Unit::kNone;
}

char DelimiterOf(std::string_view header) {
  const auto count = [&](char c) { return std::count(header.begin(), header.end(), c); };
  const long tabs = count('\t'), semicolons = count(';'), commas = count(',');
  if (tabs >= semicolons && tabs >= commas && tabs > 0) return '\t';
  if (semicolons >= commas && semicolons > 0) return ';';
  return ',';
}

// Plain loops rather than the string searches for a set of characters,
// which look each character up in the set: these run on every field of a
// million-row table.
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

template <typename Accepts>
bool AllOf(std::string_view text, Accepts accepts) {
  for (const char c : text) {
    if (!accepts(c)) return false;
  }
  return true;
}

// Whether an angle holds a sexagesimal mark or blank, as "12 30", "12:30"
// and "12h30m" do.
bool HasMark(std::string_view text) {
  return !AllOf(text, [](char c) { return c != ' ' && c != ':' && c != 'h' && c != 'm'; });
}

bool HasDigit(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return IsDigit(c); });
}

// A row under the header that gives units rather than values: no field holds
// a digit, and the position columns hold nothing or a unit.
bool LooksLikeUnits(const std::vector<std::string>& fields, const Layout& c) {
  if (std::any_of(fields.begin(), fields.end(), [](const std::string& f) { return HasDigit(f); })) {
    return false;
  }
  const int ra = c.Split() ? c.ra_h : c.ra;
  const int dec = c.Split() ? c.de_d : c.dec;
  for (int i : {ra, dec}) {
    if (i < int(fields.size()) && !fields[i].empty() && UnitOf(fields[i]) == Unit::kNone) {
      return false;
    }
  }
  return std::any_of(fields.begin(), fields.end(), [](const std::string& f) { return !f.empty(); });
}

// The row of dashes under a header or a units row.
bool IsRule(std::string_view line, char delimiter) {
  return line.find('-') != std::string_view::npos &&
         std::all_of(line.begin(), line.end(),
                     [delimiter](char c) { return c == '-' || c == ' ' || c == delimiter; });
}

// Whether every line seen so far is well-formed UTF-8; a character cut by
// a line's end is not.
class Utf8Check {
 public:
  void Feed(std::string_view line) {
    if (std::all_of(line.begin(), line.end(), [](char c) { return c >= 0; })) return;  // ASCII
    int pending = 0;  // continuation bytes still due
    for (const char ch : line) {
      const auto c = static_cast<unsigned char>(ch);
      if (pending > 0) {
        if ((c & 0xC0) != 0x80) valid_ = false;
        --pending;
      } else if (c >= 0xC2 && c <= 0xF4) {
        pending = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
      } else if (c >= 0x80) {
        valid_ = false;
      }
    }
    if (pending > 0) valid_ = false;
  }
  bool Valid() const { return valid_; }

 private:
  bool valid_ = true;
};

// UTF-8 text as the table's single bytes: Latin-1 where it can be, '?'
// beyond; bytes that are no UTF-8 are kept as they are.
std::string ToLatin1(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    // A lead byte and the continuation bytes it asks for; ASCII asks none.
    const int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 ? 1 : 0;
    bool valid = extra > 0;
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

// A whole text as a number with a period for the decimal mark (a sign, an
// exponent and blanks around allowed), or NaN.
double Number(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  // A second sign ("++1", "-+1") is left to the conversion, which refuses
  // it; so are blanks and marks inside. The words "inf" and "nan" come back
  // as values that are not finite, which no position or flux takes.
  double value;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return kNaN;
  return value;
}

// A field's text to read as a number: in a semicolon-separated file the comma
// is the decimal mark, written into `buffer` as a period.
std::string_view NumberText(const std::vector<std::string>& fields, int i, char delimiter,
                            std::string& buffer) {
  if (i < 0 || i >= int(fields.size())) return {};
  const std::string& text = fields[i];
  if (delimiter != ';' || text.find(',') == std::string::npos) return text;
  buffer = text;
  std::replace(buffer.begin(), buffer.end(), ',', '.');
  return buffer;
}

// Right ascension and declination of one row, degrees; NaN where unreadable.
std::pair<double, double> PositionOf(const std::vector<std::string>& fields, const Layout& c,
                                     char delimiter) {
  std::string buffer_ra, buffer_dec;
  double ra, dec;
  if (c.Split()) {
    auto number = [&](int i) { return Number(NumberText(fields, i, delimiter, buffer_ra)); };
    auto part = [&](int i) {
      return NumberText(fields, i, delimiter, buffer_ra).empty() ? 0 : number(i);
    };
    const double h = number(c.ra_h), m = part(c.ra_m), s = part(c.ra_s);
    const double d = number(c.de_d), dm = part(c.de_m), ds = part(c.de_s);
    const bool parts_ok = m >= 0 && m < 60 && s >= 0 && s < 60 && dm >= 0 && dm < 60 && ds >= 0 &&
                          ds < 60 && h >= 0 && d >= 0;
    ra = parts_ok ? (h + m / 60 + s / 3600) * 15 : kNaN;
    dec = parts_ok ? d + dm / 60 + ds / 3600 : kNaN;
    // The sign stands alone, so that -0 30 00 is south of the equator.
    const std::string_view sign = NumberText(fields, c.de_sign, delimiter, buffer_dec);
    if (sign == "-") dec = -dec;
    if (!sign.empty() && sign != "-" && sign != "+") dec = kNaN;
  } else {
    const std::string_view ra_text = NumberText(fields, c.ra, delimiter, buffer_ra);
    const std::string_view dec_text = NumberText(fields, c.dec, delimiter, buffer_dec);
    const bool sexagesimal = HasMark(ra_text);
    if (c.ra_unit == Unit::kRadians) {
      ra = Number(ra_text) / kDegree;
    } else {
      ra = ParseSexagesimal(ra_text,
                            c.ra_unit == Unit::kHours || (c.ra_unit == Unit::kNone && sexagesimal));
    }
    dec = c.dec_unit == Unit::kRadians ? Number(dec_text) / kDegree
                                       : ParseSexagesimal(dec_text, false);
  }
  if (ra == 360) ra = 0;  // 24 hours is the start of the circle again
  return {ra, dec};
}

// The position as the row wrote it, for the readout's texts.
void PositionTexts(const std::vector<std::string>& fields, const Layout& c, std::string& ra_text,
                   std::string& dec_text) {
  auto field = [&](int i) {
    return i >= 0 && i < int(fields.size()) ? fields[i].substr(0, kMaxFieldBytes) : std::string();
  };
  if (c.Split()) {
    ra_text = field(c.ra_h) + " " + field(c.ra_m) + " " + field(c.ra_s);
    const std::string sign = field(c.de_sign);
    dec_text =
        (sign.empty() ? "+" : sign) + field(c.de_d) + " " + field(c.de_m) + " " + field(c.de_s);
  } else {
    ra_text = field(c.ra);
    dec_text = field(c.dec);
  }
}

}  // namespace

const char* const kKnownNames =
    "RAJ2000, DEJ2000, RA_ICRS, DE_ICRS, RAB1950, DEB1950, RA1950, DE1950, RA, Dec, "
    "Right Ascension, Declination, or the split columns RAh RAm RAs with DE- DEd DEm DEs "
    "(in any case, with or without a leading underscore or a unit in brackets)";

Unit UnitOf(std::string_view text) {
  std::string u;
  for (const char c : text) {
    if (c != ' ') u += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  static const std::set<std::string> hours = {"h", "hour", "hours", "h:m:s", "hms", "hh:mm:ss"};
  static const std::set<std::string> degrees = {"deg", "d",        "degree",   "degrees", "d:m:s",
                                                "dms", "dd:mm:ss", "\xC2\xB0", "\xB0"};
  if (hours.count(u)) return Unit::kHours;
  if (degrees.count(u)) return Unit::kDegrees;
  if (u == "rad" || u == "radian" || u == "radians") return Unit::kRadians;
  if (u == "jy") return Unit::kJy;
  if (u == "mjy") return Unit::kMilliJy;
  return Unit::kNone;
}

Layout FindColumns(const std::vector<std::string>& header) {
  static const std::regex ra(
      "(ra|rightascension)(j2000|b1950|1950|2000|icrs|fk5|fk4)?(deg|d|h|hms|hours|hour|rad)?");
  static const std::regex dec(
      "(dec|de|declination)(j2000|b1950|1950|2000|icrs|fk5|fk4)?(deg|d|dms|rad)?");
  static const std::regex flux(
      "flux.*|s[0-9]+(ghz|mhz)?(m?jy)?|s|fluxden|sint|stot|stotal|"
      "totalflux|intflux|fint|speak|peakflux");
  static const std::set<std::string> names = {"name",       "source", "id", "object", "designation",
                                              "sourcename", "mainid", "3c", "4c"};
  Layout c;
  std::vector<std::string> normal;
  std::vector<Unit> units;
  for (const std::string& raw : header) {
    // A unit in brackets after the name: "RA (deg)", "RA [h]", "Flux (mJy)".
    std::string base = raw;
    Unit unit = Unit::kNone;
    const size_t open = raw.find_first_of("([");
    if (open != std::string::npos && (raw.back() == ')' || raw.back() == ']')) {
      unit = UnitOf(std::string_view(raw).substr(open + 1, raw.size() - open - 2));
      base = raw.substr(0, open);
    }
    // Split columns write the declination's sign as "DE-".
    std::string n = Normal(base);
    if (base.find('-') != std::string::npos && (n == "de" || n == "dec")) n = "de-";
    normal.push_back(n);
    units.push_back(unit);
  }
  auto index_of = [&](const char* n) {
    const auto at = std::find(normal.begin(), normal.end(), n);
    return at == normal.end() ? -1 : static_cast<int>(at - normal.begin());
  };
  const int ra_h = index_of("rah"), ra_m = index_of("ram");
  const int de_d = index_of("ded"), de_m = index_of("dem");
  if (std::min({ra_h, ra_m, de_d, de_m}) >= 0) {
    c.ra_h = ra_h;
    c.ra_m = ra_m;
    c.ra_s = index_of("ras");
    c.de_d = de_d;
    c.de_m = de_m;
    c.de_s = index_of("des");
    c.de_sign = index_of("de-");
  }
  std::smatch m;
  for (int i = 0; i < static_cast<int>(normal.size()); ++i) {
    const std::string& n = normal[i];
    if (c.ra < 0 && !c.Split() && std::regex_match(n, m, ra)) {
      c.ra = i;
      c.ra_unit = units[i] != Unit::kNone ? units[i] : UnitToken(m[3]);
      if (!c.equinox) c.equinox = EquinoxOf(m[2]);
    } else if (c.dec < 0 && !c.Split() && std::regex_match(n, m, dec)) {
      c.dec = i;
      c.dec_unit = units[i] != Unit::kNone ? units[i] : UnitToken(m[3]);
      if (!c.equinox) c.equinox = EquinoxOf(m[2]);
    } else if (c.flux < 0 && std::regex_match(n, flux)) {
      c.flux = i;
      c.flux_unit = units[i];
      if (c.flux_unit == Unit::kNone && n.find("mjy") != std::string::npos) {
        c.flux_unit = Unit::kMilliJy;
      }
    } else if (names.count(n) && (c.name < 0 || n == "name")) {
      c.name = i;
    }
  }
  return c;
}

bool ReadLine(std::istream& in, std::string& line, bool& too_long) {
  line.clear();
  too_long = false;
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
    // Past the limit the rest is dropped: what was read is of no use then.
    if (line.size() < kMaxLineBytes) {
      line.push_back(static_cast<char>(c));
    } else {
      too_long = true;
    }
  }
}

bool LoadReport::Going(std::istream& in, int line_number) {
  if (!control || line_number % 4096 != 0) return true;
  control->bytes_read = static_cast<long long>(in.tellg());
  cancelled = control->cancel;
  return !cancelled;
}

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
  for (const std::string& note : notes) text += "\n" + note;
  return text;
}

double ParseSexagesimal(std::string_view text, bool hours) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);  // blanks after are marks
  if (text.empty()) return kNaN;
  // A plain decimal number, the usual case, needs no looking for marks.
  if (AllOf(text, [](char c) { return IsDigit(c) || c == '.' || c == '-' || c == '+'; })) {
    const double value = Number(text);
    return hours ? value * 15 : value;
  }
  const bool negative = text.front() == '-';
  if (text.front() == '-' || text.front() == '+') text.remove_prefix(1);
  double parts[3] = {};
  int count = 0;
  bool sexagesimal = false;
  size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (IsDigit(c) || c == '.') {
      if (count == 3) return kNaN;
      size_t end = i;
      while (end < text.size() && (IsDigit(text[end]) || text[end] == '.')) ++end;
      const double value = Number(text.substr(i, end - i));
      if (std::isnan(value)) return kNaN;
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

FileKind SniffFile(std::istream& in) {
  FileKind kind;
  std::string line, header;
  bool too_long = false;
  int tab_lines = 0, catalogue_lines = 0, lines = 0;
  while (lines < kSniffLines && ReadLine(in, line, too_long)) {
    if (lines == 0 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
    if (too_long || line.empty()) continue;
    ++lines;
    if (lines == 1 && (line.rfind("<?xml", 0) == 0 || line.rfind("<VOTABLE", 0) == 0)) {
      kind.votable = true;
      return kind;
    }
    if (header.empty() && line[0] != '#') header = line;
    // The catalogue format: nine tab-separated fields (the name may be left
    // off), the right ascension
    // in hours with h, the declination signed with *.
    const std::vector<std::string> fields = Split(line, '\t');
    if (lines == 1) continue;  // the heading line says nothing of the format
    ++tab_lines;
    if (fields.size() >= 8 && fields[6].find('h') != std::string::npos &&
        (fields[7][0] == '+' || fields[7][0] == '-') && fields[7].find('*') != std::string::npos) {
      ++catalogue_lines;
    }
  }
  kind.catalogue_format = catalogue_lines * 2 > tab_lines;
  if (!kind.catalogue_format) {
    const Layout c = FindColumns(Split(header, DelimiterOf(header)));
    kind.positions = c.Positions();
    kind.equinox = c.equinox;
  }
  return kind;
}

bool TableRows::Brighter(const Rank& a, const Rank& b) {
  // The row to drop first when the table is full is the faintest, and of
  // equal ones the later.
  return a.flux > b.flux || (a.flux == b.flux && a.line < b.line);
}

void TableRows::Add(const std::vector<std::string>& fields, int line_number,
                    std::string_view line) {
  ++report_.lines;
  double ra, dec;
  std::tie(ra, dec) = PositionOf(fields, columns_, delimiter_);
  if (!(ra >= 0 && ra < 360 && dec >= -90 && dec <= 90)) {
    report_.Skip(report_.unreadable, line_number, line);
    return;
  }
  if (!columns_.Split() && columns_.ra_unit == Unit::kNone && !HasMark(fields[columns_.ra])) {
    plain_ra_ = true;
    all_below_24_ = all_below_24_ && ra < 24;
  }
  const bool has_flux =
      columns_.flux >= 0 && columns_.flux < int(fields.size()) && !fields[columns_.flux].empty();
  Rank rank{1, line_number, kept_.size()};
  if (has_flux) {
    std::string buffer;
    const double flux = Number(NumberText(fields, columns_.flux, delimiter_, buffer)) *
                        (columns_.flux_unit == Unit::kMilliJy ? 0.001 : 1);
    if (std::isfinite(flux)) rank.flux = flux;
  }
  if (ranks_.size() == kMaxCatalogueRows - 1) {
    ++report_.left_out;
    if (!Brighter(rank, ranks_.front())) return;  // no text is copied for a row left out
    std::pop_heap(ranks_.begin(), ranks_.end(), Brighter);
    rank.slot = ranks_.back().slot;
    ranks_.back() = rank;
  } else {
    ranks_.push_back(rank);
    kept_.emplace_back();
  }
  std::push_heap(ranks_.begin(), ranks_.end(), Brighter);
  Candidate& c = kept_[rank.slot];
  c.line = line_number;
  c.flux = rank.flux;
  c.ra = ra;
  c.dec = dec;
  // The texts kept are cut at kMaxFieldBytes, whatever the file's format.
  c.flux_text.clear();
  if (has_flux) c.flux_text.assign(fields[columns_.flux], 0, kMaxFieldBytes);
  c.name.clear();
  if (columns_.name >= 0 && columns_.name < int(fields.size())) {
    c.name.assign(fields[columns_.name], 0, kMaxFieldBytes);
  }
  PositionTexts(fields, columns_, c.ra_text, c.dec_text);
}

void TableRows::Finish(Equinox assumed, bool utf8, SourceTable& table) {
  if (plain_ra_ && all_below_24_ && !kept_.empty()) {
    report_.notes.push_back(
        "Every right ascension is below 24: if they are hours, give the column a unit "
        "(\"RA (h)\") or a units row saying h.");
  }
  const Equinox equinox = columns_.equinox.value_or(assumed);
  report_.equinox = equinox == Equinox::kJ2000 ? "J2000" : "B1950";
  // Row 0 is never drawn: the header takes it, as a catalogue's heading
  // does, and it holds the equinox every row is read in.
  table.J2000[table.AddRow()] = equinox == Equinox::kJ2000;
  std::sort(kept_.begin(), kept_.end(),
            [](const Candidate& a, const Candidate& b) { return a.line < b.line; });
  for (Candidate& c : kept_) {
    const int r = table.AddRow();
    auto& text = table.CatalogText[r];
    const std::string name = utf8 ? ToLatin1(c.name) : c.name;
    text[0] = std::to_string(c.line);
    text[2] = name;
    text[3] = c.flux_text.empty() ? "1" : c.flux_text;
    text[6] = c.ra_text;
    text[7] = c.dec_text;
    text[8] = name;
    table.RaDec[r] = {c.ra, c.dec};
    table.Flux[r] = c.flux;
    table.J2000[r] = equinox == Equinox::kJ2000;
    table.UpdateDeclinationCache(r);
  }
  report_.kept = static_cast<int>(kept_.size());
  AppendSunRow(table);
}

void ReadTable(std::istream& in, Equinox assumed, SourceTable& table, LoadReport& report) {
  std::string line;
  bool too_long = false;
  int line_number = 0;
  char delimiter = ',';
  std::optional<TableRows> rows;
  bool units_possible = false;
  Utf8Check utf8;
  std::vector<std::string> fields;
  while (ReadLine(in, line, too_long)) {
    ++line_number;
    if (!report.Going(in, line_number)) return;
    if (too_long) {
      if (rows) report.Skip(report.unreadable, line_number, "(a line too long)");
      continue;
    }
    if (line_number == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
    utf8.Feed(line);
    if (line.empty() || (!rows && line[0] == '#')) continue;
    if (!rows) {
      delimiter = DelimiterOf(line);
      const Layout columns = FindColumns(Split(line, delimiter));
      report.format = delimiter == '\t'  ? "tab-separated table"
                      : delimiter == ';' ? "semicolon-separated table"
                                         : "comma-separated table";
      if (!columns.Positions()) {
        report.refusal =
            "its header line\n  " + line.substr(0, 200) +
            "\nnames no right ascension and declination columns. Recognised: " + kKnownNames + ".";
        return;
      }
      rows.emplace(columns, delimiter, report);
      units_possible = true;
      continue;
    }
    if (line[0] == '#' || IsRule(line, delimiter)) continue;
    SplitInto(line, delimiter, fields);
    if (units_possible) {
      units_possible = false;
      Layout& columns = rows->columns();
      if (LooksLikeUnits(fields, columns)) {
        auto unit = [&](int i) {
          return i >= 0 && i < int(fields.size()) ? UnitOf(fields[i]) : Unit::kNone;
        };
        if (columns.ra_unit == Unit::kNone) columns.ra_unit = unit(columns.ra);
        if (columns.dec_unit == Unit::kNone) columns.dec_unit = unit(columns.dec);
        if (columns.flux_unit == Unit::kNone) columns.flux_unit = unit(columns.flux);
        continue;
      }
    }
    rows->Add(fields, line_number, line);
  }
  // Nothing but comments: nothing to draw. One text encoding for the whole
  // file: UTF-8 where all of it is, else Latin-1 as it stands.
  if (rows) rows->Finish(assumed, utf8.Valid(), table);
}

}  // namespace skyvane
