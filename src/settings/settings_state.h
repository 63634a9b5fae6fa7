// The user's settings as the program works on them between loading and saving.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace settings {

inline constexpr int16_t kMaxScreensaverTimeout = 3600;  // minutes

inline constexpr int16_t kDefaultVolume = 50;
inline constexpr int16_t kVolumeStep = 5;
// Loudness: automatic (the album's gain within an album in the playlist, else the song's),
// always the album's, always the song's, or none.
enum LoudnessMode : int16_t { kLoudnessAutomatic, kLoudnessAlbum, kLoudnessTrack, kLoudnessOff };

struct SettingsState {
  int16_t ScreensaverTimeout = 0;   // idle minutes before the program's saver; 0 = never
  int16_t SaverType = 1;            // 1 Visualization, 2 Logo, 3 Blank Screen
  int16_t ConfiguredSaverType = 1;  // SaverType as configured; the saver swaps SaverType
  int16_t PlaylistLoop = 0;         // playlist repeat: 0 off, 1 on
  int16_t ActionOnError = 0;        // song that cannot be played: 0 skip it, 1 stop

  // Volume and loudness.
  int16_t Volume = kDefaultVolume;        // the player's level, 0 to 100, in steps of kVolumeStep
  bool Muted = false;                     // silence, Volume kept; not stored: a start is never mute
  int16_t Loudness = kLoudnessAutomatic;  // which ReplayGain evens the songs: kLoudness...
  // Where the sound goes: the media player's name of the device chosen ("auto" for the system's
  // choice, "snapcast:" and a pipe for every room), and the pipe of a Snapcast server, which
  // offers the Snapcast output; empty when there is none.
  std::string AudioDevice = "auto";
  std::string SnapcastPipe;

  // The phone remote: whether its web server runs, and the SHA-256 (hex) of every token a
  // paired phone holds. The tokens themselves are never kept.
  int16_t PhoneRemote = 0;
  std::vector<std::string> PhoneTokenHashes;
};

}  // namespace settings
