// A connection of the text-file driver: a folder whose CSV files are tables, queried in the
// dialect of query.h. Tables are loaded into an in-memory SQLite database once, the first time
// they are needed (LoadTable at start-up for the library), and never reloaded: a changed file
// is seen when a new connection opens. One thread uses a connection.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "textdb/csv_reader.h"
#include "textdb/result_set.h"
#include "textdb/status.h"

struct sqlite3;

namespace textdb {

class Table;

// The one table a query may name: the library file in the connection's folder.
inline constexpr const char* kLibraryTable = "jubodb.txt";

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

  // Loads the folder's file `name` as the table of that name, unless it is loaded already.
  // Rows not read as written are reported through the report function, one line each
  // ("jubodb.txt line 12: unterminated quote; the field is read as written"), at most 20 and a
  // count.
  Status LoadTable(const std::string& name);

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
  std::map<std::string, std::unique_ptr<Table>> tables_;  // by lower-cased file name
  std::function<void(const std::string&)> report_;
};

}  // namespace textdb
