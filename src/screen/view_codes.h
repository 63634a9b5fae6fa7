// The codes of the main screen's views. `CurrentView` holds one; `ViewPage` and `SavedRow` are
// indexed by them. The numbers are fixed: the remote control's screen query reports them.
#pragma once

#include <cstdint>

namespace screen {

enum ViewCode : int16_t {
  kViewAlbumsChoosing = 0,   // albums of a letter, choosing albums
  kViewAlbums = 1,           // albums of a letter
  kViewTracks = 2,           // tracks of an album
  kViewLetters = 3,          // first-letter index
  kViewMainMenu = 4,         // the Main Menu
  kViewCriteria = 5,         // Jubo DJ criteria, or the Non-Stop exclusions
  kViewCriteriaSelect = 6,   // genre or tempo selection list
  kViewLettersChoosing = 7,  // first-letter index, choosing albums or artists
  kViewNowPlaying = 8,       // the playlist
  kViewAlbumGenres = 9,      // genres, browsing by album
  kViewArtistGenres = 11,    // genres, browsing by artist
  kViewArtists = 12,         // artists of a letter
  kViewArtistAlbums = 14,    // albums of an artist
  kViewAlbumGenresChoosing = 15,
  kViewArtistGenresChoosing = 16,
  kViewArtistsChoosing = 17,
  kViewPlaylistControl = 19,
  kViewSaver = 20,  // the screen saver covers the screen
  kViewSettings = 21,
  kViewHelp = 22,
};

inline constexpr int kViewCount = 23;  // codes 0..22; 10, 13 and 18 are unused

}  // namespace screen
