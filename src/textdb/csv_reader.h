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

// The file's bytes as UTF-8 text: the bytes themselves (without a UTF-8 byte-order mark) when
// they are valid UTF-8; otherwise a conversion stored in *converted: UTF-16 that starts with a
// byte-order mark, or Windows-1252 for anything else (with a note that says so). The result
// views `bytes` or *converted.
std::string_view DecodeText(std::string_view bytes, std::string* converted,
                            std::vector<LoadNote>* notes);

// One row as read: the physical line it starts on (1-based), the bytes it spans in the text
// ([begin, end), line ends included) and its fields. The fields are valid only during the
// call that receives the row.
struct CsvRow {
  int64_t line;
  size_t begin;
  size_t end;
  const std::vector<std::string_view>& fields;
};
using CsvRowFn = std::function<void(const CsvRow& row)>;

// Parses CSV text: comma-separated, CR, LF or CRLF line ends, quoted fields holding commas, ""
// and line breaks, blank lines skipped, blanks around fields kept. A field is quoted only when
// it starts with a quote that closes well formed (followed by a comma or the line's end); any
// other quote is text, and a field whose opening quote never closes that way is read as written
// up to the next comma (`"Heroes" (2017 Remaster)`, `12" Mix`). The first row sets the width:
// a quoted field runs over line breaks only in a later row of exactly that many fields, and
// never past or into a line that is a row of that width by itself, so a stray quote costs at
// most its own line. A line with a quote that opens a field and never closes, and a line with a NUL
// byte (replaced by U+FFFD), is reported as a note. Time is linear in the text's size.
void ParseCsv(std::string_view text, const CsvRowFn& on_row, std::vector<LoadNote>* notes);

}  // namespace textdb
