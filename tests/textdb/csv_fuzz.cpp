// A bounded random-mutation fuzzer of the CSV reader. Each round writes a library of well-formed
// rows (plain and quoted fields, line breaks in quotes, the header's width) and bad ones
// (well-formed rows mutated: stray quotes, commas, line breaks, NUL bytes, tagger quirks), then
// checks that
// - every row is what a strict RFC 4180 reading of its text gives, whenever there is one, and a
//   row over several lines always is, with the header's width;
// - every well-formed row comes out as itself, on its line, unless such a row over several
//   lines that started before it holds its start (a stray quote that closes well further down
//   makes one).
// The round count bounds the run, so it takes the same inputs on any machine, and a failing
// round is found again by running as many rounds with the same seed.
//
//   jubo_csv_fuzz [ROUNDS [SEED]]
#include <cstdint>
#include <cstdio>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "textdb/csv_reader.h"

namespace {

struct Row {
  int64_t line;  // the physical line it starts on
  size_t begin;  // in the text
  std::vector<std::string> fields;
  bool operator==(const Row&) const = default;
};

// `record` (without its line end) read as one RFC 4180 record, NUL bytes as U+FFFD; nothing
// when it is not one.
std::optional<std::vector<std::string>> Strict(std::string_view record) {
  std::vector<std::string> fields(1);
  enum { kStart, kPlain, kQuoted, kClosed } state = kStart;  // in the field being read
  const auto add = [&](char c) { fields.back() += c == '\0' ? "\xEF\xBF\xBD" : std::string(1, c); };
  for (const char c : record) {
    if (state == kQuoted) {
      if (c == '"') {
        state = kClosed;
      } else {
        add(c);
      }
    } else if (state == kClosed && c == '"') {  // the second of a doubled pair
      add(c);
      state = kQuoted;
    } else if (c == ',') {
      fields.emplace_back();
      state = kStart;
    } else if (state == kClosed || c == '\r' || c == '\n') {
      return std::nullopt;
    } else if (c == '"' && state == kStart) {
      state = kQuoted;
    } else {
      add(c);
      state = kPlain;
    }
  }
  if (state == kQuoted) return std::nullopt;
  return fields;
}

class Fuzzer {
 public:
  explicit Fuzzer(uint64_t seed) : rng_(seed) {}

  // One round; what went wrong, or "" when every invariant holds.
  std::string Round() {
    text_.clear();
    good_.clear();
    line_ = 1;
    counted_ = 0;
    const size_t width = 1 + Below(7);
    const std::string end = Below(2) == 0 ? "\n" : "\r\n";
    std::vector<std::string> fields;
    for (size_t i = 0; i < width; ++i) fields.push_back("c" + std::to_string(i));
    AddGood(fields, end);
    for (size_t lines = Below(40); lines > 0; --lines) {
      for (std::string& field : fields) field = Value();
      if (Below(3) == 0) {
        text_ += Mutated(Written(fields)) + end;
      } else {
        AddGood(fields, end);
      }
    }
    if (Below(4) == 0) text_.resize(text_.size() - end.size());  // no final line break
    return Check();
  }

 private:
  size_t Below(size_t n) { return static_cast<size_t>(rng_() % n); }

  std::string Value() {
    static const char* const kPieces[] = {"a",  "Zed", " ",  "\t",   "é",  ",",
                                          "\"", "12",  "''", "\r\n", "\n", "\r"};
    std::string value;
    for (size_t n = Below(5); n > 0; --n) value += kPieces[Below(std::size(kPieces))];
    return value;
  }

  // The fields as a tagger that quotes correctly writes them: quoted when they must be, or by
  // chance.
  std::string Written(const std::vector<std::string>& fields) {
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) {
      if (i > 0) line += ',';
      if (fields[i].find_first_of(",\"\r\n") == std::string::npos && Below(4) != 0) {
        line += fields[i];
        continue;
      }
      line += '"';
      for (char c : fields[i]) line += c == '"' ? std::string("\"\"") : std::string(1, c);
      line += '"';
    }
    return line.empty() ? "\"\"" : line;  // a blank line is no row
  }

  // The text so far always ends a line here: LF, CR and CRLF each end one.
  void AddGood(const std::vector<std::string>& fields, const std::string& end) {
    for (; counted_ < text_.size(); ++counted_) {
      const char c = text_[counted_];
      if (c == '\n' || (c == '\r' && text_[counted_ + 1] != '\n')) ++line_;
    }
    good_.push_back({line_, text_.size(), fields});
    text_ += Written(fields) + end;
  }

  std::string Mutated(std::string line) {
    static const std::string_view kInserts[] = {
        "\"",      ",",       "\n",   "\r",  std::string_view("\0", 1), "\"x", "x\"",
        "\"a\" b", "\"open,", "12\"", "\"\""};
    for (size_t n = 1 + Below(3); n > 0; --n) {
      const size_t at = Below(line.size() + 1);
      if (Below(4) == 0 && at < line.size()) {
        line.erase(at, 1);
      } else {
        line.insert(at, kInserts[Below(std::size(kInserts))]);
      }
    }
    return line;
  }

  std::string Check() {
    std::vector<Row> rows;
    std::vector<size_t> ends;
    std::vector<textdb::LoadNote> notes;
    textdb::ParseCsv(
        text_,
        [&](const textdb::CsvRow& row) {
          rows.push_back({row.line, row.begin, {row.fields.begin(), row.fields.end()}});
          ends.push_back(row.end);
        },
        &notes);
    for (size_t r = 0; r < rows.size(); ++r) {
      std::string_view record(text_.data() + rows[r].begin, ends[r] - rows[r].begin);
      while (!record.empty() && (record.back() == '\n' || record.back() == '\r')) {
        record.remove_suffix(1);
      }
      const auto strict = Strict(record);
      const bool spans = record.find_first_of("\r\n") != std::string_view::npos;
      const std::string where = " at line " + std::to_string(rows[r].line);
      if (strict ? *strict != rows[r].fields : spans) {
        return "the row" + where + " is not what RFC 4180 reads";
      }
      if (spans && rows[r].fields.size() != rows[0].fields.size()) {
        return "the row" + where + " runs over lines without the header's width";
      }
    }
    size_t r = 0;
    for (const Row& good : good_) {
      while (r < rows.size() && ends[r] <= good.begin) ++r;
      const bool held = r < rows.size() && rows[r].begin < good.begin;
      if (r == rows.size() || (!held && !(rows[r] == good))) {
        return "the well-formed row at line " + std::to_string(good.line) + " was lost";
      }
    }
    return "";
  }

  std::mt19937_64 rng_;
  std::string text_;
  std::vector<Row> good_;
  int64_t line_ = 1;  // the line text_[counted_] is on
  size_t counted_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  const uint64_t rounds = argc > 1 ? std::stoull(argv[1]) : 300000;
  const uint64_t seed = argc > 2 ? std::stoull(argv[2]) : 1;
  Fuzzer fuzzer(seed);
  for (uint64_t i = 0; i < rounds; ++i) {
    if (const std::string problem = fuzzer.Round(); !problem.empty()) {
      std::fprintf(stderr, "%s in round %llu of seed %llu\n", problem.c_str(),
                   static_cast<unsigned long long>(i), static_cast<unsigned long long>(seed));
      return 1;
    }
  }
  return 0;
}
