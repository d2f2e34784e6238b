// The report procedure: started from the frame's Reports menu on a thread
// of its own with the report's module, it reads the file through a progress
// run, prints a detail band for each record into page images, shows them in
// the print preview and prints them when the user asks there.
#pragma once
#include <string>

namespace marlock {

void report_procedure(const std::string& module);

}  // namespace marlock
