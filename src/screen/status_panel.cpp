#include "screen/status_panel.h"

#include <algorithm>
#include <optional>
#include <string>

#include "screen/navigation.h"
#include "screen/render.h"
#include "screen/saver.h"
#include "screen/screen_context.h"
#include "screen/text.h"

namespace screen {
namespace {

// "Song: " and the title, then the place in the playlist, which always shows in full: a title
// too long for the line gives way to it.
std::string SongLine(ScreenContext& jubo) {
  const playback::PlaylistState& p = jubo.playlist;
  const screen::Label& line = jubo.screen.frmMain.lblTrack;
  const std::string counter =
      " (" + std::to_string(p.CurrentSong + 1) + " of " + std::to_string(p.SongCount) + ")";
  return FitWithSuffix(fittowidth("Song: " + p.NowTitle, line, *jubo.measure), counter, line,
                       *jubo.measure);
}

// The line of kind `kind` (1 song, 2 artist, 3 album) for the song playing.
std::string TrackLineText(ScreenContext& jubo, int16_t kind) {
  const playback::PlaylistState& p = jubo.playlist;
  const screen::Label& line = jubo.screen.frmMain.lblTrack;
  switch (kind) {
    case 2:
      return screen::fittowidth("Artist: " + p.NowArtist, line, *jubo.measure);
    case 3:
      return screen::fittowidth("Album: " + p.NowAlbum, line, *jubo.measure);
    default:
      return SongLine(jubo);
  }
}

}  // namespace

void ShowPlayerState(ScreenContext& jubo) {
  screen::MainForm& f = jubo.screen.frmMain;
  if (const playback::MediaPlayer* player = jubo.player; player != nullptr) {
    // A state none of these names (a file being opened) leaves the last text standing.
    if (player->playState() == playback::kReady) f.lblState.caption = "Ready";
    if (player->playState() == playback::kPlaying) f.lblState.caption = "Playing";
    if (player->playState() == playback::kPaused) f.lblState.caption = "Paused";
    if (player->playState() == playback::kStopped) {
      f.lblState.caption = "Stopped";
      jubo.playlist.NowTitle.clear();
      jubo.playlist.NowArtist.clear();
      jubo.playlist.NowAlbum.clear();
      f.lblTrack.caption.clear();
    }
    if (player->playState() == playback::kFastForward) f.lblState.caption = "Fast Forward";
    if (player->playState() == playback::kPlaying) {
      double position = player->currentPosition();
      double length = player->duration();
      f.lblState.caption +=
          " " + screen::framestominutes(position) + " of " + screen::framestominutes(length);
    }
  }
  // Without an audio output nothing can be heard, whatever the state: say so until one opens.
  // The device chosen is named; a Snapcast pipe with why it takes no sound (no server reads it).
  if (const std::optional<playback::AudioOutputFailure>& failure = jubo.playlist.audio_failure) {
    std::string notice = failure->output.find(',') == std::string::npos
                             ? "No sound: audio output " + failure->output + " failed"
                             : "No sound: no audio output opened";
    if (failure->output.rfind(playback::MediaPlayer::kSnapcast, 0) == 0) {
      notice = "No sound: " + failure->message;
    }
    f.lblState.caption = fittowidth(notice, f.lblState, *jubo.measure);
  }
  if (jubo.volume_timer != 0) {
    const settings::SettingsState& s = jubo.settings;
    f.lblState.caption = s.Muted ? "Volume: Muted" : "Volume: " + std::to_string(s.Volume);
  }

  std::string repeat = jubo.settings.PlaylistLoop == 1 ? "Repeat:ON" : "Repeat:OFF";
  repeat.resize(15, ' ');
  f.lblState2.caption =
      repeat + (jubo.selection.NonStop ? "Non-Stop Music:ON" : "Non-Stop Music:OFF");

  // The line the track timer showed last, for the song playing now and the playlist as it is
  // now; before the timer's first turn, the song line.
  if (!jubo.playlist.NowTitle.empty()) {
    f.lblTrack.caption = TrackLineText(jubo, std::max<int16_t>(jubo.playlist.TrackLine, 1));
  }
}

void ShowVolume(ScreenContext& jubo) {
  // A one-shot timer: nothing looks at the clock meanwhile.
  if (jubo.volume_timer != 0) jubo.loop->StopTimer(jubo.volume_timer);
  jubo.volume_timer = jubo.loop->StartTimer(kVolumeShownMs, [&jubo] {
    jubo.loop->StopTimer(jubo.volume_timer);
    jubo.volume_timer = 0;
    ShowPlayerState(jubo);
  });
  ShowPlayerState(jubo);
}

void Timer1(ScreenContext& jubo) {
  ShowPlayerState(jubo);
  CheckSaver(jubo);
}

void ScreenContext::PlayerChanged() {
  // A burst of changes (an album appended song by song) is shown in one update, after the
  // engine's event or operation is over.
  if (status_update_posted) return;
  status_update_posted = true;
  loop->Post([this] {
    status_update_posted = false;
    ShowPlayerState(*this);
    // A menu's rows may name what changed: "Turn OFF Playlist Repeat", the playlist's rows.
    RefreshMenu(*this);
  });
}

void TrackTimer(ScreenContext& jubo) {
  playback::PlaylistState& p = jubo.playlist;
  if (p.NowTitle.empty()) return;
  if (++p.TrackLine > 3) p.TrackLine = 1;
  jubo.screen.frmMain.lblTrack.caption = TrackLineText(jubo, p.TrackLine);
}

}  // namespace screen
