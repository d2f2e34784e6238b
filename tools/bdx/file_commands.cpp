// bdx create, tables, info, check, recover, build and declare.
//
//   bdx create FILE[\!TABLE] DECLARATION-FILE [--replace]
//                                       prints nothing; adds the table to
//                                       the file (made when missing); a
//                                       table of that name is replaced
//                                       only with --replace
//   bdx tables FILE                     one table name a line
//   bdx info FILE                       "name: value" lines, then one line
//                                       per page area and per table
//   bdx check FILE                      nothing when sound (exit 0), else one
//                                       line per problem (exit 1)
//   bdx recover FILE                    resolves an update a crash left
//                                       bracketed; prints "nothing to
//                                       recover", "rolled forward" or
//                                       "rolled back"
//   bdx build FILE                      rebuilds every key of every table
//   bdx declare FILE[\!TABLE]           the stored declaration, source form
#include <cstdio>

#include "runtime/core/base/error_state.h"
#include "runtime/data/bdx/bdx_driver.h"
#include "runtime/data/bdx/bdx_inspect.h"
#include "runtime/data/bdx/store/byte_order.h"
#include "runtime/data/driver/declaration_text.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/driver/statements.h"
#include "runtime/data/bdx/table_name.h"
#include "runtime/platform/os/file.h"
#include "tools/bdx/command.h"
#include "runtime/data/bdx/file_owner_change.h"
#include "tools/bdx/owner.h"
#include "tools/bdx/table_access.h"

namespace vrt::bdx_tool {

namespace {

// Whether the file holds the table already; 0 or the error of reading it.
int table_exists(const std::string& name, bool* exists) {
  *exists = false;
  data::TableAddress a = data::split_table_name(name);
  if (!platform::file_exists(a.file)) return 0;
  data::FileSummary s;
  if (int code = data::summarize_file(a.file, &s, file_owner())) return code;
  for (const auto& t : s.tables) *exists = *exists || t.name == a.table;
  return 0;
}

int create_cmd(const Args& given) {
  Args args = given;
  bool replace = take_flag(args, "--replace");
  if (args.size() != 2) return usage_error("create");
  std::FILE* in = std::fopen(args[1].c_str(), "rb");
  if (!in) {
    std::fprintf(stderr, "bdx: cannot read %s\n", args[1].c_str());
    return 1;
  }
  std::string text;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, in)) > 0) text.append(buf, n);
  std::fclose(in);
  data::FileDeclaration d;
  std::string message;
  if (!data::parse_declaration(text, &d, &message)) {
    std::printf("%s: %s\n", args[1].c_str(), message.c_str());
    return 1;
  }
  d.name = args[0];
  if (!file_owner().empty()) {
    d.has_owner = true;
    d.owner = file_owner();
  }
  bool exists = false;
  if (int code = table_exists(args[0], &exists)) return failure(code);
  if (exists && !replace) {
    std::printf("%s: table %s exists; --replace replaces it\n", args[0].c_str(),
                data::split_table_name(args[0]).table.c_str());
    return 1;
  }
  data::FileBlock f;
  data::make_bdx_file_block(f, std::move(d));
  data::Create(f);
  return core::error_code() ? posted_failure() : 0;
}

int summary_of(const std::string& file, data::FileSummary* s) {
  int code = data::summarize_file(data::split_table_name(file).file, s, file_owner());
  return code ? failure(code) : 0;
}

int tables_cmd(const Args& args) {
  if (args.size() != 1) return usage_error("tables");
  data::FileSummary s;
  if (int r = summary_of(args[0], &s)) return r;
  for (const auto& t : s.tables) std::printf("%s\n", t.name.c_str());
  return 0;
}

int info_cmd(const Args& args) {
  if (args.size() != 1) return usage_error("info");
  data::FileSummary s;
  if (int r = summary_of(args[0], &s)) return r;
  const data::BdxHeader& h = s.header;
  uint32_t pages = 0;
  for (uint32_t p : s.pages) pages += p;
  std::printf("file size: %llu\n", static_cast<unsigned long long>(s.file_size));
  std::printf("header size: %u\n", h.header_size);
  std::printf("committed end: %u\n", h.committed_end);
  std::printf("shadow end: %u\n", h.shadow_end);
  std::printf("change count: %u\n", h.change_count);
  std::printf("last number: %u\n", data::load_be32(h.last_number));
  std::printf("root: %d\n", h.root);
  std::printf("levels: %u\n", s.levels);
  std::printf("pages: %u\n", pages);
  std::printf("records: %llu\n", static_cast<unsigned long long>(s.records));
  for (int k = 1; k <= data::kMaxPageUnits; ++k)
    if (h.area_end[k] > h.area_start[k])
      std::printf("area %d: units %u-%u, %u pages of %u in use\n", k, h.area_start[k], h.area_end[k], s.pages[k],
                  (h.area_end[k] - h.area_start[k]) / static_cast<uint32_t>(k));
  for (const auto& t : s.tables)
    std::printf("table %s: number %u, %u records%s\n", t.name.c_str(), t.number, t.records,
                t.definition_sound ? "" : ", definition damaged");
  return 0;
}

int check_cmd(const Args& args) {
  if (args.size() != 1) return usage_error("check");
  auto problems = data::check_file(data::split_table_name(args[0]).file, file_owner());
  for (const auto& p : problems) std::printf("%s\n", p.c_str());
  return problems.empty() ? 0 : 1;
}

int recover_cmd(const Args& args) {
  if (args.size() != 1) return usage_error("recover");
  data::Recovery outcome;
  int code = data::recover_file(data::split_table_name(args[0]).file, &outcome, file_owner());
  if (code != 0) return failure(code);
  switch (outcome) {
    case data::Recovery::NothingToDo: std::printf("nothing to recover\n"); break;
    case data::Recovery::RolledForward: std::printf("rolled forward\n"); break;
    case data::Recovery::RolledBack: std::printf("rolled back\n"); break;
  }
  return 0;
}

int build_cmd(const Args& args) {
  if (args.size() != 1) return usage_error("build");
  std::string file = data::split_table_name(args[0]).file;
  data::FileSummary s;
  if (int r = summary_of(file, &s)) return r;
  int result = 0;
  for (const auto& t : s.tables) {
    std::string name = t.name == "UNNAMED" ? file : file + "\\!" + t.name;
    data::FileBlock f;
    if (open_stored_table(name, f, data::kReadWrite | data::kDenyAll) == 0) data::Build(f);
    if (core::error_code() != 0) {
      std::printf("table %s: error %d: %s\n", t.name.c_str(), core::error_code(), core::error_text().c_str());
      result = 1;
    }
  }
  return result;
}

int declare_cmd(const Args& args) {
  if (args.size() != 1) return usage_error("declare");
  data::FileDeclaration d;
  int code = data::stored_declaration(args[0], &d, file_owner());
  if (code != 0) return failure(code);
  d.name.clear();
  d.has_owner = false;  // the owner is never printed
  d.owner.clear();
  std::fputs(data::write_declaration(d, true).c_str(), stdout);
  return 0;
}

// encrypt and decrypt: the owner comes from --owner-file or BDX_OWNER.
int owner_change(const Args& args, const char* command, bool encrypt) {
  if (args.size() != 1) return usage_error(command);
  if (file_owner().empty()) {
    std::fprintf(stderr, "bdx: %s needs the owner: --owner-file FILE or BDX_OWNER\n", command);
    return 2;
  }
  std::string file = data::split_table_name(args[0]).file;
  int code = encrypt ? data::change_file_owner(file, std::string(), file_owner())
                     : data::change_file_owner(file, file_owner(), std::string());
  return code ? failure(code) : 0;
}

int encrypt_cmd(const Args& args) { return owner_change(args, "encrypt", true); }
int decrypt_cmd(const Args& args) { return owner_change(args, "decrypt", false); }

RegisterCommand r1({"create", "FILE[\\!TABLE] DECLARATION-FILE [--replace]", create_cmd});
RegisterCommand r2({"tables", "FILE", tables_cmd});
RegisterCommand r3({"info", "FILE", info_cmd});
RegisterCommand r4({"check", "FILE", check_cmd});
RegisterCommand r5({"build", "FILE", build_cmd});
RegisterCommand r7({"recover", "FILE", recover_cmd});
RegisterCommand r8({"encrypt", "FILE (the owner from --owner-file FILE or BDX_OWNER)", encrypt_cmd});
RegisterCommand r9({"decrypt", "FILE (the owner from --owner-file FILE or BDX_OWNER)", decrypt_cmd});
RegisterCommand r6({"declare", "FILE[\\!TABLE]", declare_cmd});

}  // namespace

}  // namespace vrt::bdx_tool
