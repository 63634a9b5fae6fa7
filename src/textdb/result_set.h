// The rows a query returned. Small results (Distinct lists) hold every value; a query over the
// table's rows holds only their row ids, in order, and reads a row's values from the table
// when they are asked for, so a million-song result costs eight bytes a row.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace textdb {

// Reads one table row's values by row id: some columns through a prepared statement, others
// from values held in memory. Must not outlive the connection and table it was made on.
class RowReader {
 public:
  // Where one column's values come from: column `column` of the statement's row, or, when
  // `ids` is set, (*values)[(*ids)[row id - 1] - 1], an id of 0 being Null.
  struct Source {
    int column = -1;
    const std::vector<uint32_t>* ids = nullptr;
    const std::vector<std::string>* values = nullptr;
  };

  using Values = std::vector<std::optional<std::string_view>>;

  // `stmt` (taken over; null when every column is in memory) reads a row by its id, ?1.
  // `scan_sql`, a statement of the same columns after the row id, reads the rows from id ?1 on
  // in row id order; it is prepared when first needed.
  RowReader(sqlite3_stmt* stmt, std::string scan_sql, std::vector<Source> sources)
      : stmt_(stmt),
        scan_sql_(std::move(scan_sql)),
        sources_(std::move(sources)),
        values_(sources_.size()) {}
  ~RowReader() {
    sqlite3_finalize(stmt_);
    sqlite3_finalize(scan_);
  }
  RowReader(const RowReader&) = delete;
  RowReader& operator=(const RowReader&) = delete;

  // The values of row `row_id`, column by column; nullopt for Null, for every column of a row
  // that is not there. Valid until the next call.
  const Values& Read(int64_t row_id);
  // Calls each(i, values of row ids[i]) for every i in turn; `ids` ascending. Rows close
  // together are read in one pass rather than looked up one by one. The values are valid
  // during the call only.
  void ReadAscending(std::span<const int64_t> ids,
                     const std::function<void(size_t, const Values&)>& each);

 private:
  bool Seek(int64_t row_id);  // scan_ on the first row from `row_id` on
  // values_ of row `row_id`, whose stored columns `stmt` rests on, from its column `first` on.
  void Fill(sqlite3_stmt* stmt, int first, int64_t row_id, bool found);

  sqlite3_stmt* stmt_;
  std::string scan_sql_;
  sqlite3_stmt* scan_ = nullptr;
  std::vector<Source> sources_;
  int64_t current_ = -1;
  Values values_;
};

class ResultSet {
 public:
  static constexpr uint32_t kNull = UINT32_MAX;

  std::vector<std::string> columns;  // result column names

  size_t row_count() const { return reader_ ? row_ids_.size() : count_; }

  // Value of row `row`, column `column` (both in range); nullopt for Null. The view is valid
  // until the next call.
  std::optional<std::string_view> Value(size_t row, size_t column) const;

  // Columns `columns` (each below columns.size()) of rows `rows` (each below row_count(), in
  // any order, repeats allowed) as a result of values of their own, whose row k is rows[k]:
  // the values Value gives, read in the table's order, so that many rows cost a pass over the
  // table rather than a lookup each.
  ResultSet Copy(std::span<const uint32_t> rows, std::span<const size_t> columns) const;

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
  Cell Keep(std::optional<std::string_view> value);  // the value put in the arena
  std::string arena_;
  std::vector<Cell> cells_;  // row-major
  size_t count_ = 0;
  std::vector<int64_t> row_ids_;
  std::unique_ptr<RowReader> reader_;
};

}  // namespace textdb
