// SPDX-License-Identifier: GPL-3.0-or-later
// The menu bar over the design area: everything beyond the design lives
// here, off until the user turns it on.
#include <QFile>
#include <QMessageBox>
#include <QSettings>

#include "app/form1.h"

namespace skyvane {
namespace {

const char* const kPositionsOfDateKey = "view/positionsOfDate";
const char* const kComputerZoneKey = "view/computerZone";
const char* const kBrightestKey = "view/brightestSources";

}  // namespace

void Form1::CreateMenus() {
  menu_bar_ = new QMenuBar(this);
  menu_bar_->setNativeMenuBar(false);  // it must take its room above the design area

  QMenu* file = menu_bar_->addMenu(tr("&File"));
  CreateCatalogueMenu(file);

  QMenu* view = menu_bar_->addMenu(tr("&View"));
  // A choice of the View menu, off until the user turns it on, remembered.
  auto remembered = [&](const QString& text, const char* name, const char* key,
                        std::function<void()> changed) {
    QAction* action = view->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    action->setCheckable(true);
    action->setChecked(QSettings().value(QLatin1String(key), false).toBool());
    connect(action, &QAction::toggled, this, [key, changed](bool on) {
      QSettings().setValue(QLatin1String(key), on);
      changed();
    });
    return action;
  };
  positions_of_date_ = remembered(tr("&Positions for the Observing Date"), "actionPositionsOfDate",
                                  kPositionsOfDateKey, [this] {
                                    ShowTitle();
                                    RecalculateSky();
                                  });
  // The catalogue in use is read again with or without its brightest lines.
  brightest_ = remembered(tr("&Brightest Sources (above 1000 Jy)"), "actionBrightestSources",
                          kBrightestKey, [this] {
                            QString report;
                            if (!catalogue_file_.empty()) {
                              OpenCatalogue(catalogue_file_, catalogue_equinox_, &report, false);
                            }
                          });
  computer_zone_ = remembered(tr("Use the &Computer's Time Zone"), "actionComputerZone",
                              kComputerZoneKey, [this] { RecalculateSky(); });
  ShowTitle();

  QMenu* antenna = CreateAntennaMenu();
  CreatePlanMenus(file, view, antenna);
  file->addSeparator();
  QAction* quit = file->addAction(tr("&Quit"), this, &QWidget::close);
  quit->setShortcut(QKeySequence::Quit);
  quit->setObjectName(QStringLiteral("actionQuit"));

  QMenu* help = menu_bar_->addMenu(tr("&Help"));
  QAction* information = help->addAction(tr("&Information"), this, [this] { Command8_Click(); });
  information->setObjectName(QStringLiteral("actionInformation"));
  QAction* about = help->addAction(tr("&About Skyvane"), this, [this] {
    const QString summary =
        catalogue_summary_.toHtmlEscaped().replace('\n', QStringLiteral("<br>"));
    QMessageBox::about(this, tr("About Skyvane"),
                       AboutText() + tr("<p><b>Catalogue in use</b><br>%1</p>").arg(summary));
  });
  about->setObjectName(QStringLiteral("actionAbout"));
}

int Form1::MenuHeight() const {
  return menu_bar_->sizeHint().height();
}

void Form1::ShowTitle() {
  // The design's title belongs to the shipped catalogue; any other is named.
  std::error_code error;
  const bool shipped = catalogue_file_.empty() ||
                       std::filesystem::equivalent(catalogue_file_, shipped_catalogue_, error);
  QString title = shipped ? QStringLiteral("4C Skyvane")
                          : QStringLiteral("Skyvane - ") +
                                QFile::decodeName(catalogue_file_.filename().string().c_str());
  if (positions_of_date_->isChecked()) {
    title += QStringLiteral("   (positions for the observing date)");
  }
  setWindowTitle(title);
}

QString Form1::AboutText() {
  return QStringLiteral(
             "<p><b>Skyvane %1</b></p>"
             "<p>A live sky chart of the radio sources of a catalogue.</p>"
             "<p>Shipped catalogue: the 4C survey of radio sources at 178 MHz (Cambridge), "
             "sources above 2 Jy between declinations -7 and +80 degrees, positions for the "
             "equinox B1950.</p>"
             "<p>View &gt; Positions for the Observing Date turns those positions to the date "
             "shown (precession and nutation by ERFA).</p>"
             "<p>Skyvane is free software: you can redistribute it and/or modify it under the "
             "terms of the GNU General Public License as published by the Free Software "
             "Foundation, either version 3 of the License, or (at your option) any later "
             "version. It comes with ABSOLUTELY NO WARRANTY.</p>"
             "<p>The 4C catalogue is published scientific data, credited to its authors in "
             "the package's copyright file.</p>")
      .arg(QStringLiteral(SKYVANE_VERSION));
}

}  // namespace skyvane
