#pragma once

#include <memory>
#include <string>

#include "tessaldo/platform/beeper.h"

namespace tessaldo::platform {

// Sample format of the tone written to the PCM device.
inline constexpr unsigned kAlsaToneRate = 48000;  // frames per second, mono, S16_LE

// A beeper playing a sine tone on the named ALSA PCM device ("default" for the
// system's sound). The call returns when the tone has ended and never before
// its duration has passed, also when the device cannot be opened or fails.
std::unique_ptr<Beeper> MakeAlsaBeeper(std::string device);

}  // namespace tessaldo::platform
