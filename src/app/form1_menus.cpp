// The menu bar over the design area: everything beyond the design lives
// here, off until the user turns it on.
#include <QMessageBox>
#include <QSettings>

#include "app/form1.h"

namespace skyvane {
namespace {

const char* const kPositionsOfDateKey = "view/positionsOfDate";

}  // namespace

void Form1::CreateMenus() {
  menu_bar_ = new QMenuBar(this);
  menu_bar_->setNativeMenuBar(false);  // it must take its room above the design area

  QMenu* file = menu_bar_->addMenu(tr("&File"));
  CreateCatalogueMenu(file);
  QAction* quit = file->addAction(tr("&Quit"), this, &QWidget::close);
  quit->setShortcut(QKeySequence::Quit);
  quit->setObjectName(QStringLiteral("actionQuit"));

  QMenu* view = menu_bar_->addMenu(tr("&View"));
  positions_of_date_ = view->addAction(tr("&Positions for the Observing Date"));
  positions_of_date_->setObjectName(QStringLiteral("actionPositionsOfDate"));
  positions_of_date_->setCheckable(true);
  positions_of_date_->setChecked(QSettings().value(kPositionsOfDateKey, false).toBool());
  connect(positions_of_date_, &QAction::toggled, this, [this](bool on) {
    QSettings().setValue(kPositionsOfDateKey, on);
    ShowPositionsInTitle();
    RecalculateSky();
  });
  ShowPositionsInTitle();

  CreateAntennaMenu();

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

void Form1::ShowPositionsInTitle() {
  setWindowTitle(positions_of_date_->isChecked()
                     ? Title() + QStringLiteral("   (positions for the observing date)")
                     : Title());
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
             "<p>Licence: none has been declared for Skyvane yet; the 4C catalogue is "
             "published scientific data, credited to its authors in data/README.md.</p>")
      .arg(QStringLiteral(SKYVANE_VERSION));
}

}  // namespace skyvane
