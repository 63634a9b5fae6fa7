#include "textdb/table.h"

#include <strings.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <unordered_map>

#include "textdb/collation.h"

namespace textdb {
namespace {

const char* const kRequiredColumns[] = {"Album", "Artist", "Title", "Filename"};
const char* const kOptionalColumns[] = {"Genre", "Tempo", "Track"};
const char* const kRankedColumns[] = {"Album", "Artist", "Genre", "Tempo", "Track"};

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

Status ReadFile(const std::string& path, const std::string& name, std::string* bytes) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) {
    if (errno == ENOENT || errno == ENOTDIR) {
      return Status::Error(ErrorCode::kNotFound, name + " not found (looked for " + path + ")");
    }
    return Status::Error(ErrorCode::kRefused, "cannot read " + path + ": " + std::strerror(errno));
  }
  char buffer[1 << 16];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes->append(buffer, n);
  bool failed = std::ferror(f) != 0;
  int error = errno;
  std::fclose(f);
  if (failed) {
    return Status::Error(ErrorCode::kRefused, "cannot read " + path + ": " + std::strerror(error));
  }
  return Status::Ok();
}

// The rows as read, before they go into SQLite: every field's text in one arena, so a million
// songs cost a handful of allocations.
struct RowStore {
  static constexpr uint32_t kNull = UINT32_MAX;
  struct Cell {
    uint32_t offset;
    uint32_t length;  // kNull for Null
  };
  std::string arena;
  std::vector<Cell> cells;  // row-major, `width` cells a row
  size_t width = 0;

  std::string_view Text(const Cell& c) const { return {arena.data() + c.offset, c.length}; }
};

class SqliteStatement {
 public:
  SqliteStatement(sqlite3* db, const std::string& sql) {
    sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt_, nullptr);
  }
  ~SqliteStatement() { sqlite3_finalize(stmt_); }
  sqlite3_stmt* get() const { return stmt_; }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

Status Exec(sqlite3* db, const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    std::string message = error != nullptr ? error : "unknown SQLite error";
    sqlite3_free(error);
    return Status::Error(ErrorCode::kRefused, "cannot store the library: " + message);
  }
  return Status::Ok();
}

}  // namespace

Status Table::Load(sqlite3* db, const std::string& path, const std::string& name,
                   std::unique_ptr<Table>* out, std::vector<LoadNote>* notes) {
  std::string bytes;
  if (Status s = ReadFile(path, name, &bytes); !s.ok()) return s;
  if (bytes.size() >= RowStore::kNull) {
    return Status::Error(ErrorCode::kRefused, path + " is larger than 4 GB");
  }
  std::string text = DecodeText(std::move(bytes), notes);

  auto table = std::make_unique<Table>();
  table->name_ = name;
  RowStore store;
  bool have_header = false;
  size_t file_columns = 0;
  ParseCsv(
      text,
      [&](int64_t line, const std::vector<std::string_view>& fields) {
        if (!have_header) {
          have_header = true;
          file_columns = fields.size();
          for (size_t i = 0; i < fields.size(); ++i) {
            std::string column_name(Trim(fields[i]));
            bool duplicate = std::any_of(table->columns_.begin(), table->columns_.end(),
                                         [&](const Column& c) { return SameName(c.name, column_name); });
            if (column_name.empty() || duplicate) column_name = "F" + std::to_string(i + 1);
            table->columns_.push_back({column_name, "c" + std::to_string(i)});
          }
          return;
        }
        if (fields.size() > file_columns) {
          notes->push_back({line, std::to_string(fields.size()) + " fields where the header has " +
                                      std::to_string(file_columns) +
                                      "; the extra fields are ignored"});
        }
        for (size_t i = 0; i < file_columns; ++i) {
          if (i < fields.size() && !fields[i].empty()) {
            store.cells.push_back({static_cast<uint32_t>(store.arena.size()),
                                   static_cast<uint32_t>(fields[i].size())});
            store.arena.append(fields[i]);
          } else {
            store.cells.push_back({0, RowStore::kNull});
          }
        }
      },
      notes);
  text = std::string();
  store.width = file_columns;
  size_t rows = file_columns == 0 ? 0 : store.cells.size() / file_columns;

  std::string missing;
  for (const char* required : kRequiredColumns) {
    if (table->Find(required) == nullptr) missing += (missing.empty() ? "" : ", ") + std::string(required);
  }
  if (!missing.empty()) {
    return Status::Error(ErrorCode::kRefused,
                         name + " has no column " + missing + " (its first line must name the " +
                             "columns Album, Artist, Title and Filename)");
  }
  // Columns the file lacks are there all the same, every value Null.
  for (const char* optional : kOptionalColumns) {
    if (table->Find(optional) == nullptr) {
      table->columns_.push_back({optional, "c" + std::to_string(table->columns_.size())});
    }
  }
  for (Column& c : table->columns_) {
    if (SameName(c.name, "Filename")) c.order = Order::kExact;
    if (SameName(c.name, "Track")) c.order = Order::kTrack;
  }

  // Rank every distinct value of the ranked columns by its sort key.
  std::vector<std::vector<int64_t>> row_ranks;  // per ranked column, per row; 0 for Null
  for (const char* ranked : kRankedColumns) {
    Column& column = table->columns_[table->Find(ranked) - table->columns_.data()];
    column.rank = static_cast<int>(table->ranks_.size());
    Ranks& ranks = table->ranks_.emplace_back();
    ranks.sql = "r" + std::to_string(column.rank);
    size_t index = static_cast<size_t>(&column - table->columns_.data());

    std::unordered_map<std::string_view, uint32_t> ids;
    std::vector<uint32_t> row_ids(rows, RowStore::kNull);
    if (index < file_columns) {
      for (size_t r = 0; r < rows; ++r) {
        const RowStore::Cell& cell = store.cells[r * file_columns + index];
        if (cell.length == RowStore::kNull) continue;
        auto [it, added] = ids.try_emplace(store.Text(cell), static_cast<uint32_t>(ids.size()));
        row_ids[r] = it->second;
      }
    }
    std::vector<std::string> keys(ids.size());
    for (const auto& [value, id] : ids) {
      keys[id] = column.order == Order::kTrack ? TrackKey(value) : CollationKey(value);
    }
    std::vector<uint32_t> by_key(ids.size());
    for (uint32_t i = 0; i < by_key.size(); ++i) by_key[i] = i;
    std::sort(by_key.begin(), by_key.end(), [&](uint32_t a, uint32_t b) { return keys[a] < keys[b]; });
    std::vector<int64_t> rank_of_id(ids.size());
    for (uint32_t id : by_key) {
      if (ranks.sorted_keys.empty() || ranks.sorted_keys.back() != keys[id]) {
        ranks.sorted_keys.push_back(std::move(keys[id]));
      }
      rank_of_id[id] = 2 * static_cast<int64_t>(ranks.sorted_keys.size());
    }
    std::vector<int64_t>& ranks_of_rows = row_ranks.emplace_back(rows, 0);
    for (size_t r = 0; r < rows; ++r) {
      if (row_ids[r] != RowStore::kNull) ranks_of_rows[r] = rank_of_id[row_ids[r]];
    }
  }

  std::string create = "CREATE TABLE " + QuoteName(name) + "(";
  for (const Column& c : table->columns_) create += c.sql + ",";
  for (const Ranks& r : table->ranks_) create += r.sql + " INTEGER,";
  create.back() = ')';
  if (Status s = Exec(db, create); !s.ok()) return s;
  if (Status s = Exec(db, "BEGIN"); !s.ok()) return s;
  {
    std::string insert = "INSERT INTO " + QuoteName(name) + " VALUES(";
    for (size_t i = 0; i < table->columns_.size() + table->ranks_.size(); ++i) insert += "?,";
    insert.back() = ')';
    SqliteStatement stmt(db, insert);
    if (stmt.get() == nullptr) {
      return Status::Error(ErrorCode::kRefused, std::string("cannot store the library: ") +
                                                    sqlite3_errmsg(db));
    }
    const int text_columns = static_cast<int>(table->columns_.size());
    for (size_t r = 0; r < rows; ++r) {
      for (size_t i = 0; i < file_columns; ++i) {
        const RowStore::Cell& cell = store.cells[r * file_columns + i];
        if (cell.length == RowStore::kNull) {
          sqlite3_bind_null(stmt.get(), static_cast<int>(i) + 1);
        } else {
          sqlite3_bind_text(stmt.get(), static_cast<int>(i) + 1, store.arena.data() + cell.offset,
                            static_cast<int>(cell.length), SQLITE_STATIC);
        }
      }
      for (size_t k = 0; k < row_ranks.size(); ++k) {
        int slot = text_columns + static_cast<int>(k) + 1;
        if (row_ranks[k][r] == 0) {
          sqlite3_bind_null(stmt.get(), slot);
        } else {
          sqlite3_bind_int64(stmt.get(), slot, row_ranks[k][r]);
        }
      }
      if (sqlite3_step(stmt.get()) != SQLITE_DONE) {
        return Status::Error(ErrorCode::kRefused, std::string("cannot store the library: ") +
                                                      sqlite3_errmsg(db));
      }
      sqlite3_reset(stmt.get());
    }
  }
  if (Status s = Exec(db, "COMMIT"); !s.ok()) return s;

  // Indexes for the lookups the library makes: an album's tracks in order, an artist's songs,
  // a genre's songs.
  auto rank_sql = [&](const char* column) { return table->ranks_[table->Find(column)->rank].sql; };
  const std::string quoted = QuoteName(name);
  for (const std::string& columns :
       {rank_sql("Album") + "," + rank_sql("Track"), rank_sql("Artist"), rank_sql("Genre")}) {
    std::string index_name = QuoteName(name + "/" + columns);
    if (Status s = Exec(db, "CREATE INDEX " + index_name + " ON " + quoted + "(" + columns + ")");
        !s.ok())
      return s;
  }
  table->row_count_ = static_cast<int64_t>(rows);
  *out = std::move(table);
  return Status::Ok();
}

std::string QuoteName(std::string_view name) {
  std::string quoted = "\"";
  for (char c : name) {
    quoted.push_back(c);
    if (c == '"') quoted.push_back('"');
  }
  return quoted + "\"";
}

const Table::Column* Table::Find(std::string_view name) const {
  for (const Column& c : columns_) {
    if (SameName(c.name, name)) return &c;
  }
  return nullptr;
}

}  // namespace textdb
