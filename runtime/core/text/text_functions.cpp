#include "runtime/core/text/text_functions.h"

#include <algorithm>

#include "runtime/core/base/settings.h"

namespace vrt::core {

namespace {

constexpr int64_t kMaxLength = 1 << 24;  // no function builds a text beyond 16 MB

std::string_view trim_left(std::string_view t) {
  size_t b = t.find_first_not_of(' ');
  return b == std::string_view::npos ? std::string_view() : t.substr(b);
}

std::string_view trim_right(std::string_view t) {
  size_t e = t.find_last_not_of(' ');
  return e == std::string_view::npos ? std::string_view() : t.substr(0, e + 1);
}

size_t field(int64_t length, size_t own) {
  if (length < 0) return own;
  return static_cast<size_t>(std::min(length, kMaxLength));
}

}  // namespace

std::string Sub(std::string_view text, int64_t start, int64_t length) {
  int64_t size = static_cast<int64_t>(text.size());
  if (start == 0) start = 1;
  if (start < 0) start = std::max<int64_t>(size + start + 1, 1);
  if (start > size) return {};
  int64_t rest = size - start + 1;
  if (length < 0 || length > rest) length = rest;
  return std::string(text.substr(static_cast<size_t>(start - 1), static_cast<size_t>(length)));
}

std::string Left(std::string_view text, int64_t length) {
  std::string_view t = trim_left(text);
  size_t n = field(length, text.size());
  std::string out(t.substr(0, std::min(n, t.size())));
  out.resize(n, ' ');
  return out;
}

std::string Right(std::string_view text, int64_t length) {
  std::string_view t = trim_right(text);
  size_t n = field(length, text.size());
  if (t.size() >= n) return std::string(t.substr(t.size() - n));
  return std::string(n - t.size(), ' ') + std::string(t);
}

std::string Center(std::string_view text, int64_t length) {
  std::string_view t = trim_right(trim_left(text));
  size_t n = field(length, text.size());
  if (t.size() >= n) return std::string(t.substr(0, n));
  size_t pad = n - t.size();
  return std::string(pad / 2, ' ') + std::string(t) + std::string(pad - pad / 2, ' ');
}

std::string Clip(std::string_view text) { return std::string(trim_right(text)); }

std::string All(std::string_view text, int64_t length) {
  size_t n = field(length, 0);
  if (text.empty()) return std::string(n, ' ');
  std::string out;
  out.reserve(n);
  while (out.size() < n) out.append(text.substr(0, n - out.size()));
  return out;
}

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(to_upper(static_cast<uint8_t>(c)));
  return out;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(to_lower(static_cast<uint8_t>(c)));
  return out;
}

bool Numeric(std::string_view text) {
  std::string_view t = trim_right(trim_left(text));
  size_t i = 0;
  if (i < t.size() && (t[i] == '-' || t[i] == '+')) ++i;
  size_t digits = 0;
  bool point = false;
  for (; i < t.size(); ++i) {
    if (t[i] >= '0' && t[i] <= '9')
      ++digits;
    else if (t[i] == '.' && !point)
      point = true;
    else
      break;
  }
  if (digits == 0) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '-' || t[i] == '+')) ++i;
    size_t e = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++e;
    if (e == 0) return false;
  }
  return i == t.size();
}

}  // namespace vrt::core
