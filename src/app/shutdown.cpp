#include "app/shutdown.h"

#include "app/jubo.h"
#include "dialogs/confirm.h"
#include "screen/saver.h"
#include "settings/settings_store.h"

namespace app {

bool ExitRequest(Jubo& jubo) {
  screen::CloseSaver(jubo);
  sound::PlayCue(jubo, jubo.cues.SelectSound);
  if (!dialogs::AskConfirm(jubo, "Exit Jubo Player?", "")) return false;
  EndProgram(jubo, 0);
  return true;
}

void EndProgram(Jubo& jubo, int status) {
  if (jubo.ending) return;
  // The saver gives the settings back the type configured before they are kept.
  screen::CloseSaver(jubo);
  settings::SaveSettings(jubo.store, jubo.settings, jubo.selection);
  jubo.display->SetSystemSaver(true);
  StopRemotes(jubo);
  jubo.ending = true;
  jubo.exit_status = status;
}

void StopRemotes(Jubo& jubo) {
  jubo.remote.reset();
  jubo.mpris.reset();
  jubo.lirc.reset();
  if (jubo.phone_service != nullptr) jubo.phone_service->Stop();
}

}  // namespace app
