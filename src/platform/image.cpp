#include "platform/image.h"

#include <SDL.h>
#include <SDL_image.h>

namespace platform {

bool ReadImage(const std::string& path, Image* image, std::string* error) {
  SDL_Surface* loaded = IMG_Load(path.c_str());
  if (loaded == nullptr) {
    *error = "cannot read " + path + ": " + IMG_GetError();
    return false;
  }
  SDL_Surface* rgb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB24, 0);
  SDL_FreeSurface(loaded);
  if (rgb == nullptr) {
    *error = "cannot convert " + path + ": " + SDL_GetError();
    return false;
  }
  image->width = rgb->w;
  image->height = rgb->h;
  image->pixels.resize(static_cast<size_t>(rgb->w) * rgb->h);
  for (int y = 0; y < rgb->h; ++y) {
    const auto* row = static_cast<const Uint8*>(rgb->pixels) + y * rgb->pitch;
    for (int x = 0; x < rgb->w; ++x) {
      image->pixels[y * rgb->w + x] = {row[3 * x], row[3 * x + 1], row[3 * x + 2]};
    }
  }
  SDL_FreeSurface(rgb);
  return true;
}

}  // namespace platform
