// What a table keeps in memory, as bytes and back. The bytes are read back only from a kept
// image the library checked whole (see library_cache.h), but they are still read defensively:
// every length is checked against what is left, and every id against what it indexes, so that
// no bytes whatever make the table read outside its own memory.
#include <cstring>

#include "textdb/table.h"

namespace textdb {
namespace {

class Writer {
 public:
  void Number(uint64_t n) { Raw(&n, sizeof n); }
  void Text(std::string_view text) {
    Number(text.size());
    out_.append(text);
  }
  void Texts(const std::vector<std::string>& texts) {
    Number(texts.size());
    for (const std::string& t : texts) Text(t);
  }
  template <typename T>
  void Array(const std::vector<T>& values) {
    Number(values.size());
    Raw(values.data(), values.size() * sizeof(T));
  }
  std::string Take() { return std::move(out_); }

 private:
  void Raw(const void* data, size_t size) {
    if (size > 0) out_.append(static_cast<const char*>(data), size);
  }
  std::string out_;
};

class Reader {
 public:
  explicit Reader(std::string_view in) : in_(in) {}
  bool ok() const { return ok_; }
  bool at_end() const { return in_.empty(); }

  uint64_t Number() {
    uint64_t n = 0;
    Raw(&n, sizeof n);
    return n;
  }
  std::string Text() {
    const uint64_t size = Number();
    if (!Fits(size, 1)) return {};
    std::string text(in_.substr(0, size));
    in_.remove_prefix(size);
    return text;
  }
  std::vector<std::string> Texts() {
    const uint64_t count = Number();
    std::vector<std::string> texts;
    // Each text takes at least its length: a count beyond that is no list.
    if (!Fits(count, sizeof(uint64_t))) return texts;
    texts.reserve(count);
    for (uint64_t i = 0; i < count && ok_; ++i) texts.push_back(Text());
    return texts;
  }
  template <typename T>
  std::vector<T> Array() {
    const uint64_t count = Number();
    std::vector<T> values;
    if (!Fits(count, sizeof(T))) return values;
    values.resize(count);
    Raw(values.data(), count * sizeof(T));
    return values;
  }

 private:
  bool Fits(uint64_t count, size_t each) {
    ok_ = ok_ && count <= in_.size() / each;
    return ok_;
  }
  void Raw(void* data, size_t size) {
    // An empty array's data may be null, which memcpy must not be given even for no bytes.
    if (!Fits(size, 1) || size == 0) return;
    std::memcpy(data, in_.data(), size);
    in_.remove_prefix(size);
  }

  std::string_view in_;
  bool ok_ = true;
};

bool AllBelow(const std::vector<uint32_t>& values, size_t bound) {
  for (uint32_t v : values) {
    if (v >= bound) return false;
  }
  return true;
}

// Whether one ranked column's parts fit together over `rows` rows.
bool Consistent(const Table::Ranks& r, size_t rows) {
  const size_t keys = r.sorted_keys.size();
  if (r.rank_of.size() != r.spellings.size() + 1 || r.rank_of[0] != 0 ||
      r.first_spelling.size() != keys || r.rows.size() != rows ||
      !AllBelow(r.rows, r.rank_of.size()) || !AllBelow(r.first_spelling, r.rank_of.size())) {
    return false;
  }
  for (size_t id = 1; id < r.rank_of.size(); ++id) {
    if (r.rank_of[id] < 2 || r.rank_of[id] > 2 * keys || r.rank_of[id] % 2 != 0) return false;
  }
  for (uint32_t id : r.first_spelling) {
    if (id == 0) return false;
  }
  return true;
}

Status NotAnImage(const std::string& why) {
  return Status::Error(ErrorCode::kRefused, "the kept library does not fit together: " + why);
}

}  // namespace

std::string Table::SaveState() const {
  Writer w;
  w.Text(name_);
  w.Number(static_cast<uint64_t>(row_count_));
  w.Number(columns_.size());
  for (const Column& c : columns_) {
    w.Text(c.name);
    w.Number(static_cast<uint64_t>(c.order));
    w.Number(static_cast<uint64_t>(static_cast<int64_t>(c.rank)));
  }
  w.Number(ranks_.size());
  for (const Ranks& r : ranks_) {
    w.Texts(r.sorted_keys);
    w.Texts(r.spellings);
    w.Array(r.rank_of);
    w.Array(r.first_spelling);
    w.Array(r.rows);
  }
  w.Array(order_);
  std::vector<uint32_t> hashes(files_.size());
  std::vector<uint32_t> rows(files_.size());
  for (size_t i = 0; i < files_.size(); ++i) {
    hashes[i] = files_[i].hash;
    rows[i] = files_[i].row;
  }
  w.Array(hashes);
  w.Array(rows);
  return w.Take();
}

Status Table::Restore(sqlite3* db, const std::string& name, std::string_view state,
                      std::unique_ptr<Table>* out) {
  Reader r(state);
  auto table = std::make_unique<Table>();
  table->name_ = r.Text();
  const uint64_t rows = r.Number();
  table->row_count_ = static_cast<int64_t>(rows);
  const uint64_t columns = r.Number();
  for (uint64_t i = 0; i < columns && r.ok(); ++i) {
    Column& c = table->columns_.emplace_back();
    c.name = r.Text();
    const uint64_t order = r.Number();
    c.order = order == 1 ? Order::kTrack : order == 2 ? Order::kExact : Order::kCollated;
    c.rank = static_cast<int>(static_cast<int64_t>(r.Number()));
    c.sql = c.rank >= 0 ? ValueSql(static_cast<size_t>(c.rank)) : "c" + std::to_string(i);
  }
  const uint64_t ranked = r.Number();
  for (uint64_t k = 0; k < ranked && r.ok(); ++k) {
    Ranks& ranks = table->ranks_.emplace_back();
    ranks.sorted_keys = r.Texts();
    ranks.spellings = r.Texts();
    ranks.rank_of = r.Array<uint32_t>();
    ranks.first_spelling = r.Array<uint32_t>();
    ranks.rows = r.Array<uint32_t>();
  }
  table->order_ = r.Array<uint32_t>();
  const std::vector<uint32_t> hashes = r.Array<uint32_t>();
  const std::vector<uint32_t> file_rows = r.Array<uint32_t>();
  if (!r.ok() || !r.at_end()) return NotAnImage("its state is cut short or too long");
  if (table->name_ != name || rows > UINT32_MAX) return NotAnImage("it is of another table");
  if (table->ranks_.size() <= kTrackRanks || hashes.size() != file_rows.size() ||
      !AllBelow(file_rows, rows)) {
    return NotAnImage("its columns are not those of a library");
  }
  for (const Column& c : table->columns_) {
    if (c.rank < -1 || c.rank >= static_cast<int>(table->ranks_.size())) {
      return NotAnImage("a column's ranks are missing");
    }
  }
  const Column* album = table->Find("Album");
  const Column* track = table->Find("Track");
  if (table->Find("Filename") == nullptr || album == nullptr || track == nullptr ||
      album->rank != static_cast<int>(kAlbumRanks) ||
      track->rank != static_cast<int>(kTrackRanks)) {
    return NotAnImage("its columns are not those of a library");
  }
  for (const Ranks& ranks : table->ranks_) {
    if (!Consistent(ranks, rows)) return NotAnImage("a column's values do not fit its rows");
  }
  std::vector<bool> listed(rows);
  for (uint32_t row : table->order_) {
    if (row >= rows || listed[row]) return NotAnImage("its listing order is not of its rows");
    listed[row] = true;
  }
  if (table->order_.size() != rows) return NotAnImage("its listing order is not of its rows");
  table->files_.resize(hashes.size());
  for (size_t i = 0; i < hashes.size(); ++i) {
    table->files_[i] = {hashes[i], file_rows[i]};
    if (i > 0 && table->files_[i] < table->files_[i - 1]) {
      return NotAnImage("its file names are out of order");
    }
  }
  // The pages hold the rows the state speaks of, every column there (preparing the reader of
  // a row checks the columns).
  std::string probe = "SELECT rowid";
  for (const Column& c : table->columns_) {
    if (c.rank < 0) probe += "," + c.sql;
  }
  probe += " FROM " + QuoteName(name) + " WHERE rowid = ?1";
  const std::string last = "SELECT max(rowid) FROM " + QuoteName(name);
  sqlite3_stmt* stmt = nullptr;
  bool fits = sqlite3_prepare_v2(db, probe.c_str(), -1, &stmt, nullptr) == SQLITE_OK;
  sqlite3_finalize(stmt);
  stmt = nullptr;
  fits = fits && sqlite3_prepare_v2(db, last.c_str(), -1, &stmt, nullptr) == SQLITE_OK &&
         sqlite3_step(stmt) == SQLITE_ROW &&
         static_cast<uint64_t>(sqlite3_column_int64(stmt, 0)) == rows;
  sqlite3_finalize(stmt);
  if (!fits) return NotAnImage("its pages do not hold its rows");
  table->Finish(db);
  *out = std::move(table);
  return Status::Ok();
}

}  // namespace textdb
