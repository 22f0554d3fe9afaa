#include "tessaldo/about_window/autore_rules.h"

namespace tessaldo::autore {

std::chrono::microseconds TickDue(std::chrono::microseconds now,
                                  std::chrono::milliseconds interval) {
  using std::chrono::microseconds;
  const microseconds earliest = now + interval;
  const microseconds tick = (earliest + kSystemTick - microseconds(1)) / kSystemTick * kSystemTick;
  return tick - now;
}

}  // namespace tessaldo::autore
