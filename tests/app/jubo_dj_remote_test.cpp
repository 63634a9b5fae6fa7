// Jubo DJ and Non-Stop Music from the sofa: the built program on the demo library, driven by
// jubo-remote, the playlist checked against the library's own rows.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>

#include "support/jubo_process.h"
#include "support/temp_dir.h"

namespace {

using namespace std::chrono_literals;
using Json = nlohmann::json;

// "Title by Artist" of every song of the demo library whose genre is one of `genres`. The
// demo's fields hold no comma or quote but the apostrophes of names.
std::set<std::string> SongsOf(const std::filesystem::path& library,
                              const std::set<std::string>& genres) {
  std::ifstream in(library);
  std::set<std::string> songs;
  std::string line;
  std::getline(in, line);  // Album,Artist,Title,Track,Filename,Genre,Tempo
  while (std::getline(in, line)) {
    std::vector<std::string> f;
    for (size_t at = 0, comma; at <= line.size(); at = comma + 1) {
      comma = std::min(line.find(',', at), line.size());
      f.push_back(line.substr(at, comma - at));
    }
    if (f.size() > 5 && genres.count(f[5]) != 0) songs.insert(f[2] + " by " + f[1]);
  }
  return songs;
}

TEST(JuboDJRemoteTest, GenerateFromGenresAndNonStopOutsideTheExclusions) {
  jubo_test::TempDir home, runtime;
  std::string out;
  auto run = [&](std::vector<std::string> argv) {
    return jubo_test::RunCommand(argv, runtime.path().string(), &out);
  };
  auto keys = [&](std::vector<std::string> keys) {
    keys.insert(keys.begin(), {JUBO_REMOTE, "--wait"});
    EXPECT_EQ(run(keys), 0) << out;
    EXPECT_EQ(run({JUBO_REMOTE, "screen"}), 0) << out;
    return Json::parse(out);
  };
  // The songs Now Playing lists, without their numbers.
  auto listed = [&] {
    std::set<std::string> songs;
    const Json now = keys({"menu", "enter"});
    for (const Json& row : now["rows"]) {
      const std::string caption = row["caption"];
      if (!caption.empty()) songs.insert(caption.substr(caption.find(". ") + 2));
    }
    return songs;
  };
  auto playing = [&] {
    return jubo_test::Eventually([&] {
      return run({JUBO_REMOTE, "screen"}) == 0 &&
             Json::parse(out)["state"].get<std::string>().starts_with("Playing");
    });
  };
  auto within = [](const std::set<std::string>& songs, const std::set<std::string>& allowed) {
    for (const std::string& song : songs) {
      if (allowed.count(song) == 0) return testing::AssertionFailure() << song;
    }
    return testing::AssertionSuccess();
  };
  ASSERT_EQ(run({JUBO_DEMO, home.path().string()}), 0) << out;
  const std::filesystem::path library = home.path() / "jubodb.txt";
  {
    jubo_test::JuboProcess jubo(home.path().string(), runtime.path().string(),
                                (runtime.path() / "err").string());
    ASSERT_TRUE(jubo_test::Eventually([&] { return run({JUBO_REMOTE, "screen"}) == 0; })) << out;
    // Jubo DJ, Choose Genres: Folk (row 4) and Pop (row 6) marked, then Generate Playlist, 10.
    keys({"down", "down", "enter", "down", "down", "enter", "down", "down", "down", "enter", "down",
          "down", "enter", "left", "down", "down", "enter"});
    Json screen = keys({"left", "left", "up", "right", "right", "enter"});
    EXPECT_EQ(screen["playlist"]["count"], 10) << out;
    EXPECT_TRUE(playing());
    const std::set<std::string> generated = listed();
    EXPECT_EQ(generated.size(), 10u);
    EXPECT_TRUE(within(generated, SongsOf(library, {"Folk", "Pop"})));

    // G on and off, the status line following at once.
    EXPECT_NE(keys({"nonstop"})["switches"].get<std::string>().find("Non-Stop Music:ON"),
              std::string::npos)
        << out;
    EXPECT_NE(keys({"nonstop"})["switches"].get<std::string>().find("Non-Stop Music:OFF"),
              std::string::npos)
        << out;

    // Every genre but Jazz excluded in Settings (rows 1-4, 6-8 of eight), kept with Left.
    keys({"clear", "left",  "enter", "settings", "down",  "down",  "down", "enter", "down", "down",
          "enter", "enter", "down",  "enter",    "down",  "enter", "down", "enter", "down", "down",
          "enter", "down",  "enter", "down",     "enter", "left",  "left", "left"});
    jubo.Terminate();
    ASSERT_EQ(jubo.WaitExit(60s), 0);
  }
  jubo_test::JuboProcess again(home.path().string(), runtime.path().string(),
                               (runtime.path() / "err").string());
  ASSERT_TRUE(jubo_test::Eventually([&] { return run({JUBO_REMOTE, "screen"}) == 0; })) << out;
  // Non-Stop on, and the songs it draws as each last song starts: Jazz only.
  keys({"nonstop"});
  for (int song = 0; song < 3; ++song) {
    EXPECT_TRUE(playing());
    keys({"next"});
  }
  const std::set<std::string> drawn = listed();
  EXPECT_GE(drawn.size(), 3u);
  EXPECT_TRUE(within(drawn, SongsOf(library, {"Jazz"})));
  again.Terminate();
  EXPECT_EQ(again.WaitExit(60s), 0);
}

}  // namespace
