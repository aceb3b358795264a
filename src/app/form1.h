// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: the settings band, the chart and every handler.
#pragma once

#include <QComboBox>
#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>
#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "app/chart_view.h"
#include "app/clock.h"
#include "app/form2.h"
#include "app/plan_window.h"
#include "app/proportional_layout.h"
#include "app/zone_list.h"
#include "catalogue/catalogue_reader.h"
#include "catalogue/source_table.h"
#include "catalogue/table_reader.h"
#include "chart/annotations.h"
#include "chart/chart_state.h"
#include "interact/rotator.h"
#include "sky/sky_pass.h"
#include "time/moment.h"

namespace skyvane {

// Window-wide switches shared by the handlers.
struct WindowState {
  bool Loading = false;
  int16_t PlayDirection = 0;  // 1 forwards, 0 stopped, -1 backwards
  int16_t PlayRate = 1;       // minutes per play tick
  bool Stepping = false;      // a tracking step is rewriting the fields
  // The hour is first written in 24-hour form, so the first clock-mode
  // choice converts from "24".
  int16_t ClockMode = kClock24;
  bool ShowInfo = true;
  bool ShowReadout = true;
  // The chart's texts are bold until the first readout.
  bool BoldChartText = true;
};

class Form1 : public QWidget {
 public:
  static constexpr int kBandHeight = 56;
  static constexpr QSize kDesignSize{777, 570};

  explicit Form1(const Clock& clock, QWidget* parent = nullptr);
  ~Form1() override;

  // Start-up with the catalogue `file`, or else the first one found in
  // `folders`; false when none could be read, which ShowMessage has then
  // reported.
  bool Form_Load(const std::vector<std::filesystem::path>& folders,
                 const std::optional<std::filesystem::path>& file = std::nullopt,
                 Equinox assumed = Equinox::kJ2000);

  // Shows a message box titled with the program's name; tests replace it.
  std::function<void(const QString& text)> ShowMessage;
  // Asks which equinox a table's positions are for; nothing when the user
  // cancels. A dialog; tests replace it.
  std::function<std::optional<Equinox>()> AskEquinox;

  // Shared procedures.
  void RecalculateSky();
  void DrawChart();
  void Form_Resize();
  void SetComputerTime();

  // Handlers.
  void Combo1_Click();
  void Command1_Click();
  void Command2_Click();
  void Timer3_Timer();
  void Option1_Click(int index);
  void Option2_Click(int index);
  void Label8_Click();
  void Command8_Click();
  void Command3_Click(int index);
  void Timer2_Timer();
  void Command4_Click();
  void Command5_Click();
  void Command6_Click();
  void Command7_Click();
  void Picture1_KeyDown(int key, Qt::KeyboardModifiers modifiers);
  void Picture1_KeyPress(QChar character);
  void VScroll1_Change();
  void HScroll1_Change();
  void Picture1_MouseMove(float x, float y);
  void Picture1_MouseDown(Qt::MouseButton button);

  // What the last pass and drawing left, for reading only.
  const SkyState& Sky() const { return sky_; }
  const SourceTable& Sources() const { return table_; }
  const ChartState& Chart() const { return chart_; }
  const WindowState& State() const { return state_; }

  // Beyond the design: the menu bar over the design area.
  int MenuHeight() const;
  static QString AboutText();

  // A catalogue of the user's in place of the one in use, followed by a
  // pass; false, with the table untouched, when it cannot be used. The
  // report of what was read, or why not, goes to `report`.
  // `remember` makes it the one the next start opens and puts it in Open Recent.
  bool OpenCatalogue(const std::filesystem::path& file, Equinox assumed, QString* report,
                     bool remember = true);
  // Files of at least this many bytes are read beside the window, with a
  // progress bar and Cancel.
  void SetBackgroundReadBytes(std::uintmax_t bytes) { background_bytes_ = bytes; }
  // What the catalogue in use is and what its reading kept and skipped.
  QString CatalogueSummary() const { return catalogue_summary_; }
  // The catalogue opened last, while it still exists and can be used, with
  // its equinox.
  static std::optional<std::pair<std::filesystem::path, Equinox>> LastCatalogue();

  // The antenna: connecting to the rotator daemon, and pointing it at a
  // row of the source table once or following it pass after pass.
  void ConnectRotator(const QString& host, quint16 port);
  void PointAntenna(int row, bool follow);
  // Points the antenna at a compass azimuth and elevation typed by the user.
  void PointAntennaAt(double azimuth, double elevation);
  const RotatorLink& Antenna() const { return antenna_; }

  // Planning. Finds a source by name, designation or place: the view turns
  // to it, a ring marks it, and it becomes the antenna's target; false, with
  // the reason in the status, when nothing is found.
  bool FindSource(const QString& query);
  // Sets the fields to a local moment as a tracking step does (the clock
  // held), runs a pass and finds `row` (0: none), turning the view to it
  // when `turn_view` holds.
  void GoToMoment(const Moment& local, int row, bool turn_view = true);
  // Opens the plan window, or raises it; the plan follows the sky from then on.
  void OpenPlan();
  PlanWindow* Plan() const { return plan_; }
  // What the plan is made for: the sky now, from the start of its day.
  PlanInputs MakePlanInputs() const;
  // The dish's beam from its diameter (m) and frequency (MHz), or a width
  // typed in degrees, drawn on the chart when `shown`: remembered, or the
  // reason why not.
  QString SetBeam(double diameter, double frequency, std::optional<double> typed_width, bool shown);
  // What the status last said of a search.
  QString FindNote() const { return find_note_; }
  // What the antenna menu last had to say (a target it would not send...).
  QString AntennaNote() const { return antenna_note_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Controls, named as the design names them; each carries its name as its
  // object name ("Text3_0" for Text3(0)).
  QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label8, *Label12, *Label13,
      *Label14;
  std::array<QLineEdit*, 2> Text2;
  std::array<QLineEdit*, 3> Text3, Text4;
  QPlainTextEdit* Text8;
  QPushButton *Command1, *Command2, *Command8;
  std::array<QPushButton*, 2> Command3;
  QPushButton *Command4, *Command5, *Command6, *Command7;
  QFrame *Frame1, *Shape1;
  std::array<QRadioButton*, 3> Option1, Option2;
  ZoneList* Combo1;  // narrows a zone too wide for it
  QComboBox* Combo2;
  QScrollBar *VScroll1, *HScroll1;
  ChartView* Picture1;
  QTimer *Timer2, *Timer3;
  QPointer<Form2> Info;

  WindowState state_;
  SourceTable table_;
  SkyState sky_;
  ChartState chart_;

  QWidget* design_;
  QMenuBar* menu_bar_;
  QAction* positions_of_date_;
  PositionsOfDate of_date_;
  void CreateMenus();
  // The title names the catalogue in use and says when positions are of date.
  void ShowTitle();
  std::filesystem::path shipped_catalogue_, catalogue_file_;
  Equinox catalogue_equinox_ = Equinox::kJ2000;
  std::uintmax_t background_bytes_ = std::uintmax_t{4} << 20;
  CatalogueReport ReadWithProgress(const std::filesystem::path& file, Equinox assumed,
                                   SourceTable& read);
  QAction* brightest_;

  // The observer, the formats and the view as the user left them: saved as
  // they change once start-up has restored them, read back through the same
  // checks as typed values.
  QAction* computer_zone_;
  bool remembering_ = false;
  // The scope marker came from the settings before the chart had its size:
  // it follows the layout until the user moves it.
  bool scope_restored_ = false;
  std::optional<int> clock_form_;  // kClock24 or kClockAm (12-hour) once the user chose one
  std::map<QString, QVariant> saved_;
  void RestoreClockForm();
  void RestoreObserver();
  void SaveWindow();
  void RestoreWindow(const QString& place);
  void Save(const QString& key, const QVariant& value);
  // Under View > Use the Computer's Time Zone: the computer's zone for the
  // fields' moment goes into `fields`, and the list shows it.
  void UseComputerZone(SettingsFields& fields);

  QString catalogue_summary_;
  QMenu* recent_;
  void CreateCatalogueMenu(QMenu* file);
  // Opens the file chosen by name, asking for the equinox of a table that
  // does not say, and shows the report.
  void OpenChosenCatalogue(const QString& name);
  void Remember(const std::filesystem::path& file, Equinox assumed);

  RotatorLink antenna_;
  QLabel* antenna_status_;
  QAction *follow_, *reconnect_, *connect_at_start_;
  QString rotator_host_;
  quint16 rotator_port_ = 0;
  int target_row_ = 0;
  std::optional<RotatorLink::Pointing> last_sent_;
  QPointF pointer_;  // where the mouse was last seen over the chart
  QString antenna_note_;
  QElapsedTimer since_sent_;  // time since the last pointing went out
  QTimer* follow_later_;      // sends the newest place once the interval is over
  QMenu* CreateAntennaMenu();
  // The source the antenna's menu items act on: the one found, else the one
  // nearest the pointer, else the last target.
  int MenuTarget() const;
  // The lowest elevation the antenna is pointed at, degrees (the user's
  // setting, 0 unless set).
  double MinimumElevation() const;

  QPointer<PlanWindow> plan_;
  int catalogue_generation_ = 0;  // counts the tables put in use
  // What the plan shown was made for: the sky and the beam, and the start
  // of its 24 hours.
  QList<QVariant> plan_sky_, plan_beam_;
  PlanInputs plan_start_;
  // The plan's "altitude now" column is refreshed at most once a second,
  // at the end of the second that saw a change, with the altitudes then.
  QTimer* plan_altitudes_;
  QString find_note_;
  void CreatePlanMenus(QMenu* file, QMenu* view, QMenu* antenna);
  void AskFind();
  void AskBeam();
  void ShowFound(int row, bool turn_view = true);
  // The beam width the user set, degrees; 0 for none.
  double BeamSetting() const;
  // Makes the plan again when what it was made for changed.
  void FollowPlan();
  // Connects at start when the user asked for it and a daemon is known.
  void StartAntenna();
  void FollowTarget();
  // The target's compass bearings from the fields' moment on, while it
  // stays above the minimum elevation (12 hours at most).
  std::vector<double> TargetPath(int row) const;
  AntennaMark MarkOfAntenna() const;  // while a position is known
  // A dialog for an azimuth and an elevation (within +-|lowest| both, for an
  // offset), with a check box `choice` when `chosen` is given.
  std::optional<std::pair<double, double>> AskAzimuthElevation(const QString& title,
                                                               const QString& choice,
                                                               double azimuth, double elevation,
                                                               bool* chosen = nullptr,
                                                               double lowest = 0);
  void DrawAntenna();
  // The antenna's mark moved or went: only its region is drawn again.
  void RedrawAntenna();
  void ShowAntennaState();
  void ShowChartMenu(QPoint at);

  void CreateControls();
  // Gives every control of the band the largest face, up to the one the
  // window's width scales to, at which its text fits.
  void FitFonts();
  void FitFont(QWidget* control);
  int TextRoom(const QWidget* control) const;
  QStringList TextsOf(const QWidget* control) const;
  void WireHandlers();
  void WireOptions(std::array<QRadioButton*, 3>& options, int& chosen, void (Form1::*handler)(int));
  SettingsFields ReadFields() const;
  void WriteFields(const SettingsFields& fields);
  // Chooses an option from code; its handler runs at once when it changes.
  void SelectOption1(int index);
  void TurnView(double step);

  const Clock& clock_;
  int option1_chosen_ = -1;  // clock mode shown as chosen, -1 before the first choice
  int option2_chosen_ = -1;
  std::unique_ptr<ProportionalLayout> band_layout_, frame_layout_, chart_layout_;
  // Hands the view keys to the chart wherever the focus is, text fields
  // excepted.
  std::unique_ptr<QObject> view_keys_;
  QSize laid_out_size_;
};

}  // namespace skyvane
