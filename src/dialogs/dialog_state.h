// What the dialogs take from their callers and leave for them.
#pragma once

#include <cstdint>
#include <string>

#include "dialogs/confirm_form.h"

namespace dialogs {

struct DialogState {
  std::string ConfirmLine1;    // first line of the question
  std::string ConfirmLine2;    // second line; empty for one-line questions
  std::string ConfirmYesText;  // caption of the first option ("Yes")
  std::string ConfirmNoText;   // caption of the second option ("No")
  bool ConfirmResult = false;  // true when the question was answered with the first option
  bool DialogOpen = false;     // a dialog is open: the screen saver waits

  ConfirmForm frmConfirm;
  int16_t Selected = 2;  // the option marked in frmConfirm: 1 or 2
  bool confirm_showing = false;
};

}  // namespace dialogs
