// Any declaration text: CREATE either refuses it with a posted error, or
// makes a table that takes a record, gives it back and checks clean. A
// declaration the file cannot hold must never be accepted and then fail
// every ADD as data corruption.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "runtime/core/base/error_state.h"
#include "runtime/core/base/runtime_box.h"
#include "runtime/data/bdx/bdx_driver.h"
#include "runtime/data/bdx/bdx_inspect.h"
#include "runtime/data/driver/declaration_text.h"
#include "runtime/data/driver/statements.h"
#include "runtime/platform/os/file.h"

namespace {

int g_boxes = 0;
vrt::core::BoxAnswer counted(const vrt::core::BoxRequest&) {
  ++g_boxes;
  return vrt::core::kAnswerNo;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vrt;
  static std::string path = "/tmp/create_declaration_fuzz_" + std::to_string(getpid()) + ".BDX";
  static bool ready = [] {
    core::set_runtime_box_handler(counted);
    return true;
  }();
  (void)ready;
  std::string text(reinterpret_cast<const char*>(data), size);
  data::FileDeclaration d;
  std::string message;
  if (!data::parse_declaration(text, &d, &message)) return 0;
  platform::delete_file(path);
  d.name = path;
  d.has_owner = false;
  data::FileBlock f;
  data::make_bdx_file_block(f, std::move(d));
  g_boxes = 0;
  data::Create(f);
  if (core::error_code() != 0) {
    if (g_boxes != 0) abort();  // refused, but as corruption
    return 0;
  }
  data::Open(f);
  if (core::error_code() != 0) abort();  // a table that cannot be opened
  // The record's bytes from the text itself, the memos empty.
  for (size_t i = 0; i < f.record.size(); ++i) f.record[i] = size ? data[i % size] : 0;
  data::Add(f);
  int added = core::error_code();
  if (added != 0 && added != 40) abort();
  data::Set(f);
  data::Next(f);
  if (added == 0 && core::error_code() != 0) abort();
  data::Close(f);
  if (g_boxes != 0 || !data::check_file(path).empty()) abort();
  platform::delete_file(path);
  return 0;
}
