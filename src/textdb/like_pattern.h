// `Like` patterns of the query dialect: % (any run of characters), _ (one character),
// [abc] and [a-z] (one character of a set or range), [!abc] (one character not in it).
// Sets and ranges match by character code, so [a-zA-Z] is exactly the 52 English letters;
// every other character matches case-insensitively, unless the match is exact (Filename).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace textdb {

class LikePattern {
 public:
  // Compiles `pattern`; on a malformed one ("[" never closed) returns nullopt and sets *error.
  static std::optional<LikePattern> Compile(std::string_view pattern, std::string* error);

  // True when the whole of `text` (UTF-8) matches.
  bool Matches(std::string_view text, bool exact_case) const;

 private:
  struct Token {
    enum Kind { kAnyRun, kAnyOne, kChar, kSet } kind = kChar;
    char32_t ch = 0;                                    // kChar
    bool negated = false;                               // kSet
    std::vector<std::pair<char32_t, char32_t>> ranges;  // kSet, inclusive
  };
  bool TokenMatches(const Token& t, char32_t c, bool exact_case) const;

  std::vector<Token> tokens_;
};

}  // namespace textdb
