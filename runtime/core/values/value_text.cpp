// The text value objects: STRING, CSTRING and PSTRING.
#include <cstring>

#include "runtime/core/values/number_text.h"
#include "runtime/core/values/value_classes.h"

namespace vrt::core {

int32_t TextValue::get_long() const { return text_to_long(get_text()); }
void TextValue::set_long(int32_t value) { set_text(long_to_text(value)); }
double TextValue::get_real() const { return text_to_real(get_text()); }
void TextValue::set_real(double value) { set_text(real_to_text(value)); }
Decimal TextValue::get_decimal() const { return decimal_from_text(get_text()); }
void TextValue::set_decimal(const Decimal& value) { set_text(decimal_to_text(value)); }

std::string StringValue::get_text() const { return std::string(reinterpret_cast<const char*>(data_), size_); }

void StringValue::set_text(std::string_view text) {
  size_t n = text.size() < size_ ? text.size() : size_;
  if (n) std::memcpy(data_, text.data(), n);  // an empty view may have no data at all
  std::memset(data_ + n, ' ', size_ - n);
}

std::string CStringValue::get_text() const {
  const char* p = reinterpret_cast<const char*>(data_);
  const void* end = std::memchr(p, 0, size_);
  return std::string(p, end ? static_cast<size_t>(static_cast<const char*>(end) - p) : size_);
}

void CStringValue::set_text(std::string_view text) {
  if (size_ == 0) return;
  size_t n = text.size() < size_ - 1 ? text.size() : size_ - 1;
  if (n) std::memcpy(data_, text.data(), n);
  data_[n] = 0;
}

std::string PStringValue::get_text() const {
  if (size_ == 0) return std::string();
  size_t n = data_[0] < size_ - 1 ? data_[0] : size_ - 1;
  return std::string(reinterpret_cast<const char*>(data_ + 1), n);
}

void PStringValue::set_text(std::string_view text) {
  if (size_ == 0) return;
  size_t room = size_ - 1 < 255 ? size_ - 1 : 255;
  size_t n = text.size() < room ? text.size() : room;
  data_[0] = static_cast<uint8_t>(n);
  if (n) std::memcpy(data_ + 1, text.data(), n);
}

}  // namespace vrt::core
