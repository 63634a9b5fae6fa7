#include "screen/pairing_panel.h"

#include <cmath>

#include "screen/screen_context.h"

namespace screen {
namespace {

// The modules a QR code must keep free around it for a reader to find it.
constexpr int kQuietModules = 4;

// The panel's design, in design twips (times ScreenScale): a tall box in the middle.
constexpr int kWidth = 6400, kHeight = 8200, kQrBox = 4400;

Label Line(int top, int width, int height, double points, bool bold, Color color,
           std::string caption) {
  return {0, top, width, height, points, bold, Align::kCenter, color, std::move(caption), "", true};
}

// "123456" as "123 456": two groups read more easily from the sofa.
std::string Spaced(const std::string& code) {
  return code.size() == 6 ? code.substr(0, 3) + " " + code.substr(3) : code;
}

void LayOut(PairingForm& f, float k, const std::string& code, const std::string& address,
            const QrModules& qr) {
  auto x = [k](double design) { return static_cast<int>(std::lround(design * k)); };
  f.width = x(kWidth) / kTwipsPerPixel * kTwipsPerPixel;
  f.height = x(kHeight);
  f.background = kDialogBackground;
  f.shpBorder = InsetFrame(f.width, f.height, x(100), 4, kAccent);
  f.lblTitle = Line(x(250), f.width, x(700), 28 * k, true, kText, "Phone Remote");
  f.lblAddress = Line(x(1000), f.width, x(500), 18 * k, false, kText, address);
  // Whole pixels per module, the square centred on a whole pixel: every module the same size.
  const int modules = qr.size + 2 * kQuietModules;
  const int module_px = modules > 0 ? std::max(1, x(kQrBox) / kTwipsPerPixel / modules) : 0;
  const int side = modules * module_px * kTwipsPerPixel;
  const int left = (f.width - side) / 2 / kTwipsPerPixel * kTwipsPerPixel;
  const int top = x(1650) / kTwipsPerPixel * kTwipsPerPixel;
  f.shpQuiet = {left, top, side, side, 0, kText, true, Color{255, 255, 255}, modules > 0};
  f.shpModules.clear();
  const int step = module_px * kTwipsPerPixel;
  for (int row = 0; row < qr.size; ++row) {
    for (int col = 0; col < qr.size;) {
      if (!qr.dark[static_cast<size_t>(row * qr.size + col)]) {
        ++col;
        continue;
      }
      const int start = col;
      while (col < qr.size && qr.dark[static_cast<size_t>(row * qr.size + col)]) ++col;
      f.shpModules.push_back({left + (kQuietModules + start) * step,
                              top + (kQuietModules + row) * step, (col - start) * step, step, 0,
                              kBlack, true, kBlack, true});
    }
  }
  f.lblHint = Line(x(6100), f.width, x(450), 14 * k, false, kDimText,
                   "Open it on your phone and enter this code:");
  f.lblCode = Line(x(6550), f.width, x(900), 36 * k, true, kAccent, Spaced(code));
  f.lblClose = Line(x(7500), f.width, x(400), 12 * k, false, kDimText, "[Enter = Close]");
}

}  // namespace

void PairingForm::Accept(FormVisitor& visitor) const {
  visitor.Visit(shpBorder);
  visitor.Visit(lblTitle);
  visitor.Visit(lblAddress);
  visitor.Visit(shpQuiet);
  for (const Frame& module : shpModules) visitor.Visit(module);
  visitor.Visit(lblHint);
  visitor.Visit(lblCode);
  visitor.Visit(lblClose);
}

void ShowPairing(ScreenContext& jubo, const std::string& code, const std::string& address,
                 const QrModules& qr) {
  PairingState& p = jubo.pairing;
  LayOut(p.frmPairing, jubo.screen.ScreenScale, code, address, qr);
  p.code = code;
  p.address = address;
  if (p.shown) {
    // A new code restarts the time the panel shows; raised again over what opened since.
    jubo.loop->StopTimer(p.timer);
    jubo.display->Hide(&p.frmPairing);
  }
  p.shown = true;
  jubo.display->Show(&p.frmPairing);
  p.timer = jubo.loop->StartTimer(kPairingShownMs, [&jubo] { HidePairing(jubo); });
}

void HidePairing(ScreenContext& jubo) {
  PairingState& p = jubo.pairing;
  if (!p.shown) return;
  jubo.loop->StopTimer(p.timer);
  jubo.display->Hide(&p.frmPairing);
  p.shown = false;
  p.code.clear();
}

}  // namespace screen
