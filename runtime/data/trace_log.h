// The driver's and the view engine's trace logs: switched on from the
// profile ("QWBRINDLEX" and "QWVIEW"), one line per operation with its
// outcome and time, and with "Details" the declarations in source form and
// the record buffers field by field. Each line is formatted whole and
// appended in one write, so the lines of different threads never mix.
#pragma once
#include <cstdint>
#include <string>

#include "runtime/data/file_block.h"

namespace vrt::data {

struct ViewNode;

struct TraceSwitches {
  bool profile = false;
  bool details = false;
  std::string file;
};

// The driver's switches for a file: "Details" counts only when the file has
// no driver options or its options hold the word ALLOWDETAILS.
TraceSwitches driver_trace_switches(const FileDeclaration& declaration);
TraceSwitches view_trace_switches();

// "NEXT(CUSTOMER,CUS:BYNAME[0] 1234) " left-justified in 18 characters,
// the error if any, and the time taken.
std::string driver_trace_line(int32_t operation, const FileBlock& file, const KeyBlock* key, int error,
                              uint32_t hundredths);
std::string view_trace_line(int32_t operation, uintptr_t view, int error, uint32_t hundredths);
// The record buffer, one field a line ("  %-18s:value").
std::string record_dump(const FileDeclaration& declaration, const uint8_t* record);
// The key's component values from the record buffer, in the same form.
std::string key_dump(const FileDeclaration& declaration, const KeyBlock& key, const uint8_t* record);
// A view's declaration in source form: "VIEW(FILE)", PROJECT, JOIN ... END.
std::string view_declaration(const ViewNode& primary);

// Appends text to the log in one write; creates the log when missing.
void append_trace(const std::string& file, const std::string& text);

// The trace of driver calls at the dispatcher, for files of the native
// driver: returns the statement's result as the call gave it.
int32_t traced_driver_call(int32_t operation, FileBlock* file, const DriverArg* args);

}  // namespace vrt::data
