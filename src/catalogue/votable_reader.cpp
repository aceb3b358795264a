// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/votable_reader.h"

#include <QByteArray>
#include <QXmlStreamReader>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/table_rows.h"

namespace skyvane {
namespace {

struct Field {
  std::string name, ucd, unit, datatype, arraysize, ref;
};

bool Has(const std::string& ucd, std::string_view word) {
  return ucd.find(word) != std::string::npos;
}

// The UCDs say which columns are which; names say the rest.
Layout ColumnsOf(const std::vector<Field>& fields,
                 const std::map<std::string, std::optional<Equinox>>& systems) {
  std::vector<std::string> names;
  for (const Field& f : fields) names.push_back(f.name);
  const Layout by_name = FindColumns(names);
  Layout c = by_name;
  // The main column of a kind, or else its first.
  auto by_ucd = [&](std::string_view word, bool main_only) {
    int first = -1;
    for (int i = 0; i < int(fields.size()); ++i) {
      if (!Has(fields[i].ucd, word)) continue;
      if (Has(fields[i].ucd, "meta.main")) return i;
      if (first < 0 && !main_only) first = i;
    }
    return first;
  };
  const int ra = by_ucd("pos.eq.ra", false);
  const int dec = by_ucd("pos.eq.dec", false);
  if (ra >= 0 && dec >= 0) {
    // The descriptions win over the names, split columns and all.
    c = Layout{};
    c.ra = ra;
    c.dec = dec;
    c.flux = by_name.flux;
    c.name = by_name.name;
  }
  if (const int flux = by_ucd("phot.flux.density", false); flux >= 0) c.flux = flux;
  if (const int name = by_ucd("meta.id", true); name >= 0) c.name = name;
  if (c.ra >= 0) {
    if (const Unit u = UnitOf(fields[c.ra].unit); u != Unit::kNone) c.ra_unit = u;
    const auto system = systems.find(fields[c.ra].ref);
    if (system != systems.end() && system->second) c.equinox = system->second;
  }
  if (c.dec >= 0) {
    if (const Unit u = UnitOf(fields[c.dec].unit); u != Unit::kNone) c.dec_unit = u;
  }
  if (c.flux >= 0) {
    if (const Unit u = UnitOf(fields[c.flux].unit); u != Unit::kNone) c.flux_unit = u;
  }
  return c;
}

// The equinox of a COOSYS element.
std::optional<Equinox> EquinoxOfSystem(const QXmlStreamAttributes& a) {
  const QString system = a.value(QLatin1String("system")).toString();
  const QString equinox = a.value(QLatin1String("equinox")).toString();
  if (system == QLatin1String("ICRS") || equinox.contains(QLatin1String("2000"))) {
    return Equinox::kJ2000;
  }
  if (system == QLatin1String("eq_FK4") || equinox.contains(QLatin1String("1950"))) {
    return Equinox::kB1950;
  }
  if (system == QLatin1String("eq_FK5")) return Equinox::kJ2000;
  return std::nullopt;
}

// Reads the values of a BINARY or BINARY2 stream row by row as text.
class BinaryRows {
 public:
  BinaryRows(const QByteArray& bytes, const std::vector<Field>& fields, bool with_nulls)
      : bytes_(bytes), fields_(fields), nulls_(with_nulls) {}

  // The next row's fields as text; false at the end or on a row cut short.
  bool Next(std::vector<std::string>& row) {
    if (at_ >= bytes_.size()) return false;
    row.assign(fields_.size(), std::string());
    std::vector<bool> null(fields_.size(), false);
    if (nulls_) {
      const qsizetype mask = (static_cast<qsizetype>(fields_.size()) + 7) / 8;
      if (!Take(mask)) return false;
      for (size_t i = 0; i < fields_.size(); ++i) {
        null[i] =
            (static_cast<unsigned char>(bytes_[at_ - mask + qsizetype(i / 8)]) >> (7 - i % 8)) & 1;
      }
    }
    for (size_t i = 0; i < fields_.size(); ++i) {
      if (!Value(fields_[i], row[i])) return false;
      if (null[i]) row[i].clear();
    }
    return true;
  }

 private:
  bool Take(qsizetype n) {
    if (at_ + n > bytes_.size()) return false;
    at_ += n;
    return true;
  }
  unsigned long long BigEndian(qsizetype from, int size) const {
    unsigned long long v = 0;
    for (int k = 0; k < size; ++k) v = (v << 8) | static_cast<unsigned char>(bytes_[from + k]);
    return v;
  }
  static int SizeOf(const std::string& type) {
    if (type == "boolean" || type == "unsignedByte" || type == "char") return 1;
    if (type == "short" || type == "unicodeChar") return 2;
    if (type == "int" || type == "float") return 4;
    if (type == "long" || type == "double" || type == "floatComplex") return 8;
    if (type == "doubleComplex") return 16;
    return 0;
  }
  bool Value(const Field& f, std::string& text) {
    const int size = SizeOf(f.datatype);
    if (size == 0) return false;
    long long count = 1;
    if (!f.arraysize.empty()) {
      if (f.arraysize.find('*') != std::string::npos) {
        if (!Take(4)) return false;
        count = static_cast<long long>(BigEndian(at_ - 4, 4));
      } else {
        count = std::atoll(f.arraysize.c_str());
      }
    }
    // More values than bytes left is a row cut short, and the product never overflows.
    if (count < 0 || count > bytes_.size() - at_ || !Take(count * size)) return false;
    const qsizetype from = at_ - count * size;
    if (f.datatype == "char" || f.datatype == "unicodeChar") {
      for (long long k = 0; k < count; ++k) {
        const unsigned long long c = BigEndian(from + k * size, size);
        if (c == 0) break;
        text += c < 0x100 ? static_cast<char>(c) : '?';
      }
      return true;
    }
    if (count < 1) return true;
    // A number: the first of an array stands for it.
    const unsigned long long bits = BigEndian(from, size);
    if (f.datatype == "double") {
      double d;
      std::memcpy(&d, &bits, 8);
      text = QByteArray::number(d, 'g', 17).toStdString();
    } else if (f.datatype == "float") {
      const auto b = static_cast<uint32_t>(bits);
      float v;
      std::memcpy(&v, &b, 4);
      text = QByteArray::number(v, 'g', 9).toStdString();
    } else if (f.datatype == "short") {
      text = std::to_string(static_cast<int16_t>(bits));
    } else if (f.datatype == "int") {
      text = std::to_string(static_cast<int32_t>(bits));
    } else if (f.datatype == "long") {
      text = std::to_string(static_cast<int64_t>(bits));
    } else if (f.datatype == "unsignedByte") {
      text = std::to_string(bits);
    }
    if (text == "nan" || text == "-nan") text.clear();
    return true;
  }
  const QByteArray& bytes_;
  const std::vector<Field>& fields_;
  bool nulls_;
  qsizetype at_ = 0;
};

}  // namespace

void ReadVoTable(std::istream& in, Equinox assumed, SourceTable& table, LoadReport& report) {
  report.format = "VOTable";
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  QXmlStreamReader xml(QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())));
  std::vector<Field> fields;
  std::map<std::string, std::optional<Equinox>> systems;
  std::optional<TableRows> rows;
  std::vector<std::string> row;
  int row_number = 0;
  bool in_table = false, done = false;
  auto start_rows = [&]() {
    if (rows) return true;
    const Layout columns = ColumnsOf(fields, systems);
    if (!columns.Positions()) {
      std::string names;
      for (const Field& f : fields) names += (names.empty() ? "" : ", ") + f.name;
      report.refusal = "its fields\n  " + names.substr(0, 200) +
                       "\nname no right ascension and declination columns (by UCD "
                       "pos.eq.ra and pos.eq.dec, or by name: " +
                       kKnownNames + ").";
      return false;
    }
    rows.emplace(columns, 0, report);
    return true;
  };
  while (!done && !xml.atEnd()) {
    xml.readNext();
    if (xml.isEndElement() && xml.name() == QLatin1String("TR") && rows) {
      row.resize(fields.size());  // cells left off at a row's end are empty
      rows->Add(row, row_number, "row " + std::to_string(row_number));
    }
    if (!xml.isStartElement()) {
      if (xml.isEndElement() && xml.name() == QLatin1String("TABLE") && in_table) done = true;
      continue;
    }
    const auto name = xml.name();
    const QXmlStreamAttributes a = xml.attributes();
    auto attribute = [&](const char* key) {
      return a.value(QLatin1String(key)).toString().toStdString();
    };
    if (name == QLatin1String("COOSYS")) {
      systems[attribute("ID")] = EquinoxOfSystem(a);
    } else if (name == QLatin1String("TABLE")) {
      in_table = true;
    } else if (name == QLatin1String("FIELD") && in_table && !rows) {
      fields.push_back({attribute("name"), attribute("ucd"), attribute("unit"),
                        attribute("datatype"), attribute("arraysize"), attribute("ref")});
    } else if (name == QLatin1String("TR") && in_table) {
      if (!start_rows()) return;
      row.clear();
      ++row_number;
    } else if (name == QLatin1String("TD") && rows) {
      row.push_back(xml.readElementText().trimmed().toStdString());
    } else if ((name == QLatin1String("BINARY") || name == QLatin1String("BINARY2")) && in_table) {
      const bool with_nulls = name == QLatin1String("BINARY2");
      if (!start_rows()) return;
      if (!xml.readNextStartElement() || xml.name() != QLatin1String("STREAM")) break;
      const QByteArray stream = QByteArray::fromBase64(xml.readElementText().toLatin1());
      BinaryRows binary(stream, fields, with_nulls);
      while (binary.Next(row)) {
        ++row_number;
        rows->Add(row, row_number, "row " + std::to_string(row_number));
      }
    }
  }
  if (!rows) {
    report.refusal = xml.hasError()
                         ? "it is no well-formed VOTable: " + xml.errorString().toStdString() +
                               " at line " + std::to_string(xml.lineNumber())
                         : "it holds no table with fields and rows";
    return;
  }
  if (xml.hasError() && !done) {
    report.notes.push_back("The XML breaks off at line " + std::to_string(xml.lineNumber()) + " (" +
                           xml.errorString().toStdString() + "); the rows before it are read.");
  }
  // Qt gives the text as Unicode, written back here as UTF-8.
  rows->Finish(assumed, true, table);
}

}  // namespace skyvane
