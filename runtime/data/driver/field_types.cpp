#include "runtime/data/driver/field_types.h"

namespace vrt::data {

int field_type_from_name(const std::string& name) {
  for (int c = 0; c <= kTypeLastCode; ++c)
    if (name == core::type_name(c)) return c;
  return -1;
}

}  // namespace vrt::data
