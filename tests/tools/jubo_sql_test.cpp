// jubo-sql from outside, as a user checking an export runs it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
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
  dir.Write("jubodb.txt",
            "Album,Artist,Title,Track,Filename,Genre\n"
            "\"Songs, Vol. 2\",O'Dara,\"The \"\"Long\"\" Road\",10,/m/a.ogg,Jazz\n"
            "Songs,O'Dara,Intro,2,/m/b.ogg,\n");
  const std::string folder = dir.path().string();
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
  };
  for (const Case& c : kCases) {
    Output run = JuboSql(folder, c.query);
    EXPECT_EQ(run.status, c.status) << c.query;
    EXPECT_EQ(run.out, c.out) << c.query;
  }

  Output missing = JuboSql(folder + "/nowhere", "Select * from jubodb.txt");
  EXPECT_EQ(missing.status, 2);
  dir.Write("jubodb.txt", "Title,Filename\nT,/f\n");
  Output refused = JuboSql(folder, "Select * from jubodb.txt");
  EXPECT_EQ(refused.status, 2);
  EXPECT_EQ(refused.out,
            "jubo-sql: jubodb.txt has no column Album, Artist (its first line must name the "
            "columns Album, Artist, Title and Filename)\n");
}

}  // namespace
