// The library cache as the program uses it: a start keeps the library it read, and a later
// start whose cache cannot be trusted shows the library as the file now holds it.
#include "library/library_cache.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

#include "ground/keys.h"
#include "library/queries.h"
#include "support/harness.h"
#include "support/run_program.h"

namespace library {
namespace {

namespace fs = std::filesystem;
using jubo_test::Harness;

// Starts the program on the library in `folder`, shows the album genres and ends; returns what
// it wrote on stderr and sets *genres to the first rows shown.
std::string Start(const fs::path& folder, const fs::path& cache, std::vector<std::string>* genres) {
  Harness h;
  h.jubo.folder = folder.string();
  h.jubo.cache_folder = cache.string();
  h.loop.Keys({ground::kKeyEnter}).Then([&] {
    *genres = h.Rows();
    genres->resize(4);
  });
  testing::internal::CaptureStderr();
  EXPECT_EQ(h.Run(), 0);
  return testing::internal::GetCapturedStderr();
}

// Whether the cache in `cache` is served for the library in `folder`, and the genres it holds.
bool Served(const fs::path& folder, const fs::path& cache, std::vector<std::string>* genres) {
  LibraryState state;
  EXPECT_TRUE(state.LibraryConnection.Open(ConnectionString(folder.string())).ok());
  LibraryLoad load = LoadLibrary(state, cache.string());
  textdb::Cursor cursor;
  EXPECT_TRUE(cursor.Open(GenresQuery(), state.LibraryConnection).ok());
  for (; !cursor.IsEOF(); cursor.MoveNext()) genres->emplace_back(cursor.Field("Genre").value());
  return load.from_cache;
}

TEST(LibraryCacheTest, ACacheThatCannotBeTrustedEndsInTheFreshLibraryShownAndIsMadeAgain) {
  struct Case {
    std::string name;
    std::function<void(const fs::path& cache_file)> spoil;
    std::string said;  // in the one line on stderr; "" for no line at all
    bool writable = true;
  };
  const Case kCases[] = {
      {"a changed row of the same length and time", [](const fs::path&) {}, ""},
      {"a truncated cache",
       [](const fs::path& file) { fs::resize_file(file, fs::file_size(file) / 2); },
       "(it is cut short)"},
      {"a cache of another version",
       [](const fs::path& file) {
         // The format's number follows the 8-byte magic.
         std::fstream out(file, std::ios::in | std::ios::out | std::ios::binary);
         out.seekp(8);
         out.write("\x63\x00\x00\x00", 4);
       },
       "(made by another version of Jubo)"},
      {"a byte changed in the middle",
       [](const fs::path& file) {
         std::fstream out(file, std::ios::in | std::ios::out | std::ios::binary);
         out.seekg(static_cast<std::streamoff>(fs::file_size(file) / 2));
         const char flipped = static_cast<char>(out.get() ^ 1);
         out.seekp(static_cast<std::streamoff>(fs::file_size(file) / 2));
         out.put(flipped);
       },
       "(its checksum is wrong)"},
      {"random bytes",
       [](const fs::path& file) {
         std::string bytes(fs::file_size(file), '\0');
         std::mt19937 random(15);
         for (char& c : bytes) c = static_cast<char>(random());
         std::ofstream(file, std::ios::binary) << bytes;
       },
       "(not a library cache)"},
      {"an unwritable cache folder", nullptr, "library cache not kept: cannot make ", false},
  };
  for (const Case& c : kCases) {
    jubo_test::TempDir dir;
    const fs::path library = dir.path() / "library";
    fs::create_directories(library);
    jubo_test::SmallLibrary().WriteTo(library);
    // A regular file where a folder would be: no one can make the cache folder, root neither.
    fs::path cache = dir.path() / "cache";
    if (!c.writable) {
      dir.Write("file", "");
      cache = dir.path() / "file" / "jubo";
    }
    std::vector<std::string> genres, served;
    Start(library, cache, &genres);
    ASSERT_EQ(genres[3], "Rock Albums") << c.name;

    // Rock becomes Folk: the same length, and the file's time is put back as it was.
    const fs::path file = library / kLibraryFile;
    struct stat before;
    ASSERT_EQ(stat(file.c_str(), &before), 0);
    std::string text = jubo_test::ReadFile(file);
    for (size_t at; (at = text.find(",Rock,")) != std::string::npos;) text.replace(at, 6, ",Folk,");
    std::ofstream(file, std::ios::binary) << text;
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    if (c.spoil) c.spoil(fs::directory_iterator(cache)->path());  // the one file there

    const std::string said = Start(library, cache, &genres);
    EXPECT_EQ(genres, std::vector<std::string>(
                          {"All Albums", "Blues Albums", "Folk Albums", "Jazz Albums"}))
        << c.name;
    if (c.said.empty()) {
      EXPECT_EQ(said, "") << c.name;
    } else {
      EXPECT_NE(said.find(c.said), std::string::npos) << c.name << ": " << said;
      EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << c.name << ": " << said;
    }
    // Kept again: the next start reads the cache, and it holds the new library.
    EXPECT_EQ(Served(library, cache, &served), c.writable) << c.name;
    EXPECT_EQ(served, std::vector<std::string>({"Blues", "Folk", "Jazz"})) << c.name;
  }
}

}  // namespace
}  // namespace library
