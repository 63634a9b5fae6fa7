// Text measured in characters, as the screen counts them (UTF-8 code points, not bytes).
#pragma once

#include <string>
#include <string_view>

namespace screen {

// Number of characters of `text`.
size_t Len(std::string_view text);
// The first `n` characters of `text` (all of it when shorter; none when n <= 0).
std::string Left(std::string_view text, long n);
// The letter a name is listed under: its first character upper-cased when it is one of the 52
// English letters, else "*" (digits, punctuation, accented letters, an empty name).
std::string FirstLetter(std::string_view name);

}  // namespace screen
