#include "scan/beets_library.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "scan/listed_songs.h"
#include "scan/tempo.h"
#include "scan/walk.h"

namespace scan {

namespace {

// A beets path is any bytes; in a URI the few that mean something there are escaped.
std::string ReadOnlyUri(const std::string& path) {
  std::string uri = "file:";
  for (const char c : path) {
    if (c == '%' || c == '?' || c == '#') {
      static constexpr char kHex[] = "0123456789ABCDEF";
      uri += '%';
      uri += kHex[static_cast<unsigned char>(c) >> 4];
      uri += kHex[c & 0xF];
    } else {
      uri += c;
    }
  }
  return uri + "?mode=ro";
}

std::string Text(sqlite3_stmt* row, int column) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(row, column));
  return text == nullptr ? std::string() : std::string(text);
}

}  // namespace

std::string DefaultBeetsLibrary() {
  const auto set = [](const char* name) -> const char* {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0' ? value : nullptr;
  };
  if (const char* beetsdir = set("BEETSDIR")) return std::string(beetsdir) + "/library.db";
  if (const char* config = set("XDG_CONFIG_HOME")) return std::string(config) + "/beets/library.db";
  const char* home = set("HOME");
  return std::string(home != nullptr ? home : "") + "/.config/beets/library.db";
}

std::string ReadBeetsLibrary(const std::string& path, const std::string& music_dir,
                             std::vector<Song>* songs) {
  songs->clear();
  // SQLite would say only "unable to open database file".
  struct stat info;
  if (stat(path.c_str(), &info) != 0) {
    return "cannot read beets library " + path + ": " + std::strerror(errno) +
           " (give the path `beet config` shows as library)";
  }
  const std::string absolute = AbsolutePath(path);
  sqlite3* opened = nullptr;
  const int opened_status = sqlite3_open_v2(ReadOnlyUri(absolute).c_str(), &opened,
                                            SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
  const std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(opened, sqlite3_close);
  const auto failed = [&](const char* what) {
    return "cannot read beets library " + path + ": " + what +
           (db != nullptr ? std::string(": ") + sqlite3_errmsg(db.get()) : std::string());
  };
  if (opened_status != SQLITE_OK) return failed("cannot open it");
  sqlite3_busy_timeout(db.get(), 10000);
  sqlite3_stmt* prepared = nullptr;
  if (sqlite3_prepare_v2(db.get(),
                         "SELECT path, title, artist, album, track, genre, bpm FROM items", -1,
                         &prepared, nullptr) != SQLITE_OK) {
    return failed("not a beets library");
  }
  const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> query(prepared, sqlite3_finalize);
  int status;
  while ((status = sqlite3_step(query.get())) == SQLITE_ROW) {
    Song song;
    // beets keeps the path as the bytes the file system gave it, in a BLOB.
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(query.get(), 0));
    song.filename =
        SongPath(std::string(bytes != nullptr ? bytes : "", sqlite3_column_bytes(query.get(), 0)),
                 music_dir);
    song.title = Text(query.get(), 1);
    song.artist = Text(query.get(), 2);
    song.album = Text(query.get(), 3);
    song.track = TrackField(Text(query.get(), 4));
    song.genre = Text(query.get(), 5);
    song.tempo = TempoField({}, Text(query.get(), 6));
    songs->push_back(std::move(song));
  }
  if (status != SQLITE_DONE) {
    songs->clear();
    return failed("reading its items");
  }
  return {};
}

}  // namespace scan
