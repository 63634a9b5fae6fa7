#include "textdb/table.h"

#include <strings.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <optional>
#include <string_view>
#include <thread>
#include <unordered_map>

#include "textdb/collation.h"
#include "textdb/file_reader.h"

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

// Where a row lies in the text: [begin, end).
struct Span {
  size_t begin, end;
};

// The distinct values of one ranked column, and each row's value among them.
struct Dictionary {
  static constexpr uint32_t kNone = 0;  // Null; ids and ranks start at 1 and 2

  size_t field = 0;                // the column's place in the file's rows
  bool in_file = false;            // false for a column the file lacks (every value Null)
  std::deque<std::string> values;  // id - 1 -> value; a deque keeps the map's views valid
  std::unordered_map<std::string_view, uint32_t> ids;
  std::vector<uint32_t> row_values;  // per row: the value's id, later its rank; kNone for Null

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

  // Sorts the distinct values by their keys, turns each row's id into the rank of its key
  // (2, 4, 6 ..., so a literal between two keys can take the odd number between), and fills
  // `sorted_keys` with the distinct keys, `first_spellings` with the spelling of each that the
  // file gives first, and `rank_of_value` with the rank of each distinct value (by id - 1).
  // `has_null` tells whether some row has no value.
  void Rank(Table::Order order, std::vector<std::string>* sorted_keys,
            std::vector<std::string>* first_spellings, std::vector<uint32_t>* rank_of_value,
            bool* has_null) {
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
    rank_of_value->assign(keys.size(), kNone);
    for (uint32_t i : by_key) {
      if (sorted_keys->empty() || sorted_keys->back() != keys[i]) {
        sorted_keys->push_back(std::move(keys[i]));
        first_spellings->push_back(values[i]);
      }
      (*rank_of_value)[i] = 2 * static_cast<uint32_t>(sorted_keys->size());
    }
    *has_null = false;
    for (uint32_t& v : row_values) {
      *has_null = *has_null || v == kNone;
      v = v == kNone ? kNone : (*rank_of_value)[v - 1];
    }
  }
};

// Rows go into SQLite ordered by album, then track, then file order, so that an album's songs
// lie together and reading the library in album order walks the table front to back.
std::vector<uint32_t> InsertionOrder(const std::vector<uint32_t>& album_ranks,
                                     const std::vector<uint32_t>& track_ranks) {
  std::vector<std::pair<uint64_t, uint32_t>> keyed(album_ranks.size());
  for (uint32_t row = 0; row < keyed.size(); ++row) {
    keyed[row] = {(uint64_t{album_ranks[row]} << 32) | track_ranks[row], row};
  }
  std::sort(keyed.begin(), keyed.end());
  std::vector<uint32_t> order(keyed.size());
  for (size_t i = 0; i < keyed.size(); ++i) order[i] = keyed[i].second;
  return order;
}

// Reads the rows again, in the order given, on a thread of its own and hands them over in
// batches, so that parsing the text and storing the rows in SQLite overlap. It is the one
// other thread the driver runs, and it ends before loading does.
class RowFeeder {
 public:
  static constexpr uint32_t kNoField = UINT32_MAX;
  struct Batch {
    size_t width = 0;
    std::vector<uint32_t> rows;                         // each row's place in the file
    std::string text;                                   // every field's text
    std::vector<std::pair<uint32_t, uint32_t>> fields;  // offset, length; kNoField: Null

    std::optional<std::string_view> Field(size_t row, size_t column) const {
      const auto& [offset, length] = fields[row * width + column];
      if (length == kNoField) return std::nullopt;
      return std::string_view(text.data() + offset, length);
    }
  };

  RowFeeder(std::string_view text, const std::vector<Span>& spans, std::vector<uint32_t> order,
            size_t width)
      : text_(text), spans_(spans), order_(std::move(order)), width_(width) {
    thread_ = std::thread([this] { Produce(); });
  }
  ~RowFeeder() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopped_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }
  RowFeeder(const RowFeeder&) = delete;
  RowFeeder& operator=(const RowFeeder&) = delete;

  // The next batch, or nullptr once every row has been handed over.
  std::unique_ptr<Batch> Next() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return !ready_.empty() || finished_; });
    if (ready_.empty()) return nullptr;
    std::unique_ptr<Batch> batch = std::move(ready_.front());
    ready_.pop_front();
    changed_.notify_all();
    return batch;
  }

 private:
  static constexpr size_t kBatchRows = 2048;
  static constexpr size_t kBatchesAhead = 4;

  void Produce() {
    CsvRowReader reader;
    for (size_t start = 0; start < order_.size(); start += kBatchRows) {
      auto batch = std::make_unique<Batch>();
      batch->width = width_;
      for (size_t i = start; i < std::min(order_.size(), start + kBatchRows); ++i) {
        const Span& span = spans_[order_[i]];
        const std::vector<std::string_view>& fields =
            reader.Read(text_.substr(span.begin, span.end - span.begin));
        batch->rows.push_back(order_[i]);
        for (size_t f = 0; f < width_; ++f) {
          if (f < fields.size() && !fields[f].empty()) {
            batch->fields.emplace_back(static_cast<uint32_t>(batch->text.size()),
                                       static_cast<uint32_t>(fields[f].size()));
            batch->text.append(fields[f]);
          } else {
            batch->fields.emplace_back(0, kNoField);
          }
        }
      }
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [this] { return ready_.size() < kBatchesAhead || stopped_; });
      if (stopped_) break;
      ready_.push_back(std::move(batch));
      changed_.notify_all();
    }
    std::lock_guard<std::mutex> lock(mutex_);
    finished_ = true;
    changed_.notify_all();
  }

  std::string_view text_;
  const std::vector<Span>& spans_;
  std::vector<uint32_t> order_;
  size_t width_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::unique_ptr<Batch>> ready_;
  bool stopped_ = false, finished_ = false;
  std::thread thread_;
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

// A column's value tables: the names table holds (rank, first spelling) of each distinct value,
// rank 0 standing for Null when some row has none; the spellings table holds (rank, spelling)
// of every spelling the file uses, which Like must look at.
Status StoreValues(sqlite3* db, const Table::Ranks& ranks, const Dictionary& dictionary,
                   const std::vector<std::string>& first_spellings,
                   const std::vector<uint32_t>& rank_of_value, bool has_null) {
  for (const std::string* table : {&ranks.names_table, &ranks.spellings_table}) {
    std::string key = table == &ranks.names_table ? " INTEGER PRIMARY KEY" : " INTEGER";
    if (Status s = Exec(db, "CREATE TABLE " + *table + "(rank" + key + ", value)"); !s.ok()) {
      return s;
    }
  }
  auto store = [db](const std::string& table, auto&& each) {
    SqliteStatement insert(db, "INSERT INTO " + table + " VALUES(?, ?)");
    if (insert.get() == nullptr) return StoreError(db);
    bool ok = true;
    each([&](int64_t rank, const std::string* value) {
      sqlite3_bind_int64(insert.get(), 1, rank);
      if (value == nullptr) {
        sqlite3_bind_null(insert.get(), 2);
      } else {
        sqlite3_bind_text(insert.get(), 2, value->data(), static_cast<int>(value->size()),
                          SQLITE_STATIC);
      }
      ok = ok && sqlite3_step(insert.get()) == SQLITE_DONE;
      sqlite3_reset(insert.get());
    });
    return ok ? Status::Ok() : StoreError(db);
  };
  Status s = store(ranks.names_table, [&](auto add) {
    if (has_null) add(0, nullptr);
    for (size_t i = 0; i < first_spellings.size(); ++i) {
      add(2 * static_cast<int64_t>(i + 1), &first_spellings[i]);
    }
  });
  if (!s.ok()) return s;
  return store(ranks.spellings_table, [&](auto add) {
    for (size_t id = 0; id < dictionary.values.size(); ++id) {
      add(rank_of_value[id], &dictionary.values[id]);
    }
  });
}

}  // namespace

// Two passes over the text keep memory near the size of the file and the SQLite table: the
// first reads the header, the distinct values of the ranked columns and where each row lies;
// the second, once the ranks are known, reads the rows again in album order and inserts each
// as it is read. No copy of the rows is ever held. The text is a copy of the file, not a map of
// it: a file cut short under a map raises SIGBUS at the next read of a page it lost.
Status Table::Load(sqlite3* db, const std::string& path, const std::string& name,
                   std::unique_ptr<Table>* out, std::vector<LoadNote>* notes) {
  std::string bytes;
  if (Status s = ReadFileBytes(path, name, &bytes, notes); !s.ok()) return s;
  std::string converted;
  const std::string_view text = DecodeText(bytes, &converted, notes);
  if (!converted.empty()) std::string().swap(bytes);  // the text is the converted copy

  auto table = std::make_unique<Table>();
  table->name_ = name;
  std::vector<Dictionary> dictionaries(std::size(kRankedColumns));
  bool have_header = false;
  size_t file_columns = 0;
  std::vector<Span> spans;  // where each row lies in the text
  ParseCsv(
      text,
      [&](const CsvRow& row) {
        const std::vector<std::string_view>& fields = row.fields;
        if (!have_header) {
          have_header = true;
          file_columns = fields.size();
          for (size_t i = 0; i < fields.size(); ++i) {
            std::string column_name(Trim(fields[i]));
            if (column_name.empty() || table->Find(column_name) != nullptr) {
              column_name = "F" + std::to_string(i + 1);
            }
            table->columns_.push_back({column_name, "c" + std::to_string(i)});
          }
          size_t lines = static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
          spans.reserve(lines);
          for (size_t k = 0; k < dictionaries.size(); ++k) {
            const Column* c = table->Find(kRankedColumns[k]);
            dictionaries[k].in_file = c != nullptr;
            if (c != nullptr) dictionaries[k].field = static_cast<size_t>(c - &table->columns_[0]);
            dictionaries[k].row_values.reserve(lines);
          }
          return;
        }
        if (fields.size() > file_columns) {
          notes->push_back(
              {row.line, std::to_string(fields.size()) + " fields where the header has " +
                             std::to_string(file_columns) + "; the extra fields are ignored"});
        }
        for (Dictionary& d : dictionaries) d.Add(fields);
        spans.push_back({row.begin, row.end});
      },
      notes);
  const size_t rows = spans.size();

  std::string missing;
  for (const char* required : kRequiredColumns) {
    if (table->Find(required) == nullptr) {
      missing += (missing.empty() ? "" : ", ") + std::string(required);
    }
  }
  if (!missing.empty()) {
    return Status::Error(ErrorCode::kRefused, name + " has no column " + missing +
                                                  " (its first line must name the " +
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
  std::vector<std::vector<std::string>> first_spellings(dictionaries.size());
  std::vector<std::vector<uint32_t>> rank_of_value(dictionaries.size());
  std::vector<bool> has_null(dictionaries.size());
  for (size_t k = 0; k < dictionaries.size(); ++k) {
    Column& column = table->columns_[table->Find(kRankedColumns[k]) - &table->columns_[0]];
    column.rank = static_cast<int>(k);
    Ranks& ranks = table->ranks_.emplace_back();
    ranks.sql = "r" + std::to_string(k);
    ranks.names_table = QuoteName(name + "/" + kRankedColumns[k]);
    ranks.spellings_table = QuoteName(name + "/" + kRankedColumns[k] + " spellings");
    bool null = false;
    dictionaries[k].Rank(column.order, &ranks.sorted_keys, &first_spellings[k], &rank_of_value[k],
                         &null);
    has_null[k] = null;
  }

  const std::string quoted = QuoteName(name);
  std::string create = "CREATE TABLE " + quoted + "(";
  // The ranks first: most conditions read only them, and SQLite decodes a row's columns from
  // the front.
  std::string columns;
  for (const Ranks& r : table->ranks_) columns += r.sql + ",";
  columns += std::string(kLineColumn) + ",";
  for (const Column& c : table->columns_) columns += c.sql + ",";
  columns.pop_back();
  for (const Ranks& r : table->ranks_) create += r.sql + " INTEGER,";
  create += std::string(kLineColumn) + " INTEGER,";
  for (const Column& c : table->columns_) create += c.sql + ",";
  create.back() = ')';
  if (Status s = Exec(db, create); !s.ok()) return s;
  if (Status s = Exec(db, "BEGIN"); !s.ok()) return s;
  {
    std::string insert = "INSERT INTO " + quoted + "(" + columns + ") VALUES(";
    for (size_t i = 0; i < table->ranks_.size() + 1 + table->columns_.size(); ++i) insert += "?,";
    insert.back() = ')';
    SqliteStatement stmt(db, insert);
    if (stmt.get() == nullptr) return StoreError(db);
    sqlite3_stmt* st = stmt.get();
    const int text_columns = static_cast<int>(table->columns_.size());
    const int line_slot = static_cast<int>(dictionaries.size()) + 1;
    const int first_text_slot = line_slot + 1;
    table->album_rows_.resize(table->ranks_[kAlbumRanks].sorted_keys.size());
    int64_t row_id = 0;
    RowFeeder feeder(
        text, spans,
        InsertionOrder(dictionaries[kAlbumRanks].row_values, dictionaries[kTrackRanks].row_values),
        file_columns);
    while (std::unique_ptr<RowFeeder::Batch> batch = feeder.Next()) {
      for (size_t r = 0; r < batch->rows.size(); ++r) {
        const uint32_t row = batch->rows[r];
        for (int i = 0; i < text_columns; ++i) {
          auto f = static_cast<size_t>(i);
          std::optional<std::string_view> field =
              f < file_columns ? batch->Field(r, f) : std::nullopt;
          if (field) {
            sqlite3_bind_text(st, first_text_slot + i, field->data(),
                              static_cast<int>(field->size()), SQLITE_STATIC);
          } else {
            sqlite3_bind_null(st, first_text_slot + i);
          }
        }
        for (size_t k = 0; k < dictionaries.size(); ++k) {
          uint32_t rank = dictionaries[k].row_values[row];
          int slot = static_cast<int>(k) + 1;
          if (rank == Dictionary::kNone) {
            sqlite3_bind_null(st, slot);
          } else {
            sqlite3_bind_int64(st, slot, rank);
          }
        }
        sqlite3_bind_int64(st, line_slot, row + 1);
        bool failed = sqlite3_step(st) != SQLITE_DONE;
        sqlite3_reset(st);
        if (failed) return StoreError(db);
        ++row_id;
        if (uint32_t album = dictionaries[kAlbumRanks].row_values[row];
            album != Dictionary::kNone) {
          RowRange& range = table->album_rows_[album / 2 - 1];
          if (range.last < range.first) range.first = row_id;
          range.last = row_id;
        }
      }
    }
  }
  for (size_t k = 0; k < dictionaries.size(); ++k) {
    if (Status s = StoreValues(db, table->ranks_[k], dictionaries[k], first_spellings[k],
                               rank_of_value[k], has_null[k]);
        !s.ok())
      return s;
  }
  if (Status s = Exec(db, "COMMIT"); !s.ok()) return s;

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
