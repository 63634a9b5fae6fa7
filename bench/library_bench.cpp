// jubo-bench-library: how long the library takes to load and to answer every query the program
// sends, beside the sqlite3 command-line import of the same file, at several library sizes.
//
//   jubo-bench-library [--quick] [--sizes 10k,100k,1M] [--seed S] [--data DIR] [--runs R]
//                      [--load-runs K] [--query TEXT]
//
// Each size N is read from DIR/songs-N-seed-S/jubodb.txt (DIR defaults to $JUBO_BENCH_DATA, else
// /tmp/jubo-bench); bench/run generates the files with jubo-genlib. --quick means 10k and 100k.
//
// Peak memory belongs to a process, so every measurement of a size runs in a fresh process of
// this program (--child): K times (default 3) the sqlite3 import then one load of ours, in turn,
// the last of our loads going on to run every query R times (default 5). Then one load keeps
// the library's cache (in a folder of the run's own), and K loads read it back, each after
// hashing the file alone, as the cache's check does. Loads and imports are reported as
// medians; queries as median and max, the max being the first, cold run as often as not.
// A query's time is the cursor's Open plus reading every field of every row by name: a view
// reads only what it shows, so this is the honest upper bound. --query runs only the queries
// whose label contains TEXT (to profile one, run the child under perf:
// `jubo-bench-library --child queries DIR RUNS TEXT`).
//
// The figures go to standard output as one table, progress to standard error. Exit status 0;
// 2 when a library is missing or a process fails; 1 on wrong usage.
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xxhash.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "bench/library_generator.h"
#include "library/library_cache.h"
#include "library/library_connection.h"
#include "library/queries.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// ---------------------------------------------------------------------------------------------
// The queries, with arguments a user would plausibly send.

// Arguments taken from the loaded library itself, so every query finds real rows.
struct Picks {
  std::string genre;         // a common genre
  std::string artist;        // an artist of that genre, with a quote in the name if any has one
  std::string artist_album;  // one of that artist's albums of the genre
  std::string album;         // an album of the genre, with a quote if any has one
  std::string album_genre;   // that album's genre
  std::string shared_album;  // a title several artists use (Greatest Hits), else `album`
  std::string filename;      // a song of `artist_album`
  library::CriteriaLists genres_and_tempos;  // Jubo DJ: a few genres and tempos chosen
  library::CriteriaLists every_list;         // Jubo DJ: a few values in each of the four lists
  library::CriteriaLists excluded;           // Non-Stop Music's exclusions
};

struct BenchQuery {
  const char* label;
  std::function<std::string(const Picks&)> text;
};

std::string Selected(const Picks& p) { return library::Escape(p.artist); }  // as SelectedArtist

const std::vector<BenchQuery>& Queries() {
  using namespace library;
  static const std::vector<BenchQuery> queries = {
      {"albums of a letter (b)", [](const Picks&) { return AlbumsOfLetterQuery("b", "All"); }},
      {"albums of *", [](const Picks&) { return AlbumsOfLetterQuery("*", "All"); }},
      {"albums of a letter, of a genre",
       [](const Picks& p) { return AlbumsOfLetterQuery("b", p.genre); }},
      {"albums of *, of a genre", [](const Picks& p) { return AlbumsOfLetterQuery("*", p.genre); }},
      {"albums of an artist, of a genre",
       [](const Picks& p) { return ArtistAlbumsQuery(Selected(p), p.genre); }},
      {"albums of an artist", [](const Picks& p) { return ArtistAlbumsQuery(Selected(p), "All"); }},
      {"artists of a letter (b)", [](const Picks&) { return ArtistsOfLetterQuery("b", "All"); }},
      {"artists of *", [](const Picks&) { return ArtistsOfLetterQuery("*", "All"); }},
      {"artists of a letter, of a genre",
       [](const Picks& p) { return ArtistsOfLetterQuery("b", p.genre); }},
      {"artists of *, of a genre",
       [](const Picks& p) { return ArtistsOfLetterQuery("*", p.genre); }},
      {"songs of an artist's album",
       [](const Picks& p) { return ArtistAlbumTracksQuery(p.artist_album, Selected(p)); }},
      {"songs of an album, of a genre",
       [](const Picks& p) { return AlbumTracksQuery(p.album, p.album_genre); }},
      {"songs of an album", [](const Picks& p) { return AlbumTracksQuery(p.album, "All"); }},
      {"songs of a shared album title",
       [](const Picks& p) { return AlbumTracksQuery(p.shared_album, "All"); }},
      {"letter index: albums", [](const Picks&) { return LetterIndexQuery("album", "All"); }},
      {"letter index: albums of a genre",
       [](const Picks& p) { return LetterIndexQuery("album", p.genre); }},
      {"letter index: artists", [](const Picks&) { return LetterIndexQuery("artist", "All"); }},
      {"letter index: artists of a genre",
       [](const Picks& p) { return LetterIndexQuery("artist", p.genre); }},
      {"genres", [](const Picks&) { return GenresQuery(); }},
      {"Jubo DJ list: all albums", [](const Picks&) { return AllAlbumsQuery(); }},
      {"Jubo DJ list: all artists", [](const Picks&) { return AllArtistsQuery(); }},
      {"Jubo DJ list: tempos", [](const Picks&) { return TemposQuery(); }},
      {"Jubo DJ songs: 3 genres, 2 tempos",
       [](const Picks& p) { return CriteriaSongsQuery(p.genres_and_tempos); }},
      {"Jubo DJ songs: values in every list",
       [](const Picks& p) { return CriteriaSongsQuery(p.every_list); }},
      {"Non-Stop pool: 7 values excluded",
       [](const Picks& p) { return NonStopSongsQuery(p.excluded); }},
      {"add: songs of an artist", [](const Picks& p) { return ArtistSongsQuery(Selected(p)); }},
      {"add: albums of a letter (b)",
       [](const Picks&) { return LetterSongsQuery("album", "b", "All"); }},
      {"add: albums of *, of a genre",
       [](const Picks& p) { return LetterSongsQuery("album", "*", p.genre); }},
      {"add: artists of a letter, of a genre",
       [](const Picks& p) { return LetterSongsQuery("artist", "b", p.genre); }},
      {"add: artists of *", [](const Picks&) { return LetterSongsQuery("artist", "*", "All"); }},
      {"add: songs of a genre", [](const Picks& p) { return GenreSongsQuery("album", p.genre); }},
      {"add: every song (genre All)", [](const Picks&) { return GenreSongsQuery("album", "All"); }},
      {"song info by file name", [](const Picks& p) { return SongInfoQuery(p.filename); }},
  };
  return queries;
}

// Every value of column `name` in `sql`'s result, Null skipped; none if the query fails.
std::vector<std::string> Column(library::LibraryState& library, const std::string& sql,
                                std::string_view name) {
  std::vector<std::string> values;
  textdb::Cursor cursor;
  if (!cursor.Open(sql, library.LibraryConnection).ok()) return values;
  for (; !cursor.IsEOF(); cursor.MoveNext()) {
    if (auto value = cursor.Field(name)) values.emplace_back(*value);
  }
  return values;
}

// A name with a quote inside (O'Dara), else one beginning with a quote, else the middle one;
// "" for none.
std::string QuotedOrMiddle(const std::vector<std::string>& values) {
  for (size_t from : {1, 0}) {
    for (const std::string& v : values) {
      if (v.find('\'', from) != std::string::npos) return v;
    }
  }
  return values.empty() ? "" : values[values.size() / 2];
}

// `count` different values spread evenly over `values`, never `avoid`.
std::vector<std::string> Spread(const std::vector<std::string>& values, size_t count,
                                std::string_view avoid = {}) {
  std::vector<std::string> out;
  const size_t step = std::max<size_t>(1, values.size() / count);
  for (size_t i = step / 2; i < values.size() && out.size() < count; i += step) {
    size_t j = i;
    while (j < values.size() &&
           (values[j] == avoid || std::find(out.begin(), out.end(), values[j]) != out.end())) {
      ++j;
    }
    if (j < values.size()) out.push_back(values[j]);
  }
  return out;
}

Picks FindPicks(library::LibraryState& library) {
  using namespace library;
  Picks p;
  std::vector<std::string> genres = Column(library, GenresQuery(), "Genre");
  p.genre = std::find(genres.begin(), genres.end(), "Rock") != genres.end() ? "Rock"
            : genres.empty()                                                ? "All"
                                                                            : genres.front();
  p.artist = QuotedOrMiddle(Column(library, LetterIndexQuery("artist", p.genre), "Artist"));
  std::vector<std::string> artist_albums =
      Column(library, ArtistAlbumsQuery(Escape(p.artist), p.genre), "Album");
  p.artist_album = artist_albums.empty() ? "" : artist_albums.front();
  std::vector<std::string> files =
      Column(library, ArtistAlbumTracksQuery(p.artist_album, Escape(p.artist)), "Filename");
  p.filename = files.empty() ? "" : files.front();

  p.album = QuotedOrMiddle(Column(library, LetterIndexQuery("album", p.genre), "Album"));
  std::vector<std::string> album_genres = Column(
      library, "Select Genre from jubodb.txt where Album = '" + Escape(p.album) + "'", "Genre");
  p.album_genre = album_genres.empty() ? p.genre : album_genres.front();
  // Of the titles that collections share, the one with the most songs.
  p.shared_album = p.album;
  size_t most = 0;
  for (const char* title : {"Greatest Hits", "Live", "The Best Of", "Unplugged", "B-Sides"}) {
    size_t songs = Column(library, AlbumTracksQuery(title, "All"), "Title").size();
    if (songs > most) {
      most = songs;
      p.shared_album = title;
    }
  }

  std::vector<std::string> tempos = Column(library, TemposQuery(), "Tempo");
  std::vector<std::string> albums = Column(library, AllAlbumsQuery(), "Album");
  std::vector<std::string> artists = Column(library, AllArtistsQuery(), "Artist");
  p.genres_and_tempos.genres = Spread(genres, 2, p.genre);
  p.genres_and_tempos.genres.insert(p.genres_and_tempos.genres.begin(), p.genre);
  p.genres_and_tempos.tempos = Spread(tempos, 2);
  p.every_list = p.genres_and_tempos;
  p.every_list.albums = Spread(albums, 3);
  p.every_list.artists = Spread(artists, 3);
  p.excluded.albums = Spread(albums, 2);
  p.excluded.artists = Spread(artists, 2);
  p.excluded.genres = Spread(genres, 2, p.genre);
  p.excluded.tempos = Spread(tempos, 1);
  return p;
}

std::string Join(const std::vector<std::string>& values) {
  std::string out;
  for (const std::string& v : values) out += (out.empty() ? "" : " | ") + v;
  return out;
}

// ---------------------------------------------------------------------------------------------
// The child: one load, and optionally every query.

// A field of /proc/self/status in kB (VmHWM: peak resident set; VmRSS: current), 0 if absent.
long StatusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const size_t length = std::strlen(field);
  while (std::getline(status, line)) {
    if (line.compare(0, length, field) == 0 && line.size() > length && line[length] == ':') {
      return std::strtol(line.c_str() + length + 1, nullptr, 10);
    }
  }
  return 0;
}

// What a query costs. A view opens its cursor and reads one page of rows: that is the
// answer, which the targets are about. Adding songs to the playlist reads every row: that is
// timed too, once, and shown beside it.
struct QueryTimes {
  long rows = -1;
  std::vector<double> answer_ms;  // open + first page, each run
  double all_ms = 0;              // open + every row, one run
};

constexpr long kPageRows = 14;

QueryTimes TimeQuery(library::LibraryState& library, const std::string& sql, int runs) {
  QueryTimes times;
  size_t bytes = 0;
  for (int run = 0; run <= runs; ++run) {
    const bool every_row = run == runs;
    textdb::Cursor cursor;
    Clock::time_point start = Clock::now();
    textdb::Status s = cursor.Open(sql, library.LibraryConnection);
    if (!s.ok()) {
      std::fprintf(stderr, "jubo-bench-library: query failed: %s\n  %s\n", s.message().c_str(),
                   sql.c_str());
      return {};
    }
    times.rows = cursor.RecordCount();
    const std::vector<std::string> columns = cursor.Columns();
    long read = 0;
    for (cursor.MoveFirst(); !cursor.IsEOF() && (every_row || read < kPageRows);
         cursor.MoveNext(), ++read) {
      for (const std::string& name : columns) {
        if (auto value = cursor.Field(name)) bytes += value->size();
      }
    }
    double ms = SecondsSince(start) * 1000.0;
    if (every_row) {
      times.all_ms = ms;
    } else {
      times.answer_ms.push_back(ms);
    }
  }
  // Keeps the reads from being optimised away.
  if (bytes == 1) std::fputc(' ', stderr);
  return times;
}

// The seconds it takes to read the file at `path` and hash it whole with XXH3, as the cache's
// check does; negative when it cannot be read.
double HashSeconds(const std::string& path) {
  Clock::time_point start = Clock::now();
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  XXH3_state_t* state = XXH3_createState();
  XXH3_128bits_reset(state);
  std::vector<char> buffer(size_t{1} << 20);
  ssize_t n;
  while ((n = read(fd, buffer.data(), buffer.size())) > 0) {
    XXH3_128bits_update(state, buffer.data(), static_cast<size_t>(n));
  }
  const XXH128_hash_t hash = XXH3_128bits_digest(state);
  XXH3_freeState(state);
  close(fd);
  if (hash.low64 == 1) std::fputc(' ', stderr);  // keeps the hash from being optimised away
  return n < 0 ? -1 : SecondsSince(start);
}

// Loads `folder`'s library. `mode` is "load", "queries" (then runs every query whose label
// contains `only` `runs` times), "keep" (through the cache in `cache`, writing it) or "cached"
// (from the cache in `cache`, after hashing the file). Prints "key<TAB>value" lines for the
// parent.
int RunChild(const std::string& mode, const std::string& folder, int runs, std::string_view only,
             const std::string& cache) {
  std::printf("hwm_start_kb\t%ld\n", StatusKb("VmHWM"));
  library::LibraryState library;
  library.LibraryConnection.set_report(
      [](const std::string& line) { std::fprintf(stderr, "load note: %s\n", line.c_str()); });
  if (mode == "cached") {
    std::printf("hash_s\t%.6f\n", HashSeconds(folder + "/" + library::kLibraryFile));
  }
  Clock::time_point start = Clock::now();
  textdb::Status s = library.LibraryConnection.Open(library::ConnectionString(folder));
  library::LibraryLoad load;
  if (s.ok() && (mode == "keep" || mode == "cached")) {
    load = library::LoadLibrary(library, cache);
    s = load.status;
  } else if (s.ok()) {
    s = library.LibraryConnection.LoadTable(library::kLibraryFile);
  }
  double seconds = SecondsSince(start);
  if (!s.ok() || !load.note.empty() || load.from_cache != (mode == "cached")) {
    std::fprintf(stderr, "jubo-bench-library: %s%s\n", s.message().c_str(), load.note.c_str());
    return 2;
  }
  if (mode == "cached") {
    std::printf("cached_s\t%.6f\nhwm_cached_kb\t%ld\n", seconds, StatusKb("VmHWM"));
    return 0;
  }
  std::printf("load_s\t%.6f\nhwm_load_kb\t%ld\nrss_load_kb\t%ld\n", seconds, StatusKb("VmHWM"),
              StatusKb("VmRSS"));
  if (mode == "keep") {
    start = Clock::now();
    std::string error = library::WriteCache(library.LibraryConnection.Image(), load);
    if (!error.empty()) {
      std::fprintf(stderr, "jubo-bench-library: %s\n", error.c_str());
      return 2;
    }
    std::printf("keep_s\t%.6f\n", SecondsSince(start));
    return 0;
  }
  if (mode != "queries") return 0;

  Picks picks = FindPicks(library);
  std::printf(
      "pick\tgenre\t%s\npick\tartist\t%s\npick\tartist's album\t%s\npick\talbum\t%s (%s)\n"
      "pick\tshared title\t%s\npick\tfile\t%s\npick\tDJ genres, tempos\t%s; %s\n"
      "pick\tDJ albums, artists\t%s; %s\npick\texcluded\t%s; %s; %s; %s\n",
      picks.genre.c_str(), picks.artist.c_str(), picks.artist_album.c_str(), picks.album.c_str(),
      picks.album_genre.c_str(), picks.shared_album.c_str(), picks.filename.c_str(),
      Join(picks.genres_and_tempos.genres).c_str(), Join(picks.genres_and_tempos.tempos).c_str(),
      Join(picks.every_list.albums).c_str(), Join(picks.every_list.artists).c_str(),
      Join(picks.excluded.albums).c_str(), Join(picks.excluded.artists).c_str(),
      Join(picks.excluded.genres).c_str(), Join(picks.excluded.tempos).c_str());
  const std::vector<BenchQuery>& queries = Queries();
  for (size_t i = 0; i < queries.size(); ++i) {
    if (std::string_view(queries[i].label).find(only) == std::string_view::npos) continue;
    QueryTimes times = TimeQuery(library, queries[i].text(picks), runs);
    if (times.rows < 0) return 2;
    std::vector<double> sorted = times.answer_ms;
    std::sort(sorted.begin(), sorted.end());
    std::printf("query\t%zu\t%ld\t%.4f\t%.4f\t%.4f\n", i, times.rows, sorted[sorted.size() / 2],
                sorted.back(), times.all_ms);
  }
  std::printf("hwm_end_kb\t%ld\n", StatusKb("VmHWM"));
  return 0;
}

// ---------------------------------------------------------------------------------------------
// The parent: processes, measurements, the table.

struct ProcessResult {
  int status = -1;      // exit status; -1 when it did not start or was killed
  std::string output;   // its standard output, when captured
  double seconds = 0;   // wall time from start to exit
  long max_rss_kb = 0;  // its peak resident set
};

// Runs `argv` to completion. Standard output is captured or thrown away; standard error is
// shared with ours.
ProcessResult Run(const std::vector<std::string>& argv, bool capture) {
  ProcessResult result;
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) return result;
  Clock::time_point start = Clock::now();
  pid_t pid = fork();
  if (pid < 0) {
    close(pipe_fds[0]);
    close(pipe_fds[1]);
    return result;
  }
  if (pid == 0) {
    int out = capture ? pipe_fds[1] : open("/dev/null", O_WRONLY);
    dup2(out, STDOUT_FILENO);
    close(pipe_fds[0]);
    close(pipe_fds[1]);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    std::fprintf(stderr, "jubo-bench-library: cannot run %s: %s\n", args[0], std::strerror(errno));
    _exit(127);
  }
  close(pipe_fds[1]);
  char buffer[4096];
  ssize_t n;
  while ((n = read(pipe_fds[0], buffer, sizeof buffer)) > 0) {
    result.output.append(buffer, static_cast<size_t>(n));
  }
  close(pipe_fds[0]);
  int status = 0;
  struct rusage usage;
  if (wait4(pid, &status, 0, &usage) == pid) {
    result.seconds = SecondsSince(start);
    result.max_rss_kb = usage.ru_maxrss;
    if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
  }
  return result;
}

// Reads the file once so that neither the import nor our load pays for the disk.
void WarmPageCache(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> buffer(1 << 20);
  while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0) {
  }
}

struct QueryFigures {
  bool measured = false;
  long rows = 0;
  double median_ms = 0;  // open and read a page
  double max_ms = 0;
  double all_ms = 0;  // open and read every row
};

struct SizeFigures {
  int64_t songs = 0;
  double file_mb = 0;
  std::vector<double> loads, imports;
  double peak_load_mb = 0;             // largest VmHWM after loading, over our loads
  double peak_end_mb = 0;              // VmHWM after every query
  double baseline_mb = 0;              // VmHWM before loading
  double import_peak_mb = 0;           // sqlite3's peak resident set
  std::vector<double> cached, hashes;  // loads from the cache; hashing the file alone
  double keep_s = 0;                   // writing the cache
  double peak_cached_mb = 0;           // largest VmHWM after a load from the cache
  double cache_mb = 0;                 // the cache file
  std::vector<QueryFigures> queries;
  std::vector<std::pair<std::string, std::string>> picks;
};

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Parses the child's "key\tvalue..." lines into `figures`.
void ReadChildOutput(const std::string& output, SizeFigures* figures) {
  std::istringstream lines(output);
  std::string line;
  while (std::getline(lines, line)) {
    std::vector<std::string> parts;
    std::istringstream fields(line);
    std::string field;
    while (std::getline(fields, field, '\t')) parts.push_back(field);
    if (parts.size() < 2) continue;
    const std::string& key = parts[0];
    if (key == "load_s") figures->loads.push_back(std::stod(parts[1]));
    if (key == "hwm_load_kb") {
      figures->peak_load_mb = std::max(figures->peak_load_mb, std::stod(parts[1]) / 1024);
    }
    if (key == "hwm_start_kb") figures->baseline_mb = std::stod(parts[1]) / 1024;
    if (key == "cached_s") figures->cached.push_back(std::stod(parts[1]));
    if (key == "hash_s") figures->hashes.push_back(std::stod(parts[1]));
    if (key == "keep_s") figures->keep_s = std::stod(parts[1]);
    if (key == "hwm_cached_kb") {
      figures->peak_cached_mb = std::max(figures->peak_cached_mb, std::stod(parts[1]) / 1024);
    }
    if (key == "hwm_end_kb") figures->peak_end_mb = std::stod(parts[1]) / 1024;
    if (key == "pick" && parts.size() == 3) figures->picks.emplace_back(parts[1], parts[2]);
    if (key == "query" && parts.size() == 6) {
      size_t index = std::stoul(parts[1]);
      if (index >= figures->queries.size()) figures->queries.resize(index + 1);
      figures->queries[index] = {true, std::stol(parts[2]), std::stod(parts[3]),
                                 std::stod(parts[4]), std::stod(parts[5])};
    }
  }
}

struct Options {
  std::vector<int64_t> sizes = {10000, 100000, 1000000};
  uint64_t seed = 1;
  std::string data;
  int runs = 5;
  int load_runs = 3;
  std::string only;          // run only the queries whose label contains this
  std::string load_average;  // of the machine when the run began, to judge the figures by
  std::string cache;         // the run's own cache folder
};

std::string LibraryFolder(const Options& options, int64_t songs) {
  return options.data + "/songs-" + std::to_string(songs) + "-seed-" + std::to_string(options.seed);
}

std::string SizeName(int64_t songs) {
  if (songs % 1000000 == 0) return std::to_string(songs / 1000000) + "M";
  if (songs % 1000 == 0) return std::to_string(songs / 1000) + "k";
  return std::to_string(songs);
}

std::optional<SizeFigures> MeasureSize(const Options& options, int64_t songs,
                                       const std::string& self) {
  SizeFigures figures;
  figures.songs = songs;
  const std::string folder = LibraryFolder(options, songs);
  const std::string path = folder + "/jubodb.txt";
  struct stat st;
  if (stat(path.c_str(), &st) != 0) {
    std::fprintf(
        stderr,
        "jubo-bench-library: no library at %s\n  generate it with: jubo-genlib %s %lld %llu"
        "  (bench/run does)\n",
        path.c_str(), folder.c_str(), static_cast<long long>(songs),
        static_cast<unsigned long long>(options.seed));
    return std::nullopt;
  }
  figures.file_mb = static_cast<double>(st.st_size) / (1024.0 * 1024.0);
  WarmPageCache(path);

  for (int round = 0; round < options.load_runs; ++round) {
    const bool last = round + 1 == options.load_runs;
    std::fprintf(stderr, "%s songs: sqlite3 import %d/%d, load%s %d/%d\n", SizeName(songs).c_str(),
                 round + 1, options.load_runs, last ? " and queries" : "", round + 1,
                 options.load_runs);
    ProcessResult import = Run({"sqlite3", ":memory:", ".import --csv \"" + path + "\" t"}, false);
    if (import.status != 0) {
      std::fprintf(stderr, "jubo-bench-library: sqlite3 import of %s failed\n", path.c_str());
      return std::nullopt;
    }
    figures.imports.push_back(import.seconds);
    figures.import_peak_mb = std::max(figures.import_peak_mb, import.max_rss_kb / 1024.0);

    ProcessResult child = Run({self, "--child", last ? "queries" : "load", folder,
                               std::to_string(options.runs), options.only, options.cache},
                              true);
    if (child.status != 0) {
      std::fprintf(stderr, "jubo-bench-library: measuring %s failed\n", folder.c_str());
      return std::nullopt;
    }
    ReadChildOutput(child.output, &figures);
  }
  // The cache: kept once (the load's figures are the cold ones above), read back K times.
  std::vector<std::string> modes = {"keep"};
  modes.insert(modes.end(), static_cast<size_t>(options.load_runs), "cached");
  for (const std::string& mode : modes) {
    std::fprintf(stderr, "%s songs: %s\n", SizeName(songs).c_str(),
                 mode == "keep" ? "keeping the cache" : "loading from the cache");
    SizeFigures kept;
    ProcessResult child = Run({self, "--child", mode, folder, "1", "", options.cache}, true);
    if (child.status != 0) {
      std::fprintf(stderr, "jubo-bench-library: the cache of %s failed\n", folder.c_str());
      return std::nullopt;
    }
    ReadChildOutput(child.output, mode == "keep" ? &kept : &figures);
    if (mode == "keep") figures.keep_s = kept.keep_s;
  }
  figures.cache_mb = 0;
  for (const auto& entry : std::filesystem::directory_iterator(options.cache)) {
    figures.cache_mb = std::max(figures.cache_mb, entry.file_size() / (1024.0 * 1024.0));
  }
  std::filesystem::remove_all(options.cache);
  std::filesystem::create_directories(options.cache);
  return figures;
}

std::string Format(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// Milliseconds with as many decimals as are worth reading.
std::string Ms(double ms) { return Format(ms < 10 ? "%.2f" : ms < 100 ? "%.1f" : "%.0f", ms); }

// The query target of the size: 20 ms up to 100k songs, 50 ms at a million.
double TargetMs(int64_t songs) { return songs > 100000 ? 50.0 : 20.0; }

void PrintTable(const Options& options, const std::vector<SizeFigures>& sizes) {
  constexpr int kLabel = 38;
  constexpr int kCell = 28;
  auto row = [&](const std::string& label, const std::vector<std::string>& cells) {
    std::printf("%-*s", kLabel, label.c_str());
    for (const std::string& cell : cells) std::printf("%*s", kCell, cell.c_str());
    std::printf("\n");
  };
  auto metric = [&](const std::string& label,
                    const std::function<std::string(const SizeFigures&)>& cell) {
    std::vector<std::string> cells;
    for (const SizeFigures& s : sizes) cells.push_back(cell(s));
    row(label, cells);
  };

  std::printf(
      "Library benchmark: seed %llu; loads and imports: median of %d; queries: %d runs, "
      "median / max ms;\nengine SQLite %s; %ld CPUs, load average %s at the start\n\n",
      static_cast<unsigned long long>(options.seed), options.load_runs, options.runs,
      sqlite3_libversion(), sysconf(_SC_NPROCESSORS_ONLN), options.load_average.c_str());
  metric("songs", [](const SizeFigures& s) { return SizeName(s.songs); });
  metric("file MB", [](const SizeFigures& s) { return Format("%.1f", s.file_mb); });
  metric("load s (ours)", [](const SizeFigures& s) { return Format("%.3f", Median(s.loads)); });
  metric("sqlite3 import s",
         [](const SizeFigures& s) { return Format("%.3f", Median(s.imports)); });
  metric("load / import", [](const SizeFigures& s) {
    double ratio = Median(s.loads) / Median(s.imports);
    return Format("%.2f", ratio) + (ratio > 1.0 ? " !" : "  ");
  });
  metric("peak MB after load", [](const SizeFigures& s) { return Format("%.1f", s.peak_load_mb); });
  metric("peak / file", [](const SizeFigures& s) {
    double ratio = s.peak_load_mb / s.file_mb;
    return Format("%.2f", ratio) + (ratio > 3.0 ? " !" : "  ");
  });
  metric("  (process before load MB)",
         [](const SizeFigures& s) { return Format("%.1f", s.baseline_mb); });
  metric("  (peak - before load) / file", [](const SizeFigures& s) {
    return Format("%.2f", (s.peak_load_mb - s.baseline_mb) / s.file_mb) + "  ";
  });
  metric("cache file MB", [](const SizeFigures& s) { return Format("%.1f", s.cache_mb); });
  metric("keep the cache s (a thread)",
         [](const SizeFigures& s) { return Format("%.3f", s.keep_s); });
  metric("load from the cache s",
         [](const SizeFigures& s) { return Format("%.3f", Median(s.cached)); });
  metric("hash of the file alone s",
         [](const SizeFigures& s) { return Format("%.3f", Median(s.hashes)); });
  metric("peak MB after a load from the cache",
         [](const SizeFigures& s) { return Format("%.1f", s.peak_cached_mb); });
  metric("peak MB after every query",
         [](const SizeFigures& s) { return Format("%.1f", s.peak_end_mb); });
  metric("sqlite3 import peak MB",
         [](const SizeFigures& s) { return Format("%.1f", s.import_peak_mb); });

  std::printf("\n");
  std::vector<std::string> header;
  for (size_t i = 0; i < sizes.size(); ++i) header.push_back("median     max   all rows     rows");
  row("query (ms)", header);
  for (size_t q = 0; q < Queries().size(); ++q) {
    std::vector<std::string> cells;
    for (const SizeFigures& s : sizes) {
      if (q >= s.queries.size() || !s.queries[q].measured) {
        cells.push_back("-");
        continue;
      }
      const QueryFigures& f = s.queries[q];
      char cell[128];
      std::snprintf(cell, sizeof cell, "%7s%s %7s %10s %8ld", Ms(f.median_ms).c_str(),
                    f.median_ms > TargetMs(s.songs) ? "!" : " ", Ms(f.max_ms).c_str(),
                    Ms(f.all_ms).c_str(), f.rows);
      cells.push_back(cell);
    }
    row(Queries()[q].label, cells);
  }
  std::printf(
      "\nA query's time is its answer as a view gets it: the cursor opened and one page (14 rows)\n"
      "read; \"all rows\" reads every row, as adding the songs to the playlist does.\n"
      "\n! over target: a query's median above 20 ms (up to 100k songs) or 50 ms (1M); "
      "load above the import; peak memory above 3 times the file.\n");

  std::printf("\nArguments picked from each library:\n");
  for (const SizeFigures& s : sizes) {
    std::printf("  %s:\n", SizeName(s.songs).c_str());
    for (const auto& [name, value] : s.picks) {
      std::printf("    %-20s %s\n", name.c_str(), value.c_str());
    }
  }
}

int Usage() {
  std::fprintf(stderr,
               "usage: jubo-bench-library [--quick] [--sizes 10k,100k,1M] [--seed S] [--data DIR]"
               " [--runs R] [--load-runs K] [--query TEXT]\n");
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if ((args.size() == 5 || args.size() == 6) && args[0] == "--child") {
    return RunChild(args[1], args[2], std::atoi(args[3].c_str()), args[4],
                    args.size() == 6 ? args[5] : "");
  }

  Options options;
  const char* data = std::getenv("JUBO_BENCH_DATA");
  options.data = data != nullptr && *data != '\0' ? data : "/tmp/jubo-bench";
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    bool has_value = i + 1 < args.size();
    if (a == "--quick") {
      options.sizes = {10000, 100000};
    } else if (a == "--sizes" && has_value) {
      options.sizes.clear();
      std::istringstream list(args[++i]);
      std::string item;
      while (std::getline(list, item, ',')) {
        std::optional<int64_t> n = bench::ParseCount(item);
        if (!n) return Usage();
        options.sizes.push_back(*n);
      }
    } else if (a == "--seed" && has_value) {
      std::optional<int64_t> n = bench::ParseCount(args[++i]);
      if (!n) return Usage();
      options.seed = static_cast<uint64_t>(*n);
    } else if (a == "--query" && has_value) {
      options.only = args[++i];
    } else if (a == "--data" && has_value) {
      options.data = args[++i];
    } else if ((a == "--runs" || a == "--load-runs") && has_value) {
      std::optional<int64_t> n = bench::ParseCount(args[++i]);
      if (!n || *n > 1000) return Usage();
      (a == "--runs" ? options.runs : options.load_runs) = static_cast<int>(*n);
    } else {
      return Usage();
    }
  }
  if (options.sizes.empty()) return Usage();

  char self[4096];
  ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) {
    std::fprintf(stderr, "jubo-bench-library: cannot find its own executable\n");
    return 2;
  }
  self[length] = '\0';

  std::ifstream loadavg("/proc/loadavg");
  std::string one, five;
  if (loadavg >> one >> five) options.load_average = one + " " + five;

  std::string cache = (std::filesystem::temp_directory_path() / "jubo-bench-cache-XXXXXX").string();
  if (mkdtemp(cache.data()) == nullptr) {
    std::fprintf(stderr, "jubo-bench-library: cannot make a cache folder\n");
    return 2;
  }
  options.cache = cache;
  std::vector<SizeFigures> sizes;
  for (int64_t songs : options.sizes) {
    std::optional<SizeFigures> figures = MeasureSize(options, songs, self);
    if (!figures) {
      std::filesystem::remove_all(cache);
      return 2;
    }
    sizes.push_back(std::move(*figures));
  }
  std::filesystem::remove_all(cache);
  PrintTable(options, sizes);
  return 0;
}
