#include "runtime/data/driver/trace_log.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <sstream>

#include "runtime/core/values/dates.h"
#include "runtime/core/base/error_state.h"
#include "runtime/core/base/settings.h"
#include "runtime/core/values/value.h"
#include "runtime/data/driver/declaration_text.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/driver/field_types.h"
#include "runtime/data/driver/operation_table.h"
#include "runtime/platform/os/clock.h"
#include "runtime/platform/os/mutex.h"
#include "runtime/platform/os/profile.h"

namespace vrt::data {

namespace {

constexpr size_t kMaxTraceFileName = 260;
constexpr int kMaxOptionWords = 50;

// Options are read word by word; only words that start with "A" are looked
// at, and no more than the first fifty words.
bool options_allow_details(const std::string& options) {
  std::istringstream in(options);
  std::string word;
  for (int n = 0; n < kMaxOptionWords && in >> word; ++n) {
    if (word[0] != 'A' && word[0] != 'a') continue;
    std::string upper = word;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper == "ALLOWDETAILS") return true;
  }
  return false;
}

std::string crlf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

}  // namespace

long trace_thread_number() { return static_cast<long>(::syscall(SYS_gettid)); }

std::string trace_file(const std::string& section, const std::string& fallback) {
  std::string f = platform::GetProfileString(section, "TraceFile", fallback).substr(0, kMaxTraceFileName);
  return f.empty() ? fallback : f;
}

std::string trace_timing(int error, uint32_t hundredths) {
  std::string s;
  if (error == kFileSystemError)
    s += "File Error: " + core::file_error_text() + " ";
  else if (error != 0)
    s += "Error: " + core::error_text() + " ";
  char t[64];
  std::snprintf(t, sizeof t, "Time Taken: %ld.%02ld secs\r\n", static_cast<long>(hundredths / 100),
                static_cast<long>(hundredths % 100));
  return s + t;
}

namespace {

std::string field_value(const FieldDescriptor& d, const uint8_t* p) {
  char buf[96];
  auto value = [&] {
    return core::make_value(static_cast<core::TypeCode>(d.type), const_cast<uint8_t*>(p), d.size,
                            static_cast<uint8_t>(d.places));
  };
  int32_t n;
  switch (d.type) {
    case kTypeByte: std::snprintf(buf, sizeof buf, "%02XH", p[0]); return buf;
    case kTypeShort: {
      int16_t v;
      std::memcpy(&v, p, 2);
      return std::to_string(v);
    }
    case kTypeUshort: {
      uint16_t v;
      std::memcpy(&v, p, 2);
      return std::to_string(v);
    }
    case kTypeLong: std::memcpy(&n, p, 4); return std::to_string(n);
    case kTypeUlong: {
      uint32_t v;
      std::memcpy(&v, p, 4);
      return std::to_string(v);
    }
    case kTypeSreal: {
      float v;
      std::memcpy(&v, p, 4);
      std::snprintf(buf, sizeof buf, "%f", static_cast<double>(v));
      return buf;
    }
    case kTypeDate: {
      int32_t date = core::date_from_storage(p);
      core::DateParts parts;
      if (!core::date_parts(date, &parts)) {
        std::snprintf(buf, sizeof buf, "Invalid date (%ld)", static_cast<long>(date));
        return buf;
      }
      std::snprintf(buf, sizeof buf, "%02d %s %d (%ld)", parts.day, core::settings().month_abbrevs[parts.month - 1],
                    parts.year, static_cast<long>(date));
      return buf;
    }
    case kTypeTime: {
      int32_t time = core::time_from_storage(p);
      core::TimeParts parts;
      if (!core::time_parts(time, &parts)) {
        std::snprintf(buf, sizeof buf, "Invalid time (%ld)", static_cast<long>(time));
        return buf;
      }
      std::snprintf(buf, sizeof buf, "%02d:%02d:%02d.%02d (%ld)", parts.hour, parts.minute, parts.second,
                    parts.hundredths, static_cast<long>(time));
      return buf;
    }
    default:
      if (is_string_type(d.type)) return "'" + value()->get_text() + "'";
      if (auto v = value()) return v->get_text();
      return {};
  }
}

std::string field_line(const FieldDescriptor& d, const uint8_t* record) {
  char head[64];
  std::snprintf(head, sizeof head, "  %-18s:", d.label.c_str());
  return head + field_value(d, record + d.offset) + "\r\n";
}

// What the driver's trace remembers of a file between calls.
struct FileTrace {
  TraceSwitches switches;
  bool declared = false;
};

platform::Mutex g_trace_mutex;
std::map<const FileBlock*, FileTrace> g_file_traces VRT_GUARDED_BY(g_trace_mutex);

bool dumps_record(int32_t op) {
  switch (op) {
    case kOpAdd: case kOpAddFileLen: case kOpAppend: case kOpAppendLen: case kOpDelete: case kOpGetFileKey:
    case kOpGetFilePtr: case kOpGetFilePtrLen: case kOpGetKeyPtr: case kOpNext: case kOpPrevious: case kOpPut:
    case kOpPutFilePtr: case kOpPutFilePtrLen: case kOpRegetFile: case kOpRegetKey: return true;
    default: return false;
  }
}

}  // namespace

TraceSwitches driver_trace_switches(const FileDeclaration& declaration, const std::string& section) {
  TraceSwitches s;
  s.profile = platform::GetProfileInt(section.c_str(), "Profile", 0) != 0;
  // "QWBRINDLEX" logs to "BRINDLEX.LOG" unless the section names a file.
  s.file = trace_file(section, (section.starts_with("QW") ? section.substr(2) : section) + ".LOG");
  if (declaration.options.empty() || options_allow_details(declaration.options))
    s.details = platform::GetProfileInt(section.c_str(), "Details", 0) != 0;
  return s;
}

std::string driver_trace_line(int32_t operation, const FileBlock& file, const KeyBlock* key, int error,
                              uint32_t hundredths) {
  std::string head = std::string(operation_name(operation)) + "(" + file.declaration.name;
  if (key) {
    int number = 0;
    for (size_t k = 0; k < file.declaration.keys.size(); ++k)
      if (&file.declaration.keys[k] == key) number = static_cast<int>(k);
    head += "," + (key->external_name.empty() ? key->label : key->external_name) + "[" + std::to_string(number) + "]";
  }
  head += " " + std::to_string(trace_thread_number()) + ") ";
  char padded[512];
  std::snprintf(padded, sizeof padded, "%-18s", head.c_str());
  return padded + trace_timing(error, hundredths);
}

// A memo's bytes, 16 a line: "%02X " each (three blanks for a missing
// one), " | ", then the bytes with those below 32 or from 127 as ".".
static std::string hex_dump(const std::string& bytes) {
  std::string out;
  for (size_t at = 0; at < bytes.size(); at += 16) {
    std::string chars;
    for (size_t i = at; i < at + 16; ++i) {
      char cell[4] = "   ";
      if (i < bytes.size()) {
        auto b = static_cast<uint8_t>(bytes[i]);
        std::snprintf(cell, sizeof cell, "%02X ", b);
        chars += b < 32 || b >= 127 ? '.' : static_cast<char>(b);
      }
      out += cell;
    }
    out += " | " + chars + "\r\n";
  }
  return out;
}

std::string record_dump(const FileDeclaration& declaration, const uint8_t* record) {
  std::string out;
  for (const FieldDescriptor& f : declaration.fields)
    if (f.type != kTypeGroup) out += field_line(f, record);
  for (const MemoBlock& m : declaration.memos) {
    char head[64];
    std::snprintf(head, sizeof head, "  %-18s:\r\n", (m.label.empty() ? m.external_name : m.label).c_str());
    out += head + hex_dump(m.value);
  }
  return out;
}

std::string key_dump(const FileDeclaration& declaration, const KeyBlock& key, const uint8_t* record) {
  std::string out;
  for (int32_t c : key.components) out += field_line(declaration.fields[static_cast<size_t>((c < 0 ? -c : c) - 1)], record);
  return out;
}

void append_trace(const std::string& file, const std::string& text) {
  int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return;
  (void)!::write(fd, text.data(), text.size());
  ::close(fd);
}

int32_t traced_driver_call(int32_t operation, FileBlock* file, const DriverArg* args) {
  FileTrace trace;
  {
    platform::MutexLock lock(g_trace_mutex);
    auto& known = g_file_traces;
    auto it = known.find(file);
    // The switches are read at a file's first call, and again whenever it
    // is opened or created anew.
    if (it == known.end() || operation == kOpOpen || operation == kOpCreate || operation == kOpShare) {
      known[file] = FileTrace{driver_trace_switches(file->declaration, file->trace_section), false};
      it = known.find(file);
    }
    trace = it->second;
    if (trace.switches.profile && trace.switches.details) it->second.declared = true;
  }
  if (!trace.switches.profile) return file->driver_entry(operation, file, args);
  uint32_t start = platform::tick_count();
  int32_t result = file->driver_entry(operation, file, args);
  uint32_t taken = platform::tick_count() - start;
  const KeyBlock* key = operation_row(operation).key_form ? reinterpret_cast<const KeyBlock*>(args[0]) : nullptr;
  std::string text;
  // The declaration ends with "END", "END" and one empty line.
  if (trace.switches.details && !trace.declared) text += crlf(write_declaration(file->declaration, false));
  text += driver_trace_line(operation, *file, key, core::error_code(), taken);
  if (trace.switches.details && core::error_code() == 0) {
    if (dumps_record(operation)) text += record_dump(file->declaration, file->record.data());
    if ((operation == kOpSetKeyKey || operation == kOpSetKeyKeyPtr) && key)
      text += key_dump(file->declaration, *key, file->record.data());
  }
  append_trace(trace.switches.file, text);
  return result;
}

}  // namespace vrt::data
