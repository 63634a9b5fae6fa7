#include "screen/text.h"

#include <cctype>

namespace screen {
namespace {

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

size_t Len(std::string_view text) {
  size_t n = 0;
  for (char c : text) n += IsContinuation(c) ? 0 : 1;
  return n;
}

std::string Left(std::string_view text, long n) {
  if (n <= 0) return {};
  size_t i = 0;
  for (long seen = 0; i < text.size(); ++i) {
    if (!IsContinuation(text[i]) && seen++ == n) break;
  }
  return std::string(text.substr(0, i));
}

std::string FirstLetter(std::string_view name) {
  auto c = static_cast<unsigned char>(name.empty() ? ' ' : name[0]);
  if (c >= 0x80 || !std::isalpha(c)) return "*";
  return std::string(1, static_cast<char>(std::toupper(c)));
}

}  // namespace screen
