// SPDX-License-Identifier: GPL-3.0-or-later
#include "sky/find_source.h"

#include <erfa.h>
#include <erfam.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <set>

#include "base/numbers.h"

namespace skyvane {
namespace {

// The names observers call the brightest radio sources by, and the 3C
// numbers catalogues list them under.
struct CommonName {
  const char* key;
  const char* designation;
};
constexpr CommonName kCommonNames[] = {
    {"cyga", "3c405"}, {"casa", "3c461"}, {"taua", "3c144"},   {"crab", "3c144"},
    {"m1", "3c144"},   {"vira", "3c274"}, {"m87", "3c274"},    {"hera", "3c348"},
    {"hyaa", "3c218"}, {"pera", "3c84"},  {"ngc1275", "3c84"},
};

// A key split into its catalogue prefix ("3c", "4c", "pks", "j") and the
// rest: the prefix is a leading digit and letters, or letters, followed by
// a digit or a sign.
struct Split {
  std::string prefix, rest;
};
Split SplitKey(const std::string& key) {
  size_t i = 0;
  if (i < key.size() && std::isdigit(static_cast<unsigned char>(key[i]))) ++i;
  const size_t letters = i;
  while (i < key.size() && std::isalpha(static_cast<unsigned char>(key[i]))) ++i;
  const bool prefixed =
      i > letters && i < key.size() &&
      (std::isdigit(static_cast<unsigned char>(key[i])) || key[i] == '+' || key[i] == '-');
  if (!prefixed) return {"", key};
  return {key.substr(0, i), key.substr(i)};
}

// 0: no match, 2: the whole of it, 1: it begins with the query.
int Matches(const Split& query, const std::string& text) {
  const Split field = SplitKey(MatchKey(text));
  if (field.rest.empty() && field.prefix.empty()) return 0;
  // A prefix on both sides must be the same catalogue's.
  if (!query.prefix.empty() && !field.prefix.empty() && query.prefix != field.prefix) return 0;
  if (field.rest == query.rest) return 2;
  return field.rest.compare(0, query.rest.size(), query.rest) == 0 ? 1 : 0;
}

// Numbers of a place, with the hours and degree marks read as blanks.
std::vector<std::string> PlaceWords(std::string_view text, bool& hours_marked) {
  std::vector<std::string> words;
  std::string word;
  hours_marked = false;
  auto end_word = [&] {
    if (!word.empty()) words.push_back(word);
    word.clear();
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (std::isdigit(static_cast<unsigned char>(c)) || c == '.') {
      word += c;
    } else if ((c == '+' || c == '-') && word.empty()) {
      word += c;
    } else {
      if (c == 'h' || c == 'H' || c == ':') hours_marked = true;
      end_word();
    }
  }
  end_word();
  return words;
}

// Up to three words as degrees or hours and their sixtieths; NaN when a word
// is not a number or a sixtieth is out of range.
double Sexagesimal(const std::vector<std::string>& words, size_t from, size_t to) {
  double value = 0, scale = 1;
  bool negative = false;
  for (size_t i = from; i < to; ++i) {
    std::string w = words[i];
    if (i == from && (w[0] == '+' || w[0] == '-')) {
      negative = w[0] == '-';
      w.erase(0, 1);
    } else if (w[0] == '+' || w[0] == '-') {
      return NAN;
    }
    char* end = nullptr;
    const double part = std::strtod(w.c_str(), &end);
    if (w.empty() || *end != '\0' || (i > from && part >= 60)) return NAN;
    value += part / scale;
    scale *= 60;
  }
  return negative ? -value : value;
}

}  // namespace

std::string MatchKey(std::string_view text) {
  std::string key;
  for (const char c : text) {
    if (c == ' ' || c == '_' || c == '\t') continue;
    key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return key;
}

std::vector<int> FindRows(const SourceTable& table, std::string_view query) {
  const std::string key = MatchKey(query);
  std::vector<int> rows;
  if (key.empty()) return rows;
  // A common name finds its 3C number as well as rows named by it.
  std::vector<Split> wanted{SplitKey(key)};
  for (const auto& common : kCommonNames) {
    if (key == common.key) wanted.push_back(SplitKey(common.designation));
  }
  std::vector<int> begins;
  for (int r = 0; r < table.RowCount(); ++r) {
    const auto& text = table.CatalogText[r];
    int match = 0;
    for (const Split& w : wanted)
      match = std::max({match, Matches(w, text[8]), Matches(w, text[2])});
    if (match == 2) rows.push_back(r);
    if (match == 1) begins.push_back(r);
  }
  rows.insert(rows.end(), begins.begin(), begins.end());
  return rows;
}

std::optional<std::array<double, 2>> ReadPlace(std::string_view text) {
  bool hours = false;
  const auto words = PlaceWords(text, hours);
  if (words.size() < 2 || words.size() > 6) return std::nullopt;
  // The declination begins at the first signed word after the first, or
  // takes the second half.
  size_t split = words.size() / 2;
  for (size_t i = 1; i < words.size(); ++i) {
    if (words[i][0] == '+' || words[i][0] == '-') {
      split = i;
      break;
    }
  }
  if (split > 3 || words.size() - split > 3) return std::nullopt;
  double ra = Sexagesimal(words, 0, split);
  const double dec = Sexagesimal(words, split, words.size());
  if (hours || split > 1) ra *= 15;
  if (!(ra >= 0 && ra <= 360) || !(std::fabs(dec) <= 90)) return std::nullopt;
  return std::array<double, 2>{ra == 360 ? 0 : ra, dec};
}

int NearestRow(const SourceTable& table, const std::array<double, 2>& ra_dec, double radius) {
  int best = 0;
  double nearest = radius * ERFA_DD2R;
  const int sun = static_cast<int>(RoundHalfEven(table.SunRow));
  for (int r = 1; r < table.RowCount(); ++r) {
    if (r == sun) continue;
    double ra = table.RaDec[r][0] * ERFA_DD2R, dec = table.RaDec[r][1] * ERFA_DD2R;
    if (!table.J2000[r]) eraFk45z(ra, dec, 1950.0, &ra, &dec);
    const double apart = eraSeps(ra, dec, ra_dec[0] * ERFA_DD2R, ra_dec[1] * ERFA_DD2R);
    if (apart <= nearest) {
      nearest = apart;
      best = r;
    }
  }
  return best;
}

std::vector<std::string> CompletionTexts(const SourceTable& table) {
  std::set<std::string> seen;
  std::vector<std::string> texts;
  for (const auto& row : table.CatalogText) {
    for (const int field : {8, 2}) {
      std::string text = row[field];
      const size_t first = text.find_first_not_of(' ');
      if (first == std::string::npos) continue;
      text = text.substr(first, text.find_last_not_of(' ') - first + 1);
      if (seen.insert(text).second) texts.push_back(text);
    }
  }
  return texts;
}

}  // namespace skyvane
