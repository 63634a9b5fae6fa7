// The query dialect of the text-file driver, parsed into a small syntax tree:
//
//   Select [Distinct] * | column {, column} from table
//     [where condition] [Order by column [Asc|Desc] {, column [Asc|Desc]}] [;]
//   condition: Or / And / Not / ( ) over  a = b, <>, <, >, <=, >=,  x [Not] Like 'pattern',
//              x Is [Not] Null;  operands are columns or literals ('text', with '' for ')
//
// Keywords are case-insensitive. A table or a column is a name (jubodb.txt, Album) or a
// [bracketed] name. A condition nests at most kMaxNesting Nots and parentheses deep.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "textdb/status.h"

namespace textdb {

// Far beyond any query a person writes, and within what the engine parses: SQLite's parser
// stack holds 100 entries, a level of the rewritten condition takes up to three ("(a OR (").
inline constexpr int kMaxNesting = 20;

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

// Whether a comparison whose three-way result is `comparison` (<0, 0, >0) satisfies `op`
// (=, <>, <, >, <= or >=).
bool OperatorHolds(std::string_view op, int comparison);
// The operator that says the same with its operands swapped (< for >).
std::string FlippedOperator(const std::string& op);

// Parses `sql`. On text outside the dialect, or a condition nested deeper than kMaxNesting,
// returns kBadQuery with a message naming the offending token and its position; *out is then
// unspecified.
Status ParseSelect(std::string_view sql, SelectStatement* out);

}  // namespace textdb
