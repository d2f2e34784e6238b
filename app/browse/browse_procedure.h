// The browse procedure: a window around one browse list, started on its
// own thread from the frame's menu with the browse's name as parameter
// ("Browse Customer"). What runs before it opens, which buttons it allows
// and whether its list shows the VCR buttons follow the access mode.
#pragma once
#include <string>

namespace marlock {

void browse_procedure(const std::string& name);

}  // namespace marlock
