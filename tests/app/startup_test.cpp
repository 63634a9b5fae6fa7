#include "app/startup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/message_box.h"
#include "app/splash_form.h"
#include "ground/keys.h"
#include "support/harness.h"

namespace app {
namespace {

using jubo_test::Harness;

TEST(StartupTest, TheSplashShowsWhileTheLibraryLoadsThenTheMainMenuWithoutAPointer) {
  Harness h;
  bool splash_seen = false;
  h.display.on_repaint = [&] {
    const auto* splash = dynamic_cast<const SplashForm*>(h.display.top());
    ASSERT_NE(splash, nullptr);
    EXPECT_TRUE(splash->lblWait.visible);  // "Please wait..."
    splash_seen = true;
  };
  h.loop.Then([&] {
    EXPECT_TRUE(splash_seen);
    EXPECT_EQ(h.display.shown, std::vector<const screen::Form*>{&h.jubo.screen.frmMain});
    // With the program's own saver off, the system's saver stays allowed.
    EXPECT_EQ(h.display.system_saver, std::vector<bool>{true});
  });
  // The pointer is hidden; a click shows it, another hides it.
  for (bool shown : {false, true, false}) {
    h.loop.Then([&h, shown] { EXPECT_EQ(h.display.pointer_visible, shown); }).Click();
  }
  EXPECT_EQ(h.Run(), 0);
}

TEST(StartupTest, AMissingOrRefusedLibraryIsSaidBeforeTheMainScreenAndEndsWithStatusOne) {
  struct Case {
    std::string name;
    std::string library;  // "" for no file at all
    std::string message;
    bool end_request;  // the message answered by a window close or signal instead of OK
  };
  const Case kCases[] = {
      {"missing", "", kMissingLibrary, false},
      {"missing, then an end request", "", kMissingLibrary, true},
      {"refused", "Title,Genre\nT,g\n",
       "jubodb.txt has no column Album, Artist, Filename (its first line must name the columns "
       "Album, Artist, Title and Filename)",
       false},
  };
  for (const Case& c : kCases) {
    Harness h;
    std::filesystem::remove(h.dir.path() / "jubodb.txt");
    if (!c.library.empty()) h.dir.Write("jubodb.txt", c.library);
    h.loop.Then([&] {
      const auto* box = dynamic_cast<const MessageBoxForm*>(h.display.top());
      ASSERT_NE(box, nullptr) << c.name;
      EXPECT_EQ(box->lblText.caption, c.message);
      EXPECT_EQ(box->lblButton.caption, "OK");
    });
    c.end_request ? h.loop.Quit() : h.loop.Keys({ground::kKeyEnter});
    testing::internal::CaptureStderr();
    EXPECT_EQ(h.Run(), 1) << c.name;
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.message + "\n") << c.name;
    EXPECT_EQ(std::count(h.display.ever_shown.begin(), h.display.ever_shown.end(),
                         &h.jubo.screen.frmMain),
              0)
        << c.name;
  }
}

}  // namespace
}  // namespace app
