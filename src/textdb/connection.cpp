#include "textdb/connection.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "textdb/query.h"

namespace textdb {
namespace {

constexpr size_t kMaxReportedNotes = 20;

std::string Lower(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

// The value of `key` in an ODBC-style "KEY=value;KEY={value};" string, or nullopt.
std::optional<std::string> ConnectionValue(std::string_view s, std::string_view key) {
  size_t i = 0;
  while (i < s.size()) {
    size_t eq = s.find('=', i);
    if (eq == std::string_view::npos) break;
    std::string name = Lower(s.substr(i, eq - i));
    name.erase(0, name.find_first_not_of(' '));
    name.erase(name.find_last_not_of(' ') + 1);
    size_t value_start = eq + 1;
    std::string value;
    size_t next;
    if (value_start < s.size() && s[value_start] == '{') {
      size_t close = s.find('}', value_start);
      if (close == std::string_view::npos) close = s.size();
      value = std::string(s.substr(value_start + 1, close - value_start - 1));
      next = s.find(';', close);
    } else {
      next = s.find(';', value_start);
      value =
          std::string(s.substr(value_start, next == std::string_view::npos ? std::string_view::npos
                                                                           : next - value_start));
    }
    if (name == Lower(key)) return value;
    if (next == std::string_view::npos) break;
    i = next + 1;
  }
  return std::nullopt;
}

}  // namespace

Connection::Connection()
    : report_([](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); }) {}

Connection::~Connection() {
  table_.reset();
  // close_v2: a cursor still holding a prepared row reader keeps the engine until it goes.
  if (db_ != nullptr) sqlite3_close_v2(db_);
}

Status Connection::Open(std::string_view connection_string, std::string_view, std::string_view) {
  std::optional<std::string> folder = ConnectionValue(connection_string, "DBQ");
  if (!folder || folder->empty()) {
    return Status::Error(ErrorCode::kNotFound, "the connection string names no folder (DBQ=...): " +
                                                   std::string(connection_string));
  }
  struct stat st;
  if (stat(folder->c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    return Status::Error(ErrorCode::kNotFound, "folder " + *folder + " not found");
  }
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(":memory:", &db,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                      nullptr) != SQLITE_OK) {
    std::string message = db != nullptr ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_close(db);
    return Status::Error(ErrorCode::kRefused, "cannot start the SQL engine: " + message);
  }
  sqlite3_exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA temp_store=MEMORY;",
               nullptr, nullptr, nullptr);
  RegisterFunctions(db);
  table_.reset();
  if (db_ != nullptr) sqlite3_close_v2(db_);
  db_ = db;
  folder_ = *folder;
  return Status::Ok();
}

Status Connection::LoadTable(const std::string& name, std::optional<SourceFile>* source) {
  if (db_ == nullptr) return Status::Error(ErrorCode::kNotFound, "the connection is not open");
  if (Lower(name) != kLibraryTable) {
    return Status::Error(ErrorCode::kNotFound,
                         "no table named '" + name + "': the only table is " + kLibraryTable);
  }
  if (table_ != nullptr) return Status::Ok();
  std::string path = folder_;
  if (!path.empty() && path.back() != '/') path += '/';
  path += name;
  std::vector<LoadNote> notes;
  std::unique_ptr<Table> table;
  Status s = Table::Load(db_, path, name, &table, &notes, source);
  for (size_t i = 0; i < notes.size() && i < kMaxReportedNotes; ++i) {
    report_(name + (notes[i].line > 0 ? " line " + std::to_string(notes[i].line) : "") + ": " +
            notes[i].message);
  }
  if (notes.size() > kMaxReportedNotes) {
    report_(name + ": " + std::to_string(notes.size() - kMaxReportedNotes) +
            " more lines were not read as written");
  }
  if (!s.ok()) {
    // A refused file leaves no half-made table behind.
    std::string drop = "DROP TABLE IF EXISTS " + QuoteName(name);
    sqlite3_exec(db_, drop.c_str(), nullptr, nullptr, nullptr);
    return s;
  }
  table_ = std::move(table);
  return Status::Ok();
}

TableImage Connection::Image() const {
  TableImage image;
  if (table_ == nullptr) return image;
  image.pages_ = PagesOf(db_);
  image.table_ = table_.get();
  return image;
}

Status Connection::RestoreTable(Pages pages, std::string_view state) {
  if (db_ == nullptr) return Status::Error(ErrorCode::kNotFound, "the connection is not open");
  if (table_ != nullptr) {
    return Status::Error(ErrorCode::kRefused, "the connection holds a table already");
  }
  if (Status s = AdoptPages(db_, std::move(pages)); !s.ok()) return s;
  return Table::Restore(db_, kLibraryTable, state, &table_);
}

Status Connection::Execute(std::string_view sql, ResultSet* out) {
  *out = ResultSet();
  SelectStatement statement;
  if (Status s = ParseSelect(sql, &statement); !s.ok()) return s;
  // The name never reaches the file system: a query reads the library and nothing beside it.
  if (Lower(statement.table) != kLibraryTable) {
    return Status::Error(ErrorCode::kBadQuery, "no table named '" + statement.table +
                                                   "': the only table is " + kLibraryTable);
  }
  if (Status s = LoadTable(kLibraryTable); !s.ok()) return s;
  Status s = table_->Run(statement, out);
  if (!s.ok()) *out = ResultSet();
  return s;
}

}  // namespace textdb
