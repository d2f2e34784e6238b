// bdx copy SOURCE TARGET [--replace]
//
// Copies every record of a table, with its memos, into a new table of the
// same declaration: a BDX file's table to a table on a server or back
// (either name may be "postgresql://...\!TABLE", server_table.h), or a BDX
// file to another. The target is made by CREATE; one that exists already
// is replaced only with --replace. Records go in batches of 5000, each one
// transaction; on a terminal a progress line counts them. Prints the number
// of records copied; a record that fails prints "record N: error C: TEXT"
// and exit 1, and standard error says how many were stored.
#include <unistd.h>

#include <cstdio>

#include "runtime/core/base/error_state.h"
#include "runtime/data/bdx/bdx_driver.h"
#include "runtime/data/driver/statements.h"
#include "tools/bdx/command.h"
#include "tools/bdx/server_table.h"
#include "tools/bdx/table_access.h"

namespace vrt::bdx_tool {

namespace {

constexpr long kCopyBatch = 5000;

void make_target(const std::string& name, data::FileBlock& target, const data::FileDeclaration& declaration) {
  data::FileDeclaration d = declaration;
  d.attributes &= static_cast<uint8_t>(~data::kAttrCreate);  // OPEN must find it, not make it
  if (is_server_name(name)) return make_server_file(name, target, std::move(d));
  d.name = name;
  d.driver = data::kBdxDriverName;
  data::make_bdx_file_block(target, std::move(d));
}

int copy_cmd(const Args& in) {
  Args args = in;
  bool replace = take_flag(args, "--replace");
  if (args.size() != 2) return usage_error("copy");
  if (is_server_name(args[0]) && is_server_name(args[1])) {
    std::fprintf(stderr, "bdx: copy between two server tables is not supported; copy through a BDX file\n");
    return 2;
  }
  data::FileBlock source, target;
  if (open_stored_table(args[0], source, data::kReadOnly | data::kDenyNone) != 0) return posted_failure();
  make_target(args[1], target, source.declaration);
  data::Open(target);
  if (core::error_code() == 0) {
    data::Close(target);
    if (!replace) {
      std::printf("%s: the table exists; --replace replaces it\n", args[1].c_str());
      return 1;
    }
  }
  data::Create(target);
  if (core::error_code() != 0) return posted_failure();
  data::Open(target);
  if (core::error_code() != 0) return posted_failure();

  bool progress = isatty(STDERR_FILENO) != 0;
  long stored = 0, in_batch = 0;
  auto commit = [&] {
    data::Commit();
    if (core::error_code() != 0) return false;
    stored += in_batch;
    in_batch = 0;
    if (progress) std::fprintf(stderr, "\rbdx: %ld records copied", stored);
    return true;
  };
  data::Set(source);
  for (;;) {
    data::Next(source);
    if (core::error_code() == 33) break;
    if (core::error_code() != 0) return posted_failure();
    if (in_batch == 0) {
      data::Logout(1, {&target});
      if (core::error_code() != 0) return posted_failure();
    }
    target.record = source.record;
    for (size_t m = 0; m < source.declaration.memos.size(); ++m)
      target.declaration.memos[m].value = source.declaration.memos[m].value;
    data::Add(target);
    if (core::error_code() != 0) {
      int code = core::error_code();
      std::string text = core::error_text(), detail = core::file_error_text();
      data::Rollback();
      if (progress) std::fprintf(stderr, "\r%40s\r", "");
      std::printf("record %ld: error %d: %s%s%s\n", stored + in_batch + 1, code, text.c_str(),
                  detail.empty() ? "" : ": ", detail.c_str());
      std::fprintf(stderr, "bdx: %ld records stored\n", stored);
      return 1;
    }
    if (++in_batch == kCopyBatch && !commit()) return posted_failure();
  }
  if (in_batch > 0 && !commit()) return posted_failure();
  if (progress) std::fprintf(stderr, "\r%40s\r", "");
  data::Close(target);
  std::printf("%ld\n", stored);
  return 0;
}

RegisterCommand r({"copy", "SOURCE TARGET [--replace]", copy_cmd});

}  // namespace

}  // namespace vrt::bdx_tool
