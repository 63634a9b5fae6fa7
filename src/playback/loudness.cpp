#include "playback/loudness.h"

#include <algorithm>
#include <optional>
#include <string>

#include "library/queries.h"
#include "playback/player_context.h"

namespace playback {
namespace {

// The album of entry `row` as the library knows it; nullopt outside the playlist, for a file
// the library does not list, or one without an album.
std::optional<std::string> AlbumOf(PlayerContext& jubo, int32_t row) {
  const PlaylistState& p = jubo.playlist;
  if (row < 0 || row >= p.SongCount) return std::nullopt;
  textdb::Cursor song;
  const std::string sql = library::SongInfoQuery(p.Playlist[static_cast<size_t>(row)].file());
  if (!song.Open(sql, jubo.library.LibraryConnection).ok() || song.IsEOF()) return std::nullopt;
  std::optional<std::string_view> album = song.Field("Album");
  if (!album || album->empty()) return std::nullopt;
  return std::string(*album);
}

}  // namespace

void ChangeVolume(PlayerContext& jubo, int steps) {
  SetVolumeLevel(jubo, jubo.settings.Volume + steps * settings::kVolumeStep);
}

void SetVolumeLevel(PlayerContext& jubo, int percent) {
  jubo.settings.Volume = static_cast<int16_t>(std::clamp(percent, 0, 100));
  jubo.settings.Muted = false;
  ApplyVolume(jubo);
  jubo.PlayerChanged();  // the level shows beside the player, and remotes follow it
}

void ToggleMute(PlayerContext& jubo) {
  jubo.settings.Muted = !jubo.settings.Muted;
  ApplyVolume(jubo);
  jubo.PlayerChanged();
}

void ApplyVolume(PlayerContext& jubo) {
  if (jubo.player != nullptr) jubo.player->SetVolume(jubo.settings.Volume, jubo.settings.Muted);
}

void ChooseReplayGain(PlayerContext& jubo, int32_t row) {
  if (jubo.player == nullptr) return;
  ReplayGain mode = ReplayGain::kOff;
  switch (jubo.settings.Loudness) {
    case settings::kLoudnessAlbum:
      mode = ReplayGain::kAlbum;
      break;
    case settings::kLoudnessTrack:
      mode = ReplayGain::kTrack;
      break;
    case settings::kLoudnessAutomatic: {
      const std::optional<std::string> album = AlbumOf(jubo, row);
      const bool in_album =
          album && (AlbumOf(jubo, row - 1) == album || AlbumOf(jubo, row + 1) == album);
      mode = in_album ? ReplayGain::kAlbum : ReplayGain::kTrack;
      break;
    }
  }
  jubo.player->SetReplayGain(mode);
}

}  // namespace playback
