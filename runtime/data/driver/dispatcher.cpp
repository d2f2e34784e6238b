#include "runtime/data/driver/dispatcher.h"

#include "runtime/data/driver/driver_call.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/driver/trace_log.h"

namespace vrt::data {

int32_t dispatch(int32_t operation, FileBlock* file, const DriverArg* args) {
  if (!file) return 0;
  DriverEntry entry = file->driver_entry;
  if (!entry) {
    post_driver_result(*file, kUnsupportedFunction);
    return 0;
  }
  static const DriverArg kNoArgs[4] = {};
  // Calls of a driver that keeps a trace go through it; it switches itself
  // on and off from the profile.
  if (file->trace_section) return traced_driver_call(operation, file, args ? args : kNoArgs);
  return entry(operation, file, args ? args : kNoArgs);
}

int32_t dispatch_key(int32_t operation, KeyBlock* key, DriverArg extra0, DriverArg extra1) {
  if (!key || !key->file) return 0;
  DriverArg args[3] = {reinterpret_cast<DriverArg>(key), extra0, extra1};
  return dispatch(operation, key->file, args);
}

}  // namespace vrt::data
