#include "tools/bdx/csv.h"

namespace vrt::bdx_tool {

std::string csv_quote(const std::string& value) {
  if (value.find_first_of(",\"\r\n") == std::string::npos && (value.empty() || value[0] != ' ')) return value;
  std::string q = "\"";
  for (char c : value) q += c == '"' ? std::string("\"\"") : std::string(1, c);
  return q + "\"";
}

bool split_csv(const std::string& line, std::vector<std::string>* out) {
  out->clear();
  std::string cur;
  bool quoted = false, was_quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (quoted) {
      if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
        cur += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        cur += c;
      }
    } else if (c == '"' && cur.empty() && !was_quoted) {
      quoted = was_quoted = true;
    } else if (c == ',') {
      out->push_back(cur);
      cur.clear();
      was_quoted = false;
    } else if (c != '\r') {
      cur += c;
    }
  }
  out->push_back(cur);
  return !quoted;
}

}  // namespace vrt::bdx_tool
