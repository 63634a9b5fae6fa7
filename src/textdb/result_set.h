// The rows a query returned. Small results (Distinct lists) hold every value; a query over the
// table's rows holds only their row ids, in order, and reads a row's values from the table
// when they are asked for, so a million-song result costs eight bytes a row.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace textdb {

// Reads one table row's values by row id through a prepared statement. Must not outlive the
// connection it was made on.
class RowReader {
 public:
  RowReader(sqlite3_stmt* stmt, size_t columns) : stmt_(stmt), values_(columns) {}
  ~RowReader() { sqlite3_finalize(stmt_); }
  RowReader(const RowReader&) = delete;
  RowReader& operator=(const RowReader&) = delete;

  // The values of row `row_id`, column by column; nullopt for Null. Valid until the next call.
  const std::vector<std::optional<std::string>>& Read(int64_t row_id);

 private:
  sqlite3_stmt* stmt_;
  int64_t current_ = -1;
  std::vector<std::optional<std::string>> values_;
};

class ResultSet {
 public:
  static constexpr uint32_t kNull = UINT32_MAX;

  std::vector<std::string> columns;  // result column names

  size_t row_count() const { return reader_ ? row_ids_.size() : count_; }

  // Value of row `row`, column `column` (both in range); nullopt for Null. The view is valid
  // until the next call.
  std::optional<std::string_view> Value(size_t row, size_t column) const;

  // Filling a result of values: one row at a time, a value at a time.
  void AppendValue(std::optional<std::string_view> value);
  void EndRow() { ++count_; }
  // Filling a result of row ids, read later through `reader`.
  void SetRows(std::vector<int64_t> row_ids, std::unique_ptr<RowReader> reader) {
    row_ids_ = std::move(row_ids);
    reader_ = std::move(reader);
  }

 private:
  struct Cell {
    uint64_t offset;
    uint32_t length;  // kNull for Null
  };
  std::string arena_;
  std::vector<Cell> cells_;  // row-major
  size_t count_ = 0;
  std::vector<int64_t> row_ids_;
  std::unique_ptr<RowReader> reader_;
};

}  // namespace textdb
