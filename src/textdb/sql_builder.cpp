// Rewriting the dialect's statements as SQLite SQL over a loaded table.
#include <algorithm>

#include "textdb/collation.h"
#include "textdb/like_pattern.h"
#include "textdb/table.h"

namespace textdb {
namespace {

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
  if (column.rank >= 0) return "jubo_rank(" + std::to_string(column.rank) + ", rowid)";
  if (column.order == Order::kExact) return column.sql;
  return (column.order == Order::kTrack ? "jubo_track_key(" : "jubo_key(") + column.sql + ")";
}

Status Table::CompileCompare(const Expr& e, CompiledQuery* out, std::string* sql) const {
  const Operand& l = e.left;
  const Operand& r = e.right;
  if (l.kind == Operand::kLiteral && r.kind == Operand::kLiteral) {
    *sql += OperatorHolds(e.op, CollationKey(l.text).compare(CollationKey(r.text))) ? "1" : "0";
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
  std::string op = column_left ? e.op : FlippedOperator(e.op);
  const Column* c = Find(col.text);
  if (c == nullptr) return UnknownColumn(col.text);
  if (c->order == Order::kExact) {
    *sql += c->sql + " " + op + " " + Placeholder(out, {Bind::kText, 0, literal});
  } else if (c->rank >= 0) {
    *sql +=
        OrderExpr(*c) + " " + op + " " + Placeholder(out, {Bind::kInt, RankOf(*c, literal), {}});
  } else {
    *sql += OrderExpr(*c) + " " + op + " " + Placeholder(out, {Bind::kBlob, 0, KeyOf(*c, literal)});
  }
  return Status::Ok();
}

Status Table::CompileExpr(const Expr& e, CompiledQuery* out, std::string* sql) const {
  switch (e.kind) {
    case Expr::kAnd:
    case Expr::kOr: {
      *sql += "(";
      for (size_t i = 0; i < e.children.size(); ++i) {
        if (i > 0) *sql += e.kind == Expr::kAnd ? " AND " : " OR ";
        if (Status s = CompileExpr(e.children[i], out, sql); !s.ok()) return s;
      }
      *sql += ")";
      return Status::Ok();
    }
    case Expr::kNot: {
      *sql += "NOT (";
      if (Status s = CompileExpr(e.children[0], out, sql); !s.ok()) return s;
      *sql += ")";
      return Status::Ok();
    }
    case Expr::kCompare:
      return CompileCompare(e, out, sql);
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

Status Table::Compile(const SelectStatement& statement, CompiledQuery* out) const {
  *out = CompiledQuery();
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
    if (Status s = CompileExpr(*statement.where, out, &where); !s.ok()) return s;
  }
  out->where = where;
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
    // Only an order on a column that is not ranked comes here (see Run).
    if (order.empty()) return Status::Ok();
    out->sql += " ORDER BY ";
    for (size_t i = 0; i < order.size(); ++i) {
      out->sql += OrderExpr(*order[i]) + (statement.order_by[i].descending ? " DESC" : "") + ", ";
    }
    // Equal rows keep the listing order.
    out->sql += OrderExpr(*Find("Album")) + ", " + OrderExpr(*Find("Track")) + ", rowid";
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
  inner += "min(rowid) FROM " + quoted_name + where + " GROUP BY " + group;
  out->sql = outer + " FROM (" + inner + ")" + order_sql;
  return Status::Ok();
}

}  // namespace textdb
