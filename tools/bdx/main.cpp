// bdx: the data-file tool. Lists the tables of a BDX file, prints its header
// and page areas, dumps records, checks and rebuilds files, creates a file
// from a declaration, imports CSV and runs views.
#include <cstdio>
#include <vector>

#include "runtime/core/base/runtime_box.h"
#include "runtime/data/bdx/store/file_locks.h"
#include "tools/bdx/owner.h"
#include "tools/common/command_table.h"

namespace {

// A damaged file's fatal box becomes one line on standard error.
vrt::core::BoxAnswer quiet_box(const vrt::core::BoxRequest& box) {
  std::string text = box.text.substr(0, box.text.find('\n'));
  std::fprintf(stderr, "bdx: %s\n", text.c_str());
  return vrt::core::kAnswerNo;
}

// A wait for another process says what it waits for.
void wait_notice(const std::string& what) { std::fprintf(stderr, "bdx: %s\n", what.c_str()); }

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> args(argv, argv + argc);
  if (!vrt::bdx_tool::take_owner(&args)) return 2;
  args.push_back(nullptr);
  return vrt::tools::run_tool("bdx", static_cast<int>(args.size()) - 1, args.data(), [] {
    vrt::core::set_runtime_box_handler(quiet_box);
    vrt::data::set_wait_notice(wait_notice);
  });
}
