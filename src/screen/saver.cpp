#include "screen/saver.h"

#include <cmath>

#include "ground/keys.h"
#include "screen/navigation.h"
#include "screen/screen_context.h"
#include "screen/view.h"

namespace screen {
namespace {

constexpr int16_t kVisualization = 1;
constexpr int16_t kLogo = 2;

bool PlayerActive(const ScreenContext& jubo) {
  const int state = jubo.player->playState();
  return state == playback::kPlaying || state == playback::kPaused ||
         state == playback::kFastForward;
}

void StopTimer(ScreenContext& jubo, int& timer) {
  if (timer != 0) jubo.loop->StopTimer(timer);
  timer = 0;
}

// The logo somewhere new, wholly on the screen.
void MoveLogo(ScreenContext& jubo) {
  SaverForm& f = jubo.saver.frmSaver;
  Picture& logo = f.imgSaver;
  logo.left = static_cast<int>(std::floor((f.width - logo.width) * jubo.random->Rnd()));
  logo.top = static_cast<int>(std::floor((f.height - logo.height) * jubo.random->Rnd()));
}

// Puts up the window of the type in effect.
void ShowSaverWindow(ScreenContext& jubo) {
  SaverState& saver = jubo.saver;
  const MainForm& main = jubo.screen.frmMain;
  if (jubo.settings.SaverType == kVisualization) {
    PlayerVideoForm& f = saver.frmVideo;
    f.width = main.width;
    f.height = main.height;
    f.vidPlayer = {0, 0, f.width, f.height, true};
    jubo.player->SetVisualization(true);
    jubo.display->Show(&f);
    return;
  }
  SaverForm& f = saver.frmSaver;
  f.width = main.width;
  f.height = main.height;
  const float k = jubo.screen.ScreenScale;
  f.imgSaver = {0,
                0,
                static_cast<int>(std::lround(2925 * k)),
                static_cast<int>(std::lround(1080 * k)),
                "logo",
                jubo.settings.SaverType == kLogo};
  if (f.imgSaver.visible) {
    MoveLogo(jubo);
    saver.move_timer = jubo.loop->StartTimer(kLogoMoveInterval, [&jubo] { MoveLogo(jubo); });
  }
  jubo.display->Show(&f);
}

// Takes down the window of the type in effect.
void HideSaverWindow(ScreenContext& jubo) {
  SaverState& saver = jubo.saver;
  if (jubo.settings.SaverType == kVisualization) {
    jubo.display->Hide(&saver.frmVideo);
    jubo.player->SetVisualization(false);
    return;
  }
  StopTimer(jubo, saver.move_timer);
  jubo.display->Hide(&saver.frmSaver);
}

// LogoTimer: the moving logo stands in for the configured type while the player is idle.
void LogoTimer(ScreenContext& jubo) {
  SaverState& saver = jubo.saver;
  int16_t& type = jubo.settings.SaverType;
  const int16_t configured = jubo.settings.ConfiguredSaverType;
  const bool active = PlayerActive(jubo);
  if (type != configured) {
    saver.LogoFallbackTicks = 0;
    if (!active) return;
    HideSaverWindow(jubo);
    type = configured;
    return ShowSaverWindow(jubo);
  }
  if (active || type == kLogo) {
    saver.LogoFallbackTicks = 0;
    return;
  }
  if (++saver.LogoFallbackTicks < kLogoFallbackTicks) return;
  HideSaverWindow(jubo);
  type = kLogo;
  saver.LogoFallbackTicks = 0;
  ShowSaverWindow(jubo);
}

void StartSaver(ScreenContext& jubo) {
  ScreenState& s = jubo.screen;
  s.ViewUnderSaver = s.CurrentView;
  s.CurrentView = kViewSaver;
  jubo.settings.SaverType = jubo.settings.ConfiguredSaverType;
  jubo.saver.LogoFallbackTicks = 0;
  ShowSaverWindow(jubo);
  jubo.saver.logo_timer = jubo.loop->StartTimer(kLogoTimerInterval, [&jubo] { LogoTimer(jubo); });
}

void SaverKeyDown(ScreenContext& jubo, int16_t key) {
  if (key != ground::kKeyEnter) return;
  sound::PlayCue(jubo, jubo.cues.BeepSound);
  CloseSaver(jubo);
}

const OwnPart kSaver = {.key = SaverKeyDown};

}  // namespace

void CheckSaver(ScreenContext& jubo) {
  const int32_t timeout = jubo.settings.ScreensaverTimeout;
  if (timeout == 0) return;
  ScreenState& s = jubo.screen;
  if (s.CurrentView == kViewSaver) return;
  ++jubo.IdleSeconds;
  if (jubo.IdleSeconds >= timeout * 60 && !jubo.DialogOpen) StartSaver(jubo);
}

void StartScreensaverSoon(ScreenContext& jubo) {
  if (jubo.settings.ScreensaverTimeout != 0) {
    jubo.IdleSeconds = jubo.settings.ScreensaverTimeout * 60 + 1;
  }
}

bool CloseSaver(ScreenContext& jubo) {
  ScreenState& s = jubo.screen;
  if (s.CurrentView != kViewSaver) return false;
  HideSaverWindow(jubo);
  StopTimer(jubo, jubo.saver.logo_timer);
  jubo.IdleSeconds = 0;
  s.CurrentView = s.ViewUnderSaver;
  jubo.settings.SaverType = jubo.settings.ConfiguredSaverType;
  RefreshMenu(jubo);
  return true;
}

// clang-format off
extern const View kSaverView = {.code = kViewSaver, .own = &kSaver};
// clang-format on

}  // namespace screen
