#include "textdb/csv_reader.h"

#include <csv.h>
#include <unicode/ucnv.h>

#include <cstring>

namespace textdb {
namespace {

bool IsValidUtf8(std::string_view s) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const auto* end = p + s.size();
  while (p < end) {
    unsigned char c = *p;
    if (c < 0x80) {
      ++p;
      continue;
    }
    int extra;
    uint32_t min;
    if ((c & 0xE0) == 0xC0) {
      extra = 1, min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2, min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3, min = 0x10000;
    } else {
      return false;
    }
    if (end - p <= extra) return false;
    uint32_t cp = c & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) {
      if ((p[i] & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    p += extra + 1;
  }
  return true;
}

void AppendUtf8(std::string* out, uint32_t cp) {
  if (cp < 0x80) {
    out->push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

std::string FromWindows1252(std::string_view bytes) {
  // 0x80-0x9F are the only bytes that differ from Latin-1; the five unassigned ones keep their
  // C1 code points, as ICU's converter does.
  static const uint16_t kHigh[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (unsigned char c : bytes) {
    AppendUtf8(&out, c >= 0x80 && c < 0xA0 ? kHigh[c - 0x80] : c);
  }
  return out;
}

std::string FromUtf16(std::string_view bytes, const char* charset, std::vector<LoadNote>* notes) {
  UErrorCode status = U_ZERO_ERROR;
  int32_t needed = ucnv_convert("UTF-8", charset, nullptr, 0, bytes.data(),
                                static_cast<int32_t>(bytes.size()), &status);
  std::string out(static_cast<size_t>(needed), '\0');
  status = U_ZERO_ERROR;
  ucnv_convert("UTF-8", charset, out.data(), needed, bytes.data(),
               static_cast<int32_t>(bytes.size()), &status);
  if (U_FAILURE(status)) {
    notes->push_back({0, std::string("the file looks like ") + charset +
                             " but cannot be converted: " + u_errorName(status)});
    return {};
  }
  return out;
}

int NoSpace(unsigned char) { return 0; }

// libcsv grows a field's buffer by this much at a time; its default of 128 bytes makes a long
// field cost quadratic time in copies.
constexpr size_t kFieldBlock = 64 << 10;

// Most lines of a library hold no quote: their fields are what lies between the commas, which
// is exactly what libcsv gives for them (blanks kept), at a fraction of the cost. Such a line
// is split here; a line with a quote or a NUL byte goes through libcsv. `line` may end in its
// line break. Returns false when the line needs libcsv; *blank when it holds nothing.
bool SplitPlainLine(std::string_view line, std::vector<std::string_view>* fields, bool* blank) {
  if (line.find_first_of(std::string_view("\"\0", 2)) != std::string_view::npos) return false;
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  fields->clear();
  *blank = line.empty();
  if (*blank) return true;
  size_t start = 0;
  for (;;) {
    size_t comma = line.find(',', start);
    if (comma == std::string_view::npos) {
      fields->push_back(line.substr(start));
      return true;
    }
    fields->push_back(line.substr(start, comma - start));
    start = comma + 1;
  }
}

// Collects libcsv's fields into reused buffers and hands out each row's fields as views.
class FieldCollector {
 public:
  static void OnField(void* data, size_t length, void* self) {
    auto* c = static_cast<FieldCollector*>(self);
    if (c->count_ == c->fields_.size()) c->fields_.emplace_back();
    std::string& field = c->fields_[c->count_++];
    field.assign(static_cast<const char*>(data), length);
    if (std::memchr(field.data(), '\0', field.size()) == nullptr) return;
    std::string clean;
    for (char ch : field) {
      if (ch == '\0') {
        clean += "\xEF\xBF\xBD";
      } else {
        clean.push_back(ch);
      }
    }
    field = std::move(clean);
    c->had_nul_ = true;
  }

  static void OnRowEnd(int, void* self) {
    auto* c = static_cast<FieldCollector*>(self);
    c->views_.clear();
    for (size_t i = 0; i < c->count_; ++i) c->views_.push_back(c->fields_[i]);
    c->count_ = 0;
    c->row_ready_ = true;
  }

  // True once per completed row; the row's fields are then in fields().
  bool TakeRow() {
    bool ready = row_ready_;
    row_ready_ = false;
    return ready;
  }
  bool TakeNul() {
    bool had = had_nul_;
    had_nul_ = false;
    return had;
  }
  const std::vector<std::string_view>& fields() const { return views_; }
  void Reset() { count_ = 0, row_ready_ = false, had_nul_ = false; }

 private:
  std::vector<std::string> fields_;  // reused between rows; the first count_ are live
  std::vector<std::string_view> views_;
  size_t count_ = 0;
  bool row_ready_ = false;
  bool had_nul_ = false;
};

// Feeds libcsv one physical line at a time (ending at LF, CR or CRLF), so every row knows the
// line and the bytes it spans, and a quote left open can be undone by starting again after
// the line that opened it.
class Parser {
 public:
  Parser(std::string_view text, const CsvRowFn& on_row, std::vector<LoadNote>* notes)
      : text_(text), on_row_(on_row), notes_(notes) {}

  void Run() {
    size_t start = 0;
    int64_t line = 1;
    // Re-reading after open quotes is bounded, so a hostile file cannot make loading quadratic.
    size_t budget = 4 * text_.size() + (1 << 20);
    for (;;) {
      bool strict = budget >= text_.size() - start;
      if (strict) budget -= text_.size() - start;
      if (ParseFrom(&start, &line, strict)) return;
      notes_->push_back({line - 1, "unterminated quote; the row is skipped"});
    }
  }

 private:
  // The end of the line starting at `pos`, past its terminator.
  size_t LineEnd(size_t pos) const {
    const char* base = text_.data();
    const void* lf = std::memchr(base + pos, '\n', text_.size() - pos);
    size_t end =
        lf == nullptr ? text_.size() : static_cast<size_t>(static_cast<const char*>(lf) - base);
    const void* cr = std::memchr(base + pos, '\r', end - pos);
    if (cr == nullptr) return lf == nullptr ? end : end + 1;
    size_t at = static_cast<size_t>(static_cast<const char*>(cr) - base);
    return at + 1 == end && lf != nullptr ? end + 1 : at + 1;  // CRLF, or a lone CR
  }

  void Emit(size_t begin, size_t end, int64_t line) {
    if (collector_.TakeNul()) notes_->push_back({line, "NUL byte replaced by U+FFFD"});
    if (collector_.TakeRow()) on_row_(CsvRow{line, begin, end, collector_.fields()});
  }

  // Parses from *start (on line *line) to the end and returns true. In strict mode, when a quote
  // is still open at the end, returns false with *start and *line set to the line after the one
  // that opened the row.
  bool ParseFrom(size_t* start, int64_t* line, bool strict) {
    csv_parser parser;
    csv_init(&parser, 0);
    csv_set_space_func(&parser, NoSpace);
    csv_set_blk_size(&parser, kFieldBlock);
    collector_.Reset();
    size_t row_begin = *start;
    size_t row_first_line_end = *start;
    int64_t row_line = *line;
    size_t pos = *start;
    int64_t current = *line;
    while (pos < text_.size()) {
      size_t next = LineEnd(pos);
      if (parser.pstate == 0) {  // no row open: one begins on this line
        row_begin = pos;
        row_first_line_end = next;
        row_line = current;
        bool blank = false;
        if (SplitPlainLine(text_.substr(pos, next - pos), &plain_, &blank)) {
          if (!blank) on_row_(CsvRow{current, pos, next, plain_});
          pos = next;
          ++current;
          continue;
        }
      }
      csv_parse(&parser, text_.data() + pos, next - pos, FieldCollector::OnField,
                FieldCollector::OnRowEnd, &collector_);
      Emit(row_begin, next, row_line);
      pos = next;
      ++current;
    }
    // libcsv would close an open quoted field silently; in strict mode we want to know.
    constexpr int kFieldBegun = 2;
    bool ok = !(strict && parser.pstate == kFieldBegun && parser.quoted);
    if (ok) {
      csv_fini(&parser, FieldCollector::OnField, FieldCollector::OnRowEnd, &collector_);
      Emit(row_begin, text_.size(), row_line);
    }
    csv_free(&parser);
    if (!ok) {
      *start = row_first_line_end;
      *line = row_line + 1;
    }
    return ok;
  }

  std::string_view text_;
  const CsvRowFn& on_row_;
  std::vector<LoadNote>* notes_;
  FieldCollector collector_;
  std::vector<std::string_view> plain_;  // fields of a line split without libcsv
};

}  // namespace

std::string_view DecodeText(std::string_view bytes, std::string* converted,
                            std::vector<LoadNote>* notes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  if (bytes.substr(0, 2) == "\xFF\xFE") {
    *converted = FromUtf16(bytes.substr(2), "UTF-16LE", notes);
  } else if (bytes.substr(0, 2) == "\xFE\xFF") {
    *converted = FromUtf16(bytes.substr(2), "UTF-16BE", notes);
  } else if (IsValidUtf8(bytes)) {
    return bytes;
  } else {
    notes->push_back({0, "not valid UTF-8; read as Windows-1252"});
    *converted = FromWindows1252(bytes);
  }
  return *converted;
}

void ParseCsv(std::string_view text, const CsvRowFn& on_row, std::vector<LoadNote>* notes) {
  Parser(text, on_row, notes).Run();
}

struct CsvRowReader::State {
  csv_parser parser;
  FieldCollector collector;
  std::vector<std::string_view> plain;
};

CsvRowReader::CsvRowReader() : state_(std::make_unique<State>()) {
  csv_init(&state_->parser, 0);
  csv_set_space_func(&state_->parser, NoSpace);
  csv_set_blk_size(&state_->parser, kFieldBlock);
}

CsvRowReader::~CsvRowReader() { csv_free(&state_->parser); }

const std::vector<std::string_view>& CsvRowReader::Read(std::string_view row) {
  State& s = *state_;
  bool blank = false;
  if (SplitPlainLine(row, &s.plain, &blank)) return s.plain;
  s.collector.Reset();
  csv_parse(&s.parser, row.data(), row.size(), FieldCollector::OnField, FieldCollector::OnRowEnd,
            &s.collector);
  csv_fini(&s.parser, FieldCollector::OnField, FieldCollector::OnRowEnd, &s.collector);
  s.collector.TakeNul();
  s.collector.TakeRow();
  return s.collector.fields();
}

}  // namespace textdb
