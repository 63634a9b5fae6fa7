// Measuring text as the screen will draw it, for shortening rows and titles to fit.
#pragma once

#include <string_view>

namespace screen {

class TextMeasure {
 public:
  virtual ~TextMeasure() = default;
  // Width in twips of `text` (UTF-8) in the screen's "Arial" at `points` (already scaled).
  virtual int WidthTwips(std::string_view text, double points, bool bold) const = 0;
};

}  // namespace screen
