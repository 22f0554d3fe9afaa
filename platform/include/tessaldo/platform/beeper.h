#pragma once

#include <memory>

namespace tessaldo::platform {

// The refusal tone: a tone of the given frequency and duration; the call
// returns when the tone has ended.
class Beeper {
 public:
  virtual ~Beeper() = default;
  virtual void Beep(unsigned frequencyHz, unsigned durationMs) = 0;
};

// kernel32 Beep on Windows; a tone played through ALSA elsewhere.
std::unique_ptr<Beeper> MakeSystemBeeper();

}  // namespace tessaldo::platform
