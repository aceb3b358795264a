// SPDX-License-Identifier: GPL-3.0-or-later
// Building the main window's controls at their design places and wiring
// them to their handlers.
#include <QApplication>
#include <QButtonGroup>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>

#include "app/form1.h"

namespace skyvane {
namespace {

constexpr int kPlayTickMs = 100;
constexpr int kClockReturnMs = 6300;
constexpr QSize kChartDesignSize(777, 513);

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

// The chart's keys (Left, Right and I) act wherever the focus is in the
// window, except in a field where they edit text: a click on a button or an
// option must not take them away.
class ViewKeys : public QObject {
 public:
  ViewKeys(QWidget* window, ChartView* chart) : window_(window), chart_(chart) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (widget == chart_ || widget->window() != window_ || qobject_cast<QLineEdit*>(widget) ||
        qobject_cast<QPlainTextEdit*>(widget)) {
      return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    // The view keys, and the antenna's P and F.
    switch (key->key()) {
      case Qt::Key_Left:
      case Qt::Key_Right:
      case Qt::Key_I:
      case Qt::Key_P:
      case Qt::Key_F:
        break;
      default:
        return false;
    }
    QKeyEvent copy(QEvent::KeyPress, key->key(), key->modifiers(), key->text());
    QCoreApplication::sendEvent(chart_, &copy);
    return true;
  }

 private:
  QWidget* window_;
  ChartView* chart_;
};

}  // namespace

void Form1::CreateControls() {
  // Everything the design places lies in one area below the menu bar.
  design_ = new QWidget(this);
  design_->setObjectName(QStringLiteral("DesignArea"));
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
    auto* l = new QLabel(QString::fromUtf8(text), design_);
    place(l, x, y, w, h);
    return l;
  };
  auto field = [&](int x, int y, int w, int h) {
    auto* e = new QLineEdit(design_);
    e->setFrame(true);
    e->setStyleSheet(QStringLiteral("QLineEdit { padding: 0px; }"));
    e->installEventFilter(this);
    place(e, x, y, w, h);
    return e;
  };

  Shape1 = new QFrame(design_);
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

  Command2 = new QPushButton(QStringLiteral("Computer time"), design_);
  place(Command2, 216, 8, 89, 17);
  Frame1 = new QFrame(design_);
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
  Combo1 = new ZoneList(design_);
  place(Combo1, 320, 24, 49, 21);

  VScroll1 = new QScrollBar(Qt::Vertical, design_);
  VScroll1->setRange(0, 80);
  VScroll1->setSingleStep(2);
  VScroll1->setPageStep(10);
  VScroll1->setValue(80);
  // The bar is short: small arrows and a small thumb leave the thumb room to
  // show where it is and to be dragged over the whole range.
  VScroll1->setStyleSheet(QStringLiteral(
      "QScrollBar:vertical { background: #e0e0e0; border: 1px solid #909090; width: 15px;"
      "  margin: 9px 0 9px 0; }"
      "QScrollBar::handle:vertical { background: #505050; min-height: 7px; margin: 0 2px; }"
      "QScrollBar::sub-line:vertical { height: 9px; subcontrol-position: top;"
      "  subcontrol-origin: margin; background: #c8c8c8; }"
      "QScrollBar::add-line:vertical { height: 9px; subcontrol-position: bottom;"
      "  subcontrol-origin: margin; background: #c8c8c8; }"
      "QScrollBar::up-arrow:vertical, QScrollBar::down-arrow:vertical { width: 5px; height: 3px;"
      "  background: #404040; }"
      "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }"));
  place(VScroll1, 376, 0, 17, 57);
  Text8 = new QPlainTextEdit(QStringLiteral("SCOPE ELEV"), design_);
  Text8->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Text8->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Text8->document()->setDocumentMargin(1);
  QFont small = Text8->font();
  small.setPixelSize(9);
  Text8->setFont(small);
  place(Text8, 398, 16, 41, 33);

  const char* track[] = {"- TRACK", "+ TRACK"};
  for (int i = 0; i < 2; ++i) {
    Command3[i] = new QPushButton(QString::fromLatin1(track[i]), design_);
    QFont f = Command3[i]->font();
    f.setBold(true);
    Command3[i]->setFont(f);
    place(Command3[i], 448, 16 * i, 73, 17);
  }
  Combo2 = new QComboBox(design_);
  place(Combo2, 448, 32, 73, 21);

  Label14 = label("Play", 528, 8, 33, 17);
  const char* play[] = {"Fwd", "Stop", "Rew"};
  for (int i = 0; i < 3; ++i) {
    Option2[i] = new QRadioButton(QString::fromLatin1(play[i]), design_);
    place(Option2[i], 648 - 40 * i, 8, 33, 17);
  }
  Option2[1]->setChecked(true);  // "Stop", chosen before any handler listens
  option2_chosen_ = 1;
  Label13 = label("Rate", 528, 32, 33, 17);
  Label12 = label("1", 544, 32, 25, 17);
  // The rate sits at the right of its box, clear of the "Rate" caption
  // that shares part of the box's place.
  Label12->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  HScroll1 = new QScrollBar(Qt::Horizontal, design_);
  HScroll1->setRange(1, 30);
  HScroll1->setPageStep(5);
  HScroll1->setValue(1);
  place(HScroll1, 568, 32, 113, 17);
  for (QLabel* l : {Label14, Label13, Label12}) l->setAttribute(Qt::WA_TranslucentBackground);

  Command8 = new QPushButton(QStringLiteral("INFO"), design_);
  place(Command8, 696, 3, 65, 21);
  Command1 = new QPushButton(QStringLiteral("Refresh"), design_);
  place(Command1, 696, 25, 65, 25);

  Picture1 = new ChartView(chart_.Picture1, design_);
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

  Timer2 = new QTimer(this);
  Timer2->setInterval(kPlayTickMs);
  Timer3 = new QTimer(this);
  Timer3->setInterval(kClockReturnMs);

  const std::pair<QObject*, const char*> named[] = {
      {Label1, "Label1"},     {Label2, "Label2"},     {Label3, "Label3"},
      {Label4, "Label4"},     {Label5, "Label5"},     {Label6, "Label6"},
      {Label8, "Label8"},     {Label12, "Label12"},   {Label13, "Label13"},
      {Label14, "Label14"},   {Text8, "Text8"},       {Command1, "Command1"},
      {Command2, "Command2"}, {Command4, "Command4"}, {Command5, "Command5"},
      {Command6, "Command6"}, {Command7, "Command7"}, {Command8, "Command8"},
      {Frame1, "Frame1"},     {Shape1, "Shape1"},     {Combo1, "Combo1"},
      {Combo2, "Combo2"},     {VScroll1, "VScroll1"}, {HScroll1, "HScroll1"},
      {Picture1, "Picture1"}, {Timer2, "Timer2"},     {Timer3, "Timer3"}};
  for (const auto& [object, name] : named) object->setObjectName(QString::fromLatin1(name));
  // Control arrays: "Text3_0" is Text3(0).
  auto name_array = [](auto& controls, const char* name) {
    for (size_t i = 0; i < controls.size(); ++i)
      controls[i]->setObjectName(QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(i));
  };
  name_array(Text2, "Text2");
  name_array(Text3, "Text3");
  name_array(Text4, "Text4");
  name_array(Command3, "Command3");
  name_array(Option1, "Option1");
  name_array(Option2, "Option2");
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
  view_keys_ = std::make_unique<ViewKeys>(this, Picture1);
  qApp->installEventFilter(view_keys_.get());
  WireOptions(Option1, option1_chosen_, &Form1::Option1_Click);
  WireOptions(Option2, option2_chosen_, &Form1::Option2_Click);
  connect(Combo1, &QComboBox::currentIndexChanged, this, [this] { Combo1_Click(); });
  // The hour's form the user chooses is remembered; a choice made from code is not.
  for (int i = 0; i < 3; ++i) {
    connect(Option1[i], &QAbstractButton::clicked, this, [this, i] {
      clock_form_ = i == kClock24 ? kClock24 : kClockAm;
      Save(QStringLiteral("clock/form"),
           i == kClock24 ? QStringLiteral("24") : QStringLiteral("12"));
    });
  }
  connect(Combo2, &QComboBox::currentIndexChanged, this,
          [this](int unit) { Save(QStringLiteral("time/stepUnit"), unit); });
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
  connect(Timer2, &QTimer::timeout, this, [this] { Timer2_Timer(); });
  connect(Timer3, &QTimer::timeout, this, [this] { Timer3_Timer(); });
  Picture1->MouseMove = [this](float x, float y) { Picture1_MouseMove(x, y); };
  Picture1->MouseDown = [this](Qt::MouseButton b) { Picture1_MouseDown(b); };
  Picture1->KeyDown = [this](int key, Qt::KeyboardModifiers m) { Picture1_KeyDown(key, m); };
  Picture1->KeyPress = [this](QChar c) { Picture1_KeyPress(c); };
}

namespace {

constexpr int kDesignPixels = 11;   // the controls' face at the design size
constexpr int kLegiblePixels = 8;   // never smaller
constexpr int kLargestPixels = 13;  // the band's fixed heights hold no more

}  // namespace

int Form1::TextRoom(const QWidget* control) const {
  const QRect r = control->geometry();
  int room = r.width();
  if (qobject_cast<const QRadioButton*>(control)) {
    room -= 9 + 1 + 1;  // the small mark, its spacing, and a pixel of air
  } else if (qobject_cast<const QPushButton*>(control)) {
    room -= 2 * (style()->pixelMetric(QStyle::PM_ButtonMargin) +
                 style()->pixelMetric(QStyle::PM_DefaultFrameWidth));
  } else if (qobject_cast<const QComboBox*>(control)) {
    room -= 22;  // frame and drop-down arrow
  } else if (qobject_cast<const QLineEdit*>(control)) {
    room -= 6;
  } else if (control == Label8) {
    room = VScroll1->geometry().left() - 1 - r.left();  // the scroll bar sits on its end
  } else if (control == Label13) {
    // "Rate" ends before the widest rate, "30", right-aligned in its box.
    const QRect rate = Label12->geometry();
    room = rate.right() - QFontMetrics(Label12->font()).horizontalAdvance(QStringLiteral("30")) -
           2 - r.left();
  }
  return room;
}

QStringList Form1::TextsOf(const QWidget* control) const {
  if (const auto* label = qobject_cast<const QLabel*>(control)) {
    return {control == Label12 ? QStringLiteral("30") : label->text()};
  }
  if (const auto* button = qobject_cast<const QAbstractButton*>(control)) return {button->text()};
  if (const auto* combo = qobject_cast<const QComboBox*>(control)) {
    // The zones beyond the whole hours are fitted only while one is shown,
    // so that the design's list keeps its face.
    const int fitted = combo == Combo1 ? std::min(combo->count(), 26) : combo->count();
    QStringList items;
    for (int i = 0; i < fitted; ++i) items << combo->itemText(i);
    items << combo->currentText();
    return items;
  }
  // The fields' widest ordinary contents.
  if (control == Text2[0] || control == Text2[1]) return {QStringLiteral("-82.84")};
  if (control == Text4[2]) return {QStringLiteral("2026")};
  return {QStringLiteral("59")};
}

void Form1::FitFont(QWidget* control) {
  const double scale = design_->width() / double(kDesignSize.width());
  const int base = std::clamp(static_cast<int>(std::lround(kDesignPixels * scale)), kLegiblePixels,
                              kLargestPixels);
  QFont face = control->font();
  const QStringList texts = TextsOf(control);
  auto fits = [&] {
    control->setFont(face);
    const QFontMetrics metrics(face);
    int widest = 0;
    for (const QString& text : texts) widest = std::max(widest, metrics.horizontalAdvance(text));
    return widest <= TextRoom(control);
  };
  for (int pixels = base; pixels >= kLegiblePixels; --pixels) {
    face.setPixelSize(pixels);
    if (fits()) return;
  }
}

void Form1::FitFonts() {
  const double scale = design_->width() / double(kDesignSize.width());
  // Labels first: the rate's caption makes room for the rate as it is drawn.
  const QList<QWidget*> controls = {
      Label12,     Label1,   Label2,     Label3,     Label4,     Label5,     Label6,
      Label8,      Label13,  Label14,    Text2[0],   Text2[1],   Text3[0],   Text3[1],
      Text3[2],    Text4[0], Text4[1],   Text4[2],   Command1,   Command2,   Command3[0],
      Command3[1], Command8, Option1[0], Option1[1], Option1[2], Option2[0], Option2[1],
      Option2[2],  Combo1,   Combo2};
  for (QWidget* control : controls) FitFont(control);
  QFont small = Text8->font();
  small.setPixelSize(std::clamp(static_cast<int>(std::lround(9 * scale)), kLegiblePixels, 11));
  Text8->setFont(small);
}

}  // namespace skyvane
