// The screen saver: after ScreensaverTimeout idle minutes the program covers its screen with a
// view of its own (kViewSaver) that remembers the view under it. It shows the player's
// visualisation (SaverType 1), the logo jumping to a new place every ten seconds (2) or a
// blank screen (3). While nothing plays, the visualisation and the blank screen give way to
// the moving logo after ten seconds, and come back as soon as something plays again.
//
// Under the saver the player's hotkeys still work; arrows and Page keys leave it up; Enter
// closes it, and Escape, X, C, V and M close it before their own action. No saver starts while
// a dialog is open. Timers run only while the saver shows.
#pragma once

namespace screen {

struct ScreenContext;

inline constexpr int kLogoMoveInterval = 10000;  // ms between the logo's jumps
inline constexpr int kLogoTimerInterval = 1000;  // ms between the fallback's checks
inline constexpr int kLogoFallbackTicks = 10;    // idle checks before the logo takes over

// The saver check, at the end of each tick of the status panel's Timer1: counts an idle
// second, and starts the saver once the idle time is reached, unless a dialog is open.
// Nothing happens while ScreensaverTimeout is 0.
void CheckSaver(ScreenContext& jubo);

// Starts the saver at the next check (the hotkey A, "Start Screensaver now"), when the saver is
// in use at all.
void StartScreensaverSoon(ScreenContext& jubo);

// Closes the saver if it shows: the view under it comes back with its row (a menu's rows as
// the state now has them) and the idle count starts again. Returns whether it showed.
bool CloseSaver(ScreenContext& jubo);

}  // namespace screen
