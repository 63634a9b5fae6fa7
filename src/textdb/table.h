// A library file loaded into the connection's in-memory SQLite database, as the table that
// queries name by the file's name (`jubodb.txt`).
//
// Every field is text; an empty field is Null. Comparison and ordering follow the driver's
// collation (see collation.h), except `Filename`, which compares exactly, and `Track`, which
// orders as a number. To keep queries fast on large libraries, the columns the library's
// queries filter and sort on (Album, Artist, Genre, Tempo, Track) also carry a rank column: the
// position of the value's sort key among the column's distinct keys, so that ordering, grouping
// and equality become integer operations. Rows are stored in album, then track, then file
// order: an album's songs are one range of row ids, "Order by Album, Track" is row id order, and
// without an Order by that is the order rows come in. Each ranked column also has a small
// table of its distinct values (rank, first spelling in the file), which answers the Distinct
// lists without reading the songs: a Distinct list of one such column shows, for each value,
// the spelling the file gives first. There are no indexes: every other condition is a scan,
// which stays within the library's needs and keeps loading fast.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "textdb/csv_reader.h"
#include "textdb/query.h"
#include "textdb/status.h"

namespace textdb {

// A value bound to a compiled query's placeholder.
struct Bind {
  enum Kind { kInt, kText, kBlob } kind = kText;
  int64_t number = 0;
  std::string bytes;
};

// A query of the dialect rewritten as SQLite SQL over the loaded table. A query over the
// table's rows selects only their row ids (`row_ids`); `row_sql` then reads one row's values
// by row id (?1). Other queries (Distinct lists) select the values themselves.
struct CompiledQuery {
  std::string sql;
  std::vector<Bind> binds;           // for ?1, ?2, ... in order
  std::vector<std::string> columns;  // result column names, as the file's header spells them
  bool row_ids = false;
  std::string row_sql;
};

class Table {
 public:
  enum class Order { kCollated, kTrack, kExact };

  struct Column {
    std::string name;  // as the header spells it; "F<n>" for a column without a name
    std::string sql;   // its text column in SQLite
    Order order = Order::kCollated;
    int rank = -1;  // index into ranks_ when the column has a rank column, else -1
  };

  // Reads `path` and creates the table `name` in `db`. A missing file gives kNotFound; one
  // that is not a regular file, or lacks Album, Artist, Title or Filename, gives kRefused.
  // Rows that were not read as written are added to *notes and the rest loads.
  static Status Load(sqlite3* db, const std::string& path, const std::string& name,
                     std::unique_ptr<Table>* out, std::vector<LoadNote>* notes);

  // Rewrites a parsed statement over this table; unknown columns give kBadQuery.
  Status Compile(const SelectStatement& statement, CompiledQuery* out) const;

  int64_t row_count() const { return row_count_; }
  const std::vector<Column>& columns() const { return columns_; }

 public:
  struct Ranks {
    std::string sql;                       // the rank column in SQLite
    std::vector<std::string> sorted_keys;  // distinct sort keys, ascending
    std::string names_table;      // (rank, first spelling) of each distinct value; 0 for Null
    std::string spellings_table;  // (rank, spelling) of every spelling in the file
  };

 private:
  struct RowRange {
    int64_t first = 0, last = -1;  // row ids of an album's songs
  };

  const Column* Find(std::string_view name) const;
  // The rank a literal compares as: 2(i+1) when it equals the i-th distinct key, odd between.
  int64_t RankOf(const Column& column, std::string_view literal) const;
  std::string KeyOf(const Column& column, std::string_view literal) const;

  // `positive`: the expression is not under a Not, so a condition may be narrowed by what is
  // known of the stored order without changing the result.
  Status CompileExpr(const Expr& e, bool positive, CompiledQuery* out, std::string* sql) const;
  Status CompileCompare(const Expr& e, bool positive, CompiledQuery* out, std::string* sql) const;
  // A Distinct list of one ranked column, ordered by it if at all: answered from the column's
  // names table. False when the statement is not one.
  bool CompileValuesList(const SelectStatement& statement, CompiledQuery* out) const;
  // The SQL by which a column groups and orders.
  std::string OrderExpr(const Column& column) const;

  std::string name_;
  std::vector<Column> columns_;
  std::vector<Ranks> ranks_;
  std::vector<RowRange> album_rows_;  // by album rank / 2 - 1
  int64_t row_count_ = 0;
};

// Positions in the table's rank columns of the two the stored order follows.
inline constexpr size_t kAlbumRanks = 0;
inline constexpr size_t kTrackRanks = 4;

// The column holding each row's place among the file's rows (1 for the first song).
inline constexpr const char* kLineColumn = "line";

// `name` as an SQLite identifier: in double quotes, inner double quotes doubled.
std::string QuoteName(std::string_view name);

// Registers the functions compiled queries call (jubo_like, jubo_key, jubo_track_key).
void RegisterFunctions(sqlite3* db);

}  // namespace textdb
