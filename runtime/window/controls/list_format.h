// A list's format text: its columns, each a width in dialog units, a
// justification, an offset, and modifiers ("64R(2)|M~CusID~C(0)@n-14@").
// Nothing here needs a window, so tools and fuzz targets use it alone.
// The text comes from resources and may be hostile: nothing reads past its
// end, and numbers are clamped to kMaxListUnits either way, so that pixels
// computed from them stay far from overflowing.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vrt::window {

inline constexpr int kMaxListUnits = 32767;

enum class Justify : char { Left = 'L', Right = 'R', Centre = 'C', Decimal = 'D' };

struct ListColumn {
  int width = 0;  // dialog units
  Justify justify = Justify::Left;
  int offset = 0;  // from the justified edge; for D the decimal point's distance from the right edge
  std::string header;
  Justify header_justify = Justify::Left;
  int header_offset = 0;
  std::string picture = "@S30";  // with its "@"
  bool line = false;       // "|": a line at the right edge
  bool resizable = false;  // "M": the right edge can be dragged
};

struct ListFormat {
  size_t error = 0;  // 0, or the 1-based position where the text went wrong
  std::vector<ListColumn> columns;
};

// 0 when the text is well formed, else the 1-based position of the
// character at which the fault was found (the length plus one when the text
// ends too early: an unclosed picture, header, quote or group).
size_t validate_list_format(std::string_view format);
// The columns of a well-formed text; with an error, the columns read before it.
ListFormat parse_list_format(std::string_view format);

}  // namespace vrt::window
