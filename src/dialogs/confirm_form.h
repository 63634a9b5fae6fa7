// frmConfirm: the yes/no question, sized for reading from across the room.
#pragma once

#include <array>

#include "screen/form.h"

namespace dialogs {

class ConfirmForm : public screen::Form {
 public:
  screen::Frame shpBackground;
  screen::Label lblTitle, lblTitle2;
  std::array<screen::Frame, 2> shpItem;  // the option boxes: [0] "Yes", [1] "No"
  std::array<screen::Label, 2> lblItem;  // their captions

  void Accept(screen::FormVisitor& visitor) const override;
};

}  // namespace dialogs
