// The screen saver's state: its two windows and its timers. The type in effect (SaverType) and
// the one configured are the settings'; the view under the saver is the screen state's.
#pragma once

#include <cstdint>

#include "screen/form.h"

namespace screen {

// A black form covering the whole screen: what every saver window is.
class CoverForm : public Form {
 public:
  CoverForm() {
    full_screen = true;
    background = kBlack;
  }
};

// frmSaver: black, covering the screen, with the logo (imgSaver) when the type in effect is
// Logo, and nothing when it is Blank Screen.
class SaverForm : public CoverForm {
 public:
  Picture imgSaver;
  void Accept(FormVisitor& visitor) const override { visitor.Visit(imgSaver); }
};

// The player window: the player's visualisation, full screen.
class PlayerVideoForm : public CoverForm {
 public:
  Video vidPlayer;
  void Accept(FormVisitor& visitor) const override { visitor.Visit(vidPlayer); }
};

struct SaverState {
  SaverForm frmSaver;
  PlayerVideoForm frmVideo;
  int16_t LogoFallbackTicks = 0;  // seconds the player has been idle under the saver
  int move_timer = 0;             // frmSaver's Timer1, moving the logo; 0 while not running
  int logo_timer = 0;             // LogoTimer, the fallback's check; 0 while not running
};

}  // namespace screen
