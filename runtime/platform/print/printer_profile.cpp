// Printers as the profile names them, and the CUPS destinations when it
// names none.
#include <strings.h>

#include <array>

#include "runtime/platform/os/profile.h"
#include "runtime/platform/os/system_error.h"
#include "runtime/platform/print/cups_queue.h"
#include "runtime/platform/print/print_error.h"
#include "runtime/platform/print/printer.h"

namespace vrt::platform {

namespace {

constexpr std::array<const char*, 2> kDrivers = {"PDF", "CUPS"};
constexpr const char* kPdf = "PDF";

bool same_name(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

std::string trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t"), e = s.find_last_not_of(" \t");
  return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

// Splits at the first comma; the second part keeps any further commas (a
// path may hold them). Nothing when either part is empty.
std::optional<std::pair<std::string, std::string>> split_at_comma(const std::string& s) {
  size_t comma = s.find(',');
  if (comma == std::string::npos) return std::nullopt;
  std::string first = trim(s.substr(0, comma)), second = trim(s.substr(comma + 1));
  if (first.empty() || second.empty()) return std::nullopt;
  return std::pair{first, second};
}

// A profile entry's DEVNAMES, the driver spelt as we spell it; nothing for
// a missing part or an unknown driver.
std::optional<DEVNAMES> parse_printer(const std::string& name, const std::string& driver_and_port) {
  auto parts = split_at_comma(driver_and_port);
  if (name.empty() || !parts) {
    fail_printer(kErrorInvalidParameter, "The printer \"" + name + "\" lacks its driver or its port in the profile");
    return std::nullopt;
  }
  for (const char* driver : kDrivers)
    if (same_name(parts->first, driver)) return DEVNAMES{name, driver, parts->second};
  fail_printer(kErrorInvalidParameter, "The printer \"" + name + "\" names an unknown driver \"" + parts->first + "\"");
  return std::nullopt;
}

// What CreateIC finds out: a CUPS queue must be known to the server.
std::optional<DEVNAMES> if_usable(std::optional<DEVNAMES> printer) {
  if (printer && printer->driver == "CUPS" && !cups_destination_exists(printer->port)) {
    fail_printer(kErrorInvalidName, "The CUPS queue \"" + printer->port + "\" of the printer \"" +
                                        printer->device + "\" is not known to the server");
    return std::nullopt;
  }
  return printer;
}

DEVNAMES pdf_printer() { return {kPdf, kPdf, "FILE:"}; }

}  // namespace

std::vector<DEVNAMES> available_printers() {
  std::vector<DEVNAMES> printers;
  std::vector<ProfileEntry> devices = GetProfileSection("Devices");
  if (devices.empty()) {
    for (const std::string& queue : cups_destinations()) printers.push_back({queue, "CUPS", queue});
  } else {
    for (const ProfileEntry& e : devices)
      if (auto p = parse_printer(e.key, e.value)) printers.push_back(*p);
  }
  bool has_pdf = false;
  for (const DEVNAMES& p : printers) has_pdf |= same_name(p.device, kPdf);
  if (!has_pdf) printers.push_back(pdf_printer());
  return printers;
}

std::optional<DEVNAMES> select_printer(const std::string& name) {
  if (name.empty()) {
    std::string device = GetProfileString("Windows", "device", "");
    if (device.empty()) {
      // No default named: the first printer that answers.
      for (const DEVNAMES& p : available_printers())
        if (auto usable = if_usable(p)) return usable;
      return std::nullopt;
    }
    size_t comma = device.find(',');
    std::string device_name = trim(device.substr(0, comma));
    return if_usable(parse_printer(device_name, comma == std::string::npos ? "" : device.substr(comma + 1)));
  }
  std::vector<ProfileEntry> devices = GetProfileSection("Devices");
  for (const ProfileEntry& e : devices)
    if (same_name(e.key, name)) return if_usable(parse_printer(e.key, e.value));
  if (same_name(name, kPdf)) return pdf_printer();
  if (devices.empty() && cups_destination_exists(name)) return DEVNAMES{name, "CUPS", name};
  fail_printer(kErrorInvalidName, "There is no printer \"" + name + "\"");
  return std::nullopt;
}

}  // namespace vrt::platform
