#include "app/startup.h"

#include <sys/stat.h>

#include <cmath>
#include <cstdio>

#include "app/jubo.h"
#include "app/key_dispatch.h"
#include "app/shutdown.h"
#include "app/splash_form.h"
#include "ground/keys.h"
#include "playback/player_engine.h"
#include "remote/screen_query.h"
#include "screen/layout.h"
#include "screen/navigation.h"
#include "screen/render.h"
#include "screen/status_panel.h"
#include "settings/settings_store.h"

namespace app {
namespace {

int Scaled(const Jubo& jubo, double design) {
  return static_cast<int>(std::lround(design * jubo.screen.ScreenScale));
}

void LayOutSplash(Jubo& jubo, SplashForm& f) {
  auto x = [&jubo](double design) { return Scaled(jubo, design); };
  float k = jubo.screen.ScreenScale;
  f.width = x(7200);
  f.height = x(4200);
  f.background = screen::kDialogBackground;
  f.shpBorder = screen::InsetFrame(f.width, f.height, x(100), 3, screen::kPanelBorder);
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

// The splash: shown while the library file is checked and loaded. Returns an empty string when
// the library is ready, else the message that tells the user why it is not.
std::string ShowSplash(Jubo& jubo) {
  SplashForm splash;
  LayOutSplash(jubo, splash);
  jubo.display->Show(&splash);
  jubo.display->Repaint();

  std::string problem;
  std::string path = jubo.folder + "/" + library::kLibraryFile;
  struct stat st;
  if (stat(path.c_str(), &st) != 0) {
    problem = kMissingLibrary;
  } else if (textdb::Status s = jubo.library.LibraryConnection.LoadTable(library::kLibraryFile);
             !s.ok()) {
    problem = s.code() == textdb::ErrorCode::kNotFound ? kMissingLibrary : s.message();
  }
  splash.lblWait.visible = false;
  jubo.display->Hide(&splash);
  return problem;
}

}  // namespace

void SplashForm::Accept(screen::FormVisitor& visitor) const {
  visitor.Visit(shpBorder);
  visitor.Visit(imgLogo);
  visitor.Visit(lblProductName);
  visitor.Visit(lblVersion);
  visitor.Visit(lblWait);
}

void MessageBoxForm::Accept(screen::FormVisitor& visitor) const {
  visitor.Visit(shpBorder);
  visitor.Visit(lblIcon);
  visitor.Visit(lblText);
  visitor.Visit(shpButton);
  visitor.Visit(lblButton);
}

void ShowMessageBox(Jubo& jubo, const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  auto x = [&jubo](double design) { return Scaled(jubo, design); };
  float k = jubo.screen.ScreenScale;
  MessageBoxForm box;
  box.width = x(9000);
  box.height = x(3000);
  box.background = screen::kDialogBackground;
  box.shpBorder = screen::InsetFrame(box.width, box.height, x(100), 3, screen::kRed);
  box.lblIcon = {x(300),       x(400), x(900), x(900), 40 * k, true, screen::Align::kCenter,
                 screen::kRed, "X",    "",     true};
  box.lblText = {x(1400),
                 x(300),
                 box.width - x(1700),
                 x(1300),
                 13 * k,
                 false,
                 screen::Align::kLeft,
                 screen::kText,
                 message,
                 "",
                 true};
  box.shpButton = {(box.width - x(2000)) / 2,
                   x(1900),
                   x(2000),
                   x(600),
                   2,
                   screen::kRed,
                   true,
                   screen::kRed,
                   true};
  box.lblButton = {box.shpButton.left,
                   box.shpButton.top,
                   box.shpButton.width,
                   box.shpButton.height,
                   16 * k,
                   true,
                   screen::Align::kCenter,
                   screen::kBlack,
                   "OK",
                   "",
                   true};
  jubo.display->Show(&box);
  bool dismissed = false;
  jubo.loop->RunUntil(
      [&dismissed](int16_t key, int16_t) {
        dismissed = key == ground::kKeyEnter || key == ground::kKeyEscape;
      },
      [&] { return dismissed || jubo.ending; });
  jubo.display->Hide(&box);
}

int RunJubo(Jubo& jubo) {
  settings::LoadSettings(jubo.store, jubo.settings, jubo.cues, jubo.selection);
  jubo.display->SetSystemSaver(jubo.settings.ScreensaverTimeout < 1);
  jubo.settings.ConfiguredSaverType = jubo.settings.SaverType;

  screen::LayOutScreen(jubo.screen, jubo.display->WidthPixels(), jubo.display->HeightPixels());
  jubo.screen.CurrentRow = 1;
  jubo.screen.CrumbDepth = 1;

  jubo.loop->SetQuitHandler([&jubo] { EndProgram(jubo, 0); });
  jubo.loop->SetClickHandler([&jubo] { Form_Click(jubo); });

  // The hidden player window: from here on the player's events reach the engine.
  playback::PlayerWindow frmPlayer(jubo);

  if (textdb::Status s =
          jubo.library.LibraryConnection.Open(library::ConnectionString(jubo.folder), "", "");
      !s.ok()) {
    ShowMessageBox(jubo, s.code() == textdb::ErrorCode::kNotFound ? kMissingLibrary : s.message());
    return 1;
  }
  if (std::string problem = ShowSplash(jubo); !problem.empty()) {
    ShowMessageBox(jubo, problem);
    return 1;
  }

  if (!jubo.runtime_folder.empty()) {
    std::string error;
    jubo.remote = remote::Endpoint::Start(
        jubo.runtime_folder, *jubo.loop, [&jubo] { return remote::ScreenJson(jubo); }, &error);
    // The program is whole without its remote control; say why it is not listening.
    if (jubo.remote == nullptr)
      std::fprintf(stderr, "jubo: no remote control: %s\n", error.c_str());
  }

  screen::ShowMainMenu(jubo, 1);
  jubo.display->SetPointerVisible(false);
  jubo.display->Show(&jubo.screen.frmMain);

  int timer1 = jubo.loop->StartTimer(screen::kTimer1Interval, [&jubo] { screen::Timer1(jubo); });
  int track_timer =
      jubo.loop->StartTimer(screen::kTrackTimerInterval, [&jubo] { screen::TrackTimer(jubo); });
  jubo.loop->RunUntil([&jubo](int16_t key, int16_t shift) { Form_KeyDown(jubo, key, shift); },
                      [&jubo] { return jubo.ending; });
  jubo.loop->StopTimer(timer1);
  jubo.loop->StopTimer(track_timer);
  jubo.remote.reset();
  jubo.display->Hide(&jubo.screen.frmMain);
  return jubo.exit_status;
}

}  // namespace app
