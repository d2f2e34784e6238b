// Finding a window or report structure by module and label. The module's
// resource is searched first in the image where the last search succeeded,
// then in every image in registration order; a resource counts only when
// the module name stored at its start is the one asked for. The buffer of
// the last structure found is the runtime's current resource buffer.
#pragma once
#include <cstdint>
#include <memory>
#include <string_view>

#include "runtime/window/resource/resource_buffer.h"

namespace vrt::window {

struct FoundStructure {
  std::shared_ptr<const ResourceBuffer> buffer;  // kept alive by whoever builds from it
  uint32_t offset = 0;                           // 0: not found
  Damage damage;                                 // set when the resource is damaged
  explicit operator bool() const { return offset != 0; }
};

// Finds without reporting; a damaged resource ends the search with `damage`.
FoundStructure find_structure(std::string_view module, std::string_view label);

// As find_structure, but a structure not found or damaged is fatal runtime
// error 502 (which returns only while the runtime is not active).
FoundStructure locate_structure(std::string_view module, std::string_view label);

std::shared_ptr<const ResourceBuffer> current_resource_buffer();

}  // namespace vrt::window
