// The message box that tells why the program cannot start: the message beside a red cross and
// an OK button, run as a dialog (the remote control answers it too).
#pragma once

#include <string>

#include "screen/form.h"

namespace app {

struct Jubo;

class MessageBoxForm : public screen::Form {
 public:
  screen::Frame shpBorder;
  screen::Label lblIcon, lblText;
  screen::Frame shpButton;
  screen::Label lblButton;

  void Accept(screen::FormVisitor& visitor) const override;
};

// Shows `message` until Enter or Escape dismisses it (or the program is asked to end); also
// writes it to standard error. It does not close by itself: the idle count does not run yet.
void ShowMessageBox(Jubo& jubo, const std::string& message);

}  // namespace app
