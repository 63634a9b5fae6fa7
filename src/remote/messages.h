// The remote-control protocol's messages: numbers 0x8000 to 0x8017, each standing for one key
// of the program, and the names jubo-remote knows them by. Remote software sends one message
// number a line, in decimal or 0x hex; anything else is ignored.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace remote {

struct RemoteMessage {
  uint16_t number;
  int16_t key;       // the key code it stands for
  const char* name;  // jubo-remote's name for it
};

inline constexpr std::array<RemoteMessage, 24> kMessages = {{
    {0x8000, 27, "escape"},   {0x8001, 38, "up"},        {0x8002, 40, "down"},
    {0x8003, 37, "left"},     {0x8004, 39, "right"},     {0x8005, 13, "enter"},
    {0x8006, 'P', "play"},    {0x8007, 'N', "next"},     {0x8008, 'B', "previous"},
    {0x8009, 'F', "forward"}, {0x800A, 'R', "rewind"},   {0x800B, 'S', "stop"},
    {0x800C, 'A', "saver"},   {0x800D, 33, "pageup"},    {0x800E, 34, "pagedown"},
    {0x800F, 'G', "nonstop"}, {0x8010, 'X', "shuffle"},  {0x8011, 'L', "repeat"},
    {0x8012, 'C', "clear"},   {0x8013, 'V', "settings"}, {0x8014, 'M', "menu"},
    {0x8015, 175, "volume+"}, {0x8016, 174, "volume-"},  {0x8017, 173, "mute"},
}};

// The number on a line: decimal ("32773") or hex ("0x8005"), blanks around it allowed; nullopt
// for anything else.
std::optional<long> ParseMessageNumber(std::string_view line);
// The key a message number stands for; nullopt outside 0x8000 to 0x8017.
std::optional<int16_t> KeyForMessage(long number);
// A message by jubo-remote's name for it.
const RemoteMessage* MessageNamed(std::string_view name);

}  // namespace remote
