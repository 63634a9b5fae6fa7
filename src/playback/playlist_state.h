// The program's own playlist: the songs it hands the media player one file at a time, and
// what the engine and the status panel keep about the song playing.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "playback/media_player.h"
#include "playback/non_stop.h"
#include "playback/playlist_index.h"

namespace playback {

struct PlayerContext;

// What an entry shows and plays. It stays where it is while its entry moves.
struct EntryTexts {
  std::string text;  // what the lists show: Title + " by " + Artist
  std::string file;  // the audio file handed to the player
};

// One entry: a pointer to texts the playlist keeps (EntryStore), so that moving entries (a
// removal shifts every later one) moves 8 bytes each, even in a playlist of a million songs.
class PlaylistEntry {
 public:
  PlaylistEntry() = default;
  explicit PlaylistEntry(const EntryTexts* texts) : texts_(texts) {}
  // Empty for an unused entry.
  const std::string& text() const { return texts_ != nullptr ? texts_->text : Empty(); }
  const std::string& file() const { return texts_ != nullptr ? texts_->file : Empty(); }
  const EntryTexts* texts() const { return texts_; }

 private:
  static const std::string& Empty() {
    static const std::string empty;
    return empty;
  }
  const EntryTexts* texts_ = nullptr;
};

// Owns the texts of the playlist's entries. Texts released by a removal are reused by the next
// append; Clear frees them all (no entry may point at them any more).
class EntryStore {
 public:
  const EntryTexts* Make(std::string text, std::string file);
  void Release(const EntryTexts* texts);
  void Clear();

 private:
  std::deque<EntryTexts> texts_;  // a deque never moves what it holds
  std::vector<EntryTexts*> free_;
};

// Grows the playlist by this many entries when an append finds it full.
inline constexpr int32_t kPlaylistGrowth = 1000;

struct PlaylistState {
  std::vector<PlaylistEntry> Playlist = std::vector<PlaylistEntry>(2);  // 0..SongCount-1 live
  int32_t PlaylistCapacity = 2;                                         // entries allocated
  int32_t SongCount = 0;                                                // live entries
  int32_t CurrentSong = -1;  // entry loaded in the player; -1 until one is chosen
  PlaylistIndex where;       // where each file is; kept by every change of the entries
  EntryStore texts;          // the texts the entries point at
  bool PlayPending = false;  // the automatic advance loaded a song: start it once it is Ready
  std::string NowTitle, NowArtist, NowAlbum;  // details of the song that last started playing
  int16_t TrackLine = 0;  // the status panel's song line shown last: 1 song, 2 artist, 3 album

  // Songs that failed to play one after the other while skipping; a song that starts playing
  // resets it. Skipping stops once it reaches the playlist's size (at most 100).
  int32_t failed_in_a_row = 0;
  // Something asked the current entry to play and no stop came since. An entry loaded only to
  // rest on (the end of the list without repeat, a stop) that fails does not move the list.
  bool play_asked = false;
  // The file whose ReplayGain mode was chosen last: a song is looked up in the library once,
  // not at each of the two or three changes of its open state.
  std::string replay_gain_file;
  // Set when no audio output could be opened, cleared once one opens: the status panel shows
  // it instead of the play state.
  std::optional<AudioOutputFailure> audio_failure;

  // Non-Stop Music's part in the engine: draws one more random song from its pool and appends
  // it (nothing when the pool is empty). Called when the last entry starts, or fails while
  // skipping, with Non-Stop Music on. DrawNonStopSong; a test may put a draw of its own here.
  void (*non_stop_draw)(PlayerContext& jubo) = DrawNonStopSong;
};

}  // namespace playback
