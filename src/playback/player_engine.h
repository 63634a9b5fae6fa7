// The player and playlist engine. The program keeps its own playlist (PlaylistState) and hands
// the media player one file at a time, with the file of the entry that follows (its NextURL:
// the next entry, entry 0 with repeat on, none at the end of the list), which the player moves
// into by itself without a gap; the engine decides what comes next when a song ends or fails or
// the user moves, and looks up the details of the song that starts for the status panel. Every
// operation runs on the UI thread and needs jubo.player; to load entry r means to set the player's
// URL to that entry's file. What changes the playlist, the player's state or the repeat switch
// tells PlayerContext::PlayerChanged: the engine draws nothing itself.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "playback/media_player.h"
#include "textdb/cursor.h"

namespace playback {

struct PlayerContext;

// The player window's timer, which starts songs the automatic advance has loaded.
inline constexpr int kPlayerTimerInterval = 50;

// Appends an entry, growing the table by kPlaylistGrowth entries when it is full.
void AppendSong(PlayerContext& jubo, std::string text, std::string file);
// Appends the songs of `records` of `cursor` (0-based, each below its RecordCount), in that
// order, each as "Title by Artist" with its Filename (a field the cursor lacks or holds Null
// reads as empty text). The way to append many: the rows are read in one pass and the table
// grows once, so 100,000 songs take tens of milliseconds. The cursor stays where it was.
void AppendSongs(PlayerContext& jubo, const textdb::Cursor& cursor,
                 std::span<const uint32_t> records);
// Appends every song of `cursor`, in its order, as AppendSongs does.
void AppendAllSongs(PlayerContext& jubo, const textdb::Cursor& cursor);
// Play next: moves the last `count` entries to just after the current one, in their order;
// the song playing goes on and the player is told which song follows now. Nothing moves while
// no song has been chosen to play.
void MoveLastAfterCurrent(PlayerContext& jubo, int32_t count);
// When no song has been chosen to play yet and the playlist holds one: loads entry 0 and
// plays it.
void StartIfIdle(PlayerContext& jubo);

// The transport, as the hotkeys and Playlist Control use it. Next and previous wrap around
// the playlist whatever the repeat switch says; NextSong does nothing while Non-Stop Music is
// still queueing its next song.
void NextSong(PlayerContext& jubo);
void PreviousSong(PlayerContext& jubo);
// Pauses what plays; resumes a pause or a fast forward; otherwise plays the current entry
// from its beginning.
void PlayPause(PlayerContext& jubo);
// Fast forward, or back to normal play when already fast-forwarding.
void FastForward(PlayerContext& jubo);
// Ten seconds back (the player starts the song over when that is before its beginning).
void SkipBack(PlayerContext& jubo);
// The S key: stops the player. The current entry does not change.
void StopSong(PlayerContext& jubo);
// Playlist Control's Stop: loads the player's file again, then stops.
void StopAndReload(PlayerContext& jubo);
// Stops, shuffles every entry and plays the new first one. An empty playlist is left alone.
// Returns true when shuffled. The engine asks nothing: whoever calls it asks first.
bool ShuffleSongs(PlayerContext& jubo);
// Stops the player, empties the playlist (no song chosen to play) and switches Non-Stop Music
// off. What shows next is the caller's.
void ClearPlaylist(PlayerContext& jubo);
// Playlist repeat on when it was off, else off.
void ToggleRepeat(PlayerContext& jubo);

// The player's events and the player window's timer. A song the automatic advance loaded
// starts once the player is Ready: at the open-state change that says so, or at the timer's
// next tick. The player moving into the file queued makes the entry it belongs to the current
// one, as the end of a song would; when the list changed in the meantime, the entry that now
// follows is loaded instead. The timer also queues the file that follows anew after changes
// of the list made outside the engine. A song that cannot be played is skipped or reported as the
// settings say, unless nothing asked it to play (an entry loaded to rest on): reported, it stays
// loaded, the list does not move, and the engine beeps and tells SongFailed. Every event tells
// PlayerChanged.
void Player9_OpenStateChange(PlayerContext& jubo);
void Player9_PlayStateChange(PlayerContext& jubo, int NewState);
void Player9_Error(PlayerContext& jubo);
// No audio output opened: not the song's fault, so nothing is skipped or counted; the list
// stays stopped on the song, and the failure is kept (for the status panel) until an output
// opens. The first failure of a run of them writes one line on stderr naming the output and
// how to choose another.
void Player9_AudioOutputFailed(PlayerContext& jubo, const AudioOutputFailure& failure);
void Player9_AudioOutputOpened(PlayerContext& jubo);
void Player9_MovedToNext(PlayerContext& jubo);
void PlayerTimer1(PlayerContext& jubo);

// frmPlayer, the hidden player window, while it exists: the player's events reach the engine
// and its 50 ms timer runs. The window does not own the player; it must not outlive it. With
// no player wired (jubo.player null) it does nothing, and nothing may be played.
class PlayerWindow final : public MediaPlayerEvents {
 public:
  explicit PlayerWindow(PlayerContext& jubo);
  ~PlayerWindow() override;
  PlayerWindow(const PlayerWindow&) = delete;
  PlayerWindow& operator=(const PlayerWindow&) = delete;

  void OpenStateChange() override { Player9_OpenStateChange(jubo_); }
  void PlayStateChange(int NewState) override { Player9_PlayStateChange(jubo_, NewState); }
  void Error() override { Player9_Error(jubo_); }
  void AudioOutputFailed(const AudioOutputFailure& failure) override {
    Player9_AudioOutputFailed(jubo_, failure);
  }
  void AudioOutputOpened() override { Player9_AudioOutputOpened(jubo_); }
  void MovedToNext() override { Player9_MovedToNext(jubo_); }

 private:
  PlayerContext& jubo_;
  int timer_ = 0;
};

}  // namespace playback
