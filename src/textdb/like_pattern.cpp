#include "textdb/like_pattern.h"

#include <unicode/uchar.h>

namespace textdb {
namespace {

// Decodes the code point at *pos and advances; a stray byte counts as one U+FFFD.
char32_t NextCodePoint(std::string_view s, size_t* pos) {
  auto c = static_cast<unsigned char>(s[*pos]);
  int extra = c < 0x80             ? 0
              : (c & 0xE0) == 0xC0 ? 1
              : (c & 0xF0) == 0xE0 ? 2
              : (c & 0xF8) == 0xF0 ? 3
                                   : -1;
  if (extra < 0 || *pos + extra >= s.size()) {
    ++*pos;
    return 0xFFFD;
  }
  char32_t cp = extra == 0 ? c : c & (0x3F >> extra);
  for (int i = 1; i <= extra; ++i) {
    auto b = static_cast<unsigned char>(s[*pos + i]);
    if ((b & 0xC0) != 0x80) {
      ++*pos;
      return 0xFFFD;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  *pos += extra + 1;
  return cp;
}

char32_t Fold(char32_t c) {
  return static_cast<char32_t>(u_foldCase(static_cast<UChar32>(c), U_FOLD_CASE_DEFAULT));
}

}  // namespace

std::optional<LikePattern> LikePattern::Compile(std::string_view pattern, std::string* error) {
  LikePattern p;
  size_t pos = 0;
  while (pos < pattern.size()) {
    char32_t c = NextCodePoint(pattern, &pos);
    Token t;
    if (c == '%') {
      // Runs of % mean the same as one.
      if (!p.tokens_.empty() && p.tokens_.back().kind == Token::kAnyRun) continue;
      t.kind = Token::kAnyRun;
    } else if (c == '_') {
      t.kind = Token::kAnyOne;
    } else if (c == '[') {
      t.kind = Token::kSet;
      size_t set_start = pos;
      if (pos < pattern.size() && pattern[pos] == '!') {
        t.negated = true;
        ++pos;
      }
      bool closed = false;
      bool first = true;
      while (pos < pattern.size()) {
        char32_t lo = NextCodePoint(pattern, &pos);
        if (lo == ']' && !first) {
          closed = true;
          break;
        }
        first = false;
        char32_t hi = lo;
        if (pos + 1 < pattern.size() && pattern[pos] == '-' && pattern[pos + 1] != ']') {
          ++pos;
          hi = NextCodePoint(pattern, &pos);
        }
        t.ranges.emplace_back(lo, hi);
      }
      if (!closed) {
        *error = "invalid Like pattern '" + std::string(pattern) + "': '[' at character " +
                 std::to_string(set_start) + " is never closed";
        return std::nullopt;
      }
    } else {
      t.ch = c;
    }
    p.tokens_.push_back(std::move(t));
  }
  return p;
}

bool LikePattern::TokenMatches(const Token& t, char32_t c, bool exact_case) const {
  switch (t.kind) {
    case Token::kAnyOne:
      return true;
    case Token::kChar:
      return t.ch == c || (!exact_case && Fold(t.ch) == Fold(c));
    case Token::kSet: {
      bool in = false;
      for (const auto& [lo, hi] : t.ranges) in = in || (c >= lo && c <= hi);
      return in != t.negated;
    }
    case Token::kAnyRun:
      break;
  }
  return false;
}

bool LikePattern::Matches(std::string_view text, bool exact_case) const {
  // Classic wildcard matching with one backtrack point: every token but % takes exactly one
  // character, so resuming after the latest % is enough.
  size_t ti = 0, pi = 0;
  size_t star_pi = std::string_view::npos, star_ti = 0;
  while (true) {
    if (pi < tokens_.size() && tokens_[pi].kind == Token::kAnyRun) {
      if (pi + 1 == tokens_.size()) return true;
      star_pi = pi++;
      star_ti = ti;
      continue;
    }
    if (ti == text.size() && pi == tokens_.size()) return true;
    if (ti < text.size() && pi < tokens_.size()) {
      size_t next = ti;
      char32_t c = NextCodePoint(text, &next);
      if (TokenMatches(tokens_[pi], c, exact_case)) {
        ti = next;
        ++pi;
        continue;
      }
    }
    if (star_pi == std::string_view::npos || star_ti >= text.size()) return false;
    NextCodePoint(text, &star_ti);
    ti = star_ti;
    pi = star_pi + 1;
  }
}

}  // namespace textdb
