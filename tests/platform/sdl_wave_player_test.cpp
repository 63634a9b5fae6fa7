#include "platform/sdl_wave_player.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "bench/tone_wav.h"
#include "support/temp_dir.h"

namespace platform {
namespace {

class SdlWavePlayerTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("JUBO_AUDIO_OUTPUT", "null", 1); }
  std::string Path(const std::string& name) const { return (dir_.path() / name).string(); }

  jubo_test::TempDir dir_;
};

TEST_F(SdlWavePlayerTest, RefusesWhatCannotBePlayed) {
  dir_.Write("empty.wav", "");
  dir_.Write("garbage.wav", "RIFF\x10\0\0\0WAVEnot a sound at all");
  dir_.Write("text.wav", "Album,Artist,Title\n");
  const char* const kBad[] = {"missing.wav", "empty.wav", "garbage.wav", "text.wav"};
  SdlWavePlayer player;
  for (const char* name : kBad) {
    std::string error;
    EXPECT_FALSE(player.Play(Path(name), &error)) << name;
    EXPECT_NE(error.find(name), std::string::npos) << name << ": " << error;
    EXPECT_EQ(player.Sounding(), "") << name;
  }
}

TEST_F(SdlWavePlayerTest, ANewCueCutsOffTheOneSoundingAndCuesEnd) {
  ASSERT_TRUE(bench::WriteToneWav(Path("long.wav"), 60));  // outlasts a loaded machine's pauses
  ASSERT_TRUE(bench::WriteToneWav(Path("short.wav"), 0.05));
  SdlWavePlayer player;
  std::string error;
  ASSERT_TRUE(player.Play(Path("long.wav"), &error)) << error;
  EXPECT_EQ(player.Sounding(), Path("long.wav"));
  ASSERT_TRUE(player.Play(Path("short.wav"), &error)) << error;
  EXPECT_EQ(player.Sounding(), Path("short.wav"));

  // The short cue ends by itself; wait for it, but not for ever.
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!player.Sounding().empty() && std::chrono::steady_clock::now() < give_up) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(player.Sounding(), "");

  ASSERT_TRUE(player.Play(Path("long.wav"), &error)) << error << ": the second time, from cache";
  EXPECT_FALSE(player.Play(Path("missing.wav"), &error));
  EXPECT_EQ(player.Sounding(), "") << "a refused cue silences the one before";
}

}  // namespace
}  // namespace platform
