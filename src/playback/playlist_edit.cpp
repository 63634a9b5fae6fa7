#include "playback/playlist_edit.h"

#include "playback/player_context.h"

namespace playback {

void PlaySong(PlayerContext& jubo, int32_t row) {
  jubo.player->SetURL(jubo.playlist.Playlist[static_cast<size_t>(row)].file());
  jubo.playlist.play_asked = true;
  jubo.player->play();
}

int32_t FindSong(const PlaylistState& p, std::string_view file) {
  return p.where.Find(file, [&](int32_t position) {
    return position >= 0 && position < p.SongCount &&
           p.Playlist[static_cast<size_t>(position)].file() == file;
  });
}

void RemoveSong(PlayerContext& jubo, int32_t j) {
  PlaylistState& p = jubo.playlist;
  const bool was_current = p.CurrentSong == j;
  if (was_current) jubo.player->stop();
  const PlaylistEntry removed = p.Playlist[static_cast<size_t>(j)];
  p.where.Remove(j, removed.file());
  p.Playlist.erase(p.Playlist.begin() + j);
  p.texts.Release(removed.texts());
  p.Playlist.emplace_back();  // the table keeps its capacity
  --p.SongCount;
  if (p.SongCount == 0) {
    p.CurrentSong = 0;
    jubo.player->stop();
  } else if (was_current && p.CurrentSong > p.SongCount - 1) {
    // The last entry was playing and went: the list starts over.
    p.CurrentSong = 0;
    PlaySong(jubo, 0);
  } else if (j < p.CurrentSong) {
    --p.CurrentSong;  // the same song plays on, one place earlier
  } else if (was_current) {
    PlaySong(jubo, p.CurrentSong);  // the song that moved into its place
  }
  jubo.PlayerChanged();
}

}  // namespace playback
