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
#include "dialogs/count.h"
#include "dialogs/info.h"
#include "ground/keys.h"
#include "platform/image.h"
#include "platform/sdl_platform.h"
#include "support/harness.h"

namespace app {
namespace {

class ScreenshotTest : public testing::Test {
 protected:
  // The program over the small library, in a window of `size`; the pictures go to `shots`.
  void Open(const char* size) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("JUBO_WINDOW", size, 1);
    std::string error;
    sdl = platform::SdlPlatform::Create(&error);
    ASSERT_NE(sdl, nullptr) << error;
    jubo_test::SmallLibrary().WriteTo(dir.path());
    jubo.loop = sdl.get();
    jubo.display = sdl.get();
    jubo.measure = sdl.get();
    jubo.folder = dir.path().string();
    std::filesystem::create_directories(shots);
  }
  void Save(const std::string& name) {
    std::string error;
    EXPECT_TRUE(sdl->SaveScreenshot((shots / name).string(), &error)) << error;
  }

  jubo_test::TempDir dir;
  std::unique_ptr<platform::SdlPlatform> sdl;
  Jubo jubo;
  const std::filesystem::path shots = std::filesystem::path(JUBO_BUILD_DIR) / "screenshots";
};

TEST_F(ScreenshotTest, TheMainMenuAndAQuestionOnTheRealRenderer) {
  ASSERT_NO_FATAL_FAILURE(Open("1280x720"));
  sdl->Post([&] {
    Save("main_menu.png");
    // A question over the menu: its own loop runs until the timer below answers it.
    jubo.settings.ScreensaverTimeout = 1;
    jubo.IdleSeconds = 61;
    sdl->Post([&] { Save("exit_question.png"); });
    EXPECT_FALSE(dialogs::AskConfirm(jubo, "Exit Jubo Player?", ""));
    EndProgram(jubo, 0);
  });
  EXPECT_EQ(RunJubo(jubo), 0);
  EXPECT_GT(std::filesystem::file_size(shots / "main_menu.png"), 10'000u);
  EXPECT_GT(std::filesystem::file_size(shots / "exit_question.png"), 10'000u);
}

// The count and information dialogs as the user sees them, at both sizes a living room has.
class DialogScreenshotTest : public ScreenshotTest,
                             public testing::WithParamInterface<const char*> {};

TEST_P(DialogScreenshotTest, TheCountAndInformationDialogs) {
  const std::string size = GetParam();
  ASSERT_NO_FATAL_FAILURE(Open(size.c_str()));
  sdl->Post([&] {
    // "100" marked and 100 added, then back to "DONE" and accepted.
    for (int16_t key : {ground::kKeyRight, ground::kKeyUp}) sdl->PostKey(key);
    sdl->Post([&] { Save("count_dialog_" + size + ".png"); });
    for (int16_t key : {ground::kKeyLeft, ground::kKeyEnter}) sdl->PostKey(key);
    EXPECT_EQ(dialogs::AskCount(jubo, "How many songs?", 0, 5000, 25), 125);

    sdl->Post([&] {
      // The one button, marked red, is in the middle of the screen.
      const std::string name = "info_dialog_" + size + ".png";
      Save(name);
      std::string error;
      platform::Image image;
      ASSERT_TRUE(platform::ReadImage((shots / name).string(), &image, &error)) << error;
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

INSTANTIATE_TEST_SUITE_P(Sizes, DialogScreenshotTest, testing::Values("1920x1080", "1280x720"));

// M on the letter index once left the Main Menu with the index's narrow highlight.
TEST_F(ScreenshotTest, MFromTheLetterIndexGivesTheMainMenuItsOwnHighlight) {
  ASSERT_NO_FATAL_FAILURE(Open("1920x1080"));
  // The longest horizontal run of the highlight's colour: the width of its frame, in pixels.
  auto highlight_width = [&](const std::string& name) {
    Save(name);
    std::string error;
    platform::Image image;
    EXPECT_TRUE(platform::ReadImage((shots / name).string(), &image, &error)) << error;
    int longest = 0;
    for (int y = 0; y < image.height; ++y) {
      for (int x = 0, run = 0; x < image.width; ++x) {
        run = image.At(x, y) == screen::kAccent ? run + 1 : 0;
        longest = std::max(longest, run);
      }
    }
    return longest;
  };
  sdl->Post([&] {
    const int menu = highlight_width("main_menu_1080.png");
    for (int16_t key : {ground::kKeyEnter, ground::kKeyRight}) Form_KeyDown(jubo, key, 0);
    const int letters = highlight_width("letter_index_1080.png");
    int16_t m = ground::KeyOf('M');
    Form_KeyDown(jubo, m, 0);
    EXPECT_GT(menu, 1700);  // the row's width at 1920x1080
    EXPECT_LT(letters, menu / 10);
    EXPECT_EQ(highlight_width("main_menu_after_m_1080.png"), menu);
    EndProgram(jubo, 0);
  });
  EXPECT_EQ(RunJubo(jubo), 0);
}

}  // namespace
}  // namespace app
