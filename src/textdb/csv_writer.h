// Writing CSV the way the library file is read: fields quoted when they hold a comma, a quote,
// a line break or blanks at either end, quotes doubled inside.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace textdb {

void AppendCsvField(std::string* line, std::string_view value);

// Appends the fields separated by commas and ends the line with LF.
void AppendCsvRow(std::string* text, const std::vector<std::string_view>& fields);

}  // namespace textdb
