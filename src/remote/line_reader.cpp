#include "remote/line_reader.h"

namespace remote {

bool LineReader::Feed(std::string_view bytes, std::vector<std::string>* lines) {
  for (char c : bytes) {
    if (c == '\n') {
      if (since_break_ <= max_line_) {
        if (!partial_.empty() && partial_.back() == '\r') partial_.pop_back();
        lines->push_back(std::move(partial_));
      }
      partial_.clear();
      since_break_ = 0;
      continue;
    }
    if (++since_break_ > kMaxWithoutBreak) return false;
    // Past the limit the line is dropped whole: keep counting, stop keeping.
    if (since_break_ <= max_line_) {
      partial_.push_back(c);
    } else {
      partial_.clear();
    }
  }
  return true;
}

}  // namespace remote
