// The real program on the real renderer, with SDL's offscreen driver, at both sizes a living room
// has: start-up to the Main Menu (at 1280x720 the README's screenshot), and each dialog over it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "app/jubo.h"
#include "app/shutdown.h"
#include "app/startup.h"
#include "bench/tone_wav.h"
#include "dialogs/confirm.h"
#include "dialogs/count.h"
#include "dialogs/info.h"
#include "ground/keys.h"
#include "phone/pairing.h"
#include "platform/image.h"
#include "platform/mpv_player.h"
#include "platform/sdl_platform.h"
#include "playback/player_engine.h"
#include "screen/saver.h"
#include "support/harness.h"

namespace app {
namespace {

class ScreenshotTest : public testing::TestWithParam<const char*> {
 protected:
  // The program over the small library, in a window of the size the test is given.
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("JUBO_WINDOW", GetParam(), 1);
    std::string error;
    sdl = platform::SdlPlatform::Create(&error);
    ASSERT_NE(sdl, nullptr) << error;
    jubo_test::SmallLibrary().WriteTo(dir.path());
    jubo.loop = sdl.get();
    jubo.display = sdl.get();
    jubo.measure = sdl.get();
    jubo.folder = dir.path().string();
  }
  // Writes what shows to the build's screenshots folder as `what`.png at 1280x720, else as
  // `what`_<size>.png, and reads it back. A picture of more than a blank screen is over 10 kB.
  platform::Image Save(const std::string& what, uintmax_t min_bytes = 10'000) {
    const std::string size = GetParam();
    const std::filesystem::path shots = std::filesystem::path(JUBO_BUILD_DIR) / "screenshots";
    const std::string path = (shots / (what + (size == "1280x720" ? "" : "_" + size) + ".png"));
    std::filesystem::create_directories(shots);
    std::string error;
    platform::Image image;
    EXPECT_TRUE(sdl->SaveScreenshot(path, &error)) << error;
    EXPECT_GT(std::filesystem::file_size(path), min_bytes) << path;
    EXPECT_TRUE(platform::ReadImage(path, &image, &error)) << error;
    return image;
  }

  jubo_test::TempDir dir;
  std::unique_ptr<platform::SdlPlatform> sdl;
  Jubo jubo;
};

TEST_P(ScreenshotTest, TheMainMenuAndEachDialogOnTheRealRenderer) {
  sdl->Post([&] {
    Save("main_menu");
    // Each dialog runs a loop of its own: what is to be done in it is posted before it opens.
    sdl->Post([&] { Save("exit_question"); });
    sdl->PostKey(ground::kKeyEnter);
    EXPECT_FALSE(dialogs::AskConfirm(jubo, "Exit Jubo Player?", ""));
    // "100" marked and 100 added, then back to "DONE" and accepted.
    for (int16_t key : {ground::kKeyRight, ground::kKeyUp}) sdl->PostKey(key);
    sdl->Post([&] { Save("count_dialog"); });
    for (int16_t key : {ground::kKeyLeft, ground::kKeyEnter}) sdl->PostKey(key);
    EXPECT_EQ(dialogs::AskCount(jubo, "How many songs?", 0, 5000, 25), 125);
    sdl->Post([&] {
      // The one button, marked red, is in the middle of the screen.
      const platform::Image image = Save("info_dialog");
      int first = image.width, last = -1;
      for (int i = 0; i < image.width * image.height; ++i) {
        if (image.At(i % image.width, i / image.width) != screen::kRed) continue;
        first = std::min(first, i % image.width);
        last = std::max(last, i % image.width);
      }
      EXPECT_NEAR(first + last, image.width, 4) << "red from " << first << " to " << last;
    });
    sdl->PostKey(ground::kKeyEnter);
    dialogs::ShowInfo(jubo, "Could not play", "Song 3");
    EndProgram(jubo, 0);
  });
  EXPECT_EQ(RunJubo(jubo), 0);
}

// Help, then each screen saver; the visualisation's while real libmpv plays a tone.
TEST_P(ScreenshotTest, HelpAndTheScreenSavers) {
  std::string error;
  std::unique_ptr<platform::MpvPlayer> player = platform::MpvPlayer::Create(*sdl, "null", &error);
  ASSERT_NE(player, nullptr) << error;
  sdl->SetVideoSource(player.get());
  jubo.player = player.get();
  jubo_test::FakeRandom random;  // where the logo goes
  jubo.random = &random;
  jubo.asset_folder = sdl->asset_folder();
  const std::string tone = (dir.path() / "tone.wav").string();
  ASSERT_TRUE(bench::WriteToneWav(tone, 60));
  jubo.settings.ScreensaverTimeout = 5;
  auto saver = [this](int16_t type) {
    screen::CloseSaver(jubo);
    jubo.settings.SaverType = jubo.settings.ConfiguredSaverType = type;
    screen::StartScreensaverSoon(jubo);
    screen::CheckSaver(jubo);
  };
  // Help, the Main Menu's last row.
  for (int row = 1; row < 6; ++row) sdl->PostKey(ground::kKeyDown);
  sdl->PostKey(ground::kKeyEnter);
  sdl->Post([&] {
    Save("help");
    saver(3);
    Save("saver_blank", 0);
    saver(2);
    Save("saver_logo", 0);
    playback::AppendSong(jubo, "A Tone by Bench", tone);
    playback::StartIfIdle(jubo);
    saver(1);
  });
  // The pictures come while the tone plays: a check ten times a second, for up to a minute.
  int checks = 0;
  sdl->StartTimer(100, [&] {
    if (jubo.ending || (player->PicturesMade() < 10 && ++checks < 600)) return;
    EXPECT_EQ(jubo.player->playState(), playback::kPlaying);
    Save("saver_visualization");
    EndProgram(jubo, 0);
  });
  EXPECT_EQ(RunJubo(jubo), 0);
  sdl->SetVideoSource(nullptr);
}

// The pairing panel over the Main Menu: its QR code drawn module for module, each a whole
// number of pixels, so that a phone's camera reads it at either size.
TEST_P(ScreenshotTest, ThePairingPanel) {
  const std::string address = "http://192.168.178.20:8765/";
  const screen::QrModules qr = phone::QrCodeOf(address);
  ASSERT_GT(qr.size, 20);
  sdl->Post([&] {
    screen::ShowPairing(jubo, "042917", address, qr);
    const platform::Image image = Save("pairing_panel");
    // The code's white square, its quiet margin included: the only pure white on the screen.
    int left = image.width, right = -1, top = image.height, bottom = -1;
    for (int y = 0; y < image.height; ++y) {
      for (int x = 0; x < image.width; ++x) {
        if (image.At(x, y) != screen::Color{255, 255, 255}) continue;
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
    }
    const int modules = qr.size + 8, side = right - left + 1;
    ASSERT_EQ(side % modules, 0) << side;
    ASSERT_EQ(bottom - top + 1, side);
    const int px = side / modules;
    EXPECT_GE(px, 6) << "modules too small to read from a phone";
    int wrong = 0;
    for (int i = 0; i < qr.size * qr.size; ++i) {
      const int x = left + (4 + i % qr.size) * px + px / 2,
                y = top + (4 + i / qr.size) * px + px / 2;
      wrong += (image.At(x, y) == screen::kBlack) != qr.dark[static_cast<size_t>(i)];
    }
    EXPECT_EQ(wrong, 0);
    EndProgram(jubo, 0);
  });
  EXPECT_EQ(RunJubo(jubo), 0);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ScreenshotTest, testing::Values("1920x1080", "1280x720"));

}  // namespace
}  // namespace app
