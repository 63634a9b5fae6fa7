#include "textdb/like_pattern.h"

#include <gtest/gtest.h>

namespace textdb {
namespace {

TEST(LikePatternTest, MatchesAsTheDialectSays) {
  struct Case {
    std::string_view pattern;
    std::string_view text;
    bool exact_case;
    bool matches;
  };
  const Case kCases[] = {
      // First letters, either case, through a set.
      {"[Bb]%", "Blue Hour", false, true},
      // "*": anything that does not begin with an English letter.
      {"[a-zA-Z]%", "Élan", false, false},
      {"[a-zA-Z]%", "zephyr", false, true},
      // Sets match by character code, not by case: [B] alone misses b.
      {"[B]%", "bee", false, false},
      {"[!a-z]%", "Bee", false, true},
      {"[!a-z]%", "bee", false, false},
      {"[É]%", "Élan", false, true},
      // Plain characters match without regard to case, accents included, unless exact.
      {"blue%", "BLUE HOUR", false, true},
      {"élan", "ÉLAN", false, true},
      {"/Music/%", "/music/a.ogg", true, false},
      // % is any run, _ exactly one character (not one byte).
      {"B%e%r", "Blue Hour", false, true},
      {"B%e%x", "Blue Hour", false, false},
      {"_lan", "Élan", false, true},
      {"%", "", false, true},
      {"%%a", "banana", false, true},
      // Wildcard characters inside a set are literal.
      {"[%]%", "%off", false, true},
      {"[_]x", "ax", false, false},
      {"100[%]", "100%", false, true},
      // ] first in a set is a member.
      {"[]a]", "]", false, true},
  };
  for (const Case& c : kCases) {
    std::string error;
    auto pattern = LikePattern::Compile(c.pattern, &error);
    ASSERT_TRUE(pattern) << c.pattern << ": " << error;
    EXPECT_EQ(pattern->Matches(c.text, c.exact_case), c.matches)
        << "'" << c.text << "' Like '" << c.pattern << "'" << (c.exact_case ? " (exact)" : "");
  }
}

TEST(LikePatternTest, RefusesUnclosedSetsAndSurvivesInvalidUtf8) {
  std::string error;
  for (std::string_view pattern : {"[abc", "x[", "[!", "[]"}) {
    EXPECT_FALSE(LikePattern::Compile(pattern, &error)) << pattern;
    EXPECT_NE(error.find("never closed"), std::string::npos) << pattern << ": " << error;
  }
  auto pattern = LikePattern::Compile("_%", &error);
  ASSERT_TRUE(pattern);
  EXPECT_TRUE(pattern->Matches("\xff\xfe", false));
  EXPECT_TRUE(pattern->Matches("\xe2\x82", false));
}

}  // namespace
}  // namespace textdb
