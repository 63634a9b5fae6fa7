#include "textdb/query.h"

#include <strings.h>

#include <cctype>

namespace textdb {
namespace {

struct Token {
  enum Kind { kEnd, kWord, kName, kString, kNumber, kSymbol } kind = kEnd;
  std::string text;     // kName: the name without brackets; kString: the value without quotes
  size_t position = 0;  // 1-based character position in the query, for messages
};

bool IsWordChar(unsigned char c) {
  return std::isalnum(c) || c == '_' || c == '.' || c == '$' || c == '#' || c >= 0x80;
}

Status Tokenize(std::string_view sql, std::vector<Token>* tokens) {
  size_t i = 0;
  while (i < sql.size()) {
    auto c = static_cast<unsigned char>(sql[i]);
    if (std::isspace(c)) {
      ++i;
      continue;
    }
    Token t;
    t.position = i + 1;
    if (c == '\'') {
      t.kind = Token::kString;
      ++i;
      for (;;) {
        if (i >= sql.size()) {
          return Status::Error(
              ErrorCode::kBadQuery,
              "text starting at character " + std::to_string(t.position) + " has no closing quote");
        }
        if (sql[i] == '\'') {
          if (i + 1 < sql.size() && sql[i + 1] == '\'') {
            t.text.push_back('\'');
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        t.text.push_back(sql[i++]);
      }
    } else if (c == '[' || c == '"') {
      char close = c == '[' ? ']' : '"';
      size_t end = sql.find(close, i + 1);
      if (end == std::string_view::npos) {
        return Status::Error(
            ErrorCode::kBadQuery,
            "name starting at character " + std::to_string(t.position) + " is never closed");
      }
      t.kind = Token::kName;
      t.text = std::string(sql.substr(i + 1, end - i - 1));
      i = end + 1;
    } else if (std::isdigit(c)) {
      t.kind = Token::kNumber;
      while (i < sql.size() && (std::isdigit(static_cast<unsigned char>(sql[i])) || sql[i] == '.'))
        t.text.push_back(sql[i++]);
    } else if (IsWordChar(c)) {
      t.kind = Token::kWord;
      while (i < sql.size() && IsWordChar(static_cast<unsigned char>(sql[i])))
        t.text.push_back(sql[i++]);
    } else {
      t.kind = Token::kSymbol;
      static const char* kTwo[] = {"<>", "<=", ">=", "!="};
      for (const char* two : kTwo) {
        if (sql.substr(i, 2) == two) t.text = two;
      }
      if (t.text.empty()) {
        if (std::string_view("(),*=<>;").find(static_cast<char>(c)) == std::string_view::npos) {
          return Status::Error(ErrorCode::kBadQuery,
                               "unexpected character '" + std::string(1, static_cast<char>(c)) +
                                   "' at character " + std::to_string(t.position));
        }
        t.text = std::string(1, static_cast<char>(c));
      }
      if (t.text == "!=") t.text = "<>";
      i += t.text.size();
    }
    tokens->push_back(std::move(t));
  }
  Token end;
  end.position = sql.size() + 1;
  tokens->push_back(end);
  return Status::Ok();
}

class Parser {
 public:
  explicit Parser(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

  Status Parse(SelectStatement* out) {
    if (!Keyword("select")) return Expected("Select");
    out->distinct = Keyword("distinct");
    if (Symbol("*")) {
      out->columns.clear();
    } else {
      do {
        std::string name;
        if (!Name(&name)) return Expected("a column name or *");
        out->columns.push_back(std::move(name));
      } while (Symbol(","));
    }
    if (!Keyword("from")) return Expected("from");
    if (!Name(&out->table)) return Expected("a table name");
    if (Keyword("where")) {
      Expr e;
      if (Status s = Or(&e); !s.ok()) return s;
      out->where = std::move(e);
    }
    if (Keyword("order")) {
      if (!Keyword("by")) return Expected("by");
      do {
        OrderItem item;
        if (!Name(&item.column)) return Expected("a column name");
        if (Keyword("desc")) {
          item.descending = true;
        } else {
          Keyword("asc");
        }
        out->order_by.push_back(std::move(item));
      } while (Symbol(","));
    }
    Symbol(";");
    if (Peek().kind != Token::kEnd) return Expected("the end of the query");
    return Status::Ok();
  }

 private:
  static bool IsReserved(std::string_view word) {
    static const char* kReserved[] = {"select", "distinct", "from", "where", "and", "or",  "not",
                                      "like",   "is",       "null", "order", "by",  "asc", "desc"};
    for (const char* r : kReserved) {
      if (word.size() == std::string_view(r).size() &&
          strncasecmp(word.data(), r, word.size()) == 0)
        return true;
    }
    return false;
  }

  const Token& Peek() const { return tokens_[pos_]; }

  bool Keyword(const char* word) {
    const Token& t = Peek();
    if (t.kind == Token::kWord && strcasecmp(t.text.c_str(), word) == 0) {
      ++pos_;
      return true;
    }
    return false;
  }

  bool Symbol(const char* symbol) {
    const Token& t = Peek();
    if (t.kind == Token::kSymbol && t.text == symbol) {
      ++pos_;
      return true;
    }
    return false;
  }

  bool Name(std::string* name) {
    const Token& t = Peek();
    if (t.kind == Token::kName || (t.kind == Token::kWord && !IsReserved(t.text))) {
      *name = t.text;
      ++pos_;
      return true;
    }
    return false;
  }

  Status Expected(const std::string& what) const {
    const Token& t = Peek();
    std::string found = t.kind == Token::kEnd
                            ? "the end of the query"
                            : "'" + t.text + "' at character " + std::to_string(t.position);
    return Status::Error(ErrorCode::kBadQuery, "expected " + what + " but found " + found);
  }

  Status Or(Expr* out) {
    return Chain(out, "or", Expr::kOr, [this](Expr* e) { return And(e); });
  }
  Status And(Expr* out) {
    return Chain(out, "and", Expr::kAnd, [this](Expr* e) { return Not(e); });
  }

  template <typename Next>
  Status Chain(Expr* out, const char* keyword, Expr::Kind kind, Next next) {
    if (Status s = next(out); !s.ok()) return s;
    bool grouped = false;
    while (Keyword(keyword)) {
      Expr right;
      if (Status s = next(&right); !s.ok()) return s;
      if (!grouped) {
        grouped = true;
        Expr group;
        group.kind = kind;
        group.children.push_back(std::move(*out));
        *out = std::move(group);
      }
      out->children.push_back(std::move(right));
    }
    return Status::Ok();
  }

  Status Not(Expr* out) {
    // Each Not and each parenthesis is a level of recursion here, in the compiler and in the
    // engine: a bounded depth keeps a hostile query from overflowing the stack.
    const bool nests = Keyword("not");
    if (nests || Symbol("(")) {
      if (depth_ == kMaxNesting) {
        return Status::Error(ErrorCode::kBadQuery,
                             "the condition nests deeper than " + std::to_string(kMaxNesting) +
                                 " levels of parentheses and Not at character " +
                                 std::to_string(tokens_[pos_ - 1].position));
      }
      ++depth_;
      Status s;
      if (nests) {
        out->kind = Expr::kNot;
        out->children.emplace_back();
        s = Not(&out->children.back());
      } else if (s = Or(out); s.ok() && !Symbol(")")) {
        s = Expected("')'");
      }
      --depth_;
      return s;
    }
    return Predicate(out);
  }

  bool Value(Operand* operand) {
    const Token& t = Peek();
    if (t.kind == Token::kString || t.kind == Token::kNumber) {
      *operand = {Operand::kLiteral, t.text};
      ++pos_;
      return true;
    }
    std::string name;
    if (Name(&name)) {
      *operand = {Operand::kColumn, std::move(name)};
      return true;
    }
    return false;
  }

  Status Predicate(Expr* out) {
    if (!Value(&out->left)) return Expected("a column name or a value");
    if (Keyword("is")) {
      out->kind = Expr::kIsNull;
      out->negated = Keyword("not");
      if (!Keyword("null")) return Expected("Null");
      return Status::Ok();
    }
    bool negated = Keyword("not");
    if (Keyword("like")) {
      out->kind = Expr::kLike;
      out->negated = negated;
      if (Peek().kind != Token::kString) return Expected("a quoted pattern");
      out->right = {Operand::kLiteral, Peek().text};
      ++pos_;
      return Status::Ok();
    }
    if (negated) return Expected("Like");
    static const char* kOps[] = {"=", "<>", "<=", ">=", "<", ">"};
    for (const char* op : kOps) {
      if (Symbol(op)) {
        out->kind = Expr::kCompare;
        out->op = op;
        if (!Value(&out->right)) return Expected("a column name or a value");
        return Status::Ok();
      }
    }
    return Expected("a comparison, Like or Is Null");
  }

  std::vector<Token> tokens_;
  size_t pos_ = 0;
  int depth_ = 0;  // Nots and parentheses open around the current token
};

}  // namespace

bool OperatorHolds(std::string_view op, int comparison) {
  if (op == "=") return comparison == 0;
  if (op == "<>") return comparison != 0;
  if (op == "<") return comparison < 0;
  if (op == ">") return comparison > 0;
  if (op == "<=") return comparison <= 0;
  return comparison >= 0;
}

std::string FlippedOperator(const std::string& op) {
  if (op == "<") return ">";
  if (op == ">") return "<";
  if (op == "<=") return ">=";
  if (op == ">=") return "<=";
  return op;
}

Status ParseSelect(std::string_view sql, SelectStatement* out) {
  std::vector<Token> tokens;
  if (Status s = Tokenize(sql, &tokens); !s.ok()) return s;
  *out = SelectStatement();
  return Parser(std::move(tokens)).Parse(out);
}

}  // namespace textdb
