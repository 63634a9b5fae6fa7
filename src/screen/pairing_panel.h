// The pairing panel: shown over the main screen while a phone may pair, it gives the page's
// address, as text and as a QR code, and the six-digit code the phone must send. Enter or
// Escape closes it; so do a phone that pairs and kPairingShownMs without one.
#pragma once

#include <string>
#include <vector>

#include "screen/form.h"

namespace screen {

struct ScreenContext;

inline constexpr int kPairingShownMs = 2 * 60 * 1000;

// A QR code's modules, row by row: `size` by `size`, true for dark.
struct QrModules {
  int size = 0;
  std::vector<bool> dark;
};

class PairingForm : public Form {
 public:
  Frame shpBorder;
  Label lblTitle, lblAddress, lblHint, lblCode, lblClose;
  Frame shpQuiet;                 // the white square under the code, its margin included
  std::vector<Frame> shpModules;  // each run of dark modules in a row, one black box
  void Accept(FormVisitor& visitor) const override;
};

struct PairingState {
  bool shown = false;
  std::string code;     // the six digits a phone must send while shown
  std::string address;  // the page's address, "http://192.168.1.20:8765/"
  PairingForm frmPairing;
  int timer = 0;  // while shown: the timer that closes the panel
};

// Shows the panel (or shows it anew, a new code) over whatever is on the screen. Each QR
// module is a whole number of pixels, so the code reads at any screen size.
void ShowPairing(ScreenContext& jubo, const std::string& code, const std::string& address,
                 const QrModules& qr);
// Closes the panel if it shows.
void HidePairing(ScreenContext& jubo);

}  // namespace screen
