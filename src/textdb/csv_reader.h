// Reading the library file's bytes as CSV rows. Nothing here throws or gives up on bad input:
// what cannot be read as written is reported as a note with its line number and the reading
// carries on.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace textdb {

// Something in the file that was not read as written; line 0 means the whole file.
struct LoadNote {
  int64_t line = 0;
  std::string message;
};

// Turns the file's bytes into UTF-8 text: drops a UTF-8 byte-order mark, converts UTF-16 that
// starts with a byte-order mark, and reads a file that is not valid UTF-8 as Windows-1252
// (adding a note that says so).
std::string DecodeText(std::string bytes, std::vector<LoadNote>* notes);

// Called once per row, header first, with the physical line the row starts on (1-based) and its
// fields. The views are valid only during the call.
using CsvRowFn = std::function<void(int64_t line, const std::vector<std::string_view>& fields)>;

// Parses CSV text: comma-separated, CR, LF or CRLF line ends, quoted fields holding commas, ""
// and line breaks, blank lines skipped, blanks around fields kept. A quote left open at the end
// of the file loses only the row it opened: that row is reported and reading resumes on the
// next line. NUL bytes are replaced by U+FFFD and reported.
void ParseCsv(std::string_view text, const CsvRowFn& on_row, std::vector<LoadNote>* notes);

}  // namespace textdb
