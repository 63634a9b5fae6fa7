#include "dialogs/modal.h"

#include <cmath>

#include "dialogs/dialog_context.h"

namespace dialogs {

int Scaled(float scale, double design) { return static_cast<int>(std::lround(design * scale)); }

screen::Frame SizeDialog(screen::Form& form, float scale, double width, double height, int border,
                         screen::Color color) {
  form.width = Scaled(scale, width);
  form.height = Scaled(scale, height);
  form.background = screen::kDialogBackground;
  form.full_screen = false;
  return screen::InsetFrame(form.width, form.height, Scaled(scale, 100), border, color);
}

void RunModal(DialogContext& jubo, Modal& dialog) {
  const bool was_open = jubo.DialogOpen;
  const Modal* under = jubo.dialogs.open;
  jubo.DialogOpen = true;
  jubo.dialogs.open = &dialog;
  // The main screen's highlight would point at a row no key can reach while the dialog shows.
  bool& highlight = jubo.screen.frmMain.shpHighlight.visible;
  const bool highlighted = highlight;
  highlight = false;
  jubo.display->Show(&dialog.form());

  bool closed = false;
  // Left alone, a dialog gives its answer just before the screen saver would start, and the
  // saver starts at the status panel's next tick.
  const int timer = jubo.loop->StartTimer(kIdleCheckInterval, [&jubo, &closed] {
    const int32_t minutes = jubo.settings.ScreensaverTimeout;
    if (minutes != 0 && jubo.IdleSeconds > minutes * 60) closed = true;
  });
  jubo.loop->RunUntil(
      [&jubo, &dialog, &closed](int16_t key_code, int16_t) {
        jubo.IdleSeconds = 0;
        if (dialog.KeyDown(jubo, key_code)) closed = true;
      },
      [&jubo, &closed] { return closed || jubo.ending; });
  jubo.loop->StopTimer(timer);

  jubo.display->Hide(&dialog.form());
  highlight = highlighted;
  jubo.dialogs.open = under;
  jubo.DialogOpen = was_open;
}

}  // namespace dialogs
