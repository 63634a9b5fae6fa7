#include "textdb/memory_store.h"

#include <algorithm>
#include <string>

namespace textdb {
namespace {

// SQLite allocates no single block larger than this.
constexpr size_t kMaxBlock = 0x7fffff00;

Status StoreFailure(sqlite3* db, const std::string& what) {
  return Status::Error(ErrorCode::kRefused, what + ": " + sqlite3_errmsg(db));
}

// Reads go straight to the block (SQLite's memory-mapped reads; 2 GB is its most), and nothing
// is journaled: a load either completes or the table is dropped.
Status Settle(sqlite3* db) {
  if (sqlite3_exec(db, "PRAGMA journal_mode=OFF; PRAGMA mmap_size=2147418112;", nullptr, nullptr,
                   nullptr) != SQLITE_OK) {
    return StoreFailure(db, "cannot set the library's store up");
  }
  return Status::Ok();
}

}  // namespace

Pages Pages::Allocate(size_t size) {
  Pages pages;
  if (size == 0 || size > kMaxBlock) return pages;
  pages.data_ = static_cast<char*>(sqlite3_malloc64(size));
  if (pages.data_ != nullptr) pages.size_ = size;
  return pages;
}

Pages::~Pages() { sqlite3_free(data_); }

Pages::Pages(Pages&& other) noexcept : data_(other.data_), size_(other.size_) {
  other.data_ = nullptr;
  other.size_ = 0;
}

Pages& Pages::operator=(Pages&& other) noexcept {
  if (this != &other) {
    sqlite3_free(data_);
    data_ = other.data_;
    size_ = other.size_;
    other.data_ = nullptr;
    other.size_ = 0;
  }
  return *this;
}

char* Pages::Release() {
  char* data = data_;
  data_ = nullptr;
  size_ = 0;
  return data;
}

Status UseMemoryStore(sqlite3* db, size_t capacity) {
  // Past SQLite's largest block the table may still fit; if not, the insert that does not
  // fit fails.
  capacity = std::min(capacity, kMaxBlock);
  Pages block = Pages::Allocate(capacity);
  if (block.empty()) {
    return Status::Error(ErrorCode::kRefused, "not enough memory to hold the library (" +
                                                  std::to_string(capacity >> 20) + " MB)");
  }
  // Not resizable: SQLite reads a block in place only when it cannot move.
  auto* data = reinterpret_cast<unsigned char*>(block.Release());
  if (sqlite3_deserialize(db, "main", data, 0, static_cast<sqlite3_int64>(capacity),
                          SQLITE_DESERIALIZE_FREEONCLOSE) != SQLITE_OK) {
    return StoreFailure(db, "cannot hold the library in memory");
  }
  return Settle(db);
}

Status AdoptPages(sqlite3* db, Pages pages) {
  const auto size = static_cast<sqlite3_int64>(pages.size());
  auto* data = reinterpret_cast<unsigned char*>(pages.Release());
  if (data == nullptr || sqlite3_deserialize(db, "main", data, size, size,
                                             SQLITE_DESERIALIZE_FREEONCLOSE) != SQLITE_OK) {
    return StoreFailure(db, "cannot take the kept library over");
  }
  if (Status s = Settle(db); !s.ok()) return s;
  // A block that is no database fails here, at its first page, rather than at a query.
  if (sqlite3_exec(db, "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr) !=
      SQLITE_OK) {
    return StoreFailure(db, "the kept library is no database");
  }
  return Status::Ok();
}

std::string_view PagesOf(sqlite3* db) {
  sqlite3_int64 size = 0;
  unsigned char* data = sqlite3_serialize(db, "main", &size, SQLITE_SERIALIZE_NOCOPY);
  if (data == nullptr) return {};
  return {reinterpret_cast<const char*>(data), static_cast<size_t>(size)};
}

}  // namespace textdb
