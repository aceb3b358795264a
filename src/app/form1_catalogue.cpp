// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a catalogue of the user's own: File > Open Catalogue and Open
// Recent, with a report of what was read.
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMenu>
#include <QProgressDialog>
#include <QSettings>
#include <QTimer>
#include <atomic>
#include <fstream>
#include <thread>

#include "app/form1.h"
#include "catalogue/catalogue_reader.h"

namespace skyvane {
namespace {

const char* const kRecentKey = "catalogue/recent";
const char* const kLastKey = "catalogue/last";
const char* const kLastEquinoxKey = "catalogue/lastEquinox";
constexpr int kRecentCount = 6;

std::filesystem::path PathOf(const QString& name) {
  return QFile::encodeName(name).toStdString();
}

QString NameOf(const std::filesystem::path& path) {
  return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

}  // namespace

std::optional<std::pair<std::filesystem::path, Equinox>> Form1::LastCatalogue() {
  QSettings settings;
  const QString last = settings.value(kLastKey).toString();
  // Start-up reads it, once, and passes on to the next place when it has
  // become unusable.
  if (last.isEmpty() || !QFileInfo(last).isFile()) return std::nullopt;
  const Equinox equinox = settings.value(kLastEquinoxKey).toString() == QLatin1String("B1950")
                              ? Equinox::kB1950
                              : Equinox::kJ2000;
  return std::make_pair(PathOf(last), equinox);
}

void Form1::CreateCatalogueMenu(QMenu* file) {
  AskEquinox = [this]() -> std::optional<Equinox> {
    bool ok = false;
    const QString choice = QInputDialog::getItem(
        this, tr("Equinox"), tr("The table does not say. Its positions are for:"),
        {QStringLiteral("J2000"), QStringLiteral("B1950")}, 0, false, &ok);
    if (!ok) return std::nullopt;
    return choice == QLatin1String("B1950") ? Equinox::kB1950 : Equinox::kJ2000;
  };
  QAction* open = file->addAction(tr("&Open Catalogue..."), this, [this] {
    const QString name = QFileDialog::getOpenFileName(
        this, tr("Open Catalogue"), QString(),
        tr("Catalogues and tables (*.txt *.csv *.tsv *.tab *.dat *.vot *.xml);;All files (*)"));
    if (!name.isEmpty()) OpenChosenCatalogue(name);
  });
  open->setShortcut(QKeySequence::Open);
  open->setObjectName(QStringLiteral("actionOpenCatalogue"));
  recent_ = file->addMenu(tr("Open &Recent"));
  recent_->setObjectName(QStringLiteral("menuRecent"));
  connect(recent_, &QMenu::aboutToShow, this, [this] {
    recent_->clear();
    for (const QString& name : QSettings().value(kRecentKey).toStringList()) {
      recent_->addAction(name, this, [this, name] { OpenChosenCatalogue(name); });
    }
    recent_->setEnabled(!recent_->isEmpty());
  });
  file->addSeparator();
}

void Form1::OpenChosenCatalogue(const QString& name) {
  Equinox assumed = Equinox::kJ2000;
  std::ifstream in(PathOf(name), std::ios::binary);
  const FileKind kind = SniffFile(in);
  // Only a table whose position columns say nothing of their equinox asks.
  if (kind.positions && !kind.equinox) {
    const std::optional<Equinox> chosen = AskEquinox();
    if (!chosen) return;
    assumed = *chosen;
  }
  QString report;
  OpenCatalogue(PathOf(name), assumed, &report);
  ShowMessage(report);
}

CatalogueReport Form1::ReadWithProgress(const std::filesystem::path& file, Equinox assumed,
                                        SourceTable& read) {
  const bool brightest = brightest_->isChecked();
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(file, error);
  if (error || size < background_bytes_) {
    return LoadFirstCatalogue({}, file, read, assumed, brightest);
  }
  // A large file is read beside the window, which keeps its table, its
  // chart and its clock until the new table is whole.
  ReadControl control;
  CatalogueReport result;
  std::atomic<bool> finished{false};
  std::thread reader([&] {
    result = LoadFirstCatalogue({}, file, read, assumed, brightest, &control);
    finished = true;
  });
  QProgressDialog progress(tr("Reading %1...").arg(NameOf(file.filename())), tr("Cancel"), 0, 1000,
                           this);
  progress.setObjectName(QStringLiteral("CatalogueProgress"));
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(0);
  QEventLoop loop;
  QTimer poll;
  connect(&poll, &QTimer::timeout, &loop, [&] {
    if (progress.wasCanceled()) control.cancel = true;
    if (finished) return loop.quit();
    progress.setValue(static_cast<int>(1000.0 * static_cast<double>(control.bytes_read) /
                                       static_cast<double>(std::max<std::uintmax_t>(size, 1))));
  });
  poll.start(50);
  loop.exec();
  reader.join();
  // A Cancel pressed as the last lines came in still keeps the table in use.
  if (progress.wasCanceled()) result.status = CatalogueStatus::kCancelled;
  return result;
}

bool Form1::OpenCatalogue(const std::filesystem::path& file, Equinox assumed, QString* report,
                          bool remember) {
  SourceTable read;
  // A file with nothing to draw (kEmpty) leaves the table in use as it is.
  const CatalogueReport result = ReadWithProgress(file, assumed, read);
  if (result.status != CatalogueStatus::kLoaded) {
    if (report) *report = QString::fromLocal8Bit(DescribeReport(result));
    return false;
  }
  const QString summary = QString::fromUtf8(ShownPath(result.file) + "\n" + result.read.Summary());
  if (report) *report = summary;
  catalogue_summary_ = summary;
  catalogue_file_ = result.file;
  catalogue_equinox_ = assumed;
  ShowTitle();
  table_ = std::move(read);
  // Nothing recorded for the old table may answer for the new one. The old
  // screen places may stay: the next pass uses them only to clear pick cells.
  std::fill(chart_.PickMap.begin(), chart_.PickMap.end(), 0);
  target_row_ = 0;
  chart_.FoundRow = 0;
  find_note_.clear();
  ++catalogue_generation_;
  follow_->setChecked(false);
  of_date_.Prepare(table_);
  if (remember) Remember(file, assumed);
  RecalculateSky();
  return true;
}

void Form1::Remember(const std::filesystem::path& file, Equinox assumed) {
  QSettings settings;
  const QString name = NameOf(std::filesystem::absolute(file));
  QStringList recent = settings.value(kRecentKey).toStringList();
  recent.removeAll(name);
  recent.prepend(name);
  while (recent.size() > kRecentCount) recent.removeLast();
  settings.setValue(kRecentKey, recent);
  settings.setValue(kLastKey, name);
  settings.setValue(kLastEquinoxKey,
                    assumed == Equinox::kB1950 ? QStringLiteral("B1950") : QStringLiteral("J2000"));
}

}  // namespace skyvane
