#include "screen/status_panel.h"

#include <optional>
#include <string>

#include "screen/render.h"
#include "screen/screen_context.h"
#include "screen/text.h"

namespace screen {
namespace {

bool EndsInDots(const std::string& text) {
  return text.size() >= 3 && text.compare(text.size() - 3, 3, "...") == 0;
}

// "Song: " and the title, then the place in the playlist, which always shows in full: a title
// too long for the line gives way to it.
std::string SongLine(ScreenContext& jubo) {
  const playback::PlaylistState& p = jubo.playlist;
  const screen::Label& line = jubo.screen.frmMain.lblTrack;
  const std::string song = "Song: " + p.NowTitle;
  const std::string counter =
      " (" + std::to_string(p.CurrentSong + 1) + " of " + std::to_string(p.SongCount) + ")";
  const auto room_for_counter = static_cast<long>(screen::Len(counter)) + 4;
  std::string fitted = screen::fittowidth(song, line, *jubo.measure);
  if (EndsInDots(fitted)) {
    return screen::Left(song, static_cast<long>(screen::Len(fitted)) - room_for_counter) + "..." +
           counter;
  }
  if (!EndsInDots(screen::fittowidth(song + counter, line, *jubo.measure))) return song + counter;
  return screen::Left(song, static_cast<long>(screen::Len(song)) - room_for_counter) + "..." +
         counter;
}

}  // namespace

void Timer1(ScreenContext& jubo) {
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
  if (const std::optional<playback::AudioOutputFailure>& failure = jubo.playlist.audio_failure) {
    f.lblState.caption = failure->output.find(',') == std::string::npos
                             ? "No sound: audio output " + failure->output + " failed"
                             : "No sound: no audio output opened";
  }

  std::string repeat = jubo.settings.PlaylistLoop == 1 ? "Repeat:ON" : "Repeat:OFF";
  repeat.resize(15, ' ');
  f.lblState2.caption =
      repeat + (jubo.selection.NonStop ? "Non-Stop Music:ON" : "Non-Stop Music:OFF");

  // The idle count runs only while the program's screen saver is in use, and pauses while it
  // shows.
  if (jubo.settings.ScreensaverTimeout != 0 && jubo.screen.CurrentView != kViewSaver) {
    ++jubo.IdleSeconds;
  }
}

void StartScreensaverSoon(ScreenContext& jubo) {
  if (jubo.settings.ScreensaverTimeout != 0) {
    jubo.IdleSeconds = jubo.settings.ScreensaverTimeout * 60 + 1;
  }
}

void TrackTimer(ScreenContext& jubo) {
  playback::PlaylistState& p = jubo.playlist;
  if (p.NowTitle.empty()) return;
  if (++p.TrackLine > 3) p.TrackLine = 1;
  screen::Label& line = jubo.screen.frmMain.lblTrack;
  switch (p.TrackLine) {
    case 1:
      line.caption = SongLine(jubo);
      break;
    case 2:
      line.caption = screen::fittowidth("Artist: " + p.NowArtist, line, *jubo.measure);
      break;
    case 3:
      line.caption = screen::fittowidth("Album: " + p.NowAlbum, line, *jubo.measure);
      break;
  }
}

}  // namespace screen
