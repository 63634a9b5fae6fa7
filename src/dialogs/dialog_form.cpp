#include "dialogs/dialog_form.h"

#include "dialogs/dialog_context.h"
#include "ground/keys.h"

namespace dialogs {

void DialogForm::Accept(screen::FormVisitor& visitor) const {
  visitor.Visit(shpBackground);
  visitor.Visit(lblTitle);
  visitor.Visit(lblTitle2);
  for (size_t i = 0; i < shpItem.size(); ++i) {
    visitor.Visit(shpItem[i]);
    visitor.Visit(lblItem[i]);
  }
}

namespace {

// Keeps a margin of a sixth of the label's height on each side of its caption.
void ShrinkToFit(screen::Label& label, const screen::TextMeasure& measure) {
  const double room = label.width - label.height / 3;
  const int wide = measure.WidthTwips(label.caption, label.points, label.bold);
  if (wide > room && room > 0) label.points *= room / wide;
}

}  // namespace

void LayOutDialog(const DialogContext& jubo, DialogForm& form, const std::string& name,
                  const std::string& line1, const std::string& line2,
                  const std::vector<ButtonPlace>& buttons) {
  const float scale = jubo.screen.ScreenScale;
  auto x = [scale](double design) { return Scaled(scale, design); };
  form.name = name;
  form.shpBackground = SizeDialog(form, scale, 5200, 2700, 4, screen::kPanelBorder);
  form.lblTitle = {.left = x(100),
                   .top = x(300),
                   .width = form.shpBackground.width,
                   .height = x(720),
                   .points = 24 * scale,
                   .align = screen::Align::kCenter,
                   .caption = line1,
                   .tag = {}};
  form.lblTitle2 = form.lblTitle;
  form.lblTitle2.top = form.lblTitle.top + form.lblTitle.height;
  form.lblTitle2.caption = line2;
  const int top = x(500) + form.lblTitle.height + form.lblTitle2.height;
  form.shpItem.clear();
  form.lblItem.clear();
  for (const ButtonPlace& button : buttons) {
    form.shpItem.push_back({.left = x(button.left),
                            .top = top,
                            .width = x(button.width),
                            .height = x(420),
                            .border = 2,
                            .border_color = screen::kRed,
                            .filled = true});
    form.lblItem.push_back({.left = x(button.left),
                            .top = top,
                            .width = x(button.width),
                            .height = x(420),
                            .points = 16 * scale,
                            .bold = true,
                            .align = screen::Align::kCenter,
                            .caption = button.caption,
                            .tag = {}});
  }
  ShrinkToFit(form.lblTitle, *jubo.measure);
  ShrinkToFit(form.lblTitle2, *jubo.measure);
  for (screen::Label& caption : form.lblItem) ShrinkToFit(caption, *jubo.measure);
  MarkButton(form, 0);
}

void MarkButton(DialogForm& form, int16_t button) {
  for (size_t i = 0; i < form.shpItem.size(); ++i) {
    const bool marked = static_cast<int16_t>(i + 1) == button;
    form.shpItem[i].fill = marked ? screen::kRed : screen::kBlack;
    form.lblItem[i].color = marked ? screen::kBlack : screen::kRed;
  }
  form.Selected = button;
}

void MoveMark(DialogContext& jubo, DialogForm& form, int16_t key_code) {
  sound::PlayCue(jubo, jubo.cues.BeepSound);
  const auto count = static_cast<int16_t>(form.shpItem.size());
  auto button = static_cast<int16_t>(form.Selected + (key_code == ground::kKeyLeft ? -1 : 1));
  if (button < 1) button = count;
  if (button > count) button = 1;
  MarkButton(form, button);
}

DialogSummary ButtonDialog::Summary() const {
  DialogSummary summary{form_.name, {form_.lblTitle.caption, form_.lblTitle2.caption}};
  for (const screen::Label& caption : form_.lblItem) summary.buttons.push_back(caption.caption);
  summary.selected = form_.Selected;
  return summary;
}

}  // namespace dialogs
