#include "textdb/csv_writer.h"

#include <gtest/gtest.h>

#include "textdb/csv_reader.h"

namespace textdb {
namespace {

TEST(CsvWriterTest, WhatIsWrittenReadsBackTheSame) {
  const std::vector<std::vector<std::string_view>> kRows = {
      {"plain", "O'Dara", "Élan"},
      {"a, comma", "say \"hi\"", "two\nlines"},
      {" leading", "trailing\t", "\r"},
      {"", "x", ""},
  };
  std::string text;
  for (const auto& row : kRows) AppendCsvRow(&text, row);
  std::vector<std::vector<std::string>> read;
  std::vector<LoadNote> notes;
  ParseCsv(
      text, [&](const CsvRow& row) { read.emplace_back(row.fields.begin(), row.fields.end()); },
      &notes);
  ASSERT_EQ(read.size(), kRows.size()) << text;
  for (size_t i = 0; i < kRows.size(); ++i) {
    EXPECT_EQ(read[i], std::vector<std::string>(kRows[i].begin(), kRows[i].end())) << text;
  }
  EXPECT_TRUE(notes.empty());
}

}  // namespace
}  // namespace textdb
