#include "textdb/cursor.h"

#include <strings.h>

namespace textdb {

Status Cursor::Open(std::string_view sql, Connection& connection) {
  Close();
  Status s = connection.Execute(sql, &result_);
  open_ = s.ok();
  position_ = 0;
  return s;
}

void Cursor::Close() {
  result_ = ResultSet();
  position_ = 0;
  open_ = false;
}

void Cursor::Move(long n) {
  long count = RecordCount();
  long target = position_ + n;
  position_ = target >= count ? count : target < 0 ? -1 : target;
}

std::optional<std::string_view> Cursor::FieldAt(size_t column) const {
  if (IsEOF() || position_ < 0 || column >= result_.columns.size()) return std::nullopt;
  return result_.Value(static_cast<size_t>(position_), column);
}

std::optional<size_t> Cursor::ColumnIndex(std::string_view name) const {
  for (size_t i = 0; i < result_.columns.size(); ++i) {
    const std::string& column = result_.columns[i];
    if (column.size() == name.size() && strncasecmp(column.data(), name.data(), name.size()) == 0) {
      return i;
    }
  }
  return std::nullopt;
}

std::optional<std::string_view> Cursor::Field(std::string_view name) const {
  std::optional<size_t> column = ColumnIndex(name);
  return column ? FieldAt(*column) : std::nullopt;
}

}  // namespace textdb
