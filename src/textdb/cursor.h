// A static, read-only cursor over one query's result, as the program's views use it: record
// count, move first / next / by n, end-of-file, value by column name, state and close.
// The count is exact from the start and moving is free; a row's values are read when asked
// for. A cursor must not outlive the connection it was opened on.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "textdb/connection.h"
#include "textdb/result_set.h"
#include "textdb/status.h"

namespace textdb {

class Cursor {
 public:
  static constexpr int kStateClosed = 0;
  static constexpr int kStateOpen = 1;

  // Runs `sql` on `connection` and positions on the first record. An open cursor is closed
  // first. On an error the cursor stays closed and empty (no records, at end-of-file) and the
  // error is returned.
  Status Open(std::string_view sql, Connection& connection);
  void Close();
  int State() const { return open_ ? kStateOpen : kStateClosed; }

  long RecordCount() const { return static_cast<long>(result_.row_count()); }
  void MoveFirst() { position_ = 0; }
  void MoveNext() { Move(1); }
  // Moves n records from the current one; past the last it rests at end-of-file, before the
  // first at beginning-of-file.
  void Move(long n);
  bool IsEOF() const { return position_ >= RecordCount(); }
  bool IsBOF() const { return position_ < 0 || RecordCount() == 0; }
  long Position() const { return position_; }  // 0-based current record

  // The current record's value of column `name` (any case); nullopt for Null, for an unknown
  // column, and at end- or beginning-of-file.
  std::optional<std::string_view> Field(std::string_view name) const;
  std::optional<std::string_view> FieldAt(size_t column) const;
  const std::vector<std::string>& Columns() const { return result_.columns; }
  // Where column `name` (any case) is in Columns(); nullopt when it is not there.
  std::optional<size_t> ColumnIndex(std::string_view name) const;

  // Many records at once, wherever the cursor is: columns `columns` (indexes into Columns()) of
  // `records` (0-based, each below RecordCount(), any order, repeats allowed), as a result whose
  // row k is records[k]. Far cheaper than moving to each record and reading its fields.
  ResultSet Copy(std::span<const uint32_t> records, std::span<const size_t> columns) const {
    return result_.Copy(records, columns);
  }

 private:
  ResultSet result_;
  long position_ = 0;
  bool open_ = false;
};

}  // namespace textdb
