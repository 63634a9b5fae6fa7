// jubo-sql from outside, as a user checking an export runs it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace {

struct Output {
  int status;
  std::string out;
};

Output JuboSql(const std::string& folder, const std::string& query) {
  std::string command = std::string(JUBO_SQL) + " '" + folder + "' \"" + query + "\" 2>&1";
  FILE* p = popen(command.c_str(), "r");
  Output run{-1, ""};
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, p)) > 0) run.out.append(buffer, n);
  int status = pclose(p);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

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
  const std::string folder = (dir.path() / "lib").string();
  auto repeat = [](std::string_view text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
  };
  struct Case {
    std::string query;
    int status;
    std::string out;
  };
  const Case kCases[] = {
      {"Select Album, Title, Genre from jubodb.txt where Artist = 'O''Dara' Order by Track ASC", 0,
       "Album,Title,Genre\nSongs,Intro,\n\"Songs, Vol. 2\",\"The \"\"Long\"\" Road\",Jazz\n"},
      {"Select Distinct Genre from jubodb.txt Order by Genre ASC", 0, "Genre\n\nJazz\n"},
      {"Select Title from jubodb.txt where Album = 'None'", 0, "Title\n"},
      {"Select Nothing from jubodb.txt", 2, "jubo-sql: unknown column 'Nothing'\n"},
      {"Drop table jubodb.txt", 2, "jubo-sql: expected Select but found 'Drop' at character 1\n"},
      // As deep as a condition may nest, in the shape that costs the engine most.
      {"Select Distinct Album from [JUBODB.TXT] where " + repeat("(Artist = 'x' or ", 20) +
           "Track = '2'" + repeat(")", 20),
       0, "Album\nSongs\n"},
      {"Select * from [../secret/private.csv]", 2,
       "jubo-sql: no table named '../secret/private.csv': the only table is jubodb.txt\n"},
      {"Select * from notes.csv", 2,
       "jubo-sql: no table named 'notes.csv': the only table is jubodb.txt\n"},
      {"Select Title from jubodb.txt where " + repeat("not ", 20000) + "Track = '2'", 2,
       "jubo-sql: the condition nests deeper than 20 levels of parentheses and Not at character "
       "116\n"},
  };
  for (const Case& c : kCases) {
    Output run = JuboSql(folder, c.query);
    EXPECT_EQ(run.status, c.status) << c.query;
    EXPECT_EQ(run.out, c.out) << c.query;
  }

  Output missing = JuboSql(folder + "/nowhere", "Select * from jubodb.txt");
  EXPECT_EQ(missing.status, 2);
  dir.Write("lib/jubodb.txt", "Title,Filename\nT,/f\n");
  Output refused = JuboSql(folder, "Select * from jubodb.txt");
  EXPECT_EQ(refused.status, 2);
  EXPECT_EQ(refused.out,
            "jubo-sql: jubodb.txt has no column Album, Artist (its first line must name the "
            "columns Album, Artist, Title and Filename)\n");
}

}  // namespace
