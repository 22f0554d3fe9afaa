// The beeper plays through ALSA's file plugin, whose null slave discards the
// sound while the samples land in a WAV file; the file is then measured.
#include "tessaldo/platform/alsa_beeper.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tessaldo::platform {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;
using std::chrono::steady_clock;

struct Wav {
  unsigned format = 0;
  unsigned channels = 0;
  unsigned rate = 0;
  unsigned bits = 0;
  std::vector<std::int16_t> samples;
};

std::uint32_t Le(const std::vector<unsigned char>& b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + i];
  return v;
}

// Reads a RIFF WAV file; the data chunk runs to the end of the file, as the
// file plugin may leave its length unset.
std::optional<Wav> ReadWav(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), {});
  if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF" ||
      std::string(b.begin() + 8, b.begin() + 12) != "WAVE") {
    return std::nullopt;
  }
  Wav wav;
  for (std::size_t at = 12; at + 8 <= b.size();) {
    const std::string id(b.begin() + at, b.begin() + at + 4);
    const std::size_t size = Le(b, at + 4, 4);
    const std::size_t body = at + 8;
    if (id == "fmt " && body + 16 <= b.size()) {
      wav.format = Le(b, body, 2);
      wav.channels = Le(b, body + 2, 2);
      wav.rate = Le(b, body + 4, 4);
      wav.bits = Le(b, body + 14, 2);
    } else if (id == "data") {
      for (std::size_t i = body; i + 1 < b.size(); i += 2) {
        wav.samples.push_back(static_cast<std::int16_t>(Le(b, i, 2)));
      }
      return wav;
    }
    at = body + size + (size & 1);
  }
  return std::nullopt;
}

struct Measure {
  double durationMs = 0;
  double frequencyHz = 0;
  int peak = 0;
};

// Duration: from the first to the last non-silent sample. Frequency: rising
// zero crossings, placed between samples by linear interpolation, counted
// over the span from the first to the last.
Measure Analyse(const std::vector<std::int16_t>& s, unsigned rate) {
  Measure m;
  const auto first = std::find_if(s.begin(), s.end(), [](auto v) { return v != 0; });
  if (first == s.end()) return m;
  const auto last = std::find_if(s.rbegin(), s.rend(), [](auto v) { return v != 0; });
  m.durationMs = 1000.0 * static_cast<double>(last.base() - first + 1) / rate;
  // A rise is a negative sample followed, after any zeros, by a positive one.
  std::vector<double> rising;
  std::optional<std::size_t> lastNonZero;
  for (std::size_t i = 0; i < s.size(); ++i) {
    m.peak = std::max(m.peak, std::abs(static_cast<int>(s[i])));
    if (s[i] == 0) continue;
    if (s[i] > 0 && lastNonZero && s[*lastNonZero] < 0) {
      const double a = s[*lastNonZero];
      const double b = s[i];
      rising.push_back(static_cast<double>(*lastNonZero) + (i - *lastNonZero) * -a / (b - a));
    }
    lastNonZero = i;
  }
  if (rising.size() >= 2) {
    m.frequencyHz =
        static_cast<double>(rising.size() - 1) * rate / (rising.back() - rising.front());
  }
  return m;
}

class BeeperTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "tessaldo-beep-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  // An ALSA device string writing the played samples into `file`.
  static std::string FileDevice(const fs::path& file) { return "file:'" + file.string() + "',wav"; }

  // Beeps and returns the wall time the call took.
  static milliseconds TimedBeep(Beeper& beeper, unsigned frequencyHz, unsigned durationMs) {
    const auto start = steady_clock::now();
    beeper.Beep(frequencyHz, durationMs);
    return std::chrono::duration_cast<milliseconds>(steady_clock::now() - start);
  }

  static void ExpectTone(const fs::path& file, unsigned frequencyHz, unsigned durationMs) {
    const auto wav = ReadWav(file);
    ASSERT_TRUE(wav.has_value()) << "no WAV written to " << file;
    EXPECT_EQ(wav->format, 1u);  // PCM
    EXPECT_EQ(wav->channels, 1u);
    EXPECT_EQ(wav->bits, 16u);
    ASSERT_EQ(wav->rate, kAlsaToneRate);
    const Measure m = Analyse(wav->samples, wav->rate);
    std::printf("[ measured ] %.2f Hz for %.2f ms, peak %d\n", m.frequencyHz, m.durationMs, m.peak);
    EXPECT_NEAR(m.frequencyHz, frequencyHz, 2.0);
    EXPECT_NEAR(m.durationMs, durationMs, 10.0);
    EXPECT_GT(m.peak, 3000) << "tone too quiet to hear";
  }

  fs::path dir_;
};

struct Tone {
  unsigned frequencyHz;
  unsigned durationMs;
  friend void PrintTo(const Tone& t, std::ostream* os) {
    *os << t.frequencyHz << " Hz for " << t.durationMs << " ms";
  }
};

class BeeperToneTest : public BeeperTest, public ::testing::WithParamInterface<Tone> {};

TEST_P(BeeperToneTest, PlaysSineOfFrequencyForDurationAndWaitsForItsEnd) {
  const auto [frequency, duration] = GetParam();
  const fs::path file = dir_ / "tone.wav";
  const auto beeper = MakeAlsaBeeper(FileDevice(file));
  const milliseconds took = TimedBeep(*beeper, frequency, duration);
  ExpectTone(file, frequency, duration);
  // The null slave swallows the samples at once; the call still lasts the tone.
  EXPECT_GE(took.count(), duration - 10);
}

INSTANTIATE_TEST_SUITE_P(Tones, BeeperToneTest,
                         ::testing::Values(Tone{200, 200}, Tone{440, 120}, Tone{1000, 350}),
                         [](const auto& info) {
                           return std::to_string(info.param.frequencyHz) + "Hz" +
                                  std::to_string(info.param.durationMs) + "ms";
                         });

TEST_F(BeeperTest, SystemBeeperPlaysOnTheDefaultDevice) {
  const fs::path file = dir_ / "default.wav";
  const fs::path config = dir_ / "asound.conf";
  std::ofstream(config) << "pcm.!default {\n  type file\n  slave.pcm null\n  file \""
                        << file.string() << "\"\n  format wav\n}\npcm.null { type null }\n";
  const char* old = getenv("ALSA_CONFIG_PATH");
  const std::optional<std::string> saved = old ? std::optional<std::string>(old) : std::nullopt;
  setenv("ALSA_CONFIG_PATH", config.c_str(), 1);
  MakeSystemBeeper()->Beep(200, 200);
  if (saved) {
    setenv("ALSA_CONFIG_PATH", saved->c_str(), 1);
  } else {
    unsetenv("ALSA_CONFIG_PATH");
  }
  ExpectTone(file, 200, 200);
}

TEST_F(BeeperTest, DeviceThatCannotBeOpenedStillBlocksForTheDurationSilently) {
  const auto beeper = MakeAlsaBeeper("tessaldo_no_such_device");
  ::testing::internal::CaptureStderr();
  const milliseconds took = TimedBeep(*beeper, 200, 200);
  const std::string errors = ::testing::internal::GetCapturedStderr();
  EXPECT_GE(took.count(), 190);
  EXPECT_EQ(errors, "");
}

TEST_F(BeeperTest, InaudibleFrequencyGivesSilenceOfTheDuration) {
  const fs::path file = dir_ / "silent.wav";
  const auto beeper = MakeAlsaBeeper(FileDevice(file));
  const milliseconds took = TimedBeep(*beeper, 30000, 200);
  const auto wav = ReadWav(file);
  ASSERT_TRUE(wav.has_value());
  EXPECT_EQ(wav->samples.size(), kAlsaToneRate / 5);
  EXPECT_TRUE(std::all_of(wav->samples.begin(), wav->samples.end(), [](auto v) { return v == 0; }));
  EXPECT_GE(took.count(), 190);
}

}  // namespace
}  // namespace tessaldo::platform
