// The machine's CUPS queues through libcups. Which server answers is libcups'
// choice: CUPS_SERVER, cupsSetServer or the client configuration.
#pragma once
#include <string>
#include <vector>

#include "runtime/platform/print/printer.h"

namespace vrt::platform {

// The destinations' names, the default first; none when no server answers.
std::vector<std::string> cups_destinations();

bool cups_destination_exists(const std::string& queue);

// Puts the queue's default media (with its margins) and resolution into
// `mode`, leaving what the queue does not say; false for an unknown queue.
bool cups_default_mode(const std::string& queue, DEVMODE* mode);

// Hands a PDF file to the queue with the copies and media of `mode`; false
// with the server's answer in `error` when the job is refused.
bool cups_print_file(const std::string& queue, const std::string& file, const std::string& title,
                     const DEVMODE& mode, std::string* error);

}  // namespace vrt::platform
