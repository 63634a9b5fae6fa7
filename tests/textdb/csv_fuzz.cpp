// A bounded random-mutation fuzzer of the CSV reader. Each round writes a library of well-formed
// lines (plain and quoted fields, the header's width) and bad ones (well-formed lines mutated:
// stray quotes, commas, line breaks, NUL bytes, tagger quirks), then checks that every
// well-formed line comes out as its row, on its line, and that every row reads the same again
// from its span. The round count bounds the run, so it takes the same inputs on any machine.
//
//   jubo_csv_fuzz [ROUNDS [SEED]]
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "textdb/csv_reader.h"

namespace {

struct GoodLine {
  size_t begin;  // in the text
  std::vector<std::string> fields;
};

class Fuzzer {
 public:
  explicit Fuzzer(uint64_t seed) : rng_(seed) {}

  // One round; false (with the input printed) when an invariant fails.
  bool Round() {
    text_.clear();
    good_.clear();
    const size_t width = 1 + Below(7);
    const std::string end = Below(2) == 0 ? "\n" : "\r\n";
    std::vector<std::string> header;
    for (size_t i = 0; i < width; ++i) header.push_back("c" + std::to_string(i));
    AddGood(header, end);
    for (size_t lines = Below(40); lines > 0; --lines) {
      std::vector<std::string> fields;
      for (size_t i = 0; i < width; ++i) fields.push_back(Value());
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
    static const char* const kPieces[] = {"a", "Zed", " ", "\t", "é", ",", "\"", "12", "''"};
    std::string value;
    for (size_t n = Below(5); n > 0; --n) value += kPieces[Below(std::size(kPieces))];
    return value;
  }

  // The fields as a tagger that quotes correctly writes them: quoted when they must be, or by
  // chance.
  std::string Written(const std::vector<std::string>& fields) {
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) {
      const std::string& f = fields[i];
      if (i > 0) line += ',';
      if (f.find_first_of(",\"") == std::string::npos && Below(4) != 0) {
        line += f;
        continue;
      }
      line += '"';
      for (char c : f) line += c == '"' ? std::string("\"\"") : std::string(1, c);
      line += '"';
    }
    return line.empty() ? "\"\"" : line;  // a blank line is no row
  }

  void AddGood(const std::vector<std::string>& fields, const std::string& end) {
    good_.push_back({text_.size(), fields});
    text_ += Written(fields) + end;
  }

  std::string Mutated(std::string line) {
    static const std::string_view kInserts[] = {
        "\"",      ",",       "\n",   "\r",  std::string_view("\0", 1), "\"x", "x\"",
        "\"a\" b", "\"open,", "12\"", "\"\""};
    for (size_t n = 1 + Below(3); n > 0; --n) {
      size_t at = Below(line.size() + 1);
      if (Below(4) == 0 && at < line.size()) {
        line.erase(at, 1);
      } else {
        line.insert(at, kInserts[Below(std::size(kInserts))]);
      }
    }
    return line;
  }

  // The physical line each well-formed line starts on: LF, CR and CRLF end a line.
  std::vector<int64_t> GoodLineNumbers() const {
    std::vector<int64_t> numbers;
    int64_t line = 1;
    size_t i = 0;
    for (const GoodLine& good : good_) {
      for (; i < good.begin; ++i) {
        if (text_[i] == '\n' || (text_[i] == '\r' && text_[i + 1] != '\n')) ++line;
      }
      numbers.push_back(line);
    }
    return numbers;
  }

  bool Check() {
    struct Row {
      int64_t line;
      size_t begin;
      std::vector<std::string> fields;
    };
    std::vector<Row> rows;
    std::vector<textdb::LoadNote> notes;
    textdb::CsvRowReader reader;
    std::string problem;
    textdb::ParseCsv(
        text_,
        [&](const textdb::CsvRow& row) {
          rows.push_back({row.line, row.begin, {row.fields.begin(), row.fields.end()}});
          const auto& again =
              reader.Read(std::string_view(text_).substr(row.begin, row.end - row.begin));
          if (std::vector<std::string>(again.begin(), again.end()) != rows.back().fields) {
            problem = "the row on line " + std::to_string(row.line) + " reads otherwise again";
          }
        },
        &notes);
    const std::vector<int64_t> numbers = GoodLineNumbers();
    size_t r = 0;
    for (size_t g = 0; g < good_.size() && problem.empty(); ++g) {
      while (r < rows.size() && rows[r].begin < good_[g].begin) ++r;
      if (r == rows.size() || rows[r].begin != good_[g].begin ||
          rows[r].fields != good_[g].fields || rows[r].line != numbers[g]) {
        problem = "the well-formed line " + std::to_string(numbers[g]) + " was lost";
      }
    }
    if (problem.empty()) return true;
    std::fprintf(stderr, "%s in:\n", problem.c_str());
    for (char c : text_) {
      if (c == '\n') {
        std::fputs("\\n\n", stderr);
      } else if (c == '\r' || c == '\0') {
        std::fputs(c == '\r' ? "\\r" : "\\0", stderr);
      } else {
        std::fputc(c, stderr);
      }
    }
    std::fputc('\n', stderr);
    return false;
  }

  std::mt19937_64 rng_;
  std::string text_;
  std::vector<GoodLine> good_;
};

}  // namespace

int main(int argc, char** argv) {
  const uint64_t rounds = argc > 1 ? std::stoull(argv[1]) : 300000;
  const uint64_t seed = argc > 2 ? std::stoull(argv[2]) : 1;
  Fuzzer fuzzer(seed);
  for (uint64_t i = 0; i < rounds; ++i) {
    if (!fuzzer.Round()) {
      std::fprintf(stderr, "round %llu of seed %llu\n", static_cast<unsigned long long>(i),
                   static_cast<unsigned long long>(seed));
      return 1;
    }
  }
  std::printf("%llu rounds, seed %llu: every well-formed line read as its row\n",
              static_cast<unsigned long long>(rounds), static_cast<unsigned long long>(seed));
  return 0;
}
