// Forms are data. A form is a plain model of its controls (labels, frames, pictures, a text
// box), positioned in twips (15 to a pixel on the reference display, every design length
// already multiplied by ScreenScale). Program code fills the models; the platform's renderer
// only reads them, drawing every shown form as a layer, dialogs centred over the main screen.
// Tests read the same models.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace screen {

inline constexpr int kTwipsPerPixel = 15;

struct Color {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Color&) const = default;
};

// The palette. The dialogs' red and black are the program's own; the rest is our design: a
// dark screen, light text, a strong highlight frame.
inline constexpr Color kBlack{0, 0, 0};
inline constexpr Color kRed{255, 0, 0};
inline constexpr Color kBackground{12, 16, 28};
inline constexpr Color kPanelBorder{70, 84, 120};
inline constexpr Color kText{236, 240, 248};
inline constexpr Color kDimText{160, 172, 196};
inline constexpr Color kAccent{255, 196, 64};
inline constexpr Color kDialogBackground{28, 34, 52};

enum class Align { kLeft, kCenter, kRight };

// A line of text. `caption` is what shows; `tag` is the key program code keeps with it.
struct Label {
  int left = 0, top = 0, width = 0, height = 0;
  double points = 12;  // font size in points, already scaled; the face is "Arial"
  bool bold = false;
  Align align = Align::kLeft;
  Color color = kText;
  std::string caption;
  std::string tag;
  bool visible = true;
};

// A rectangle: a border of `border` pixels, filled when `filled`.
struct Frame {
  int left = 0, top = 0, width = 0, height = 0;
  int border = 1;
  Color border_color = kPanelBorder;
  bool filled = false;
  Color fill = kBlack;
  bool visible = true;
};

// The frame just inside a form `width` by `height`, `inset` from each edge: a dialog's border.
inline Frame InsetFrame(int width, int height, int inset, int border, Color color) {
  Frame frame;
  frame.left = frame.top = inset;
  frame.width = width - 2 * inset;
  frame.height = height - 2 * inset;
  frame.border = border;
  frame.border_color = color;
  return frame;
}

// A picture from the program's assets (assets/<asset>.svg), drawn to fit its box.
struct Picture {
  int left = 0, top = 0, width = 0, height = 0;
  std::string asset;
  bool visible = true;
};

// A scrollable block of text. Program code wraps its `text` into `lines` for the box's width in
// its font (SetBoxText, render.h), so the program knows how far it can scroll; the renderer
// draws `lines` from `first_line` down, one every `line_height` twips, as many as fit whole in
// the box (VisibleLines), and wraps nothing itself.
struct TextBox {
  int left = 0, top = 0, width = 0, height = 0;
  double points = 12;
  int line_height = 0;               // twips from one line's top to the next's
  std::string text{};                // as given: paragraphs end at '\n'
  std::vector<std::string> lines{};  // `text` wrapped to `width`; none shows until then
  int first_line = 0;                // the line shown at the top, 0-based
  // Lines that read exactly one of these stand out, bold and in the accent colour: headings.
  std::vector<std::string> headings{};
  bool visible = false;
};

// How many lines the box shows at once.
inline int VisibleLines(const TextBox& box) {
  return box.line_height > 0 ? box.height / box.line_height : 0;
}

// The media player's moving picture (its visualisation of the sound), scaled to fill its box.
// What it shows comes from the player, not from the model: a new picture from the player
// redraws it by itself.
struct Video {
  int left = 0, top = 0, width = 0, height = 0;
  bool visible = true;
};

// Whether a control puts anything on the screen: one that is hidden or has nothing to show
// does not, whatever its other fields say.
inline bool Shows(const Frame& frame) { return frame.visible; }
inline bool Shows(const Label& label) { return label.visible && !label.caption.empty(); }
inline bool Shows(const Picture& picture) { return picture.visible && !picture.asset.empty(); }
inline bool Shows(const TextBox& box) { return box.visible && !box.lines.empty(); }
inline bool Shows(const Video& video) { return video.visible; }

// Receives a form's controls in drawing order, back to front.
class FormVisitor {
 public:
  virtual ~FormVisitor() = default;
  virtual void Visit(const Frame& frame) = 0;
  virtual void Visit(const Label& label) = 0;
  virtual void Visit(const Picture& picture) = 0;
  virtual void Visit(const TextBox& box) = 0;
  virtual void Visit(const Video& video) = 0;
};

class Form {
 public:
  virtual ~Form() = default;
  int width = 0, height = 0;  // twips
  Color background = kBackground;
  // Full-screen forms cover the display; the others are centred over what lies below.
  bool full_screen = false;

  virtual void Accept(FormVisitor& visitor) const = 0;
};

}  // namespace screen
