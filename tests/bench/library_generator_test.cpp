#include "bench/library_generator.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "library/library_connection.h"
#include "library/queries.h"
#include "support/temp_dir.h"

namespace {

struct Song {
  std::string album, artist, title, track, filename;
  std::optional<std::string> genre, tempo;
};

// A generated library as the program sees it: loaded through the driver, every row read back.
struct Loaded {
  library::LibraryState state;
  std::vector<std::string> load_notes;
  std::vector<Song> songs;
};

std::string Text(const textdb::Cursor& cursor, std::string_view column) {
  auto value = cursor.Field(column);
  return value ? std::string(*value) : std::string();
}

std::optional<std::string> Optional(const textdb::Cursor& cursor, std::string_view column) {
  auto value = cursor.Field(column);
  return value ? std::optional<std::string>(*value) : std::nullopt;
}

void Load(const jubo_test::TempDir& dir, Loaded* out) {
  out->state.LibraryConnection.set_report(
      [out](const std::string& line) { out->load_notes.push_back(line); });
  textdb::Status s = library::OpenLibrary(out->state, dir.path().string());
  ASSERT_TRUE(s.ok()) << s.message();
  textdb::Cursor cursor;
  ASSERT_TRUE(cursor.Open("Select * from jubodb.txt", out->state.LibraryConnection).ok());
  for (; !cursor.IsEOF(); cursor.MoveNext()) {
    out->songs.push_back({Text(cursor, "Album"), Text(cursor, "Artist"), Text(cursor, "Title"),
                          Text(cursor, "Track"), Text(cursor, "Filename"),
                          Optional(cursor, "Genre"), Optional(cursor, "Tempo")});
  }
}

long Count(library::LibraryState& state, const std::string& sql) {
  textdb::Cursor cursor;
  textdb::Status s = cursor.Open(sql, state.LibraryConnection);
  EXPECT_TRUE(s.ok()) << sql << ": " << s.message();
  return cursor.RecordCount();
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(LibraryGeneratorTest, EverySongLoadsThroughTheDriverOnce) {
  for (int64_t songs : {1, 12, 1000}) {
    jubo_test::TempDir dir;
    ASSERT_EQ(bench::WriteLibrary(dir.path().string(), songs, 7), "") << songs;
    Loaded loaded;
    Load(dir, &loaded);
    EXPECT_EQ(static_cast<int64_t>(loaded.songs.size()), songs) << songs << " songs";
    EXPECT_TRUE(loaded.load_notes.empty()) << songs << " songs: " << loaded.load_notes.front();
    std::set<std::string> files;
    for (const Song& song : loaded.songs) files.insert(song.filename);
    EXPECT_EQ(static_cast<int64_t>(files.size()), songs) << songs << " songs: a file name repeats";
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "jubodb.txt.partial"));
  }
}

TEST(LibraryGeneratorTest, HeaderNamesTheLibraryColumns) {
  jubo_test::TempDir dir;
  ASSERT_EQ(bench::WriteLibrary(dir.path().string(), 3, 1), "");
  EXPECT_EQ(ReadFile(dir.path() / "jubodb.txt")
                .rfind("Album,Artist,Title,Track,Filename,Genre,Tempo\r\n", 0),
            0u);
}

TEST(LibraryGeneratorTest, SameSeedSameBytesOtherSeedOtherLibrary) {
  jubo_test::TempDir a, b, c;
  ASSERT_EQ(bench::WriteLibrary(a.path().string(), 500, 42), "");
  ASSERT_EQ(bench::WriteLibrary(b.path().string(), 500, 42), "");
  ASSERT_EQ(bench::WriteLibrary(c.path().string(), 500, 43), "");
  EXPECT_EQ(ReadFile(a.path() / "jubodb.txt"), ReadFile(b.path() / "jubodb.txt"));
  EXPECT_NE(ReadFile(a.path() / "jubodb.txt"), ReadFile(c.path() / "jubodb.txt"));
}

class GeneratedLibraryTest : public testing::Test {
 protected:
  static constexpr int64_t kSongs = 6000;
  static void SetUpTestSuite() {
    dir_ = new jubo_test::TempDir;
    ASSERT_EQ(bench::WriteLibrary(dir_->path().string(), kSongs, 1), "");
    loaded_ = new Loaded;
    Load(*dir_, loaded_);
  }
  static void TearDownTestSuite() {
    delete loaded_;
    delete dir_;
  }
  static jubo_test::TempDir* dir_;
  static Loaded* loaded_;
};
jubo_test::TempDir* GeneratedLibraryTest::dir_ = nullptr;
Loaded* GeneratedLibraryTest::loaded_ = nullptr;

// Counts as the driver sees them: Distinct ignores case, so "rock" and "Rock" are one genre.
TEST_F(GeneratedLibraryTest, HasTheProportionsOfARealCollection) {
  library::LibraryState& state = loaded_->state;
  struct Case {
    const char* what;
    std::string sql;
    long low, high;
  };
  const Case kCases[] = {
      {"albums (about 12 songs each)", library::AllAlbumsQuery(), kSongs / 15, kSongs / 10},
      {"artists (about 33 songs each)", library::AllArtistsQuery(), kSongs / 40, kSongs / 27},
      {"genres, Null included", library::GenresQuery(), 19, 21},
      {"tempos, Null included", library::TemposQuery(), 6, 6},
      {"songs without a genre", "Select * from jubodb.txt where Genre Is Null", kSongs / 100,
       kSongs / 12},
      {"songs without a tempo", "Select * from jubodb.txt where Tempo Is Null", kSongs / 100,
       kSongs / 12},
      {"albums of b", library::AlbumsOfLetterQuery("b", "All"), 1, kSongs},
      {"albums of *", library::AlbumsOfLetterQuery("*", "All"), 1, kSongs},
      {"artists of *", library::ArtistsOfLetterQuery("*", "All"), 1, kSongs},
  };
  for (const Case& c : kCases) {
    long count = Count(state, c.sql);
    EXPECT_GE(count, c.low) << c.what;
    EXPECT_LE(count, c.high) << c.what;
  }
}

// Each kind of awkward name must reach the driver where real tags put it. Brackets in artist
// names are rare in life as in the generator, so a small library need not have one.
TEST_F(GeneratedLibraryTest, NamesCarryWhatRealTagsCarry) {
  using Holds = std::function<bool(const std::string&)>;
  auto has = [](char c) -> Holds {
    return [c](const std::string& s) { return s.find(c) != std::string::npos; };
  };
  auto first = [](int (*test)(int)) -> Holds {
    return [test](const std::string& s) {
      return !s.empty() && test(static_cast<unsigned char>(s[0])) != 0;
    };
  };
  auto not_letter_first = [](const std::string& s) {
    return !s.empty() && !std::isalpha(static_cast<unsigned char>(s[0]));
  };
  auto non_ascii = [](const std::string& s) {
    return std::any_of(s.begin(), s.end(), [](char c) { return (c & 0x80) != 0; });
  };
  struct Case {
    const char* what;
    Holds holds;
    bool in_albums, in_artists, in_titles;
  };
  const Case kCases[] = {
      {"a single quote", has('\''), true, true, true},
      {"an accented letter", non_ascii, true, true, true},
      {"a digit first", first(std::isdigit), true, true, true},
      {"a lower-case first letter", first(std::islower), true, true, true},
      {"something other than a letter first", not_letter_first, true, true, true},
      {"a comma", has(','), true, true, true},
      {"a [bracket]", has('['), true, false, true},
      {"a (parenthesis)", has('('), true, false, true},
      {"a double quote", has('"'), true, false, true},
  };
  for (const Case& c : kCases) {
    bool album = false, artist = false, title = false;
    for (const Song& song : loaded_->songs) {
      album = album || c.holds(song.album);
      artist = artist || c.holds(song.artist);
      title = title || c.holds(song.title);
    }
    EXPECT_TRUE(album || !c.in_albums) << "no album name with " << c.what;
    EXPECT_TRUE(artist || !c.in_artists) << "no artist name with " << c.what;
    EXPECT_TRUE(title || !c.in_titles) << "no title with " << c.what;
  }
}

// Our driver forgives a lone quote inside a quoted field; stricter readers (sqlite3 .import,
// which the benchmark compares against) do not, so the file must be strict CSV.
TEST_F(GeneratedLibraryTest, FieldsWithCommasAndQuotesAreQuotedStrictly) {
  const std::string file = ReadFile(dir_->path() / "jubodb.txt");
  int checked = 0;
  for (const Song& song : loaded_->songs) {
    for (const std::string* field : {&song.album, &song.artist, &song.title, &song.filename}) {
      if (field->find_first_of(",\"") == std::string::npos) continue;
      std::string quoted = "\"";
      for (char c : *field) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
      quoted += '"';
      EXPECT_NE(file.find(quoted + ","), std::string::npos) << *field;
      ++checked;
    }
  }
  EXPECT_GT(checked, 0);
}

TEST_F(GeneratedLibraryTest, TracksAndFileNamesLookLikeATaggersExport) {
  const std::regex kFilename(R"(/music/[^/]+/[^/]+/\d\d [^/]+\.(ogg|mp3|flac))");
  const std::regex kTrack(R"((\d+(/\d+)?)?)");
  std::set<std::string> forms;
  for (const Song& song : loaded_->songs) {
    EXPECT_TRUE(std::regex_match(song.filename, kFilename)) << song.filename;
    EXPECT_TRUE(std::regex_match(song.track, kTrack)) << song.track;
    if (song.track.size() == 2 && song.track[0] == '0') forms.insert("zero-padded");
    if (!song.track.empty() && song.track[0] != '0' && song.track.find('/') == std::string::npos) {
      forms.insert("plain");
    }
    if (song.track.find('/') != std::string::npos) forms.insert("number/total");
    if (song.track.empty()) forms.insert("none");
  }
  EXPECT_EQ(forms, (std::set<std::string>{"none", "number/total", "plain", "zero-padded"}));
}

TEST(LibraryGeneratorTest, UnwritableFolderGivesAMessageNamingTheFile) {
  std::string failure = bench::WriteLibrary("/nonexistent/jubo-bench", 10, 1);
  EXPECT_NE(failure.find("/nonexistent/jubo-bench/jubodb.txt"), std::string::npos) << failure;
}

TEST(LibraryGeneratorTest, ParsesCountsAsTyped) {
  struct Case {
    const char* text;
    std::optional<int64_t> count;
  };
  const Case kCases[] = {
      {"2500", 2500},         {"100k", 100000},
      {"100K", 100000},       {"1M", 1000000},
      {"", std::nullopt},     {"k", std::nullopt},
      {"0", std::nullopt},    {"-5", std::nullopt},
      {"1.5k", std::nullopt}, {"10x", std::nullopt},
      {"1m", std::nullopt},   {"2000000M", std::nullopt},  // beyond any library
  };
  for (const Case& c : kCases)
    EXPECT_EQ(bench::ParseCount(c.text), c.count) << '"' << c.text << '"';
}

}  // namespace
