#include "textdb/table.h"

#include <strings.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xxhash.h>

#include <algorithm>
#include <deque>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "textdb/collation.h"
#include "textdb/file_reader.h"
#include "textdb/memory_store.h"

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

// The distinct values of one ranked column, and each row's value among them.
struct Dictionary {
  static constexpr uint32_t kNone = 0;  // Null; spelling ids start at 1

  size_t field = 0;                // the column's place in the file's rows
  bool in_file = false;            // false for a column the file lacks (every value Null)
  std::deque<std::string> values;  // id - 1 -> value; a deque keeps the map's views valid
  std::unordered_map<std::string_view, uint32_t> ids;
  std::vector<uint32_t> row_values;  // per row, in the file's order: the spelling id

  void Add(const std::vector<std::string_view>& fields) {
    if (!in_file || field >= fields.size() || fields[field].empty()) {
      row_values.push_back(kNone);
      return;
    }
    auto it = ids.find(fields[field]);
    if (it == ids.end()) {
      values.emplace_back(fields[field]);
      it = ids.emplace(values.back(), static_cast<uint32_t>(values.size())).first;
    }
    row_values.push_back(it->second);
  }

  // Sorts the distinct values by their keys into `ranks`, moving the spellings and the rows'
  // spelling ids over.
  void Rank(Table::Order order, Table::Ranks* ranks) {
    std::vector<std::string> keys(values.size());
    for (size_t i = 0; i < keys.size(); ++i) {
      keys[i] = order == Table::Order::kTrack ? TrackKey(values[i]) : CollationKey(values[i]);
    }
    std::vector<uint32_t> by_key(keys.size());
    for (uint32_t i = 0; i < by_key.size(); ++i) by_key[i] = i;
    // Ids follow the file, so among equal keys the smallest id is the first spelling.
    std::sort(by_key.begin(), by_key.end(), [&](uint32_t a, uint32_t b) {
      int c = keys[a].compare(keys[b]);
      return c < 0 || (c == 0 && a < b);
    });
    ranks->rank_of.assign(keys.size() + 1, kNone);
    for (uint32_t i : by_key) {
      if (ranks->sorted_keys.empty() || ranks->sorted_keys.back() != keys[i]) {
        ranks->sorted_keys.push_back(std::move(keys[i]));
        ranks->first_spelling.push_back(i + 1);
      }
      ranks->rank_of[i + 1] = 2 * static_cast<uint32_t>(ranks->sorted_keys.size());
    }
    ids.clear();
    ranks->spellings.reserve(values.size());
    for (std::string& value : values) ranks->spellings.push_back(std::move(value));
    values.clear();
    ranks->rows = std::move(row_values);
  }
};

class SqliteStatement {
 public:
  SqliteStatement(sqlite3* db, const std::string& sql) {
    sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt_, nullptr);
  }
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;
  ~SqliteStatement() { sqlite3_finalize(stmt_); }
  sqlite3_stmt* get() const { return stmt_; }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

Status StoreError(sqlite3* db) {
  return Status::Error(ErrorCode::kRefused,
                       std::string("cannot store the library: ") + sqlite3_errmsg(db));
}

Status Exec(sqlite3* db, const std::string& sql) {
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) return StoreError(db);
  return Status::Ok();
}

// The block the table's pages are stored in: room for the text and for each row's own overhead
// (its cell and record header), with a margin for pages left part empty. Untouched room costs
// no memory.
size_t StoreCapacity(size_t text_bytes, size_t lines, size_t width) {
  const size_t needed = text_bytes + lines * (24 + 2 * width);
  return needed + needed / 4 + (size_t{16} << 20);
}

// Gives the text's memory back to the system as the rows it holds are stored, so that the text
// and the table it becomes are not held whole at once. The text is never read again behind
// the row being read; its pages read as zeros once given back, and its owner frees it as ever.
class TextRelease {
 public:
  explicit TextRelease(std::string_view text) : text_(text) {}

  // Every row before `offset` is stored.
  void StoredBefore(size_t offset) {
    if (offset < released_ + kStep) return;
    const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto begin = reinterpret_cast<uintptr_t>(text_.data());
    // Whole pages of the text only: the allocator's own bytes around it stay.
    const uintptr_t from = (begin + released_ + page - 1) / page * page;
    const uintptr_t to = (begin + offset) / page * page;
    if (to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_DONTNEED);
    released_ = offset;
  }

 private:
  static constexpr size_t kStep = size_t{4} << 20;
  std::string_view text_;
  size_t released_ = 0;
};

}  // namespace

// One pass over the text: each row is added to the ranked columns' dictionaries and its other
// columns are stored as it is read, so no copy of the rows is held, and the text is given back
// as it is consumed. Once every row is read the ranked columns are sorted and ranked. The text
// is a copy of the file, not a map of it: a file cut short under a map raises SIGBUS at the
// next read of a page it lost.
Status Table::Load(sqlite3* db, const std::string& path, const std::string& name,
                   std::unique_ptr<Table>* out, std::vector<LoadNote>* notes,
                   std::optional<SourceFile>* source) {
  std::string bytes;
  struct stat read_as;
  read_as.st_nlink = 0;  // stays 0 unless the read saw one unchanging file
  if (Status s = ReadFileBytes(path, name, &bytes, notes, nullptr, &read_as); !s.ok()) return s;
  if (source != nullptr && read_as.st_nlink != 0) {
    XXH128_hash_t hash = XXH3_128bits(bytes.data(), bytes.size());
    *source = SourceFile{static_cast<uint64_t>(read_as.st_size), read_as.st_mtim.tv_sec,
                         read_as.st_mtim.tv_nsec, hash.low64, hash.high64};
  }
  std::string converted;
  const std::string_view text = DecodeText(bytes, &converted, notes);
  if (!converted.empty()) std::string().swap(bytes);  // the text is the converted copy

  auto table = std::make_unique<Table>();
  table->name_ = name;
  const std::string quoted = QuoteName(name);
  std::vector<Dictionary> dictionaries(std::size(kRankedColumns));
  std::string missing;         // required columns the header lacks
  bool beets_export = false;   // the header is beets' export: "path" where Filename would be
  std::vector<size_t> stored;  // the fields SQLite stores: every column but the ranked ones
  size_t filename_field = 0;
  size_t file_columns = 0;
  uint32_t rows = 0;
  bool have_header = false;
  std::unique_ptr<SqliteStatement> insert;
  Status status;
  TextRelease release(text);

  // The header names the columns: the table is made from it, before any row.
  auto make_table = [&](const std::vector<std::string_view>& fields) {
    file_columns = fields.size();
    for (size_t i = 0; i < fields.size(); ++i) {
      std::string column_name(Trim(fields[i]));
      if (column_name.empty() || table->Find(column_name) != nullptr) {
        column_name = "F" + std::to_string(i + 1);
      }
      table->columns_.push_back({column_name, "c" + std::to_string(i)});
    }
    for (const char* required : kRequiredColumns) {
      if (table->Find(required) == nullptr) {
        missing += (missing.empty() ? "" : ", ") + std::string(required);
      }
    }
    // beets' export names the file "path": its user is pointed to what reads beets.
    beets_export = missing == "Filename" && table->Find("path") != nullptr;
    if (!missing.empty()) return Status::Ok();
    // Columns the file lacks are there all the same, every value Null.
    for (const char* optional : kOptionalColumns) {
      if (table->Find(optional) == nullptr) {
        table->columns_.push_back({optional, "c" + std::to_string(table->columns_.size())});
      }
    }
    const size_t lines = static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    for (size_t k = 0; k < dictionaries.size(); ++k) {
      Column& c =
          table
              ->columns_[static_cast<size_t>(table->Find(kRankedColumns[k]) - &table->columns_[0])];
      c.rank = static_cast<int>(k);
      c.sql = ValueSql(k);
      dictionaries[k].in_file = static_cast<size_t>(&c - &table->columns_[0]) < file_columns;
      dictionaries[k].field = static_cast<size_t>(&c - &table->columns_[0]);
      dictionaries[k].row_values.reserve(lines);
    }
    for (Column& c : table->columns_) {
      if (SameName(c.name, "Filename")) c.order = Order::kExact;
      if (SameName(c.name, "Track")) c.order = Order::kTrack;
    }
    filename_field = static_cast<size_t>(table->Find("Filename") - &table->columns_[0]);
    table->files_.reserve(lines);

    if (Status s = UseMemoryStore(db, StoreCapacity(text.size(), lines, file_columns)); !s.ok()) {
      return s;
    }
    std::string create = "CREATE TABLE " + quoted + "(";
    std::string values;
    for (size_t i = 0; i < table->columns_.size(); ++i) {
      if (table->columns_[i].rank >= 0) continue;
      create += (stored.empty() ? "" : ",") + table->columns_[i].sql;
      values += stored.empty() ? "?" : ",?";
      stored.push_back(i);
    }
    if (Status s = Exec(db, create + ")"); !s.ok()) return s;
    if (Status s = Exec(db, "BEGIN"); !s.ok()) return s;
    insert =
        std::make_unique<SqliteStatement>(db, "INSERT INTO " + quoted + " VALUES(" + values + ")");
    return insert->get() == nullptr ? StoreError(db) : Status::Ok();
  };

  // A row: its ranked values to the dictionaries, the rest to SQLite, as row id `rows` + 1.
  auto store_row = [&](const std::vector<std::string_view>& fields) {
    sqlite3_stmt* st = insert->get();
    for (size_t i = 0; i < stored.size(); ++i) {
      const size_t f = stored[i];
      const int slot = static_cast<int>(i) + 1;
      if (f < fields.size() && !fields[f].empty()) {
        sqlite3_bind_text(st, slot, fields[f].data(), static_cast<int>(fields[f].size()),
                          SQLITE_STATIC);
      } else {
        sqlite3_bind_null(st, slot);
      }
    }
    if (filename_field < fields.size() && !fields[filename_field].empty()) {
      const std::string_view file = fields[filename_field];
      table->files_.push_back({static_cast<uint32_t>(XXH3_64bits(file.data(), file.size())), rows});
    }
    const bool failed = sqlite3_step(st) != SQLITE_DONE;
    sqlite3_reset(st);
    if (failed) status = StoreError(db);
  };

  ParseCsv(
      text,
      [&](const CsvRow& row) {
        if (!status.ok()) return;
        if (!have_header) {
          have_header = true;
          status = make_table(row.fields);
          return;
        }
        if (!missing.empty()) return;
        if (row.fields.size() > file_columns) {
          notes->push_back(
              {row.line, std::to_string(row.fields.size()) + " fields where the header has " +
                             std::to_string(file_columns) + "; the extra fields are ignored"});
        }
        for (Dictionary& d : dictionaries) d.Add(row.fields);
        store_row(row.fields);
        ++rows;
        release.StoredBefore(row.end);
      },
      notes);
  if (!status.ok()) return status;
  if (!have_header || !missing.empty()) {
    if (!have_header) missing = "Album, Artist, Title, Filename";
    return Status::Error(ErrorCode::kRefused, name + " has no column " + missing +
                                                  " (its first line must name the " +
                                                  "columns Album, Artist, Title and Filename)" +
                                                  (beets_export ? "; for a beets library, make "
                                                                  "it with jubo-scan --from-beets"
                                                                : ""));
  }
  if (Status s = Exec(db, "COMMIT"); !s.ok()) return s;

  table->ranks_.resize(dictionaries.size());
  for (size_t k = 0; k < dictionaries.size(); ++k) {
    const Column& c = table->columns_[dictionaries[k].field];
    dictionaries[k].Rank(c.order, &table->ranks_[k]);
  }
  // The listing order: album, then track, then file.
  std::vector<std::pair<uint64_t, uint32_t>> keyed(rows);
  for (uint32_t row = 0; row < rows; ++row) keyed[row] = {table->ListingKey(row), row};
  std::sort(keyed.begin(), keyed.end());
  table->order_.resize(rows);
  for (size_t i = 0; i < rows; ++i) table->order_[i] = keyed[i].second;
  std::sort(table->files_.begin(), table->files_.end());
  table->row_count_ = rows;
  table->Finish(db);
  *out = std::move(table);
  return Status::Ok();
}

namespace {

// The spelling id of a row in a ranked column, for jubo_rank(column, rowid) and
// jubo_value(column, rowid); 0 (Null) for arguments that name no row.
const Table::Ranks* SpellingOf(sqlite3_context* context, sqlite3_value** args, uint32_t* id) {
  const auto& ranks = *static_cast<const std::vector<Table::Ranks>*>(sqlite3_user_data(context));
  const sqlite3_int64 column = sqlite3_value_int64(args[0]);
  const sqlite3_int64 row_id = sqlite3_value_int64(args[1]);
  *id = 0;
  if (column < 0 || static_cast<size_t>(column) >= ranks.size()) return nullptr;
  const Table::Ranks& r = ranks[static_cast<size_t>(column)];
  if (row_id < 1 || static_cast<size_t>(row_id) > r.rows.size()) return nullptr;
  *id = r.rows[static_cast<size_t>(row_id - 1)];
  return &r;
}

void RankFunction(sqlite3_context* context, int, sqlite3_value** args) {
  uint32_t id;
  const Table::Ranks* r = SpellingOf(context, args, &id);
  if (id != 0) sqlite3_result_int64(context, r->rank_of[id]);
}

void ValueFunction(sqlite3_context* context, int, sqlite3_value** args) {
  uint32_t id;
  const Table::Ranks* r = SpellingOf(context, args, &id);
  if (id == 0) return;
  const std::string& value = r->spellings[id - 1];
  sqlite3_result_text(context, value.data(), static_cast<int>(value.size()), SQLITE_STATIC);
}

}  // namespace

uint64_t Table::ListingKey(size_t row) const {
  const Ranks& albums = ranks_[kAlbumRanks];
  const Ranks& tracks = ranks_[kTrackRanks];
  return (uint64_t{albums.rank_of[albums.rows[row]]} << 32) | tracks.rank_of[tracks.rows[row]];
}

void Table::Finish(sqlite3* db) {
  db_ = db;
  has_null_.clear();
  for (const Ranks& r : ranks_) {
    has_null_.push_back(std::find(r.rows.begin(), r.rows.end(), 0u) != r.rows.end());
  }
  // The ranked columns live in memory only: SQL reaches their values and ranks through these.
  const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
  sqlite3_create_function(db, "jubo_rank", 2, flags, &ranks_, RankFunction, nullptr, nullptr);
  sqlite3_create_function(db, "jubo_value", 2, flags, &ranks_, ValueFunction, nullptr, nullptr);
}

std::string ValueSql(size_t rank_index) {
  return "jubo_value(" + std::to_string(rank_index) + ", rowid)";
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
