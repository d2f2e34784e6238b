#include "runtime/data/driver/driver_failure.h"

#include <string>

#include "runtime/core/base/fatal_error.h"
#include "runtime/core/base/message_text.h"
#include "runtime/data/driver/driver_errors.h"

namespace vrt::data {

namespace {
constexpr int kCorruptionMessage = 0x1005;
}

void fail_internal(int number) {
  const std::string* override_text = core::find_message_override(kCorruptionMessage);
  std::string text = override_text ? *override_text : "Possible data corruption in file";
  text += " (" + std::to_string(number) + ")";
  core::fatal_runtime_error(0, text.c_str());
  throw DriverFailure{kInvalidDataFile};
}

}  // namespace vrt::data
