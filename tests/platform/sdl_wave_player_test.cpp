#include "platform/sdl_wave_player.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>

#include "support/temp_dir.h"

namespace platform {
namespace {

// A mono 16-bit PCM WAV file of a sine tone.
std::string Wave(double seconds, double hertz) {
  constexpr int kRate = 22050;
  const auto samples = static_cast<uint32_t>(seconds * kRate);
  std::string bytes;
  auto put32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((v >> (8 * i)) & 0xff);
  };
  auto put16 = [&](uint16_t v) {
    bytes += static_cast<char>(v & 0xff);
    bytes += static_cast<char>(v >> 8);
  };
  bytes += "RIFF";
  put32(36 + samples * 2);
  bytes += "WAVEfmt ";
  put32(16);
  put16(1);  // PCM
  put16(1);  // mono
  put32(kRate);
  put32(kRate * 2);
  put16(2);
  put16(16);
  bytes += "data";
  put32(samples * 2);
  for (uint32_t i = 0; i < samples; ++i) {
    put16(
        static_cast<uint16_t>(static_cast<int16_t>(8000 * std::sin(2 * M_PI * hertz * i / kRate))));
  }
  return bytes;
}

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
  dir_.Write("long.wav", Wave(60.0, 440));  // outlasts any pause of a loaded machine
  dir_.Write("short.wav", Wave(0.05, 880));
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
