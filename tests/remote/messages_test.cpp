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
      {"0x8014", 'M'},       {"0x800c", 'A'}, {"0x8017", 173},      {"0x8018", {}},
      {"32768", 27},         {"", {}},        {"0x", {}},           {"enter", {}},
      {"0x8005 0x8005", {}}, {"-32773", {}},  {"999999999999", {}}, {"0x80 05", {}},
  };
  for (const Case& c : kCases) {
    std::optional<long> number = ParseMessageNumber(c.line);
    std::optional<int16_t> key = number ? KeyForMessage(*number) : std::nullopt;
    EXPECT_EQ(key, c.key) << "'" << c.line << "'";
  }
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

// The whole answer, in the documented order: the Main Menu with a question over it, then a
// count's dialog part, its number too. (The answer with no dialog is the remote's test, the
// start-up message's the built program's.)
TEST(ScreenQueryTest, DescribesTheMainMenuAndTheDialogOnTop) {
  jubo_test::Harness h;
  h.loop.Keys({ground::kKeyDown, ground::kKeyEscape}).Then([&] {
    const std::string answer = ScreenJson(h.jubo);
    EXPECT_EQ(answer.find('\n'), std::string::npos);
    auto s = nlohmann::ordered_json::parse(answer);
    EXPECT_EQ(s["rows"].size(), 14u);
    EXPECT_EQ(s["rows"][0].dump(),
              R"({"caption":"Select Songs by Album","tag":"album","icon":-1})");
    EXPECT_EQ(s["rows"][13]["caption"], "");
    EXPECT_TRUE(s["frames"].is_number());
    s.erase("rows");
    s.erase("frames");
    EXPECT_EQ(
        s.dump(),
        R"({"view":)" + std::to_string(screen::kViewMainMenu) +
            R"(,"title":"Main Menu","crumbs":"","above":"",)"
            R"("below":"[Up/Down = Scroll] [Enter/OK = Select Item]","row":2,"highlight":false,)"
            R"("state":"","switches":"","track":"","playlist":{"count":0,"current":-1},)"
            R"("dialog":{"form":"frmConfirm","lines":["Exit Jubo Player?",""],)"
            R"("buttons":["Yes","No"],"selected":2},"saver":null,"help":false,"text":[],"pairing":null})");
  });
  h.loop.Keys({ground::kKeyEnter}).Then([&] { h.jubo.AskCount("How many songs?", 0, 5000, 25); });
  h.loop.Keys({ground::kKeyRight, ground::kKeyUp}).Then([&] {
    EXPECT_EQ(nlohmann::ordered_json::parse(ScreenJson(h.jubo))["dialog"].dump(),
              R"({"form":"frmCount","lines":["How many songs?","125"],)"
              R"("buttons":["100","10","1","DONE"],"selected":1,"value":125})");
  });
  h.Run();
}

}  // namespace
}  // namespace remote
