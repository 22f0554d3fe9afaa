// The refusal tone as ALSA plays it: the default device is the file plugin, whose null slave
// discards the sound while the samples land in a WAV file, which is then measured.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "tessaldo/platform/alsa_beeper.h"

namespace tessaldo::platform {
namespace {

TEST(AlsaBeeper, SystemBeeperPlays200HzFor200msAndReturnsWhenItEnds) {
  const auto dir =
      std::filesystem::temp_directory_path() / ("tessaldo-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "asound.conf")
      << "pcm.!default { type file slave.pcm null file \"" << (dir / "tone.wav").string()
      << "\" format wav }\npcm.null { type null }\n";
  setenv("ALSA_CONFIG_PATH", (dir / "asound.conf").c_str(), 1);
  const auto start = std::chrono::steady_clock::now();
  MakeSystemBeeper()->Beep(200, 200);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(195));
  unsetenv("ALSA_CONFIG_PATH");
  std::ifstream in(dir / "tone.wav", std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
  std::filesystem::remove_all(dir);
  // Mono 16-bit samples at the beeper's rate after the 44-byte header: the sound lasts as many
  // samples as are not silent, and rises through zero once a period.
  ASSERT_GT(bytes.size(), 44u);
  std::vector<std::int16_t> s((bytes.size() - 44) / 2);
  std::memcpy(s.data(), bytes.data() + 44, s.size() * 2);
  double sounding = 0, rises = 0;
  for (std::size_t i = 1; i < s.size(); ++i) {
    sounding += s[i] != 0 ? 1.0 / kAlsaToneRate : 0;
    rises += s[i - 1] < 0 && s[i] >= 0;
  }
  EXPECT_NEAR(sounding, 0.2, 0.01);
  EXPECT_NEAR(rises / sounding, 200.0, 6.0);
}

}  // namespace
}  // namespace tessaldo::platform
