// The screen's one typeface, "Arial" as fontconfig matches it (Liberation Sans on Debian),
// opened once per pixel size and weight and kept open.
#pragma once

#include <SDL_ttf.h>

#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace platform {

// A label's font size in pixels: its points at 96 pixels to the inch, at least 1.
int PixelSizeForPoints(double points);

class FontSet {
 public:
  FontSet() = default;
  ~FontSet();
  FontSet(const FontSet&) = delete;
  FontSet& operator=(const FontSet&) = delete;

  // Asks fontconfig for the regular and bold faces. Returns false, with a message naming the
  // package to install, when it finds no font file at all. TTF_Init must have been called.
  bool Load(std::string* error);

  // The font at `pixel_size`; nullptr (with SDL's error set) when it cannot be opened.
  TTF_Font* Get(int pixel_size, bool bold);

  // Width in pixels of `text` (UTF-8) as Get's font draws it; 0 when it cannot be measured.
  int WidthPixels(std::string_view text, int pixel_size, bool bold);

  // The files in use, for messages.
  const std::string& regular_file() const { return regular_.file; }
  const std::string& bold_file() const { return bold_.file; }

 private:
  struct Face {
    std::string file;
    int index = 0;
    bool synthetic_bold = false;  // no bold face installed: SDL_ttf emboldens the regular one
  };
  Face regular_, bold_;
  std::map<std::pair<int, bool>, TTF_Font*> fonts_;
};

}  // namespace platform
