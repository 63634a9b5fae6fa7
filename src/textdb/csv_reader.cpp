#include "textdb/csv_reader.h"

#include <unicode/ucnv.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <unordered_map>
#include <utility>

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

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// A physical line: its text ends at `end` (before its CR, LF or CRLF), the next line starts at
// `next`.
struct Line {
  size_t end, next;
};

Line LineAt(std::string_view text, size_t pos) {
  const char* base = text.data();
  const void* lf = std::memchr(base + pos, '\n', text.size() - pos);
  size_t end =
      lf == nullptr ? text.size() : static_cast<size_t>(static_cast<const char*>(lf) - base);
  const void* cr = std::memchr(base + pos, '\r', end - pos);
  if (cr == nullptr) return {end, lf == nullptr ? end : end + 1};
  size_t at = static_cast<size_t>(static_cast<const char*>(cr) - base);
  return {at, at + 1 == end && lf != nullptr ? end + 1 : at + 1};  // CRLF, or a lone CR
}

size_t NextComma(std::string_view text, size_t pos, size_t end) {
  const void* comma = std::memchr(text.data() + pos, ',', end - pos);
  return comma == nullptr ? end
                          : static_cast<size_t>(static_cast<const char*>(comma) - text.data());
}

// What ends a quoted field: a quote that is not one of a doubled pair. It closes the field well
// when a comma, a line end or the end of the text follows it; anything else after it means the
// field was not quoted the standard way (a tagger's "Heroes" (2017 Remaster)).
struct QuoteEnd {
  enum Kind { kNone, kClosed, kMalformed } kind;
  size_t at;
};

QuoteEnd ScanQuoted(std::string_view text, size_t pos, size_t end) {
  for (;;) {
    const void* q = std::memchr(text.data() + pos, '"', end - pos);
    if (q == nullptr) return {QuoteEnd::kNone, end};
    size_t at = static_cast<size_t>(static_cast<const char*>(q) - text.data());
    if (at + 1 < end && text[at + 1] == '"') {
      pos = at + 2;
      continue;
    }
    const bool closed =
        at + 1 == end || text[at + 1] == ',' || text[at + 1] == '\n' || text[at + 1] == '\r';
    return {closed ? QuoteEnd::kClosed : QuoteEnd::kMalformed, at};
  }
}

// Reads one row at a time into reused buffers.
class RowParser {
 public:
  struct Row {
    size_t next = 0;        // where the line after the row starts
    int64_t lines = 1;      // physical lines it spans
    bool unclosed = false;  // a quote opened a field and never closed: read as written
    bool nul = false;       // a NUL byte was replaced
  };

  void SetText(std::string_view text) { text_ = text; }
  const std::vector<std::string_view>& fields() const { return fields_; }

  // Reads the row whose first line starts at `pos` and ends as `line` says. A quoted field may
  // run over line breaks only when `width` is not 0, and then only in a row of `width` fields.
  Row Parse(size_t pos, Line line, size_t width) {
    fields_.clear();
    owned_used_ = 0;
    if (pos > rests_last_ && !rests_.empty()) rests_.clear();  // no later row reaches them
    Row row;
    row.next = line.next;
    check_nul_ = std::memchr(text_.data() + pos, '\0', line.end - pos) != nullptr;
    bool may_span = width != 0;  // and the standard reading has not failed on this line
    for (;;) {
      if (pos < line.end && text_[pos] == '"') {
        const QuoteEnd q = ScanQuoted(text_, pos + 1, line.end);
        if (q.kind == QuoteEnd::kNone && may_span) {
          const Rest rest = ReadRest(pos, line, false, &row);
          if (!rest.fails && fields_.size() + rest.fields == width) {
            check_nul_ = true;
            ReadRest(pos, line, true, &row);
            return row;
          }
        }
        may_span = may_span && q.kind == QuoteEnd::kClosed;
        if (q.kind == QuoteEnd::kClosed) {
          AddField(pos + 1, q.at, true, &row);
          pos = q.at + 1;
        } else {
          // Read the taggers' way: `"The "Long" Road"` is what its outer quotes hold, anything
          // else as written.
          const size_t end = NextComma(text_, pos, line.end);
          const bool outer = q.kind == QuoteEnd::kMalformed && q.at < end && text_[end - 1] == '"';
          row.unclosed = row.unclosed || q.kind == QuoteEnd::kNone;
          AddField(outer ? pos + 1 : pos, outer ? end - 1 : end, outer, &row);
          pos = end;
        }
      } else {
        size_t end = NextComma(text_, pos, line.end);
        AddField(pos, end, false, &row);
        pos = end;
      }
      if (pos >= line.end) break;
      ++pos;  // the comma
    }
    return row;
  }

 private:
  // The rest of a row read the standard way from a field's start on: whether it fails, and how
  // many fields it has from there on.
  struct Rest {
    bool fails;
    size_t fields;
  };

  // Reads the standard way, from the start `pos` of a field on `line` whose quote runs past the
  // line's end, the rest of the row. `collect`: adds its fields and sets where the row ends;
  // otherwise it only counts, taking what is known of a field's rest from rests_ and keeping
  // there the rests of the fields it reads over line breaks.
  //
  // Why the whole text takes linear time. A row's first line is read once. A row is taken or
  // else moves on by one line. Past its first line, counting reads a field over line breaks at
  // most once (rests_ answers for it afterwards) and then the rest of the line it closes on.
  // Such fields do not overlap: a field starting inside another one's quotes starts on a run
  // of quotes that the other reads as doubled, so it ends on that run, or (on the run that
  // closes the other) it runs on from where the other ends. So at most one of them closes on
  // any line, and the lines they pass over hold only such runs: a row starting on one of them
  // never runs over its line. A row taken is read once more, to collect its fields, and never
  // again.
  Rest ReadRest(size_t pos, Line line, bool collect, Row* row) {
    spanning_.clear();
    size_t fields = 0;
    Rest rest{};
    for (;;) {
      if (pos < line.end && text_[pos] == '"') {
        if (const auto known = collect ? rests_.end() : rests_.find(pos); known != rests_.end()) {
          rest = {known->second.fails, fields + known->second.fields};
          break;
        }
        const QuoteEnd q = ScanQuoted(text_, pos + 1, text_.size());
        if (q.kind != QuoteEnd::kClosed) {
          rest = {true, fields};
          break;
        }
        if (q.at > line.end) {
          if (collect) {
            row->lines += LineBreaks(line.end, q.at);
          } else {
            spanning_.push_back({pos, fields});
          }
          line = LineAt(text_, q.at);
        }
        if (collect) AddField(pos + 1, q.at, true, row);
        pos = q.at + 1;
      } else {
        const size_t end = NextComma(text_, pos, line.end);
        if (collect) AddField(pos, end, false, row);
        pos = end;
      }
      ++fields;
      if (pos >= line.end) {
        rest = {false, fields};
        break;
      }
      ++pos;  // the comma
    }
    if (collect) {
      row->next = line.next;
    } else {
      for (const auto& [start, before] : spanning_) {
        rests_[start] = {rest.fails, rest.fields - before};
        rests_last_ = std::max(rests_last_, start);
      }
    }
    return rest;
  }

  // How many line ends the text [begin, end) holds: LF, CR and CRLF each end one.
  int64_t LineBreaks(size_t begin, size_t end) const {
    int64_t breaks = 0;
    for (size_t i = begin; i < end; ++i) {
      breaks += text_[i] == '\n' || (text_[i] == '\r' && text_[i + 1] != '\n');
    }
    return breaks;
  }

  // Adds the text [begin, end) as a field; `quoted`: it was in quotes, where "" stands for ".
  void AddField(size_t begin, size_t end, bool quoted, Row* row) {
    std::string_view raw = text_.substr(begin, end - begin);
    bool nul = check_nul_ && std::memchr(raw.data(), '\0', raw.size()) != nullptr;
    if (!nul && !(quoted && raw.find('"') != std::string_view::npos)) {
      fields_.push_back(raw);
      return;
    }
    if (owned_used_ == owned_.size()) owned_.emplace_back();
    std::string& out = owned_[owned_used_++];
    out.clear();
    for (size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] == '\0') {
        out += kReplacement;
        row->nul = true;
      } else {
        out.push_back(raw[i]);
        if (quoted && raw[i] == '"' && i + 1 < raw.size() && raw[i + 1] == '"') ++i;  // a pair
      }
    }
    fields_.push_back(out);
  }

  std::string_view text_;
  std::vector<std::string_view> fields_;
  std::deque<std::string> owned_;  // fields unquoted or cleaned; a deque keeps views valid
  size_t owned_used_ = 0;
  bool check_nul_ = false;  // the row's text holds a NUL byte
  // The rests counted from the starts of fields that run over line breaks, kept until the rows
  // have passed the last of them.
  std::unordered_map<size_t, Rest> rests_;
  size_t rests_last_ = 0;
  std::vector<std::pair<size_t, size_t>> spanning_;  // (start, fields before it) while reading
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
  RowParser parser;
  parser.SetText(text);
  size_t pos = 0;
  int64_t line = 1;
  size_t width = 0;  // the header's field count; 0 while reading the header
  while (pos < text.size()) {
    const Line first = LineAt(text, pos);
    if (first.end == pos) {  // blank
      pos = first.next;
      ++line;
      continue;
    }
    RowParser::Row row = parser.Parse(pos, first, width);
    if (width == 0) width = parser.fields().size();
    if (row.nul) notes->push_back({line, "NUL byte replaced by U+FFFD"});
    if (row.unclosed) {
      notes->push_back({line, "unterminated quote; the field is read as written"});
    }
    on_row(CsvRow{line, pos, row.next, parser.fields()});
    pos = row.next;
    line += row.lines;
  }
}

}  // namespace textdb
