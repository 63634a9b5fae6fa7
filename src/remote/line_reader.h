// Cuts what a remote client sends into lines, within the protocol's limits: a line longer
// than 64 bytes (or the reader's own limit) is dropped whole, and a client that sends 1 MiB
// without a line break is to be disconnected.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace remote {

inline constexpr size_t kMaxLine = 64;
inline constexpr size_t kMaxWithoutBreak = 1 << 20;

class LineReader {
 public:
  // Lines longer than `max_line` bytes are dropped whole.
  explicit LineReader(size_t max_line = kMaxLine) : max_line_(max_line) {}
  // Takes the next bytes received and returns the complete lines among them (without the line
  // break; a CR before it is dropped too). Returns false once the client must be disconnected.
  bool Feed(std::string_view bytes, std::vector<std::string>* lines);

 private:
  size_t max_line_;
  std::string partial_;     // the line received so far, while it is within the limit
  size_t since_break_ = 0;  // bytes since the last line break
};

}  // namespace remote
