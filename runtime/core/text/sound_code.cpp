#include "runtime/core/text/sound_code.h"

#include "runtime/core/base/settings.h"

namespace vrt::core {

namespace {

// A B C D E F G H I J K L M N O P Q R S T U V W X Y Z
constexpr char kDigits[] = "01230120022455012623010202";

char digit_of(uint8_t upper) { return upper >= 'A' && upper <= 'Z' ? kDigits[upper - 'A'] : '0'; }

}  // namespace

std::string sound_code(std::string_view text) {
  const Settings& s = settings();
  size_t i = 0;
  while (i < text.size()) {
    uint8_t kind = s.case_kind[static_cast<uint8_t>(text[i])];
    if (kind == kCaseUpper || kind == kCaseLower) break;
    ++i;
  }
  if (i == text.size()) return "!000";
  uint8_t first = to_upper(static_cast<uint8_t>(text[i]));
  std::string code(1, static_cast<char>(first));
  char first_digit = digit_of(first);
  for (++i; i < text.size() && code.size() < 4; ++i) {
    char d = digit_of(to_upper(static_cast<uint8_t>(text[i])));
    if (d != '0' && d != first_digit) code += d;
  }
  code.resize(4, '0');
  return code;
}

}  // namespace vrt::core
