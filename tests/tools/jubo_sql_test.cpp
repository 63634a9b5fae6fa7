// jubo-sql from outside, as a user checking an export runs it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

TEST(JuboSqlTest, PrintsResultsAsCsvAndFailuresAsOneLine) {
  jubo_test::TempDir dir;
  std::filesystem::create_directories(dir.path() / "lib");
  std::filesystem::create_directories(dir.path() / "secret");
  dir.Write("lib/jubodb.txt",
            "Album,Artist,Title,Track,Filename,Genre\n"
            "\"Songs, Vol. 2\",O'Dara,\"The \"\"Long\"\" Road\",10,/m/a.ogg,Jazz\n"
            "Songs,O'Dara,Intro,2,/m/b.ogg,\n");
  // Files beside the library and outside its folder are no tables.
  dir.Write("lib/notes.csv", "Note\nhello\n");
  dir.Write("secret/private.csv", "Album,Artist,Title,Filename\nPIN,1234,x,/f\n");
  auto repeat = [](std::string_view text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
  };
  const std::string kWhere = "Select Title from jubodb.txt where ";
  const std::string kTooDeep =
      "jubo-sql: the condition nests deeper than 20 levels of parentheses and Not at character ";
  struct Case {
    std::string folder, query;
    int status;
    std::string output;  // standard output, then standard error
  };
  const Case kCases[] = {
      {"lib", "Select Album, Title, Genre from jubodb.txt where Artist = 'O''Dara' Order by Track",
       0, "Album,Title,Genre\nSongs,Intro,\n\"Songs, Vol. 2\",\"The \"\"Long\"\" Road\",Jazz\n"},
      {"lib", "Select Distinct Genre from jubodb.txt Order by Genre ASC", 0, "Genre\n\nJazz\n"},
      {"lib", "Select Title from jubodb.txt where Album = 'None'", 0, "Title\n"},
      {"lib", "Drop table jubodb.txt", 2,
       "jubo-sql: expected Select but found 'Drop' at character 1\n"},
      // As deep as a condition may nest (each Not and parenthesis a level), in the shapes that
      // cost the engine most; deeper is refused where it goes too deep, before the stack would
      // overflow.
      {"lib",
       "Select Distinct Album from [JUBODB.TXT] where " + repeat("(Artist = 'x' or ", 20) +
           "Track = '2'" + repeat(")", 20),
       0, "Album\nSongs\n"},
      {"lib", kWhere + repeat("not (", 10) + "Track = '2'" + repeat(")", 10), 0, "Title\nIntro\n"},
      {"lib", kWhere + repeat("not ", 20000) + "Track = '2'", 2, kTooDeep + "116\n"},
      {"lib", kWhere + repeat("(", 10000), 2, kTooDeep + "56\n"},
      {"lib", "Select * from [../secret/private.csv]", 2,
       "jubo-sql: no table named '../secret/private.csv': the only table is jubodb.txt\n"},
      {"lib", "Select * from notes.csv", 2,
       "jubo-sql: no table named 'notes.csv': the only table is jubodb.txt\n"},
      {"nowhere", "Select * from jubodb.txt", 2,
       "jubo-sql: folder " + (dir.path() / "nowhere").string() + " not found\n"},
  };
  for (const Case& c : kCases) {
    const jubo_test::RunResult run =
        jubo_test::RunProgram(JUBO_SQL, {(dir.path() / c.folder).string(), c.query}, dir.path());
    EXPECT_EQ(run.status, c.status) << c.query;
    EXPECT_EQ(run.out + run.err, c.output) << c.query;
  }
}

}  // namespace
