#include "library/queries.h"

#include <gtest/gtest.h>

namespace library {
namespace {

TEST(QueriesTest, QuotingRuleAndItsReverse) {
  struct Case {
    std::string_view raw, escaped;
  };
  const Case kCases[] = {{"", ""}, {"O'Dara", "O''Dara"}, {"''", "''''"}, {"a'b'c", "a''b''c"}};
  for (const Case& c : kCases) {
    EXPECT_EQ(Escape(c.raw), c.escaped);
    EXPECT_EQ(Unescape(c.escaped), c.raw);
  }
}

}  // namespace
}  // namespace library
