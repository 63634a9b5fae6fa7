#include "textdb/result_set.h"

#include <algorithm>
#include <utility>

namespace textdb {
namespace {

// Stepping over this many rows costs about what seeking a row anew does.
constexpr int64_t kMostStepped = 16;

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
    const int column = first + source.column;
    if (sqlite3_column_type(stmt, column) != SQLITE_NULL) {
      // The statement's texts stay where they are until it moves: no copy is made.
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
      values_[c].emplace(text, static_cast<size_t>(sqlite3_column_bytes(stmt, column)));
    }
  }
}

const RowReader::Values& RowReader::Read(int64_t row_id) {
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

void RowReader::ReadAscending(std::span<const int64_t> ids,
                              const std::function<void(size_t, const Values&)>& each) {
  current_ = -1;  // values_ will hold other rows
  if (stmt_ != nullptr && scan_ == nullptr &&
      sqlite3_prepare_v2(sqlite3_db_handle(stmt_), scan_sql_.c_str(), -1, &scan_, nullptr) !=
          SQLITE_OK) {
    // Cannot happen with the statement prepared already; read row by row all the same.
    for (size_t i = 0; i < ids.size(); ++i) each(i, Read(ids[i]));
    return;
  }
  bool on_row = false;
  for (size_t i = 0; i < ids.size(); ++i) {
    const int64_t id = ids[i];
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
    each(i, values_);
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

ResultSet::Cell ResultSet::Keep(std::optional<std::string_view> value) {
  if (!value) return {0, kNull};
  Cell cell{arena_.size(), static_cast<uint32_t>(value->size())};
  arena_.append(*value);
  return cell;
}

void ResultSet::AppendValue(std::optional<std::string_view> value) {
  cells_.push_back(Keep(value));
}

ResultSet ResultSet::Copy(std::span<const uint32_t> rows, std::span<const size_t> columns) const {
  ResultSet out;
  for (size_t column : columns) out.columns.push_back(this->columns[column]);
  out.count_ = rows.size();
  out.cells_.resize(rows.size() * columns.size());
  auto keep = [&](size_t k, const auto& value_of) {
    for (size_t c = 0; c < columns.size(); ++c) {
      out.cells_[k * columns.size() + c] = out.Keep(value_of(columns[c]));
    }
  };
  if (!reader_) {
    for (size_t k = 0; k < rows.size(); ++k) {
      keep(k, [&](size_t column) { return Value(rows[k], column); });
    }
    return out;
  }
  // The rows in the table's order, each remembering where it goes.
  std::vector<std::pair<int64_t, size_t>> order(rows.size());
  for (size_t k = 0; k < rows.size(); ++k) order[k] = {row_ids_[rows[k]], k};
  std::sort(order.begin(), order.end());
  std::vector<int64_t> ids(order.size());
  for (size_t i = 0; i < order.size(); ++i) ids[i] = order[i].first;
  reader_->ReadAscending(ids, [&](size_t i, const RowReader::Values& values) {
    keep(order[i].second, [&](size_t column) { return values[column]; });
  });
  return out;
}

}  // namespace textdb
