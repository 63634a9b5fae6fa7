// The phone page's search over the whole library: albums, artists and songs whose names hold
// the words typed, whatever their case and accents ("elan" finds "Élan"). Built once from the
// loaded library, on a thread of its own; afterwards it never changes, so the web server's
// threads search it at once without asking the event loop.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "textdb/connection.h"

namespace phone {

// Text as search compares it: accents taken off (decomposed, marks dropped), case folded;
// invalid UTF-8 bytes are dropped. Thread-safe.
std::string FoldForSearch(std::string_view utf8);

class SongSearch {
 public:
  enum class Kind { kAlbum, kArtist, kSong };
  struct Hit {
    Kind kind;
    uint32_t index;  // into albums, artists or songs, as `kind` says
  };
  // A song's title and file are kept in one block for all songs: a million songs would
  // otherwise cost two strings (and their allocations) each.
  struct Song {
    uint64_t text = 0;  // where its title, then its file, begin in the block
    uint32_t title_size = 0, file_size = 0;
    uint32_t album = 0, artist = 0;  // indexes into albums and artists
  };
  struct Album {
    std::string name;
    uint32_t artist = 0;  // the artist of its first song in the library's order
  };
  static constexpr size_t kMaxEach = 20;  // hits of each kind at most
  static constexpr size_t kMinLetters = 2;

  // Reads every song of `image` (the program's loaded library; its connection must outlive
  // the call) through a connection of its own on `folder`, so the program's connection is not
  // touched. An error leaves *error set and returns null.
  static std::unique_ptr<SongSearch> Build(const textdb::TableImage& image,
                                           const std::string& folder, std::string* error);

  // Albums, then artists, then songs whose folded names hold the folded `query` (a song's
  // title, album or artist), at most kMaxEach of each, in the library's order; none for a query of
  // fewer than kMinLetters letters.
  std::vector<Hit> Find(std::string_view query) const;

  const std::vector<Album>& albums() const { return albums_; }
  const std::vector<std::string>& artists() const { return artists_; }
  const std::vector<Song>& songs() const { return songs_; }
  std::string_view Title(const Song& song) const {
    return std::string_view(song_texts_).substr(song.text, song.title_size);
  }
  std::string_view File(const Song& song) const {
    return std::string_view(song_texts_).substr(song.text + song.title_size, song.file_size);
  }

 private:
  // The folded names of one kind, each ended by '\n' (which no folded name holds), and where
  // each begins: a match is found by one memmem over the whole block.
  struct Folded {
    std::string text;
    std::vector<uint32_t> starts;
    void Add(std::string_view folded);
    std::string_view Name(size_t i) const;  // the i-th name, without its '\n'
    // Indexes of the names that hold `needle`, at most `limit`, in order.
    void FindIn(std::string_view needle, size_t limit, Kind kind, std::vector<Hit>* hits) const;
  };
  std::vector<Album> albums_;
  std::vector<std::string> artists_;
  std::vector<Song> songs_;
  std::string song_texts_;
  Folded folded_albums_, folded_artists_, folded_titles_;
};

}  // namespace phone
