#include "remote/messages.h"

#include <cctype>

namespace remote {

std::optional<long> ParseMessageNumber(std::string_view line) {
  while (!line.empty() && std::isspace(static_cast<unsigned char>(line.front())))
    line.remove_prefix(1);
  while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back())))
    line.remove_suffix(1);
  int base = 10;
  if (line.size() > 2 && line[0] == '0' && (line[1] == 'x' || line[1] == 'X')) {
    base = 16;
    line.remove_prefix(2);
  }
  // At most 8 digits: no line a remote sends is longer, and no overflow is possible.
  if (line.empty() || line.size() > 8) return std::nullopt;
  long value = 0;
  for (char c : line) {
    int digit = std::isdigit(static_cast<unsigned char>(c))                  ? c - '0'
                : base == 16 && std::isxdigit(static_cast<unsigned char>(c)) ? (c | 0x20) - 'a' + 10
                                                                             : -1;
    if (digit < 0) return std::nullopt;
    value = value * base + digit;
  }
  return value;
}

std::optional<int16_t> KeyForMessage(long number) {
  for (const RemoteMessage& m : kMessages) {
    if (m.number == number) return m.key;
  }
  return std::nullopt;
}

const RemoteMessage* MessageNamed(std::string_view name) {
  for (const RemoteMessage& m : kMessages) {
    if (name == m.name) return &m;
  }
  return nullptr;
}

}  // namespace remote
