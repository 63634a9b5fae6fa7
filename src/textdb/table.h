// A library file loaded into the connection's in-memory SQLite database, as the table that
// queries name by the file's name (`jubodb.txt`).
//
// Every field is text; an empty field is Null. Comparison and ordering follow the driver's
// collation (see collation.h), except `Filename`, which compares exactly, and `Track`, which
// orders as a number. Row id i is the file's i-th row. Rows come in album, then track, then file
// order (the order a library is listed in) unless an Order by says otherwise, and rows that an
// Order by finds equal keep that order.
//
// What the library's queries filter and sort on is kept in memory, so that they never walk the
// rows: for each of the ranked columns (Album, Artist, Genre, Tempo, Track), every spelling the
// file uses, each row's spelling, and each spelling's rank, the position of its sort key among
// the column's distinct keys (equal keys, equal ranks); and the rows by the hash of their file
// name. SQLite stores the other columns, in a block of memory it reads in place
// (memory_store.h). A statement that memory answers is answered there (row_filter.cpp,
// table_query.cpp), SQLite only reading the rows shown; any other is rewritten as SQL
// (sql_builder.cpp), which reaches the ranked columns through jubo_value() and jubo_rank().
// A Distinct list of one ranked column shows, for each value, the spelling the file gives
// first.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "textdb/csv_reader.h"
#include "textdb/query.h"
#include "textdb/result_set.h"
#include "textdb/status.h"

namespace textdb {

// A value bound to a compiled query's placeholder.
struct Bind {
  enum Kind { kInt, kText, kBlob } kind = kText;
  int64_t number = 0;
  std::string bytes;
};

// A query of the dialect rewritten as SQLite SQL over the loaded table. A query over the
// table's rows selects only their row ids (`row_ids`), whose values are read when asked for.
// Other queries (Distinct lists) select the values themselves.
struct CompiledQuery {
  std::string sql;
  std::vector<Bind> binds;           // for ?1, ?2, ... in order
  std::vector<std::string> columns;  // result column names, as the file's header spells them
  bool row_ids = false;
  std::string where;  // the condition alone (" WHERE ..."), or "" for every row
};

// The library file a table was loaded from, as it was read: enough to tell later whether the
// file still holds the same bytes.
struct SourceFile {
  uint64_t size = 0;
  int64_t mtime_sec = 0, mtime_nsec = 0;
  uint64_t hash_low = 0, hash_high = 0;  // XXH3 128 of the bytes
};

class Table {
 public:
  enum class Order { kCollated, kTrack, kExact };

  struct Column {
    std::string name;  // as the header spells it; "F<n>" for a column without a name
    std::string sql;   // its value in SQL: a stored column, or ValueSql() of a ranked one
    Order order = Order::kCollated;
    int rank = -1;  // index into ranks_ when the column is ranked, else -1
  };

  // One ranked column in memory. A spelling id is 1 + an index into `spellings`; 0 is Null.
  // Ranks are 2, 4, 6 ... (2(i + 1) for sorted_keys[i]), so that a literal between two keys can
  // take the odd number between; a Null value has rank 0.
  struct Ranks {
    std::vector<std::string> sorted_keys;  // distinct sort keys, ascending
    std::vector<std::string> spellings;    // every spelling in the file, in the file's order
    std::vector<uint32_t> rank_of;         // by spelling id (rank_of[0] = 0)
    std::vector<uint32_t> first_spelling;  // by rank / 2 - 1: the id the file gives first
    std::vector<uint32_t> rows;            // by row id - 1: the row's spelling id
  };

  // Reads `path` and creates the table `name` in `db`, whose main database becomes a memory
  // store (memory_store.h) holding that table alone. A missing file gives kNotFound; one
  // that is not a regular file, or lacks Album, Artist, Title or Filename, gives kRefused.
  // Rows that were not read as written are added to *notes and the rest loads. `source`, when
  // given, is set to what identifies the bytes read, unless the file kept changing while it was
  // read (no bytes stand for the file then).
  static Status Load(sqlite3* db, const std::string& path, const std::string& name,
                     std::unique_ptr<Table>* out, std::vector<LoadNote>* notes,
                     std::optional<SourceFile>* source = nullptr);

  // What the table keeps in memory, as bytes (table_image.cpp): with the database's pages,
  // all that Restore needs. Reads the table only, so another thread may call it while the
  // table answers queries.
  std::string SaveState() const;
  // The table `name` again from `state` (as SaveState made it), over `db`, whose pages already
  // hold its rows. kRefused when `state` is not such bytes or does not fit `db`'s rows.
  static Status Restore(sqlite3* db, const std::string& name, std::string_view state,
                        std::unique_ptr<Table>* out);

  // Runs `statement` over the table and fills *out (see result_set.h); unknown columns give
  // kBadQuery. The result reads rows from the table and must not outlive it.
  Status Run(const SelectStatement& statement, ResultSet* out) const;

  // Rewrites a parsed statement as SQL over this table; unknown columns give kBadQuery.
  Status Compile(const SelectStatement& statement, CompiledQuery* out) const;

  int64_t row_count() const { return row_count_; }
  const std::vector<Column>& columns() const { return columns_; }

 private:
  struct FileEntry {
    uint32_t hash;  // of the file name (XXH3, cut to 32 bits: the text decides)
    uint32_t row;   // row id - 1
    bool operator<(const FileEntry& o) const {
      return hash < o.hash || (hash == o.hash && row < o.row);
    }
  };
  class Filter;  // row_filter.cpp

  const Column* Find(std::string_view name) const;
  // The rank a literal compares as: 2(i+1) when it equals the i-th distinct key, odd between.
  int64_t RankOf(const Column& column, std::string_view literal) const;
  std::string KeyOf(const Column& column, std::string_view literal) const;
  // Where row `row` (row id - 1) comes in the listing order, before its row id breaks ties:
  // its album's rank, then its track's.
  uint64_t ListingKey(size_t row) const;
  // Once the rows and ranks are set: what is derived from them, and the SQL functions over
  // the ranks, on `db`.
  void Finish(sqlite3* db);

  Status CompileExpr(const Expr& e, CompiledQuery* out, std::string* sql) const;
  Status CompileCompare(const Expr& e, CompiledQuery* out, std::string* sql) const;
  // The SQL by which a column groups and orders.
  std::string OrderExpr(const Column& column) const;

  // The rows for which the statement's condition holds, a bit each (bit i: row id i + 1), from
  // memory when FilterRows can, else through SQLite.
  Status SelectRows(const SelectStatement& statement, const CompiledQuery& compiled,
                    std::vector<uint64_t>* bits) const;
  // The same from memory alone; false when `where` reads what memory does not hold.
  bool FilterRows(const Expr& where, std::vector<uint64_t>* bits) const;
  // Runs compiled SQL in SQLite and fills *out (but its column names), as a statement memory
  // does not answer; `selected` are the statement's columns.
  Status RunSql(const CompiledQuery& compiled, const std::vector<const Column*>& selected,
                ResultSet* out) const;
  // Fills *out with the rows `ids`, whose `selected` columns are read when asked for.
  Status SetRows(const std::vector<const Column*>& selected, std::vector<int64_t> ids,
                 ResultSet* out) const;
  // The rows (row ids - 1) whose file name is `filename`, compared exactly.
  std::vector<uint32_t> RowsOfFile(std::string_view filename) const;

  sqlite3* db_ = nullptr;
  std::string name_;
  std::vector<Column> columns_;
  std::vector<Ranks> ranks_;
  std::vector<FileEntry> files_;  // sorted
  std::vector<uint32_t> order_;   // row ids - 1 in album, then track, then file order
  std::vector<bool> has_null_;    // by ranked column: whether some row has no value
  int64_t row_count_ = 0;
};

// Calls `each(i)` for every set bit i of `bits`, in order.
template <typename Each>
void ForEachBit(const std::vector<uint64_t>& bits, Each&& each) {
  for (size_t w = 0; w < bits.size(); ++w) {
    for (uint64_t word = bits[w]; word != 0; word &= word - 1) {
      each(w * 64 + static_cast<size_t>(__builtin_ctzll(word)));
    }
  }
}

// Positions in the table's ranked columns of the two the listing order follows.
inline constexpr size_t kAlbumRanks = 0;
inline constexpr size_t kTrackRanks = 4;

// How SQL reads the values of the ranked column at `rank_index`, which SQLite does not store.
std::string ValueSql(size_t rank_index);

// `name` as an SQLite identifier: in double quotes, inner double quotes doubled.
std::string QuoteName(std::string_view name);

// Registers the functions compiled queries call (jubo_like, jubo_key, jubo_track_key).
// jubo_rank(column, rowid) is registered by each table over its own ranks.
void RegisterFunctions(sqlite3* db);

}  // namespace textdb
