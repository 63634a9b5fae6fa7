// Building and working a playlist from the sofa: the built program on the demo library, driven
// by jubo-remote, each step checked in the screen answer the remote software reads.
#include <gtest/gtest.h>

#include <chrono>
#include <nlohmann/json.hpp>

#include "support/jubo_process.h"
#include "support/temp_dir.h"

namespace {

using namespace std::chrono_literals;
using Json = nlohmann::json;

TEST(PlaylistRemoteTest, AddJumpRemoveRepeatShuffleClear) {
  jubo_test::TempDir home, runtime;
  std::string out;
  ASSERT_EQ(jubo_test::RunCommand({JUBO_DEMO, home.path().string()}, runtime.path().string(), &out),
            0)
      << out;
  jubo_test::JuboProcess jubo(home.path().string(), runtime.path().string(),
                              (runtime.path() / "err").string());
  auto remote = [&](std::vector<std::string> keys) {
    keys.insert(keys.begin(), {JUBO_REMOTE, "--wait"});
    EXPECT_EQ(jubo_test::RunCommand(keys, runtime.path().string(), &out), 0) << out;
  };
  auto screen = [&] {
    EXPECT_EQ(jubo_test::RunCommand({JUBO_REMOTE, "screen"}, runtime.path().string(), &out), 0);
    return Json::parse(out);
  };
  auto caption = [](const Json& s, int row) { return s["rows"][row - 1]["caption"]; };
  ASSERT_TRUE(jubo_test::Eventually([&] {
    return jubo_test::RunCommand({JUBO_REMOTE, "screen"}, runtime.path().string(), &out) == 0;
  })) << out;

  // All Albums, letter B, its first album: "Add album to Playlist?" Yes.
  remote({"enter", "right", "right", "enter"});
  EXPECT_EQ(screen()["dialog"]["lines"][0], "Add album");
  remote({"right", "enter"});
  Json s = screen();
  EXPECT_EQ(s["playlist"]["count"], 3);
  // Now Playing follows every change of the player's file, as a user's slower keys would see it
  // settled: wait until the first song plays.
  EXPECT_TRUE(jubo_test::Eventually(
      [&] { return screen()["state"].get<std::string>().rfind("Playing", 0) == 0; }));

  remote({"menu", "enter"});
  s = screen();
  EXPECT_EQ(s["view"], 8);
  EXPECT_EQ(s["title"], "Now Playing");
  EXPECT_EQ(s["above"], "Displaying 1 to 3 of 3 Songs");
  EXPECT_EQ(caption(s, 1), "1. honey by amber gold");  // bee sides, the first album of B

  remote({"down", "down", "enter"});  // jump to the third song
  s = screen();
  EXPECT_EQ(s["playlist"]["current"], 2);
  EXPECT_EQ(s["rows"][2]["icon"], 1);
  EXPECT_EQ(s["row"], 3);

  remote({"right"});
  EXPECT_EQ(screen()["dialog"]["lines"][0], "Remove Track?");
  remote({"right", "enter"});  // the playing last entry goes: the list starts over
  s = screen();
  EXPECT_EQ(s["above"], "Displaying 1 to 2 of 2 Songs");
  EXPECT_EQ(s["playlist"]["current"], 0);
  EXPECT_EQ(s["rows"][0]["icon"], 1);

  remote({"left", "down", "enter"});
  s = screen();
  EXPECT_EQ(s["view"], 19);
  EXPECT_EQ(caption(s, 9), "Turn ON Playlist Repeat");
  remote({"down", "down", "down", "down", "down", "down", "down", "down", "enter"});
  EXPECT_EQ(caption(screen(), 9), "Turn OFF Playlist Repeat");
  EXPECT_TRUE(jubo_test::Eventually(
      [&] { return screen()["switches"].get<std::string>().rfind("Repeat:ON", 0) == 0; }));

  remote({"up", "up", "enter"});
  EXPECT_EQ(screen()["dialog"]["lines"], Json({"Shuffle", "Playlist?"}));
  remote({"right", "enter"});
  s = screen();
  EXPECT_EQ(s["view"], 19);
  EXPECT_EQ(s["playlist"]["current"], 0);  // the new first song plays

  remote({"down", "enter"});
  EXPECT_EQ(screen()["dialog"]["lines"][0], "Clear Playlist?");
  remote({"right", "enter"});
  s = screen();
  EXPECT_EQ(s["view"], 4);
  EXPECT_EQ(s["row"], 1);
  EXPECT_EQ(s["playlist"]["count"], 0);
  EXPECT_EQ(caption(s, 1), "Select Songs by Album");

  jubo.Terminate();
  EXPECT_EQ(jubo.WaitExit(60s), 0);
}

}  // namespace
