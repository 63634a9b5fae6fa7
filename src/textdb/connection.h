// A connection of the text-file driver: a folder whose library file is the one table, queried in
// the dialect of query.h. The table is loaded into an in-memory SQLite database once, the first
// time it is needed (LoadTable at start-up), and never reloaded: a changed file is seen when a
// new connection opens. A loaded table can be kept (TableImage) and given to a later connection
// (RestoreTable), which then answers exactly as if it had read the file. One thread uses a
// connection.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "textdb/csv_reader.h"
#include "textdb/memory_store.h"
#include "textdb/result_set.h"
#include "textdb/status.h"
#include "textdb/table.h"

struct sqlite3;

namespace textdb {

// The one table a query may name: the library file in the connection's folder.
inline constexpr const char* kLibraryTable = "jubodb.txt";

// A loaded table as it can be kept: the database's pages and the state the driver keeps beside
// them. Both read the connection's table in place, so an image is good while its connection
// lives, keeps that table and only answers queries; meanwhile another thread may read it.
class TableImage {
 public:
  // Changes whenever pages or state are laid out differently: a kept image of another version
  // must not be restored.
  static constexpr uint32_t kVersion = 1;

  bool empty() const { return table_ == nullptr; }
  std::string_view pages() const { return pages_; }
  std::string State() const { return table_->SaveState(); }

 private:
  friend class Connection;
  std::string_view pages_;
  const Table* table_ = nullptr;
};

class Connection {
 public:
  Connection();
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Opens "DRIVER={Text Driver (*.txt; *.csv)};DBQ=<folder>;" (keys in any case, a value may
  // be {braced}). User name and password are accepted and ignored. Fails with kNotFound when
  // the string names no folder or the folder does not exist.
  Status Open(std::string_view connection_string, std::string_view user = {},
              std::string_view password = {});
  bool is_open() const { return db_ != nullptr; }
  const std::string& folder() const { return folder_; }

  // Loads the folder's file `name` (kLibraryTable, in any case) as the table, unless it is
  // loaded already. Rows not read as written are reported through the report function, one
  // line each ("jubodb.txt line 12: unterminated quote; the field is read as written"), at
  // most 20 and a count. `source`, when given, is told what identifies the bytes loaded (see
  // Table::Load); it is left alone when the table was there already.
  Status LoadTable(const std::string& name, std::optional<SourceFile>* source = nullptr);

  // The loaded table, to keep; empty when none is loaded.
  TableImage Image() const;
  // Makes `pages` and `state` (of an image of the same version) the table, without reading
  // the file. Only on an open connection with no table loaded. kRefused when they do not make
  // a table; the connection then holds none and may still LoadTable.
  Status RestoreTable(Pages pages, std::string_view state);

  // Runs one query, loading its table first if needed, and fills *out with its rows (see
  // result_set.h). *out must not outlive the connection.
  // A query outside the dialect, or on a table other than kLibraryTable (named in any case),
  // gives kBadQuery and an empty *out; no other file is ever opened for a query.
  Status Execute(std::string_view sql, ResultSet* out);

  // Where load reports go; standard error by default.
  void set_report(std::function<void(const std::string& line)> report) {
    report_ = std::move(report);
  }

 private:
  sqlite3* db_ = nullptr;
  std::string folder_;
  std::unique_ptr<Table> table_;
  std::function<void(const std::string&)> report_;
};

}  // namespace textdb
