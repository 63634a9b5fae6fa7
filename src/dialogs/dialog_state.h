// What the dialogs take from their callers and leave for them, and which dialog is open.
#pragma once

#include <cstdint>
#include <string>

namespace dialogs {

class Modal;

struct DialogState {
  // frmConfirm's question and answer.
  std::string ConfirmLine1;    // first line of the question
  std::string ConfirmLine2;    // second line; empty for one-line questions
  std::string ConfirmYesText;  // caption of the first option ("Yes")
  std::string ConfirmNoText;   // caption of the second option ("No")
  bool ConfirmResult = false;  // true when the question was answered with the first option

  // frmCount's question and answer.
  std::string CountPrompt;   // the line above the number ("How many songs?")
  int32_t CountMin = 0;      // smallest value Down reaches
  int32_t CountMax = 0;      // largest value Up reaches
  int32_t CountInitial = 0;  // shown first; the answer when the dialog closes by itself
  int32_t CountResult = 0;   // the number accepted with "DONE"

  // frmInfo's two lines.
  std::string InfoLine1, InfoLine2;

  // The dialog on top while any is open, for the remote's screen query; set only by RunModal.
  const Modal* open = nullptr;
};

}  // namespace dialogs
