// The records of a decoded page in one buffer: random inserts, changes and
// erases (records copied from the page itself among them) against a plain
// list of records, and the buffer reclaiming what they leave behind.
#include <gtest/gtest.h>

#include <random>

#include "runtime/data/bdx/bdx_inspect.h"
#include "runtime/data/bdx/bdx_table.h"
#include "runtime/data/bdx/store/page_records.h"
#include "tests/data/bdx_test_support.h"

namespace vrt::data {
namespace {

void expect_same(const PageRecords& records, const std::vector<PageRecord>& model) {
  ASSERT_EQ(records.size(), model.size());
  size_t bytes = 0, i = 0;
  for (RecordView r : records) {
    EXPECT_EQ(r.bytes, model[i].bytes) << i;
    EXPECT_EQ(r.key_length, model[i].key_length) << i;
    bytes += model[i++].bytes.size();
  }
  EXPECT_EQ(records.byte_count(), bytes);
}

TEST(PageRecords, KeepEveryRecordThroughInsertsChangesAndErasesAndReclaimTheirSpace) {
  std::mt19937 rng(11);
  PageRecords records;
  std::vector<PageRecord> model;
  auto text = [&](size_t n) {
    std::string s(n, ' ');
    for (char& c : s) c = static_cast<char>('a' + rng() % 26);
    return s;
  };
  for (int step = 0; step < 20000; ++step) {
    size_t n = model.size();
    size_t i = n ? rng() % n : 0;
    switch (n < 3 ? 0 : rng() % 6) {
      case 0: case 1: {
        PageRecord r;
        r.key_length = static_cast<uint16_t>(rng() % 20);
        r.bytes = text(r.key_length + rng() % 400);
        size_t at = rng() % (n + 1);
        records.insert(at, r.view());
        model.insert(model.begin() + static_cast<long>(at), r);
        break;
      }
      case 2: {  // a copy of a record of the page itself, as a separator is
        PageRecord copy(records[i]);
        size_t at = rng() % (n + 1);
        records.insert(at, records[i]);
        model.insert(model.begin() + static_cast<long>(at), copy);
        break;
      }
      case 3: {  // changed: same length in place, or another length
        std::string data = rng() % 2 ? text(model[i].data().size()) : text(rng() % 500);
        std::string key(model[i].key());
        records.replace(i, key, data);
        model[i].bytes = key + data;
        break;
      }
      case 4: {
        size_t to = i + 1 + rng() % std::min<size_t>(3, n - i);
        records.erase(i, to);
        model.erase(model.begin() + static_cast<long>(i), model.begin() + static_cast<long>(to));
        break;
      }
      case 5: {  // a page split: the upper records go to another page
        PageRecords upper;
        upper.append_from(records, i, n);
        records.truncate(i);
        std::vector<PageRecord> moved(model.begin() + static_cast<long>(i), model.end());
        model.resize(i);
        expect_same(upper, moved);
        records = upper;  // and back, by a copy
        model = moved;
        break;
      }
    }
    if (step % 97 == 0) expect_same(records, model);
    // What erased and changed records leave is reclaimed: the buffer stays
    // within a small multiple of the live bytes.
    ASSERT_LE(records.footprint(), 4 * records.byte_count() + 64 * 1024) << step;
  }
  expect_same(records, model);
  records.clear();
  EXPECT_EQ(records.byte_count(), 0u);
  EXPECT_TRUE(records.empty());
}

TEST(HeldUpdates, ALongStreamIsWrittenInPartsOnceItsPagesTakeTooMuchMemory) {
  test::TempDir dir;
  std::string path = dir.file("HELD.BDX");
  constexpr int kCount = 1500;
  test::create_customers(path, kCount);
  FileBlock cus;
  test::make_file(cus, test::kCustomerDeclaration, path);
  Open(cus, kReadWrite | kDenyAll);
  ASSERT_EQ(core::error_code(), 0) << core::error_text();
  PageStore& store = bdx_table(cus)->store();
  store.set_held_bytes_limit(64 * 1024);
  Stream(cus);
  Set(cus.declaration.keys[4]);
  int changed = 0, written_in_between = 0;
  while (Next(cus), core::error_code() == 0) {
    test::set_long(cus, "CUS:FIRSTTIME", 7000 + test::get_long(cus, "CUS:CUSID"));
    Put(cus);
    ASSERT_EQ(core::error_code(), 0) << core::error_text();
    ++changed;
    if (!store.has_held_updates()) ++written_in_between;
  }
  EXPECT_EQ(changed, kCount);
  EXPECT_GT(written_in_between, 2);
  Flush(cus);
  Close(cus);
  for (const auto& p : check_file(path)) ADD_FAILURE() << p;
  Open(cus);
  Set(cus.declaration.keys[4]);
  int seen = 0;
  while (Next(cus), core::error_code() == 0) {
    EXPECT_EQ(test::get_long(cus, "CUS:FIRSTTIME"), 7000 + test::get_long(cus, "CUS:CUSID"));
    ++seen;
  }
  EXPECT_EQ(seen, kCount);
  Close(cus);
}

}  // namespace
}  // namespace vrt::data
