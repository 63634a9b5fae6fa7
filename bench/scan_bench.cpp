// jubo-bench-scan: how fast jubo-scan makes a library from a music folder, in files per second,
// for a full scan and for an --update that finds nothing (or 1% of the files) changed.
//
//   jubo-bench-scan [--files N] [--data DIR] [--runs R]
//
// The folder DIR/scan-N (DIR defaults to $JUBO_BENCH_DATA, else /tmp/jubo-bench) holds N tiny
// tagged songs, a mix of MP3, FLAC, Ogg Vorbis and WAV files as taggers leave them (libsndfile
// encodes one short sound per format, TagLib writes each copy's tags), in Artist/Album folders
// with a cover picture and a text file beside every album's songs. It is generated once and
// kept; a generation that did not finish, or one by an older generator, is started again.
//
// Every figure is the median of R runs (default 3) of the real jubo-scan binary, its whole
// process timed. "warm" runs find the files in the page cache; "cold" runs first ask the
// kernel to drop every file's cached pages (posix_fadvise), so the tags come from the disk
// (or what caches it below this machine). The table goes to standard output, progress to
// standard error. Exit status 0; 2 when generating or scanning fails; 1 on wrong usage.
#include <fcntl.h>
#include <sndfile.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <taglib/fileref.h>
#include <taglib/tpropertymap.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Format {
  const char* extension;
  int sndfile_format;
  int share;  // in 100 files
};
constexpr Format kFormats[] = {
    {"mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 45},
    {"flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 30},
    {"ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 20},
    {"wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 5},
};
constexpr int kSongsPerAlbum = 10;
constexpr int kAlbumsPerArtist = 5;
constexpr const char* kGenres[] = {"Rock",  "Jazz",   "Pop",        "Classical",
                                   "Blues", "Folk",   "Electronic", "Hip-Hop",
                                   "Soul",  "Reggae", "Country",    "Latin"};
constexpr const char* kDoneMarker = ".generated";  // holds DoneText once a generation ended

// Names the generator's version too, so a changed generator makes its files again.
std::string DoneText(int files) { return std::to_string(files) + " files, layout 1\n"; }

[[noreturn]] void Die(const std::string& message) {
  std::fprintf(stderr, "jubo-bench-scan: %s\n", message.c_str());
  std::exit(2);
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) Die("cannot write " + path.string());
}

// A fifth of a second of a quiet tone in the format, as a file's bytes.
std::string EncodeSound(const Format& format, const fs::path& scratch) {
  const fs::path path = scratch / (std::string("template.") + format.extension);
  SF_INFO info{};
  info.samplerate = 22050;
  info.channels = 1;
  info.format = format.sndfile_format;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (file == nullptr) Die(path.string() + ": " + sf_strerror(nullptr));
  std::vector<float> samples(info.samplerate / 5);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = 0.2f * std::sin(i * 0.05f);
  sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size()));
  sf_close(file);
  std::string bytes = ReadFile(path);
  fs::remove(path);
  return bytes;
}

TagLib::StringList Utf8(const std::string& text) {
  return TagLib::StringList(TagLib::String(text, TagLib::String::UTF8));
}

// Writes the N songs and their neighbours into `dir`, the same ones for the same N.
void Generate(const fs::path& dir, int files) {
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::vector<std::string> templates;
  for (const Format& f : kFormats) templates.push_back(EncodeSound(f, dir));

  std::mt19937 random(20240607);
  const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  for (int i = 0; i < files; ++i) {
    const int album_number = i / kSongsPerAlbum, track = i % kSongsPerAlbum + 1;
    const int artist_number = album_number / kAlbumsPerArtist;
    const std::string artist = "Artist " + std::to_string(artist_number) +
                               (artist_number % 7 == 0 ? " & the Quotes \"Live\"" : "");
    const std::string album =
        "Album " + std::to_string(album_number) + (album_number % 5 == 0 ? ", Vol. 2" : "");
    const fs::path folder = dir / ("Artist " + std::to_string(artist_number)) /
                            ("Album " + std::to_string(album_number));
    if (track == 1) {
      fs::create_directories(folder);
      WriteFile(folder / "cover.jpg", std::string(2000, '\xFF'));
      WriteFile(folder / "notes.txt", "ripped for the benchmark\n");
    }
    int slot = pick(100), f = 0;
    while (slot >= kFormats[f].share) slot -= kFormats[f++].share;
    char name[32];
    std::snprintf(name, sizeof name, "%02d Song %d.%s", track, i, kFormats[f].extension);
    const fs::path path = folder / name;
    WriteFile(path, templates[f]);

    TagLib::FileRef file(path.c_str(), false);
    if (file.isNull()) Die("TagLib cannot open " + path.string());
    TagLib::PropertyMap tags;
    tags["TITLE"] = Utf8("Song " + std::to_string(i) + (i % 11 == 0 ? " (Déjà vu)" : ""));
    tags["ARTIST"] = Utf8(artist);
    tags["ALBUM"] = Utf8(album);
    tags["TRACKNUMBER"] = Utf8(std::to_string(track) + "/" + std::to_string(kSongsPerAlbum));
    tags["GENRE"] = Utf8(kGenres[pick(std::size(kGenres))]);
    if (pick(10) < 7) tags["BPM"] = Utf8(std::to_string(60 + pick(120)));
    if (pick(10) == 0) tags["TEMPO"] = Utf8(pick(2) ? "Slow" : "Fast");
    file.file()->setProperties(tags);
    if (!file.save()) Die("TagLib cannot save " + path.string());
    if ((i + 1) % 1000 == 0) std::fprintf(stderr, "  %d of %d files\n", i + 1, files);
  }
  WriteFile(dir / kDoneMarker, DoneText(files));
}

std::vector<fs::path> AudioFiles(const fs::path& dir) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    const std::string ext = entry.path().extension().string();
    const bool hidden = entry.path().filename().string()[0] == '.';
    if (entry.is_regular_file() && !hidden && ext != ".jpg" && ext != ".txt") {
      files.push_back(entry.path());
    }
  }
  return files;
}

// Asks the kernel to forget the cached contents of every file below `dir`.
void DropCaches(const fs::path& dir) {
  sync();
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    if (!entry.is_regular_file()) continue;
    const int fd = open(entry.path().c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    close(fd);
  }
}

// Runs jubo-scan with `args`, its output to /dev/null; returns the seconds it took.
double RunScan(const std::vector<std::string>& args) {
  std::vector<char*> argv = {const_cast<char*>(JUBO_SCAN)};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  const Clock::time_point start = Clock::now();
  pid_t pid;
  int status = 0;
  if (posix_spawn(&pid, JUBO_SCAN, &actions, nullptr, argv.data(), environ) != 0 ||
      waitpid(pid, &status, 0) != pid) {
    Die(std::string("cannot run ") + JUBO_SCAN);
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  posix_spawn_file_actions_destroy(&actions);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) Die("jubo-scan failed");
  return seconds;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  int files = 10000, runs = 3;
  const char* data_env = std::getenv("JUBO_BENCH_DATA");
  fs::path data = data_env != nullptr && *data_env != '\0' ? data_env : "/tmp/jubo-bench";
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 < argc && arg == "--files") {
      files = std::atoi(argv[++i]);
    } else if (i + 1 < argc && arg == "--runs") {
      runs = std::atoi(argv[++i]);
    } else if (i + 1 < argc && arg == "--data") {
      data = argv[++i];
    } else {
      std::fprintf(stderr, "usage: jubo-bench-scan [--files N] [--data DIR] [--runs R]\n");
      return 1;
    }
  }
  if (files <= 0 || runs <= 0) {
    std::fprintf(stderr, "jubo-bench-scan: --files and --runs take a positive number\n");
    return 1;
  }
  const fs::path music = data / ("scan-" + std::to_string(files));
  if (ReadFile(music / kDoneMarker) != DoneText(files)) {
    std::fprintf(stderr, "generating %d tagged files into %s\n", files, music.c_str());
    Generate(music, files);
  }
  const std::vector<fs::path> songs = AudioFiles(music);
  const fs::path out = data / ("scan-" + std::to_string(files) + "-jubodb.txt");
  const std::string library = out.string();

  struct Measure {
    const char* label;
    std::function<void()> before;  // untimed preparation of each run
    std::vector<std::string> args;
  };
  std::mt19937 random(7);
  const auto touch_one_percent = [&] {
    RunScan({music.string(), "-o", library});  // a fresh library, older than the touches
    for (size_t i = 0; i < songs.size() / 100; ++i) {
      fs::last_write_time(songs[random() % songs.size()], fs::file_time_type::clock::now());
    }
  };
  const Measure kMeasures[] = {
      {"full scan, warm", [] {}, {music.string(), "-o", library}},
      {"full scan, cold", [&] { DropCaches(music); }, {music.string(), "-o", library}},
      {"--update, nothing changed, warm", [] {}, {music.string(), "--update", library}},
      {"--update, nothing changed, cold",
       [&] { DropCaches(music); },
       {music.string(), "--update", library}},
      {"--update, 1% changed, warm", touch_one_percent, {music.string(), "--update", library}},
  };

  std::printf("jubo-scan over %zu audio files (%s), median of %d runs\n", songs.size(),
              music.c_str(), runs);
  std::printf("%-34s %10s %12s\n", "run", "seconds", "files/s");
  RunScan({music.string(), "-o", library});  // warms the cache and makes the first library
  for (const Measure& m : kMeasures) {
    std::vector<double> seconds;
    for (int r = 0; r < runs; ++r) {
      m.before();
      seconds.push_back(RunScan(m.args));
    }
    const double median = Median(seconds);
    std::printf("%-34s %10.3f %12.0f\n", m.label, median, songs.size() / median);
    std::fflush(stdout);
  }
  return 0;
}
