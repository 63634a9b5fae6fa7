// jubo-scan MUSICDIR... [-o FILE] [--update FILE]: makes the library file Jubo reads from the
// audio files below the given folders; jubo-scan --from-beets [LIBRARY.db] and --from-mpd
// [HOST[:PORT]] [--music-dir DIR] make it from the songs a beets library or an MPD database
// lists, the same rows a folder scan of their files writes as far as they keep the same tags
// (see scan/listed_songs.h), in the same order. Every file TagLib reads is listed, one row per
// song, with its tags (see scan/scanner.h for the walk, scan/tags.h for the fields). The file is
// written whole at the end, through a temporary file renamed over FILE, so an interrupted scan
// leaves the previous library as it was.
//
// FILE defaults to jubodb.txt in the current folder; with --update FILE, to that file. A FILE
// that is a folder means the jubodb.txt inside it. A FILE that is a symbolic link is written
// where it leads (the link stays); a FILE that is neither a regular file nor missing (a FIFO, a
// device) is refused before the scan. Beside the file written, FILE.scan records each listed
// file's times and size as the scan saw them (see scan/library_file.h), written after FILE: a
// library and its record stay together whatever links lead to them.
//
// --update FILE reads FILE and FILE.scan first and keeps the rows of files whose times and
// size are still those FILE.scan records; other files are read, rows of files gone from the
// scanned folders are dropped; rows below a folder that could not be read, or outside the
// scanned folders while their file is still there, are kept. A FILE that does not exist yet
// means a full scan; a FILE without FILE.scan (an older jubo-scan or another program wrote
// it) means every file is read again.
//
// Problems (folders or files that cannot be read, lines of FILE that cannot be read) go to
// stderr, one line each, and the scan carries on. While stderr is a terminal a progress line
// shows there. The closing summary goes to stdout.
//
// From beets or MPD, a song whose file is gone is reported and left out; the FILE.scan written
// beside FILE vouches for no file, so a later --update with folders reads every file once.
//
// Exit status: 0 when the library was written and nothing was reported; 1 when it was written
// but something was reported on stderr; 2 when nothing was written: wrong usage, no song found,
// FILE (for --update) not a library, beets' or MPD's library not readable, or the library could
// not be written.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "common/atomic_file.h"
#include "scan/beets_library.h"
#include "scan/library_file.h"
#include "scan/listed_songs.h"
#include "scan/mpd_library.h"
#include "scan/scanner.h"
#include "scan/walk.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kUsage =
    "usage: jubo-scan MUSICDIR... [-o FILE] [--update FILE]\n"
    "       jubo-scan --from-beets [LIBRARY.db] [-o FILE]\n"
    "       jubo-scan --from-mpd [HOST[:PORT]] [--music-dir DIR] [-o FILE]\n";

constexpr const char* kHelp =
    "Makes the library file Jubo reads (jubodb.txt) from your music folders, or from the\n"
    "library beets or MPD keeps of them.\n"
    "\n"
    "  -o, --output FILE   where to write it (default: jubodb.txt here; a folder means the\n"
    "                      jubodb.txt inside it)\n"
    "  -u, --update FILE   read FILE first and read again only the files changed since it\n"
    "                      was made; writes to FILE unless -o says otherwise\n"
    "  --from-beets [LIBRARY.db]\n"
    "                      the songs of a beets library instead of folders (default:\n"
    "                      $BEETSDIR/library.db, else ~/.config/beets/library.db)\n"
    "  --from-mpd [HOST[:PORT]]\n"
    "                      the songs of a running MPD's database (default: MPD_HOST and\n"
    "                      MPD_PORT, else MPD's local socket, else localhost:6600)\n"
    "  --music-dir DIR     the folder the listed paths are relative to: MPD's music folder,\n"
    "                      which MPD tells only on its local socket (needed over TCP)\n"
    "  -h, --help          this text\n"
    "\n"
    "Exit status: 0 written; 1 written, with problems shown on stderr; 2 nothing written.\n";

// Where the songs come from.
enum class Source { kFolders, kBeets, kMpd };

struct Arguments {
  std::vector<std::string> roots;
  std::string output;  // empty: not given
  std::string update;  // empty: a full scan
  Source source = Source::kFolders;
  std::string from;       // the beets library or MPD's address; empty: the default
  std::string music_dir;  // empty: not given
};

// Parses the command line; false (with the message in *error) when it is not usable.
bool ParseArguments(int argc, char** argv, Arguments* args, std::string* error, bool* help) {
  bool options_done = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (options_done || arg.empty() || arg[0] != '-' || arg == "-") {
      args->roots.emplace_back(arg);
      continue;
    }
    if (arg == "--") {
      options_done = true;
    } else if (arg == "-h" || arg == "--help") {
      *help = true;
      return true;
    } else if (arg == "--from-beets" || arg == "--from-mpd") {
      if (args->source != Source::kFolders) {
        *error = "give one of --from-beets and --from-mpd";
        return false;
      }
      args->source = arg == "--from-beets" ? Source::kBeets : Source::kMpd;
      // Its argument is optional: the next word, unless that is an option.
      if (i + 1 < argc && argv[i + 1][0] != '-' && argv[i + 1][0] != '\0') args->from = argv[++i];
    } else if (arg == "-o" || arg == "--output" || arg == "-u" || arg == "--update" ||
               arg == "--music-dir") {
      std::string& target = arg == "-o" || arg == "--output" ? args->output
                            : arg == "--music-dir"           ? args->music_dir
                                                             : args->update;
      if (i + 1 >= argc || argv[i + 1][0] == '\0') {
        *error = std::string(arg) + " needs a file name";
        return false;
      }
      if (!target.empty()) {
        *error = std::string(arg) + " given twice";
        return false;
      }
      target = argv[++i];
    } else {
      *error = "unknown option " + std::string(arg);
      return false;
    }
  }
  if (args->source != Source::kFolders) {
    // An update keeps rows of unchanged files; beets and MPD are read whole, which is quick.
    *error = !args->roots.empty()    ? "music folders are not read with --from-beets or --from-mpd"
             : !args->update.empty() ? "--update reads music folders; not with --from-beets or "
                                       "--from-mpd, which read the whole library each time"
                                     : "";
  } else if (args->roots.empty()) {
    *error = "no music folder given";
  } else if (!args->music_dir.empty()) {
    *error = "--music-dir goes with --from-mpd";
  }
  return error->empty();
}

// A folder stands for the jubodb.txt inside it, as Jubo's own folder does.
std::string LibraryPath(const std::string& name) {
  struct stat info;
  if (stat(name.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    return name + (name.back() == '/' ? "" : "/") + "jubodb.txt";
  }
  return name;
}

// The file system's own time now, as it stamps the files it changes: the status-change time of
// a file made for the purpose in `folder`, under a name of its own, and removed at once. The
// epoch when no file can be made there, so that no file counts as settled.
timespec FileSystemNow(const std::string& folder) {
  std::string probe = folder + "/.jubo-scan-clock.XXXXXX";
  const int fd = mkostemp(probe.data(), O_CLOEXEC);
  struct stat info;
  const bool made = fd >= 0 && fstat(fd, &info) == 0;
  if (fd >= 0) {
    close(fd);
    unlink(probe.c_str());
  }
  return made ? info.st_ctim : timespec{};
}

// Problems to stderr; the progress line there too when it is a terminal, redrawn at most ten
// times a second and wiped before anything else is written.
class Reporter : public scan::ScanObserver {
 public:
  explicit Reporter(Clock::time_point start)
      : start_(start), terminal_(isatty(STDERR_FILENO) == 1) {}

  void Progress(size_t files_seen, size_t songs_found) override {
    if (!terminal_) return;
    const Clock::time_point now = Clock::now();
    if (shown_ && now - drawn_ < std::chrono::milliseconds(100)) return;
    drawn_ = now;
    shown_ = true;
    std::fprintf(stderr, "\r%zu files seen, %zu songs found, %.1f s\033[K", files_seen, songs_found,
                 std::chrono::duration<double>(now - start_).count());
    std::fflush(stderr);
  }

  void Problem(const std::string& message) override {
    ++problems_;
    Note(message);
  }

  // A line that is no problem (nothing is wrong), e.g. that an update starts from nothing.
  void Note(const std::string& message) {
    Wipe();
    std::fprintf(stderr, "jubo-scan: %s\n", message.c_str());
  }

  void Wipe() {
    if (!shown_) return;
    std::fputs("\r\033[K", stderr);
    shown_ = false;
  }

  size_t problems() const { return problems_; }

 private:
  Clock::time_point start_;
  bool terminal_;
  bool shown_ = false;
  Clock::time_point drawn_;
  size_t problems_ = 0;
};

int Usage(const std::string& error) {
  std::fprintf(stderr, "jubo-scan: %s\n%s", error.c_str(), kUsage);
  return 2;
}

// The songs below the music folders (an update keeps those of unchanged files). Returns 0, or
// the exit status when nothing is to be written.
int ScanFolders(const Arguments& args, const std::string& output_state, Reporter& reporter,
                scan::ScanResult* result) {
  std::string error;
  scan::ScanOptions options;
  options.roots = args.roots;
  // Taken in the folder the state file goes to, whose file system's clock stamps it.
  const size_t slash = output_state.rfind('/');
  options.settled_before = FileSystemNow(slash == std::string::npos ? "."
                                         : slash == 0               ? "/"
                                                      : output_state.substr(0, slash));
  std::vector<scan::Song> previous;
  scan::FileStates previous_states;
  if (!args.update.empty()) {
    const std::string path = LibraryPath(args.update);
    std::string target = path;  // where its record is, when the library is there to read
    (void)common::WriteTarget(path, &target);
    const std::string state_path = scan::StatePath(target);
    struct stat info;
    if (stat(path.c_str(), &info) != 0 && errno == ENOENT) {
      reporter.Note(path + " does not exist yet; every file is read");
    } else {
      std::vector<std::string> notes;
      error = scan::ReadLibrary(path, &previous, &notes);
      if (!error.empty()) {
        std::fprintf(stderr, "jubo-scan: %s\n", error.c_str());
        return 2;
      }
      for (const std::string& note : notes) reporter.Problem(note);
      if (stat(state_path.c_str(), &info) != 0 && errno == ENOENT) {
        reporter.Note(path + " has no " + state_path + " beside it; every file is read");
      } else if (error = scan::ReadStates(state_path, &previous_states); !error.empty()) {
        reporter.Problem(error + "; every file is read");
      }
      options.previous = &previous;
      options.previous_states = &previous_states;
    }
  }

  *result = scan::Scan(options, reporter);
  return 0;
}

// The songs beets or MPD lists. Returns 0, or the exit status when nothing is to be written.
int ReadListedSongs(const Arguments& args, Reporter& reporter, scan::ScanResult* result) {
  std::string music_dir, error;
  if (!args.music_dir.empty()) {
    struct stat info;
    if (stat(args.music_dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
      return Usage("--music-dir " + args.music_dir + ": no such folder");
    }
    music_dir = scan::AbsolutePath(args.music_dir);
  }
  std::vector<scan::Song> listed;
  scan::SongSource source;
  if (args.source == Source::kBeets) {
    const std::string library = args.from.empty() ? scan::DefaultBeetsLibrary() : args.from;
    error = scan::ReadBeetsLibrary(library, music_dir, &listed);
    source = {"the beets library", "beet update"};
  } else {
    scan::MpdAddress address;
    if (error = scan::ParseMpdAddress(args.from, &address); !error.empty()) return Usage(error);
    error = scan::ReadMpdLibrary(address, music_dir, &listed);
    source = {"MPD's database", "mpc update"};
  }
  if (!error.empty()) {
    std::fprintf(stderr, "jubo-scan: %s\n", error.c_str());
    return 2;
  }
  result->songs =
      scan::FinishListedSongs(std::move(listed), source, reporter, &result->files_skipped);
  if (args.source == Source::kMpd) {
    scan::ReadTempos(&result->songs, reporter);
  }
  // No state: these rows are not what a scan of the files read, so none is vouched for.
  result->states.assign(result->songs.size(), std::nullopt);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Arguments args;
  std::string error;
  bool help = false;
  if (!ParseArguments(argc, argv, &args, &error, &help)) return Usage(error);
  if (help) {
    std::printf("%s%s", kUsage, kHelp);
    return 0;
  }
  const Clock::time_point start = Clock::now();
  Reporter reporter(start);
  const std::string output = LibraryPath(!args.output.empty()   ? args.output
                                         : !args.update.empty() ? args.update
                                                                : "jubodb.txt");
  // Refused now rather than after a long scan.
  std::string output_target;
  if (error = common::WriteTarget(output, &output_target); !error.empty()) {
    std::fprintf(stderr, "jubo-scan: %s\n", error.c_str());
    return 2;
  }
  const std::string output_state = scan::StatePath(output_target);

  scan::ScanResult result;
  const int status = args.source == Source::kFolders
                         ? ScanFolders(args, output_state, reporter, &result)
                         : ReadListedSongs(args, reporter, &result);
  if (status != 0) return status;
  reporter.Wipe();
  if (result.songs.empty()) {
    std::fprintf(stderr, "jubo-scan: no songs found; %s left as it was\n", output.c_str());
    return 2;
  }
  error = common::WriteFileAtomically(output, scan::LibraryText(result.songs));
  if (!error.empty()) {
    std::fprintf(stderr, "jubo-scan: %s\n", error.c_str());
    return 2;
  }
  // After the library: a state newer than its library could vouch for rows it does not hold.
  // An older one only makes the next update read more.
  error = common::WriteFileAtomically(output_state, scan::StateText(result.songs, result.states));
  if (!error.empty()) reporter.Problem(error);

  const scan::LibraryCounts counts = scan::CountLibrary(result.songs);
  std::printf("%zu songs, %zu albums, %zu artists, %zu genres written to %s in %.2f s",
              counts.songs, counts.albums, counts.artists, counts.genres, output.c_str(),
              std::chrono::duration<double>(Clock::now() - start).count());
  std::printf(args.source == Source::kFolders ? "; %zu files skipped" : "; %zu left out",
              result.files_skipped);
  if (!args.update.empty()) {
    std::printf("; %zu kept, %zu read, %zu gone", result.songs_kept, result.songs_read,
                result.songs_dropped);
  }
  std::printf("\n");
  if (std::fflush(stdout) != 0) return 1;
  return reporter.problems() > 0 ? 1 : 0;
}
