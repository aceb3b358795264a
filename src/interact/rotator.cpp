// SPDX-License-Identifier: GPL-3.0-or-later
#include "interact/rotator.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "interact/turn.h"
#include "sky/angles.h"

namespace skyvane {
namespace {

// A reply line longer than this is no reply of the daemon's.
constexpr int kMaxLine = 4096;

bool ReadNumber(const QByteArray& text, double& value) {
  bool ok = false;
  value = text.trimmed().toDouble(&ok);  // always the period, whatever the locale
  return ok && std::isfinite(value);
}

}  // namespace

double CompassAzimuth(double table_azimuth) {
  return Wrap360(360 - table_azimuth);
}

QString RotatorErrorText(int code) {
  static const char* const kMeanings[] = {
      "done",
      "invalid parameter",
      "invalid configuration",
      "out of memory",
      "not implemented",
      "communication timed out",
      "input/output error",
      "internal error",
      "protocol error",
      "command rejected by the rotator",
      "argument truncated",
      "not available",
      "target not reachable",
  };
  const int index = -code;
  const QString meaning = index >= 0 && index < int(std::size(kMeanings))
                              ? QString::fromLatin1(kMeanings[index])
                              : QStringLiteral("unknown error");
  return QStringLiteral("RPRT %1 (%2)").arg(code).arg(meaning);
}

RotatorLink::RotatorLink() {
  SetTimes(3000, 1000, 5000);
  poll_.callOnTimeout([this] {
    if (state_ != State::kConnected) return;
    auto reading = [](const Command& c) { return c.kind == Kind::kPosition; };
    const bool pending = std::any_of(in_flight_.begin(), in_flight_.end(), reading) ||
                         std::any_of(queue_.begin(), queue_.end(), reading);
    if (!pending) Send("p\n", Kind::kPosition);
  });
  reply_timer_.callOnTimeout([this] {
    // An old daemon may end its state dump without a closing line: keep what
    // it said and go on. One that has said nothing yet is too slow to tell
    // its late lines from the next reply's.
    if (!in_flight_.empty() && in_flight_.front().kind == Kind::kState && lines_ > 0) {
      return Finish();
    }
    Fail(State::kLost, QStringLiteral("no reply from the rotator daemon"));
  });
  connect_timer_.callOnTimeout(
      [this] { Fail(State::kError, QStringLiteral("the rotator daemon did not answer")); });
  QObject::connect(&socket_, &QTcpSocket::connected, [this] {
    connect_timer_.stop();
    state_ = State::kConnected;  // with no message: Connect began by clearing the last
    Send("\\dump_state\n", Kind::kState);
    Send("p\n", Kind::kPosition);
    poll_.start();
    Notify();
  });
  QObject::connect(&socket_, &QTcpSocket::readyRead, [this] { OnReadyRead(); });
  QObject::connect(&socket_, &QTcpSocket::disconnected, [this] {
    if (state_ == State::kConnected)
      Fail(State::kLost, QStringLiteral("the daemon closed the connection"));
  });
  QObject::connect(&socket_, &QTcpSocket::errorOccurred, [this](QAbstractSocket::SocketError) {
    if (state_ == State::kConnecting) Fail(State::kError, socket_.errorString());
  });
}

RotatorLink::~RotatorLink() {
  Changed = nullptr;
  socket_.abort();
}

void RotatorLink::SetTimes(int reply, int poll, int connect) {
  reply_timer_.setInterval(reply);
  poll_.setInterval(poll);
  connect_timer_.setInterval(connect);
}

void RotatorLink::Connect(const QString& host, quint16 port) {
  Disconnect();
  limits_ = Limits{};  // the next daemon says its own
  state_ = State::kConnecting;
  socket_.connectToHost(host, port);
  connect_timer_.start();
  Notify();
}

void RotatorLink::Disconnect() {
  Fail(State::kDisconnected, QString());
}

std::optional<RotatorLink::Pointing> RotatorLink::Position() const {
  if (!position_) return std::nullopt;
  return Pointing{position_->azimuth - azimuth_offset_, position_->elevation - elevation_offset_};
}

void RotatorLink::SetOffsets(double azimuth, double elevation) {
  azimuth_offset_ = std::isfinite(azimuth) ? azimuth : 0;
  elevation_offset_ = std::isfinite(elevation) ? elevation : 0;
}

QByteArray RotatorLink::PointCommand(double azimuth, double elevation) {
  return "P " + QByteArray::number(azimuth, 'f', 2) + ' ' + QByteArray::number(elevation, 'f', 2) +
         '\n';
}

std::optional<double> RotatorLink::Reach(double azimuth, double elevation, QString* why,
                                         const std::vector<double>& path,
                                         std::optional<int>* unwind_at) const {
  auto refuse = [why](const QString& text) {
    if (why) *why = text;
    return std::nullopt;
  };
  if (state_ != State::kConnected) return refuse(QStringLiteral("the rotator is not connected"));
  // What the rotator is sent, the pointing correction added.
  const double sent_elevation = elevation + elevation_offset_;
  if (!(sent_elevation >= limits_.min_elevation && sent_elevation <= limits_.max_elevation)) {
    return refuse(QStringLiteral("elevation %1° is outside the rotator's %2° to %3°")
                      .arg(QString::number(sent_elevation, 'f', 1))
                      .arg(limits_.min_elevation)
                      .arg(limits_.max_elevation));
  }
  std::optional<double> from;
  if (position_) from = position_->azimuth;
  std::optional<double> turn;
  if (path.empty()) {
    turn = ChooseTurn(azimuth + azimuth_offset_, limits_.min_azimuth, limits_.max_azimuth, from);
  } else {
    std::vector<double> sent_path(path);
    for (double& bearing : sent_path) bearing += azimuth_offset_;
    const TurnPlan plan = PlanTurn(sent_path, limits_.min_azimuth, limits_.max_azimuth, from);
    turn = plan.azimuth;
    if (unwind_at) *unwind_at = plan.unwind_at;
  }
  if (!turn) {
    return refuse(QStringLiteral("azimuth %1° is outside the rotator's %2° to %3°")
                      .arg(QString::number(azimuth + azimuth_offset_, 'f', 1))
                      .arg(limits_.min_azimuth)
                      .arg(limits_.max_azimuth));
  }
  return turn;
}

bool RotatorLink::Point(double azimuth, double elevation, QString* why,
                        const std::vector<double>& path, std::optional<int>* unwind_at) {
  const std::optional<double> turn = Reach(azimuth, elevation, why, path, unwind_at);
  if (!turn) return false;
  // The newest target replaces one still waiting: a slow daemon is never
  // handed a backlog of places the source has already left.
  std::erase_if(queue_, [](const Command& c) { return c.text.startsWith("P "); });
  Send(PointCommand(*turn, elevation + elevation_offset_), Kind::kSimple);
  target_ = Pointing{Wrap360(azimuth), elevation};
  return true;
}

void RotatorLink::Stop() {
  SendNow("S\n");
}

bool RotatorLink::Park(QString* why, std::optional<std::pair<double, double>> own) {
  if (!own) {
    SendNow("K\n");
    return state_ == State::kConnected;
  }
  const std::optional<double> turn = Reach(own->first, own->second, why, {}, nullptr);
  if (!turn) return false;
  SendNow(PointCommand(*turn, own->second + elevation_offset_));
  target_ = Pointing{Wrap360(own->first), own->second};
  return true;
}

QString RotatorLink::StateText() const {
  switch (state_) {
    case State::kDisconnected:
      return QStringLiteral("Antenna: not connected");
    case State::kConnecting:
      return QStringLiteral("Antenna: connecting");
    case State::kConnected: {
      QString text = QStringLiteral("Antenna: connected");
      if (const auto at = Position()) {
        // The compass bearing, as the readout gives it, whatever the turn.
        const double bearing = Wrap360(at->azimuth);
        text += QStringLiteral(", az %1° el %2°")
                    .arg(QString::number(bearing, 'f', 1), QString::number(at->elevation, 'f', 1));
      }
      return message_.isEmpty() ? text : text + QStringLiteral("; ") + message_;
    }
    case State::kLost:
      return QStringLiteral("Antenna: connection lost (%1); Antenna > Reconnect").arg(message_);
    case State::kError:
      return QStringLiteral("Antenna: error (%1); Antenna > Reconnect").arg(message_);
  }
  return {};
}

void RotatorLink::Send(QByteArray text, Kind kind) {
  queue_.push_back({std::move(text), kind});
  SendNext();
}

void RotatorLink::SendNow(QByteArray text) {
  if (state_ != State::kConnected) return;
  queue_.clear();
  // The daemon reads its commands in order, so this one goes straight out
  // behind the one it is answering, if any; its reply follows that one's.
  Write({std::move(text), Kind::kSimple});
}

void RotatorLink::Write(Command command) {
  socket_.write(command.text);
  in_flight_.push_back(std::move(command));
  if (in_flight_.size() == 1) {
    numbers_.clear();
    lines_ = 0;
    reply_timer_.start();
  }
}

void RotatorLink::SendNext() {
  if (!in_flight_.empty() || queue_.empty() || state_ != State::kConnected) return;
  Command next = std::move(queue_.front());
  queue_.pop_front();
  Write(std::move(next));
}

void RotatorLink::OnReadyRead() {
  buffer_ += socket_.readAll();
  for (qsizetype end = buffer_.indexOf('\n'); end >= 0; end = buffer_.indexOf('\n')) {
    QByteArray line = buffer_.left(end);
    buffer_.remove(0, end + 1);
    if (line.endsWith('\r')) line.chop(1);
    ++lines_;
    if (in_flight_.empty() || !OnLine(line)) {
      return Fail(
          State::kError,
          QStringLiteral("unexpected reply \"%1\"").arg(QString::fromLatin1(line.left(40))));
    }
  }
  if (buffer_.size() > kMaxLine) Fail(State::kError, QStringLiteral("a reply without end"));
}

bool RotatorLink::OnLine(const QByteArray& line) {
  if (line.startsWith("RPRT ")) {
    bool ok = false;
    const int code = line.mid(5).trimmed().toInt(&ok);
    if (!ok) return false;
    // Each answer replaces the last: an error stays only until a success.
    message_.clear();
    if (code != 0) {
      message_ = RotatorErrorText(code);
    } else if (in_flight_.front().text == "S\n") {
      message_ = QStringLiteral("stop confirmed");
    } else if (in_flight_.front().text == "K\n") {
      message_ = QStringLiteral("park confirmed");
    }
    Finish();
    return true;
  }
  switch (in_flight_.front().kind) {
    case Kind::kPosition: {
      double value;
      if (!ReadNumber(line, value)) return false;
      numbers_.push_back(value);
      if (numbers_.size() == 2) {
        position_ = Pointing{numbers_[0], numbers_[1]};
        Finish();
      }
      return true;
    }
    case Kind::kState: {
      if (line == "done") {
        Finish();
        return true;
      }
      const qsizetype equals = line.indexOf('=');
      double value;
      if (equals > 0 && ReadNumber(line.mid(equals + 1), value)) {
        const QByteArray key = line.left(equals);
        if (key == "min_az") limits_.min_azimuth = value;
        if (key == "max_az") limits_.max_azimuth = value;
        if (key == "min_el") limits_.min_elevation = value;
        if (key == "max_el") limits_.max_elevation = value;
      }
      return true;
    }
    case Kind::kSimple:
      return false;  // only RPRT answers these
  }
  return false;
}

void RotatorLink::Finish() {
  // The reply's numbers and lines start again where a command goes out first:
  // a position read and the state dump always do.
  in_flight_.pop_front();
  reply_timer_.stop();
  if (!in_flight_.empty()) reply_timer_.start();
  Notify();
  SendNext();
}

// Ends the link, whatever it was doing, in `state`, with `message` to tell.
void RotatorLink::Fail(State state, const QString& message) {
  queue_.clear();
  in_flight_.clear();
  buffer_.clear();
  poll_.stop();
  reply_timer_.stop();
  connect_timer_.stop();
  position_.reset();
  target_.reset();
  state_ = state;
  message_ = message;
  socket_.abort();
  Notify();
}

void RotatorLink::Notify() {
  if (Changed) Changed();
}

}  // namespace skyvane
