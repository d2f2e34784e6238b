// Reading the settings of the process: the profile's "intl" section and the
// environment file into the tables, then the Windows date and time layouts
// compiled into pictures. It sits above the pictures so that the settings
// themselves need nothing of them.
#pragma once

namespace vrt::core {

// Only the first call does anything.
void read_settings();

}  // namespace vrt::core
