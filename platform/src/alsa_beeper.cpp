#include "tessaldo/platform/alsa_beeper.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <numbers>
#include <span>
#include <thread>
#include <utility>

namespace tessaldo::platform {
namespace {

constexpr double kAmplitude = 0.3 * 32767.0;
constexpr unsigned kFadeFrames = kAlsaToneRate * 4 / 1000;  // 4 ms against clicks
constexpr unsigned kLatencyUs = 50'000;
constexpr std::size_t kChunkFrames = kAlsaToneRate / 20;

// ALSA reports open and playback errors on stderr by default; a failing
// device is an expected case here, so its messages are dropped.
void SilentAlsaErrors(const char*, int, const char*, int, const char*, ...) {}

void SilenceAlsaOnce() {
  static std::once_flag once;
  std::call_once(once, [] { snd_lib_error_set_handler(&SilentAlsaErrors); });
}

// The tone: a sine of the frequency, faded in and out over a few milliseconds
// against clicks. Frequencies the device cannot carry give silence of the
// same length.
class Tone {
 public:
  Tone(unsigned frequencyHz, unsigned durationMs)
      : frames_(static_cast<std::uint64_t>(durationMs) * kAlsaToneRate / 1000),
        fade_(std::min<std::uint64_t>(kFadeFrames, frames_ / 2)),
        audible_(frequencyHz > 0 && frequencyHz < kAlsaToneRate / 2),
        step_(2.0 * std::numbers::pi * frequencyHz / kAlsaToneRate) {}

  std::uint64_t frames() const { return frames_; }

  // Writes the samples from frame `first` on into `out`.
  void Render(std::uint64_t first, std::span<std::int16_t> out) const {
    for (std::size_t k = 0; k < out.size(); ++k) {
      const std::uint64_t i = first + k;
      if (!audible_) {
        out[k] = 0;
        continue;
      }
      double gain = 1.0;
      if (i < fade_) gain = static_cast<double>(i) / fade_;
      if (frames_ - 1 - i < fade_) gain = static_cast<double>(frames_ - 1 - i) / fade_;
      // The phase is taken per period so that it stays exact on long tones.
      const double phase = step_ * static_cast<double>(i % kAlsaToneRate);
      out[k] = static_cast<std::int16_t>(std::lround(kAmplitude * gain * std::sin(phase)));
    }
  }

 private:
  std::uint64_t frames_;
  std::uint64_t fade_;
  bool audible_;
  double step_;
};

class PcmHandle {
 public:
  explicit PcmHandle(snd_pcm_t* pcm) : pcm_(pcm) {}
  PcmHandle(const PcmHandle&) = delete;
  PcmHandle& operator=(const PcmHandle&) = delete;
  ~PcmHandle() {
    if (pcm_ != nullptr) snd_pcm_close(pcm_);
  }
  snd_pcm_t* get() const { return pcm_; }

 private:
  snd_pcm_t* pcm_;
};

// Plays the tone to its end; false when the device fails on the way.
bool Play(const std::string& device, const Tone& tone) {
  snd_pcm_t* raw = nullptr;
  if (snd_pcm_open(&raw, device.c_str(), SND_PCM_STREAM_PLAYBACK, 0) < 0) return false;
  PcmHandle pcm(raw);
  if (snd_pcm_set_params(pcm.get(), SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, 1,
                         kAlsaToneRate, 1, kLatencyUs) < 0) {
    return false;
  }
  std::array<std::int16_t, kChunkFrames> chunk;
  for (std::uint64_t first = 0; first < tone.frames();) {
    const auto count =
        static_cast<std::size_t>(std::min<std::uint64_t>(kChunkFrames, tone.frames() - first));
    tone.Render(first, std::span(chunk).first(count));
    std::size_t done = 0;
    while (done < count) {
      snd_pcm_sframes_t written = snd_pcm_writei(pcm.get(), chunk.data() + done, count - done);
      if (written < 0) written = snd_pcm_recover(pcm.get(), static_cast<int>(written), 1);
      if (written < 0) return false;
      done += static_cast<std::size_t>(written);
    }
    first += count;
  }
  return snd_pcm_drain(pcm.get()) >= 0;
}

class AlsaBeeper final : public Beeper {
 public:
  explicit AlsaBeeper(std::string device) : device_(std::move(device)) { SilenceAlsaOnce(); }

  void Beep(unsigned frequencyHz, unsigned durationMs) override {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(durationMs);
    if (durationMs == 0) return;
    Play(device_, Tone(frequencyHz, durationMs));
    // Devices that swallow samples at once, and failed ones, would return
    // early; the caller is held for the tone's length in every case.
    std::this_thread::sleep_until(end);
  }

 private:
  std::string device_;
};

}  // namespace

std::unique_ptr<Beeper> MakeAlsaBeeper(std::string device) {
  return std::make_unique<AlsaBeeper>(std::move(device));
}

std::unique_ptr<Beeper> MakeSystemBeeper() {
  return MakeAlsaBeeper("default");
}

}  // namespace tessaldo::platform
