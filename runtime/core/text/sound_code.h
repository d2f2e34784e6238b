// The 4-character sound-alike code of a text: its first letter and up to
// three digits for the consonants that follow, "!000" when it has no letter.
#pragma once
#include <string>
#include <string_view>

namespace vrt::core {

std::string sound_code(std::string_view text);

}  // namespace vrt::core
