// Pixels of a picture, as plain data: what a screenshot holds, read back from its file.
#pragma once

#include <string>
#include <vector>

#include "screen/form.h"

namespace platform {

struct Image {
  int width = 0, height = 0;
  std::vector<screen::Color> pixels;  // rows top to bottom, `width` pixels each

  const screen::Color& At(int x, int y) const { return pixels[y * width + x]; }
};

// Reads a PNG (or any picture SDL_image reads). Returns false with a reason on failure.
bool ReadImage(const std::string& path, Image* image, std::string* error);

}  // namespace platform
