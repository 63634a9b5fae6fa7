// The built program from outside: what it keeps from one start to the next. Runs with SDL's
// offscreen driver and a runtime folder of the test's own. (A second copy is the remote tests'.)
#include <gtest/gtest.h>

#include <chrono>
#include <nlohmann/json.hpp>

#include "app/startup.h"
#include "support/harness.h"
#include "support/jubo_process.h"
#include "support/run_program.h"

namespace {

using namespace std::chrono_literals;
using jubo_test::ReadFile;
using Json = nlohmann::json;

// What is left with Left is kept: the program is killed afterwards, so nothing is saved at its
// end, and started again. There the stop setting acts: a song that cannot be played (none of the
// small library's files exists) is told on the screen, and the remote's Enter closes the message.
TEST(JuboBinaryTest, SettingsLeftWithLeftAreThereAndActAtTheNextStart) {
  jubo_test::RemoteJubo jubo;
  jubo_test::SmallLibrary().WriteTo(jubo.home.path());
  const std::vector<std::string> kChanged = {"\"Screen Saver Type: Logo\"",
                                             "\"Screen Saver Timeout: 15 mins\"",
                                             "\"Action on Corrupt Song: Stop Playing\""};
  ASSERT_TRUE(jubo.Start()) << jubo.out;
  // The timeout through the count dialog: five ones and a ten.
  ASSERT_EQ(jubo.Remote({"settings", "enter", "down", "enter", "left", "up", "up", "up", "up", "up",
                         "left", "up", "right", "right", "enter", "down", "enter", "screen"}),
            0)
      << jubo.out;
  for (const std::string& row : kChanged) EXPECT_NE(jubo.out.find(row), std::string::npos) << row;
  // The answer comes once Left has been taken.
  ASSERT_EQ(jubo.Remote({"left", "screen"}), 0) << jubo.out;
  jubo.process->Signal(SIGKILL);
  EXPECT_EQ(jubo.process->WaitExit(60s), 128 + SIGKILL);

  ASSERT_TRUE(jubo.Start()) << jubo.out;
  ASSERT_EQ(jubo.Remote({"settings", "screen"}), 0) << jubo.out;
  for (const std::string& row : kChanged) EXPECT_NE(jubo.out.find(row), std::string::npos) << row;
  // All Albums, the first letter, its first album: added, and its first song tried at once.
  ASSERT_EQ(jubo.Remote({"--wait", "menu", "enter", "right", "right", "enter", "right", "enter"}),
            0)
      << jubo.out;
  ASSERT_TRUE(jubo_test::Eventually([&] { return jubo.Screen()["dialog"]["form"] == "frmInfo"; }));
  EXPECT_EQ(jubo.Screen()["dialog"]["lines"], Json::array({"Could not play", "Song 1"}));
  ASSERT_EQ(jubo.Remote({"--wait", "enter"}), 0) << jubo.out;
  const Json screen = jubo.Screen();
  EXPECT_TRUE(screen["dialog"].is_null()) << jubo.out;
  // Resting on the first of the album's two songs: skipping would have tried the second too.
  EXPECT_EQ(screen["playlist"], Json({{"count", 2}, {"current", 0}})) << jubo.out;
  jubo.process->Terminate();
  EXPECT_EQ(jubo.process->WaitExit(60s), 0);
  EXPECT_EQ(ReadFile(jubo.runtime.path() / "err"), jubo_test::kNoBusLine);
}

// In a living room with only a remote control, the message that the library is missing is
// read and answered through the socket: the remote listens before the library is opened.
TEST(JuboBinaryTest, TheRemoteAnswersTheMissingLibraryMessage) {
  jubo_test::RemoteJubo jubo;
  ASSERT_TRUE(jubo.Start()) << jubo.out;
  EXPECT_EQ(jubo.Screen()["dialog"], Json({{"form", "MessageBox"},
                                           {"lines", {app::kMissingLibrary}},
                                           {"buttons", {"OK"}},
                                           {"selected", 1}}));
  ASSERT_EQ(jubo.Remote({"enter"}), 0) << jubo.out;
  EXPECT_EQ(jubo.process->WaitExit(60s), 1);
  EXPECT_EQ(ReadFile(jubo.runtime.path() / "err"),
            jubo_test::kNoBusLine + std::string(app::kMissingLibrary) + "\n");
}

}  // namespace
