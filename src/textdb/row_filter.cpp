// Conditions evaluated over the in-memory columns, for every row at once. A condition's truth is
// three-valued, as in SQL: it holds, fails, or is unknown (a comparison with Null). It is kept
// as two bit sets, a bit per row, so that And, Or and Not are word operations, and a comparison
// is first decided once per distinct spelling, then spread over the rows by their spellings.
#include <algorithm>
#include <cstdint>

#include "textdb/collation.h"
#include "textdb/like_pattern.h"
#include "textdb/table.h"

namespace textdb {

class Table::Filter {
 public:
  struct Truth {
    std::vector<uint64_t> holds, fails;  // neither: unknown
  };

  explicit Filter(const Table& table)
      : table_(table), rows_(static_cast<size_t>(table.row_count_)), words_((rows_ + 63) / 64) {}

  // The truth of `e` for every row; false when `e` reads what memory does not hold (a column
  // that is not ranked, two columns compared, a file name other than by = or under a Not).
  // `positive`: no Not is above `e`, so an unknown may be taken as failing.
  bool Eval(const Expr& e, bool positive, Truth* out) const {
    switch (e.kind) {
      case Expr::kAnd:
      case Expr::kOr: {
        // In an And, a child that picks the rows of a few albums or files without a scan goes
        // first, and the others are decided for those rows only: it fails every other row.
        std::vector<const Expr*> children;
        for (const Expr& child : e.children) children.push_back(&child);
        const bool narrowing = e.kind == Expr::kAnd && positive;
        auto narrow = std::find_if(children.begin(), children.end(),
                                   [&](const Expr* child) { return narrowing && Narrow(*child); });
        if (narrow != children.end()) std::rotate(children.begin(), narrow, narrow + 1);
        if (!Eval(*children[0], positive, out)) return false;
        const std::vector<uint32_t>* outer = only_;
        std::vector<uint32_t> picked;
        if (narrow != children.end()) {
          ForEachBit(out->holds, [&](size_t i) { picked.push_back(static_cast<uint32_t>(i)); });
          only_ = &picked;
        }
        Truth other;
        bool answered = true;
        for (size_t i = 1; i < children.size() && answered; ++i) {
          answered = Eval(*children[i], positive, &other);
          for (size_t w = 0; w < words_ && answered; ++w) {
            if (e.kind == Expr::kAnd) {
              out->holds[w] &= other.holds[w];
              out->fails[w] |= other.fails[w];
            } else {
              out->holds[w] |= other.holds[w];
              out->fails[w] &= other.fails[w];
            }
          }
        }
        only_ = outer;
        return answered;
      }
      case Expr::kNot:
        if (!Eval(e.children[0], !positive, out)) return false;
        std::swap(out->holds, out->fails);
        return true;
      case Expr::kCompare:
        return Compare(e, positive, out);
      case Expr::kLike:
        return Like(e, out);
      case Expr::kIsNull:
        return IsNull(e, out);
    }
    return false;
  }

 private:
  // A comparison decided for one spelling id; id 0 (Null) is kUnknown wherever it compares.
  enum Verdict : uint8_t { kFails, kHolds, kUnknown };

  // Every row the same.
  void Constant(bool holds, Truth* out) const {
    out->holds.assign(words_, holds ? ~uint64_t{0} : 0);
    out->fails.assign(words_, holds ? 0 : ~uint64_t{0});
    ClearTail(&out->holds);
    ClearTail(&out->fails);
  }

  void ClearTail(std::vector<uint64_t>* bits) const {
    if (rows_ % 64 != 0) bits->back() &= (uint64_t{1} << (rows_ % 64)) - 1;
  }

  // Whether `e`, with no Not above it, holds for the rows of a few albums or files only, found
  // without a scan (see Compare).
  bool Narrow(const Expr& e) const {
    if (e.kind == Expr::kOr) {
      return std::all_of(e.children.begin(), e.children.end(),
                         [&](const Expr& child) { return Narrow(child); });
    }
    if (e.kind != Expr::kCompare || e.op != "=" ||
        (e.left.kind == Operand::kColumn) == (e.right.kind == Operand::kColumn)) {
      return false;
    }
    const Column* c = table_.Find(e.left.kind == Operand::kColumn ? e.left.text : e.right.text);
    return c != nullptr && (c->rank == static_cast<int>(kAlbumRanks) || c->order == Order::kExact);
  }

  // Each row takes the verdict of its spelling in `ranks`; while only_ is set, only its rows
  // do, and every other row is left unknown.
  void Spread(const Ranks& ranks, const std::vector<Verdict>& verdicts, Truth* out) const {
    out->holds.assign(words_, 0);
    out->fails.assign(words_, 0);
    const uint32_t* ids = ranks.rows.data();
    if (only_ != nullptr) {
      for (uint32_t i : *only_) {
        const Verdict v = verdicts[ids[i]];
        out->holds[i / 64] |= uint64_t{v == kHolds} << (i % 64);
        out->fails[i / 64] |= uint64_t{v == kFails} << (i % 64);
      }
      return;
    }
    for (size_t w = 0; w < words_; ++w) {
      uint64_t holds = 0, fails = 0;
      const size_t end = std::min(rows_, (w + 1) * 64);
      for (size_t i = w * 64; i < end; ++i) {
        const Verdict v = verdicts[ids[i]];
        holds |= uint64_t{v == kHolds} << (i & 63);
        fails |= uint64_t{v == kFails} << (i & 63);
      }
      out->holds[w] = holds;
      out->fails[w] = fails;
    }
  }

  // The verdict of every spelling of a ranked column, Null unknown.
  template <typename Decide>
  std::vector<Verdict> Verdicts(const Ranks& ranks, Decide&& decide) const {
    std::vector<Verdict> verdicts(ranks.rank_of.size());
    verdicts[0] = kUnknown;
    for (size_t id = 1; id < verdicts.size(); ++id) {
      verdicts[id] = decide(id) ? kHolds : kFails;
    }
    return verdicts;
  }

  const Ranks* RanksOf(const Operand& operand) const {
    const Column* c = table_.Find(operand.text);
    return c != nullptr && c->rank >= 0 ? &table_.ranks_[static_cast<size_t>(c->rank)] : nullptr;
  }

  bool Compare(const Expr& e, bool positive, Truth* out) const {
    const Operand& l = e.left;
    const Operand& r = e.right;
    if (l.kind == Operand::kLiteral && r.kind == Operand::kLiteral) {
      Constant(OperatorHolds(e.op, CollationKey(l.text).compare(CollationKey(r.text))), out);
      return true;
    }
    if (l.kind == Operand::kColumn && r.kind == Operand::kColumn) return false;
    const bool column_left = l.kind == Operand::kColumn;
    const Operand& column = column_left ? l : r;
    const std::string& literal = column_left ? r.text : l.text;
    const std::string op = column_left ? e.op : FlippedOperator(e.op);
    const Column* c = table_.Find(column.text);
    if (c == nullptr) return false;
    if (c->rank >= 0) {
      const Ranks& ranks = table_.ranks_[static_cast<size_t>(c->rank)];
      const int64_t rank = table_.RankOf(*c, literal);
      if (positive && op == "=" && c->rank == static_cast<int>(kAlbumRanks)) {
        // An album's songs lie together in the listing order: only they are looked at.
        auto album_of = [&](uint32_t row) {
          return static_cast<int64_t>(table_.ListingKey(row) >> 32);
        };
        auto first = std::partition_point(table_.order_.begin(), table_.order_.end(),
                                          [&](uint32_t row) { return album_of(row) < rank; });
        auto last = std::partition_point(first, table_.order_.end(),
                                         [&](uint32_t row) { return album_of(row) == rank; });
        std::vector<uint32_t> rows(first, last);
        HoldsFor(rows, out);
        return true;
      }
      Spread(ranks,
             Verdicts(ranks,
                      [&](size_t id) {
                        const int64_t own = ranks.rank_of[id];
                        return OperatorHolds(op, own < rank ? -1 : own > rank ? 1 : 0);
                      }),
             out);
      return true;
    }
    if (c->order != Order::kExact || op != "=" || !positive) return false;
    HoldsFor(table_.RowsOfFile(literal), out);
    return true;
  }

  // Holds for `rows` (row ids - 1) and fails for every other: where no Not is above, a row
  // whose value is Null may be taken as failing.
  void HoldsFor(const std::vector<uint32_t>& rows, Truth* out) const {
    out->holds.assign(words_, 0);
    for (uint32_t i : rows) out->holds[i / 64] |= uint64_t{1} << (i % 64);
    out->fails.resize(words_);
    for (size_t w = 0; w < words_; ++w) out->fails[w] = ~out->holds[w];
    ClearTail(&out->fails);
  }

  bool Like(const Expr& e, Truth* out) const {
    std::string error;
    std::optional<LikePattern> pattern = LikePattern::Compile(e.right.text, &error);
    if (!pattern) return false;
    if (e.left.kind == Operand::kLiteral) {
      Constant(pattern->Matches(e.left.text, false) != e.negated, out);
      return true;
    }
    const Ranks* ranks = RanksOf(e.left);
    if (ranks == nullptr) return false;
    Spread(*ranks,
           Verdicts(*ranks,
                    [&](size_t id) {
                      return pattern->Matches(ranks->spellings[id - 1], false) != e.negated;
                    }),
           out);
    return true;
  }

  bool IsNull(const Expr& e, Truth* out) const {
    if (e.left.kind == Operand::kLiteral) {
      Constant(e.negated, out);
      return true;
    }
    const Ranks* ranks = RanksOf(e.left);
    if (ranks == nullptr) return false;
    std::vector<Verdict> verdicts(ranks->rank_of.size(), e.negated ? kHolds : kFails);
    verdicts[0] = e.negated ? kFails : kHolds;
    Spread(*ranks, verdicts, out);
    return true;
  }

  const Table& table_;
  const size_t rows_;
  const size_t words_;
  mutable const std::vector<uint32_t>* only_ = nullptr;  // the rows an And narrowed to
};

bool Table::FilterRows(const Expr& where, std::vector<uint64_t>* bits) const {
  Filter::Truth truth;
  if (!Filter(*this).Eval(where, true, &truth)) return false;
  *bits = std::move(truth.holds);
  return true;
}

}  // namespace textdb
