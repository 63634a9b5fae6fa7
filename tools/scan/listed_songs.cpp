#include "scan/listed_songs.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>
#include <utility>

#include "scan/text.h"

namespace scan {

namespace {

// A walk lists a folder's entries in byte order of their names, so "a/z" comes before "a b/c"
// although ' ' is below '/': compared with '/' below every other byte, whole paths sort as the
// walk meets them.
bool InWalkOrder(const Song& a, const Song& b) {
  return std::lexicographical_compare(a.filename.begin(), a.filename.end(), b.filename.begin(),
                                      b.filename.end(), [](char x, char y) {
                                        const auto rank = [](char c) {
                                          return c == '/' ? 0 : static_cast<unsigned char>(c) + 1;
                                        };
                                        return rank(x) < rank(y);
                                      });
}

}  // namespace

std::string TrackField(std::string_view number) {
  const size_t digits = std::min(number.find_first_not_of("0123456789"), number.size());
  const std::string_view leading = number.substr(0, digits);
  const size_t first = leading.find_first_not_of('0');
  if (first == std::string_view::npos) return {};
  return std::string(leading.substr(first));
}

std::string SongPath(std::string_view path, const std::string& music_dir) {
  if (path.empty() || path[0] == '/' || music_dir.empty()) return std::string(path);
  return music_dir + (music_dir.back() == '/' ? "" : "/") + std::string(path);
}

std::vector<Song> FinishListedSongs(std::vector<Song> listed, const SongSource& source,
                                    ScanObserver& observer, size_t* left_out) {
  std::stable_sort(listed.begin(), listed.end(), InWalkOrder);
  std::vector<Song> songs;
  songs.reserve(listed.size());
  *left_out = 0;
  std::set<std::pair<dev_t, ino_t>> files;
  for (Song& song : listed) {
    const std::string& path = song.filename;
    std::string problem;
    struct stat info;
    if (path.empty() || path[0] != '/') {
      problem = "not an absolute path, and the music folder it is in is unknown";
    } else if (!IsUtf8(path)) {
      problem = "the name is not valid UTF-8; rename it to list it";
    } else if (stat(path.c_str(), &info) != 0) {
      problem = std::string(std::strerror(errno)) + " (" + source.remedy +
                " forgets a song whose file is gone)";
    } else if (!S_ISREG(info.st_mode)) {
      problem = "not a regular file";
    } else if (!files.emplace(info.st_dev, info.st_ino).second) {
      problem = "listed twice; listed once";
    }
    if (!problem.empty()) {
      observer.Problem(path + ": in " + source.name + ": " + problem +
                       (problem.find("listed once") == std::string::npos ? "; left out" : ""));
      ++*left_out;
      continue;
    }
    for (std::string* field :
         {&song.album, &song.artist, &song.title, &song.track, &song.genre, &song.tempo}) {
      *field = CleanText(*field);
    }
    if (song.title.empty()) song.title = FileNameTitle(path);
    songs.push_back(std::move(song));
    observer.Progress(songs.size() + *left_out, songs.size());
  }
  return songs;
}

}  // namespace scan
