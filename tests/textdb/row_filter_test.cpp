// The conditions that memory answers must select the rows that SQLite selects. A condition
// joined with one that only SQLite can decide (two columns compared) is evaluated by SQLite
// alone, so each random condition is run both ways on a library of Nulls, case and accent
// variants, and the two must agree row for row.
#include <gtest/gtest.h>

#include <random>

#include "support/temp_dir.h"
#include "textdb/connection.h"
#include "textdb/cursor.h"

namespace textdb {
namespace {

const std::vector<std::string> kValues[] = {
    {"", "Blue", "blue", "Bleu", "Élan", "Elan", "10 Rivers", "[Live]", "O'Dara"},  // Album
    {"", "Ana", "ana", "Bob", "Zed", "Ölsen"},                                      // Artist
    {"", "Jazz", "jazz", "Rock", "Blues"},                                          // Genre
    {"", "Slow", "Fast", "Medium"},                                                 // Tempo
    {"", "1", "01", "2", "10", "3/12", "Bonus"},                                    // Track
};
const char* const kColumns[] = {"Album", "Artist", "Genre", "Tempo", "Track"};

std::vector<std::string> Titles(Connection& c, const std::string& where) {
  Cursor cursor;
  EXPECT_TRUE(cursor.Open("Select Title from jubodb.txt where " + where, c).ok()) << where;
  std::vector<std::string> titles;
  for (; !cursor.IsEOF(); cursor.MoveNext()) titles.emplace_back(*cursor.Field("Title"));
  return titles;
}

TEST(RowFilterTest, MemoryAndSqliteSelectTheSameRows) {
  std::mt19937 random(42);
  auto pick = [&](const std::vector<std::string>& from) { return from[random() % from.size()]; };
  std::string csv = "Album,Artist,Genre,Tempo,Track,Title,Filename\n";
  for (int row = 0; row < 300; ++row) {
    for (const auto& values : kValues) csv += pick(values) + ",";
    csv += "t" + std::to_string(row) + ",/m/" + std::to_string(row % 250) + ".ogg\n";
  }
  jubo_test::TempDir dir;
  dir.Write("jubodb.txt", csv);
  Connection c;
  ASSERT_TRUE(c.Open("DBQ=" + dir.path().string() + ";").ok());

  const char* const kOperators[] = {"=", "<>", "<", ">", "<=", ">="};
  const char* const kPatterns[] = {"[Bb]%", "%a%", "[!a-zA-Z]%", "_l%"};
  // A condition of `depth` levels of And, Or and Not over one column's comparisons.
  std::function<std::string(int)> condition = [&](int depth) -> std::string {
    const size_t k = random() % std::size(kColumns);
    std::string literal = pick(kValues[k]) + (random() % 4 == 0 ? "x" : "");
    for (size_t at = 0; (at = literal.find('\'', at)) != std::string::npos; at += 2) {
      literal.insert(at, "'");
    }
    switch (depth > 0 ? random() % 6 : 3 + random() % 3) {
      case 0:
        return "(" + condition(depth - 1) + " and " + condition(depth - 1) + ")";
      case 1:
        return "(" + condition(depth - 1) + " or " + condition(depth - 1) + ")";
      case 2:
        return "not (" + condition(depth - 1) + ")";
      case 3:
        return std::string(kColumns[k]) + " " + kOperators[random() % 6] + " '" + literal + "'";
      case 4:
        return std::string(kColumns[k]) + (random() % 2 ? " Not" : "") + " Like '" +
               kPatterns[random() % std::size(kPatterns)] + "'";
      default:
        return random() % 2
                   ? "Filename = '/m/" + std::to_string(random() % 260) + ".ogg'"
                   : std::string(kColumns[k]) + (random() % 2 ? " Is Null" : " Is Not Null");
    }
  };
  for (int i = 0; i < 300; ++i) {
    const std::string where = condition(static_cast<int>(random() % 4));
    EXPECT_EQ(Titles(c, where), Titles(c, "(" + where + ") and Title = Title")) << where;
  }
}

}  // namespace
}  // namespace textdb
