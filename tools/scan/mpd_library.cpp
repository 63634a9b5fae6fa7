#include "scan/mpd_library.h"

#include <mpd/client.h>

#include <charconv>
#include <memory>

#include "scan/listed_songs.h"
#include "scan/tags.h"
#include "scan/walk.h"

namespace scan {

namespace {

using Connection = std::unique_ptr<mpd_connection, void (*)(mpd_connection*)>;

bool IsSocket(const std::string& host) {
  return !host.empty() && (host[0] == '/' || host[0] == '@');
}

// Where the connection went, as a user would name it.
std::string Label(const mpd_connection* connection) {
  const mpd_settings* settings = mpd_connection_get_settings(connection);
  const char* host = settings != nullptr ? mpd_settings_get_host(settings) : nullptr;
  if (host == nullptr) return "its default address";
  if (IsSocket(host)) return host;
  return std::string(host) + ":" + std::to_string(mpd_settings_get_port(settings));
}

std::string Failure(mpd_connection* connection, const std::string& doing) {
  return "MPD at " + Label(connection) + ": " + doing + ": " +
         mpd_connection_get_error_message(connection);
}

// Every value of the tag, joined as a folder scan joins a tag's values.
std::string TagValues(const mpd_song* song, mpd_tag_type tag) {
  std::string joined;
  const char* value;
  for (unsigned i = 0; (value = mpd_song_get_tag(song, tag, i)) != nullptr; ++i) {
    if (value[0] == '\0') continue;
    if (!joined.empty()) joined += "; ";
    joined += value;
  }
  return joined;
}

// The music folder MPD is configured with. Empty, with `*error` set, when it cannot say.
std::string AskMusicFolder(mpd_connection* connection, std::string* error) {
  std::string folder;
  if (mpd_send_command(connection, "config", nullptr)) {
    if (mpd_pair* pair = mpd_recv_pair_named(connection, "music_directory")) {
      folder = pair->value;
      mpd_return_pair(connection, pair);
    }
    mpd_response_finish(connection);
  }
  if (mpd_connection_get_error(connection) == MPD_ERROR_SERVER &&
      mpd_connection_get_server_error(connection) == MPD_SERVER_ERROR_PERMISSION) {
    *error = "MPD at " + Label(connection) +
             " names its music folder only to clients on its local socket; give it with "
             "--music-dir DIR (music_directory in its mpd.conf), or connect through the socket";
  } else if (mpd_connection_get_error(connection) != MPD_ERROR_SUCCESS) {
    *error = Failure(connection, "asking its music folder");
  } else if (folder.empty() || folder[0] != '/') {
    *error = "MPD at " + Label(connection) +
             " has no local music folder; give the folder its songs are in with --music-dir DIR";
  }
  return error->empty() ? AbsolutePath(folder) : std::string();
}

}  // namespace

std::string ParseMpdAddress(const std::string& text, MpdAddress* address) {
  *address = {};
  const size_t colon = text.rfind(':');
  const bool bracketed = !text.empty() && text[0] == '[';
  // A socket path may hold colons; a bare IPv6 address has several, and no port.
  if (IsSocket(text) || colon == std::string::npos || text.back() == ']' ||
      (!bracketed && text.find(':') != colon)) {
    address->host = bracketed && text.back() == ']' ? text.substr(1, text.size() - 2) : text;
    return {};
  }
  address->host = bracketed && colon > 1 && text[colon - 1] == ']' ? text.substr(1, colon - 2)
                                                                   : text.substr(0, colon);
  const char* begin = text.c_str() + colon + 1;
  const char* end = text.c_str() + text.size();
  const auto [stop, problem] = std::from_chars(begin, end, address->port);
  if (problem != std::errc() || stop != end || address->port == 0 || address->port > 65535) {
    return "MPD port '" + std::string(begin) + "' is no number from 1 to 65535";
  }
  return {};
}

std::string ReadMpdLibrary(const MpdAddress& address, const std::string& music_dir,
                           std::vector<Song>* songs) {
  songs->clear();
  const Connection connection(
      mpd_connection_new(address.host.empty() ? nullptr : address.host.c_str(), address.port, 0),
      mpd_connection_free);
  if (connection == nullptr) return "out of memory";
  mpd_connection* c = connection.get();
  if (mpd_connection_get_error(c) != MPD_ERROR_SUCCESS) {
    return Failure(c, "cannot connect") +
           " (is MPD running? give HOST[:PORT], or set MPD_HOST and MPD_PORT)";
  }
  const mpd_settings* settings = mpd_connection_get_settings(c);
  if (const char* password = settings != nullptr ? mpd_settings_get_password(settings) : nullptr;
      password != nullptr && !mpd_run_password(c, password)) {
    return Failure(c, "the password from MPD_HOST");
  }
  std::string error;
  const std::string folder = !music_dir.empty() ? music_dir : AskMusicFolder(c, &error);
  if (!error.empty()) return error;

  // One folder an answer: MPD refuses an answer larger than its output buffer (8 MiB by
  // default), which the whole database (listallinfo) of a few tens of thousands of songs fills.
  std::vector<std::string> folders = {""};
  while (!folders.empty() && mpd_connection_get_error(c) == MPD_ERROR_SUCCESS) {
    const std::string listed = std::move(folders.back());
    folders.pop_back();
    if (!mpd_send_list_meta(c, listed.empty() ? nullptr : listed.c_str())) break;
    while (mpd_entity* entity = mpd_recv_entity(c)) {
      if (mpd_entity_get_type(entity) == MPD_ENTITY_TYPE_DIRECTORY) {
        folders.emplace_back(mpd_directory_get_path(mpd_entity_get_directory(entity)));
      } else if (mpd_entity_get_type(entity) == MPD_ENTITY_TYPE_SONG) {
        const mpd_song* song = mpd_entity_get_song(entity);
        Song row;
        row.filename = SongPath(mpd_song_get_uri(song), folder);
        row.album = TagValues(song, MPD_TAG_ALBUM);
        row.artist = TagValues(song, MPD_TAG_ARTIST);
        row.title = TagValues(song, MPD_TAG_TITLE);
        const char* track = mpd_song_get_tag(song, MPD_TAG_TRACK, 0);
        row.track = TrackField(track != nullptr ? track : "");
        row.genre = TagValues(song, MPD_TAG_GENRE);
        songs->push_back(std::move(row));
      }
      mpd_entity_free(entity);
    }
    mpd_response_finish(c);
  }
  if (mpd_connection_get_error(c) != MPD_ERROR_SUCCESS) {
    songs->clear();
    return Failure(c, "listing its database") +
           " (a folder of very many songs may need a larger max_output_buffer_size in mpd.conf)";
  }
  return {};
}

void ReadTempos(std::vector<Song>* songs, ScanObserver& observer) {
  size_t done = 0;
  for (Song& song : *songs) {
    ReadResult read = ReadSong(song.filename);
    if (!read.problem.empty()) {
      observer.Problem(song.filename + ": " + read.problem + "; its tempo is left empty");
    }
    song.tempo = std::move(read.song.tempo);
    observer.Progress(++done, songs->size());
  }
}

}  // namespace scan
