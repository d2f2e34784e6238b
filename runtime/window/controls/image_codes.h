// Icons and cursors are named by short codes. The first two bytes say where
// the image comes from:
//
//   FF 01 n(16-bit LE)   the platform's standard image number n - 1 (n = 0: none)
//   FF 02 n(16-bit LE)   the runtime's own image number n - 1 (n = 0: none)
//   anything else        a name: "~NAME" or an image linked into the program
//                        is its resource (upper-cased, "." as "_"); otherwise
//                        a file, "[i]" at the end choosing its i-th icon
//
// For cursors, standard n = 0x7F81 is the move-all cursor and 0x7F82 the
// arrow; a named cursor that cannot be loaded is the arrow.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/platform/gui/win_types.h"

namespace vrt::window {

// The code of the platform's standard image `number` (32513 for the stop
// sign gives FF 01 02 7F).
std::string standard_image_code(int number);

// Null when the code names no image this program can show.
platform::HICON load_icon_code(std::string_view code);
platform::HCURSOR load_cursor_code(std::string_view code);

// The resource name of a named image: "~copy.ico" -> "COPY_ICO".
std::string image_resource_name(std::string_view name);

}  // namespace vrt::window
