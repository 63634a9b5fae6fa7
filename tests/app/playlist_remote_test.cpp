// Building and working a playlist from the sofa: the built program on the demo library, driven
// by jubo-remote, each step checked in the screen answer the remote software reads. The questions
// are answered Yes.
#include <gtest/gtest.h>

#include <chrono>
#include <nlohmann/json.hpp>

#include "screen/view_codes.h"
#include "support/jubo_process.h"

namespace {

using namespace std::chrono_literals;
using Json = nlohmann::json;

TEST(PlaylistRemoteTest, AddJumpRemoveClear) {
  jubo_test::RemoteJubo jubo;
  ASSERT_EQ(jubo_test::RunCommand({JUBO_DEMO, jubo.home.path().string()},
                                  jubo.runtime.path().string(), &jubo.out),
            0)
      << jubo.out;
  ASSERT_TRUE(jubo.Start()) << jubo.out;
  // All Albums, letter B, its first album, added. Now Playing follows every change of the
  // player's file: as a user's slower keys would find it, wait until the first song plays.
  ASSERT_EQ(jubo.Remote({"--wait", "enter", "right", "right", "enter", "right", "enter"}), 0);
  ASSERT_TRUE(jubo_test::Eventually([&] {
    const Json now = jubo.Screen();
    return now.is_object() && now["state"].get<std::string>().starts_with("Playing");
  }));

  // Keys, then parts of the screen answer (JSON pointers into it, and what they hold).
  struct Step {
    std::vector<std::string> keys;
    std::vector<std::pair<std::string, Json>> shows;
  };
  const Step kSteps[] = {
      {{"menu", "enter"},
       {{"/view", screen::kViewNowPlaying},
        {"/above", "Displaying 1 to 3 of 3 Songs"},
        {"/rows/0/caption", "1. honey by amber gold"}}},  // bee sides, the first album of B
      {{"down", "down", "enter"}, {{"/playlist/current", 2}, {"/rows/2/icon", 1}, {"/row", 3}}},
      {{"right"}, {{"/dialog/lines/0", "Remove Track?"}}},
      // The playing last entry goes: the list starts over.
      {{"right", "enter"},
       {{"/above", "Displaying 1 to 2 of 2 Songs"}, {"/playlist/current", 0}, {"/rows/0/icon", 1}}},
      // Cleared from Playlist Control.
      {{"left", "down", "enter", "down", "down", "down", "down", "down", "down", "down", "enter",
        "right", "enter"},
       {{"/view", screen::kViewMainMenu},
        {"/row", 1},
        {"/playlist/count", 0},
        {"/rows/0/caption", "Select Songs by Album"}}},
  };
  for (const Step& step : kSteps) {
    SCOPED_TRACE("step " + std::to_string(&step - kSteps + 1));
    std::vector<std::string> args = {"--wait"};
    args.insert(args.end(), step.keys.begin(), step.keys.end());
    EXPECT_EQ(jubo.Remote(args), 0) << jubo.out;
    const Json screen = jubo.Screen();
    for (const auto& [pointer, value] : step.shows) {
      EXPECT_EQ(screen[Json::json_pointer(pointer)], value) << pointer;
    }
  }
  jubo.process->Terminate();
  EXPECT_EQ(jubo.process->WaitExit(60s), 0);
}

}  // namespace
