// Rewriting the dialect's statements as SQLite SQL over a loaded table.
#include <algorithm>

#include "textdb/collation.h"
#include "textdb/like_pattern.h"
#include "textdb/table.h"

namespace textdb {
namespace {

bool Holds(std::string_view op, int comparison) {
  if (op == "=") return comparison == 0;
  if (op == "<>") return comparison != 0;
  if (op == "<") return comparison < 0;
  if (op == ">") return comparison > 0;
  if (op == "<=") return comparison <= 0;
  return comparison >= 0;
}

std::string Flip(const std::string& op) {
  if (op == "<") return ">";
  if (op == ">") return "<";
  if (op == "<=") return ">=";
  if (op == ">=") return "<=";
  return op;
}

std::string Placeholder(CompiledQuery* out, Bind bind) {
  out->binds.push_back(std::move(bind));
  return "?" + std::to_string(out->binds.size());
}

Status UnknownColumn(const std::string& name) {
  return Status::Error(ErrorCode::kBadQuery, "unknown column '" + name + "'");
}

void LikeFunction(sqlite3_context* context, int, sqlite3_value** args) {
  if (sqlite3_value_type(args[1]) == SQLITE_NULL) return;  // Null fails every comparison
  auto* pattern = static_cast<LikePattern*>(sqlite3_get_auxdata(context, 0));
  if (pattern == nullptr) {
    std::string error;
    auto compiled =
        LikePattern::Compile(reinterpret_cast<const char*>(sqlite3_value_text(args[0])), &error);
    if (!compiled) {
      sqlite3_result_error(context, error.c_str(), -1);
      return;
    }
    pattern = new LikePattern(std::move(*compiled));
    sqlite3_set_auxdata(context, 0, pattern, [](void* p) { delete static_cast<LikePattern*>(p); });
    // SQLite may drop the cache at once; the pointer stays valid until this call returns.
  }
  std::string_view value(reinterpret_cast<const char*>(sqlite3_value_text(args[1])),
                         static_cast<size_t>(sqlite3_value_bytes(args[1])));
  sqlite3_result_int(context, pattern->Matches(value, sqlite3_value_int(args[2]) != 0) ? 1 : 0);
}

template <std::string (*KeyFn)(std::string_view)>
void KeyFunction(sqlite3_context* context, int, sqlite3_value** args) {
  if (sqlite3_value_type(args[0]) == SQLITE_NULL) return;
  std::string key = KeyFn({reinterpret_cast<const char*>(sqlite3_value_text(args[0])),
                           static_cast<size_t>(sqlite3_value_bytes(args[0]))});
  sqlite3_result_blob(context, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
}

}  // namespace

void RegisterFunctions(sqlite3* db) {
  const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
  sqlite3_create_function(db, "jubo_like", 3, flags, nullptr, LikeFunction, nullptr, nullptr);
  sqlite3_create_function(db, "jubo_key", 1, flags, nullptr, KeyFunction<CollationKey>, nullptr,
                          nullptr);
  sqlite3_create_function(db, "jubo_track_key", 1, flags, nullptr, KeyFunction<TrackKey>, nullptr,
                          nullptr);
}

std::string Table::KeyOf(const Column& column, std::string_view literal) const {
  return column.order == Order::kTrack ? TrackKey(literal) : CollationKey(literal);
}

int64_t Table::RankOf(const Column& column, std::string_view literal) const {
  const std::vector<std::string>& keys = ranks_[column.rank].sorted_keys;
  std::string key = KeyOf(column, literal);
  auto it = std::lower_bound(keys.begin(), keys.end(), key);
  auto i = static_cast<int64_t>(it - keys.begin());
  return it != keys.end() && *it == key ? 2 * (i + 1) : 2 * i + 1;
}

std::string Table::OrderExpr(const Column& column) const {
  if (column.rank >= 0) return ranks_[column.rank].sql;
  if (column.order == Order::kExact) return column.sql;
  return (column.order == Order::kTrack ? "jubo_track_key(" : "jubo_key(") + column.sql + ")";
}

Status Table::CompileCompare(const Expr& e, bool positive, CompiledQuery* out,
                             std::string* sql) const {
  const Operand& l = e.left;
  const Operand& r = e.right;
  if (l.kind == Operand::kLiteral && r.kind == Operand::kLiteral) {
    *sql += Holds(e.op, CollationKey(l.text).compare(CollationKey(r.text))) ? "1" : "0";
    return Status::Ok();
  }
  if (l.kind == Operand::kColumn && r.kind == Operand::kColumn) {
    const Column* a = Find(l.text);
    const Column* b = Find(r.text);
    if (a == nullptr) return UnknownColumn(l.text);
    if (b == nullptr) return UnknownColumn(r.text);
    if (a->order == Order::kExact || b->order == Order::kExact) {
      *sql += a->sql + " " + e.op + " " + b->sql;
    } else {
      const char* fn =
          a->order == Order::kTrack && b->order == Order::kTrack ? "jubo_track_key(" : "jubo_key(";
      *sql += fn + a->sql + ") " + e.op + " " + fn + b->sql + ")";
    }
    return Status::Ok();
  }
  bool column_left = l.kind == Operand::kColumn;
  const Operand& col = column_left ? l : r;
  const std::string& literal = column_left ? r.text : l.text;
  std::string op = column_left ? e.op : Flip(e.op);
  const Column* c = Find(col.text);
  if (c == nullptr) return UnknownColumn(col.text);
  if (c->order == Order::kExact) {
    *sql += c->sql + " " + op + " " + Placeholder(out, {Bind::kText, 0, literal});
  } else if (c->rank >= 0) {
    int64_t rank = RankOf(*c, literal);
    std::string test =
        ranks_[c->rank].sql + " " + op + " " + Placeholder(out, {Bind::kInt, rank, {}});
    // An album's songs are one range of row ids: say so, and SQLite reads only that range.
    // Only where no Not looks at the result, since outside the range the test is false even
    // for a Null album, where it would otherwise be unknown.
    if (positive && op == "=" && c->rank == static_cast<int>(kAlbumRanks) && rank % 2 == 0) {
      const RowRange& range = album_rows_[static_cast<size_t>(rank / 2 - 1)];
      test = "(" + test + " AND rowid BETWEEN " + std::to_string(range.first) + " AND " +
             std::to_string(range.last) + ")";
    }
    *sql += test;
  } else {
    *sql += OrderExpr(*c) + " " + op + " " + Placeholder(out, {Bind::kBlob, 0, KeyOf(*c, literal)});
  }
  return Status::Ok();
}

Status Table::CompileExpr(const Expr& e, bool positive, CompiledQuery* out,
                          std::string* sql) const {
  switch (e.kind) {
    case Expr::kAnd:
    case Expr::kOr: {
      *sql += "(";
      for (size_t i = 0; i < e.children.size(); ++i) {
        if (i > 0) *sql += e.kind == Expr::kAnd ? " AND " : " OR ";
        if (Status s = CompileExpr(e.children[i], positive, out, sql); !s.ok()) return s;
      }
      *sql += ")";
      return Status::Ok();
    }
    case Expr::kNot: {
      *sql += "NOT (";
      if (Status s = CompileExpr(e.children[0], !positive, out, sql); !s.ok()) return s;
      *sql += ")";
      return Status::Ok();
    }
    case Expr::kCompare:
      return CompileCompare(e, positive, out, sql);
    case Expr::kLike: {
      std::string error;
      auto pattern = LikePattern::Compile(e.right.text, &error);
      if (!pattern) return Status::Error(ErrorCode::kBadQuery, error);
      if (e.left.kind == Operand::kLiteral) {
        *sql += pattern->Matches(e.left.text, false) != e.negated ? "1" : "0";
        return Status::Ok();
      }
      const Column* c = Find(e.left.text);
      if (c == nullptr) return UnknownColumn(e.left.text);
      *sql += std::string(e.negated ? "NOT " : "") + "jubo_like(" +
              Placeholder(out, {Bind::kText, 0, e.right.text}) + ", " + c->sql + ", " +
              (c->order == Order::kExact ? "1" : "0") + ")";
      return Status::Ok();
    }
    case Expr::kIsNull: {
      if (e.left.kind == Operand::kLiteral) {
        *sql += e.negated ? "1" : "0";
        return Status::Ok();
      }
      const Column* c = Find(e.left.text);
      if (c == nullptr) return UnknownColumn(e.left.text);
      *sql += c->sql + (e.negated ? " IS NOT NULL" : " IS NULL");
      return Status::Ok();
    }
  }
  return Status::Ok();
}

bool Table::CompileValuesList(const SelectStatement& statement, CompiledQuery* out) const {
  if (!statement.distinct || statement.columns.size() != 1) return false;
  const Column* c = Find(statement.columns[0]);
  if (c == nullptr || c->rank < 0 || statement.order_by.size() > 1) return false;
  if (!statement.order_by.empty() && Find(statement.order_by[0].column) != c) return false;
  const Ranks& ranks = ranks_[c->rank];
  const Expr* where = statement.where ? &*statement.where : nullptr;
  std::string filter;
  if (where == nullptr) {
    // Every value.
  } else if (where->kind == Expr::kLike && where->left.kind == Operand::kColumn &&
             Find(where->left.text) == c) {
    // Values some song spells in a way that matches: the spellings answer that.
    std::string error;
    if (!LikePattern::Compile(where->right.text, &error)) return false;
    filter = std::string(" WHERE rank IN (SELECT rank FROM ") + ranks.spellings_table + " WHERE " +
             (where->negated ? "NOT " : "") + "jubo_like(" +
             Placeholder(out, {Bind::kText, 0, where->right.text}) + ", value, 0))";
  } else {
    // Values of the songs that match; a song without one stands for the Null value (rank 0).
    std::string songs;
    if (!CompileExpr(*where, true, out, &songs).ok()) {
      out->binds.clear();
      return false;
    }
    filter = " WHERE rank IN (SELECT coalesce(" + ranks.sql + ", 0) FROM " + QuoteName(name_) +
             " WHERE " + songs + ")";
  }
  bool descending = !statement.order_by.empty() && statement.order_by[0].descending;
  out->sql = "SELECT value FROM " + ranks.names_table + filter +
             (descending ? " ORDER BY rank DESC" : " ORDER BY rank");
  out->columns = {c->name};
  return true;
}

Status Table::Compile(const SelectStatement& statement, CompiledQuery* out) const {
  *out = CompiledQuery();
  if (CompileValuesList(statement, out)) return Status::Ok();
  std::vector<const Column*> selected;
  if (statement.columns.empty()) {
    for (const Column& c : columns_) selected.push_back(&c);
  } else {
    for (const std::string& name : statement.columns) {
      const Column* c = Find(name);
      if (c == nullptr) return UnknownColumn(name);
      selected.push_back(c);
    }
  }
  const std::string quoted_name = QuoteName(name_);
  std::string where;
  if (statement.where) {
    where = " WHERE ";
    if (Status s = CompileExpr(*statement.where, true, out, &where); !s.ok()) return s;
  }
  std::vector<const Column*> order;
  for (const OrderItem& item : statement.order_by) {
    const Column* c = Find(item.column);
    if (c == nullptr) return UnknownColumn(item.column);
    order.push_back(c);
  }
  for (const Column* c : selected) out->columns.push_back(c->name);

  if (!statement.distinct) {
    // Rows of the table: their ids now, their values when read.
    out->row_ids = true;
    out->sql = "SELECT rowid FROM " + quoted_name + where;
    out->row_sql = "SELECT ";
    for (size_t i = 0; i < selected.size(); ++i) {
      out->row_sql += (i > 0 ? ", " : "") + selected[i]->sql;
    }
    out->row_sql += " FROM " + quoted_name + " WHERE rowid = ?1";
    if (order.empty()) return Status::Ok();
    // Rows are stored by album, then track, then file: ordering by Album, or by Album then
    // Track, all one way, is the stored order.
    bool stored =
        order.size() <= 2 && order[0]->rank == static_cast<int>(kAlbumRanks) &&
        (order.size() == 1 || order[1]->rank == static_cast<int>(kTrackRanks)) &&
        std::all_of(statement.order_by.begin(), statement.order_by.end(), [&](const OrderItem& i) {
          return i.descending == statement.order_by[0].descending;
        });
    if (stored) {
      out->sql += statement.order_by[0].descending ? " ORDER BY rowid DESC" : " ORDER BY rowid";
      return Status::Ok();
    }
    out->sql += " ORDER BY ";
    for (size_t i = 0; i < order.size(); ++i) {
      out->sql += OrderExpr(*order[i]) + (statement.order_by[i].descending ? " DESC" : "") + ", ";
    }
    out->sql += "rowid";  // rows are stored in file order within an album and track
    return Status::Ok();
  }

  // Distinct by the collation, so values that differ only in case are one value; each shows
  // the spelling the file gives first among the matching songs (SQLite takes bare columns from
  // the min() row).
  std::string inner = "SELECT ";
  std::string outer = "SELECT ";
  std::string group;
  for (size_t i = 0; i < selected.size(); ++i) {
    inner += selected[i]->sql + " AS v" + std::to_string(i) + ", ";
    outer += (i > 0 ? ", v" : "v") + std::to_string(i);
    group += (i > 0 ? ", " : "") + OrderExpr(*selected[i]);
  }
  std::string order_sql;
  for (size_t i = 0; i < order.size(); ++i) {
    inner += OrderExpr(*order[i]) + " AS k" + std::to_string(i) + ", ";
    order_sql += (i > 0 ? ", k" : " ORDER BY k") + std::to_string(i) +
                 (statement.order_by[i].descending ? " DESC" : "");
  }
  inner +=
      std::string("min(") + kLineColumn + ") FROM " + quoted_name + where + " GROUP BY " + group;
  out->sql = outer + " FROM (" + inner + ")" + order_sql;
  return Status::Ok();
}

}  // namespace textdb
