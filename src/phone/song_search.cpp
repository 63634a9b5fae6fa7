#include "phone/song_search.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <unordered_map>

#include "library/library_connection.h"

namespace phone {
namespace {

// One code point folded onto `out`: decomposed, its marks dropped, each part case-folded.
void FoldCodePoint(const icu::Normalizer2* nfd, UChar32 c, std::string* out) {
  icu::UnicodeString parts;
  if (nfd == nullptr || !nfd->getDecomposition(c, parts)) parts = icu::UnicodeString(c);
  for (int32_t i = 0; i < parts.length();) {
    const UChar32 part = parts.char32At(i);
    i += U16_LENGTH(part);
    if (u_charType(part) == U_NON_SPACING_MARK) continue;
    const UChar32 folded = u_foldCase(part, U_FOLD_CASE_DEFAULT);
    char bytes[U8_MAX_LENGTH];
    int32_t n = 0;
    U8_APPEND_UNSAFE(bytes, n, folded);
    out->append(bytes, static_cast<size_t>(n));
  }
}

}  // namespace

std::string FoldForSearch(std::string_view utf8) {
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
  if (U_FAILURE(status)) nfd = nullptr;
  std::string out;
  out.reserve(utf8.size());
  const auto* s = reinterpret_cast<const uint8_t*>(utf8.data());
  const int32_t length = static_cast<int32_t>(utf8.size());
  for (int32_t i = 0; i < length;) {
    // Most names are ASCII: fold those bytes without asking ICU.
    if (s[i] < 0x80) {
      char c = static_cast<char>(s[i++]);
      out.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
      continue;
    }
    UChar32 c;
    U8_NEXT(s, i, length, c);
    if (c >= 0) FoldCodePoint(nfd, c, &out);
  }
  return out;
}

void SongSearch::Folded::Add(std::string_view folded) {
  starts.push_back(static_cast<uint32_t>(text.size()));
  // A line break inside a name would make two names of one.
  for (char c : folded) text.push_back(c == '\n' ? ' ' : c);
  text.push_back('\n');
}

std::string_view SongSearch::Folded::Name(size_t i) const {
  const size_t end = i + 1 < starts.size() ? starts[i + 1] : text.size();
  return std::string_view(text).substr(starts[i], end - starts[i] - 1);
}

void SongSearch::Folded::FindIn(std::string_view needle, size_t limit, Kind kind,
                                std::vector<Hit>* hits) const {
  const char* begin = text.data();
  const char* end = begin + text.size();
  size_t found = 0;
  for (const char* at = begin; found < limit && at < end;) {
    const void* hit = memmem(at, static_cast<size_t>(end - at), needle.data(), needle.size());
    if (hit == nullptr) break;
    const auto offset = static_cast<uint32_t>(static_cast<const char*>(hit) - begin);
    const auto name = std::upper_bound(starts.begin(), starts.end(), offset) - starts.begin() - 1;
    hits->push_back({kind, static_cast<uint32_t>(name)});
    ++found;
    // On from the next name: a name that holds the words twice counts once.
    const size_t next = static_cast<size_t>(name) + 1;
    at = next < starts.size() ? begin + starts[next] : end;
  }
}

std::unique_ptr<SongSearch> SongSearch::Build(const textdb::TableImage& image,
                                              const std::string& folder, std::string* error) {
  if (image.empty()) {
    *error = "no library is loaded";
    return nullptr;
  }
  // A connection of this thread's own over a copy of the library's pages: the program's
  // connection belongs to the event loop's thread.
  textdb::Pages pages = textdb::Pages::Allocate(image.pages().size());
  if (pages.empty()) {
    *error = "not enough memory to search the library";
    return nullptr;
  }
  std::memcpy(pages.data(), image.pages().data(), image.pages().size());
  textdb::Connection connection;
  textdb::ResultSet rows;
  textdb::Status s = connection.Open(library::ConnectionString(folder));
  if (s.ok()) s = connection.RestoreTable(std::move(pages), image.State());
  if (s.ok())
    s = connection.Execute("Select Album, Artist, Title, Filename from jubodb.txt", &rows);
  if (!s.ok()) {
    *error = s.message();
    return nullptr;
  }
  auto search = std::make_unique<SongSearch>();
  std::unordered_map<std::string, uint32_t> album_ids, artist_ids;
  auto id_of = [](std::unordered_map<std::string, uint32_t>& ids, std::string_view name,
                  size_t next, bool* added) {
    auto [it, inserted] = ids.try_emplace(std::string(name), static_cast<uint32_t>(next));
    *added = inserted;
    return it->second;
  };
  std::vector<uint32_t> all(rows.row_count());
  for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<uint32_t>(i);
  search->songs_.resize(all.size());
  rows.ReadRows(all, [&](size_t k, const textdb::RowValues& v) {
    const std::string_view album = v[0].value_or(""), artist = v[1].value_or("");
    const std::string_view title = v[2].value_or("");
    bool added = false;
    const uint32_t artist_id = id_of(artist_ids, artist, search->artists_.size(), &added);
    if (added) search->artists_.emplace_back(artist);
    const uint32_t album_id = id_of(album_ids, album, search->albums_.size(), &added);
    if (added) search->albums_.push_back({std::string(album), artist_id});
    const std::string_view file = v[3].value_or("");
    search->songs_[k] = {search->song_texts_.size(), static_cast<uint32_t>(title.size()),
                         static_cast<uint32_t>(file.size()), album_id, artist_id};
    search->song_texts_.append(title).append(file);
  });
  // Folded in the library's order, so that hits come in it too.
  for (const Album& album : search->albums_) search->folded_albums_.Add(FoldForSearch(album.name));
  for (const std::string& artist : search->artists_) {
    search->folded_artists_.Add(FoldForSearch(artist));
  }
  for (const Song& song : search->songs_) {
    search->folded_titles_.Add(FoldForSearch(search->Title(song)));
  }
  return search;
}

std::vector<SongSearch::Hit> SongSearch::Find(std::string_view query) const {
  std::vector<Hit> hits;
  std::string needle = FoldForSearch(query);
  // Letters, not bytes: "é" alone is one letter in two bytes.
  size_t letters = 0;
  for (unsigned char c : needle) letters += (c & 0xC0) != 0x80;
  if (letters < kMinLetters || needle.find('\n') != std::string::npos) return hits;
  // Every album and artist that matches (a few megabytes to scan at a million songs): their
  // songs match too, whatever their titles.
  std::vector<Hit> albums, artists, titles;
  folded_albums_.FindIn(needle, SIZE_MAX, Kind::kAlbum, &albums);
  folded_artists_.FindIn(needle, SIZE_MAX, Kind::kArtist, &artists);
  folded_titles_.FindIn(needle, kMaxEach, Kind::kSong, &titles);
  std::vector<bool> album_hit(albums_.size()), artist_hit(artists_.size());
  for (const Hit& hit : albums) album_hit[hit.index] = true;
  for (const Hit& hit : artists) artist_hit[hit.index] = true;
  // The first songs in order whose title, album or artist holds the words: the titles' hits
  // merged with the songs of matching albums and artists before the last title hit.
  std::vector<uint32_t> songs;
  for (const Hit& hit : titles) songs.push_back(hit.index);
  if (!albums.empty() || !artists.empty()) {
    const size_t end = titles.size() == kMaxEach ? titles.back().index : songs_.size();
    for (size_t i = 0, found = 0; i < end && found < kMaxEach; ++i) {
      if (album_hit[songs_[i].album] || artist_hit[songs_[i].artist]) {
        songs.push_back(static_cast<uint32_t>(i));
        ++found;
      }
    }
    std::sort(songs.begin(), songs.end());
    songs.erase(std::unique(songs.begin(), songs.end()), songs.end());
  }
  albums.resize(std::min(albums.size(), kMaxEach));
  artists.resize(std::min(artists.size(), kMaxEach));
  hits = std::move(albums);
  hits.insert(hits.end(), artists.begin(), artists.end());
  for (size_t i = 0; i < songs.size() && i < kMaxEach; ++i) hits.push_back({Kind::kSong, songs[i]});
  return hits;
}

}  // namespace phone
