#include "textdb/csv_reader.h"

#include <gtest/gtest.h>

namespace textdb {
namespace {

using Rows = std::vector<std::pair<int64_t, std::vector<std::string>>>;

// Each case's rows (line, fields) and the lines its notes speak of.
TEST(CsvReaderTest, ReadsRowsWithTheLineTheyStartOnAndTaggersQuotesAsText) {
  struct Case {
    std::string_view name, text;
    Rows rows;
    std::vector<int64_t> note_lines;
  };
  const Case kCases[] = {
      {"blank lines skipped", "a\n\n\nb\n", {{1, {"a"}}, {4, {"b"}}}, {}},
      {"quote open at the end is read as written",
       "h\n\"open\nb\nc\n",
       {{1, {"h"}}, {2, {"\"open"}}, {3, {"b"}}, {4, {"c"}}},
       {2}},
      {"NUL replaced", std::string_view("a\0b\n", 4), {{1, {"a\uFFFDb"}}}, {1}},
      // Taggers write quotes inside unquoted fields; such a row reads whole, its text as
      // written, and a quote reaches into the next line only when the field it opens closes
      // well formed there.
      {"a quoted word starts the field",
       "T,L,N\nHeroes,\"Heroes\" (2017 Remaster),3\nLow,Low,1\n",
       {{1, {"T", "L", "N"}},
        {2, {"Heroes", "\"Heroes\" (2017 Remaster)", "3"}},
        {3, {"Low", "Low", "1"}}},
       {}},
      {"a quote inside the field",
       "T,L\nBlue Monday,Blue Monday 12\" Single\nSay \"hi\" now,x\n",
       {{1, {"T", "L"}},
        {2, {"Blue Monday", "Blue Monday 12\" Single"}},
        {3, {"Say \"hi\" now", "x"}}},
       {}},
      {"a quote opening a field that closes mid-line on the next line",
       "T,L\n\"open,x\ny\" z,w\nnext,row\n",
       {{1, {"T", "L"}}, {2, {"\"open", "x"}}, {3, {"y\" z", "w"}}, {4, {"next", "row"}}},
       {2}},
      // A field over several lines is read as RFC 4180 says whenever its row has the header's
      // width, whatever its lines would be alone.
      {"a field over lines that hold a whole row",
       "T,L\n\"open\nfull,row\nend\",x\n",
       {{1, {"T", "L"}}, {2, {"open\nfull,row\nend", "x"}}},
       {}},
      {"the header never spans lines", "\"a\nb\",c\n", {{1, {"\"a"}}, {2, {"b\"", "c"}}}, {1}},
      {"bare quotes inside outer quotes",
       "T,L\n\"The \"Long\" Road\",\"a\"\"b\"c\"\n",
       {{1, {"T", "L"}}, {2, {"The \"Long\" Road", "a\"b\"c"}}},
       {}},
      {"a close that would make a row of another width",
       "T,L\na,\"open\nb\",c,d\n",
       {{1, {"T", "L"}}, {2, {"a", "\"open"}}, {3, {"b\"", "c", "d"}}},
       {2}},
      {"a well-formed field over two lines",
       "T,L\na,\"two\r\nlines\"\nb,c\n",
       {{1, {"T", "L"}}, {2, {"a", "two\r\nlines"}}, {4, {"b", "c"}}},
       {}},
  };
  for (const Case& c : kCases) {
    Rows rows;
    std::vector<LoadNote> notes;
    ParseCsv(
        c.text,
        [&](const CsvRow& r) {
          rows.emplace_back(r.line, std::vector<std::string>(r.fields.begin(), r.fields.end()));
        },
        &notes);
    EXPECT_EQ(rows, c.rows) << c.name;
    std::vector<int64_t> lines;
    for (const LoadNote& n : notes) lines.push_back(n.line);
    EXPECT_EQ(lines, c.note_lines) << c.name;
  }
}

TEST(CsvReaderTest, DecodesTheCharsetsTaggersWrite) {
  struct Case {
    std::string_view name;
    std::string bytes;
    std::string_view text;
    bool noted;
  };
  const Case kCases[] = {
      {"UTF-8", "\xC3\x89lan", "Élan", false},
      {"UTF-8 with BOM", "\xEF\xBB\xBF\xC3\x89lan", "Élan", false},
      {"Windows-1252", "\xC9lan \x93quoted\x94 \x80", "Élan “quoted” €", true},
      {"UTF-16LE with BOM", std::string("\xFF\xFE\xC9\x00l\x00", 6), "Él", false},
      {"UTF-16BE with BOM", std::string("\xFE\xFF\x00\xC9\x00l", 6), "Él", false},
      {"overlong UTF-8 is not UTF-8", "\xC0\xAF", "À¯", true},
  };
  for (const Case& c : kCases) {
    std::vector<LoadNote> notes;
    std::string converted;
    EXPECT_EQ(DecodeText(c.bytes, &converted, &notes), c.text) << c.name;
    EXPECT_EQ(!notes.empty(), c.noted) << c.name;
  }
}

}  // namespace
}  // namespace textdb
