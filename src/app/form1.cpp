#include "app/form1.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QStyle>
#include <cmath>

#include "catalogue/catalogue_reader.h"
#include "catalogue/number_text.h"
#include "chart/dome_chart.h"
#include "interact/readout.h"
#include "interact/time_steps.h"
#include "sky/calendar.h"

namespace skyvane {
namespace {

constexpr int kPlayTickMs = 100;
constexpr int kClockReturnMs = 6300;
constexpr QSize kDesignSize(777, 570);
constexpr QSize kChartDesignSize(777, 513);

std::string ToStd(const QString& text) {
  return text.toStdString();
}
QString FromStd(const std::string& text) {
  return QString::fromStdString(text);
}

// Arrow images for the view buttons: a solid triangle, or a curved arrow.
QIcon ArrowIcon(bool left, bool curved, QSize size) {
  QPixmap pixmap(size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const double w = size.width(), h = size.height();
  QTransform flip;
  if (!left) flip = QTransform(-1, 0, 0, 1, w, 0);
  p.setTransform(flip);
  if (!curved) {
    QPolygonF triangle(
        {QPointF(w * 0.2, h * 0.5), QPointF(w * 0.8, h * 0.15), QPointF(w * 0.8, h * 0.85)});
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawPolygon(triangle);
  } else {
    QPainterPath arc;
    arc.moveTo(w * 0.85, h * 0.85);
    arc.cubicTo(w * 0.85, h * 0.2, w * 0.4, h * 0.2, w * 0.3, h * 0.45);
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawPolygon(QPolygonF(
        {QPointF(w * 0.1, h * 0.4), QPointF(w * 0.45, h * 0.25), QPointF(w * 0.38, h * 0.65)}));
  }
  return QIcon(pixmap);
}

QPushButton* ImageButton(QWidget* parent, bool left, bool curved, QSize image) {
  auto* button = new QPushButton(parent);
  button->setIcon(ArrowIcon(left, curved, image));
  button->setIconSize(image);
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

}  // namespace

QString Form1::Title() {
  return QStringLiteral("4C Skyvane") + QString(9, QLatin1Char(' ')) +
         QStringLiteral("https://skyvane.example.org");
}

Form1::Form1(const Clock& clock, QWidget* parent) : QWidget(parent), clock_(clock) {
  setWindowTitle(Title());
  ShowMessage = [this](const QString& text) {
    QMessageBox::information(this, QStringLiteral("Skyvane"), text);
  };
  CreateControls();
  WireHandlers();
  resize(kDesignSize);
  setMinimumSize(320, kBandHeight + 120);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(kDesignSize.width() / 2, kDesignSize.height() / 2));
  }
}

Form1::~Form1() {
  Timer2.stop();
  Timer3.stop();
}

void Form1::CreateControls() {
  QFont band_font = font();
  band_font.setPixelSize(11);
  setFont(band_font);
  // The option buttons are narrow: a small mark leaves room for the caption.
  setStyleSheet(QStringLiteral(
      "QRadioButton { spacing: 1px; } QRadioButton::indicator { width: 9px; height: 9px; }"));
  band_layout_ = std::make_unique<ProportionalLayout>(kDesignSize, true);
  auto place = [this](QWidget* w, int x, int y, int width, int height) {
    band_layout_->Add(w, QRect(x, y, width, height));
  };
  auto label = [&](const char* text, int x, int y, int w, int h) {
    auto* l = new QLabel(QString::fromUtf8(text), this);
    place(l, x, y, w, h);
    return l;
  };
  auto field = [&](int x, int y, int w, int h) {
    auto* e = new QLineEdit(this);
    e->setFrame(true);
    e->setTextMargins(0, 0, 0, 0);
    e->setStyleSheet(QStringLiteral("QLineEdit { padding: 0px; }"));
    e->installEventFilter(this);
    place(e, x, y, w, h);
    return e;
  };

  Shape1 = new QFrame(this);
  Shape1->setAutoFillBackground(true);
  QPalette lilac = Shape1->palette();
  lilac.setColor(QPalette::Window, QColor(192, 192, 255));
  Shape1->setPalette(lilac);
  place(Shape1, 528, 0, 161, 57);

  Label3 = label("Lat.", 0, 8, 25, 17);
  Text2[0] = field(32, 8, 49, 19);
  Label1 = label("Long.", 0, 32, 33, 17);
  Text2[1] = field(32, 32, 49, 19);
  Label4 = label("Time", 88, 8, 33, 17);
  Label2 = label(":", 184, 8, 9, 17);
  Label2->setAlignment(Qt::AlignCenter);
  QFont bold = Label2->font();
  bold.setBold(true);
  Label2->setFont(bold);
  for (int i = 0; i < 3; ++i) Text3[i] = field(120 + 32 * i, 8, 25, 19);
  Label5 = label("Date", 88, 32, 33, 17);
  Label6 = label("/", 184, 32, 9, 17);
  Label6->setAlignment(Qt::AlignCenter);
  for (int i = 0; i < 3; ++i) Text4[i] = field(120 + 32 * i, 32, i == 2 ? 33 : 25, 19);

  Command2 = new QPushButton(QStringLiteral("Computer time"), this);
  place(Command2, 216, 8, 89, 17);
  Frame1 = new QFrame(this);
  Frame1->setFrameShape(QFrame::NoFrame);
  place(Frame1, 216, 32, 97, 17);
  frame_layout_ = std::make_unique<ProportionalLayout>(QSize(97, 17), true);
  const char* clock_modes[] = {"AM", "PM", "24"};
  for (int i = 0; i < 3; ++i) {
    Option1[i] = new QRadioButton(QString::fromLatin1(clock_modes[i]), Frame1);
    frame_layout_->Add(Option1[i], QRect(32 * i, 0, 25, 17));
  }

  Label8 = label("Time Zone", 320, 8, 57, 17);
  Label8->setCursor(Qt::PointingHandCursor);
  Label8->installEventFilter(this);
  Combo1 = new QComboBox(this);
  place(Combo1, 320, 24, 49, 21);

  VScroll1 = new QScrollBar(Qt::Vertical, this);
  VScroll1->setRange(0, 80);
  VScroll1->setSingleStep(2);
  VScroll1->setPageStep(10);
  VScroll1->setValue(80);
  place(VScroll1, 376, 0, 17, 57);
  Text8 = new QPlainTextEdit(QStringLiteral("SCOPE ELEV"), this);
  Text8->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Text8->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Text8->document()->setDocumentMargin(1);
  QFont small = Text8->font();
  small.setPixelSize(9);
  Text8->setFont(small);
  place(Text8, 398, 16, 41, 33);

  const char* track[] = {"- TRACK", "+ TRACK"};
  for (int i = 0; i < 2; ++i) {
    Command3[i] = new QPushButton(QString::fromLatin1(track[i]), this);
    QFont f = Command3[i]->font();
    f.setBold(true);
    Command3[i]->setFont(f);
    place(Command3[i], 448, 16 * i, 73, 17);
  }
  Combo2 = new QComboBox(this);
  place(Combo2, 448, 32, 73, 21);

  Label14 = label("Play", 528, 8, 33, 17);
  const char* play[] = {"Fwd", "Stop", "Rew"};
  for (int i = 0; i < 3; ++i) {
    Option2[i] = new QRadioButton(QString::fromLatin1(play[i]), this);
    place(Option2[i], 648 - 40 * i, 8, 33, 17);
  }
  Option2[1]->setChecked(true);  // "Stop", chosen before any handler listens
  option2_chosen_ = 1;
  Label13 = label("Rate", 528, 32, 33, 17);
  Label12 = label("1", 544, 32, 25, 17);
  Label12->setAlignment(Qt::AlignCenter);
  HScroll1 = new QScrollBar(Qt::Horizontal, this);
  HScroll1->setRange(1, 30);
  HScroll1->setPageStep(5);
  HScroll1->setValue(1);
  place(HScroll1, 568, 32, 113, 17);
  for (QLabel* l : {Label14, Label13, Label12}) l->setAttribute(Qt::WA_TranslucentBackground);

  Command8 = new QPushButton(QStringLiteral("INFO"), this);
  place(Command8, 696, 3, 65, 21);
  Command1 = new QPushButton(QStringLiteral("Refresh"), this);
  place(Command1, 696, 25, 65, 25);

  Picture1 = new ChartView(Chart.Picture1, this);
  Picture1->setGeometry(0, kBandHeight, 777, 513);
  chart_layout_ = std::make_unique<ProportionalLayout>(kChartDesignSize, false);
  Command7 = ImageButton(Picture1, true, false, QSize(14, 14));
  chart_layout_->Add(Command7, QRect(0, 480, 25, 17));
  Command6 = ImageButton(Picture1, true, true, QSize(20, 14));
  chart_layout_->Add(Command6, QRect(24, 480, 33, 17));
  Command5 = ImageButton(Picture1, false, true, QSize(20, 14));
  chart_layout_->Add(Command5, QRect(720, 480, 33, 17));
  Command4 = ImageButton(Picture1, false, false, QSize(14, 14));
  chart_layout_->Add(Command4, QRect(752, 480, 25, 17));

  // The chart comes first in the tab order, so its keys act at once.
  setTabOrder(Picture1, Text2[0]);
  Picture1->setFocus();

  Timer2.setInterval(kPlayTickMs);
  Timer3.setInterval(kClockReturnMs);
}

void Form1::WireOptions(std::array<QRadioButton*, 3>& options, int& chosen,
                        void (Form1::*handler)(int)) {
  // Each set is its own group: left to themselves, option buttons would share
  // one choice with every option button further down the window.
  auto* group = new QButtonGroup(this);
  group->setExclusive(true);
  for (int i = 0; i < 3; ++i) {
    QRadioButton* option = options[i];
    group->addButton(option, i);
    // A choice made from code or by the user runs the handler once, when the
    // option becomes chosen; a click on the option already chosen runs it too.
    // The handler may run before the previous choice is cleared, so the
    // chosen index is kept here rather than read from the buttons.
    auto was_checked = std::make_shared<bool>(false);
    connect(option, &QAbstractButton::pressed, this,
            [option, was_checked] { *was_checked = option->isChecked(); });
    connect(option, &QAbstractButton::toggled, this, [this, handler, i, &chosen](bool checked) {
      if (!checked) return;
      chosen = i;
      (this->*handler)(i);
    });
    connect(option, &QAbstractButton::clicked, this, [this, handler, i, was_checked] {
      if (*was_checked) (this->*handler)(i);
      *was_checked = false;
    });
  }
}

void Form1::WireHandlers() {
  WireOptions(Option1, option1_chosen_, &Form1::Option1_Click);
  WireOptions(Option2, option2_chosen_, &Form1::Option2_Click);
  connect(Combo1, &QComboBox::currentIndexChanged, this, [this] { Combo1_Click(); });
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
  connect(Command8, &QPushButton::clicked, this, [this] { Command8_Click(); });
  for (int i = 0; i < 2; ++i) {
    connect(Command3[i], &QPushButton::clicked, this, [this, i] { Command3_Click(i); });
  }
  connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
  connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
  connect(Command6, &QPushButton::clicked, this, [this] { Command6_Click(); });
  connect(Command7, &QPushButton::clicked, this, [this] { Command7_Click(); });
  connect(VScroll1, &QScrollBar::valueChanged, this, [this] { VScroll1_Change(); });
  connect(HScroll1, &QScrollBar::valueChanged, this, [this] { HScroll1_Change(); });
  connect(&Timer2, &QTimer::timeout, this, [this] { Timer2_Timer(); });
  connect(&Timer3, &QTimer::timeout, this, [this] { Timer3_Timer(); });
  Picture1->MouseMove = [this](float x, float y) { Picture1_MouseMove(x, y); };
  Picture1->MouseDown = [this](Qt::MouseButton b) { Picture1_MouseDown(b); };
  Picture1->KeyDown = [this](int key, Qt::KeyboardModifiers m) { Picture1_KeyDown(key, m); };
  Picture1->KeyPress = [this](QChar c) { Picture1_KeyPress(c); };
}

bool Form1::Form_Load(const QString& catalogue_folder) {
  State.Loading = true;
  for (int n = -12; n <= 13; ++n) {
    Combo1->addItem(n < 0 ? QString::number(n) : QStringLiteral("+") + QString::number(n));
  }
  for (const char* unit : {"Sec.", "Min.", "Hr.", "Day", "Mo.", "Yr."}) {
    Combo2->addItem(QString::fromLatin1(unit));
  }
  Text2[0]->setText(QStringLiteral("42.2"));
  Text2[1]->setText(QStringLiteral("-82.84"));
  Sky.ZoneHours = -5;
  Combo1->setCurrentIndex(static_cast<int>(Sky.ZoneHours) + 12);
  Combo2->setCurrentIndex(1);
  SetComputerTime();
  Chart.HalfWidth = Picture1->width() / 2.0;
  State.ShowInfo = true;
  State.PlayRate = 1;
  State.ShowReadout = true;

  const std::filesystem::path folder = ToStd(QDir(catalogue_folder).absolutePath());
  const auto file = FindCatalogueFile(folder);
  if (!file || !LoadCatalogueFile(*file, Table)) {
    const QString looked_in =
        QDir(catalogue_folder).absoluteFilePath(QStringLiteral("StarData.txt"));
    ShowMessage(QStringLiteral("The catalogue file was not found:\n%1")
                    .arg(QDir::toNativeSeparators(looked_in)));
    return false;
  }
  State.Loading = false;
  RecalculateSky();
  Timer2.start();
  Timer3.start();
  return true;
}

SettingsFields Form1::ReadFields() const {
  SettingsFields f;
  for (int i = 0; i < 2; ++i) f.Text2[i] = ToStd(Text2[i]->text());
  for (int i = 0; i < 3; ++i) {
    f.Text3[i] = ToStd(Text3[i]->text());
    f.Text4[i] = ToStd(Text4[i]->text());
  }
  f.Combo1Index = Combo1->currentIndex();
  f.Option1Index = option1_chosen_;
  return f;
}

void Form1::WriteFields(const SettingsFields& f) {
  auto write = [](QLineEdit* edit, const std::string& text) {
    const QString value = FromStd(text);
    if (edit->text() != value) edit->setText(value);
  };
  for (int i = 0; i < 3; ++i) {
    write(Text3[i], f.Text3[i]);
    write(Text4[i], f.Text4[i]);
  }
}

void Form1::SelectOption1(int index) {
  Option1[index]->setChecked(true);
}

void Form1::RecalculateSky() {
  if (State.Loading) return;
  SettingsFields fields = ReadFields();
  ComputeSky(fields, Sky, Table);
  WriteFields(fields);
  // The back buffers are off-screen images and are never shown, so the
  // refresh the daytime pass asks of them has nothing to do. The pass's own
  // drawing is replaced at once by the layout's, except while minimised,
  // when the layout leaves everything as it is.
  if (isMinimized()) DrawChart();
  Form_Resize();
}

void Form1::DrawChart() {
  skyvane::DrawChart(Chart, Table);
  Picture1->update();
}

void Form1::Form_Resize() {
  if (isMinimized()) return;
  const int chart_height = std::max(height() - kBandHeight, 0);
  Picture1->setGeometry(0, kBandHeight, width(), chart_height);
  band_layout_->Apply(size());
  frame_layout_->Apply(Frame1->size());
  chart_layout_->Apply(Picture1->size());
  LayOutChart(Chart, Table, Picture1->width(), Picture1->height(), Sky.Altitude);
  Picture1->update();
}

void Form1::SetComputerTime() {
  const QDateTime now = clock_.Now();
  const QDate date = now.date();
  const QTime time = now.time();
  Text4[0]->setText(QString::number(date.month()));
  Text4[1]->setText(QString::number(date.day()));
  Text4[2]->setText(QString::number(date.year()));
  Text3[0]->setText(QString::number(time.hour()));
  Text3[1]->setText(QString::number(time.minute()));
  Text3[2]->setText(QString::number(time.second()));
  const QString designator = TimeDesignator(time, clock_.TimeFormat());
  if (designator == QLatin1String("AM")) {
    SelectOption1(kOptionAm);
  } else if (designator == QLatin1String("PM")) {
    SelectOption1(kOptionPm);
  } else {
    SelectOption1(kOption24);
  }
}

void Form1::Combo1_Click() {
  RecalculateSky();
}

void Form1::Command1_Click() {
  if (State.PlayDirection == 0) RecalculateSky();
}

void Form1::Command2_Click() {
  Timer3.start();
  SetComputerTime();
  RecalculateSky();
}

void Form1::Timer3_Timer() {
  Command2_Click();
}

void Form1::Option1_Click(int index) {
  const double parsed = std::floor(ParseLeadingNumber(ToStd(Text3[0]->text())));
  if ((index == kOptionAm || index == kOptionPm) && State.ClockMode == kOption24) {
    if (Fits16(parsed)) {
      int hour = static_cast<int>(parsed) % 12;
      if (hour == 0) hour = 12;
      Text3[0]->setText(QString::number(hour));
    }
  }
  if (index == kOption24 && (State.ClockMode == kOptionAm || State.ClockMode == kOptionPm)) {
    if (Fits16(parsed)) {
      int hour = static_cast<int>(parsed);
      if (hour == 12) hour = 0;
      if (State.ClockMode == kOptionPm) hour += 12;
      // An hour that would leave 16 bits keeps its text.
      if (Fits16(hour)) Text3[0]->setText(QString::number(hour));
    }
  }
  State.ClockMode = static_cast<int16_t>(index);
  if (State.PlayDirection == 0 && !State.Stepping) RecalculateSky();
}

void Form1::Option2_Click(int) {
  Timer3.stop();
  if (option2_chosen_ == 0) State.PlayDirection = 1;
  if (option2_chosen_ == 1) State.PlayDirection = 0;
  if (option2_chosen_ == 2) State.PlayDirection = -1;
}

void Form1::Label8_Click() {
  const int sun = static_cast<int>(RoundHalfEven(Table.SunRow));
  if (sun < 0 || sun >= Table.RowCount()) return;
  ShowMessage(
      FromStd(FormatShortest(Table.RaDec[sun][0]) + ", " + FormatShortest(Table.RaDec[sun][1])));
}

void Form1::Command8_Click() {
  if (!Info) {
    Info = new Form2();
    Info->show();
  }
  Info->raise();
  Info->activateWindow();
}

void Form1::Command3_Click(int index) {
  State.Stepping = true;
  Timer3.stop();
  SettingsFields fields = ReadFields();
  const TimeMove move =
      TrackStep(fields, Combo2->currentIndex(), index, ToStd(clock_.DecimalSeparator()));
  if (move.Applied) {
    if (move.SelectOption >= 0) SelectOption1(move.SelectOption);
    WriteFields(fields);
  }
  State.Stepping = false;
  if (move.Applied) RecalculateSky();
}

void Form1::Timer2_Timer() {
  if (State.PlayDirection == 0) return;
  SettingsFields fields = ReadFields();
  const TimeMove move =
      PlayTick(fields, State.PlayDirection, State.PlayRate, ToStd(clock_.DecimalSeparator()));
  if (!move.Applied) return;
  if (move.SelectOption >= 0) SelectOption1(move.SelectOption);
  WriteFields(fields);
  RecalculateSky();
}

void Form1::TurnView(double step) {
  double v = Chart.ViewAzimuth + step;
  if (step < 0) {
    if (v < 0) v += 360;
  } else {
    if (v > 360) v -= 360;
    if (v == 360) v = 0;
  }
  Chart.ViewAzimuth = v;
  DrawChart();
}

void Form1::Command4_Click() {
  TurnView(-1);
}
void Form1::Command5_Click() {
  TurnView(-10);
}
void Form1::Command6_Click() {
  TurnView(10);
}
void Form1::Command7_Click() {
  TurnView(1);
}

void Form1::Picture1_KeyDown(int key, Qt::KeyboardModifiers modifiers) {
  const Qt::KeyboardModifiers held =
      modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
  double step = 1;
  if (held == Qt::ShiftModifier) step = 5;
  if (held == Qt::ControlModifier) step = 0.25;
  if (key == Qt::Key_Right) {
    Chart.ViewAzimuth -= step;
    if (Chart.ViewAzimuth < 0) Chart.ViewAzimuth += 360;
    DrawChart();
  } else if (key == Qt::Key_Left) {
    Chart.ViewAzimuth += step;
    if (Chart.ViewAzimuth >= 360) Chart.ViewAzimuth -= 360;
    DrawChart();
  }
}

void Form1::Picture1_KeyPress(QChar character) {
  if (character == QLatin1Char('i') || character == QLatin1Char('I')) {
    State.ShowInfo = !State.ShowInfo;
  }
}

void Form1::VScroll1_Change() {
  Chart.ScopeMarkerY = VScroll1->value() / 100.0 * Picture1->height();
  RecalculateSky();
}

void Form1::HScroll1_Change() {
  Label12->setText(QString::number(HScroll1->value()));
  State.PlayRate = static_cast<int16_t>(HScroll1->value());
}

void Form1::Picture1_MouseMove(float x, float y) {
  if (!State.ShowReadout) return;
  const PickCandidate found = FindNearestSource(Chart, x, y);
  QRect changed = RestoreCleanChart(Chart);
  if (found.Row != 0) {
    changed |= DrawReadout(Chart, Table, found, State.ShowInfo, clock_.NumberLocale());
  }
  if (!changed.isEmpty()) Picture1->update(changed);
}

void Form1::Picture1_MouseDown(Qt::MouseButton button) {
  if (button != Qt::LeftButton) return;
  if (State.ShowReadout) {
    State.ShowReadout = false;
    Picture1->update(RestoreCleanChart(Chart));
  } else {
    State.ShowReadout = true;
  }
}

void Form1::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Form_Resize();
}

void Form1::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) {
    const auto* change = static_cast<QWindowStateChangeEvent*>(event);
    if ((change->oldState() & Qt::WindowMinimized) && !isMinimized()) Form_Resize();
  }
}

void Form1::closeEvent(QCloseEvent* event) {
  Timer2.stop();
  Timer3.stop();
  QWidget::closeEvent(event);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      // Enter is taken by the field: no character, no beep, one pass.
      RecalculateSky();
      return true;
    }
  }
  if (watched == Label8 && event->type() == QEvent::MouseButtonRelease) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton && Label8->rect().contains(mouse->position().toPoint())) {
      Label8_Click();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace skyvane
