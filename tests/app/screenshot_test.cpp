// The real program on the real renderer, with SDL's offscreen driver: start-up to the Main
// Menu, a picture of it (the README's screenshot), and a question drawn over it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "app/jubo.h"
#include "app/key_dispatch.h"
#include "app/shutdown.h"
#include "app/startup.h"
#include "dialogs/confirm.h"
#include "ground/keys.h"
#include "platform/image.h"
#include "platform/sdl_platform.h"
#include "support/fixture_library.h"
#include "support/harness.h"
#include "support/temp_dir.h"

namespace app {
namespace {

TEST(ScreenshotTest, TheMainMenuAndAQuestionOnTheRealRenderer) {
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  setenv("JUBO_WINDOW", "1280x720", 1);
  std::string error;
  auto sdl = platform::SdlPlatform::Create(&error);
  ASSERT_NE(sdl, nullptr) << error;
  jubo_test::TempDir dir;
  jubo_test::SmallLibrary().WriteTo(dir.path());

  Jubo jubo;
  jubo.loop = sdl.get();
  jubo.display = sdl.get();
  jubo.measure = sdl.get();
  jubo.folder = dir.path().string();
  const std::filesystem::path shots = std::filesystem::path(JUBO_BUILD_DIR) / "screenshots";
  std::filesystem::create_directories(shots);

  sdl->Post([&] {
    EXPECT_EQ(jubo.screen.PageSize, 14);
    EXPECT_TRUE(sdl->SaveScreenshot((shots / "main_menu.png").string(), &error)) << error;
    // A question over the menu: its own loop runs until the timer below answers it.
    jubo.settings.ScreensaverTimeout = 1;
    jubo.IdleSeconds = 61;
    sdl->Post([&] {
      EXPECT_TRUE(sdl->SaveScreenshot((shots / "exit_question.png").string(), &error)) << error;
    });
    EXPECT_FALSE(dialogs::AskConfirm(jubo, "Exit Jubo Player?", ""));
    EndProgram(jubo, 0);
  });
  EXPECT_EQ(RunJubo(jubo), 0);
  EXPECT_GT(std::filesystem::file_size(shots / "main_menu.png"), 10'000u);
  EXPECT_GT(std::filesystem::file_size(shots / "exit_question.png"), 10'000u);
}

// The longest horizontal run of the highlight's colour: the width of its frame, in pixels.
int HighlightWidth(platform::SdlPlatform& sdl, const std::filesystem::path& png) {
  std::string error;
  platform::Image image;
  EXPECT_TRUE(sdl.SaveScreenshot(png.string(), &error)) << error;
  EXPECT_TRUE(platform::ReadImage(png.string(), &image, &error)) << error;
  int longest = 0;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0, run = 0; x < image.width; ++x) {
      run = image.At(x, y) == screen::kAccent ? run + 1 : 0;
      longest = std::max(longest, run);
    }
  }
  return longest;
}

// M on the letter index once left the Main Menu with the index's narrow highlight.
TEST(ScreenshotTest, MFromTheLetterIndexGivesTheMainMenuItsOwnHighlight) {
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  setenv("JUBO_WINDOW", "1920x1080", 1);
  std::string error;
  auto sdl = platform::SdlPlatform::Create(&error);
  ASSERT_NE(sdl, nullptr) << error;
  jubo_test::TempDir dir;
  jubo_test::SmallLibrary().WriteTo(dir.path());
  Jubo jubo;
  jubo.loop = sdl.get();
  jubo.display = sdl.get();
  jubo.measure = sdl.get();
  jubo.folder = dir.path().string();
  const std::filesystem::path shots = std::filesystem::path(JUBO_BUILD_DIR) / "screenshots";
  std::filesystem::create_directories(shots);

  sdl->Post([&] {
    const int menu = HighlightWidth(*sdl, shots / "main_menu_1080.png");
    for (int16_t key : {ground::kKeyEnter, ground::kKeyRight}) Form_KeyDown(jubo, key, 0);
    const int letters = HighlightWidth(*sdl, shots / "letter_index_1080.png");
    int16_t m = ground::KeyOf('M');
    Form_KeyDown(jubo, m, 0);
    EXPECT_GT(menu, 1700);  // the row's width at 1920x1080
    EXPECT_LT(letters, menu / 10);
    EXPECT_EQ(HighlightWidth(*sdl, shots / "main_menu_after_m_1080.png"), menu);
    EndProgram(jubo, 0);
  });
  EXPECT_EQ(RunJubo(jubo), 0);
}

}  // namespace
}  // namespace app
