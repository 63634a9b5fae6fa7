#include "dialogs/confirm.h"

#include <cmath>

#include "dialogs/dialog_context.h"
#include "ground/keys.h"

namespace dialogs {
namespace {

void Mark(ConfirmForm& form, int option, bool marked) {
  screen::Frame& box = form.shpItem[static_cast<size_t>(option - 1)];
  screen::Label& text = form.lblItem[static_cast<size_t>(option - 1)];
  box.fill = marked ? screen::kRed : screen::kBlack;
  text.color = marked ? screen::kBlack : screen::kRed;
}

void LayOut(ConfirmForm& form, const DialogState& d, float scale) {
  auto x = [scale](double design) { return static_cast<int>(std::lround(design * scale)); };
  form.width = x(5200);
  form.height = x(2700);
  form.background = screen::kDialogBackground;
  form.shpBackground = screen::InsetFrame(form.width, form.height, x(100), 4, screen::kPanelBorder);
  const int line_width = form.shpBackground.width;
  form.lblTitle = {
      x(100),        x(300),         line_width, x(720), 24 * scale, false, screen::Align::kCenter,
      screen::kText, d.ConfirmLine1, "",         true};
  form.lblTitle2 = form.lblTitle;
  form.lblTitle2.top = x(300) + form.lblTitle.height;
  form.lblTitle2.caption = d.ConfirmLine2;
  const int top = x(500) + form.lblTitle.height + form.lblTitle2.height;
  const std::string* captions[] = {&d.ConfirmYesText, &d.ConfirmNoText};
  for (size_t i = 0; i < 2; ++i) {
    int left = x(i == 0 ? 400 : 2800);
    form.shpItem[i] = {left, top, x(2000), x(420), 2, screen::kRed, true, screen::kBlack, true};
    form.lblItem[i] = {
        left,         top,          x(2000), x(420), 16 * scale, true, screen::Align::kCenter,
        screen::kRed, *captions[i], "",      true};
  }
}

void Unload(DialogContext& jubo, int timer) {
  jubo.loop->StopTimer(timer);
  jubo.display->Hide(&jubo.dialogs.frmConfirm);
  jubo.dialogs.confirm_showing = false;
  jubo.dialogs.DialogOpen = false;
}

}  // namespace

void ConfirmForm::Accept(screen::FormVisitor& visitor) const {
  visitor.Visit(shpBackground);
  visitor.Visit(lblTitle);
  visitor.Visit(lblTitle2);
  for (size_t i = 0; i < 2; ++i) {
    visitor.Visit(shpItem[i]);
    visitor.Visit(lblItem[i]);
  }
}

bool AskConfirm(DialogContext& jubo, const std::string& line1, const std::string& line2) {
  DialogState& d = jubo.dialogs;
  d.ConfirmLine1 = line1;
  d.ConfirmLine2 = line2;
  d.ConfirmYesText = "Yes";
  d.ConfirmNoText = "No";
  jubo.screen.frmMain.shpHighlight.visible = false;
  ShowConfirm(jubo);
  jubo.screen.frmMain.shpHighlight.visible = true;
  return d.ConfirmResult;
}

bool DialogContext::AskConfirm(const std::string& line1, const std::string& line2) {
  return dialogs::AskConfirm(*this, line1, line2);
}

void ShowConfirm(DialogContext& jubo) {
  DialogState& d = jubo.dialogs;
  d.DialogOpen = true;
  LayOut(d.frmConfirm, d, jubo.screen.ScreenScale);
  Mark(d.frmConfirm, 1, false);
  Mark(d.frmConfirm, 2, true);
  d.Selected = 2;  // the safe answer is the default
  d.ConfirmResult = false;
  d.confirm_showing = true;
  jubo.display->Show(&d.frmConfirm);

  int timer = 0;
  // An unattended question answers No just before the screen saver would start.
  timer = jubo.loop->StartTimer(1000, [&jubo, &timer] {
    if (jubo.IdleSeconds > jubo.settings.ScreensaverTimeout * 60) {
      jubo.dialogs.ConfirmResult = false;
      Unload(jubo, timer);
    }
  });
  jubo.loop->RunUntil(
      [&jubo, &timer](int16_t key, int16_t) {
        ConfirmKeyDown(jubo, key);
        if (key == ground::kKeyEnter) Unload(jubo, timer);
      },
      [&jubo] { return !jubo.dialogs.confirm_showing || jubo.ending; });
  if (d.confirm_showing) Unload(jubo, timer);
}

void ConfirmKeyDown(DialogContext& jubo, int16_t key_code) {
  DialogState& d = jubo.dialogs;
  jubo.IdleSeconds = 0;
  if (key_code == ground::kKeyLeft || key_code == ground::kKeyRight) {
    sound::PlayCue(jubo, jubo.cues.BeepSound);
    Mark(d.frmConfirm, d.Selected, false);
    d.Selected = static_cast<int16_t>(d.Selected + (key_code == ground::kKeyLeft ? -1 : 1));
    if (d.Selected < 1) d.Selected = 2;
    if (d.Selected > 2) d.Selected = 1;
    Mark(d.frmConfirm, d.Selected, true);
  } else if (key_code == ground::kKeyEnter) {
    sound::PlayCue(jubo, jubo.cues.BeepSound);
    d.ConfirmResult = d.Selected == 1;
  }
}

}  // namespace dialogs
