// The behaviour that every file driver owes the program, run against the
// native driver on BDX files and the server driver on tables: key order
// with duplicates and both ends, SET in its forms and restarting from a
// position, OPT and NOCASE keys, unique keys, GET, PUT and DELETE keeping
// the keys in step, positions, values kept exactly, WATCH and transactions.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "runtime/core/values/decimal_field.h"
#include "runtime/data/view/field_binding.h"
#include "runtime/data/view/view.h"
#include "tests/postgres/pg_test_support.h"

namespace vrt::test {
namespace {

using namespace vrt::data;

const char* kPeople = R"(FILE,DRIVER('ANY'),NAME('PEOPLE'),CREATE
PEO:BYID KEY(+PEO:ID),PRIMARY,OPT
PEO:BYNAME KEY(+PEO:NAME),DUP,NOCASE
PEO:BYCITYAGE KEY(+PEO:CITY,-PEO:AGE),DUP,OPT,NOCASE
PEO:BYNICK KEY(+PEO:NICK),OPT,NOCASE
RECORD
PEO:ID LONG
PEO:NAME STRING(20)
PEO:CITY STRING(10)
PEO:AGE SHORT
PEO:NICK STRING(10)
PEO:AMOUNT DECIMAL(9,2)
PEO:RATE REAL
PEO:CODE CSTRING(8)
PEO:DAY DATE
END
END
)";

const char* kLedger = R"(FILE,DRIVER('ANY'),NAME('LEDGER'),CREATE
LED:BYID KEY(+LED:ID),DUP
RECORD
LED:ID LONG
LED:NOTE STRING(30)
END
END
)";

struct BdxFiles {
  TempDir dir;
  void make(FileBlock& f, const char* text, const std::string& name) { make_file(f, text, dir.file(name + ".bdx")); }
};
struct PgFiles {
  void make(FileBlock& f, const char* text, const std::string& name) { make_pg_file(f, text, name); }
};

template <class Files>
class DriverContract : public ::testing::Test {
 protected:
  void SetUp() override {
    files.make(people, kPeople, "people");
    Create(people);
    ASSERT_EQ(core::error_code(), 0) << core::error_text() << " " << core::file_error_text();
    Open(people);
    ASSERT_EQ(core::error_code(), 0) << core::error_text() << " " << core::file_error_text();
  }
  void TearDown() override { Close(people); }

  KeyBlock& key(const char* label) {
    for (KeyBlock& k : people.declaration.keys)
      if (k.label == label) return k;
    ADD_FAILURE() << label;
    return people.declaration.keys[0];
  }
  void set_short(const char* label, int16_t v) { std::memcpy(people.record.data() + field(people, label).offset, &v, 2); }
  void person(int32_t id, const std::string& name, const std::string& city = "", int16_t age = 0,
              const std::string& nick = "") {
    std::memset(people.record.data(), 0, people.record.size());
    set_long(people, "PEO:ID", id);
    set_string(people, "PEO:NAME", name);
    set_string(people, "PEO:CITY", city);
    set_short("PEO:AGE", age);
    set_string(people, "PEO:NICK", nick);
    FieldDescriptor& amount = field(people, "PEO:AMOUNT");
    core::decimal_to_field(core::decimal_from_text("0"), people.record.data() + amount.offset, 5, 2, false);
  }
  void add(int32_t id, const std::string& name, const std::string& city = "", int16_t age = 0,
           const std::string& nick = "") {
    person(id, name, city, age, nick);
    Add(people);
    ASSERT_EQ(core::error_code(), 0) << id << ": " << core::error_text() << " " << core::file_error_text();
  }
  // Five people; three Smiths in three spellings, the names sort ADAMS,
  // BROWN, SMITH x3 without regard to case.
  void add_five() {
    add(1, "Smith", "Oslo", 30, "smi");
    add(2, "adams", "Bergen", 40);
    add(3, "SMITH", "Oslo", 20);
    add(4, "Brown", "", 50);
    add(5, "smith", "Oslo", 30);
  }
  // The ids read by NEXT (or PREVIOUS) until the sequence ends.
  std::vector<int32_t> read_all(bool forward = true) {
    std::vector<int32_t> ids;
    for (int guard = 0; guard < 100; ++guard) {
      forward ? Next(people) : Previous(people);
      if (core::error_code() != 0) {
        EXPECT_EQ(core::error_code(), 33);
        break;
      }
      ids.push_back(get_long(people, "PEO:ID"));
    }
    return ids;
  }
  int32_t next_id() {
    Next(people);
    return core::error_code() ? -core::error_code() : get_long(people, "PEO:ID");
  }
  int32_t previous_id() {
    Previous(people);
    return core::error_code() ? -core::error_code() : get_long(people, "PEO:ID");
  }

  Files files;
  QuietBoxes quiet;
  FileBlock people;
};

using Drivers = ::testing::Types<BdxFiles, PgFiles>;
struct DriverNames {
  template <class T>
  static std::string GetName(int) {
    return std::is_same_v<T, BdxFiles> ? "Brindlex" : "Postgres";
  }
};
TYPED_TEST_SUITE(DriverContract, Drivers, DriverNames);

TYPED_TEST(DriverContract, KeyOrderKeepsDuplicatesInRecordOrderBothWays) {
  this->add_five();
  Set(this->key("PEO:BYNAME"));
  EXPECT_EQ(this->read_all(), (std::vector<int32_t>{2, 4, 1, 3, 5}));
  Set(this->key("PEO:BYNAME"));
  EXPECT_EQ(this->read_all(false), (std::vector<int32_t>{5, 3, 1, 4, 2}));
  // Turning round goes back over the record just read.
  Set(this->key("PEO:BYNAME"));
  EXPECT_EQ(this->next_id(), 2);
  EXPECT_EQ(this->next_id(), 4);
  EXPECT_EQ(this->previous_id(), 2);
  EXPECT_EQ(this->previous_id(), -33);
  Set(this->people);
  EXPECT_EQ(this->read_all(), (std::vector<int32_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(Records(this->people), 5);
}

TYPED_TEST(DriverContract, SetStartsAtAValueOrARecordAndRestartsAmongDuplicates) {
  this->add_five();
  KeyBlock& by_name = this->key("PEO:BYNAME");
  this->person(0, "smith");
  Set(by_name, by_name);
  EXPECT_EQ(this->next_id(), 1);
  this->person(0, "C");
  Set(by_name, by_name);
  EXPECT_EQ(this->previous_id(), 4);  // the last entry before the value
  EXPECT_EQ(this->previous_id(), 2);
  this->person(0, "ZZZ");
  Set(by_name, by_name);
  EXPECT_EQ(this->next_id(), -33);
  // The second Smith, by its record number among the duplicates (numbers
  // are the driver's: asked for, never assumed).
  this->person(3, "");
  Get(this->people, this->key("PEO:BYID"));
  int32_t third = Pointer(this->people);
  this->person(0, "Smith");
  Set(by_name, by_name, third);
  EXPECT_EQ(this->next_id(), 3);
  EXPECT_EQ(this->next_id(), 5);
  Set(by_name, third);
  EXPECT_EQ(this->previous_id(), 3);
  EXPECT_EQ(this->previous_id(), 1);
  // Record order from a record number, both ways.
  Set(this->people, third);
  EXPECT_EQ(this->next_id(), 3);
  EXPECT_EQ(this->next_id(), 4);
  Set(this->people, third);
  EXPECT_EQ(this->previous_id(), 3);
  EXPECT_EQ(this->previous_id(), 2);
  // SET(file, key) to a record that is not there reads nothing onward and
  // the whole file backward.
  this->person(99, "");
  Set(this->people, this->key("PEO:BYID"));
  EXPECT_EQ(this->next_id(), -33);
  // To a record that is there, record order goes on from it; the SET reads
  // nothing into the buffer.
  this->person(4, "unchanged");
  Set(this->people, this->key("PEO:BYID"));
  EXPECT_EQ(get_string(this->people, "PEO:NAME"), "unchanged");
  EXPECT_EQ(this->next_id(), 4);
  EXPECT_EQ(this->next_id(), 5);
}

TYPED_TEST(DriverContract, MixedDirectionsAndOptKeysLeaveOutEmptyValues) {
  this->add_five();
  this->add(6, "Nobody", "", 0);  // city and age empty: not in BYCITYAGE
  Set(this->key("PEO:BYCITYAGE"));
  EXPECT_EQ(this->read_all(), (std::vector<int32_t>{4, 2, 1, 5, 3}));
  EXPECT_EQ(Records(this->key("PEO:BYCITYAGE")), 5);
  EXPECT_EQ(Records(this->people), 6);
  Set(this->key("PEO:BYNICK"));
  EXPECT_EQ(this->read_all(), (std::vector<int32_t>{1}));
}

TYPED_TEST(DriverContract, AUniqueKeyRefusesADuplicateAndAddsNothing) {
  this->add_five();
  this->person(3, "Again");
  EXPECT_TRUE(Duplicate(this->people));
  Add(this->people);
  EXPECT_EQ(core::error_code(), 40);
  EXPECT_EQ(core::error_text(), "Creates Duplicate Key");
  EXPECT_EQ(Records(this->people), 5);
  // Empty values of an OPT key never collide; NOCASE values do.
  this->add(7, "Seven");
  this->add(8, "Eight");
  this->person(9, "Nine", "", 0, "SMI");
  Add(this->people);
  EXPECT_EQ(core::error_code(), 40);
  EXPECT_EQ(Records(this->people), 7);
}

TYPED_TEST(DriverContract, GetByKeyAndByNumberAndWhatIsMissing) {
  this->add_five();
  this->person(3, "");
  Get(this->people, this->key("PEO:BYID"));
  ASSERT_EQ(core::error_code(), 0);
  EXPECT_EQ(get_string(this->people, "PEO:NAME"), "SMITH");
  int32_t number = Pointer(this->people);
  this->person(0, "");
  Get(this->people, number);
  EXPECT_EQ(get_long(this->people, "PEO:ID"), 3);
  this->person(42, "");
  Get(this->people, this->key("PEO:BYID"));
  EXPECT_EQ(core::error_code(), 35);
  this->person(0, "");  // an empty OPT value is in no entry
  Get(this->people, this->key("PEO:BYID"));
  EXPECT_EQ(core::error_code(), 35);
  Get(this->people, 9999);
  EXPECT_EQ(core::error_code(), 35);
  // A NOCASE key finds any spelling.
  this->person(0, "BROWN");
  Get(this->people, this->key("PEO:BYNAME"));
  EXPECT_EQ(get_long(this->people, "PEO:ID"), 4);
}

TYPED_TEST(DriverContract, PutAndDeleteKeepTheKeysInStep) {
  this->add_five();
  this->person(2, "");
  Get(this->people, this->key("PEO:BYID"));
  set_string(this->people, "PEO:NAME", "Zed");
  Put(this->people);
  ASSERT_EQ(core::error_code(), 0);
  Set(this->key("PEO:BYNAME"));
  EXPECT_EQ(this->read_all(), (std::vector<int32_t>{4, 1, 3, 5, 2}));
  this->person(4, "");
  Get(this->people, this->key("PEO:BYID"));
  int32_t number = Pointer(this->people);
  Delete(this->people);
  ASSERT_EQ(core::error_code(), 0);
  EXPECT_EQ(Records(this->people), 4);
  Get(this->people, number);
  EXPECT_EQ(core::error_code(), 35);
  // A PUT that would duplicate a unique key changes nothing.
  this->person(1, "");
  Get(this->people, this->key("PEO:BYID"));
  set_long(this->people, "PEO:ID", 3);
  Put(this->people);
  EXPECT_EQ(core::error_code(), 40);
  this->person(1, "");
  Get(this->people, this->key("PEO:BYID"));
  EXPECT_EQ(core::error_code(), 0);
}

TYPED_TEST(DriverContract, PositionsRestartTheSequenceAndDamagedOnesAreRefused) {
  this->add_five();
  KeyBlock& by_name = this->key("PEO:BYNAME");
  Set(by_name);
  this->next_id();
  this->next_id();
  EXPECT_EQ(this->next_id(), 1);
  std::string position = Position(by_name);
  std::string record_position = Position(this->people);
  EXPECT_EQ(this->next_id(), 3);
  Reset(by_name, position);
  ASSERT_EQ(core::error_code(), 0);
  EXPECT_EQ(this->next_id(), 1);
  EXPECT_EQ(this->next_id(), 3);
  Reset(by_name, position);
  EXPECT_EQ(this->previous_id(), 1);
  EXPECT_EQ(this->previous_id(), 4);
  this->person(0, "");
  Reget(this->people, record_position);
  EXPECT_EQ(get_long(this->people, "PEO:ID"), 1);
  for (std::string bad : {std::string("xy"), position.substr(0, position.size() - 1), position + "!",
                          std::string(4, '\0') + std::string(40, '\xff')}) {
    Reset(by_name, bad);
    EXPECT_EQ(core::error_code(), 35) << bad.size();
  }
}

TYPED_TEST(DriverContract, ValuesComeBackExactly) {
  this->person(-2000000000, "Ren\xE9 O'Neil \"x\"", "Ume\xE5", -7, "n");
  uint8_t* r = this->people.record.data();
  core::decimal_to_field(core::decimal_from_text("-1234567.89"), r + field(this->people, "PEO:AMOUNT").offset, 5, 2,
                         false);
  double rate = 0.1;
  std::memcpy(r + field(this->people, "PEO:RATE").offset, &rate, 8);
  std::memcpy(r + field(this->people, "PEO:CODE").offset, "a;--", 4);
  const uint8_t day[4] = {31, 12, 0x07, 0xD0};
  std::memcpy(r + field(this->people, "PEO:DAY").offset, day, 4);
  std::vector<uint8_t> written = this->people.record;
  Add(this->people);
  ASSERT_EQ(core::error_code(), 0) << core::file_error_text();
  this->add(2, "Other");
  Set(this->people);
  Next(this->people);
  EXPECT_EQ(this->people.record, written);
}

TYPED_TEST(DriverContract, WatchSeesAChangeMadeMeanwhile) {
  this->add_five();
  FileBlock other;
  this->files.make(other, kPeople, "people");
  Open(other);
  ASSERT_EQ(core::error_code(), 0);
  Watch(this->people);
  this->person(2, "");
  Get(this->people, this->key("PEO:BYID"));
  std::memset(other.record.data(), 0, other.record.size());
  set_long(other, "PEO:ID", 2);
  Get(other, *other.key(0));
  set_string(other, "PEO:NAME", "Changed");
  Put(other);
  ASSERT_EQ(core::error_code(), 0);
  set_string(this->people, "PEO:NAME", "Mine");
  Put(this->people);
  EXPECT_EQ(core::error_code(), 89);
  EXPECT_EQ(core::error_text(), "Record Changed By Another Station");
  Get(this->people, this->key("PEO:BYID"));
  EXPECT_EQ(get_string(this->people, "PEO:NAME"), "Changed");
  // Read again under watch, the change goes through.
  Watch(this->people);
  Get(this->people, this->key("PEO:BYID"));
  set_string(this->people, "PEO:NAME", "Mine");
  Put(this->people);
  EXPECT_EQ(core::error_code(), 0);
  Close(other);
}

TYPED_TEST(DriverContract, RollbackForgetsAndCommitKeepsTheUpdatesOfBothFiles) {
  FileBlock ledger;
  this->files.make(ledger, kLedger, "ledger");
  Create(ledger);
  Open(ledger);
  ASSERT_EQ(core::error_code(), 0);
  auto entry = [&](int32_t id) {
    std::memset(ledger.record.data(), ' ', ledger.record.size());
    set_long(ledger, "LED:ID", id);
    Add(ledger);
  };
  Logout(1, {&this->people, &ledger});
  ASSERT_EQ(core::error_code(), 0);
  this->add(1, "One");
  entry(1);
  Rollback();
  EXPECT_EQ(core::error_code(), 0);
  EXPECT_EQ(Records(this->people), 0);
  EXPECT_EQ(Records(ledger), 0);
  Logout(1, {&this->people, &ledger});
  this->add(2, "Two");
  entry(2);
  Commit();
  EXPECT_EQ(core::error_code(), 0);
  EXPECT_EQ(Records(this->people), 1);
  EXPECT_EQ(Records(ledger), 1);
  Commit();
  EXPECT_EQ(core::error_code(), 91);
  Close(ledger);
}

// A view gives the same rows whoever filters them: the server driver takes
// the integer comparisons to the server, the engine tests the rest.
TYPED_TEST(DriverContract, AViewGivesTheSameRowsInTheSameOrder) {
  this->add_five();
  for (int32_t id = 6; id <= 150; ++id) this->add(id, "Name" + std::to_string(id), "Town", 0);
  bind_record_fields(this->people);
  struct Case {
    const char* filter;
    const char* order;
    std::vector<int32_t> ids;
  };
  const Case cases[] = {
      {"PEO:ID >= 2 AND PEO:ID <= 4", "", {2, 3, 4}},
      {"PEO:ID > 140 AND PEO:NAME <> 'Name145'", "-PEO:ID", {150, 149, 148, 147, 146, 144, 143, 142, 141}},
      {"PEO:ID < 6 AND (PEO:CITY = 'Oslo' OR PEO:AGE = 40)", "PEO:NAME", {2, 1, 3, 5}},
      {"NOT (PEO:ID <> 3) OR 120 < PEO:ID AND PEO:ID < 123", "", {3, 121, 122}},
  };
  for (const Case& c : cases) {
    View view(view_node(this->people), view_field_resolver(this->people));
    ASSERT_TRUE(view.set_filter(c.filter)) << c.filter;
    ASSERT_TRUE(view.set_order(c.order));
    ASSERT_TRUE(view.open());
    view.set();
    std::vector<int32_t> ids;
    while (view.next()) ids.push_back(get_long(this->people, "PEO:ID"));
    EXPECT_EQ(core::error_code(), 33) << core::file_error_text();
    EXPECT_EQ(ids, c.ids) << c.filter;
    // Backwards from the end, and the count.
    view.set();
    std::vector<int32_t> back;
    while (view.previous()) back.insert(back.begin(), get_long(this->people, "PEO:ID"));
    EXPECT_EQ(back, c.ids) << c.filter;
    EXPECT_EQ(view.records(), static_cast<int32_t>(c.ids.size()));
    view.close();
  }
}

}  // namespace
}  // namespace vrt::test
