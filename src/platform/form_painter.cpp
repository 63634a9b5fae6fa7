#include "platform/form_painter.h"

#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

namespace platform {
namespace {

// A video source's pixel layout (bytes blue, green, red, unused) as SDL names it.
#if SDL_BYTEORDER == SDL_LIL_ENDIAN
constexpr Uint32 kVideoFormat = SDL_PIXELFORMAT_XRGB8888;
#else
constexpr Uint32 kVideoFormat = SDL_PIXELFORMAT_BGRX8888;
#endif

int ToPixels(int twips) {
  return static_cast<int>(std::lround(static_cast<double>(twips) / screen::kTwipsPerPixel));
}

// Brings `cache` within `kept` bytes by dropping the textures used longest ago, never one the
// frame just drawn used. A budget in bytes, not in textures: at 1920x1080 a row's caption
// alone is some 100 kB, and a thousand of them cost more than all the rest of the program.
template <typename Cache>
void DropUnused(Cache* cache, size_t kept, uint64_t frame) {
  size_t bytes = 0;
  for (const auto& [key, texture] : *cache) bytes += texture.Bytes();
  if (bytes <= kept) return;
  std::vector<typename Cache::iterator> unused;
  for (auto it = cache->begin(); it != cache->end(); ++it) {
    if (it->second.last_frame != frame) unused.push_back(it);
  }
  std::sort(unused.begin(), unused.end(),
            [](auto a, auto b) { return a->second.last_frame < b->second.last_frame; });
  for (auto it : unused) {
    if (bytes <= kept) break;
    bytes -= it->second.Bytes();
    if (it->second.texture != nullptr) SDL_DestroyTexture(it->second.texture);
    cache->erase(it);
  }
}

}  // namespace

FormPainter::FormPainter(SDL_Renderer* renderer, FontSet* fonts, std::string asset_folder)
    : renderer_(renderer), fonts_(fonts), asset_folder_(std::move(asset_folder)) {}

FormPainter::~FormPainter() { DropTextures(); }

void FormPainter::DropTextures() {
  for (auto* cache : {&texts_, &pictures_}) {
    for (auto& [key, entry] : *cache) {
      if (entry.texture != nullptr) SDL_DestroyTexture(entry.texture);
    }
    cache->clear();
  }
  if (video_.texture != nullptr) SDL_DestroyTexture(video_.texture);
  video_ = Texture{};
  video_picture_ = -1;
}

void FormPainter::SetVideoSource(VideoSource* source) {
  video_source_ = source;
  video_picture_ = -1;
}

size_t FormPainter::CachedBytes() const {
  size_t bytes = 0;
  for (const auto* cache : {&texts_, &pictures_}) {
    for (const auto& [key, texture] : *cache) bytes += texture.Bytes();
  }
  return bytes;
}

void FormPainter::Paint(const screen::Form& form, const SDL_Rect& area) {
  FillRect(area, form.background);
  origin_ = {area.x, area.y};
  form.Accept(*this);
}

void FormPainter::EndFrame() {
  DropUnused(&texts_, kTextBytesKept, frame_);
  DropUnused(&pictures_, kPictureBytesKept, frame_);
  ++frame_;
}

SDL_Rect FormPainter::Box(int left, int top, int width, int height) const {
  // Edges are rounded, not lengths, so that boxes which meet in twips meet in pixels.
  const int x = ToPixels(left), y = ToPixels(top);
  return {origin_.x + x, origin_.y + y, std::max(ToPixels(left + width) - x, 0),
          std::max(ToPixels(top + height) - y, 0)};
}

void FormPainter::FillRect(const SDL_Rect& rect, screen::Color color) {
  if (rect.w <= 0 || rect.h <= 0) return;
  SDL_SetRenderDrawColor(renderer_, color.r, color.g, color.b, SDL_ALPHA_OPAQUE);
  SDL_RenderFillRect(renderer_, &rect);
}

void FormPainter::Visit(const screen::Frame& frame) {
  if (!screen::Shows(frame)) return;
  const SDL_Rect box = Box(frame.left, frame.top, frame.width, frame.height);
  const int border = std::max(frame.border, 0);
  if (border * 2 >= box.w || border * 2 >= box.h) {
    FillRect(box, border > 0 ? frame.border_color : frame.fill);
    return;
  }
  if (frame.filled) {
    FillRect({box.x + border, box.y + border, box.w - 2 * border, box.h - 2 * border}, frame.fill);
  }
  if (border == 0) return;
  FillRect({box.x, box.y, box.w, border}, frame.border_color);
  FillRect({box.x, box.y + box.h - border, box.w, border}, frame.border_color);
  FillRect({box.x, box.y + border, border, box.h - 2 * border}, frame.border_color);
  FillRect({box.x + box.w - border, box.y + border, border, box.h - 2 * border},
           frame.border_color);
}

void FormPainter::Visit(const screen::Label& label) {
  if (!screen::Shows(label)) return;
  const SDL_Rect box = Box(label.left, label.top, label.width, label.height);
  DrawText(label.caption, PixelSizeForPoints(label.points), label.bold, label.align, label.color,
           box, box);
}

void FormPainter::Visit(const screen::Picture& picture) {
  if (!screen::Shows(picture)) return;
  const SDL_Rect box = Box(picture.left, picture.top, picture.width, picture.height);
  if (box.w <= 0 || box.h <= 0) return;
  const Texture* svg = Svg(picture.asset, box.w, box.h);
  if (svg == nullptr) return;
  // Drawn at its own proportions, centred in the box.
  const SDL_Rect target{box.x + (box.w - svg->width) / 2, box.y + (box.h - svg->height) / 2,
                        svg->width, svg->height};
  SDL_RenderCopy(renderer_, svg->texture, nullptr, &target);
}

void FormPainter::Visit(const screen::TextBox& box) {
  if (!screen::Shows(box)) return;
  const SDL_Rect area = Box(box.left, box.top, box.width, box.height);
  const int pixel_size = PixelSizeForPoints(box.points);
  const size_t first = static_cast<size_t>(std::max(box.first_line, 0));
  const size_t end =
      std::min(box.lines.size(), first + static_cast<size_t>(screen::VisibleLines(box)));
  for (size_t i = first; i < end; ++i) {
    const int top = box.top + static_cast<int>(i - first) * box.line_height;
    const bool heading = std::ranges::count(box.headings, box.lines[i]) > 0;
    DrawText(box.lines[i], pixel_size, heading, screen::Align::kLeft,
             heading ? screen::kAccent : screen::kText,
             Box(box.left, top, box.width, box.line_height), area);
  }
}

void FormPainter::Visit(const screen::Video& video) {
  if (!screen::Shows(video)) return;
  const SDL_Rect box = Box(video.left, video.top, video.width, video.height);
  if (!UpdateVideo()) {
    FillRect(box, screen::kBlack);
    return;
  }
  SDL_RenderCopy(renderer_, video_.texture, nullptr, &box);
}

bool FormPainter::UpdateVideo() {
  if (video_source_ == nullptr) return false;
  const int width = video_source_->PictureWidth(), height = video_source_->PictureHeight();
  if (width <= 0 || height <= 0) return false;
  if (video_.texture == nullptr || video_.width != width || video_.height != height) {
    if (video_.texture != nullptr) SDL_DestroyTexture(video_.texture);
    video_ = Texture{nullptr, width, height};
    video_picture_ = -1;
    video_.texture =
        SDL_CreateTexture(renderer_, kVideoFormat, SDL_TEXTUREACCESS_STREAMING, width, height);
    if (video_.texture == nullptr) return false;
    // The pictures are made smaller than the screen. Scaled up smoothly where a graphics card
    // does it for nothing; by repeating pixels where the processor does it all, which costs
    // 15% of a core at 1920x1080 against 25% for smooth scaling.
    SDL_RendererInfo info;
    const bool software =
        SDL_GetRendererInfo(renderer_, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE) != 0;
    SDL_SetTextureScaleMode(video_.texture, software ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
  }
  const int64_t picture = video_source_->PicturesMade();
  if (picture == video_picture_) return true;
  void* pixels = nullptr;
  int pitch = 0;
  if (SDL_LockTexture(video_.texture, nullptr, &pixels, &pitch) != 0) return false;
  if (!video_source_->DrawPicture(width, height, pitch, pixels)) {
    std::memset(pixels, 0, static_cast<size_t>(pitch) * height);
  }
  SDL_UnlockTexture(video_.texture);
  video_picture_ = picture;
  return true;
}

const FormPainter::Texture* FormPainter::Text(std::string_view text, int pixel_size, bool bold) {
  std::string key = std::to_string(pixel_size) + (bold ? "b|" : "r|");
  key.append(text);
  auto it = texts_.find(key);
  if (it == texts_.end()) {
    Texture made;
    if (TTF_Font* font = fonts_->Get(pixel_size, bold)) {
      // White, so that one texture serves every colour through colour modulation.
      SDL_Surface* surface =
          TTF_RenderUTF8_Blended(font, std::string(text).c_str(), SDL_Color{255, 255, 255, 255});
      if (surface != nullptr) {
        made.texture = SDL_CreateTextureFromSurface(renderer_, surface);
        made.width = surface->w;
        made.height = surface->h;
        SDL_FreeSurface(surface);
      }
    }
    it = texts_.emplace(std::move(key), made).first;
  }
  it->second.last_frame = frame_;
  return it->second.texture != nullptr ? &it->second : nullptr;
}

const FormPainter::Texture* FormPainter::Svg(const std::string& asset, int width, int height) {
  const std::string key = asset + '|' + std::to_string(width) + 'x' + std::to_string(height);
  auto it = pictures_.find(key);
  if (it == pictures_.end()) {
    Texture made;
    const std::string path = asset_folder_ + "/" + asset + ".svg";
    SDL_Surface* surface = nullptr;
    if (SDL_RWops* file = SDL_RWFromFile(path.c_str(), "rb")) {
      // Sized by width first, keeping the picture's proportions; by height when too tall.
      surface = IMG_LoadSizedSVG_RW(file, width, 0);
      if (surface != nullptr && surface->h > height && SDL_RWseek(file, 0, RW_SEEK_SET) == 0) {
        SDL_FreeSurface(surface);
        surface = IMG_LoadSizedSVG_RW(file, 0, height);
      }
      SDL_RWclose(file);
    }
    if (surface == nullptr && unreadable_.insert(path).second) {
      std::fprintf(stderr, "jubo: cannot read the picture %s: %s\n", path.c_str(), SDL_GetError());
    }
    if (surface != nullptr) {
      made.texture = SDL_CreateTextureFromSurface(renderer_, surface);
      made.width = std::min(surface->w, width);
      made.height = std::min(surface->h, height);
      SDL_FreeSurface(surface);
    }
    it = pictures_.emplace(key, made).first;
  }
  it->second.last_frame = frame_;
  return it->second.texture != nullptr ? &it->second : nullptr;
}

void FormPainter::DrawText(std::string_view text, int pixel_size, bool bold, screen::Align align,
                           screen::Color color, const SDL_Rect& box, const SDL_Rect& clip) {
  if (text.empty()) return;
  const Texture* texture = Text(text, pixel_size, bold);
  if (texture == nullptr) return;
  int x = box.x;
  if (align == screen::Align::kCenter) x = box.x + (box.w - texture->width) / 2;
  if (align == screen::Align::kRight) x = box.x + box.w - texture->width;
  const SDL_Rect placed{x, box.y + (box.h - texture->height) / 2, texture->width, texture->height};
  SDL_Rect shown;
  if (!SDL_IntersectRect(&placed, &clip, &shown)) return;
  const SDL_Rect source{shown.x - placed.x, shown.y - placed.y, shown.w, shown.h};
  SDL_SetTextureColorMod(texture->texture, color.r, color.g, color.b);
  SDL_RenderCopy(renderer_, texture->texture, &source, &shown);
}

}  // namespace platform
