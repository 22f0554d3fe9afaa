#include <windows.h>

#include <chrono>
#include <thread>

#include "tessaldo/platform/beeper.h"

namespace tessaldo::platform {
namespace {

class Win32Beeper final : public Beeper {
 public:
  void Beep(unsigned frequencyHz, unsigned durationMs) override {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(durationMs);
    if (durationMs == 0) return;
    ::Beep(frequencyHz, durationMs);
    // Beep fails at once for frequencies outside 37..32767 Hz and returns
    // early on systems without a tone generator; the caller waits the same.
    std::this_thread::sleep_until(end);
  }
};

}  // namespace

std::unique_ptr<Beeper> MakeSystemBeeper() {
  return std::make_unique<Win32Beeper>();
}

}  // namespace tessaldo::platform
