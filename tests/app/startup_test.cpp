#include "app/startup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

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
    std::string name, library, message;  // library: "" for no file at all
    bool end_request;  // the message answered by a window close or signal instead of OK
  };
  const Case kCases[] = {
      {"missing", "", kMissingLibrary, false},
      {"missing, then an end request", "", kMissingLibrary, true},
      {"refused", "Title,Genre\nT,g\n",
       "jubodb.txt has no column Album, Artist, Filename (its first line must name the columns "
       "Album, Artist, Title and Filename)",
       false},
      {"a beets export", "title,artist,album,path\nT,a,b,/m/t.mp3\n",
       "jubodb.txt has no column Filename (its first line must name the columns Album, Artist, "
       "Title and Filename); for a beets library, make it with jubo-scan --from-beets",
       false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Harness h;
    std::filesystem::remove(h.dir.path() / "jubodb.txt");
    if (!c.library.empty()) h.dir.Write("jubodb.txt", c.library);
    h.loop.Then([&] {
      EXPECT_EQ(h.Dialog().form, "MessageBox");
      EXPECT_EQ(h.Dialog().lines, std::vector<std::string>{c.message});
    });
    c.end_request ? h.loop.Quit() : h.loop.Keys({ground::kKeyEnter});
    testing::internal::CaptureStderr();
    EXPECT_EQ(h.Run(), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.message + "\n");
    EXPECT_EQ(std::ranges::count(h.display.ever_shown, &h.jubo.screen.frmMain), 0);
  }
}

}  // namespace
}  // namespace app
