#include "library/queries.h"

#include <cctype>

namespace library {
namespace {

constexpr std::string_view kSongColumns =
    "Select Album, Track, Title, Artist, Filename from jubodb.txt";

bool IsAll(std::string_view genre) { return genre == "All"; }
bool ByAlbum(std::string_view browse_by) { return browse_by == "album"; }

// "<column> Like '[Bb]%' " or "<column> Not Like '[a-zA-Z]%' ", with its trailing blank.
std::string LetterCondition(std::string_view column, std::string_view letter) {
  std::string text(column);
  if (!letter.empty() && letter[0] == '*') return text + " Not Like '[a-zA-Z]%' ";
  char c = letter.empty() ? ' ' : letter[0];
  auto upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  auto lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text + " Like '[" + upper + lower + "]%' ";
}

// "and Genre = '<g>' " with the genre escaped, or "" for "All".
std::string GenreCondition(std::string_view genre) {
  if (IsAll(genre)) return "";
  return "and Genre = '" + Escape(genre) + "' ";
}

// Select ... where <name condition>[and Genre = '...' ]Order by ...
std::string LetterQuery(std::string_view select, std::string_view column, std::string_view letter,
                        std::string_view genre, std::string_view order) {
  return std::string(select) + " where " + LetterCondition(column, letter) + GenreCondition(genre) +
         std::string(order);
}

std::string ListGroups(const CriteriaLists& lists, std::string_view op, std::string_view join) {
  std::string text = "Select * from jubodb.txt";
  bool first_group = true;
  const std::pair<std::string_view, const std::vector<std::string>*> groups[] = {
      {"Album", &lists.albums},
      {"Artist", &lists.artists},
      {"Genre", &lists.genres},
      {"Tempo", &lists.tempos}};
  for (const auto& [column, values] : groups) {
    if (values->empty()) continue;
    text += first_group ? " where " : " and ";
    first_group = false;
    for (size_t i = 0; i < values->size(); ++i) {
      text += i == 0 ? "(" : std::string(" ") + std::string(join) + " ";
      text += std::string(column) + " " + std::string(op) + " '" + Escape((*values)[i]) + "'";
    }
    text += ")";
  }
  return text;
}

}  // namespace

std::string Escape(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (char c : value) {
    out.push_back(c);
    if (c == '\'') out.push_back('\'');
  }
  return out;
}

std::string Unescape(std::string_view escaped) {
  std::string out;
  out.reserve(escaped.size());
  for (size_t i = 0; i < escaped.size(); ++i) {
    out.push_back(escaped[i]);
    if (escaped[i] == '\'' && i + 1 < escaped.size() && escaped[i + 1] == '\'') ++i;
  }
  return out;
}

std::string AlbumsOfLetterQuery(std::string_view letter, std::string_view genre) {
  return LetterQuery("Select Distinct Album from jubodb.txt", "Album", letter, genre,
                     "Order by Album ASC");
}

std::string ArtistsOfLetterQuery(std::string_view letter, std::string_view genre) {
  return LetterQuery("Select Distinct Artist from jubodb.txt", "Artist", letter, genre,
                     "Order by Artist ASC");
}

std::string ArtistAlbumsQuery(std::string_view selected_artist, std::string_view genre) {
  return "Select Distinct Album from jubodb.txt where Artist = '" + std::string(selected_artist) +
         "' " + GenreCondition(genre) + "Order by Album ASC";
}

std::string ArtistAlbumTracksQuery(std::string_view album, std::string_view selected_artist) {
  return "Select Track, Title, Artist, Filename from jubodb.txt where Album = '" + Escape(album) +
         "' and Artist = '" + std::string(selected_artist) + "' Order By Track ASC";
}

std::string AlbumTracksQuery(std::string_view album, std::string_view genre) {
  return "Select Track, Title, Artist, Filename from jubodb.txt where Album = '" + Escape(album) +
         "' " + GenreCondition(genre) + "Order By Track ASC";
}

std::string LetterIndexQuery(std::string_view browse_by, std::string_view genre) {
  std::string column = ByAlbum(browse_by) ? "Album" : "Artist";
  std::string text = "Select Distinct " + column + " from jubodb.txt ";
  if (!IsAll(genre)) text += "where Genre = '" + Escape(genre) + "' ";
  return text + "Order by " + column + " ASC";
}

std::string GenresQuery() { return "Select Distinct Genre from jubodb.txt Order by Genre ASC"; }
std::string AllAlbumsQuery() { return "Select Distinct Album from jubodb.txt"; }
std::string AllArtistsQuery() { return "Select Distinct Artist from jubodb.txt"; }
std::string TemposQuery() { return "Select Distinct Tempo from jubodb.txt Order by Tempo ASC"; }

std::string CriteriaSongsQuery(const CriteriaLists& chosen) {
  return ListGroups(chosen, "=", "or");
}

std::string NonStopSongsQuery(const CriteriaLists& excluded) {
  return ListGroups(excluded, "<>", "and");
}

std::string ArtistSongsQuery(std::string_view selected_artist) {
  return std::string(kSongColumns) + " where Artist = '" + std::string(selected_artist) +
         "' Order by Album ASC, Track ASC";
}

std::string LetterSongsQuery(std::string_view browse_by, std::string_view letter,
                             std::string_view genre) {
  return LetterQuery(kSongColumns, ByAlbum(browse_by) ? "Album" : "Artist", letter, genre,
                     "Order by Album ASC, Track ASC");
}

std::string GenreSongsQuery(std::string_view browse_by, std::string_view genre) {
  if (IsAll(genre)) return std::string(kSongColumns) + " Order By Album ASC, Track ASC";
  return std::string(kSongColumns) + " where Genre = '" + Escape(genre) +
         (ByAlbum(browse_by) ? "' Order By Album ASC, Track ASC"
                             : "' Order by Album ASC, Track ASC");
}

std::string SongInfoQuery(std::string_view filename) {
  return "Select Title, Artist, Album from jubodb.txt where Filename = '" + Escape(filename) + "'";
}

}  // namespace library
