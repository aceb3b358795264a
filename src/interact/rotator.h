// SPDX-License-Identifier: GPL-3.0-or-later
// The antenna's rotator, through the rotator daemon's plain text protocol
// (rotctld): one command at a time, every reply read to its end and matched
// to the command that asked for it, on the event thread without ever
// blocking it. At most one pointing waits to be sent, the newest; Stop and
// Park go out at once, ahead of anything waiting.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTcpSocket>
#include <QTimer>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace skyvane {

// Compass bearing (north 0, east 90) of a table azimuth (north towards
// west), in 0..360.
double CompassAzimuth(double table_azimuth);

// The meaning of a daemon's RPRT code ("RPRT -8": "protocol error").
QString RotatorErrorText(int code);

class RotatorLink {
 public:
  enum class State { kDisconnected, kConnecting, kConnected, kLost, kError };
  struct Pointing {
    double azimuth;    // compass degrees
    double elevation;  // degrees
  };
  struct Limits {
    double min_azimuth = 0, max_azimuth = 360, min_elevation = 0, max_elevation = 90;
  };

  RotatorLink();
  ~RotatorLink();

  // Runs whenever the state, the position read or the message changes.
  std::function<void()> Changed;

  void Connect(const QString& host, quint16 port);
  void Disconnect();
  // Queues "P az el" for compass `azimuth`, in place of any pointing still
  // waiting. The rotator's turn is the one nearest its last known azimuth,
  // or with `path` (the target's compass bearings from now on, `azimuth`
  // first) the one that follows the whole path (PlanTurn); `unwind_at` then
  // receives the index of the bearing where the rotator must go back round,
  // if it must. False (and nothing sent) when not connected or the target
  // lies outside the rotator's limits; `why` then says so.
  bool Point(double azimuth, double elevation, QString* why, const std::vector<double>& path = {},
             std::optional<int>* unwind_at = nullptr);
  // Send at once: whatever waits is dropped. Park goes to `own` (a compass
  // azimuth and elevation, sent as a pointing) for a mount whose daemon has
  // no park of its own; false, with `why`, when that lies out of reach.
  void Stop();
  bool Park(QString* why = nullptr, std::optional<std::pair<double, double>> own = std::nullopt);
  // A pointing correction: added to every pointing sent, taken off every
  // position read. Degrees.
  void SetOffsets(double azimuth, double elevation);

  State state() const { return state_; }
  // The position last read with "p", while connected, the offsets taken
  // off; the azimuth in the rotator's own turn.
  std::optional<Pointing> Position() const;
  // The last pointing sent on this connection (compass azimuth, 0..360).
  std::optional<Pointing> Target() const { return target_; }
  Limits limits() const { return limits_; }
  // The last thing worth telling the user: an error with its meaning, or why
  // the connection was lost.
  QString Message() const { return message_; }
  QString StateText() const;

  // Milliseconds: a reply must come within `reply`, the position is read
  // every `poll`, a connection must be made within `connect`.
  void SetTimes(int reply, int poll, int connect);

 private:
  enum class Kind { kPosition, kSimple, kState };
  struct Command {
    QByteArray text;
    Kind kind;
  };
  void Send(QByteArray text, Kind kind);
  void SendNow(QByteArray text);
  void Write(Command command);
  void SendNext();
  void OnReadyRead();
  // Handles one complete reply line; false when the line makes no sense.
  bool OnLine(const QByteArray& line);
  void Finish();
  void Fail(State state, const QString& message);
  void Notify();

  QTcpSocket socket_;
  QTimer poll_, reply_timer_, connect_timer_;
  std::deque<Command> queue_;      // not yet written
  std::deque<Command> in_flight_;  // written, replies awaited in this order
  QByteArray buffer_;
  std::vector<double> numbers_;  // value lines of the reply being read
  int lines_ = 0;                // lines of the reply being read
  State state_ = State::kDisconnected;
  std::optional<Pointing> position_;  // as read
  std::optional<Pointing> target_;
  double azimuth_offset_ = 0, elevation_offset_ = 0;
  // The rotator's own azimuth for a compass bearing, or why not.
  std::optional<double> Reach(double azimuth, double elevation, QString* why,
                              const std::vector<double>& path, std::optional<int>* unwind_at) const;
  static QByteArray PointCommand(double azimuth, double elevation);
  Limits limits_;
  QString message_;
};

}  // namespace skyvane
