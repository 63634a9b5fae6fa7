#include "textdb/connection.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/temp_dir.h"
#include "textdb/cursor.h"
#include "textdb/file_reader.h"

namespace textdb {
namespace {

using enum ErrorCode;

constexpr std::string_view kLibrary =
    "Album,Artist,Title,Track,Filename,Genre,Tempo\n"
    "Blue Hour,O'Dara,Ten,10,/m/Blue/10.ogg,Jazz,Slow\n"
    "Blue Hour,O'Dara,Two,2,/m/Blue/02.ogg,Jazz,Fast\n"
    "Blue Hour,O'Dara,Three,03,/m/Blue/03.ogg,Jazz,Fast\n"
    "Blue Hour,O'Dara,Bonus,Bonus,/m/Blue/b.ogg,Jazz,\n"
    "bee sides,Zed,One,1,/m/bee/01.ogg,rock,\n"
    "10 Rivers,Ana,Flow,1,/m/10/01.ogg,,Medium\n"
    "Élan,Ana,Rise,1,/m/elan/01.ogg,Blues,\n"
    "Elan,Ana,Set,1,/m/elan2/01.ogg,Blues,\n"
    "amber gold,Bob,Glow,1,/m/amber/01.ogg,Rock,\n"
    "[Live],Bob,Crowd,1,/m/live/01.ogg,Rock,\n"
    "Zephyr Road,Cy,Wind,1,/m/z/01.ogg,Jazz,\n"
    "BLUE HOUR,Cy,Cover,1,/M/Blue/01.ogg,Jazz,\n"
    ",Nobody,Lost,1,/m/lost.ogg,rock,\n";

// Runs `sql` and returns the rows as "a|b|c" lines, Null shown as <null>.
std::vector<std::string> Rows(Connection& c, std::string_view sql) {
  Cursor cursor;
  Status s = cursor.Open(sql, c);
  EXPECT_TRUE(s.ok()) << sql << ": " << s.message();
  std::vector<std::string> rows;
  for (cursor.MoveFirst(); !cursor.IsEOF(); cursor.MoveNext()) {
    std::string row;
    for (size_t i = 0; i < cursor.Columns().size(); ++i) {
      auto value = cursor.FieldAt(i);
      row += (i > 0 ? "|" : "") + (value ? std::string(*value) : std::string("<null>"));
    }
    rows.push_back(row);
  }
  return rows;
}

class ConnectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("jubodb.txt", kLibrary);
    ASSERT_TRUE(
        connection_.Open("DRIVER={Text Driver (*.txt; *.csv)};DBQ=" + dir_.path().string() + ";")
            .ok());
  }
  jubo_test::TempDir dir_;
  Connection connection_;
};

TEST_F(ConnectionTest, AnswersTheLibraryQueriesInTheDialect) {
  struct Case {
    std::string_view sql;
    std::vector<std::string> rows;
  };
  const Case kCases[] = {
      // A letter finds both cases; Distinct and equality ignore case, and Distinct shows the
      // spelling the file gives first.
      {"Select Distinct Album from jubodb.txt where Album Like '[Bb]%' Order by Album ASC",
       {"bee sides", "Blue Hour"}},
      // "*": digits, brackets and accented letters, never A-Z or a-z.
      {"Select Distinct Album from jubodb.txt where Album Not Like '[a-zA-Z]%' Order by Album "
       "ASC",
       {"[Live]", "10 Rivers", "Élan"}},
      // Null first, then case-insensitive order.
      {"Select Distinct Genre from jubodb.txt Order by Genre ASC",
       {"<null>", "Blues", "Jazz", "rock"}},
      // Track as a number: 2 before 10, "03" as 3, no number last; a doubled quote is one.
      {"Select Track from jubodb.txt where Album = 'Blue Hour' and Artist = 'O''Dara' Order By "
       "Track ASC",
       {"2", "03", "10", "Bonus"}},
      // Accents tell values apart.
      {"Select Album, Track from jubodb.txt where Artist = 'Ana' Order by Album ASC, Track ASC",
       {"10 Rivers|1", "Elan|1", "Élan|1"}},
      // Filename compares exactly.
      {"Select Title, Artist, Album from jubodb.txt where Filename = '/m/Blue/02.ogg' or "
       "Filename = '/m/blue/01.ogg'",
       {"Two|O'Dara|Blue Hour"}},
      // Null fails every comparison: <> here, Not Like above, not (...) below.
      {"Select Title from jubodb.txt where Tempo <> 'Fast' Order by Title ASC", {"Flow", "Ten"}},
      // A song without an album is in no album, not even under a Not.
      {"Select Title from jubodb.txt where not (Album = 'Blue Hour') and Artist = 'Nobody'", {}},
      // Keywords in any case, the table in brackets, a closing semicolon.
      {"select distinct Album FROM [jubodb.txt] order BY Album desc;",
       {"Zephyr Road", "Élan", "Elan", "Blue Hour", "bee sides", "amber gold", "10 Rivers",
        "[Live]", "<null>"}},
      // A Like that only another spelling of a value matches still finds the value, shown as
      // the file spells it first.
      {"Select Distinct Album from jubodb.txt where Album Like '[B][L]%'", {"Blue Hour"}},
      {"Select Title from jubodb.txt where Album = 'blue hour' Order by Album, Track",
       {"Cover", "Two", "Three", "Ten", "Bonus"}},
      // Lists of values, as Jubo DJ and Non-Stop Music build them.
      {"Select Title from jubodb.txt where (Album = 'amber gold' or Album = '[Live]') and "
       "(Genre = 'ROCK') Order by Title",
       {"Crowd", "Glow"}},
      {"Select Title from jubodb.txt where (Artist <> 'O''Dara' and Artist <> 'Ana' and Artist "
       "<> 'Cy') and (Genre <> 'rock')",
       {}},
      // A value the file does not hold still orders correctly against those it does.
      {"Select Distinct Album from jubodb.txt where Album > 'Blue' and Album < 'C' Order by "
       "Album",
       {"Blue Hour"}},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(Rows(connection_, c.sql), c.rows) << c.sql;
  }
}

TEST_F(ConnectionTest, CursorMovesLikeAStaticCursor) {
  Cursor cursor;
  ASSERT_TRUE(
      cursor.Open("Select Title from jubodb.txt where Artist = 'Ana' Order by Title", connection_)
          .ok());
  EXPECT_EQ(cursor.State(), Cursor::kStateOpen);
  EXPECT_EQ(cursor.RecordCount(), 3);
  EXPECT_EQ(cursor.Field("title"), "Flow");
  cursor.Move(2);
  EXPECT_EQ(cursor.Field("Title"), "Set");
  cursor.Move(-1);
  EXPECT_EQ(cursor.Field("Title"), "Rise");
  cursor.Move(5);
  EXPECT_TRUE(cursor.IsEOF());
  EXPECT_EQ(cursor.Field("Title"), std::nullopt);
  cursor.Move(-10);
  EXPECT_TRUE(cursor.IsBOF());
  cursor.MoveFirst();
  EXPECT_EQ(cursor.Field("Title"), "Flow");
  EXPECT_EQ(cursor.Field("NoSuchColumn"), std::nullopt);
  cursor.Close();
  EXPECT_EQ(cursor.State(), Cursor::kStateClosed);
  EXPECT_EQ(cursor.RecordCount(), 0);

  // A query outside the dialect: an error, and a closed, empty cursor.
  Status s = cursor.Open("Select Nothing from jubodb.txt", connection_);
  EXPECT_EQ(s.code(), ErrorCode::kBadQuery);
  EXPECT_EQ(s.message(), "unknown column 'Nothing'");
  EXPECT_EQ(cursor.State(), Cursor::kStateClosed);
  EXPECT_EQ(cursor.RecordCount(), 0);
}

// What each kind of damaged or unusual file gives: rows as `Select *` returns them (Album and
// Title only, for brevity), or the refusal, and the lines reported.
TEST(ConnectionLoadTest, BadFilesLoadWhatTheyCanAndSayWhatTheyCannot) {
  const std::string kHeader = "Album,Artist,Title,Track,Filename,Genre,Tempo\n";
  const std::string kBigField(1 << 20, 'x');
  struct Case {
    std::string name, bytes;
    ErrorCode code;
    std::vector<std::string> rows;  // "Album|Title"
    std::string report;             // the one line reported, if any
  };
  // Quoting, line ends, NUL bytes and stray quotes are the CSV reader's, tested with it.
  const std::vector<Case> kCases = {
      {"empty file", "", kRefused, {}, ""},
      {"header only", kHeader, kNone, {}, ""},
      {"ragged rows",
       kHeader + "A,r\nB,r,U,1,/f,g,t,extra,more\n",
       kNone,
       {"A|<null>", "B|U"},
       "jubodb.txt line 3: 9 fields where the header has 7; the extra fields are ignored"},
      {"Windows-1252",
       kHeader + "\xC9lan,r,Caf\xE9,1,/f,g,t\n",
       kNone,
       {"Élan|Café"},
       "jubodb.txt: not valid UTF-8; read as Windows-1252"},
      {"1 MB field", kHeader + "A,r," + kBigField + ",1,/f,g,t\n", kNone, {"A|" + kBigField}, ""},
      {"no Filename column", "Album,Artist,Title,Genre\nA,r,T,g\n", kRefused, {}, ""},
      {"header names in any case, no Genre",
       "ALBUM,artist,Title,FileName\nA,r,T,/f\n",
       kNone,
       {"A|T"},
       ""},
  };
  for (const Case& c : kCases) {
    jubo_test::TempDir dir;
    dir.Write("jubodb.txt", c.bytes);
    Connection connection;
    std::string report;
    connection.set_report([&](const std::string& line) { report += line; });
    ASSERT_TRUE(connection.Open("DBQ=" + dir.path().string()).ok()) << c.name;
    Status s = connection.LoadTable("jubodb.txt");
    EXPECT_EQ(s.code(), c.code) << c.name << ": " << s.message();
    EXPECT_EQ(report, c.report) << c.name;
    ResultSet result;  // a refused table is never answered from half of it
    EXPECT_EQ(connection.Execute("Select * from jubodb.txt", &result).code(), c.code) << c.name;
    if (!s.ok()) continue;
    EXPECT_EQ(Rows(connection, "Select Album, Title from jubodb.txt"), c.rows) << c.name;
  }
}

// What is not a regular file is refused without waiting on it (a FIFO with no writer would
// block an ordinary open forever); a file rewritten while it is read is read again, and one
// that keeps changing is read as found with a note, never a signal.
TEST(FileReaderTest, ReadsRegularFilesAndRefusesTheRest) {
  jubo_test::TempDir dir;
  const std::string file = (dir.path() / "jubodb.txt").string();
  const std::string fifo = (dir.path() / "fifo").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  int rewrites = 0;
  struct Case {
    std::string_view name;
    std::string path;
    std::function<void()> after_chunk;
    ErrorCode code;
    std::string_view bytes;
    bool noted;
  };
  const Case kCases[] = {
      {"regular", file, nullptr, kNone, "Album\nA long first line\n", false},
      {"missing", file + ".not", nullptr, kNotFound, "", false},
      {"FIFO", fifo, nullptr, kRefused, "", false},
      {"folder", dir.path().string(), nullptr, kRefused, "", false},
      {"device", "/dev/null", nullptr, kRefused, "", false},
      {"cut short while read", file,
       [&] {
         if (rewrites++ == 0) dir.Write("jubodb.txt", "Album\nA\n");
       },
       kNone, "Album\nA\n", false},
      {"rewritten after every chunk", file,
       [&] { dir.Write("jubodb.txt", ++rewrites % 2 == 0 ? "Album\nA\n" : "Album\nAB\n"); }, kNone,
       "", true},
  };
  for (const Case& c : kCases) {
    dir.Write("jubodb.txt", "Album\nA long first line\n");
    std::string bytes;
    std::vector<LoadNote> notes;
    Status s = ReadFileBytes(c.path, "jubodb.txt", &bytes, &notes, c.after_chunk);
    EXPECT_EQ(s.code(), c.code) << c.name << ": " << s.message();
    if (c.code == kRefused) {
      EXPECT_NE(s.message().find("not a regular file"), std::string::npos) << c.name;
    }
    if (!c.bytes.empty()) {
      EXPECT_EQ(bytes, c.bytes) << c.name;
    }
    EXPECT_EQ(!notes.empty(), c.noted) << c.name;
  }
}

}  // namespace
}  // namespace textdb
