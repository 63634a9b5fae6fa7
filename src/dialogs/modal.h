// One modal, many dialogs. Every dialog (confirm, count, information, the start-up message)
// runs on this skeleton: it marks a dialog open, shows the dialog's form above every other,
// hands it every key (each key zeroing the idle count first), runs a nested loop on the same
// event source, so timers and player events keep firing under it, closes it by itself once it
// has been left alone past the screen saver's idle limit, and hides it again. A dialog's own
// file holds only its layout, its keys and its answer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "screen/form.h"

namespace dialogs {

struct DialogContext;

// What an open dialog shows, as the remote's screen query reports it.
struct DialogSummary {
  std::string form{};                  // the form's name: "frmConfirm", "frmCount", ...
  std::vector<std::string> lines{};    // its text, top to bottom
  std::vector<std::string> buttons{};  // its buttons' captions, left to right
  int selected = 0;                    // the marked button, 1-based
  std::optional<int32_t> value{};      // the number a count dialog holds
};

// A dialog as the skeleton runs it. A dialog sets its answer, when it opens, to what it
// answers when it closes by itself or the program ends under it; its keys change it.
class Modal {
 public:
  virtual ~Modal() = default;
  virtual const screen::Form& form() const = 0;
  // One key, the idle count already zeroed. Returns true when the key closes the dialog.
  virtual bool KeyDown(DialogContext& jubo, int16_t key_code) = 0;
  virtual DialogSummary Summary() const = 0;
};

// A design length (twips) times ScreenScale, rounded: every dialog's layout is given so.
int Scaled(float scale, double design);
// Sizes `form` as a dialog, `width` by `height` design twips times `scale` on the dialogs'
// background, centred over the screen; returns the frame that borders it, 100 design twips
// inside its edges, `border` pixels wide in `color`.
screen::Frame SizeDialog(screen::Form& form, float scale, double width, double height, int border,
                         screen::Color color);

// How often an open dialog looks at the idle count.
inline constexpr int kIdleCheckInterval = 1000;

// Shows `dialog` modally and returns once it has closed: by one of its keys, by itself
// (IdleSeconds past ScreensaverTimeout * 60 at a check; never while ScreensaverTimeout is 0),
// or because the program is ending. Meanwhile DialogOpen holds, jubo.dialogs.open is the
// dialog and the main screen's highlight is hidden. A dialog opened over another (a song that fails
// under a question) leaves both as they were when it closes. `dialog` must stay alive until the
// call returns.
void RunModal(DialogContext& jubo, Modal& dialog);

}  // namespace dialogs
