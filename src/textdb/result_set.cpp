#include "textdb/result_set.h"

#include <algorithm>
#include <utility>

namespace textdb {
namespace {

// Stepping over this many rows costs about what seeking a row anew does (the statement reads
// every row it passes).
constexpr int64_t kMostStepped = 4;

}  // namespace

bool RowReader::Seek(int64_t row_id) {
  sqlite3_reset(scan_);
  sqlite3_bind_int64(scan_, 1, row_id);
  return sqlite3_step(scan_) == SQLITE_ROW;
}

void RowReader::Fill(sqlite3_stmt* stmt, int first, int64_t row_id, bool found) {
  for (size_t c = 0; c < values_.size(); ++c) {
    const Source& source = sources_[c];
    values_[c].reset();
    if (!found) continue;
    if (source.ids != nullptr) {
      const auto row = static_cast<size_t>(row_id - 1);
      if (row < source.ids->size() && (*source.ids)[row] != 0) {
        values_[c] = (*source.values)[(*source.ids)[row] - 1];
      }
      continue;
    }
    // The statement's texts stay where they are until it moves: no copy is made. Null has none.
    const int column = first + source.column;
    if (const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column))) {
      values_[c].emplace(text, static_cast<size_t>(sqlite3_column_bytes(stmt, column)));
    }
  }
}

const RowValues& RowReader::Read(int64_t row_id) {
  if (row_id == current_) return values_;
  current_ = row_id;
  bool found = row_id >= 1;
  if (stmt_ != nullptr) {
    sqlite3_reset(stmt_);
    sqlite3_bind_int64(stmt_, 1, row_id);
    found = sqlite3_step(stmt_) == SQLITE_ROW;
  }
  Fill(stmt_, 0, row_id, found);
  return values_;
}

void RowReader::ReadAscending(std::span<const uint64_t> keys,
                              const std::function<void(size_t, const RowValues&)>& each) {
  current_ = -1;  // values_ will hold other rows
  if (stmt_ != nullptr && scan_ == nullptr &&
      sqlite3_prepare_v2(sqlite3_db_handle(stmt_), scan_sql_.c_str(), -1, &scan_, nullptr) !=
          SQLITE_OK) {
    // Cannot happen with the statement prepared already; read row by row all the same.
    for (uint64_t key : keys) each(key & 0xffffffff, Read(static_cast<int64_t>(key >> 32)));
    return;
  }
  bool on_row = false;
  for (uint64_t key : keys) {
    const auto id = static_cast<int64_t>(key >> 32);
    bool found = id >= 1;
    if (scan_ != nullptr) {
      const int64_t at = on_row ? sqlite3_column_int64(scan_, 0) : 0;
      if (!on_row || id < at || id - at > kMostStepped) on_row = Seek(id);
      while (on_row && sqlite3_column_int64(scan_, 0) < id) {
        on_row = sqlite3_step(scan_) == SQLITE_ROW;
      }
      found = on_row && sqlite3_column_int64(scan_, 0) == id;
    }
    Fill(scan_, 1, id, found);
    each(key & 0xffffffff, values_);
  }
  current_ = -1;
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

void ResultSet::ReadRows(std::span<const uint32_t> rows,
                         const std::function<void(size_t, const RowValues&)>& each) const {
  if (!reader_) {
    RowValues values(columns.size());
    for (size_t k = 0; k < rows.size(); ++k) {
      for (size_t c = 0; c < values.size(); ++c) values[c] = Value(rows[k], c);
      each(k, values);
    }
    return;
  }
  // The rows in the table's order, each remembering its k: row ids and k both fit 32 bits.
  std::vector<uint64_t> keys(rows.size());
  for (size_t k = 0; k < rows.size(); ++k) {
    keys[k] = static_cast<uint64_t>(row_ids_[rows[k]]) << 32 | k;
  }
  std::sort(keys.begin(), keys.end());
  reader_->ReadAscending(keys, each);
}

}  // namespace textdb
