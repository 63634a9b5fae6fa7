#include "dialogs/confirm.h"

#include "dialogs/dialog_context.h"
#include "dialogs/dialog_form.h"
#include "ground/keys.h"

namespace dialogs {
namespace {

class ConfirmDialog final : public ButtonDialog {
 public:
  explicit ConfirmDialog(DialogContext& jubo) : d_(jubo.dialogs) {
    LayOutDialog(jubo, form_, "frmConfirm", d_.ConfirmLine1, d_.ConfirmLine2,
                 {{400, 2000, d_.ConfirmYesText}, {2800, 2000, d_.ConfirmNoText}});
    MarkButton(form_, 2);  // the safe answer is the default
    d_.ConfirmResult = false;
  }

  bool KeyDown(DialogContext& jubo, int16_t key_code) override {
    if (key_code == ground::kKeyLeft || key_code == ground::kKeyRight) {
      MoveMark(jubo, form_, key_code);
    } else if (key_code == ground::kKeyEnter) {
      sound::PlayCue(jubo, jubo.cues.BeepSound);
      d_.ConfirmResult = form_.Selected == 1;
      return true;
    }
    return false;
  }

 private:
  DialogState& d_;
};

}  // namespace

bool AskConfirm(DialogContext& jubo, const std::string& line1, const std::string& line2) {
  DialogState& d = jubo.dialogs;
  d.ConfirmLine1 = line1;
  d.ConfirmLine2 = line2;
  d.ConfirmYesText = "Yes";
  d.ConfirmNoText = "No";
  ConfirmDialog dialog(jubo);
  RunModal(jubo, dialog);
  return d.ConfirmResult;
}

bool DialogContext::AskConfirm(const std::string& line1, const std::string& line2) {
  return dialogs::AskConfirm(*this, line1, line2);
}

}  // namespace dialogs
