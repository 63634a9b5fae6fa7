// frmSplash, shown while the library loads.
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

}  // namespace app
