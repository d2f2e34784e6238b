// Fuzzes the check of typed entry texts and the typing in edit masks. The
// input is a picture text, a newline, and what a user typed; whatever the
// bytes, the check gives 0 with a value or a reason code without one,
// typing keeps a mask's text as long as the mask, and nothing reads or
// writes out of bounds.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "runtime/core/pictures/edit_mask.h"
#include "runtime/core/pictures/entry_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  size_t cut = input.find('\n');
  std::string_view picture_text = input.substr(0, cut);
  std::string_view typed = cut == std::string_view::npos ? std::string_view() : input.substr(cut + 1);

  vrt::core::CompiledPicture p = vrt::core::compile_picture(picture_text);
  vrt::core::EntryCheck check = vrt::core::check_entry_text(p, typed);
  if (check.reason != 0 && !check.value.empty()) std::abort();

  std::string_view mask = vrt::core::edit_mask(p);
  if (mask.empty()) mask = vrt::core::edit_mask(vrt::core::kPictureDate, static_cast<int>(size % 21));
  std::string text = vrt::core::mask_text(mask, static_cast<int32_t>(size * 7919));
  size_t caret = 0;
  for (char c : typed) {
    if (c == '\b') vrt::core::erase_in_mask(mask, &text, &caret, true);
    else if (c == 0x7F) vrt::core::erase_in_mask(mask, &text, &caret, false);
    else if (c == '\t') caret = 0;
    else vrt::core::type_in_mask(mask, &text, &caret, c);
    if (text.size() != mask.size() || caret > mask.size()) std::abort();
  }
  vrt::core::check_entry_text(p, text);
  return 0;
}
