// The refusal tone as ALSA plays it into the file plugin (a null slave), measured in its WAV file.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "tessaldo/platform/alsa_beeper.h"

namespace tessaldo::platform {
namespace {

TEST(AlsaBeeper, SystemBeeperPlays200HzFor200msAndReturnsWhenItEnds) {
  std::string dir = std::filesystem::temp_directory_path() / "tessaldo-XXXXXX";
  ASSERT_NE(mkdtemp(dir.data()), nullptr);
  const std::string conf = dir + "/asound.conf", wav = dir + "/tone.wav";
  std::ofstream(conf) << "pcm.!default { type file slave.pcm null file \"" << wav
                      << "\" format wav }\npcm.null { type null }\n";
  setenv("ALSA_CONFIG_PATH", conf.c_str(), 1);
  const auto start = std::chrono::steady_clock::now();
  MakeSystemBeeper()->Beep(200, 200);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(195));
  // Mono 16-bit samples at the beeper's rate after the 44-byte header: the sound lasts as many
  // samples as are not silent, and rises through zero once a period.
  std::ifstream in(wav, std::ios::binary | std::ios::ate);
  std::vector<std::int16_t> s((std::max<std::streamoff>(in.tellg(), 44) - 44) / 2);
  in.seekg(44).read(reinterpret_cast<char*>(s.data()), s.size() * 2);
  std::filesystem::remove_all(dir);
  const double seconds = (s.size() - std::count(s.begin(), s.end(), 0)) / double{kAlsaToneRate};
  double rises = 0;
  for (std::size_t i = 1; i < s.size(); ++i) rises += s[i - 1] < 0 && s[i] >= 0;
  EXPECT_NEAR(seconds, 0.2, 0.01);
  EXPECT_NEAR(rises / seconds, 200.0, 6.0);
}

}  // namespace
}  // namespace tessaldo::platform
