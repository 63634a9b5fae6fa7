#include "playback/player_engine.h"

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "library/queries.h"
#include "playback/loudness.h"
#include "playback/non_stop.h"
#include "playback/player_context.h"
#include "sound/cues.h"

namespace playback {
namespace {

// Skipping unplayable songs gives up after this many failures in a row, even on a longer
// playlist: a music drive that is gone fails every song.
constexpr int32_t kMostFailuresInARow = 100;

void Load(PlayerContext& jubo, int32_t row) {
  const PlaylistState& p = jubo.playlist;
  // Rows past SongCount keep what they held; a row outside the table has no file at all.
  if (row < 0 || row >= static_cast<int32_t>(p.Playlist.size())) return;
  jubo.player->SetURL(p.Playlist[static_cast<size_t>(row)].file());
}

void Play(PlayerContext& jubo) {
  jubo.playlist.play_asked = true;
  jubo.player->play();
}

void Stop(PlayerContext& jubo) {
  jubo.playlist.play_asked = false;
  jubo.player->stop();
}

// The entry the list moves on to when the current one ends: the one after it, else entry 0
// with repeat on; -1 when the list is to rest.
int32_t FollowingEntry(const PlayerContext& jubo) {
  const PlaylistState& p = jubo.playlist;
  if (p.CurrentSong + 1 < p.SongCount) return p.CurrentSong + 1;
  return jubo.settings.PlaylistLoop == 1 ? 0 : -1;
}

// Called when the last entry has ended, or failed while skipping.
void AutomaticAdvance(PlayerContext& jubo) {
  PlaylistState& p = jubo.playlist;
  const int32_t next = FollowingEntry(jubo);
  p.CurrentSong = std::max(next, 0);
  Load(jubo, p.CurrentSong);
  if (next < 0) {
    // The list rests on its first song, stopped.
    Stop(jubo);
    return;
  }
  p.PlayPending = true;
  p.play_asked = true;
}

// Hands the player the file of the entry that follows the one it holds, so that it moves into
// it without a gap; none while the player holds another file than the current entry's (a
// change under way) or the list is to rest. Every change of the list, the current entry or
// the repeat switch calls this, the engine's own at once, those made elsewhere (a removal, a
// jump from Now Playing) at the timer's next tick.
void QueueNext(PlayerContext& jubo) {
  if (jubo.player == nullptr) return;
  const PlaylistState& p = jubo.playlist;
  static const std::string kNone;
  const std::string* next = &kNone;
  if (p.CurrentSong >= 0 && p.CurrentSong < p.SongCount &&
      p.Playlist[static_cast<size_t>(p.CurrentSong)].file() == jubo.player->URL()) {
    if (const int32_t row = FollowingEntry(jubo); row >= 0) {
      next = &p.Playlist[static_cast<size_t>(row)].file();
    }
  }
  if (jubo.player->NextURL() != *next) jubo.player->SetNextURL(*next);
}

std::string FieldText(const textdb::Cursor& cursor, std::string_view column) {
  std::optional<std::string_view> value = cursor.Field(column);
  return value ? std::string(*value) : std::string();
}

// Title, artist and album of the current entry, for the status panel. A file the library does
// not know (or a failed query) leaves them empty.
void LookUpDetails(PlayerContext& jubo) {
  PlaylistState& p = jubo.playlist;
  library::LibraryState& lib = jubo.library;
  if (p.CurrentSong < 0 || p.CurrentSong >= static_cast<int32_t>(p.Playlist.size())) return;
  lib.sqlSongInfo = library::SongInfoQuery(p.Playlist[static_cast<size_t>(p.CurrentSong)].file());
  (void)lib.rsSongInfo.Open(lib.sqlSongInfo, lib.LibraryConnection);
  p.NowTitle = FieldText(lib.rsSongInfo, "Title");
  p.NowArtist = FieldText(lib.rsSongInfo, "Artist");
  p.NowAlbum = FieldText(lib.rsSongInfo, "Album");
  lib.rsSongInfo.Close();
}

// With Non-Stop Music on, the last entry starting (or failing) draws the next one, so the
// music never runs out. NextSong waits while this runs.
void NonStopContinuation(PlayerContext& jubo) {
  PlaylistState& p = jubo.playlist;
  jubo.selection.NonStopReady = false;
  if (p.CurrentSong == p.SongCount - 1 && jubo.selection.NonStop && p.non_stop_draw != nullptr) {
    p.non_stop_draw(jubo);
  }
  jubo.selection.NonStopReady = true;
}

// Room in the table for `more` entries, grown in steps of kPlaylistGrowth as appending one by
// one would, but at once.
void MakeRoom(PlaylistState& p, size_t more) {
  const int64_t needed = int64_t{p.SongCount} + static_cast<int64_t>(more);
  if (needed > p.PlaylistCapacity) {
    const int64_t steps = (needed - p.PlaylistCapacity + kPlaylistGrowth - 1) / kPlaylistGrowth;
    p.PlaylistCapacity += static_cast<int32_t>(steps * kPlaylistGrowth);
    p.Playlist.resize(static_cast<size_t>(p.PlaylistCapacity));
  }
  p.where.Reserve(more);
}

// Entry SongCount, which MakeRoom has made room for.
void AddEntry(PlaylistState& p, std::string text, std::string file) {
  p.where.Append(file);
  p.Playlist[static_cast<size_t>(p.SongCount)] =
      PlaylistEntry(p.texts.Make(std::move(text), std::move(file)));
  ++p.SongCount;
}

// The song that failed stays loaded and the list does not move.
void ReportFailure(PlayerContext& jubo) {
  sound::PlayCue(jubo, jubo.cues.BeepSound);
  jubo.SongFailed(jubo.playlist.CurrentSong + 1);
}

}  // namespace

void AppendSong(PlayerContext& jubo, std::string text, std::string file) {
  PlaylistState& p = jubo.playlist;
  MakeRoom(p, 1);
  AddEntry(p, std::move(text), std::move(file));
  QueueNext(jubo);
  jubo.PlayerChanged();
}

void AppendSongs(PlayerContext& jubo, const textdb::Cursor& cursor,
                 std::span<const uint32_t> records) {
  if (records.empty()) return;
  const std::optional<size_t> title = cursor.ColumnIndex("Title");
  const std::optional<size_t> artist = cursor.ColumnIndex("Artist");
  const std::optional<size_t> file = cursor.ColumnIndex("Filename");
  PlaylistState& p = jubo.playlist;
  MakeRoom(p, records.size());
  // The records come in the library's order: each entry is written in its place directly.
  const auto first = static_cast<size_t>(p.SongCount);
  cursor.ReadRecords(records, [&](size_t k, const textdb::RowValues& row) {
    auto field = [&row](std::optional<size_t> column) {
      return column ? row[*column].value_or(std::string_view()) : std::string_view();
    };
    const std::string_view title_text = field(title), artist_text = field(artist);
    std::string text;
    text.reserve(title_text.size() + 4 + artist_text.size());
    text.append(title_text).append(" by ").append(artist_text);
    p.Playlist[first + k] = PlaylistEntry(p.texts.Make(std::move(text), std::string(field(file))));
  });
  for (size_t k = 0; k < records.size(); ++k) p.where.Append(p.Playlist[first + k].file());
  p.SongCount += static_cast<int32_t>(records.size());
  QueueNext(jubo);
  jubo.PlayerChanged();
}

void AppendAllSongs(PlayerContext& jubo, const textdb::Cursor& cursor) {
  std::vector<uint32_t> records(static_cast<size_t>(std::max(cursor.RecordCount(), 0L)));
  std::iota(records.begin(), records.end(), 0u);
  AppendSongs(jubo, cursor, records);
}

void MoveLastAfterCurrent(PlayerContext& jubo, int32_t count) {
  PlaylistState& p = jubo.playlist;
  const int32_t first = p.SongCount - count;
  if (p.CurrentSong < 0 || count <= 0 || first <= p.CurrentSong + 1) return;
  auto entries = p.Playlist.begin();
  std::rotate(entries + p.CurrentSong + 1, entries + first, entries + p.SongCount);
  // The index only appends: made anew, as a shuffle does.
  p.where.Clear();
  for (int32_t i = 0; i < p.SongCount; ++i)
    p.where.Append(p.Playlist[static_cast<size_t>(i)].file());
  QueueNext(jubo);
  jubo.PlayerChanged();
}

void StartIfIdle(PlayerContext& jubo) {
  PlaylistState& p = jubo.playlist;
  if (p.CurrentSong != -1 || p.SongCount < 1) return;
  p.CurrentSong = 0;
  Load(jubo, 0);
  Play(jubo);
}

void NextSong(PlayerContext& jubo) {
  PlaylistState& p = jubo.playlist;
  if (jubo.selection.NonStop && !jubo.selection.NonStopReady) return;
  if (p.SongCount == 0) return;
  if (p.SongCount == 1) {
    p.CurrentSong = 0;
  } else if (++p.CurrentSong > p.SongCount - 1) {
    p.CurrentSong = 0;
  }
  Load(jubo, p.CurrentSong);
  Play(jubo);
}

void PreviousSong(PlayerContext& jubo) {
  PlaylistState& p = jubo.playlist;
  if (p.SongCount == 0) return;
  if (p.SongCount == 1) {
    p.CurrentSong = 0;
  } else if (--p.CurrentSong < 0) {
    p.CurrentSong = p.SongCount - 1;
  }
  Load(jubo, p.CurrentSong);
  Play(jubo);
}

void PlayPause(PlayerContext& jubo) {
  MediaPlayer& player = *jubo.player;
  if (player.playState() == kPlaying) {
    player.pause();
  } else if (player.playState() == kFastForward || player.playState() == kPaused) {
    Play(jubo);
  } else {
    Load(jubo, jubo.playlist.CurrentSong);
    Play(jubo);
  }
}

void FastForward(PlayerContext& jubo) {
  if (jubo.player->playState() != kFastForward) {
    jubo.playlist.play_asked = true;
    jubo.player->fastForward();
  } else {
    Play(jubo);
  }
}

void SkipBack(PlayerContext& jubo) {
  jubo.player->SetCurrentPosition(jubo.player->currentPosition() - 10);
}

void StopSong(PlayerContext& jubo) { Stop(jubo); }

void StopAndReload(PlayerContext& jubo) {
  std::string url = jubo.player->URL();
  jubo.player->SetURL(url);
  Stop(jubo);
}

bool ShuffleSongs(PlayerContext& jubo) {
  PlaylistState& p = jubo.playlist;
  // There is nothing to shuffle, nor any entry to play afterwards.
  if (p.SongCount == 0) return false;
  jubo.random->Randomize();
  Stop(jubo);
  const int32_t n = p.SongCount;
  const std::span<PlaylistEntry> live(p.Playlist.data(), static_cast<size_t>(n));
  for (size_t i = 0; i < live.size(); ++i) ground::DrawNext(*jubo.random, live, i);
  p.where.Clear();
  for (int32_t i = 0; i < n; ++i) p.where.Append(p.Playlist[static_cast<size_t>(i)].file());
  p.CurrentSong = 0;
  Load(jubo, 0);
  Play(jubo);
  jubo.PlayerChanged();
  return true;
}

void ClearPlaylist(PlayerContext& jubo) {
  PlaylistState& p = jubo.playlist;
  Stop(jubo);
  p.SongCount = 0;
  p.CurrentSong = -1;
  p.where.Clear();
  // No entry may keep pointing at texts that are freed.
  std::fill(p.Playlist.begin(), p.Playlist.end(), PlaylistEntry());
  p.texts.Clear();
  TurnNonStopOff(jubo);
  QueueNext(jubo);
  jubo.PlayerChanged();
}

void ToggleRepeat(PlayerContext& jubo) {
  jubo.settings.PlaylistLoop = jubo.settings.PlaylistLoop == 0 ? 1 : 0;
  QueueNext(jubo);
  jubo.PlayerChanged();
}

void Player9_OpenStateChange(PlayerContext& jubo) {
  // Even loudness: the song's ReplayGain, chosen as it begins to open, before it may start
  // (loudness.h).
  if (std::string& chosen = jubo.playlist.replay_gain_file; chosen != jubo.player->URL()) {
    chosen = jubo.player->URL();
    ChooseReplayGain(jubo, jubo.playlist.CurrentSong);
  }

  // A song the automatic advance loaded starts the moment it is open, rather than at the next
  // tick of the timer: the silence between songs is shorter by up to a tick.
  PlayerTimer1(jubo);
  jubo.SongChanged();
  jubo.PlayerChanged();
}

void Player9_PlayStateChange(PlayerContext& jubo, int NewState) {
  PlaylistState& p = jubo.playlist;
  jubo.PlayerChanged();  // the state, and on a start the song's details
  // An event left over from before the playlist was cleared has no entry to act on.
  if (p.SongCount == 0) return;
  if (NewState == kMediaEnded) {
    AutomaticAdvance(jubo);
  } else if (NewState == kPlaying) {
    p.failed_in_a_row = 0;
    LookUpDetails(jubo);
    NonStopContinuation(jubo);
    QueueNext(jubo);
  }
}

void Player9_MovedToNext(PlayerContext& jubo) {
  PlaylistState& p = jubo.playlist;
  jubo.PlayerChanged();
  if (p.SongCount == 0) return;
  const int32_t next = FollowingEntry(jubo);
  // The list changed after the file was queued and before the timer's tick caught it: what
  // follows now is loaded, as at the end of a song without a file queued.
  if (next < 0 || p.Playlist[static_cast<size_t>(next)].file() != jubo.player->URL()) {
    AutomaticAdvance(jubo);
    return;
  }
  p.CurrentSong = next;
  jubo.SongChanged();
}

void Player9_Error(PlayerContext& jubo) {
  PlaylistState& p = jubo.playlist;
  jubo.PlayerChanged();
  // An entry nothing asked to play is tried, and reported, when something does.
  if (p.SongCount == 0 || !p.play_asked) return;
  if (jubo.settings.ActionOnError != 0) {
    ReportFailure(jubo);
    return;
  }
  // Skipping stops once every song of the playlist (or a hundred) has failed in a row, rather
  // than trying the same missing files for ever.
  if (++p.failed_in_a_row >= std::min(p.SongCount, kMostFailuresInARow)) {
    p.failed_in_a_row = 0;
    ReportFailure(jubo);
    return;
  }
  NonStopContinuation(jubo);
  AutomaticAdvance(jubo);
}

void Player9_AudioOutputFailed(PlayerContext& jubo, const AudioOutputFailure& failure) {
  PlaylistState& p = jubo.playlist;
  // Every song would fail the same way: the list stays where it is, stopped, and the song that
  // was to play plays when asked again. One line per failure, not one per try.
  p.PlayPending = false;
  if (!p.audio_failure) {
    std::string outputs = failure.output;
    for (size_t comma = outputs.find(','); comma != std::string::npos;
         comma = outputs.find(',', comma + 2)) {
      outputs.replace(comma, 1, ", ");
    }
    const std::string what = failure.output.find(',') == std::string::npos
                                 ? "the audio output \"" + outputs + "\" could not be opened"
                                 : "none of the audio outputs " + outputs + " could be opened";
    std::fprintf(stderr,
                 "jubo: %s (%s); choose another with JUBO_AUDIO_OUTPUT, for example pulse, "
                 "pipewire or alsa.\n",
                 what.c_str(), failure.message.c_str());
  }
  p.audio_failure = failure;
  jubo.PlayerChanged();
}

void Player9_AudioOutputOpened(PlayerContext& jubo) {
  jubo.playlist.audio_failure.reset();
  jubo.PlayerChanged();
}

void PlayerTimer1(PlayerContext& jubo) {
  PlaylistState& p = jubo.playlist;
  QueueNext(jubo);
  if (p.PlayPending && jubo.player->playState() == kReady) {
    p.PlayPending = false;
    jubo.player->play();
  }
}

PlayerWindow::PlayerWindow(PlayerContext& jubo) : jubo_(jubo) {
  if (jubo_.player == nullptr) return;
  jubo_.player->SetListener(this);
  timer_ = jubo_.loop->StartTimer(kPlayerTimerInterval, [&jubo] { PlayerTimer1(jubo); });
}

PlayerWindow::~PlayerWindow() {
  if (jubo_.player == nullptr) return;
  jubo_.loop->StopTimer(timer_);
  jubo_.player->SetListener(nullptr);
}

}  // namespace playback
