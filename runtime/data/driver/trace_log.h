// The drivers' trace log: switched on from the profile section a driver
// names in its file blocks ("QWBRINDLEX" for the native driver), one line per
// operation with its outcome and time, and with "Details" the declarations in
// source form and the record buffers field by field. The view engine's trace
// (view/view_trace.h) is built from the same pieces. Each line is formatted whole and
// appended in one write, so the lines of different threads never mix.
#pragma once
#include <cstdint>
#include <string>

#include "runtime/data/driver/file_block.h"

namespace vrt::data {

struct TraceSwitches {
  bool profile = false;
  bool details = false;
  std::string file;
};

// The driver's switches for a file, from the driver's profile section:
// "Details" counts only when the file has no driver options or its options
// hold the word ALLOWDETAILS.
TraceSwitches driver_trace_switches(const FileDeclaration& declaration, const std::string& section = "QWBRINDLEX");

// The log file a section names ("TraceFile"), else the fallback.
std::string trace_file(const std::string& section, const std::string& fallback);
// The caller's thread as the log shows it.
long trace_thread_number();
// The end of an operation's line: its error, if any, and the time taken.
std::string trace_timing(int error, uint32_t hundredths);

// "NEXT(CUSTOMER,CUS:BYNAME[0] 1234) " left-justified in 18 characters,
// the error if any, and the time taken.
std::string driver_trace_line(int32_t operation, const FileBlock& file, const KeyBlock* key, int error,
                              uint32_t hundredths);
// The record buffer, one field a line ("  %-18s:value").
std::string record_dump(const FileDeclaration& declaration, const uint8_t* record);
// The key's component values from the record buffer, in the same form.
std::string key_dump(const FileDeclaration& declaration, const KeyBlock& key, const uint8_t* record);

// Appends text to the log in one write; creates the log when missing.
void append_trace(const std::string& file, const std::string& text);

// The trace of driver calls at the dispatcher, for files whose driver keeps
// one (a trace section in the file block): returns the statement's result as
// the call gave it.
int32_t traced_driver_call(int32_t operation, FileBlock* file, const DriverArg* args);

}  // namespace vrt::data
