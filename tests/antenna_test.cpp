// SPDX-License-Identifier: GPL-3.0-or-later
// The antenna's rotator: the protocol and the window against a small
// scripted daemon, and the link against the real daemon's dummy rotator.
#include <gtest/gtest.h>

#include <QtNetwork>
#include <QtTest>
#include <QtWidgets>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <map>

#include "app/form1.h"
#include "chart/annotations.h"
#include "interact/readout.h"
#include "interact/rotator.h"
#include "interact/turn.h"
#include "sky/angles.h"
#include "window_helpers.h"

namespace skyvane {
namespace {

using State = RotatorLink::State;

const QByteArray kState =
    "1\n1\nmin_az=-180.000000\nmax_az=180.000000\nmin_el=0.000000\n"
    "max_el=90.000000\nsouth_zero=0\nrot_type=AzEl\ndone\n";
using Script = std::map<QByteArray, QByteArray>;

// A daemon on a loopback port that answers each command line by a script:
// the reply for the command's first word, where the script does not say a
// sound daemon's at north on the horizon; a reply ending in "close" ends
// the connection after the rest, "silent" says nothing. Like a real daemon
// it handles one command at a time, each taking `delay` milliseconds, and
// notes when it took each one up.
class ScriptedDaemon {
 public:
  ScriptedDaemon(std::initializer_list<Script::value_type> script = {}, int delay = 0)
      : ScriptedDaemon(Script(script), delay) {}
  ScriptedDaemon(Script script, int delay) : script_(std::move(script)), delay_(delay) {
    script_.merge(Script{{"\\dump_state", kState}, {"p", "0\n0\n"}, {"P", "RPRT 0\n"},
                         {"S", "RPRT 0\n"}, {"K", "RPRT 0\n"}});
    server_.listen(QHostAddress::LocalHost);
    clock_.start();
    QObject::connect(&server_, &QTcpServer::newConnection, [this] {
      QTcpSocket* client = server_.nextPendingConnection();
      QObject::connect(client, &QTcpSocket::readyRead, [this, client] {
        if (!busy_) Next(client);
      });
    });
  }
  quint16 port() const { return server_.serverPort(); }
  void Close() { server_.close(); }
  QList<QByteArray> received;
  QList<qint64> taken_at;  // milliseconds since the daemon started
  QElapsedTimer clock_;

 private:
  void Next(QTcpSocket* client) {
    if (!client->canReadLine()) return;
    busy_ = true;
    const QByteArray line = client->readLine().trimmed();
    received << line;
    taken_at << clock_.elapsed();
    QTimer::singleShot(delay_, client, [this, client, line] {
      busy_ = false;
      QByteArray reply = script_[line.split(' ').value(0)];
      if (reply == "travel") reply = Travel(line);
      if (reply == "silent") return Next(client);
      const bool close = reply.endsWith("close");
      if (close) reply.chop(5);
      client->write(reply);
      if (close) return client->disconnectFromHost();
      Next(client);
    });
  }
  // A mount that turns at 400 degrees a second on each axis towards the
  // last "P", answering "p" with where it is.
  QByteArray Travel(const QByteArray& line) {
    const double step = 400 * moved_.restart() / 1000.0;
    for (double* axis : {&at[0], &at[1]}) {
      const double to = axis == &at[0] ? to_[0] : to_[1];
      *axis += std::clamp(to - *axis, -step, step);
    }
    if (line.startsWith("P ")) {
      to_[0] = line.split(' ').value(1).toDouble();
      to_[1] = line.split(' ').value(2).toDouble();
      return "RPRT 0\n";
    }
    return QByteArray::number(at[0], 'f', 6) + '\n' + QByteArray::number(at[1], 'f', 6) + '\n';
  }
  QTcpServer server_;
  Script script_;
  int delay_;
  bool busy_ = false;
  double at[2] = {0, 0}, to_[2] = {0, 0};
  QElapsedTimer moved_ = [] { QElapsedTimer t; t.start(); return t; }();
};

// Connects `link` to `daemon` and waits for its first position read.
bool Connected(RotatorLink& link, const ScriptedDaemon& daemon) {
  link.Connect(QStringLiteral("127.0.0.1"), daemon.port());
  return Soon([&] { return link.Position().has_value(); });
}

// Counts the paint events a widget gets for less than the whole of it.
class PartPaints : public QObject {
 public:
  int count = 0;
  bool eventFilter(QObject* object, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      count += static_cast<QPaintEvent*>(event)->rect() != static_cast<QWidget*>(object)->rect();
    }
    return false;
  }
};

TEST(RotatorLink, ProtocolAndItsFailures) {
  // state: after the first position read or the failure; message: part of what it says
  struct Case { const char* name; Script script; State state; const char* message; int delay = 0; };
  Case cases[] = {
      {"a sound daemon", {{"p", "12.56\n45.30\n"}}, State::kConnected,
       "connected, az 12.6° el 45.3°"},
      {"CR LF", {{"\\dump_state", "min_az=0\r\ndone\r\n"}, {"p", "12.50\r\n45.30\r\n"}},
       State::kConnected, "connected, az 12.5° el 45.3°"},
      {"garbage, CR LF", {{"p", "hello\r\n"}}, State::kError, "unexpected reply \"hello\""},
      {"closed mid-reply", {{"p", "12.50\nclose"}}, State::kLost, "closed"},
      {"no reply", {{"p", "silent"}}, State::kLost, "no reply"},
      {"much garbage", {{"p", QByteArray(50, 'x') + "\n"}}, State::kError,
       "unexpected reply \"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\""},
      {"an error", {{"p", "RPRT -8\n"}}, State::kConnected, "RPRT -8 (protocol error)"},
      {"an old state dump", {{"\\dump_state", "1\n1\n"}, {"p", "1\n2\n"}}, State::kConnected, ""},
      {"one slower than the reply time", {{"\\dump_state", "1\n1\n"}, {"p", "1\n2\n"}},
       State::kLost, "no reply", 500},
      {"an empty line", {{"p", "\n1\n2\n"}}, State::kError, "unexpected reply \"\""},
      {"a code that is no number", {{"p", "RPRT x\n"}}, State::kError,
       "unexpected reply \"RPRT x\""},
      {"a line as long as any", {{"p", QByteArray(4096, '1')}}, State::kLost, "no reply"},
      {"a reply without end", {{"p", QByteArray(4097, '1')}}, State::kError, "a reply without end"},
      {"nobody listening", {}, State::kError, "refused"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedDaemon daemon(c.script, c.delay);
    const quint16 port = daemon.port();
    if (c.script.empty()) daemon.Close();
    RotatorLink link;
    link.SetTimes(300, 100000, 2000);
    link.Connect(QStringLiteral("127.0.0.1"), port);
    EXPECT_TRUE(Soon([&] {
      return link.state() != State::kConnecting &&
             (link.state() != State::kConnected || link.Position() || !link.Message().isEmpty());
    }));
    EXPECT_EQ(link.state(), c.state) << link.StateText().toStdString();
    EXPECT_TRUE(link.StateText().contains(QString::fromUtf8(c.message)))
        << link.StateText().toStdString();
    EXPECT_EQ(daemon.received.value(0), c.script.empty() ? "" : QByteArray("\\dump_state"));
  }

  // A reply cut short by a lost connection is not read into the next one's.
  ScriptedDaemon cut({{"p", "RPRT -1close"}}), sound({{"p", "1\n2\n"}});
  RotatorLink again;
  again.SetTimes(300, 100000, 2000);
  again.Connect(QStringLiteral("127.0.0.1"), cut.port());
  ASSERT_TRUE(Soon([&] { return again.state() == State::kLost; }));
  again.Connect(QStringLiteral("127.0.0.1"), sound.port());
  EXPECT_TRUE(Soon([&] { return again.Position().has_value(); }));
  again.Stop();  // let go with a reply awaited: the reply time ends with the link
  again.Disconnect();
  QTest::qWait(350);
  EXPECT_EQ(again.state(), State::kDisconnected);
  // Nor is what the last daemon said counted as the next one's state dump.
  ScriptedDaemon mute({{"\\dump_state", "silent"}});
  again.SetTimes(300, 100000, 2000);
  again.Connect(QStringLiteral("127.0.0.1"), mute.port());
  EXPECT_TRUE(Soon([&] { return again.state() == State::kLost; }, 3000));
  EXPECT_EQ(again.Message(), "no reply from the rotator daemon");
  // A daemon whose host takes no more connections never answers: the link
  // says so in its own time. (A listening socket with a full backlog drops
  // the next one's first packet.)
  const int full = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  ASSERT_EQ(bind(full, reinterpret_cast<sockaddr*>(&address), size), 0);
  ASSERT_EQ(listen(full, 0), 0);
  getsockname(full, reinterpret_cast<sockaddr*>(&address), &size);
  QTcpSocket first;  // fills the backlog
  first.connectToHost(QStringLiteral("127.0.0.1"), ntohs(address.sin_port));
  ASSERT_TRUE(first.waitForConnected(2000));
  again.SetTimes(300, 100000, 200);
  again.Connect(QStringLiteral("127.0.0.1"), ntohs(address.sin_port));
  EXPECT_TRUE(Soon([&] { return again.state() == State::kError; }, 3000));
  EXPECT_EQ(again.Message(), "the rotator daemon did not answer");
  ::close(full);

  again.SetTimes(300, 100000, 100);  // once connected, the time to connect no longer runs
  ASSERT_TRUE(Connected(again, sound));
  QTest::qWait(200);
  EXPECT_EQ(again.state(), State::kConnected);
  // One let go while it connects stays let go.
  again.SetTimes(300, 100000, 50);
  again.Connect(QStringLiteral("127.0.0.1"), sound.port());
  again.Disconnect();
  QTest::qWait(150);
  EXPECT_EQ(again.state(), State::kDisconnected);

  // Targets within the rotator's limits go out with a period for the point,
  // in the turn that holds them; others are refused with the reason.
  ScriptedDaemon daemon({{"P", "RPRT -1\n"}});
  RotatorLink link;
  ASSERT_TRUE(Connected(link, daemon));
  EXPECT_EQ(link.limits().min_azimuth, -180);
  QString why;
  EXPECT_FALSE(link.Point(10, 95, &why));
  EXPECT_TRUE(why.contains("elevation 95.0°")) << why.toStdString();
  ASSERT_TRUE(link.Point(270.125, 30, &why));
  link.Stop();
  ASSERT_TRUE(Soon([&] { return link.Message() == "stop confirmed"; }));
  ASSERT_TRUE(link.Point(180, 90, &why));  // the limits themselves are within them
  ASSERT_TRUE(Soon([&] { return daemon.received.size() >= 5; }));
  EXPECT_EQ(daemon.received[2], "P -89.88 30.00");  // rounded, and 270 is -90 on this rotator
  EXPECT_EQ(daemon.received[3], "S");
  EXPECT_EQ(daemon.received[4], "P -180.00 90.00");
  EXPECT_TRUE(
      Soon([&] { return link.Message() == "RPRT -1 (invalid parameter)"; }));
  ASSERT_TRUE(link.Park(&why, std::nullopt));
  EXPECT_TRUE(Soon([&] { return link.Message() == "park confirmed"; }));
  ASSERT_TRUE(link.Target().has_value());
  link.Disconnect();
  EXPECT_FALSE(link.Position().has_value());  // nothing of the last connection is shown
  EXPECT_FALSE(link.Target().has_value());
  EXPECT_FALSE(link.Point(10, 10, &why));
  link.SetTimes(100, 100000, 2000);
  link.Stop();  // nothing to stop, and no reply awaited
  QTest::qWait(200);
  EXPECT_EQ(link.StateText(), "Antenna: not connected");
  // Table azimuths run north towards west; a turn more or less is the same bearing.
  for (auto [table, bearing] :
       {std::pair{90.0, 270.0}, {0.0, 0.0}, {359.5, 0.5}, {400.0, 320.0}, {-90.0, 90.0}})
    EXPECT_DOUBLE_EQ(CompassAzimuth(table), bearing) << table;
  // The table's ends: the first and the last code known, and those past them.
  for (const auto& [code, text] : {std::pair{0, "RPRT 0 (done)"}, {1, "RPRT 1 (unknown error)"},
                                   {-12, "RPRT -12 (target not reachable)"},
                                   {-13, "RPRT -13 (unknown error)"}})
    EXPECT_EQ(RotatorErrorText(code), text);
}

TEST(Turn, TheShortWayAndTheWholePath) {
  struct Case { const char* name; double bearing, min, max; std::optional<double> from, turn; };
  Case cases[] = {
      {"across north, two turns of travel", 0.05, -180, 450, 359.9, 360.05},
      {"from 400, the turn of 417.25", 57.25, -180, 450, 400, 417.25},
      {"from -10 on a -180..180 rotator", 190, -180, 180, -10, -170},
      {"one turn only", 10, 0, 360, 350, 10},
      {"nowhere known: the lowest turn", 10, -180, 450, std::nullopt, 10},
      {"west of a 0..450 rotator's start", 350, 0, 450, 20, 350},
      {"beyond the limits", 200, -90, 90, 0, std::nullopt},
      {"a range of no width", 10, 20, 10, 0, std::nullopt},
      {"ten turns of travel: no rotator has that", 10, 0, 3600, 0, std::nullopt},
      {"nor about north", 10, -1800, 1800, 0, std::nullopt}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ChooseTurn(c.bearing, c.min, c.max, c.from), c.turn);
  }
  // A source crossing the south on a -180..180 rotator: no turn holds it
  // past 180, so the plan says where it must unwind.
  const std::vector<double> south{170, 175, 180, 185, 190};
  TurnPlan plan = PlanTurn(south, -180, 180, 170);
  EXPECT_EQ(plan.azimuth, 170);
  EXPECT_EQ(plan.unwind_at, 3);
  // West across north on a 0..360 rotator: below 0 is out of reach too.
  plan = PlanTurn({10, 5, 0, 355, 350}, 0, 360, 10);
  EXPECT_EQ(plan.azimuth, 10);
  EXPECT_EQ(plan.unwind_at, 3);
  plan = PlanTurn({10, 5, 0, 355, 350}, 0, 450, 10);  // with travel past north, the turn above
  EXPECT_EQ(plan.azimuth, 370);
  EXPECT_EQ(plan.unwind_at, std::nullopt);
  // With travel past a full turn, the turn that holds the whole path wins,
  // though another lies nearer the antenna.
  const std::vector<double> north{350, 355, 0, 5, 10};
  plan = PlanTurn(north, -180, 370, 20);
  EXPECT_EQ(plan.azimuth, -10);
  EXPECT_EQ(plan.unwind_at, std::nullopt);
  plan = PlanTurn(north, -180, 450, -5);
  EXPECT_EQ(plan.azimuth, -10);
  plan = PlanTurn(north, -180, 450, 340);
  EXPECT_EQ(plan.azimuth, 350);
  EXPECT_EQ(PlanTurn({}, 0, 360, 0).azimuth, std::nullopt);
  for (const std::vector<double>& edge : {std::vector<double>{180, 190}, {170, 180}}) {
    plan = PlanTurn(edge, -180, 180, 0);  // a path that touches a limit stays within it
    EXPECT_EQ(plan.unwind_at, std::nullopt) << edge[0];
  }

  struct Apart { double az1, el1, az2, el2, degrees; };
  Apart aparts[] = {
      {10, 20, 10, 20, 0}, {0, 0, 90, 0, 90}, {0, 0, 180, 0, 180}, {30, 90, 250, 90, 0},
      {359.5, 10, 0.5, 10, 0.98481}, {100, 45, 100, 46, 1}, {0, -10, 0, 80, 90},
      {-53.2, 10, 306.8, 10, 0}};
  for (const Apart& c : aparts)
    EXPECT_NEAR(Separation(c.az1, c.el1, c.az2, c.el2), c.degrees, 1e-4) << c.az1 << " " << c.el2;
  // moved, milliseconds since the last was sent: milliseconds to wait, -1 not yet
  struct Follow { double moved; long long since, wait; };
  Follow follows[] = {
      {0.1, 5000, -1}, {0.11, 5000, 0}, {0.5, 300, 700}, {0.5, 1000, 0}, {0.5, 0, 1000}};
  for (const Follow& c : follows)
    EXPECT_EQ(FollowWait(c.moved, 0.1, c.since, 1000), c.wait) << c.moved << " " << c.since;
}

// Against a daemon that takes 300 ms a command: following floods it with
// targets, yet at most one pointing waits, the newest, and Stop overtakes
// it. A new daemon starts with its own limits.
TEST(RotatorLink, OnePointingWaitsAndStopGoesAtOnce) {
  ScriptedDaemon daemon({}, 300);
  RotatorLink link;
  link.SetTimes(3000, 100000, 3000);
  std::optional<double> lowest;  // the limits known when the window first hears of the link
  link.Changed = [&] {
    if (!lowest && link.state() == State::kConnected) lowest = link.limits().min_azimuth;
  };
  link.Connect(QStringLiteral("127.0.0.1"), daemon.port());
  // The state dump's last line ends it at once, well before the reply time.
  ASSERT_TRUE(Soon([&] { return link.Position().has_value(); }, 2000));
  EXPECT_EQ(lowest, 0);  // told at once, not at the daemon's first reply
  link.Changed = nullptr;
  QString why;
  for (int i = 0; i < 20; ++i) {
    ASSERT_TRUE(link.Point(10 + i, 30, &why));
    QTest::qWait(50);
  }
  const qint64 stop = daemon.clock_.elapsed();
  link.Stop();
  ASSERT_TRUE(Soon([&] { return link.Message() == "stop confirmed"; }));
  const qsizetype s = daemon.received.indexOf("S");
  ASSERT_GE(s, 0);
  EXPECT_LT(daemon.taken_at[s] - stop, 2 * 300 + 150);  // behind one command at most
  // 20 targets in a second: the first, the newest waiting each time one was
  // answered, and none after Stop.
  const QList<QByteArray> sent = daemon.received.mid(2);
  EXPECT_EQ(sent.first(), "P 10.00 30.00");
  EXPECT_LE(sent.size(), 6) << sent.join(' ').toStdString();
  auto bearing = [&](qsizetype i) { return sent[i].split(' ').value(1).toDouble(); };
  for (qsizetype i = 1; i + 1 < sent.size(); ++i) EXPECT_GT(bearing(i), bearing(i - 1) + 1);
  EXPECT_EQ(sent.last(), "S");

  // From 400 on a -180..450 rotator, 57.25 goes out as 417.25: the short way.
  ScriptedDaemon wide({{"\\dump_state", "min_az=-180\nmax_az=450\ndone\n"}, {"p", "400\n10\n"}});
  ASSERT_TRUE(Connected(link, wide));
  ASSERT_TRUE(link.Point(57.25, 30, &why));
  EXPECT_TRUE(Soon([&] { return wide.received.contains("P 417.25 30.00"); }));

  link.SetTimes(300, 100000, 3000);  // an old state dump ends with the reply time
  ScriptedDaemon old({{"\\dump_state", "1\n1\n"}});
  ASSERT_TRUE(Connected(link, old));
  EXPECT_EQ(link.limits().min_azimuth, 0);
  EXPECT_EQ(link.limits().max_azimuth, 360);

  // Half a turn of travel: the refusal names the bearing the mount would need.
  ScriptedDaemon half({{"\\dump_state", "min_az=0\nmax_az=180\nmin_el=5\nmax_el=85\ndone\n"}});
  link.SetOffsets(10, 0);
  ASSERT_TRUE(Connected(link, half));
  EXPECT_FALSE(link.Point(175, 30, &why));
  EXPECT_EQ(why, "azimuth 185.0° is outside the rotator's 0° to 180°");
  EXPECT_FALSE(link.Point(100, 4, &why));
  EXPECT_EQ(why, "elevation 4.0° is outside the rotator's 5° to 85°");
  EXPECT_TRUE(link.Point(100, 5, &why));  // the limit itself is within
  // A followed path is corrected too: 175 is past this rotator's end.
  std::optional<int> unwind_at;
  EXPECT_TRUE(link.Point(170, 30, &why, {170, 175, 160}, &unwind_at));
  EXPECT_EQ(unwind_at, 1);
  link.SetOffsets(0, -1);  // a mount that reads a degree high can be sent a degree past its top
  EXPECT_TRUE(link.Point(100, 86, &why)) << why.toStdString();

  // A Stop left unanswered behind an answered pointing is noticed in its own reply time.
  ScriptedDaemon deaf({{"S", "silent"}}, 100);
  ASSERT_TRUE(Connected(link, deaf));
  ASSERT_TRUE(link.Point(10, 30, &why));
  link.Stop();
  EXPECT_TRUE(Soon([&] { return link.state() == State::kLost; }, 3000));
  EXPECT_EQ(deaf.received.mid(2), QList<QByteArray>({"P 10.00 29.00", "S"}));

  // A position read waits for the last one's answer: polled faster than a
  // slow daemon answers, none are left queued once polling stops.
  ScriptedDaemon sluggish({}, 100);
  link.SetTimes(3000, 10, 3000);
  ASSERT_TRUE(Connected(link, sluggish));
  QTest::qWait(400);
  link.SetTimes(3000, 100000, 3000);
  const qsizetype polled = sluggish.received.count("p");
  QTest::qWait(350);
  EXPECT_LE(sluggish.received.count("p"), polled + 1);

  // What waits belongs to its connection: none of it goes to the next daemon.
  ScriptedDaemon slow({}, 100);
  ASSERT_TRUE(Connected(link, slow));
  ASSERT_TRUE(link.Point(30, 30, &why));
  ASSERT_TRUE(link.Point(31, 30, &why));
  ScriptedDaemon next;
  ASSERT_TRUE(Connected(link, next));
  EXPECT_EQ(next.received.value(0), "\\dump_state");
  EXPECT_FALSE(next.received.contains("P 31.00 29.00"));

  // Once gone, the link tells nobody of its own last words.
  auto gone = std::make_unique<RotatorLink>();
  ASSERT_TRUE(Connected(*gone, half));
  bool told = false;
  gone->Changed = [&] { told = true; };
  gone.reset();
  EXPECT_FALSE(told);
}

// A right click over a source offers to point the antenna at it; without a
// rotator the window says why nothing was sent. Connected through its dialog,
// the window draws the antenna's mark and, following a source, sends a new
// pointing only once the source has moved.
TEST(Antenna, TheChartsMenuOffersTheSourceUnderThePointer) {
  FixedClock clock;
  Form1 form(clock);
  ASSERT_TRUE(form.Form_Load({SKYVANE_DATA_DIR}));
  QSettings().setValue("antenna/ownPark", true);  // a park of its own needs the link too
  form.findChild<QAction*>("actionPark")->trigger();
  EXPECT_EQ(form.findChild<QLabel*>("AntennaStatus")->toolTip(), "the rotator is not connected");
  QSettings().remove("antenna/ownPark");
  QWidget* chart = form.findChild<QWidget*>("Picture1");
  QContextMenuEvent empty(QContextMenuEvent::Mouse, QPoint(2, 2), chart->mapToGlobal(QPoint(2, 2)));
  QCoreApplication::sendEvent(chart, &empty);
  EXPECT_EQ(form.findChild<QMenu*>("ChartMenu"), nullptr);  // no source there: no menu
  const QPoint at = SourceIn(form, QRect(100, 100, 500, 200));
  QContextMenuEvent event(QContextMenuEvent::Mouse, at, chart->mapToGlobal(at));
  QCoreApplication::sendEvent(chart, &event);
  auto* menu = form.findChild<QMenu*>("ChartMenu");
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(menu->isVisible());
  menu->findChild<QAction*>("actionPointHere")->trigger();
  EXPECT_EQ(form.AntennaNote(), "the rotator is not connected");
  EXPECT_TRUE(form.findChild<QLabel*>("AntennaStatus")->text().contains("not connected"));

  menu->hide();  // as a choice in it hides it
  ScriptedDaemon daemon;
  AnswerDialog([&](QWidget* dialog) {  // the connection dialog, answered as a user would
    QTimer::singleShot(3000, dialog, &QWidget::close);  // one that will not go
    auto* host = dialog->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Connect to Rotator");
    EXPECT_EQ(host->text(), "localhost");  // the daemon's own defaults
    auto* port = dialog->findChild<QSpinBox*>();
    EXPECT_EQ(port->value(), 4533);
    EXPECT_EQ(std::pair(port->minimum(), port->maximum()), std::pair(1, 65535));  // every TCP port
    host->setText("127.0.0.1");
    port->setValue(daemon.port());
    Press(dialog, QDialogButtonBox::Ok);
  });
  form.findChild<QAction*>("actionConnectRotator")->trigger();
  ASSERT_TRUE(Soon([&] { return form.Antenna().Position().has_value(); }));
  EXPECT_FALSE(form.findChild<QLabel*>("AntennaStatus")->text().contains("not connected"));
  const QImage& clean = form.Chart().SwapScreen;  // the mark, in orange, in the clean copy too
  auto marked = [&] {
    const auto* pixels = reinterpret_cast<const QRgb*>(clean.constBits());
    return std::count(pixels, pixels + clean.width() * clean.height(), qRgb(255, 128, 0)) > 30;
  };
  EXPECT_TRUE(marked());
  auto pointings = [&] {
    return std::count_if(daemon.received.begin(), daemon.received.end(),
                         [](const QByteArray& line) { return line.startsWith("P "); });
  };
  menu->findChild<QAction*>("actionFollowHere")->trigger();
  EXPECT_TRUE(Soon([&] { return pointings() == 1; }));
  EXPECT_TRUE(form.AntennaNote().isEmpty()) << form.AntennaNote().toStdString();
  form.findChild<QRadioButton*>("Option2_1")->click();
  QSettings().setValue("antenna/sendInterval", 0.1);  // however soon it may go again,
  form.findChild<QPushButton*>("Command1")->click();  // a pass at the same moment
  EXPECT_TRUE(marked());  // drawn again on the new chart
  QTest::qWait(300);
  EXPECT_EQ(pointings(), 1);  // a source that has not moved is not sent again
  QSettings().remove("antenna/sendInterval");
  form.findChild<QPushButton*>("Command3_1")->click();  // a minute on
  EXPECT_TRUE(Soon([&] { return pointings() == 2; }));
  // Another within the send interval: the newest place goes out when it ends.
  const double sent = form.Antenna().Target()->azimuth;
  form.findChild<QPushButton*>("Command3_1")->click();
  EXPECT_EQ(form.Antenna().Target()->azimuth, sent);
  EXPECT_TRUE(Soon([&] { return form.Antenna().Target()->azimuth != sent; }, 3000));
  EXPECT_TRUE(Soon([&] { return pointings() == 3; }, 3000));
  auto* follow = form.findChild<QAction*>("actionFollow");
  form.findChild<QAction*>("actionStop")->trigger();
  EXPECT_FALSE(follow->isChecked());
  // A source below the minimum elevation is not sent, and the user is told.
  const SourceTable& table = form.Sources();
  int low = 1;
  while (table.AzAlt[low][1] > -5) ++low;
  form.PointAntenna(low, false);
  EXPECT_EQ(form.AntennaNote(), QStringLiteral("%1 is at %2°, below the minimum elevation of 0°")
                                    .arg(ReadoutName(table, low))
                                    .arg(QString::number(table.AzAlt[low][1], 'f', 1)));
  EXPECT_TRUE(form.findChild<QLabel*>("AntennaStatus")->toolTip().endsWith(form.AntennaNote()));
  int high = 1;  // one at the minimum itself is sent
  while (table.AzAlt[high][1] < 10) ++high;
  QSettings().setValue("antenna/minimumElevation", table.AzAlt[high][1]);
  form.PointAntenna(high, false);
  EXPECT_TRUE(Soon([&] { return pointings() == 4; }));
  QSettings().remove("antenna/minimumElevation");
  menu->close();  // each right click makes a menu: a closed one is not kept
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(form.findChild<QMenu*>("ChartMenu"), nullptr);
  // A new table drops the last source pointed at: Point, with no source
  // found or under the pointer, has nothing to aim at.
  form.OpenCatalogue(SKYVANE_DATA_DIR "/StarData.txt", Equinox::kB1950, nullptr, false);
  const QString note = form.AntennaNote();
  const auto sent_before = pointings();
  form.findChild<QAction*>("actionPoint")->trigger();
  QTest::qWait(100);
  EXPECT_EQ(form.AntennaNote(), note);
  EXPECT_EQ(pointings(), sent_before);
}

// While connected, a position read redraws only the antenna's mark: the
// readout stays. P and F work wherever the view keys do, S stops, and
// following ends with the link, which the status, kept to its room, says.
TEST(Antenna, TheReadoutStaysTheKeysWorkAndFollowingEndsWithTheLink) {
  FixedClock clock;
  auto form = std::make_unique<Form1>(clock);
  ASSERT_TRUE(form->Form_Load({SKYVANE_DATA_DIR}));
  form->show();
  ScriptedDaemon daemon({{"p", "-53.2\n10\n"}});
  form->ConnectRotator("127.0.0.1", daemon.port());
  EXPECT_TRUE(form->findChild<QLabel*>("AntennaStatus")->text().contains("connecting"));
  ASSERT_TRUE(Soon([&] { return form->Antenna().Position().has_value(); }));
  // The status gives the compass bearing, whatever turn the rotator reports.
  EXPECT_TRUE(form->findChild<QLabel*>("AntennaStatus")->text().contains("az 306.8° el 10.0°"));
  ChartState expected = form->Chart();  // and the mark stands where the rotator says
  EraseAntennaMark(expected);
  DrawAntennaMark(expected, {-53.2, 10});
  EXPECT_EQ(expected.SwapScreen, form->Chart().SwapScreen);
  QWidget* chart = form->findChild<QWidget*>("Picture1");
  const QPoint at = SourceIn(*form, QRect(100, 100, 500, 200));
  QTest::mouseMove(chart, at);
  ASSERT_FALSE(form->Chart().ReadoutDirty.isEmpty());
  QCoreApplication::processEvents();  // the readout's own paint
  PartPaints paints;
  chart->installEventFilter(&paints);
  const qsizetype reads = daemon.received.count("p");
  ASSERT_TRUE(Soon([&] { return daemon.received.count("p") >= reads + 2; }));
  EXPECT_GT(paints.count, 0);  // the mark's own region, on the screen too
  chart->removeEventFilter(&paints);
  EXPECT_FALSE(form->Chart().ReadoutDirty.isEmpty());
  EXPECT_NE(form->Chart().Picture1, form->Chart().SwapScreen);

  auto* follow = form->findChild<QAction*>("actionFollow");
  QString asked;  // Ctrl+F finds a source; it does not follow one
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    asked = dialog ? dialog->objectName() : QString();
    if (dialog) dialog->reject();
  });
  QTest::keyClick(chart, Qt::Key_F, Qt::ControlModifier);
  EXPECT_EQ(asked, "FindDialog");
  QTest::keyClick(chart, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);  // no antenna key
  EXPECT_FALSE(follow->isChecked());
  QTest::keyClick(form->findChild<QPushButton*>("Command1"), Qt::Key_F);
  EXPECT_TRUE(follow->isChecked());
  EXPECT_TRUE(Soon([&] { return daemon.received.last().startsWith("P "); }));
  QTest::keyClick(chart, Qt::Key_S);
  EXPECT_FALSE(follow->isChecked());
  // A source in the south-east, two hours or more before it crosses the
  // south, which a -180..180 rotator cannot follow through: it says when it
  // must unwind.
  const SourceTable& table = form->Sources();
  auto bearing = [&](int r) { return CompassAzimuth(table.AzAlt[r][0]); };
  auto hour_angle = [&](int r) { return Wrap360(form->Sky().LocalSidereal - table.RaDec[r][0]); };
  int rising = 1;
  while (!(bearing(rising) > 90 && bearing(rising) < 170 && table.AzAlt[rising][1] > 20 &&
           hour_angle(rising) > 270 && hour_angle(rising) < 330)) {
    ++rising;
  }
  form->PointAntenna(rising, true);
  // about when it crosses the meridian, due south
  const double hour_angle_now = hour_angle(rising);
  const SkyState& sky = form->Sky();
  const QTime now(sky.At.Hour, sky.At.Minute, sky.At.Second);
  const QTime south = now.addSecs(static_cast<int>((360 - hour_angle_now) / 15.041 * 3600));
  const QTime unwind = QTime::fromString(form->AntennaNote().right(5), "HH:mm");
  ASSERT_TRUE(unwind.isValid()) << form->AntennaNote().toStdString();
  // the path is planned in steps of two minutes: the first step past the south
  const QTime step = now.addSecs(120 * static_cast<int>(std::ceil(now.secsTo(south) / 120.0)));
  EXPECT_EQ(unwind, QTime(step.hour(), step.minute())) << form->AntennaNote().toStdString();
  form->findChild<QAction*>("actionStop")->trigger();
  EXPECT_TRUE(Soon([&] { return daemon.received.last() == "S"; }));
  QTest::keyClick(chart, Qt::Key_F);
  form->findChild<QAction*>("actionDisconnect")->trigger();
  EXPECT_FALSE(follow->isChecked());
  EXPECT_EQ(form->AntennaNote(), "following ended");
  form->findChild<QAction*>("actionReconnect")->trigger();  // the same daemon again
  EXPECT_TRUE(Soon([&] { return form->Antenna().Position().has_value(); }));

  ScriptedDaemon babbling(
      {{"p", "0\n10\n"}, {"P", "a reply no daemon would give to a pointing\n"}});
  form->resize(form->minimumWidth(), form->height());
  form->ConnectRotator("127.0.0.1", babbling.port());
  ASSERT_TRUE(Soon([&] { return form->Antenna().Position().has_value(); }));
  QTest::keyClick(chart, Qt::Key_F);
  ASSERT_TRUE(Soon([&] { return form->Antenna().state() == State::kError; }));
  EXPECT_FALSE(follow->isChecked());
  auto* status = form->findChild<QLabel*>("AntennaStatus");
  auto* bar = form->findChild<QMenuBar*>();
  EXPECT_TRUE(status->toolTip().endsWith("Reconnect  following ended with the link"))
      << status->toolTip().toStdString();
  EXPECT_TRUE(status->text().endsWith(QChar(0x2026))) << status->text().toStdString();
  EXPECT_LE(status->geometry().right(), bar->width());
  EXPECT_GE(status->geometry().right(), bar->width() - 12);  // at the bar's far end
  EXPECT_GT(status->geometry().left(),
            bar->actionGeometry(bar->actions().last()).right());  // Help stays in view

  form = std::make_unique<Form1>(clock);  // the next run can reconnect at once
  ASSERT_TRUE(form->Form_Load({SKYVANE_DATA_DIR}));
  auto* reconnect = form->findChild<QAction*>("actionReconnect");
  EXPECT_TRUE(reconnect->isEnabled());
  reconnect->trigger();
  EXPECT_TRUE(Soon([&] { return form->Antenna().Position().has_value(); }));
  form->findChild<QAction*>("actionConnectAtStart")->trigger();
  form = std::make_unique<Form1>(clock);  // and, asked to, connects by itself
  ASSERT_TRUE(form->Form_Load({SKYVANE_DATA_DIR}));
  EXPECT_TRUE(form->findChild<QAction*>("actionConnectAtStart")->isChecked());
  EXPECT_TRUE(Soon([&] { return form->Antenna().Position().has_value(); }));
}

// A mount with a pointing correction, no park of its own and a daemon that
// moves it at 400 degrees a second: Go To and the user's own park position
// go out corrected, in the turn the rotator can take, and the position read
// back is the corrected one.
TEST(Antenna, GoToParkAndAPointingCorrection) {
  QSettings settings;
  settings.setValue("antenna/azimuthOffset", 2.0);
  settings.setValue("antenna/elevationOffset", -1.0);
  settings.setValue("beam/widthTyped", true);  // a beam of 10 degrees, drawn round the mark too
  settings.setValue("beam/width", 10.0);
  settings.setValue("beam/shown", true);
  FixedClock clock;
  Form1 form(clock);
  ASSERT_TRUE(form.Form_Load({SKYVANE_DATA_DIR}));
  const double beam = form.Chart().BeamWidth;
  ASSERT_EQ(beam, 10);
  ScriptedDaemon daemon({{"p", "travel"}, {"P", "travel"}, {"K", "RPRT -4\n"}});
  form.ConnectRotator("127.0.0.1", daemon.port());
  ASSERT_TRUE(Soon([&] { return form.Antenna().Position().has_value(); }));
  EXPECT_EQ(form.Antenna().Position()->azimuth, -2);  // the mount at 0 points 2 degrees west
  form.findChild<QAction*>("actionPoint")->trigger();  // no source chosen yet: nothing to send

  auto* follow = form.findChild<QAction*>("actionFollow");
  follow->setChecked(true);
  AnswerDialog([](QWidget* dialog) {
    dialog->findChild<QDoubleSpinBox*>("azimuth")->setValue(100);
    dialog->findChild<QDoubleSpinBox*>("elevation")->setValue(20);
    Press(dialog, QDialogButtonBox::Ok);
  });
  form.findChild<QAction*>("actionGoTo")->trigger();
  EXPECT_TRUE(Soon([&] { return daemon.received.contains("P 102.00 19.00"); }));
  EXPECT_EQ(*std::find_if(daemon.received.begin(), daemon.received.end(),
                          [](const QByteArray& line) { return line.startsWith("P "); }),
            "P 102.00 19.00");
  EXPECT_TRUE(Soon([&] {
    const auto at = form.Antenna().Position();
    return at && std::fabs(at->azimuth - 100) < 1e-6 && std::fabs(at->elevation - 20) < 1e-6;
  }));
  EXPECT_EQ(form.Antenna().Target()->azimuth, 100);
  EXPECT_FALSE(follow->isChecked());  // a place of its own ends following
  for (int i = 0; i < 10; ++i) {  // facing east, where it went, with the park in sight
    form.findChild<QPushButton*>("Command6")->click();
  }
  // On target: the commanded place's square on the mark, as the chart draws it.
  ChartState expected = form.Chart();
  EraseAntennaMark(expected);
  const auto at = *form.Antenna().Position();
  DrawAntennaMark(expected, {at.azimuth, at.elevation, true, 100, 20, true, beam});
  EXPECT_EQ(expected.SwapScreen, form.Chart().SwapScreen);
  EXPECT_EQ(expected.Picture1, form.Chart().Picture1);
  // Point aims at the source under the pointer, and a source found by name
  // wherever the pointer is.
  const SourceTable& table = form.Sources();
  const QPoint over = SourceIn(form, QRect(100, 100, 500, 200));
  QWidget* chart = form.findChild<QWidget*>("Picture1");
  QMouseEvent move(QEvent::MouseMove, over, chart->mapToGlobal(over), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QCoreApplication::sendEvent(chart, &move);
  form.findChild<QAction*>("actionPoint")->trigger();
  const int under = form.Chart().PickAt(over.x(), over.y());
  ASSERT_TRUE(form.Antenna().Target().has_value());
  EXPECT_NEAR(form.Antenna().Target()->azimuth, CompassAzimuth(table.AzAlt[under][0]), 1e-9);
  int high = 1;
  while (table.AzAlt[high][1] < 30 || high == under) ++high;
  ASSERT_TRUE(form.FindSource(QString::fromStdString(table.CatalogText[high][8])));
  follow->trigger();  // Follow from the menu: the same target, and following
  EXPECT_TRUE(follow->isChecked());
  EXPECT_NEAR(form.Antenna().Target()->azimuth, CompassAzimuth(table.AzAlt[high][0]), 1e-9);

  follow->setChecked(true);
  form.findChild<QAction*>("actionPark")->trigger();  // the daemon has no park
  EXPECT_FALSE(follow->isChecked());  // parking ends following
  EXPECT_TRUE(Soon([&] { return form.Antenna().Message().contains("RPRT -4"); }));
  settings.setValue("antenna/ownPark", true);
  settings.setValue("antenna/parkAzimuth", 180.0);
  settings.setValue("antenna/parkElevation", 5.0);
  form.findChild<QAction*>("actionPark")->trigger();
  // 182 lies past this rotator's 180: the same bearing a turn lower
  EXPECT_TRUE(Soon([&] { return daemon.received.contains("P -178.00 4.00"); }));
  EXPECT_EQ(form.Antenna().Target()->azimuth, 180);
  // the error goes with the next success
  EXPECT_TRUE(Soon([&] { return form.Antenna().Message().isEmpty(); }));
  // A new correction moves the mark at once, before the next position read.
  ASSERT_TRUE(Soon([&] { return form.Antenna().Position()->azimuth == -180; }));
  AnswerDialog([](QWidget* dialog) {
    dialog->findChild<QDoubleSpinBox*>("azimuth")->setValue(0);
    dialog->findChild<QDoubleSpinBox*>("elevation")->setValue(0);
    Press(dialog, QDialogButtonBox::Ok);
  });
  form.findChild<QAction*>("actionPointingOffset")->trigger();
  expected = form.Chart();
  EraseAntennaMark(expected);
  DrawAntennaMark(expected, {-178, 4, true, 180, 5, false, beam});
  EXPECT_EQ(expected.SwapScreen, form.Chart().SwapScreen);
}

// Every setting of the Antenna menu through its own dialog: what it offers
// first, the range it allows, and what it remembers.
TEST(Antenna, TheMenusDialogsOfferSensibleRangesAndRemember) {
  FixedClock clock;
  Form1 form(clock);
  ASSERT_TRUE(form.Form_Load({SKYVANE_DATA_DIR}));
  EXPECT_FALSE(form.findChild<QAction*>("actionReconnect")->isEnabled());  // no daemon known yet
  // the fields' first values, ranges and decimals; what is typed; the keys it goes to
  struct Field { double first, low, high; int decimals; double typed; const char* key; };
  struct Case { const char* action; const char* title; std::vector<Field> fields; bool box; };
  Case cases[] = {
      {"actionMinimumElevation", "Minimum Elevation",
       {{0, -10, 90, 1, 12.5, "antenna/minimumElevation"}}, false},
      {"actionFollowStep", "Follow Step", {{0.1, 0.01, 10, 2, 0.25, "antenna/followStep"}}, false},
      {"actionSendInterval", "Send Interval", {{1, 0.1, 60, 1, 2.5, "antenna/sendInterval"}},
       false},
      {"actionGoTo", "Go To Az/El",
       {{180, 0, 360, 2, 100, "antenna/goToAzimuth"},
        {45, -10, 90, 2, 20, "antenna/goToElevation"}},
       false},
      {"actionParkPosition", "Park Position",
       {{0, 0, 360, 2, 90, "antenna/parkAzimuth"}, {0, -10, 90, 2, 5, "antenna/parkElevation"}},
       true},
      {"actionPointingOffset", "Pointing Offset",
       {{0, -30, 30, 2, 1.5, "antenna/azimuthOffset"},
        {0, -30, 30, 2, -0.5, "antenna/elevationOffset"}},
       false},
      // its box: the width typed directly, kept with the dish it was typed for
      {"actionBeam", "Beam",
       {{3, 0, 1000, 2, 0.5, "beam/diameter"}, {1420.4, 0, 1e6, 1, 408.5, "beam/frequency"},
        {5, 0, 179.99, 2, 2.5, "beam/width"}},
       true},
  };
  bool parked = false;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.action);
    AnswerDialog([&](QWidget* dialog) {
      EXPECT_EQ(dialog->windowTitle(), c.title);
      const QList<QDoubleSpinBox*> spins = dialog->findChildren<QDoubleSpinBox*>();
      ASSERT_EQ(spins.size(), qsizetype(c.fields.size()));
      for (qsizetype i = 0; i < spins.size(); ++i) {
        const Field& f = c.fields[i];
        EXPECT_DOUBLE_EQ(spins[i]->value(), f.first);
        EXPECT_DOUBLE_EQ(spins[i]->minimum(), f.low);
        EXPECT_DOUBLE_EQ(spins[i]->maximum(), f.high);
        EXPECT_EQ(spins[i]->decimals(), f.decimals);
        spins[i]->setValue(f.typed);
      }
      auto* box = dialog->findChild<QCheckBox*>();
      EXPECT_EQ(box != nullptr, c.box);
      if (box) {
        box->setChecked(true);
        EXPECT_TRUE(spins.last()->isEnabled());
      }
      Press(dialog, QDialogButtonBox::Ok);
    });
    form.findChild<QAction*>(c.action)->trigger();
    QSettings settings;
    for (const Field& f : c.fields)
      EXPECT_DOUBLE_EQ(settings.value(f.key).toDouble(), f.typed) << f.key;
    parked = parked || c.box;  // the park position's own check box, and only that, sets it
    EXPECT_EQ(settings.value("antenna/ownPark").toBool(), parked);
  }
  // Each is offered again as it was chosen, and let go, keeps it.
  for (const Case& c : cases) {
    SCOPED_TRACE(c.action);
    AnswerDialog([&](QWidget* dialog) {
      const QList<QDoubleSpinBox*> spins = dialog->findChildren<QDoubleSpinBox*>();
      for (qsizetype i = 0; i < spins.size(); ++i)
        EXPECT_DOUBLE_EQ(spins[i]->value(), c.fields[i].typed);
      if (c.box) {
        EXPECT_TRUE(dialog->findChild<QCheckBox*>()->isChecked());
      }
      dialog->close();
    });
    form.findChild<QAction*>(c.action)->trigger();
    for (const Field& f : c.fields)
      EXPECT_DOUBLE_EQ(QSettings().value(f.key).toDouble(), f.typed) << f.key;
  }
  QTimer::singleShot(0, [] {
    QWidget* dialog = QApplication::activeModalWidget();
    Press(dialog, QDialogButtonBox::Cancel);
    if (dialog->isVisible()) {
      ADD_FAILURE() << "Cancel left the beam's dialog open";
      dialog->close();
    }
  });
  form.findChild<QAction*>("actionBeam")->trigger();
  EXPECT_EQ(QSettings().value("beam/width").toDouble(), 2.5);
  QSettings().setValue("beam/shown", true);  // the next window draws the typed width
  Form1 next(clock);
  ASSERT_TRUE(next.Form_Load({SKYVANE_DATA_DIR}));
  EXPECT_EQ(next.Chart().BeamWidth, 2.5);
}

// The real daemon's dummy rotator, which starts at north on the horizon and
// turns a few degrees a second, reaches a target.
TEST(RotatorLink, TheDummyRotatorTurnsToATarget) {
  const QString daemon = QStandardPaths::findExecutable(QStringLiteral("rotctld"));
  if (daemon.isEmpty()) GTEST_SKIP() << "rotctld is not installed";
  QTcpServer probe;  // a free port
  probe.listen(QHostAddress::LocalHost);
  const quint16 port = probe.serverPort();
  probe.close();
  QProcess rotctld;  // killed when it goes out of scope
  rotctld.start(daemon, {"-m", "1", "-T", "127.0.0.1", "-t", QString::number(port)});
  RotatorLink link;
  ASSERT_TRUE(Soon([&] {  // the daemon may still be starting: connect until it answers
    const State state = link.state();
    if (state != State::kConnecting && state != State::kConnected)
      link.Connect(QStringLiteral("127.0.0.1"), port);
    return state == State::kConnected;
  }, 10000)) << link.StateText().toStdString();
  QString why;
  ASSERT_TRUE(link.Point(10, 8, &why)) << why.toStdString();
  EXPECT_TRUE(Soon([&] {
    const auto at = link.Position();
    return at && std::fabs(at->azimuth - 10) < 1 && std::fabs(at->elevation - 8) < 1;
  }, 30000)) << link.StateText().toStdString();
}

}  // namespace
}  // namespace skyvane
