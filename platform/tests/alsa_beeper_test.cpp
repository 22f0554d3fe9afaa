// The beeper plays through ALSA's file plugin, whose null slave discards the
// sound while the samples land in a WAV file; the file is then measured.
#include "tessaldo/platform/alsa_beeper.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace tessaldo::platform {
namespace {

namespace fs = std::filesystem;

struct Wav {
  unsigned channels = 0;
  unsigned rate = 0;
  unsigned bits = 0;
  std::vector<std::int16_t> samples;
};

// A WAV file of the test's own, removed once read.
fs::path WavFile(const char* name) {
  return fs::temp_directory_path() /
         ("tessaldo-" + std::to_string(::getpid()) + "-" + name + ".wav");
}

// Beeps, checks that the call lasted the tone, and reads what was played
// into `file`: the file plugin's 44-byte header, whose "fmt " chunk
// describes the samples, then the samples to the end of the file (the
// plugin may leave the data length unset).
std::optional<Wav> Beep(Beeper& beeper, unsigned frequencyHz, unsigned durationMs,
                        const fs::path& file) {
  const auto start = std::chrono::steady_clock::now();
  beeper.Beep(frequencyHz, durationMs);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(durationMs - 10));
  std::ifstream in(file, std::ios::binary);
  const std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), {});
  fs::remove(file);
  const auto le = [&](std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + i];
    return v;
  };
  if (b.size() < 44 || std::string(b.begin() + 8, b.begin() + 16) != "WAVEfmt " ||
      std::string(b.begin() + 36, b.begin() + 40) != "data") {
    return std::nullopt;
  }
  Wav wav{le(22, 2), le(24, 4), le(34, 2), {}};
  for (std::size_t i = 44; i + 1 < b.size(); i += 2) {
    wav.samples.push_back(static_cast<std::int16_t>(le(i, 2)));
  }
  return wav;
}

// Duration: from the first to the last non-silent sample. Frequency: the
// rises through zero (a negative sample followed, after any zeros, by a
// positive one), counted over the span from the first to the last.
void ExpectTone(const std::optional<Wav>& wav, unsigned frequencyHz, unsigned durationMs) {
  ASSERT_TRUE(wav.has_value()) << "no WAV written";
  EXPECT_EQ(wav->channels, 1u);
  EXPECT_EQ(wav->bits, 16u);
  ASSERT_EQ(wav->rate, kAlsaToneRate);
  const auto& s = wav->samples;
  std::vector<std::size_t> sounding;
  std::vector<std::size_t> rising;
  int peak = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == 0) continue;
    if (s[i] > 0 && !sounding.empty() && s[sounding.back()] < 0) rising.push_back(i);
    sounding.push_back(i);
    peak = std::max(peak, std::abs(static_cast<int>(s[i])));
  }
  ASSERT_GE(rising.size(), 2u) << "no tone";
  const double duration = 1000.0 * (sounding.back() + 1 - sounding.front()) / wav->rate;
  const double frequency = 1.0 * (rising.size() - 1) * wav->rate / (rising.back() - rising.front());
  std::printf("[ measured ] %.2f Hz for %.2f ms, peak %d\n", frequency, duration, peak);
  EXPECT_NEAR(frequency, frequencyHz, 2.0);
  EXPECT_NEAR(duration, durationMs, 10.0);
  EXPECT_GT(peak, 3000) << "tone too quiet to hear";
}

TEST(AlsaBeeper, SystemBeeperPlaysTheRefusalToneOnTheDefaultDeviceToItsEnd) {
  const fs::path file = WavFile("default");
  const fs::path config = WavFile("asound").replace_extension(".conf");
  std::ofstream(config) << "pcm.!default {\n  type file\n  slave.pcm null\n  file \""
                        << file.string() << "\"\n  format wav\n}\npcm.null { type null }\n";
  const char* old = getenv("ALSA_CONFIG_PATH");
  const std::optional<std::string> saved = old ? std::optional<std::string>(old) : std::nullopt;
  setenv("ALSA_CONFIG_PATH", config.c_str(), 1);
  const auto wav = Beep(*MakeSystemBeeper(), 200, 200, file);
  saved ? setenv("ALSA_CONFIG_PATH", saved->c_str(), 1) : unsetenv("ALSA_CONFIG_PATH");
  fs::remove(config);
  ExpectTone(wav, 200, 200);
}

TEST(AlsaBeeper, PlaysTheToneAskedForOnTheNamedDevice) {
  const fs::path file = WavFile("tone");
  ExpectTone(Beep(*MakeAlsaBeeper("file:'" + file.string() + "',wav"), 1000, 350, file), 1000, 350);
}

TEST(AlsaBeeper, InaudibleFrequencyGivesSilenceOfTheDuration) {
  const fs::path file = WavFile("silent");
  const auto wav = Beep(*MakeAlsaBeeper("file:'" + file.string() + "',wav"), 30000, 200, file);
  ASSERT_TRUE(wav.has_value());
  EXPECT_EQ(wav->samples, std::vector<std::int16_t>(kAlsaToneRate / 5, 0));
}

TEST(AlsaBeeper, DeviceThatCannotBeOpenedStillBlocksForTheDurationSilently) {
  ::testing::internal::CaptureStderr();
  Beep(*MakeAlsaBeeper("tessaldo_no_such_device"), 200, 200, WavFile("none"));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

}  // namespace
}  // namespace tessaldo::platform
