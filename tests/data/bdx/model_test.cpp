// Random sequences of ADD, PUT and DELETE checked against an in-memory model
// of the records and of every key order, and the file checker after them.
// The long form (VRT_LONG_TESTS=1) runs 100 000 operations.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <random>

#include "runtime/data/bdx/bdx_inspect.h"
#include "tests/data/bdx_test_support.h"

namespace vrt::data {
namespace {

struct Row {
  int32_t id;
  std::string name, suburb;
  uint32_t number;
};

std::string upper_padded(const std::string& s, size_t n) {
  std::string u = s;
  u.resize(n, ' ');
  for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return u;
}

class Model {
 public:
  std::map<uint32_t, Row> rows;  // by record number
  bool conflicts(const Row& r, uint32_t except) const {
    for (const auto& [n, o] : rows)
      if (n != except && (o.id == r.id || upper_padded(o.name, 20) == upper_padded(r.name, 20))) return true;
    return false;
  }
  std::vector<std::string> by_name() const {
    std::vector<std::pair<std::string, std::string>> v;
    for (const auto& [n, r] : rows)
      if (!r.name.empty()) v.push_back({upper_padded(r.name, 20), r.name});
    std::sort(v.begin(), v.end());
    std::vector<std::string> out;
    for (auto& p : v) out.push_back(p.second);
    return out;
  }
  std::vector<std::string> by_suburb() const {
    std::vector<std::tuple<std::string, uint32_t, std::string>> v;
    for (const auto& [n, r] : rows)
      if (!r.suburb.empty()) v.push_back({upper_padded(r.suburb, 20), n, r.name});
    std::sort(v.begin(), v.end());
    std::vector<std::string> out;
    for (auto& t : v) out.push_back(std::get<2>(t));
    return out;
  }
};

class RandomOperations : public ::testing::Test {
 protected:
  void SetUp() override {
    path = dir.file("MODEL.BDX");
    test::make_file(cus, test::kCustomerDeclaration, path);
    Create(cus);
    Open(cus);
    ASSERT_EQ(core::error_code(), 0);
  }

  std::vector<std::string> scan(int key, bool backwards) {
    std::vector<std::string> out;
    Set(cus.declaration.keys[static_cast<size_t>(key)]);
    for (;;) {
      backwards ? Previous(cus) : Next(cus);
      if (core::error_code() != 0) break;
      out.push_back(test::get_string(cus, "CUS:NAME"));
    }
    EXPECT_EQ(core::error_code(), 33);
    if (backwards) std::reverse(out.begin(), out.end());
    return out;
  }

  static void same(const std::vector<std::string>& got, const std::vector<std::string>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i) ASSERT_EQ(got[i], want[i]) << "at " << i;
  }

  void verify() {
    ASSERT_EQ(Records(cus), static_cast<int32_t>(model.rows.size()));
    same(scan(0, false), model.by_name());
    ASSERT_EQ(scan(0, true), model.by_name());
    ASSERT_EQ(scan(3, false), model.by_suburb());
    ASSERT_EQ(Records(cus.declaration.keys[3]), static_cast<int32_t>(model.by_suburb().size()));
  }

  void run(int operations, int verify_every) {
    std::mt19937 rng(20261208);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const char* suburbs[] = {"", "Hill", "Dale", "hill", "Brook", "Marsh"};
    auto random_name = [&] {
      std::string n = "Name" + std::to_string(pick(operations / 2 + 50));
      if (pick(2)) n[0] = 'n';
      if (pick(20) == 0) n += std::string(static_cast<size_t>(pick(14)), 'x');
      if (n.size() > 20) n.resize(20);  // the field's size
      return n;
    };
    for (int op = 0; op < operations; ++op) {
      int what = model.rows.size() < 20 ? 0 : pick(10);
      if (what < 5) {
        Row r{pick(operations + 100), random_name(), suburbs[pick(6)], 0};
        test::customer(cus, r.id, r.name, r.suburb);
        Add(cus);
        bool dup = model.conflicts(r, 0);
        ASSERT_EQ(core::error_code(), dup ? 40 : 0) << "op " << op << " " << core::error_text();
        if (!dup) {
          r.number = static_cast<uint32_t>(Pointer(cus));
          model.rows[r.number] = r;
        }
      } else {
        auto it = model.rows.begin();
        std::advance(it, pick(static_cast<int>(model.rows.size())));
        Row& r = it->second;
        test::set_long(cus, "CUS:CUSID", r.id);
        Get(cus, cus.declaration.keys[4]);
        ASSERT_EQ(core::error_code(), 0) << "op " << op;
        ASSERT_EQ(test::get_string(cus, "CUS:NAME"), r.name);
        if (what < 8) {
          Row changed = r;
          changed.name = pick(3) ? random_name() : r.name;
          changed.suburb = suburbs[pick(6)];
          test::set_string(cus, "CUS:NAME", changed.name);
          test::set_string(cus, "CUS:SUBURB", changed.suburb);
          Put(cus);
          bool dup = model.conflicts(changed, r.number);
          ASSERT_EQ(core::error_code(), dup ? 40 : 0) << "op " << op;
          if (!dup) r = changed;
        } else {
          Delete(cus);
          ASSERT_EQ(core::error_code(), 0) << "op " << op;
          model.rows.erase(it);
        }
      }
      if ((op + 1) % verify_every == 0) {
        verify();
        if (HasFatalFailure()) return;
        if ((op + 1) % (verify_every * 4) == 0) {  // the file as another open sees it
          Close(cus);
          Open(cus);
        }
      }
    }
    verify();
    auto problems = check_file(path);
    for (const auto& p : problems) ADD_FAILURE() << p;
  }

  test::TempDir dir;
  std::string path;
  FileBlock cus;
  Model model;
};

TEST_F(RandomOperations, ShortRunMatchesTheModel) { run(3000, 250); }

TEST_F(RandomOperations, LongRunMatchesTheModel) {
  if (!std::getenv("VRT_LONG_TESTS")) GTEST_SKIP() << "set VRT_LONG_TESTS=1 for the 100 000-operation run";
  run(100000, 5000);
}

}  // namespace
}  // namespace vrt::data
