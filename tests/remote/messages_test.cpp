#include "remote/messages.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "ground/keys.h"
#include "remote/line_reader.h"
#include "remote/screen_query.h"
#include "support/harness.h"

namespace remote {
namespace {

TEST(MessagesTest, NumbersAndNamesBecomeKeys) {
  struct Case {
    std::string_view line;
    std::optional<int16_t> key;
  };
  const Case kCases[] = {
      {"32773", 13},         {"0x8005", 13},  {"0X8005", 13},       {" 0x8000\r", 27},
      {"0x8014", 'M'},       {"0x800c", 'A'}, {"0x8015", {}},       {"0x7FFF", {}},
      {"32768", 27},         {"", {}},        {"0x", {}},           {"enter", {}},
      {"0x8005 0x8005", {}}, {"-32773", {}},  {"999999999999", {}}, {"0x80 05", {}},
  };
  for (const Case& c : kCases) {
    std::optional<long> number = ParseMessageNumber(c.line);
    std::optional<int16_t> key = number ? KeyForMessage(*number) : std::nullopt;
    EXPECT_EQ(key, c.key) << "'" << c.line << "'";
  }
  EXPECT_EQ(MessageNamed("menu")->number, 0x8014);
  EXPECT_EQ(MessageNamed("pagedown")->key, 34);
  EXPECT_EQ(MessageNamed("Menu"), nullptr);
  // Every message has its own number, in order, and its own name.
  for (size_t i = 0; i < kMessages.size(); ++i) {
    EXPECT_EQ(kMessages[i].number, 0x8000 + i);
    EXPECT_EQ(MessageNamed(kMessages[i].name), &kMessages[i]);
  }
}

TEST(LineReaderTest, CutsLinesWithinTheLimits) {
  LineReader reader;
  std::vector<std::string> lines;
  ASSERT_TRUE(reader.Feed("0x8001\n0x80", &lines));
  ASSERT_TRUE(reader.Feed("02\r\nscreen\n", &lines));
  EXPECT_EQ(lines, (std::vector<std::string>{"0x8001", "0x8002", "screen"}));

  // A line longer than 64 bytes is dropped whole; the next one counts again.
  lines.clear();
  ASSERT_TRUE(
      reader.Feed(std::string(64, '1') + "\n" + std::string(65, '1') + "\n0x8005\n", &lines));
  EXPECT_EQ(lines, (std::vector<std::string>{std::string(64, '1'), "0x8005"}));

  // A flood without a line break: the client goes.
  lines.clear();
  LineReader flooded;
  EXPECT_TRUE(flooded.Feed(std::string(kMaxWithoutBreak, 'x'), &lines));
  EXPECT_FALSE(flooded.Feed("x", &lines));
  EXPECT_TRUE(lines.empty());
}

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
