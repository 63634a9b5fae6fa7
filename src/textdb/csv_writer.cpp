#include "textdb/csv_writer.h"

namespace textdb {

void AppendCsvField(std::string* line, std::string_view value) {
  bool quote = value.find_first_of(",\"\r\n") != std::string_view::npos ||
               (!value.empty() && (value.front() == ' ' || value.back() == ' ' ||
                                   value.front() == '\t' || value.back() == '\t'));
  if (!quote) {
    line->append(value);
    return;
  }
  line->push_back('"');
  for (char c : value) {
    if (c == '"') line->push_back('"');
    line->push_back(c);
  }
  line->push_back('"');
}

void AppendCsvRow(std::string* text, const std::vector<std::string_view>& fields) {
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) text->push_back(',');
    AppendCsvField(text, fields[i]);
  }
  text->push_back('\n');
}

}  // namespace textdb
