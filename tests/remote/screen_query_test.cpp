#include "remote/screen_query.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "ground/keys.h"
#include "support/harness.h"

namespace remote {
namespace {

using jubo_test::Harness;
using Json = nlohmann::json;

TEST(ScreenQueryTest, DescribesTheMainMenuAndAnOpenQuestion) {
  Harness h;
  h.loop.Keys({ground::kKeyDown})
      .Then([&] {
        Json s = Json::parse(ScreenJson(h.jubo));
        EXPECT_EQ(s["view"], 4);
        EXPECT_EQ(s["title"], "Main Menu");
        EXPECT_EQ(s["crumbs"], "");
        EXPECT_EQ(s["above"], "");
        EXPECT_EQ(s["below"], "[Up/Down = Scroll] [Enter/OK = Select Item]");
        ASSERT_EQ(s["rows"].size(), 14u);
        EXPECT_EQ(s["rows"][0],
                  (Json{{"caption", "Select Songs by Album"}, {"tag", "album"}, {"icon", -1}}));
        EXPECT_EQ(s["rows"][13]["caption"], "");
        EXPECT_EQ(s["row"], 2);
        EXPECT_EQ(s["highlight"], true);
        EXPECT_EQ(s["playlist"], (Json{{"count", 0}, {"current", -1}}));
        EXPECT_TRUE(s["dialog"].is_null());
        EXPECT_TRUE(s["saver"].is_null());
        EXPECT_EQ(s["help"], false);
        // Keys come out in the documented order.
        EXPECT_EQ(ScreenJson(h.jubo).rfind("{\"view\":4,\"title\":\"Main Menu\",\"crumbs\":", 0),
                  0u);
        EXPECT_EQ(ScreenJson(h.jubo).find('\n'), std::string::npos);
      })
      .Keys({ground::kKeyEscape})
      .Then([&] {
        Json s = Json::parse(ScreenJson(h.jubo));
        EXPECT_EQ(s["dialog"], (Json{{"form", "frmConfirm"},
                                     {"lines", {"Exit Jubo Player?", ""}},
                                     {"buttons", {"Yes", "No"}},
                                     {"selected", 2}}));
        EXPECT_EQ(s["highlight"], false);
      })
      .Keys({ground::kKeyEnter});
  h.Run();
}

}  // namespace
}  // namespace remote
