// jubo-sql FOLDER "QUERY": runs one query of the library's dialect on FOLDER's jubodb.txt and
// prints the result as CSV (a header row of the column names, Null as an empty field). Users
// check their export with it; the tests drive the driver from outside with it.
//
// Exit status: 0 on success; 2 with a one-line message on a missing file, a refused library or
// a query error; 1 on wrong usage.
#include <cstdio>
#include <string>
#include <string_view>

#include "library/library_connection.h"

namespace {

void WriteField(std::string_view value) {
  bool quote = value.find_first_of(",\"\r\n") != std::string_view::npos ||
               (!value.empty() && (value.front() == ' ' || value.back() == ' '));
  if (!quote) {
    std::fwrite(value.data(), 1, value.size(), stdout);
    return;
  }
  std::fputc('"', stdout);
  for (char c : value) {
    if (c == '"') std::fputc('"', stdout);
    std::fputc(c, stdout);
  }
  std::fputc('"', stdout);
}

}  // namespace

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
  const auto& columns = cursor.Columns();
  for (size_t i = 0; i < columns.size(); ++i) {
    if (i > 0) std::fputc(',', stdout);
    WriteField(columns[i]);
  }
  std::fputc('\n', stdout);
  for (cursor.MoveFirst(); !cursor.IsEOF(); cursor.MoveNext()) {
    for (size_t i = 0; i < columns.size(); ++i) {
      if (i > 0) std::fputc(',', stdout);
      if (auto value = cursor.FieldAt(i)) WriteField(*value);
    }
    std::fputc('\n', stdout);
  }
  return std::fflush(stdout) == 0 ? 0 : 2;
}
