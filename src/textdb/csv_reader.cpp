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

// Feeds libcsv one physical line at a time, so every row knows the line it starts on and a
// quote left open can be undone by starting again after the line that opened it.
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
      size_t stopped_at = 0;
      int64_t stopped_line = 0;
      bool strict = budget >= text_.size() - start;
      if (strict) budget -= text_.size() - start;
      if (ParseFrom(start, line, strict, &stopped_at, &stopped_line)) return;
      notes_->push_back({stopped_line, "unterminated quote; the row is skipped"});
      start = stopped_at;
      line = stopped_line + 1;
    }
  }

 private:
  static int NoSpace(unsigned char) { return 0; }

  static void OnField(void* data, size_t length, void* self) {
    auto* p = static_cast<Parser*>(self);
    if (p->field_count_ == p->fields_.size()) p->fields_.emplace_back();
    std::string& field = p->fields_[p->field_count_++];
    field.assign(static_cast<const char*>(data), length);
    if (std::memchr(field.data(), '\0', field.size()) == nullptr) return;
    std::string clean;
    for (char c : field) {
      if (c == '\0') {
        clean += "\xEF\xBF\xBD";
      } else {
        clean.push_back(c);
      }
    }
    field = std::move(clean);
    p->notes_->push_back({p->row_line_, "NUL byte replaced by U+FFFD"});
  }

  static void OnRowEnd(int, void* self) {
    auto* p = static_cast<Parser*>(self);
    p->views_.clear();
    for (size_t i = 0; i < p->field_count_; ++i) p->views_.push_back(p->fields_[i]);
    p->on_row_(p->row_line_, p->views_);
    p->field_count_ = 0;
    p->row_done_ = true;
  }

  // Parses from byte `start` (on line `line`) to the end. Returns false when, in strict mode, a
  // quote is still open at the end; then *resume is the byte after the line that opened the row
  // and *open_line that line.
  bool ParseFrom(size_t start, int64_t line, bool strict, size_t* resume, int64_t* open_line) {
    csv_parser parser;
    csv_init(&parser, 0);
    csv_set_space_func(&parser, NoSpace);
    field_count_ = 0;
    row_line_ = line;
    size_t row_end_of_first_line = std::string_view::npos;
    size_t pos = start;
    while (pos < text_.size()) {
      size_t nl = text_.find('\n', pos);
      size_t next = nl == std::string_view::npos ? text_.size() : nl + 1;
      bool row_open_before = parser.pstate != 0;
      if (!row_open_before) {
        row_line_ = line;
        row_end_of_first_line = next;
      }
      row_done_ = false;
      csv_parse(&parser, text_.data() + pos, next - pos, OnField, OnRowEnd, this);
      // A row ended inside this line; a new one may have begun after a lone CR.
      if (row_done_ && parser.pstate != 0) {
        row_line_ = line;
        row_end_of_first_line = next;
      }
      pos = next;
      ++line;
    }
    // libcsv would close the open field silently; in strict mode we want to know.
    constexpr int kFieldBegun = 2;
    bool ok = !(strict && parser.pstate == kFieldBegun && parser.quoted);
    if (ok) csv_fini(&parser, OnField, OnRowEnd, this);
    csv_free(&parser);
    if (!ok) {
      *resume = row_end_of_first_line;
      *open_line = row_line_;
    }
    return ok;
  }

  std::string_view text_;
  const CsvRowFn& on_row_;
  std::vector<LoadNote>* notes_;
  std::vector<std::string> fields_;  // reused between rows; first field_count_ are live
  std::vector<std::string_view> views_;
  size_t field_count_ = 0;
  int64_t row_line_ = 1;
  bool row_done_ = false;
};

}  // namespace

std::string DecodeText(std::string bytes, std::vector<LoadNote>* notes) {
  if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
  if (bytes.rfind("\xFF\xFE", 0) == 0) return FromUtf16(bytes.substr(2), "UTF-16LE", notes);
  if (bytes.rfind("\xFE\xFF", 0) == 0) return FromUtf16(bytes.substr(2), "UTF-16BE", notes);
  if (IsValidUtf8(bytes)) return bytes;
  notes->push_back({0, "not valid UTF-8; read as Windows-1252"});
  return FromWindows1252(bytes);
}

void ParseCsv(std::string_view text, const CsvRowFn& on_row, std::vector<LoadNote>* notes) {
  Parser(text, on_row, notes).Run();
}

}  // namespace textdb
