// The form the program's own dialogs share (frmConfirm, frmCount, frmInfo): two large lines
// over a row of buttons, one of them marked, sized for reading from across the room.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dialogs/modal.h"
#include "screen/form.h"

namespace dialogs {

class DialogForm : public screen::Form {
 public:
  std::string name;  // "frmConfirm", "frmCount", "frmInfo"
  screen::Frame shpBackground;
  screen::Label lblTitle, lblTitle2;   // the two lines
  std::vector<screen::Frame> shpItem;  // the buttons' boxes, left to right
  std::vector<screen::Label> lblItem;  // their captions
  int16_t Selected = 1;                // the marked button, 1-based

  void Accept(screen::FormVisitor& visitor) const override;
};

// A button's place and caption; lengths in design twips.
struct ButtonPlace {
  int left;
  int width;
  std::string caption;
};

// Lays `form` out as every dialog is, each design length times ScreenScale: 5200 by 2700 with
// a frame inset 100 (border 4); `line1` and `line2` at 24 points, 720 high, from 300 down, as
// wide as the frame and centred; below them, 500 down plus both lines' height, the buttons,
// 420 high with 16-point captions, none marked. A caption that would run into the edges of
// its box (the count's "DONE" fills its box at 16 points) is set smaller, to keep a margin.
void LayOutDialog(const DialogContext& jubo, DialogForm& form, const std::string& name,
                  const std::string& line1, const std::string& line2,
                  const std::vector<ButtonPlace>& buttons);

// Marks button `button` (1-based) and makes it the Selected one: a red box with black text.
// Unmarked buttons are black boxes with red text.
void MarkButton(DialogForm& form, int16_t button);

// Left or Right: the beep, and the mark moves to the button before or after, wrapping around.
void MoveMark(DialogContext& jubo, DialogForm& form, int16_t key_code);

// A dialog drawn on a DialogForm; it reports its form's lines, buttons and mark.
class ButtonDialog : public Modal {
 public:
  const screen::Form& form() const override { return form_; }
  DialogSummary Summary() const override;

 protected:
  DialogForm form_;
};

}  // namespace dialogs
