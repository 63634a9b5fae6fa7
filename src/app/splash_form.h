// frmSplash, shown while the library loads, and the message box that tells why the program
// cannot start.
#pragma once

#include "screen/form.h"

namespace app {

class SplashForm : public screen::Form {
 public:
  screen::Frame shpBorder;
  screen::Picture imgLogo;
  screen::Label lblProductName, lblVersion, lblWait;

  void Accept(screen::FormVisitor& visitor) const override;
};

class MessageBoxForm : public screen::Form {
 public:
  screen::Frame shpBorder;
  screen::Label lblIcon, lblText;
  screen::Frame shpButton;
  screen::Label lblButton;

  void Accept(screen::FormVisitor& visitor) const override;
};

}  // namespace app
