// The runtime's own message texts (the string resources of the process
// instance): file errors 2-96, system errors 301-391, program faults
// 401-410, internal errors 501-515, window system 520-544, DDE 601-605 and
// expressions 800-802.
#pragma once

namespace vrt::core {

// The text of resource message n, or null when there is none.
const char* runtime_message(int n);

}  // namespace vrt::core
