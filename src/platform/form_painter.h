// Draws forms with an SDL renderer: frames, labels in the screen's font, SVG pictures, the
// lines of the help text box as the screen wrapped them, and the video source's newest picture.
// Text and pictures are kept as textures between frames, so a redraw of an unchanged screen only
// copies textures. Drawing never stops on an error: a control that cannot be drawn (a missing
// asset, an unopenable font) is skipped; a picture that cannot be read is named once on
// standard error, with the reason, so a tree installed without its assets says so.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "platform/font_set.h"
#include "platform/video_source.h"
#include "screen/form.h"

namespace platform {

// Textures kept from frame to frame: pages of a list come back from cache when the user pages
// up and down, and memory stays bounded however many texts have been drawn.
inline constexpr size_t kTextBytesKept = 24 << 20;
inline constexpr size_t kPictureBytesKept = 16 << 20;

class FormPainter : public screen::FormVisitor {
 public:
  // `renderer` and `fonts` must outlive the painter. Pictures are read from
  // `asset_folder`/<asset>.svg.
  FormPainter(SDL_Renderer* renderer, FontSet* fonts, std::string asset_folder);
  ~FormPainter() override;
  FormPainter(const FormPainter&) = delete;
  FormPainter& operator=(const FormPainter&) = delete;

  // Draws `form` (background and controls) into `area`, in pixels of the render output.
  void Paint(const screen::Form& form, const SDL_Rect& area);

  // Ends a frame: forgets the cached textures used longest ago, of those the frame did not use,
  // while the texts' exceed kTextBytesKept or the pictures' kPictureBytesKept.
  void EndFrame();
  // What the cached textures hold, at 4 bytes a pixel.
  size_t CachedBytes() const;

  // Forgets every texture, for when the renderer has lost them.
  void DropTextures();

  // Where Video controls get their pictures; not owned, nullptr for none (they show black).
  void SetVideoSource(VideoSource* source);

  void Visit(const screen::Frame& frame) override;
  void Visit(const screen::Label& label) override;
  void Visit(const screen::Picture& picture) override;
  void Visit(const screen::TextBox& box) override;
  void Visit(const screen::Video& video) override;

 private:
  struct Texture {
    SDL_Texture* texture = nullptr;  // nullptr: could not be made; not retried every frame
    int width = 0, height = 0;
    uint64_t last_frame = 0;
    // A texture that could not be made still costs its entry.
    size_t Bytes() const { return 4 * static_cast<size_t>(width) * height + 64; }
  };

  // A control's box in output pixels.
  SDL_Rect Box(int left, int top, int width, int height) const;
  // The text in white, to be tinted with a colour modulation; nullptr on failure.
  const Texture* Text(std::string_view text, int pixel_size, bool bold);
  const Texture* Svg(const std::string& asset, int width, int height);
  // Draws `text` aligned in `box` and centred on its height, cut at the edges of `clip`.
  void DrawText(std::string_view text, int pixel_size, bool bold, screen::Align align,
                screen::Color color, const SDL_Rect& box, const SDL_Rect& clip);
  void FillRect(const SDL_Rect& rect, screen::Color color);
  // Brings the video texture up to the source's newest picture; false when there is none.
  bool UpdateVideo();

  SDL_Renderer* renderer_;
  FontSet* fonts_;
  std::string asset_folder_;
  SDL_Point origin_{0, 0};
  uint64_t frame_ = 1;
  std::unordered_map<std::string, Texture> texts_;
  std::unordered_map<std::string, Texture> pictures_;
  std::unordered_set<std::string> unreadable_;  // pictures already named on standard error
  VideoSource* video_source_ = nullptr;
  // The source's pictures, drawn at their own size (the renderer scales them to the box).
  Texture video_;
  int64_t video_picture_ = -1;  // the source's count when video_ was last drawn; -1: never
};

}  // namespace platform
