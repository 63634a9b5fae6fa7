#include "app/startup.h"

#include <sys/stat.h>

#include <cstdio>
#include <thread>
#include <vector>

#include "app/jubo.h"
#include "app/key_dispatch.h"
#include "app/message_box.h"
#include "app/shutdown.h"
#include "app/splash_form.h"
#include "dialogs/modal.h"
#include "library/library_cache.h"
#include "playback/loudness.h"
#include "playback/player_engine.h"
#include "remote/screen_query.h"
#include "screen/layout.h"
#include "screen/navigation.h"
#include "screen/render.h"
#include "screen/status_panel.h"
#include "selection/criteria.h"
#include "settings/settings_store.h"
#include "textdb/file_reader.h"

namespace app {
namespace {

void LayOutSplash(Jubo& jubo, SplashForm& f) {
  const float k = jubo.screen.ScreenScale;
  auto x = [k](double design) { return dialogs::Scaled(k, design); };
  f.shpBorder = dialogs::SizeDialog(f, k, 7200, 4200, 3, screen::kPanelBorder);
  f.imgLogo = {(f.width - x(3790)) / 2, x(300), x(3790), x(1400), "logo", true};
  f.lblProductName = {0,
                      x(1800),
                      f.width,
                      x(700),
                      26 * k,
                      true,
                      screen::Align::kCenter,
                      screen::kText,
                      kProductName,
                      "",
                      true};
  f.lblVersion = {0,
                  x(2500),
                  f.width,
                  x(450),
                  14 * k,
                  false,
                  screen::Align::kCenter,
                  screen::kDimText,
                  kVersionText,
                  "",
                  true};
  f.lblWait = {0,
               x(3200),
               f.width,
               x(500),
               16 * k,
               false,
               screen::Align::kCenter,
               screen::kAccent,
               "Please wait...",
               "",
               true};
}

// The Help view's text: the program's name and version over the prose of the asset folder's
// help.txt. A file that cannot be read leaves one line that says which and why, so Help is
// never blank.
std::string HelpText(const std::string& asset_folder) {
  constexpr const char* kHelpFile = "help.txt";
  std::string prose;
  std::vector<textdb::LoadNote> notes;
  if (textdb::Status s =
          textdb::ReadFileBytes(asset_folder + "/" + kHelpFile, kHelpFile, &prose, &notes);
      !s.ok()) {
    prose = "Help is not available: " + s.message() + ".";
  }
  return std::string(kProductName) + " " + kVersionText + "\n\n" + prose;
}

// The splash: shown while the library is checked and loaded (from its cache when it has one
// that still holds it). Returns an empty string when the library is ready, else the message
// that tells the user why it is not; *load tells how it loaded.
std::string ShowSplash(Jubo& jubo, library::LibraryLoad* load) {
  SplashForm splash;
  LayOutSplash(jubo, splash);
  jubo.display->Show(&splash);
  jubo.display->Repaint();

  std::string problem;
  std::string path = jubo.folder + "/" + library::kLibraryFile;
  struct stat st;
  if (stat(path.c_str(), &st) != 0) {
    problem = kMissingLibrary;
  } else {
    *load = library::LoadLibrary(jubo.library, jubo.cache_folder);
    if (!load->note.empty()) std::fprintf(stderr, "jubo: %s\n", load->note.c_str());
    const textdb::Status& s = load->status;
    if (!s.ok()) problem = s.code() == textdb::ErrorCode::kNotFound ? kMissingLibrary : s.message();
  }
  splash.lblWait.visible = false;
  jubo.display->Hide(&splash);
  return problem;
}

// The library opened, and loaded behind the splash. When it cannot be, the message box says
// why and the answer is false.
bool OpenLibrary(Jubo& jubo, library::LibraryLoad* load) {
  if (textdb::Status s =
          jubo.library.LibraryConnection.Open(library::ConnectionString(jubo.folder), "", "");
      !s.ok()) {
    ShowMessageBox(jubo, s.code() == textdb::ErrorCode::kNotFound ? kMissingLibrary : s.message());
    return false;
  }
  if (std::string problem = ShowSplash(jubo, load); !problem.empty()) {
    ShowMessageBox(jubo, problem);
    return false;
  }
  return true;
}

// The Main Menu, and the event loop until the program ends; returns the exit status.
int RunMainScreen(Jubo& jubo, const library::LibraryLoad& load) {
  screen::ShowMainMenu(jubo, 1);
  jubo.display->SetPointerVisible(false);
  jubo.display->Show(&jubo.screen.frmMain);

  // A library read from its file is kept for the next start, on a thread of its own once the
  // Main Menu is up. It only reads the loaded table, which nothing changes until the program
  // ends, and it is waited for before the table goes.
  std::thread cache_writer;
  if (load.ShouldKeep()) {
    jubo.loop->Post([&] {
      cache_writer = std::thread([image = jubo.library.LibraryConnection.Image(), &load] {
        if (std::string error = library::WriteCache(image, load); !error.empty()) {
          std::fprintf(stderr, "jubo: %s\n", error.c_str());
        }
      });
    });
  }

  int timer1 = jubo.loop->StartTimer(screen::kTimer1Interval, [&jubo] { screen::Timer1(jubo); });
  int track_timer =
      jubo.loop->StartTimer(screen::kTrackTimerInterval, [&jubo] { screen::TrackTimer(jubo); });
  jubo.loop->RunUntil([&jubo](int16_t key, int16_t shift) { Form_KeyDown(jubo, key, shift); },
                      [&jubo] { return jubo.ending; });
  jubo.loop->StopTimer(timer1);
  jubo.loop->StopTimer(track_timer);
  jubo.remote.reset();
  jubo.phone_service->Stop();
  jubo.display->Hide(&jubo.screen.frmMain);
  if (cache_writer.joinable()) cache_writer.join();
  return jubo.exit_status;
}

}  // namespace

void SplashForm::Accept(screen::FormVisitor& visitor) const {
  visitor.Visit(shpBorder);
  visitor.Visit(imgLogo);
  visitor.Visit(lblProductName);
  visitor.Visit(lblVersion);
  visitor.Visit(lblWait);
}

int RunJubo(Jubo& jubo) {
  settings::LoadSettings(jubo.store, jubo.settings, jubo.cues, jubo.selection);
  if (jubo.player != nullptr) jubo.player->SetAudioDevice(jubo.settings.AudioDevice);
  jubo.display->SetSystemSaver(jubo.settings.ScreensaverTimeout < 1);
  jubo.settings.ConfiguredSaverType = jubo.settings.SaverType;
  playback::ApplyVolume(jubo);

  screen::LayOutScreen(jubo.screen, jubo.display->WidthPixels(), jubo.display->HeightPixels());
  jubo.screen.frmMain.txtHelp.text = HelpText(jubo.asset_folder);  // wrapped by the Help view
  jubo.screen.CurrentRow = 1;
  jubo.screen.CrumbDepth = 1;

  jubo.loop->SetQuitHandler([&jubo] { EndProgram(jubo, 0); });
  jubo.loop->SetClickHandler([&jubo] { Form_Click(jubo); });

  // The hidden player window: from here on the player's events reach the engine.
  playback::PlayerWindow frmPlayer(jubo);

  // The remote control listens before anything asks the user for an answer: in a living room
  // with only a remote, the message that the library is missing must be answered from it too.
  if (!jubo.runtime_folder.empty()) {
    std::string error;
    jubo.remote = remote::Endpoint::Start(
        jubo.runtime_folder, *jubo.loop, [&jubo] { return remote::ScreenJson(jubo); }, &error);
    // The program is whole without its remote control; say why it is not listening.
    if (jubo.remote == nullptr)
      std::fprintf(stderr, "jubo: no remote control: %s\n", error.c_str());
  }
  // The phone remote too, when it was left on.
  jubo.phone_service = std::make_unique<phone::PhoneService>(
      jubo, [&jubo] { return remote::ScreenJson(jubo); }, jubo.asset_folder + "/web",
      phone::WebPort());
  jubo.phone = jubo.phone_service.get();
  if (jubo.settings.PhoneRemote != 0) {
    if (std::string problem = jubo.phone_service->Start(); !problem.empty()) {
      std::fprintf(stderr, "jubo: no phone remote: %s\n", problem.c_str());
    }
  }
  library::LibraryLoad load;
  if (!OpenLibrary(jubo, &load)) {
    jubo.remote.reset();
    jubo.phone_service->Stop();
    return 1;
  }
  jubo.phone_service->LibraryLoaded(jubo.library.LibraryConnection.Image(), jubo.folder);
  // Jubo DJ's lists, before the exclusion editor can mark the stored genres and tempos in them.
  selection::CreateCriteria(jubo.library, jubo.selection);
  return RunMainScreen(jubo, load);
}

}  // namespace app
