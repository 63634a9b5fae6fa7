// The user's settings as the program works on them between loading and saving.
#pragma once

#include <cstdint>
#include <string>

namespace settings {

inline constexpr int16_t kMaxScreensaverTimeout = 3600;  // minutes

struct SettingsState {
  int16_t ScreensaverTimeout = 0;   // idle minutes before the program's saver; 0 = never
  int16_t SaverType = 1;            // 1 Visualization, 2 Logo, 3 Blank Screen
  int16_t ConfiguredSaverType = 1;  // SaverType as configured; the saver swaps SaverType
  int16_t PlaylistLoop = 0;         // playlist repeat: 0 off, 1 on
  int16_t ActionOnError = 0;        // song that cannot be played: 0 skip it, 1 stop

  // Where the sound goes: the media player's name of the device chosen ("auto" for the system's
  // choice, "snapcast:" and a pipe for every room), and the pipe of a Snapcast server, which
  // offers the Snapcast output; empty when there is none.
  std::string AudioDevice = "auto";
  std::string SnapcastPipe;
};

}  // namespace settings
