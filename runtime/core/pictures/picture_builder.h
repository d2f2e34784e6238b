// The element row of a picture under construction, shared by the
// compilers of each picture kind (internal to the picture code).
#pragma once
#include <string_view>

#include "runtime/core/pictures/picture.h"
#include "runtime/core/base/settings.h"

namespace vrt::core::picture_detail {

class ElementRow {
 public:
  // False once more than 254 elements were added; the picture is invalid.
  bool ok() const { return ok_; }
  int size() const { return count_; }
  PictureElement& operator[](int i) { return row_[i]; }

  void add(char ch, uint8_t code, int times = 1) {
    for (int i = 0; i < times; ++i) {
      if (count_ == kMaxPictureElements) {
        ok_ = false;
        return;
      }
      row_[count_++] = PictureElement{ch, code};
    }
  }
  void add_text(std::string_view text, uint8_t code) {
    for (char c : text) add(c, code);
  }
  void reverse() {
    for (int i = 0, j = count_ - 1; i < j; ++i, --j) {
      PictureElement t = row_[i];
      row_[i] = row_[j];
      row_[j] = t;
    }
  }
  // Moves the row into the picture with its header.
  void store(CompiledPicture* p, PictureKind kind, int sub_kind, bool blank) const {
    for (int i = 0; i < count_; ++i) p->elements[i] = row_[i];
    p->set_header(kind, sub_kind, blank, count_);
  }

 private:
  PictureElement row_[kMaxPictureElements];
  int count_ = 0;
  bool ok_ = true;
};

// The compilers of each kind: `body` is the text after the letter with a
// final "B" removed. Each returns false for an invalid picture.
bool compile_number(std::string_view body, bool blank, CompiledPicture* p);
bool compile_scientific(std::string_view body, bool blank, CompiledPicture* p);
bool compile_date(std::string_view body, bool blank, CompiledPicture* p);
bool compile_time(std::string_view body, bool blank, CompiledPicture* p);

// The layouts of the system's date and time settings (windows_layouts.cpp).
void build_short_date(std::string_view format, ElementRow* row);
void build_long_date(std::string_view format, ElementRow* row);
void build_time_layout(const IntlSettings& intl, bool long_time, ElementRow* row);

inline bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Reads decimal digits at text[*pos]; false when there are none or the
// number exceeds `limit`.
inline bool read_number(std::string_view text, size_t* pos, int limit, int* value) {
  size_t i = *pos;
  long v = 0;
  while (i < text.size() && is_digit(text[i])) {
    v = v * 10 + (text[i] - '0');
    if (v > limit) return false;
    ++i;
  }
  if (i == *pos) return false;
  *pos = i;
  *value = static_cast<int>(v);
  return true;
}

}  // namespace vrt::core::picture_detail
