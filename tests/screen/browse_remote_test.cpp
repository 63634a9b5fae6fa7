// Browsing the demo library from outside, with jubo-remote as a remote control would: down to
// an album's songs, a song into the playlist and playing, then the artist hierarchy and back
// out, each level restoring its page and row.
#include <gtest/gtest.h>

#include <chrono>
#include <nlohmann/json.hpp>
#include <thread>

#include "support/jubo_process.h"
#include "support/temp_dir.h"

namespace {

using namespace std::chrono_literals;
using jubo_test::Eventually;
using jubo_test::JuboProcess;
using jubo_test::RunCommand;
using Json = nlohmann::json;

class DemoBrowseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string out;
    ASSERT_EQ(RunCommand({JUBO_DEMO, home_.path().string()}, runtime_.path().string(), &out), 0)
        << out;
    jubo_ = std::make_unique<JuboProcess>(home_.path().string(), runtime_.path().string(),
                                          (runtime_.path() / "err").string());
    ASSERT_TRUE(Eventually([&] { return Screen().is_object(); }));
  }

  void Keys(std::vector<std::string> keys) {
    keys.insert(keys.begin(), {JUBO_REMOTE, "--wait"});
    std::string out;
    ASSERT_EQ(RunCommand(keys, runtime_.path().string(), &out), 0) << out;
  }
  Json Screen() {
    std::string out;
    if (RunCommand({JUBO_REMOTE, "screen"}, runtime_.path().string(), &out) != 0) return nullptr;
    return Json::parse(out, nullptr, false);
  }
  static std::vector<std::string> Captions(const Json& s) {
    std::vector<std::string> captions;
    for (const Json& row : s["rows"]) {
      if (!row["caption"].get<std::string>().empty()) captions.push_back(row["caption"]);
    }
    return captions;
  }

  jubo_test::TempDir home_, runtime_;
  std::unique_ptr<JuboProcess> jubo_;
};

TEST_F(DemoBrowseTest, DownToASongAndBackOut) {
  Keys({"enter"});
  Json s = Screen();
  EXPECT_EQ(s["view"], 9);
  EXPECT_EQ(s["title"], "Select Albums");
  EXPECT_EQ(Captions(s)[0], "All Albums");
  EXPECT_EQ(s["above"], "Displaying 1 to 9 of 9 Items");

  Keys({"right"});
  s = Screen();
  EXPECT_EQ(s["title"], "All Albums by First Letter");
  EXPECT_EQ(Captions(s),
            (std::vector<std::string>{"B", "F", "H", "L", "N", "O", "P", "R", "S", "*"}));
  Keys({"right"});
  s = Screen();
  EXPECT_EQ(s["title"], "All Albums beginning with B");
  EXPECT_EQ(Captions(s), (std::vector<std::string>{"bee sides", "Blue Hour"}));
  EXPECT_EQ(s["above"], "Displaying 1 to 2 of 2 Albums");

  Keys({"down", "right"});
  s = Screen();
  EXPECT_EQ(s["view"], 2);
  EXPECT_EQ(s["title"], "Blue Hour");
  EXPECT_EQ(s["rows"][0]["icon"], 0);
  const std::string first = s["rows"][0]["caption"];
  EXPECT_EQ(first.substr(0, 2), "1 ");

  Keys({"enter"});
  ASSERT_TRUE(Eventually([&] {
    Json now = Screen();
    return now["playlist"]["count"] == 1 &&
           now["state"].get<std::string>().rfind("Playing", 0) == 0;
  })) << Screen().dump();
  s = Screen();
  EXPECT_EQ(s["rows"][0]["icon"], 1);
  EXPECT_EQ(s["rows"][0]["caption"], first + " (1)");

  // The artist hierarchy, down to an artist's album, and back out to the Main Menu.
  Keys({"menu", "down", "down", "down", "enter"});
  s = Screen();
  EXPECT_EQ(s["view"], 11);
  EXPECT_EQ(s["title"], "Select Artists");
  Keys({"right"});
  s = Screen();
  const std::vector<std::string> letters = Captions(s);
  const auto o = std::find(letters.begin(), letters.end(), "O") - letters.begin();
  ASSERT_LT(o, static_cast<long>(letters.size()));
  for (long i = 0; i < o; ++i) Keys({"down"});
  Keys({"right"});
  s = Screen();
  EXPECT_EQ(s["title"], "All Artists beginning with O");
  EXPECT_EQ(Captions(s)[0], "O'Dara");
  Keys({"right"});
  s = Screen();
  EXPECT_EQ(s["view"], 14);
  EXPECT_EQ(s["title"], "O'Dara Albums");
  Keys({"right"});
  EXPECT_EQ(Screen()["view"], 2);

  Keys({"left"});
  EXPECT_EQ(Screen()["view"], 14);
  Keys({"left"});
  s = Screen();
  EXPECT_EQ(s["view"], 12);
  EXPECT_EQ(s["row"], 1);
  Keys({"left"});
  s = Screen();
  EXPECT_EQ(s["view"], 3);
  EXPECT_EQ(s["rows"][s["row"].get<int>() - 1]["caption"], "O");
  Keys({"left"});
  s = Screen();
  EXPECT_EQ(s["view"], 11);
  EXPECT_EQ(s["row"], 1);
  Keys({"left"});
  s = Screen();
  EXPECT_EQ(s["view"], 4);
  EXPECT_EQ(s["rows"][s["row"].get<int>() - 1]["caption"], "Select Songs by Artist");
  EXPECT_EQ(s["crumbs"], "");
}

}  // namespace
