// The demonstration's module of window declarations.
#pragma once

namespace vrt::window::demo {

inline constexpr const char* kDemo = "vrtdemo$demo01";

}  // namespace vrt::window::demo
