// Running the marlock program on seeded data with a script that logs in
// and opens a browse, and reading what its dumps and `bdx dump` show.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/seed/seed_files.h"
#include "tests/test_support.h"

namespace marlock {

inline std::string module_of(const std::string& browse) {
  static const std::pair<const char*, const char*> kModules[] = {
      {"Browse Customer", "@marlo002"}, {"Browse Students", "@marlo008"}, {"Browse Teachers", "@marlo012"},
      {"Browse Classes", "@marlo015"},  {"Browse Members", "@marlo017"},  {"Browse People", "@marlo021"}};
  for (auto [name, module] : kModules)
    if (browse == name) return module;
  return "";
}

// A line of `bdx dump --csv`: texts are quoted, and may hold commas.
inline std::vector<std::string> csv_fields(const std::string& line) {
  std::vector<std::string> out(1);
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (c == '"' && quoted && i + 1 < line.size() && line[i + 1] == '"') out.back() += '"', ++i;
    else if (c == '"') quoted = !quoted;
    else if (c == ',' && !quoted) out.emplace_back();
    else out.back() += c;
  }
  for (std::string& f : out) f.erase(f.find_last_not_of(' ') + 1);
  return out;
}

class Browse : public ::testing::Test {
 protected:
  void SetUp() override {
    SeedSizes sizes;
    sizes.customers = 200;
    std::string message;
    ASSERT_TRUE(seed_data_folder(data(), sizes, &message)) << message;
  }
  std::string data() const { return dir.file("data"); }
  std::string file(const std::string& name) const { return dir.file(name); }

  // Logs in as `user`, opens the browse and runs the steps; the exit code
  // and standard error.
  std::pair<int, std::string> run(const std::string& user, const std::string& browse, const std::string& steps) {
    std::ofstream(file("run.script")) << "wait window \"Login\"\nclick \"" << user
                                      << "\"\nwait closed \"@marlo036\"\nmenu \"&Browse|" << browse
                                      << "\"\nwait window \"" << module_of(browse) << "\"\n"
                                      << steps;
    std::string command = vrt::test::built_tool("app/marlock") + " --data " + data() + " --script " +
                          file("run.script") + " 2>" + file("errors.txt");
    return {vrt::test::run_command(command).exit_code, vrt::test::read_file(file("errors.txt"))};
  }
  std::string dump_to(const std::string& name) { return "dump window " + file(name) + "\n"; }

  // Column `column` (from 0) of the list's rows in a dump, and the row
  // marked selected (0 for none).
  std::vector<std::string> cells(const std::string& name, size_t column, int* selected = nullptr) {
    std::istringstream in(vrt::test::read_file(file(name)));
    std::vector<std::string> out;
    std::string line;
    while (std::getline(in, line)) {
      if (!line.starts_with("row\t1\t")) continue;
      std::vector<std::string> f;
      std::istringstream parts(line);
      for (std::string p; std::getline(parts, p, '\t');) f.push_back(p);
      if (selected && f[3] == "selected") *selected = std::stoi(f[2]);
      out.push_back(f.size() > 4 + column ? f[4 + column] : "");
    }
    return out;
  }
  // The first `n` values of a field in the key's order, as bdx lists them.
  std::vector<std::string> in_key_order(const std::string& table, const std::string& key, size_t column, size_t n,
                                        bool reverse = false) {
    vrt::test::CommandResult r = vrt::test::run_command(vrt::test::built_tool("tools/bdx") + " dump " + data() +
                                                        "/" + table + " --key " + key + " --csv");
    std::istringstream in(r.out);
    std::string line;
    std::getline(in, line);  // the heading
    std::vector<std::string> all;
    while (std::getline(in, line)) {
      std::vector<std::string> f = csv_fields(line);
      all.push_back(f.size() > column ? f[column] : "");
    }
    if (reverse) all.assign(all.rbegin(), all.rend());
    if (all.size() > n) all.resize(n);
    if (reverse) all.assign(all.rbegin(), all.rend());
    return all;
  }

  vrt::test::TempDir dir;
};



}  // namespace marlock
