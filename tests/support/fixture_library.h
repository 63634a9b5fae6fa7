// Small libraries for tests, written as jubodb.txt the way a tagger exports them.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace jubo_test {

struct FixtureSong {
  std::string album, artist, title, track, filename, genre, tempo;
};

class FixtureLibrary {
 public:
  // An album of `titles` by `artist`: tracks "01", "02" ..., files
  // /music/<artist>/<album>/<track>.ogg.
  FixtureLibrary& Album(const std::string& album, const std::string& artist,
                        const std::string& genre, const std::vector<std::string>& titles,
                        const std::string& tempo = "");
  FixtureLibrary& Song(FixtureSong song);

  // Writes folder/jubodb.txt.
  void WriteTo(const std::filesystem::path& folder) const;
  const std::vector<FixtureSong>& songs() const { return songs_; }

 private:
  std::vector<FixtureSong> songs_;
};

}  // namespace jubo_test
