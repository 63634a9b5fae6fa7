// jubo-demo DIR: writes a demo music library into DIR, creating it if needed: a few dozen short
// synthesized songs as Ogg Vorbis files (DIR/Artist/Album/NN Title.ogg) and the `jubodb.txt`
// that lists them by absolute path. The same files come out on every run; running it again over
// a demo folder rewrites it. Every file is written under a temporary name and renamed into
// place, so an interrupted run leaves the previous files whole.
//
// Prints one line on success (songs, folder, total size) and exits 0. Exits 1 with a one-line
// message on stderr when DIR cannot be created or a file cannot be written.
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "common/atomic_file.h"
#include "demo/catalogue.h"
#include "demo/ogg_vorbis.h"
#include "textdb/csv_writer.h"

namespace {

namespace fs = std::filesystem;

// Vorbis quality for the songs: at 22050 Hz mono about 30 kbit/s, which keeps the whole demo
// near 3 MB and still sounds clean.
constexpr double kVorbisQuality = 0.3;

constexpr std::string_view kNotAudioText =
    "This is not an Ogg Vorbis file. The demo library lists it to show how Jubo deals with a "
    "song that cannot be played.\n";

// One row of jubodb.txt and what to write for it.
struct Row {
  const demo::CatalogueEntry* entry;
  demo::Tune tune;
  fs::path path;  // absolute
};

std::string_view AsText(const std::vector<unsigned char>& bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

std::string LibraryText(const std::vector<Row>& rows) {
  std::string text = "Album,Artist,Title,Track,Filename,Genre,Tempo\n";
  for (const Row& row : rows) {
    const demo::CatalogueEntry& e = *row.entry;
    const std::string track = demo::TrackText(e.track);
    const std::string path = row.path.string();
    textdb::AppendCsvRow(&text, {e.album, e.artist->name, e.title, track, path, e.genre,
                                 demo::TempoName(row.tune.bpm)});
  }
  return text;
}

// Renders, encodes and writes one row's file. Returns the bytes written, or sets *error.
size_t WriteRow(const Row& row, std::string* error) {
  const demo::CatalogueEntry& e = *row.entry;
  if (e.kind == demo::EntryKind::kMissing) return 0;
  if (e.kind == demo::EntryKind::kNotAudio) {
    *error = common::WriteFileAtomically(row.path.string(), kNotAudioText);
    return kNotAudioText.size();
  }
  const demo::SongTags tags = {std::string(e.title), std::string(e.artist->name),
                               std::string(e.album), std::string(e.genre),
                               demo::TrackText(e.track)};
  std::vector<unsigned char> ogg;
  *error = demo::EncodeOggVorbis(demo::RenderTune(row.tune), demo::kSampleRate, kVorbisQuality,
                                 tags, row.tune.seed, &ogg);
  if (!error->empty()) {
    *error = "cannot encode " + row.path.string() + ": " + *error;
    return 0;
  }
  *error = common::WriteFileAtomically(row.path.string(), AsText(ogg));
  return ogg.size();
}

// Writes every row's file on all cores. Returns the bytes written, or the first error.
size_t WriteRows(const std::vector<Row>& rows, std::string* error) {
  std::atomic<size_t> next{0};
  std::atomic<size_t> total{0};
  std::atomic<bool> failed{false};
  std::mutex error_mutex;
  auto work = [&] {
    for (size_t i; !failed && (i = next++) < rows.size();) {
      std::string message;
      total += WriteRow(rows[i], &message);
      if (!message.empty()) {
        std::lock_guard lock(error_mutex);
        if (!failed.exchange(true)) *error = message;
      }
    }
  };
  const unsigned workers = std::max(1u, std::thread::hardware_concurrency());
  {
    std::vector<std::jthread> threads;
    for (unsigned i = 1; i < workers; ++i) threads.emplace_back(work);
    work();
  }
  return total;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "jubo-demo: %s\n", message.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || argv[1][0] == '\0') {
    std::fprintf(stderr, "usage: jubo-demo DIR\n");
    return 1;
  }
  std::error_code ec;
  fs::path dir = fs::absolute(argv[1], ec).lexically_normal();
  if (!ec && !dir.has_filename()) dir = dir.parent_path();  // "demo/" names "demo"
  if (!ec) fs::create_directories(dir, ec);
  if (ec) return Fail("cannot create folder " + std::string(argv[1]) + ": " + ec.message());

  std::vector<Row> rows;
  for (const demo::CatalogueEntry& e : demo::Catalogue()) {
    rows.push_back(
        {&e, demo::ComposeTune(e.artist->style, demo::SongSeed(e)), dir / demo::RelativePath(e)});
    if (fs::create_directories(rows.back().path.parent_path(), ec); ec) {
      return Fail("cannot create folder " + rows.back().path.parent_path().string() + ": " +
                  ec.message());
    }
  }

  std::string error;
  size_t total = WriteRows(rows, &error);
  if (!error.empty()) return Fail(error);
  const std::string library = LibraryText(rows);
  error = common::WriteFileAtomically((dir / "jubodb.txt").string(), library);
  if (!error.empty()) return Fail(error);
  total += library.size();

  size_t songs = 0;
  for (const Row& row : rows) songs += row.entry->kind == demo::EntryKind::kSong;
  std::printf("%zu songs written to %s (%.1f MB)\n", songs, dir.c_str(), total / 1e6);
  return std::fflush(stdout) == 0 ? 0 : Fail("cannot write to standard output");
}
