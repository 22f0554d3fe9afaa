// The refusal tone as ALSA plays it: the default device is pointed at the file plugin, whose
// null slave discards the sound while the samples land in a WAV file, which is then measured.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tessaldo/platform/alsa_beeper.h"

namespace tessaldo::platform {
namespace {

namespace fs = std::filesystem;

TEST(AlsaBeeper, SystemBeeperPlays200HzFor200msAndReturnsWhenItEnds) {
  const fs::path dir = fs::temp_directory_path() / ("tessaldo-alsa-" + std::to_string(getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "asound.conf")
      << "pcm.!default { type file slave.pcm null file \"" << (dir / "tone.wav").string()
      << "\" format wav }\npcm.null { type null }\n";
  setenv("ALSA_CONFIG_PATH", (dir / "asound.conf").c_str(), 1);
  const auto start = std::chrono::steady_clock::now();
  MakeSystemBeeper()->Beep(200, 200);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(195));
  unsetenv("ALSA_CONFIG_PATH");
  std::ifstream in(dir / "tone.wav", std::ios::binary);
  const std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), {});
  fs::remove_all(dir);
  ASSERT_GE(b.size(), 44u);
  const auto le = [&b](std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + i];
    return v;
  };
  // Mono, 16 bits, at the beeper's rate; the samples follow the 44-byte header.
  ASSERT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(le(22, 2), 1u);
  EXPECT_EQ(le(34, 2), 16u);
  ASSERT_EQ(le(24, 4), kAlsaToneRate);
  // Sounding: first to last non-zero sample. Pitch: rises through zero over that span.
  std::vector<std::size_t> sounding, rising;
  int peak = 0;
  for (std::size_t i = 44; i + 1 < b.size(); i += 2) {
    const auto s = static_cast<std::int16_t>(le(i, 2));
    if (s == 0) continue;
    const std::size_t n = (i - 44) / 2;
    if (s > 0 && !sounding.empty() &&
        static_cast<std::int16_t>(le(44 + 2 * sounding.back(), 2)) < 0)
      rising.push_back(n);
    sounding.push_back(n);
    peak = std::max(peak, std::abs(static_cast<int>(s)));
  }
  ASSERT_GE(rising.size(), 2u) << "no tone";
  const double rate = kAlsaToneRate;
  EXPECT_NEAR((rising.size() - 1) * rate / (rising.back() - rising.front()), 200.0, 2.0);
  EXPECT_NEAR(1000.0 * (sounding.back() + 1 - sounding.front()) / rate, 200.0, 10.0);
  EXPECT_GT(peak, 3000) << "too quiet to hear";
}

}  // namespace
}  // namespace tessaldo::platform
