// Key codes as the program knows them, whatever the key came from (keyboard, media keys,
// remote control).
#pragma once

#include <cstdint>

namespace ground {

inline constexpr int16_t kKeyEnter = 13;
inline constexpr int16_t kKeyEscape = 27;
inline constexpr int16_t kKeyPageUp = 33;
inline constexpr int16_t kKeyPageDown = 34;
inline constexpr int16_t kKeyLeft = 37;
inline constexpr int16_t kKeyUp = 38;
inline constexpr int16_t kKeyRight = 39;
inline constexpr int16_t kKeyDown = 40;
// Letters are their upper-case codes, 'A' (65) to 'Z' (90).
constexpr int16_t KeyOf(char letter) { return static_cast<int16_t>(letter); }

}  // namespace ground
