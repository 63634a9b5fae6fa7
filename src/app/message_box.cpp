#include "app/message_box.h"

#include <cstdio>

#include "app/jubo.h"
#include "dialogs/modal.h"
#include "ground/keys.h"

namespace app {
namespace {

class MessageBox final : public dialogs::Modal {
 public:
  MessageBox(const Jubo& jubo, const std::string& message) {
    const float k = jubo.screen.ScreenScale;
    auto x = [k](double design) { return dialogs::Scaled(k, design); };
    MessageBoxForm& box = form_;
    box.shpBorder = dialogs::SizeDialog(box, k, 9000, 3000, 3, screen::kRed);
    // clang-format off
    box.lblIcon = {.left = x(300), .top = x(400), .width = x(900), .height = x(900),
                   .points = 40 * k, .bold = true, .align = screen::Align::kCenter,
                   .color = screen::kRed, .caption = "X", .tag = {}};
    box.lblText = {.left = x(1400), .top = x(300), .width = box.width - x(1700),
                   .height = x(1300), .points = 13 * k, .caption = message, .tag = {}};
    box.shpButton = {.left = (box.width - x(2000)) / 2, .top = x(1900), .width = x(2000),
                     .height = x(600), .border = 2, .border_color = screen::kRed,
                     .filled = true, .fill = screen::kRed};
    // The button's caption fills its box.
    box.lblButton = {.left = box.shpButton.left, .top = box.shpButton.top,
                     .width = box.shpButton.width, .height = box.shpButton.height,
                     .points = 16 * k, .bold = true, .align = screen::Align::kCenter,
                     .color = screen::kBlack, .caption = "OK", .tag = {}};
    // clang-format on
  }

  const screen::Form& form() const override { return form_; }

  bool KeyDown(dialogs::DialogContext&, int16_t key_code) override {
    return key_code == ground::kKeyEnter || key_code == ground::kKeyEscape;
  }

  dialogs::DialogSummary Summary() const override {
    return {"MessageBox", {form_.lblText.caption}, {form_.lblButton.caption}, 1};
  }

 private:
  MessageBoxForm form_;
};

}  // namespace

void MessageBoxForm::Accept(screen::FormVisitor& visitor) const {
  visitor.Visit(shpBorder);
  visitor.Visit(lblIcon);
  visitor.Visit(lblText);
  visitor.Visit(shpButton);
  visitor.Visit(lblButton);
}

void ShowMessageBox(Jubo& jubo, const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  MessageBox box(jubo, message);
  dialogs::RunModal(jubo, box);
}

}  // namespace app
