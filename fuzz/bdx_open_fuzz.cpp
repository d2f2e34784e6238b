// Any file handed to OPEN opens or fails with a posted error; reading it in
// record and key order, counting it and checking it never crash, whatever
// its header, page areas, pages and records say.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "runtime/core/base/error_state.h"
#include "runtime/core/base/runtime_box.h"
#include "runtime/data/bdx/bdx_driver.h"
#include "runtime/data/bdx/bdx_inspect.h"
#include "runtime/data/driver/declaration_text.h"
#include "runtime/data/driver/statements.h"

namespace {

const char* kDeclaration = R"(FILE,DRIVER('BRINDLEX')
KEY(+F:NAME),NOCASE,OPT
KEY(-F:ID,+F:AMOUNT),DUP
RECORD
F:ID LONG
F:NAME STRING(12)
F:AMOUNT DECIMAL(7,2)
END
END
)";

vrt::core::BoxAnswer quiet(const vrt::core::BoxRequest&) { return vrt::core::kAnswerNo; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vrt;
  static std::string path = "/tmp/bdx_open_fuzz_" + std::to_string(getpid()) + ".BDX";
  static bool ready = [] {
    core::set_runtime_box_handler(quiet);
    return true;
  }();
  (void)ready;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);

  data::FileDeclaration d;
  std::string message;
  if (!data::parse_declaration(kDeclaration, &d, &message)) __builtin_trap();
  d.name = path;
  data::FileBlock file;
  data::make_bdx_file_block(file, std::move(d));
  data::Open(file, data::kReadOnly | data::kDenyNone);
  if (core::error_code() == 0) {
    (void)data::Records(file);
    for (int order = -1; order < 2; ++order) {
      if (order < 0) data::Set(file);
      else data::Set(file.declaration.keys[static_cast<size_t>(order)]);
      for (int i = 0; i < 200; ++i) {
        data::Next(file);
        if (core::error_code() != 0) break;
      }
    }
    data::Close(file);
  }
  (void)data::check_file(path);
  std::remove(path.c_str());
  return 0;
}
