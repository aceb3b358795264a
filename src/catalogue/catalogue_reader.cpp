// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/catalogue_reader.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>
#include <vector>

#include "base/number_text.h"
#include "catalogue/votable_reader.h"

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

// Cuts a line at its tabs into fields 0..8; missing fields stay empty and
// fields beyond 8 are dropped.
std::array<std::string, 9> SplitFields(const std::string& line) {
  std::array<std::string, 9> fields;
  size_t start = 0;
  for (int f = 0; f < 9; ++f) {
    size_t tab = line.find('\t', start);
    const size_t length = tab == std::string::npos ? std::string::npos : tab - start;
    fields[f] = line.substr(start, std::min(length, kMaxFieldBytes));
    if (tab == std::string::npos) break;
    start = tab + 1;
  }
  return fields;
}

// How long the report's list of the names the 1000 Jy rule left out grows,
// in bytes; a flux beyond kNoFlux is no flux, even for the brightest.
constexpr size_t kBrightestListBytes = 120;
constexpr double kNoFlux = 1e30;

}  // namespace

double ParseAngle(std::string_view s) {
  const bool signed_form = !s.empty() && (s[0] == '+' || s[0] == '-');
  const char unit = signed_form ? '*' : 'h';
  // The text after a mark, where a number stops at the next mark; nothing
  // when the marks touch or are out of order.
  auto between = [&](size_t open, size_t close) {
    return close > open + 1 ? s.substr(open + 1) : std::string_view{};
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

void ReadCatalogue(std::istream& in, SourceTable& table, LoadReport* report, bool keep_brightest) {
  LoadReport ignored;
  LoadReport& said = report ? *report : ignored;
  said.format = "catalogue format";
  said.equinox = "B1950";
  std::string line;
  std::string previous_number;
  bool too_long = false;
  int line_number = 0;
  std::string brightest;  // the names the 1000 Jy rule left out
  int unlisted = 0;       // and how many more there are
  while (ReadLine(in, line, too_long)) {
    ++line_number;
    if (!said.Going(in, line_number)) return;
    if (table.RowCount() >= kMaxCatalogueRows) {
      ++said.left_out;  // reading has stopped: only counted
      continue;
    }
    if (too_long) {
      said.Skip(said.unreadable, line_number, "(a line too long)");
      continue;
    }
    // A file saved with a byte-order mark keeps it out of field 0.
    if (line_number == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
    std::array<std::string, 9> fields = SplitFields(line);
    if (fields[3].empty()) continue;
    if (line_number > 1) ++said.lines;
    const double flux = ParseLeadingNumber(fields[3]);
    if (!(flux <= 1000) && !(keep_brightest && flux < kNoFlux)) {
      said.Skip(said.over_1000, line_number, line);
      const std::string& name = fields[8].empty() ? fields[2] : fields[8];
      if (line_number > 1) {  // the heading line names no source
        if (brightest.size() + name.size() > kBrightestListBytes) {
          ++unlisted;
        } else {
          brightest += (brightest.empty() ? "" : ", ") + name;
        }
      }
      continue;
    }
    if (fields[0] == previous_number) {
      said.Skip(said.repeated, line_number, line);
      continue;
    }
    previous_number = fields[0];
    if (line_number > 1) ++said.kept;
    const int r = table.AddRow();
    table.LastRow = static_cast<float>(r);
    if (fields[8].empty()) fields[8] = fields[2];
    fields[8] = FormatName(fields[8]);
    table.RaDec[r] = {ParseAngle(fields[6]), ParseAngle(fields[7])};
    table.Flux[r] = flux;
    table.UpdateDeclinationCache(r);
    table.CatalogText[r] = std::move(fields);
  }
  if (said.over_1000 > 0) {
    const std::string more = unlisted > 0 ? " and " + std::to_string(unlisted) + " more" : "";
    said.notes.push_back("Left out as brighter than 1000 Jy: " + brightest + more +
                         ". View > Brightest Sources (above 1000 Jy) brings them back.");
  }
  AppendSunRow(table);
}

std::optional<std::filesystem::path> FindCatalogueFile(const std::filesystem::path& folder) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path exact = folder / "StarData.txt";
  if (fs::exists(fs::symlink_status(exact, error))) return exact;
  std::vector<fs::path> matches;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    const std::string_view wanted = "stardata.txt";
    auto same = [](char a, char b) { return LowerLatin1(a) == b; };
    if (std::equal(name.begin(), name.end(), wanted.begin(), wanted.end(), same)) {
      matches.push_back(it->path());
    }
  }
  if (matches.empty()) return std::nullopt;
  std::sort(matches.begin(), matches.end());
  return matches.front();
}

namespace {

// UTF-16 with a byte-order mark, as 8-bit Latin-1: characters beyond it
// become '?'.
std::string FromUtf16(const std::string& bytes) {
  const bool little = static_cast<unsigned char>(bytes[0]) == 0xFF;
  std::string text;
  text.reserve(bytes.size() / 2);
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const auto lo = static_cast<unsigned char>(bytes[little ? i : i + 1]);
    const auto hi = static_cast<unsigned char>(bytes[little ? i + 1 : i]);
    text.push_back(hi == 0 ? static_cast<char>(lo) : '?');
  }
  return text;
}

bool IsUtf16(const std::string& head) {
  return head.size() >= 2 &&
         ((head[0] == '\xFF' && head[1] == '\xFE') || (head[0] == '\xFE' && head[1] == '\xFF'));
}

}  // namespace

CatalogueStatus LoadCatalogueFile(const std::filesystem::path& file, SourceTable& table,
                                  LoadReport* report, Equinox assumed, bool keep_brightest) {
  LoadReport ignored;
  LoadReport& said = report ? *report : ignored;
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::file_status status = fs::status(file, error);
  if (!fs::exists(status)) return CatalogueStatus::kNotFound;
  if (!fs::is_regular_file(status)) return CatalogueStatus::kNotRegularFile;
  const std::uintmax_t size = fs::file_size(file, error);
  if (error) return CatalogueStatus::kNotReadable;
  if (size > kMaxFileBytes) return CatalogueStatus::kTooLarge;
  std::ifstream in(file, std::ios::binary);
  if (!in) return CatalogueStatus::kNotReadable;
  try {
    std::string head(4096, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<size_t>(in.gcount()));
    if (in.bad()) return CatalogueStatus::kNotReadable;
    SourceTable read;
    // Told apart by content: the catalogue format only where the file
    // really is in it, a table otherwise.
    auto read_from = [&](std::istream& stream) {
      const FileKind kind = SniffFile(stream);
      stream.clear();
      stream.seekg(0);
      if (kind.catalogue_format) {
        ReadCatalogue(stream, read, &said, keep_brightest);
      } else if (kind.votable) {
        ReadVoTable(stream, assumed, read, said);
      } else {
        ReadTable(stream, assumed, read, said);
      }
    };
    if (IsUtf16(head)) {
      in.clear();
      in.seekg(0);
      const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
      std::istringstream stream(FromUtf16(bytes));
      read_from(stream);
    } else {
      // Text has no NUL bytes: a file with one near its start is binary.
      if (head.find('\0') != std::string::npos) return CatalogueStatus::kNotText;
      in.clear();
      in.seekg(0);
      read_from(in);
      if (in.bad()) return CatalogueStatus::kNotReadable;
    }
    if (said.cancelled) return CatalogueStatus::kCancelled;
    if (!said.refusal.empty()) return CatalogueStatus::kNoPositions;
    table = std::move(read);
  } catch (const std::bad_alloc&) {
    return CatalogueStatus::kOutOfMemory;
  }
  return CatalogueStatus::kLoaded;
}

CatalogueReport LoadFirstCatalogue(const std::vector<std::filesystem::path>& folders,
                                   const std::optional<std::filesystem::path>& file,
                                   SourceTable& table, Equinox assumed, bool keep_brightest,
                                   ReadControl* control) {
  CatalogueReport report;
  std::vector<std::filesystem::path> candidates;
  if (file) candidates.push_back(*file);
  for (const auto& folder : folders) {
    if (const auto found = FindCatalogueFile(folder)) {
      candidates.push_back(*found);
    } else if (!file) {
      report.looked_in.push_back(folder / "StarData.txt");
    }
  }
  // A file with nothing to draw is passed over, and said so, for the next
  // place; one that cannot be read at all is reported as it is.
  for (const auto& candidate : candidates) {
    report.file = candidate;
    report.looked_in.push_back(candidate);
    report.read = LoadReport{};
    report.read.control = control;
    SourceTable read;
    report.status = LoadCatalogueFile(candidate, read, &report.read, assumed, keep_brightest);
    if (report.status == CatalogueStatus::kLoaded && report.read.kept == 0) {
      report.status = CatalogueStatus::kEmpty;
    }
    const bool nothing =
        report.status == CatalogueStatus::kEmpty || report.status == CatalogueStatus::kNoPositions;
    if (!nothing) {
      if (report.status == CatalogueStatus::kLoaded) table = std::move(read);
      break;
    }
    report.passed_over.push_back(candidate);
  }
  return report;
}

std::string ShownPath(const std::filesystem::path& path) {
  const std::string bytes = path.string();
  std::string shown;
  for (size_t i = 0; i < bytes.size();) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    const size_t length = c < 0x80                 ? 1
                          : c >= 0xC2 && c <= 0xDF ? 2
                          : c >= 0xE0 && c <= 0xEF ? 3
                          : c >= 0xF0 && c <= 0xF4 ? 4
                                                   : 0;
    bool whole = length > 0 && i + length <= bytes.size();
    for (size_t k = 1; whole && k < length; ++k) {
      whole = (static_cast<unsigned char>(bytes[i + k]) & 0xC0) == 0x80;
    }
    if (whole) {
      shown.append(bytes, i, length);
      i += length;
    } else {
      static const char kHex[] = "0123456789ABCDEF";
      shown += "\\x";
      shown += kHex[c >> 4];
      shown += kHex[c & 15];
      ++i;
    }
  }
  return shown;
}

std::string DescribeReport(const CatalogueReport& report) {
  if (report.status == CatalogueStatus::kNotFound) {
    std::string text = "The catalogue file was not found:";
    for (const auto& place : report.looked_in) {
      text += '\n';
      text += ShownPath(place);
    }
    return text;
  }
  const char* why = "";
  switch (report.status) {
    case CatalogueStatus::kNotRegularFile:
      why = "it is not a regular file (a folder, device or pipe)";
      break;
    case CatalogueStatus::kNotReadable:
      why = "it cannot be read (permission denied or a read error)";
      break;
    case CatalogueStatus::kNotText:
      why = "it is not a text file (binary data); save the table as tab-delimited text";
      break;
    case CatalogueStatus::kTooLarge:
      why = "it is too large for a catalogue";
      break;
    case CatalogueStatus::kEmpty:
      why = "it holds no source with a readable position";
      break;
    case CatalogueStatus::kNoPositions:
      return "The catalogue file cannot be used:\n" + ShownPath(report.file) + "\n" +
             report.read.refusal;
    case CatalogueStatus::kCancelled:
      why = "its reading was cancelled";
      break;
    case CatalogueStatus::kOutOfMemory:
      why = "there is not enough memory to read it";
      break;
    default:
      return {};
  }
  std::string text = "The catalogue file cannot be used:\n";
  text += ShownPath(report.file);
  text += '\n';
  text += why;
  return text;
}

}  // namespace skyvane
