#include "textdb/query.h"

#include <gtest/gtest.h>

#include "textdb/like_pattern.h"

namespace textdb {
namespace {

TEST(QueryTest, RefusesTextOutsideTheDialectWithAMessage) {
  struct Case {
    std::string_view sql;
    std::string_view message_part;
  };
  const Case kCases[] = {
      {"", "expected Select but found the end of the query"},
      {"Delete from jubodb.txt", "expected Select but found 'Delete' at character 1"},
      {"Select from jubodb.txt", "expected a column name or *"},
      {"Select Album jubodb.txt", "expected from but found 'jubodb.txt'"},
      {"Select Album from", "expected a table name"},
      {"Select Album from jubodb.txt where", "expected a column name or a value"},
      {"Select Album from jubodb.txt where Album = 'x", "has no closing quote"},
      {"Select Album from jubodb.txt where Album Like x", "expected a quoted pattern"},
      {"Select Album from jubodb.txt where Album Not = 'x'", "expected Like"},
      {"Select Album from jubodb.txt where (Album = 'x'", "expected ')'"},
      {"Select Album from jubodb.txt Order Album", "expected by"},
      {"Select Album from jubodb.txt; drop table x", "expected the end of the query"},
      {"Select Album from jubodb.txt where Album = 'x' @", "unexpected character '@'"},
      {"Select [Album from jubodb.txt", "never closed"},
  };
  for (const Case& c : kCases) {
    SelectStatement s;
    Status status = ParseSelect(c.sql, &s);
    EXPECT_EQ(status.code(), ErrorCode::kBadQuery) << c.sql;
    EXPECT_NE(status.message().find(c.message_part), std::string::npos)
        << c.sql << " gave: " << status.message();
  }
}

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
      // Sets match by character code, not by case: [B] alone misses b.
      {"[B]%", "bee", false, false},
      {"[!a-z]%", "Bee", false, true},
      {"[É]%", "Élan", false, true},
      // Plain characters match without regard to case, accents included, unless exact.
      {"blue%", "BLUE HOUR", false, true},
      {"élan", "ÉLAN", false, true},
      {"/Music/%", "/music/a.ogg", true, false},
      // % is any run, _ exactly one character (not one byte).
      {"B%e%r", "Blue Hour", false, true},
      {"_lan", "Élan", false, true},
      {"%", "", false, true},
      {"%%a", "banana", false, true},
      // Wildcard characters inside a set are literal.
      {"[%]%", "%off", false, true},
      {"[_]x", "ax", false, false},
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
