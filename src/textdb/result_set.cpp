#include "textdb/result_set.h"

namespace textdb {

const std::vector<std::optional<std::string>>& RowReader::Read(int64_t row_id) {
  if (row_id == current_) return values_;
  current_ = row_id;
  sqlite3_reset(stmt_);
  sqlite3_bind_int64(stmt_, 1, row_id);
  bool found = sqlite3_step(stmt_) == SQLITE_ROW;
  for (size_t c = 0; c < values_.size(); ++c) {
    int i = static_cast<int>(c);
    if (!found || sqlite3_column_type(stmt_, i) == SQLITE_NULL) {
      values_[c].reset();
      continue;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
    values_[c].emplace(text, static_cast<size_t>(sqlite3_column_bytes(stmt_, i)));
  }
  return values_;
}

std::optional<std::string_view> ResultSet::Value(size_t row, size_t column) const {
  if (reader_) {
    const auto& values = reader_->Read(row_ids_[row]);
    if (!values[column]) return std::nullopt;
    return std::string_view(*values[column]);
  }
  const Cell& c = cells_[row * columns.size() + column];
  if (c.length == kNull) return std::nullopt;
  return std::string_view(arena_.data() + c.offset, c.length);
}

void ResultSet::AppendValue(std::optional<std::string_view> value) {
  if (!value) {
    cells_.push_back({0, kNull});
    return;
  }
  cells_.push_back({arena_.size(), static_cast<uint32_t>(value->size())});
  arena_.append(*value);
}

}  // namespace textdb
