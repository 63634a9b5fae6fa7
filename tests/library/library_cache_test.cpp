// The library cache as the program uses it: a start keeps the library it read, and a later
// start whose cache cannot be trusted shows the library as the file now holds it.
#include "library/library_cache.h"

#include <gtest/gtest.h>

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
bool Served(const fs::path& folder, const fs::path& cache,
            std::vector<std::string>* genres = nullptr) {
  LibraryState state;
  EXPECT_TRUE(state.LibraryConnection.Open(ConnectionString(folder.string())).ok());
  LibraryLoad load = LoadLibrary(state, cache.string());
  textdb::Cursor cursor;
  EXPECT_TRUE(cursor.Open(GenresQuery(), state.LibraryConnection).ok());
  for (; genres != nullptr && !cursor.IsEOF(); cursor.MoveNext()) {
    genres->emplace_back(cursor.Field("Genre").value_or(""));
  }
  return load.from_cache;
}

TEST(LibraryCacheTest, ACacheThatCannotBeTrustedEndsInTheFreshLibraryShownAndIsMadeAgain) {
  struct Case {
    std::string name;
    std::function<void(std::string& cache)> spoil;  // the cache file's bytes
    std::string said;  // in the one line on stderr; "" for no line at all
    bool writable = true;
  };
  const Case kCases[] = {
      {"a changed row of the same length and time", nullptr, ""},
      {"a truncated cache", [](std::string& b) { b.resize(b.size() / 2); }, "(it is cut short)"},
      // The format's number follows the 8-byte magic.
      {"a cache of another version", [](std::string& b) { b.replace(8, 4, "\x63\0\0\0", 4); },
       "(made by another version of Jubo)"},
      {"a byte changed in the middle", [](std::string& b) { b[b.size() / 2] ^= 1; },
       "(its checksum is wrong)"},
      {"random bytes",
       [](std::string& b) {
         std::mt19937 random(15);
         for (char& c : b) c = static_cast<char>(random());
       },
       "(not a library cache)"},
      {"an unwritable cache folder", nullptr, "library cache not kept: cannot make ", false},
  };
  for (const Case& c : kCases) {
    jubo_test::TempDir dir;
    const fs::path& library = dir.path();
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
    const fs::file_time_type time = fs::last_write_time(file);
    std::string text = jubo_test::ReadFile(file);
    for (size_t at; (at = text.find(",Rock,")) != std::string::npos;) text.replace(at, 6, ",Folk,");
    std::ofstream(file, std::ios::binary) << text;
    fs::last_write_time(file, time);
    if (c.spoil) {
      const fs::path cache_file = fs::directory_iterator(cache)->path();  // the one file there
      std::string bytes = jubo_test::ReadFile(cache_file);
      c.spoil(bytes);
      std::ofstream(cache_file, std::ios::binary) << bytes;
    }

    const std::string said = Start(library, cache, &genres);
    EXPECT_EQ(genres, std::vector<std::string>(
                          {"All Albums", "Blues Albums", "Folk Albums", "Jazz Albums"}))
        << c.name;
    EXPECT_NE(said.find(c.said), std::string::npos) << c.name << ": " << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), c.said.empty() ? 0 : 1)
        << c.name << ": " << said;
    // Kept again: the next start reads the cache, and it holds the new library.
    EXPECT_EQ(Served(library, cache, &served), c.writable) << c.name;
    EXPECT_EQ(served, std::vector<std::string>({"Blues", "Folk", "Jazz"})) << c.name;
  }
}

TEST(LibraryCacheTest, ALibraryWithoutAnOptionalColumnStartsFromItsCache) {
  const std::pair<std::string_view, std::string_view> kCases[] = {
      {"no Genre", "Album,Artist,Title,Track,Filename,Tempo\nBlue,Ana,Intro,1,/m/1.ogg,Slow\n"},
      {"no Tempo", "Album,Artist,Title,Track,Filename,Genre\nBlue,Ana,Intro,1,/m/1.ogg,Jazz\n"},
      {"no Track", "Album,Artist,Title,Filename,Genre,Tempo\nBlue,Ana,Intro,/m/1.ogg,Jazz,Slow\n"},
      {"Genre, Tempo and Track blank in every row",
       "Album,Artist,Title,Track,Filename,Genre,Tempo\nBlue,Ana,Intro,,/m/1.ogg,,\n"},
  };
  for (const auto& [name, text] : kCases) {
    jubo_test::TempDir dir;
    dir.Write(kLibraryFile, text);
    std::vector<std::string> rows;
    Start(dir.path(), dir.path() / "cache", &rows);
    EXPECT_TRUE(Served(dir.path(), dir.path() / "cache")) << name;
  }
}

// The cache's name and the library's folder as a user's links may leave them.
TEST(LibraryCacheTest, TheCacheBelongsToTheFileReadAndNeverWritesThroughALink) {
  jubo_test::TempDir dir;
  const fs::path a = dir.path() / "a", b = dir.path() / "b", cache = dir.path() / "cache";
  fs::create_directories(a);
  fs::create_directories(b / "c");
  fs::create_directory_symlink("../b/c", a / "link");
  jubo_test::FixtureLibrary().Album("B", "Bo", "Rock", {"y"}).WriteTo(b);
  // a holds a copy of b's library as it is now, its time kept.
  fs::copy_file(b / kLibraryFile, a / kLibraryFile);
  fs::last_write_time(a / kLibraryFile, fs::last_write_time(b / kLibraryFile));
  std::vector<std::string> genres;
  // a/link/.. is b, and b's own cache follows b's changes.
  Start(a / "link" / "..", cache, &genres);
  EXPECT_EQ(genres[1], "Rock Albums");
  jubo_test::FixtureLibrary().Album("B", "Bo", "Folk", {"y"}).WriteTo(b);
  Start(a / "link" / "..", cache, &genres);
  EXPECT_EQ(genres[1], "Folk Albums");

  // A link at the cache's name, to a file of the user's or to nothing, is replaced.
  const fs::path cache_file = fs::directory_iterator(cache)->path();
  for (const fs::path& to : {dir.path() / "precious", dir.path() / "nothing"}) {
    if (to.filename() == "precious") dir.Write("precious", "mine");
    fs::remove(cache_file);
    fs::create_symlink(to, cache_file);
    Start(b, cache, &genres);
    EXPECT_EQ(genres[1], "Folk Albums") << to;
    EXPECT_FALSE(fs::is_symlink(cache_file)) << to;
    EXPECT_TRUE(Served(b, cache)) << to;
  }
  EXPECT_EQ(jubo_test::ReadFile(dir.path() / "precious"), "mine");
  EXPECT_FALSE(fs::exists(dir.path() / "nothing"));
}

}  // namespace
}  // namespace library
