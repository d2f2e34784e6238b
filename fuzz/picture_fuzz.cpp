// Fuzzes the picture compiler, FORMAT and DEFORMAT. The input is a picture
// text, a newline, and a value; whatever the bytes, compiling gives a
// picture of at most 255 positions, FORMAT gives exactly that many
// characters, and nothing reads or writes out of bounds.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "runtime/core/pictures/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  size_t cut = input.find('\n');
  std::string_view picture_text = input.substr(0, cut);
  std::string_view value = cut == std::string_view::npos ? std::string_view() : input.substr(cut + 1);

  vrt::core::CompiledPicture p = vrt::core::compile_picture(picture_text);
  size_t width = static_cast<size_t>(p.count());
  if (width > 255) std::abort();
  if (vrt::core::Format(p, value).size() != width) std::abort();
  std::string shown = vrt::core::Format(p, "-1234567.891");
  if (shown.size() != width) std::abort();
  vrt::core::Deformat(p, value);
  vrt::core::Deformat(p, shown);

  char out[256];
  vrt::core::format_number(p, vrt::core::digits_from_text(value), out);
  vrt::core::format_date(p, static_cast<int32_t>(size * 7919), out);
  vrt::core::format_time(p, static_cast<int32_t>(size * 104729), out);
  return 0;
}
