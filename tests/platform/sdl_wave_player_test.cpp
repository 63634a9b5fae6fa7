#include "platform/sdl_wave_player.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/temp_dir.h"

namespace platform {
namespace {

TEST(SdlWavePlayerTest, RefusesWhatCannotBePlayed) {
  setenv("JUBO_AUDIO_OUTPUT", "null", 1);
  jubo_test::TempDir dir;
  dir.Write("empty.wav", "");
  dir.Write("garbage.wav", "RIFF\x10\0\0\0WAVEnot a sound at all");
  dir.Write("text.wav", "Album,Artist,Title\n");
  SdlWavePlayer player;
  for (const char* name : {"missing.wav", "empty.wav", "garbage.wav", "text.wav"}) {
    std::string error;
    EXPECT_FALSE(player.Play((dir.path() / name).string(), &error)) << name;
    EXPECT_NE(error.find(name), std::string::npos) << name << ": " << error;
    EXPECT_EQ(player.Sounding(), "") << name;
  }
}

}  // namespace
}  // namespace platform
