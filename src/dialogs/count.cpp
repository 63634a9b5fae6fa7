#include "dialogs/count.h"

#include <algorithm>

#include "dialogs/dialog_context.h"
#include "dialogs/dialog_form.h"
#include "ground/keys.h"

namespace dialogs {
namespace {

constexpr int16_t kDone = 4;                // the button that accepts
constexpr int32_t kSteps[] = {100, 10, 1};  // the other buttons' steps, left to right

class CountDialog final : public ButtonDialog {
 public:
  explicit CountDialog(DialogContext& jubo) : d_(jubo.dialogs) {
    LayOutDialog(jubo, form_, "frmCount", d_.CountPrompt, "",
                 {{300, 1000, "100"}, {1500, 1000, "10"}, {2700, 1000, "1"}, {3900, 1000, "DONE"}});
    MarkButton(form_, kDone);
    Show(d_.CountInitial);
    d_.CountResult = d_.CountInitial;
  }

  bool KeyDown(DialogContext& jubo, int16_t key_code) override {
    switch (key_code) {
      case ground::kKeyLeft:
      case ground::kKeyRight:
        MoveMark(jubo, form_, key_code);
        break;
      case ground::kKeyUp:
      case ground::kKeyDown: {
        sound::PlayCue(jubo, jubo.cues.BeepSound);
        // A plain number, not a row of digits: steps carry over, and only the range limits it.
        // The limit on the side moved to holds whatever the button, "DONE" included.
        const int64_t step = form_.Selected < kDone ? kSteps[form_.Selected - 1] : 0;
        if (key_code == ground::kKeyUp) {
          Show(static_cast<int32_t>(std::min<int64_t>(value_ + step, d_.CountMax)));
        } else {
          Show(static_cast<int32_t>(std::max<int64_t>(value_ - step, d_.CountMin)));
        }
        break;
      }
      case ground::kKeyEnter:
        sound::PlayCue(jubo, jubo.cues.BeepSound);
        if (form_.Selected != kDone) break;
        d_.CountResult = value_;
        return true;
    }
    return false;
  }

  DialogSummary Summary() const override {
    DialogSummary summary = ButtonDialog::Summary();
    summary.value = value_;
    return summary;
  }

 private:
  // lblCount, the second line, shows the value and keeps it in its tag.
  void Show(int32_t value) {
    value_ = value;
    form_.lblTitle2.caption = form_.lblTitle2.tag = std::to_string(value);
  }

  DialogState& d_;
  int32_t value_ = 0;
};

}  // namespace

int32_t AskCount(DialogContext& jubo, const std::string& prompt, int32_t min, int32_t max,
                 int32_t initial) {
  DialogState& d = jubo.dialogs;
  d.CountPrompt = prompt;
  d.CountMin = min;
  d.CountMax = max;
  d.CountInitial = initial;
  CountDialog dialog(jubo);
  RunModal(jubo, dialog);
  return d.CountResult;
}

int32_t DialogContext::AskCount(const std::string& prompt, int32_t min, int32_t max,
                                int32_t initial) {
  return dialogs::AskCount(*this, prompt, min, max, initial);
}

}  // namespace dialogs
