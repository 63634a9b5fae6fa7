// The status panel at the bottom of the main screen. Its timers tick from start-up to the end,
// under dialogs too, and the panel also updates when the engine tells of a change
// (ScreenContext::PlayerChanged); it only reads the player and the engine, it never changes
// playback.
#pragma once

namespace screen {

struct ScreenContext;

inline constexpr int kTimer1Interval = 1000;
inline constexpr int kTrackTimerInterval = 5000;
// How long the play state's line shows the volume after a change.
inline constexpr int kVolumeShownMs = 2000;

// Shows what the player does now: the play state (with position and length while playing;
// details of a stopped song are forgotten), or instead, while no audio output opens, "No
// sound: " and why; the switch line (repeat, Non-Stop Music); and the song line of the kind
// shown last (the song itself before the track timer's first turn), for the song and the
// playlist as they are. Called at each tick, and once the engine has told of a change.
void ShowPlayerState(ScreenContext& jubo);
// The play state's line shows the volume ("Volume: 55", "Volume: Muted") for kVolumeShownMs, then
// the play state again; a change meanwhile shows anew for as long.
void ShowVolume(ScreenContext& jubo);

// One tick: ShowPlayerState, then the screen saver's check (saver.h).
void Timer1(ScreenContext& jubo);

// One tick: the song line shows the next of song (with its place in the playlist), artist and
// album. Nothing changes while no song's details are known.
void TrackTimer(ScreenContext& jubo);

}  // namespace screen
