// The program's own playlist: the songs it hands the media player one file at a time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace playback {

struct PlaylistEntry {
  std::string text;  // what the lists show: Title + " by " + Artist
  std::string file;  // the audio file handed to the player
};

struct PlaylistState {
  std::vector<PlaylistEntry> Playlist = std::vector<PlaylistEntry>(2);  // 0..SongCount-1 live
  int32_t PlaylistCapacity = 2;                                         // entries allocated
  int32_t SongCount = 0;                                                // live entries
  int32_t CurrentSong = -1;                   // entry loaded in the player; -1 until one is chosen
  std::string NowTitle, NowArtist, NowAlbum;  // details of the song playing
};

}  // namespace playback
