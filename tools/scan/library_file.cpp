#include "scan/library_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string_view>
#include <unordered_set>

#include "textdb/collation.h"
#include "textdb/csv_reader.h"
#include "textdb/csv_writer.h"

namespace scan {

namespace {

constexpr const char* kStateVersion = "jubo-scan file states 1\n";

constexpr size_t kFilename = 4;  // its place in kColumns
static_assert(kColumns[kFilename] == "Filename");

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    return lower(x) == lower(y);
  });
}

// The whole file, or an error message.
std::optional<std::string> ReadBytes(const std::string& path, std::string* error) {
  // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  struct stat info;
  if (fd < 0 || fstat(fd, &info) != 0) {
    *error = "cannot read " + path + ": " + std::strerror(errno);
    if (fd >= 0) close(fd);
    return std::nullopt;
  }
  if (!S_ISREG(info.st_mode)) {
    *error = "cannot read " + path + ": " +
             (S_ISDIR(info.st_mode) ? std::strerror(EISDIR) : "not a regular file");
    close(fd);
    return std::nullopt;
  }
  std::string bytes;
  bytes.reserve(static_cast<size_t>(std::max<off_t>(0, info.st_size)));
  char buffer[1 << 16];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0) {
      bytes.append(buffer, static_cast<size_t>(n));
    } else if (n == 0) {
      break;
    } else if (errno != EINTR) {
      *error = "cannot read " + path + ": " + std::strerror(errno);
      close(fd);
      return std::nullopt;
    }
  }
  close(fd);
  return bytes;
}

}  // namespace

std::string LibraryText(const std::vector<Song>& songs) {
  std::string text;
  textdb::AppendCsvRow(&text, {kColumns.begin(), kColumns.end()});
  for (const Song& s : songs) {
    textdb::AppendCsvRow(&text,
                         {s.album, s.artist, s.title, s.track, s.filename, s.genre, s.tempo});
  }
  return text;
}

std::string ReadLibrary(const std::string& path, std::vector<Song>* songs,
                        std::vector<std::string>* notes) {
  songs->clear();
  std::string error;
  const std::optional<std::string> bytes = ReadBytes(path, &error);
  if (!bytes) return error;
  std::string converted;
  std::vector<textdb::LoadNote> load_notes;
  const std::string_view text = textdb::DecodeText(*bytes, &converted, &load_notes);

  // Where each of the seven columns is in the file, in kColumns order; -1 when missing.
  std::vector<int> column_of(kColumns.size(), -1);
  bool header_read = false;
  int64_t rows_without_filename = 0;
  textdb::ParseCsv(
      text,
      [&](const textdb::CsvRow& row) {
        if (!header_read) {
          header_read = true;
          std::vector<std::string> others;
          for (size_t i = 0; i < row.fields.size(); ++i) {
            const auto known = std::find_if(
                kColumns.begin(), kColumns.end(),
                [&](std::string_view c) { return SameNameIgnoringCase(c, row.fields[i]); });
            if (known == kColumns.end()) {
              others.emplace_back(row.fields[i]);
            } else if (int& column = column_of[known - kColumns.begin()]; column < 0) {
              column = static_cast<int>(i);
            }
          }
          if (!others.empty()) {
            std::string list;
            for (const std::string& name : others) list += (list.empty() ? "" : ", ") + name;
            notes->push_back(path + ": column" + (others.size() > 1 ? "s " : " ") + list +
                             " not carried over");
          }
          return;
        }
        if (column_of[kFilename] < 0) return;
        const auto field = [&](size_t column) {
          const int i = column_of[column];
          return i >= 0 && static_cast<size_t>(i) < row.fields.size()
                     ? std::string(row.fields[static_cast<size_t>(i)])
                     : std::string();
        };
        Song song{field(0), field(1), field(2), field(3), field(4), field(5), field(6)};
        if (song.filename.empty()) {
          ++rows_without_filename;
          return;
        }
        songs->push_back(std::move(song));
      },
      &load_notes);

  if (column_of[kFilename] < 0) {
    // beets' own export has none: its library is read whole instead.
    return path +
           ": no Filename column; not a library to update (for a beets export, make "
           "the library with jubo-scan --from-beets)";
  }
  for (const textdb::LoadNote& note : load_notes) {
    notes->push_back(path + (note.line > 0 ? " line " + std::to_string(note.line) : "") + ": " +
                     note.message);
  }
  if (rows_without_filename > 0) {
    notes->push_back(path + ": " + std::to_string(rows_without_filename) +
                     (rows_without_filename == 1 ? " row" : " rows") +
                     " without a Filename left out");
  }
  return {};
}

LibraryCounts CountLibrary(const std::vector<Song>& songs) {
  std::unordered_set<std::string> albums, artists, genres;
  for (const Song& s : songs) {
    if (!s.album.empty()) albums.insert(textdb::CollationKey(s.album));
    if (!s.artist.empty()) artists.insert(textdb::CollationKey(s.artist));
    if (!s.genre.empty()) genres.insert(textdb::CollationKey(s.genre));
  }
  return {songs.size(), albums.size(), artists.size(), genres.size()};
}

}  // namespace scan

namespace scan {

bool FileState::operator==(const FileState& other) const {
  return modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec &&
         changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec &&
         size == other.size;
}

FileState StateOf(const struct stat& info) {
  return {info.st_mtim, info.st_ctim, static_cast<int64_t>(info.st_size)};
}

std::string StatePath(const std::string& library_path) { return library_path + ".scan"; }

std::string StateText(const std::vector<Song>& songs,
                      const std::vector<std::optional<FileState>>& states) {
  std::string text = kStateVersion;
  char numbers[128];
  for (size_t i = 0; i < songs.size() && i < states.size(); ++i) {
    if (!states[i]) continue;
    const FileState& s = *states[i];
    std::snprintf(numbers, sizeof numbers, "%" PRId64 " %ld %" PRId64 " %ld %" PRId64 " ",
                  static_cast<int64_t>(s.modified.tv_sec), s.modified.tv_nsec,
                  static_cast<int64_t>(s.changed.tv_sec), s.changed.tv_nsec, s.size);
    text += numbers;
    text += songs[i].filename;
    text += '\0';
    text += '\n';
  }
  return text;
}

std::string ReadStates(const std::string& path, FileStates* states) {
  states->clear();
  std::string error;
  const std::optional<std::string> bytes = ReadBytes(path, &error);
  if (!bytes) return error;
  const std::string_view version = kStateVersion;
  if (bytes->compare(0, version.size(), version) != 0) {
    return path + ": not a state file this jubo-scan knows";
  }
  const char* at = bytes->c_str() + version.size();
  const char* const end = bytes->c_str() + bytes->size();
  for (int record = 1; at < end; ++record) {
    int64_t modified_sec, changed_sec, size;
    long modified_nsec, changed_nsec;
    int used = 0;
    const char* name_end = static_cast<const char*>(std::memchr(at, '\0', end - at));
    // The terminating NUL of the record (or of the whole string) stops sscanf in time.
    if (name_end == nullptr || name_end + 1 >= end || name_end[1] != '\n' ||
        std::sscanf(at, "%" SCNd64 " %ld %" SCNd64 " %ld %" SCNd64 "%n", &modified_sec,
                    &modified_nsec, &changed_sec, &changed_nsec, &size, &used) != 5 ||
        at[used] != ' ' || at + used + 1 >= name_end) {
      states->clear();
      return path + ": record " + std::to_string(record) + " cannot be read";
    }
    (*states)[std::string(at + used + 1, name_end)] = {
        {static_cast<time_t>(modified_sec), modified_nsec},
        {static_cast<time_t>(changed_sec), changed_nsec},
        size};
    at = name_end + 2;
  }
  return {};
}

}  // namespace scan
