#include "tessaldo/about_window/tick_timer.h"

namespace tessaldo {

using std::chrono::microseconds;
using std::chrono::milliseconds;

TickTimer::TickTimer(milliseconds interval, QObject* parent)
    : QObject(parent), interval_(interval) {
  wake_.setSingleShot(true);
  wake_.setTimerType(Qt::PreciseTimer);
  connect(&wake_, &QTimer::timeout, this, &TickTimer::Fire);
}

void TickTimer::start() {
  active_ = true;
  Arm();
}

void TickTimer::start(milliseconds interval) {
  interval_ = interval;
  start();
}

void TickTimer::stop() {
  active_ = false;
  wake_.stop();
}

// The ticks are counted on the monotonic clock; the wake-up comes at the tick's millisecond or
// just after it.
void TickTimer::Arm() {
  const auto now =
      std::chrono::duration_cast<microseconds>(std::chrono::steady_clock::now().time_since_epoch());
  wake_.start(std::chrono::ceil<milliseconds>(autore::TickDue(now, interval_)));
}

void TickTimer::Fire() {
  if (!active_) return;
  Arm();
  emit timeout();
}

}  // namespace tessaldo
