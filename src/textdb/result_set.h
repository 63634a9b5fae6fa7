// The rows a query returned, held in memory: every value's text in one arena.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace textdb {

struct ResultSet {
  static constexpr uint32_t kNull = UINT32_MAX;
  struct Cell {
    uint64_t offset;
    uint32_t length;  // kNull for Null
  };

  std::vector<std::string> columns;  // result column names
  std::string arena;
  std::vector<Cell> cells;  // row-major, columns.size() cells a row
  size_t row_count = 0;

  // Value of row `row`, column `column`; nullopt for Null. Both must be in range.
  std::optional<std::string_view> Value(size_t row, size_t column) const {
    const Cell& c = cells[row * columns.size() + column];
    if (c.length == kNull) return std::nullopt;
    return std::string_view(arena.data() + c.offset, c.length);
  }
};

}  // namespace textdb
