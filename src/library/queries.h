// Every query text the program sends to the library, built in one place. The views call these
// builders and never write query text of their own. The texts are kept exactly as the program
// has always sent them, including "Order By" against "Order by" and the blank before "and".
//
// Which arguments arrive escaped: `selected_artist` is `SelectedArtist`, which is stored with
// its single quotes already doubled and goes in as it is; every other value (genre, album,
// file name, list values) is raw and is escaped here. `letter` is a letter (only its first
// character counts) or "*" for names that do not begin with A-Z or a-z. A genre of "All"
// means no genre condition. `browse_by` is "album" for the album hierarchy; anything else
// means the artist hierarchy.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace library {

// The quoting rule: every single quote of a value placed between quotes is doubled.
std::string Escape(std::string_view value);
// The reverse, for showing an escaped value: every pair of single quotes becomes one.
std::string Unescape(std::string_view escaped);

// Distinct albums beginning with `letter`, of `genre`, by name.
std::string AlbumsOfLetterQuery(std::string_view letter, std::string_view genre);
// Distinct albums of the selected artist, of `genre`, by name.
std::string ArtistAlbumsQuery(std::string_view selected_artist, std::string_view genre);
// Distinct artists beginning with `letter`, of `genre`, by name.
std::string ArtistsOfLetterQuery(std::string_view letter, std::string_view genre);
// An album's songs by the selected artist, in track order (the artist hierarchy).
std::string ArtistAlbumTracksQuery(std::string_view album, std::string_view selected_artist);
// An album's songs, of `genre`, in track order (the album hierarchy).
std::string AlbumTracksQuery(std::string_view album, std::string_view genre);
// Distinct album names (album hierarchy) or artist names, of `genre`, by name: the source of
// the first-letter index.
std::string LetterIndexQuery(std::string_view browse_by, std::string_view genre);
// Distinct genres by name (Null first).
std::string GenresQuery();
// Distinct albums; distinct artists; distinct tempos by name: the Jubo DJ lists.
std::string AllAlbumsQuery();
std::string AllArtistsQuery();
std::string TemposQuery();

// Values chosen for one of Jubo DJ's lists, or excluded from Non-Stop Music; raw.
struct CriteriaLists {
  std::vector<std::string> albums;
  std::vector<std::string> artists;
  std::vector<std::string> genres;
  std::vector<std::string> tempos;
};
// Every song matching one of the chosen values of each non-empty list.
std::string CriteriaSongsQuery(const CriteriaLists& chosen);
// Every song outside all the excluded values.
std::string NonStopSongsQuery(const CriteriaLists& excluded);

// Every song of the selected artist, by album, then track.
std::string ArtistSongsQuery(std::string_view selected_artist);
// Every song whose album (album hierarchy) or artist begins with `letter`, of `genre`, by
// album, then track.
std::string LetterSongsQuery(std::string_view browse_by, std::string_view letter,
                             std::string_view genre);
// Every song of `genre` ("All" for every song), by album, then track.
std::string GenreSongsQuery(std::string_view browse_by, std::string_view genre);
// Title, artist and album of the song whose file is `filename`.
std::string SongInfoQuery(std::string_view filename);

}  // namespace library
