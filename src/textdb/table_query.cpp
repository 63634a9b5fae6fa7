// Running a statement over the table. The library's own queries read only ranked columns and
// file names, list one ranked column's distinct values or rows in an order of ranked columns:
// those are answered from memory, SQLite only reading the rows a view shows. Anything else
// runs as the SQL that Compile wrote.
#include <xxhash.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <utility>

#include "textdb/table.h"

namespace textdb {
namespace {

using Statement = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

Status QueryError(sqlite3* db) {
  return Status::Error(ErrorCode::kBadQuery,
                       std::string("cannot run the query: ") + sqlite3_errmsg(db));
}

// `sql` prepared with `binds` bound; nullptr (and *status set) when it cannot be.
Statement Prepare(sqlite3* db, const std::string& sql, const std::vector<Bind>& binds,
                  Status* status) {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
    *status = QueryError(db);
    return Statement(nullptr, sqlite3_finalize);
  }
  for (size_t i = 0; i < binds.size(); ++i) {
    const Bind& b = binds[i];
    const int slot = static_cast<int>(i) + 1;
    if (b.kind == Bind::kInt) {
      sqlite3_bind_int64(stmt, slot, b.number);
    } else if (b.kind == Bind::kText) {
      sqlite3_bind_text(stmt, slot, b.bytes.data(), static_cast<int>(b.bytes.size()),
                        SQLITE_STATIC);
    } else {
      sqlite3_bind_blob(stmt, slot, b.bytes.data(), static_cast<int>(b.bytes.size()),
                        SQLITE_STATIC);
    }
  }
  return Statement(stmt, sqlite3_finalize);
}

}  // namespace

std::vector<uint32_t> Table::RowsOfFile(std::string_view filename) const {
  std::vector<uint32_t> rows;
  const auto hash = static_cast<uint32_t>(XXH3_64bits(filename.data(), filename.size()));
  auto it = std::lower_bound(files_.begin(), files_.end(), FileEntry{hash, 0});
  if (it == files_.end() || it->hash != hash) return rows;
  Status ignored;
  Statement read = Prepare(
      db_, "SELECT " + Find("Filename")->sql + " FROM " + QuoteName(name_) + " WHERE rowid = ?1",
      {}, &ignored);
  if (read == nullptr) return rows;
  // A hash names a file only with the text compared as well.
  for (; it != files_.end() && it->hash == hash; ++it) {
    sqlite3_reset(read.get());
    sqlite3_bind_int64(read.get(), 1, int64_t{it->row} + 1);
    if (sqlite3_step(read.get()) != SQLITE_ROW) continue;
    std::string_view text(reinterpret_cast<const char*>(sqlite3_column_text(read.get(), 0)),
                          static_cast<size_t>(sqlite3_column_bytes(read.get(), 0)));
    if (text == filename) rows.push_back(it->row);
  }
  return rows;
}

Status Table::SelectRows(const SelectStatement& statement, const CompiledQuery& compiled,
                         std::vector<uint64_t>* bits) const {
  const auto rows = static_cast<size_t>(row_count_);
  if (!statement.where) {
    bits->assign((rows + 63) / 64, ~uint64_t{0});
    if (rows % 64 != 0) bits->back() &= (uint64_t{1} << (rows % 64)) - 1;
    return Status::Ok();
  }
  if (FilterRows(*statement.where, bits)) return Status::Ok();
  Status status;
  Statement stmt = Prepare(db_, "SELECT rowid FROM " + QuoteName(name_) + compiled.where,
                           compiled.binds, &status);
  if (stmt == nullptr) return status;
  bits->assign((rows + 63) / 64, 0);
  int rc;
  while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
    const auto i = static_cast<size_t>(sqlite3_column_int64(stmt.get(), 0) - 1);
    if (i < rows) (*bits)[i / 64] |= uint64_t{1} << (i % 64);
  }
  return rc == SQLITE_DONE ? Status::Ok() : QueryError(db_);
}

Status Table::Run(const SelectStatement& statement, ResultSet* out) const {
  CompiledQuery compiled;
  if (Status s = Compile(statement, &compiled); !s.ok()) return s;
  out->columns = compiled.columns;
  std::vector<const Column*> selected;
  if (statement.columns.empty()) {
    for (const Column& c : columns_) selected.push_back(&c);
  } else {
    for (const std::string& name : statement.columns) selected.push_back(Find(name));
  }
  std::vector<const Column*> order;
  bool ranked_order = true;
  for (const OrderItem& item : statement.order_by) {
    order.push_back(Find(item.column));
    ranked_order = ranked_order && order.back()->rank >= 0;
  }
  const Column* listed = statement.distinct && selected.size() == 1 ? selected[0] : nullptr;
  const bool values_list = listed != nullptr && listed->rank >= 0 && order.size() <= 1 &&
                           (order.empty() || order[0] == listed);
  if (!values_list && (statement.distinct || !ranked_order)) {
    return RunSql(compiled, selected, out);
  }

  std::vector<uint64_t> bits;
  const bool descending = !statement.order_by.empty() && statement.order_by[0].descending;
  if (values_list) {
    // Each value once, by rank, as the file spells it first; Null (rank 0) first. Without a
    // condition every value is there: each is some row's.
    const auto column = static_cast<size_t>(listed->rank);
    const Ranks& ranks = ranks_[column];
    std::vector<bool> seen(ranks.sorted_keys.size() + 1, !statement.where);
    if (statement.where) {
      if (Status s = SelectRows(statement, compiled, &bits); !s.ok()) return s;
      ForEachBit(bits, [&](size_t i) { seen[ranks.rank_of[ranks.rows[i]] / 2] = true; });
    } else {
      seen[0] = has_null_[column];
    }
    for (size_t n = 0; n < seen.size(); ++n) {
      const size_t k = descending ? seen.size() - 1 - n : n;
      if (!seen[k]) continue;
      out->AppendValue(k == 0 ? std::nullopt
                              : std::optional<std::string_view>(
                                    ranks.spellings[ranks.first_spelling[k - 1] - 1]));
      out->EndRow();
    }
    return Status::Ok();
  }

  if (Status s = SelectRows(statement, compiled, &bits); !s.ok()) return s;
  // The rows in listing order (album, track, file); ordering by Album, or by Album then Track,
  // all one way, is that order.
  std::vector<int64_t> row_ids;
  size_t count = 0;
  for (uint64_t word : bits) count += static_cast<size_t>(__builtin_popcountll(word));
  row_ids.reserve(count);
  if (count < order_.size() / 64) {
    // A few rows (a song's by its file name): sorted by what makes the order, not found in it.
    ForEachBit(bits, [&](size_t i) { row_ids.push_back(static_cast<int64_t>(i) + 1); });
    auto key = [&](int64_t id) {
      return std::make_pair(ListingKey(static_cast<size_t>(id - 1)), id);
    };
    std::sort(row_ids.begin(), row_ids.end(),
              [&](int64_t a, int64_t b) { return key(a) < key(b); });
  } else {
    for (uint32_t i : order_) {
      if ((bits[i / 64] >> (i % 64)) & 1) row_ids.push_back(int64_t{i} + 1);
    }
  }
  const bool in_listing_order =
      !order.empty() && order.size() <= 2 && order[0]->rank == static_cast<int>(kAlbumRanks) &&
      (order.size() == 1 || order[1]->rank == static_cast<int>(kTrackRanks)) &&
      std::all_of(statement.order_by.begin(), statement.order_by.end(),
                  [&](const OrderItem& i) { return i.descending == descending; });
  if (in_listing_order && descending) std::reverse(row_ids.begin(), row_ids.end());
  if (!in_listing_order && !order.empty()) {
    // Equal ranks keep the listing order.
    std::stable_sort(row_ids.begin(), row_ids.end(), [&](int64_t a, int64_t b) {
      for (size_t i = 0; i < order.size(); ++i) {
        const Ranks& r = ranks_[static_cast<size_t>(order[i]->rank)];
        const uint32_t ra = r.rank_of[r.rows[static_cast<size_t>(a - 1)]];
        const uint32_t rb = r.rank_of[r.rows[static_cast<size_t>(b - 1)]];
        if (ra != rb) return statement.order_by[i].descending ? ra > rb : ra < rb;
      }
      return false;
    });
  }
  return SetRows(selected, std::move(row_ids), out);
}

Status Table::SetRows(const std::vector<const Column*>& selected, std::vector<int64_t> ids,
                      ResultSet* out) const {
  // Ranked columns are read from memory; a statement reads the stored ones, if any.
  std::vector<RowReader::Source> sources;
  std::string stored;
  int stored_count = 0;
  for (const Column* c : selected) {
    RowReader::Source& source = sources.emplace_back();
    if (c->rank >= 0) {
      const Ranks& ranks = ranks_[static_cast<size_t>(c->rank)];
      source.ids = &ranks.rows;
      source.values = &ranks.spellings;
    } else {
      source.column = stored_count++;
      stored += (stored.empty() ? "" : ",") + c->sql;
    }
  }
  Statement reader(nullptr, sqlite3_finalize);
  std::string scan;
  if (!stored.empty()) {
    Status status;
    reader = Prepare(db_, "SELECT " + stored + " FROM " + QuoteName(name_) + " WHERE rowid = ?1",
                     {}, &status);
    if (reader == nullptr) return status;
    scan = "SELECT rowid, " + stored + " FROM " + QuoteName(name_) +
           " WHERE rowid >= ?1 ORDER BY rowid";
  }
  out->SetRows(std::move(ids),
               std::make_unique<RowReader>(reader.release(), std::move(scan), std::move(sources)));
  return Status::Ok();
}

Status Table::RunSql(const CompiledQuery& compiled, const std::vector<const Column*>& selected,
                     ResultSet* out) const {
  Status status;
  Statement stmt = Prepare(db_, compiled.sql, compiled.binds, &status);
  if (stmt == nullptr) return status;
  const int width = static_cast<int>(compiled.columns.size());
  std::vector<int64_t> row_ids;
  int rc;
  while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
    if (compiled.row_ids) {
      row_ids.push_back(sqlite3_column_int64(stmt.get(), 0));
      continue;
    }
    for (int c = 0; c < width; ++c) {
      if (sqlite3_column_type(stmt.get(), c) == SQLITE_NULL) {
        out->AppendValue(std::nullopt);
      } else {
        out->AppendValue(
            std::string_view(reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), c)),
                             static_cast<size_t>(sqlite3_column_bytes(stmt.get(), c))));
      }
    }
    out->EndRow();
  }
  if (rc != SQLITE_DONE) return QueryError(db_);
  return compiled.row_ids ? SetRows(selected, std::move(row_ids), out) : Status::Ok();
}

}  // namespace textdb
