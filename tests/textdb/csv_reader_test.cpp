#include "textdb/csv_reader.h"

#include <gtest/gtest.h>

namespace textdb {
namespace {

struct Parsed {
  std::vector<std::pair<int64_t, std::vector<std::string>>> rows;  // line, fields
  std::vector<LoadNote> notes;
};

Parsed Parse(std::string_view text) {
  Parsed p;
  CsvRowReader reader;  // one for every row, as the loader uses it
  ParseCsv(
      text,
      [&](const CsvRow& row) {
        p.rows.emplace_back(row.line,
                            std::vector<std::string>(row.fields.begin(), row.fields.end()));
        // Each row read again from its span gives the same fields.
        const auto& again = reader.Read(text.substr(row.begin, row.end - row.begin));
        EXPECT_EQ(std::vector<std::string>(again.begin(), again.end()), p.rows.back().second);
      },
      &p.notes);
  return p;
}

using Rows = std::vector<std::pair<int64_t, std::vector<std::string>>>;

TEST(CsvReaderTest, ReadsRowsWithTheLineTheyStartOn) {
  struct Case {
    std::string_view name;
    std::string_view text;
    Rows rows;
    std::vector<int64_t> note_lines;
  };
  const Case kCases[] = {
      {"LF", "a,b\n1,2\n", {{1, {"a", "b"}}, {2, {"1", "2"}}}, {}},
      {"CRLF, no final newline", "a,b\r\n1,2", {{1, {"a", "b"}}, {2, {"1", "2"}}}, {}},
      {"blank lines skipped", "a\n\n\nb\n", {{1, {"a"}}, {4, {"b"}}}, {}},
      {"blanks around fields kept", " a , b\n", {{1, {" a ", " b"}}}, {}},
      {"quoted comma, quote and line break",
       "x,\"1,2\"\n\"say \"\"hi\"\"\",\"two\nlines\"\nnext\n",
       {{1, {"x", "1,2"}}, {2, {"say \"hi\"", "two\nlines"}}, {4, {"next"}}},
       {}},
      {"empty fields", ",,\n", {{1, {"", "", ""}}}, {}},
      {"quote open at the end loses only its row",
       "h\n\"open\nb\nc\n",
       {{1, {"h"}}, {3, {"b"}}, {4, {"c"}}},
       {2}},
      {"two open quotes", "h\n\"x\n\"y\nz\n", {{1, {"h"}}, {4, {"z"}}}, {2, 3}},
      {"NUL replaced",
       std::string_view("a\0b\n", 4),
       {{1,
         {"a\xEF\xBF\xBD"
          "b"}}},
       {1}},
  };
  for (const Case& c : kCases) {
    Parsed p = Parse(c.text);
    EXPECT_EQ(p.rows, c.rows) << c.name;
    std::vector<int64_t> lines;
    for (const LoadNote& n : p.notes) lines.push_back(n.line);
    EXPECT_EQ(lines, c.note_lines) << c.name;
  }
}

TEST(CsvReaderTest, OpenQuotesCannotMakeReadingQuadratic) {
  // Every line opens a quote that never closes: each restart costs the rest of the file, so
  // the reader must stop restarting at some point and still finish.
  std::string text = "h\n";
  for (int i = 0; i < 20000; ++i) text += "\"x\n";
  Parsed p = Parse(text);
  EXPECT_FALSE(p.notes.empty());
  EXPECT_GE(p.rows.size(), 1u);
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

namespace textdb {
namespace {

// Lines without quotes are split without libcsv; they must come out as libcsv gives them. The
// same line with its first field quoted goes through libcsv, and must read the same.
TEST(CsvReaderTest, PlainLinesReadAsLibcsvReadsThem) {
  const std::string_view kLines[] = {"a,b,c\n", " a , b ,c \r\n",  ",,\n",    "x,\r",
                                     "solo",    "tab\there,end\n", "é,ü,ß\n", "a,,b,\n"};
  for (std::string_view line : kLines) {
    std::vector<std::vector<std::string>> plain, quoted;
    std::vector<LoadNote> notes;
    ParseCsv(
        line, [&](const CsvRow& r) { plain.emplace_back(r.fields.begin(), r.fields.end()); },
        &notes);
    const std::string forced = "\"" + std::string(line.substr(0, line.find(','))) + "\"" +
                               std::string(line.substr(std::min(line.find(','), line.size())));
    ParseCsv(
        forced, [&](const CsvRow& r) { quoted.emplace_back(r.fields.begin(), r.fields.end()); },
        &notes);
    EXPECT_EQ(plain, quoted) << "'" << line << "'";
  }
}

}  // namespace
}  // namespace textdb
