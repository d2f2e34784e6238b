// Any CSV text imported into a table of every field type: the import stores
// records whole or stops at a line with a message, the file checks clean,
// the count it gives is what the table holds, and every value stored reads
// back as text that import takes to the same bytes.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "runtime/core/base/error_state.h"
#include "runtime/core/base/runtime_box.h"
#include "runtime/data/bdx/bdx_driver.h"
#include "runtime/data/bdx/bdx_inspect.h"
#include "runtime/data/driver/declaration_text.h"
#include "runtime/data/driver/field_types.h"
#include "runtime/data/driver/statements.h"
#include "runtime/platform/os/file.h"
#include "tools/bdx/csv_import.h"
#include "tools/bdx/field_input.h"
#include "tools/bdx/table_access.h"

namespace {

const char* kDeclaration = R"(FILE,DRIVER('BRINDLEX')
KEY(+F:NAME),NOCASE,OPT
KEY(-F:ID,+F:AMOUNT),DUP
MEMO(50),NAME('F:NOTES')
BLOB,NAME('F:PIC')
RECORD
F:ID LONG
F:NAME STRING(12)
F:AMOUNT DECIMAL(7,2)
F:PACKED PDECIMAL(5,1)
F:CODE CSTRING(6)
F:TAG PSTRING(6)
F:SMALL SHORT
F:TINY BYTE
F:COUNT USHORT
F:BIG ULONG
F:WHEN DATE
F:AT TIME
F:RATE SREAL
F:RATIO REAL
END
END
)";

int g_boxes = 0;
vrt::core::BoxAnswer counted(const vrt::core::BoxRequest&) {
  ++g_boxes;
  return vrt::core::kAnswerNo;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vrt;
  static std::string path = "/tmp/bdx_import_fuzz_" + std::to_string(getpid()) + ".BDX";
  static bool ready = [] {
    core::set_runtime_box_handler(counted);
    return true;
  }();
  (void)ready;
  platform::delete_file(path);
  data::FileDeclaration d;
  std::string message;
  if (!data::parse_declaration(kDeclaration, &d, &message)) abort();
  d.name = path;
  data::FileBlock f;
  data::make_bdx_file_block(f, std::move(d));
  data::Create(f);
  data::Open(f);
  if (core::error_code() != 0) abort();
  g_boxes = 0;
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  bdx_tool::ImportResult result;
  bdx_tool::import_csv(f, in, &result);
  if (g_boxes != 0 || data::Records(f) != result.stored) abort();
  // Every value reads back as text that import takes to the same bytes.
  data::Set(f);
  for (data::Next(f); core::error_code() == 0; data::Next(f)) {
    std::vector<uint8_t> stored = f.record;
    for (size_t i = 0; i < f.declaration.fields.size(); ++i) {
      const data::FieldDescriptor& field = f.declaration.fields[i];
      if (!bdx_tool::importable_type(field.type)) continue;
      std::string text = bdx_tool::field_text(f, i), problem;
      if (!bdx_tool::put_field_text(f, i, text, &problem)) abort();
      // Reals read back through fifteen digits, and a decimal zero has two
      // forms (the cleared record's bytes and a written zero's sign): their
      // text, not their bits, must be the same.
      bool by_text = field.type == data::kTypeSreal || field.type == data::kTypeReal ||
                     data::is_decimal_type(field.type);
      if (by_text) {
        if (bdx_tool::field_text(f, i) != text) abort();
      } else if (!std::equal(stored.begin() + field.offset, stored.begin() + field.offset + field.size,
                             f.record.begin() + field.offset)) {
        abort();
      }
    }
  }
  data::Close(f);
  if (!data::check_file(path).empty()) abort();
  platform::delete_file(path);
  return 0;
}
