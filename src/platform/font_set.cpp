#include "platform/font_set.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>

namespace platform {
namespace {

// Beyond this a label would not fit on any screen; it only guards against absurd sizes.
constexpr int kMaxPixelSize = 1000;

// The file fontconfig picks for `pattern_text`, and the face's weight; false when none.
bool Match(FcConfig* config, const char* pattern_text, std::string* file, int* index, int* weight) {
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(pattern_text));
  if (pattern == nullptr) return false;
  FcConfigSubstitute(config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(config, pattern, &result);
  FcPatternDestroy(pattern);
  if (match == nullptr) return false;
  FcChar8* path = nullptr;
  const bool found = FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch;
  if (found) {
    *file = reinterpret_cast<const char*>(path);
    if (FcPatternGetInteger(match, FC_INDEX, 0, index) != FcResultMatch) *index = 0;
    if (FcPatternGetInteger(match, FC_WEIGHT, 0, weight) != FcResultMatch) {
      *weight = FC_WEIGHT_REGULAR;
    }
  }
  FcPatternDestroy(match);
  return found;
}

}  // namespace

int PixelSizeForPoints(double points) {
  const double pixels = std::round(points * 96.0 / 72.0);
  if (!(pixels >= 1)) return 1;  // also NaN
  return static_cast<int>(std::min<double>(pixels, kMaxPixelSize));
}

FontSet::~FontSet() {
  for (auto& [key, font] : fonts_) TTF_CloseFont(font);
}

bool FontSet::Load(std::string* error) {
  // A configuration of our own, let go once the files are known: the process-wide one would
  // stay for the program's life (and other libraries may rely on it).
  FcConfig* config = FcInitLoadConfigAndFonts();
  if (config == nullptr) {
    *error = "fontconfig could not read its configuration";
    return false;
  }
  int weight = 0;
  const bool found = Match(config, "Arial", &regular_.file, &regular_.index, &weight);
  if (found && (!Match(config, "Arial:bold", &bold_.file, &bold_.index, &weight) ||
                weight < FC_WEIGHT_BOLD)) {
    bold_ = regular_;
    bold_.synthetic_bold = true;
  }
  FcConfigDestroy(config);
  if (!found) *error = "no font found for \"Arial\"; install fonts-liberation2";
  return found;
}

TTF_Font* FontSet::Get(int pixel_size, bool bold) {
  pixel_size = std::clamp(pixel_size, 1, kMaxPixelSize);
  const auto key = std::make_pair(pixel_size, bold);
  if (auto it = fonts_.find(key); it != fonts_.end()) return it->second;
  const Face& face = bold ? bold_ : regular_;
  // SDL_ttf sizes at 72 dots to the inch, so its point size is the em size in pixels.
  TTF_Font* font = TTF_OpenFontIndex(face.file.c_str(), pixel_size, face.index);
  if (font == nullptr) return nullptr;
  if (face.synthetic_bold) TTF_SetFontStyle(font, TTF_STYLE_BOLD);
  fonts_.emplace(key, font);
  return font;
}

int FontSet::WidthPixels(std::string_view text, int pixel_size, bool bold) {
  if (text.empty()) return 0;
  TTF_Font* font = Get(pixel_size, bold);
  if (font == nullptr) return 0;
  int width = 0, height = 0;
  if (TTF_SizeUTF8(font, std::string(text).c_str(), &width, &height) != 0) return 0;
  return width;
}

}  // namespace platform
