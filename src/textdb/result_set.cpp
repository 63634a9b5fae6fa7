#include "textdb/result_set.h"

namespace textdb {

const std::vector<std::optional<std::string_view>>& RowReader::Read(int64_t row_id) {
  if (row_id == current_) return values_;
  current_ = row_id;
  bool found = row_id >= 1;
  if (stmt_ != nullptr) {
    // The statement's texts stay where they are until its next reset: no copy is made.
    sqlite3_reset(stmt_);
    sqlite3_bind_int64(stmt_, 1, row_id);
    found = sqlite3_step(stmt_) == SQLITE_ROW;
  }
  for (size_t c = 0; c < values_.size(); ++c) {
    const Source& source = sources_[c];
    values_[c].reset();
    if (!found) continue;
    if (source.ids != nullptr) {
      const auto row = static_cast<size_t>(row_id - 1);
      if (row < source.ids->size() && (*source.ids)[row] != 0) {
        values_[c] = (*source.values)[(*source.ids)[row] - 1];
      }
    } else if (sqlite3_column_type(stmt_, source.column) != SQLITE_NULL) {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, source.column));
      values_[c].emplace(text, static_cast<size_t>(sqlite3_column_bytes(stmt_, source.column)));
    }
  }
  return values_;
}

std::optional<std::string_view> ResultSet::Value(size_t row, size_t column) const {
  if (reader_) {
    return reader_->Read(row_ids_[row])[column];
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
