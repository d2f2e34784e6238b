// The print preview: shows the page images of a report, one zoomed or
// several as thumbnails, lets the user move through them and answers
// whether to print. Its windows come from the program's module (the
// application's "marlock$marlo_sf": "P9$PREVIEW:WINDOW", "P22$JUMPWINDOW",
// "P23$SELECTWINDOW").
#pragma once
#include <string>
#include <vector>

namespace vrt::report {

// Runs the preview in the calling procedure's thread; true when the user
// chose Print.
bool PrintPreview(const std::vector<std::string>& pages, const std::string& module);

}  // namespace vrt::report
