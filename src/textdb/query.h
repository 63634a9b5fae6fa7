// The query dialect of the text-file driver, parsed into a small syntax tree:
//
//   Select [Distinct] * | column {, column} from table
//     [where condition] [Order by column [Asc|Desc] {, column [Asc|Desc]}] [;]
//   condition: Or / And / Not / ( ) over  a = b, <>, <, >, <=, >=,  x [Not] Like 'pattern',
//              x Is [Not] Null;  operands are columns or literals ('text', with '' for ')
//
// Keywords are case-insensitive. A table is a file name (jubodb.txt) or a [bracketed] name;
// a column is a name or a [bracketed] name.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "textdb/status.h"

namespace textdb {

struct Operand {
  enum Kind { kColumn, kLiteral } kind = kLiteral;
  std::string text;  // the column's name, or the literal's value
};

struct Expr {
  enum Kind { kAnd, kOr, kNot, kCompare, kLike, kIsNull } kind = kCompare;
  std::vector<Expr> children;  // kAnd, kOr: two or more; kNot: one
  std::string op;              // kCompare: "=", "<>", "<", ">", "<=" or ">="
  Operand left;                // kCompare, kLike, kIsNull
  Operand right;               // kCompare; kLike: the pattern literal
  bool negated = false;        // kLike: Not Like; kIsNull: Is Not Null
};

struct OrderItem {
  std::string column;
  bool descending = false;
};

struct SelectStatement {
  bool distinct = false;
  std::vector<std::string> columns;  // empty for *
  std::string table;
  std::optional<Expr> where;
  std::vector<OrderItem> order_by;
};

// Parses `sql`. On text outside the dialect returns kBadQuery with a message naming the
// offending token and its position; *out is then unspecified.
Status ParseSelect(std::string_view sql, SelectStatement* out);

}  // namespace textdb
