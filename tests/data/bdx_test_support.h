// Shared pieces of the data tests: declarations, field setters, a quiet
// fatal-error box, and file blocks opened on files of a temporary folder.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "runtime/core/base/error_state.h"
#include "runtime/core/base/runtime_box.h"
#include "runtime/data/bdx/bdx_driver.h"
#include "runtime/data/driver/declaration_text.h"
#include "runtime/data/driver/record_layout.h"
#include "runtime/data/driver/statements.h"
#include "tests/test_support.h"

namespace vrt::test {

inline const char* kCustomerDeclaration = R"(FILE,DRIVER('BRINDLEX'),NAME('CUSTOMER'),THREAD
CUS:BYNAME KEY(+CUS:NAME),OPT,NOCASE
CUS:BYEMAIL KEY(+CUS:EMAIL),DUP,OPT,NOCASE
CUS:BYPHONE KEY(+CUS:PHONE),DUP,OPT,NOCASE
CUS:BYSUBURB KEY(+CUS:SUBURB),DUP,OPT,NOCASE
CUS:BYID KEY(+CUS:CUSID),PRIMARY,OPT,NOCASE
RECORD
CUS:CUSID LONG
CUS:NAME STRING(20)
CUS:FIRSTDATE LONG
CUS:FIRSTTIME LONG
CUS:SUBURB STRING(20)
CUS:PHONE STRING(20)
CUS:EMAIL STRING(100)
CUS:WEBSITE STRING(200)
END
END
)";

// Counts the fatal boxes instead of showing them.
struct QuietBoxes {
  static int& count() {
    static int n = 0;
    return n;
  }
  static core::BoxAnswer box(const core::BoxRequest& r) {
    if (std::getenv("VRT_SHOW_BOXES")) std::fprintf(stderr, "box: %s\n", r.text.c_str());
    ++count();
    return core::kAnswerNo;
  }
  QuietBoxes() { previous = core::set_runtime_box_handler(box); }
  ~QuietBoxes() { core::set_runtime_box_handler(previous); }
  core::RuntimeBoxHandler previous;
};

inline data::FileDeclaration parse(const std::string& text) {
  data::FileDeclaration d;
  std::string message;
  EXPECT_TRUE(data::parse_declaration(text, &d, &message)) << message;
  return d;
}

// A file block for the declaration with its NAME pointed at path.
inline void make_file(data::FileBlock& f, const std::string& text, const std::string& path) {
  data::FileDeclaration d = parse(text);
  d.name = path;
  data::make_bdx_file_block(f, std::move(d));
}

inline data::FieldDescriptor& field(data::FileBlock& f, const std::string& label) {
  int n = data::find_field(f.declaration, label);
  EXPECT_NE(n, 0) << label;
  return f.declaration.fields[static_cast<size_t>(n - 1)];
}

inline void set_long(data::FileBlock& f, const std::string& label, int32_t v) {
  std::memcpy(f.record.data() + field(f, label).offset, &v, 4);
}

inline int32_t get_long(data::FileBlock& f, const std::string& label) {
  int32_t v;
  std::memcpy(&v, f.record.data() + field(f, label).offset, 4);
  return v;
}

inline void set_string(data::FileBlock& f, const std::string& label, const std::string& v) {
  data::FieldDescriptor& d = field(f, label);
  std::memset(f.record.data() + d.offset, ' ', d.size);
  std::memcpy(f.record.data() + d.offset, v.data(), std::min<size_t>(v.size(), d.size));
}

inline std::string get_string(data::FileBlock& f, const std::string& label) {
  data::FieldDescriptor& d = field(f, label);
  std::string s(reinterpret_cast<const char*>(f.record.data() + d.offset), d.size);
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

inline void customer(data::FileBlock& f, int32_t id, const std::string& name, const std::string& suburb = "",
                     const std::string& email = "") {
  std::memset(f.record.data(), ' ', f.record.size());
  set_long(f, "CUS:CUSID", id);
  set_long(f, "CUS:FIRSTDATE", 0);
  set_long(f, "CUS:FIRSTTIME", 0);
  set_string(f, "CUS:NAME", name);
  set_string(f, "CUS:SUBURB", suburb);
  set_string(f, "CUS:EMAIL", email);
}

// A new customer file of count records: record i is customer i + 1 named
// "Name<i>" (the BYID key leaves out zero values).
inline void create_customers(const std::string& path, int count) {
  data::FileBlock cus;
  make_file(cus, kCustomerDeclaration, path);
  data::Create(cus);
  data::Open(cus);
  for (int i = 0; i < count; ++i) {
    customer(cus, i + 1, "Name" + std::to_string(i), "Suburb");
    data::Add(cus);
  }
  data::Close(cus);
}

}  // namespace vrt::test
