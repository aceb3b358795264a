// SPDX-License-Identifier: GPL-3.0-or-later
#include "interact/rotator.h"

#include <algorithm>
#include <cmath>
#include <iterator>

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
  double a = std::fmod(360 - table_azimuth, 360.0);
  if (a < 0) a += 360;
  return a;
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
    const bool pending = (waiting_ && waiting_->kind == Kind::kPosition) ||
                         std::any_of(queue_.begin(), queue_.end(),
                                     [](const Command& c) { return c.kind == Kind::kPosition; });
    if (!pending) Send("p\n", Kind::kPosition);
  });
  reply_timer_.callOnTimeout([this] {
    // An old daemon may end its state dump without a closing line: keep what
    // it said and go on.
    if (waiting_ && waiting_->kind == Kind::kState) return Finish();
    Fail(State::kLost, QStringLiteral("no reply from the rotator daemon"));
  });
  connect_timer_.callOnTimeout(
      [this] { Fail(State::kError, QStringLiteral("the rotator daemon did not answer")); });
  QObject::connect(&socket_, &QTcpSocket::connected, [this] {
    connect_timer_.stop();
    state_ = State::kConnected;
    message_.clear();
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
  state_ = State::kConnecting;
  socket_.connectToHost(host, port);
  connect_timer_.start();
  Notify();
}

void RotatorLink::Disconnect() {
  Fail(State::kDisconnected, QString());
}

bool RotatorLink::Point(double azimuth, double elevation, QString* why) {
  auto refuse = [why](const QString& text) {
    if (why) *why = text;
    return false;
  };
  if (state_ != State::kConnected) return refuse(QStringLiteral("the rotator is not connected"));
  if (!(elevation >= limits_.min_elevation && elevation <= limits_.max_elevation)) {
    return refuse(QStringLiteral("elevation %1° is outside the rotator's %2° to %3°")
                      .arg(QString::number(elevation, 'f', 1))
                      .arg(limits_.min_elevation)
                      .arg(limits_.max_elevation));
  }
  // A rotator whose range runs past north (-180..180, 0..450) takes the
  // bearing in whichever of its turns holds it.
  for (double a : {azimuth, azimuth - 360, azimuth + 360}) {
    if (a >= limits_.min_azimuth && a <= limits_.max_azimuth) {
      Send(
          "P " + QByteArray::number(a, 'f', 2) + ' ' + QByteArray::number(elevation, 'f', 2) + '\n',
          Kind::kSimple);
      return true;
    }
  }
  return refuse(QStringLiteral("azimuth %1° is outside the rotator's %2° to %3°")
                    .arg(azimuth, 0, 'f', 1)
                    .arg(limits_.min_azimuth)
                    .arg(limits_.max_azimuth));
}

void RotatorLink::Stop() {
  if (state_ == State::kConnected) Send("S\n", Kind::kSimple);
}

void RotatorLink::Park() {
  if (state_ == State::kConnected) Send("K\n", Kind::kSimple);
}

QString RotatorLink::StateText() const {
  switch (state_) {
    case State::kDisconnected:
      return QStringLiteral("Antenna: not connected");
    case State::kConnecting:
      return QStringLiteral("Antenna: connecting");
    case State::kConnected: {
      QString text = QStringLiteral("Antenna: connected");
      if (position_) {
        text += QStringLiteral(", az %1° el %2°")
                    .arg(QString::number(position_->azimuth, 'f', 1),
                         QString::number(position_->elevation, 'f', 1));
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

void RotatorLink::SendNext() {
  if (waiting_ || queue_.empty() || state_ != State::kConnected) return;
  waiting_ = queue_.front();
  queue_.pop_front();
  numbers_.clear();
  socket_.write(waiting_->text);
  reply_timer_.start();
}

void RotatorLink::OnReadyRead() {
  buffer_ += socket_.readAll();
  for (qsizetype end = buffer_.indexOf('\n'); end >= 0; end = buffer_.indexOf('\n')) {
    QByteArray line = buffer_.left(end);
    buffer_.remove(0, end + 1);
    if (line.endsWith('\r')) line.chop(1);
    if (!waiting_ || !OnLine(line)) {
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
    if (code != 0) message_ = RotatorErrorText(code);
    Finish();
    return true;
  }
  switch (waiting_->kind) {
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
  waiting_.reset();
  reply_timer_.stop();
  Notify();
  SendNext();
}

// Ends the link, whatever it was doing, in `state`, with `message` to tell.
void RotatorLink::Fail(State state, const QString& message) {
  queue_.clear();
  waiting_.reset();
  buffer_.clear();
  poll_.stop();
  reply_timer_.stop();
  connect_timer_.stop();
  position_.reset();
  state_ = state;
  message_ = message;
  socket_.abort();
  Notify();
}

void RotatorLink::Notify() {
  if (Changed) Changed();
}

}  // namespace skyvane
