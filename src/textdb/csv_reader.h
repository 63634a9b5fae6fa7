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

// Parses CSV text: comma-separated, CR, LF or CRLF line ends, blank lines skipped, blanks around
// fields kept. The first row, the header, sets the width; it never spans lines (a column name
// holds no line break, and a stray quote there must not swallow the library).
//
// Each row is read the standard way first (RFC 4180): a field that starts with a quote runs over
// commas and line breaks up to a quote that is not one of a doubled pair ("" stands for "), and
// that quote must be followed by a comma, a line end or the end of the text; a quote inside an
// unquoted field is text. The reading fails when a closing quote is followed by anything else,
// or when a quoted field never closes. It is taken when it does not fail and the row lies on one
// line or has exactly the header's width: every record of RFC 4180 has the same number of fields,
// and that is what tells a field over several lines from a tagger's stray quote that finds a close
// lines later. So valid RFC 4180 always reads as RFC 4180 says, and the quirks below never change a
// row it reads well.
//
// Otherwise the row is its first line, read the taggers' way: a field whose quote closes well on
// the line is quoted as usual; a field that starts and ends with a quote at the next comma and
// holds bare quotes is what its outer quotes hold (`"The "Long" Road"`, as sqlite3 reads it);
// any other field starting with a quote is read as written up to the next comma
// (`"Heroes" (2017 Remaster)`), and reported as a note when its quote never closes on the line
// (an unterminated quote). A line with a NUL byte (replaced by U+FFFD) is reported too.
// Time is linear in the text's size: past a row's first line, each field that runs over line
// breaks is read once to count its row's fields, and once more if the row is taken.
void ParseCsv(std::string_view text, const CsvRowFn& on_row, std::vector<LoadNote>* notes);

}  // namespace textdb
