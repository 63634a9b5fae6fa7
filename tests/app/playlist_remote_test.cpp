// Building and working a playlist from the sofa: the built program on the demo library, driven
// by jubo-remote, each step checked in the screen answer the remote software reads.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "screen/view_codes.h"
#include "support/fixture_library.h"
#include "support/harness.h"
#include "support/jubo_process.h"
#include "support/temp_dir.h"

namespace {

using namespace std::chrono_literals;
using Json = nlohmann::json;

TEST(PlaylistRemoteTest, AddJumpRemoveRepeatShuffleClear) {
  jubo_test::TempDir home, runtime;
  std::string out;
  auto run = [&](std::vector<std::string> argv) {
    return jubo_test::RunCommand(argv, runtime.path().string(), &out);
  };
  ASSERT_EQ(run({JUBO_DEMO, home.path().string()}), 0) << out;
  jubo_test::JuboProcess jubo(home.path().string(), runtime.path().string(),
                              (runtime.path() / "err").string());
  ASSERT_TRUE(jubo_test::Eventually([&] { return run({JUBO_REMOTE, "screen"}) == 0; })) << out;

  // Keys, then parts of the screen answer (JSON pointers into it, and what they hold).
  struct Step {
    std::vector<std::string> keys;
    std::vector<std::pair<std::string, Json>> shows;
    // Now Playing follows every change of the player's file, as a user's slower keys would see
    // it settled: then wait until the first song plays.
    bool until_playing = false;
  };
  const Step kSteps[] = {
      // All Albums, letter B, its first album: "Add album to Playlist?" Yes.
      {{"enter", "right", "right", "enter"}, {{"/dialog/lines/0", "Add album"}}},
      {{"right", "enter"}, {{"/playlist/count", 3}}, true},
      {{"menu", "enter"},
       {{"/view", screen::kViewNowPlaying},
        {"/above", "Displaying 1 to 3 of 3 Songs"},
        {"/rows/0/caption", "1. honey by amber gold"}}},  // bee sides, the first album of B
      {{"down", "down", "enter"}, {{"/playlist/current", 2}, {"/rows/2/icon", 1}, {"/row", 3}}},
      {{"right"}, {{"/dialog/lines/0", "Remove Track?"}}},
      // The playing last entry goes: the list starts over.
      {{"right", "enter"},
       {{"/above", "Displaying 1 to 2 of 2 Songs"}, {"/playlist/current", 0}, {"/rows/0/icon", 1}}},
      {{"left", "down", "enter"},
       {{"/view", screen::kViewPlaylistControl}, {"/rows/8/caption", "Turn ON Playlist Repeat"}}},
      {{"down", "down", "down", "down", "down", "down", "down", "down", "enter"},
       {{"/rows/8/caption", "Turn OFF Playlist Repeat"}}},
      {{"up", "up", "enter"}, {{"/dialog/lines", {"Shuffle", "Playlist?"}}}},
      // The new first song plays.
      {{"right", "enter"}, {{"/view", screen::kViewPlaylistControl}, {"/playlist/current", 0}}},
      {{"down", "enter"}, {{"/dialog/lines/0", "Clear Playlist?"}}},
      {{"right", "enter"},
       {{"/view", screen::kViewMainMenu},
        {"/row", 1},
        {"/playlist/count", 0},
        {"/rows/0/caption", "Select Songs by Album"}}},
  };
  for (const Step& step : kSteps) {
    std::vector<std::string> argv = {JUBO_REMOTE, "--wait"};
    argv.insert(argv.end(), step.keys.begin(), step.keys.end());
    EXPECT_EQ(run(argv), 0) << out;
    ASSERT_EQ(run({JUBO_REMOTE, "screen"}), 0) << out;
    const Json screen = Json::parse(out);
    for (const auto& [pointer, value] : step.shows) {
      EXPECT_EQ(screen[Json::json_pointer(pointer)], value) << pointer << " after " << argv.back();
    }
    EXPECT_TRUE(!step.until_playing || jubo_test::Eventually([&] {
      return run({JUBO_REMOTE, "screen"}) == 0 &&
             Json::parse(out)["state"].get<std::string>().starts_with("Playing");
    }));
  }
  jubo.Terminate();
  EXPECT_EQ(jubo.WaitExit(60s), 0);
}

// With "Action on Corrupt Song: Stop Playing" a song that cannot be played (none of the small
// library's files exists) is told on the screen, and the remote's Enter closes the message.
TEST(PlaylistRemoteTest, ASongThatCannotBePlayedIsToldAndEnterClosesIt) {
  jubo_test::TempDir home, runtime;
  jubo_test::SmallLibrary().WriteTo(home.path());
  std::filesystem::create_directories(home.path() / "config/jubo");
  home.Write("config/jubo/registry.json",
             R"({"HKEY_CURRENT_USER\\Software\\Tarvento\\Jubo_Player\\Playlist": )"
             R"({"Loop": 0, "ActionOnError": 1}})");
  std::string out;
  auto run = [&](std::vector<std::string> argv) {
    argv.insert(argv.begin(), JUBO_REMOTE);
    return jubo_test::RunCommand(argv, runtime.path().string(), &out);
  };
  auto dialog = [&] { return run({"screen"}) == 0 ? Json::parse(out)["dialog"] : Json(); };
  jubo_test::JuboProcess jubo(home.path().string(), runtime.path().string(),
                              (runtime.path() / "err").string());
  ASSERT_TRUE(jubo_test::Eventually([&] { return run({"screen"}) == 0; })) << out;
  // All Albums, the first letter, its first album: added, and its first song tried at once.
  ASSERT_EQ(run({"--wait", "enter", "right", "right", "enter", "right", "enter"}), 0) << out;
  ASSERT_TRUE(jubo_test::Eventually([&] { return dialog()["form"] == "frmInfo"; })) << out;
  EXPECT_EQ(dialog()["lines"], Json::array({"Could not play", "Song 1"})) << out;
  ASSERT_EQ(run({"--wait", "enter"}), 0) << out;
  EXPECT_TRUE(dialog().is_null()) << out;
  const Json screen = Json::parse(out);
  // Resting on the first of the album's two songs: skipping would have tried the second too.
  EXPECT_EQ(screen["playlist"], Json({{"count", 2}, {"current", 0}})) << out;
  jubo.Terminate();
  EXPECT_EQ(jubo.WaitExit(60s), 0);
}

}  // namespace
