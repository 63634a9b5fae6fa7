#include "support/fixture_library.h"

#include <fstream>

#include "textdb/csv_writer.h"

namespace jubo_test {

FixtureLibrary& FixtureLibrary::Album(const std::string& album, const std::string& artist,
                                      const std::string& genre,
                                      const std::vector<std::string>& titles,
                                      const std::string& tempo) {
  for (size_t i = 0; i < titles.size(); ++i) {
    const std::string track = (i < 9 ? "0" : "") + std::to_string(i + 1);
    Song({album, artist, titles[i], track, "/music/" + artist + "/" + album + "/" + track + ".ogg",
          genre, tempo});
  }
  return *this;
}

FixtureLibrary& FixtureLibrary::Song(FixtureSong song) {
  songs_.push_back(std::move(song));
  return *this;
}

void FixtureLibrary::WriteTo(const std::filesystem::path& folder) const {
  std::string text = "Album,Artist,Title,Track,Filename,Genre,Tempo\n";
  for (const FixtureSong& s : songs_) {
    textdb::AppendCsvRow(&text,
                         {s.album, s.artist, s.title, s.track, s.filename, s.genre, s.tempo});
  }
  std::ofstream(folder / "jubodb.txt", std::ios::binary) << text;
}

}  // namespace jubo_test
