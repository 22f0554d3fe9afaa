#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>

#include "tessaldo/about_window/autore_rules.h"

namespace tessaldo {

// A window timer as the system the about window was designed for runs it: it fires on the
// system's timer tick, 64 times a second, at the first tick once its interval has passed since
// it last fired or was started. So an interval shorter than a tick fires on every tick.
class TickTimer final : public QObject {
  Q_OBJECT

 public:
  static constexpr std::chrono::microseconds kTick = autore::kSystemTick;

  TickTimer(std::chrono::milliseconds interval, QObject* parent);

  void start();
  void start(std::chrono::milliseconds interval);
  void stop();
  bool isActive() const { return active_; }

 signals:
  void timeout();

 private:
  void Arm();
  void Fire();

  std::chrono::milliseconds interval_;
  QTimer wake_;
  bool active_ = false;
};

}  // namespace tessaldo
