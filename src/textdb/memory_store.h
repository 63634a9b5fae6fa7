// Where a connection's database lives: one block of memory that SQLite reads in place, with no
// page cache copying it, and that can be written out whole (to keep it) or adopted whole (a
// kept copy read back), without a copy of its size ever being made.
#pragma once

#include <sqlite3.h>

#include <cstddef>
#include <string_view>

#include "textdb/status.h"

namespace textdb {

// A block of memory SQLite can take over as a database's pages. Freed with the object unless
// handed over.
class Pages {
 public:
  Pages() = default;
  // `size` bytes, not cleared; an empty block when there is no memory for them (or `size` is
  // beyond what SQLite can hold).
  static Pages Allocate(size_t size);
  ~Pages();
  Pages(Pages&& other) noexcept;
  Pages& operator=(Pages&& other) noexcept;
  Pages(const Pages&) = delete;
  Pages& operator=(const Pages&) = delete;

  char* data() const { return data_; }
  size_t size() const { return size_; }
  bool empty() const { return data_ == nullptr; }
  // Gives the block up to whoever frees it with sqlite3_free.
  char* Release();

 private:
  char* data_ = nullptr;
  size_t size_ = 0;
};

// Replaces `db`'s main database by an empty one in a block of `capacity` bytes (at most 2 GB,
// SQLite's largest block), which it may fill but not outgrow (a write past it fails with
// SQLITE_FULL). Untouched parts of the block cost no memory.
Status UseMemoryStore(sqlite3* db, size_t capacity);

// Replaces `db`'s main database by the one whose pages are `pages`, which it takes over and
// only reads. kRefused when they are not an SQLite database.
Status AdoptPages(sqlite3* db, Pages pages);

// The pages of `db`'s main database, in place: valid and unchanged while the connection only
// reads. Empty when the database is not held by UseMemoryStore or AdoptPages.
std::string_view PagesOf(sqlite3* db);

}  // namespace textdb
