// The real program on the real renderer, with SDL's offscreen driver: start-up to the Main
// Menu, a picture of it (the README's screenshot), and a question drawn over it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "app/jubo.h"
#include "app/shutdown.h"
#include "app/startup.h"
#include "dialogs/confirm.h"
#include "ground/keys.h"
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

}  // namespace
}  // namespace app
