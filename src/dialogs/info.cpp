#include "dialogs/info.h"

#include "dialogs/dialog_context.h"
#include "dialogs/dialog_form.h"
#include "ground/keys.h"
#include "screen/saver.h"

namespace dialogs {
namespace {

class InfoDialog final : public ButtonDialog {
 public:
  explicit InfoDialog(DialogContext& jubo) {
    const DialogState& d = jubo.dialogs;
    LayOutDialog(jubo, form_, "frmInfo", d.InfoLine1, d.InfoLine2, {{1600, 2000, "OK"}});
    MarkButton(form_, 1);
  }

  bool KeyDown(DialogContext& jubo, int16_t key_code) override {
    if (key_code != ground::kKeyEnter) return false;
    sound::PlayCue(jubo, jubo.cues.BeepSound);
    return true;
  }
};

}  // namespace

void ShowInfo(DialogContext& jubo, const std::string& line1, const std::string& line2) {
  jubo.dialogs.InfoLine1 = line1;
  jubo.dialogs.InfoLine2 = line2;
  InfoDialog dialog(jubo);
  RunModal(jubo, dialog);
}

void DialogContext::ShowInfo(const std::string& line1, const std::string& line2) {
  dialogs::ShowInfo(*this, line1, line2);
}

void DialogContext::SongFailed(int32_t position) {
  // The engine tells from inside a player event; the dialog's own loop runs once that event
  // has been handled and the engine rests on the song.
  loop->Post([this, position] {
    screen::CloseSaver(*this);
    dialogs::ShowInfo(*this, "Could not play", "Song " + std::to_string(position));
  });
}

}  // namespace dialogs
