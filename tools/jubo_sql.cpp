// jubo-sql FOLDER "QUERY": runs one query of the library's dialect on FOLDER's jubodb.txt and
// prints the result as CSV (a header row of the column names, Null as an empty field). Users
// check their export with it; the tests drive the driver from outside with it.
//
// Exit status: 0 on success; 2 with a one-line message on a missing file, a refused library or
// a query error; 1 on wrong usage.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "library/library_connection.h"
#include "textdb/csv_writer.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: jubo-sql FOLDER \"QUERY\"\n");
    return 1;
  }
  library::LibraryState library;
  if (textdb::Status s = library::OpenLibrary(library, argv[1]); !s.ok()) {
    std::fprintf(stderr, "jubo-sql: %s\n", s.message().c_str());
    return 2;
  }
  textdb::Cursor cursor;
  if (textdb::Status s = cursor.Open(argv[2], library.LibraryConnection); !s.ok()) {
    std::fprintf(stderr, "jubo-sql: %s\n", s.message().c_str());
    return 2;
  }
  // Row by row, so a large result streams out instead of doubling in memory.
  std::string line;
  textdb::AppendCsvRow(&line, {cursor.Columns().begin(), cursor.Columns().end()});
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::vector<std::string_view> fields(cursor.Columns().size());
  for (cursor.MoveFirst(); !cursor.IsEOF(); cursor.MoveNext()) {
    for (size_t i = 0; i < fields.size(); ++i) fields[i] = cursor.FieldAt(i).value_or("");
    line.clear();
    textdb::AppendCsvRow(&line, fields);
    std::fwrite(line.data(), 1, line.size(), stdout);
  }
  return std::fflush(stdout) == 0 ? 0 : 2;
}
