// The one CSV form of bdx: what dump and query write with --csv and what
// import reads. A value is quoted when it holds a comma, a quote, a carriage
// return or a line feed, or starts with a blank; quotes inside are doubled.
#pragma once
#include <string>
#include <vector>

namespace vrt::bdx_tool {

std::string csv_quote(const std::string& value);

// Splits one CSV record (which may span lines inside quotes); false when a
// quote is left open, so that the reader can add the next line and try again.
bool split_csv(const std::string& record, std::vector<std::string>* cells);

}  // namespace vrt::bdx_tool
