// Shared by the printer tests: a profile of the test's own, libcups pointed
// at a server of the test's choosing, and what poppler's tools read in a PDF.
#pragma once
#include <cups/cups.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "tests/test_support.h"

namespace vrt::test {

// Sets an environment variable for the test's life, then puts back the old one.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = getenv(name)) old_ = old, had_ = true;
    value ? setenv(name, value, 1) : unsetenv(name);
  }
  ~ScopedEnv() { had_ ? setenv(name_.c_str(), old_.c_str(), 1) : unsetenv(name_.c_str()); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_, old_;
  bool had_ = false;
};

// The profile is the test folder's win.ini; libcups asks the server at
// `cups_socket` (by default one nobody listens on, so that the machine's
// own printers stay out of the tests).
class PrinterProfileTest : public ::testing::Test {
 protected:
  PrinterProfileTest() : winini_("VORTHAL_WININI", dir_.file("win.ini").c_str()) {}
  void SetUp() override { use_cups_server(dir_.file("nobody.sock")); }
  void TearDown() override { cupsSetServer(nullptr); }
  void use_cups_server(const std::string& socket) { cupsSetServer(socket.c_str()); }
  void write_profile(const std::string& text) { write_file(dir_.file("win.ini"), text); }

  TempDir dir_;
  ScopedEnv winini_;
};

// A field of `pdfinfo`'s report ("Pages", "Page size"), "" when missing.
inline std::string pdf_info(const std::string& pdf, const std::string& field) {
  CommandResult r = run_command("pdfinfo '" + pdf + "' 2>/dev/null");
  r.out.insert(0, "\n");
  size_t at = r.out.find("\n" + field + ":");
  if (r.exit_code != 0 || at == std::string::npos) return "";
  size_t begin = r.out.find_first_not_of(' ', at + field.size() + 2);
  return r.out.substr(begin, r.out.find('\n', begin) - begin);
}

inline std::string pdf_text(const std::string& pdf) {
  return run_command("pdftotext -layout '" + pdf + "' - 2>/dev/null").out;
}

}  // namespace vrt::test
