#include "runtime/data/view/view.h"
#include "runtime/data/view/view_driver.h"

#include <gtest/gtest.h>

#include "runtime/core/values/type_codes.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/driver/file_block.h"
#include "runtime/data/driver/record_layout.h"
#include "tests/data/bdx_test_support.h"

namespace vrt::data {
namespace {

const char* kPeople = R"(FILE,DRIVER('BRINDLEX'),NAME('PEOPLE'),THREAD
PEO:BYID KEY(+PEO:ID)
PEO:BYNAME KEY(+PEO:NAME,+PEO:ID),DUP
RECORD
PEO:ID LONG
PEO:NAME STRING(12)
PEO:TOWN STRING(12)
END
END
)";

const char* kEntries = R"(FILE,DRIVER('BRINDLEX'),NAME('ENTRIES'),THREAD
ENT:BYPERSON KEY(+ENT:PERSON,+ENT:NUMBER)
RECORD
ENT:PERSON LONG
ENT:NUMBER LONG
ENT:AMOUNT LONG
END
END
)";

class Views : public ::testing::Test {
 protected:
  void SetUp() override {
    core::reset_bindings();
    test::make_file(people, kPeople, dir.file("PEOPLE.BDX"));
    test::make_file(entries, kEntries, dir.file("ENTRIES.BDX"));
    for (FileBlock* f : {&people, &entries}) {
      Create(*f);
      Open(*f);
      ASSERT_EQ(core::error_code(), 0);
    }
    const char* names[] = {"Carter", "Abbott", "Ellis", "Baxter", "Dawson", "Abbott"};
    const char* towns[] = {"York", "Leeds", "York", "Hull", "Bath", "York"};
    for (int id = 1; id <= 6; ++id) {
      std::memset(people.record.data(), ' ', people.record.size());
      test::set_long(people, "PEO:ID", id);
      test::set_string(people, "PEO:NAME", names[id - 1]);
      test::set_string(people, "PEO:TOWN", towns[id - 1]);
      Add(people);
      // Person id has id - 1 entries (the first has none).
      for (int n = 1; n < id; ++n) {
        test::set_long(entries, "ENT:PERSON", id);
        test::set_long(entries, "ENT:NUMBER", n);
        test::set_long(entries, "ENT:AMOUNT", id * 10 + n);
        Add(entries);
      }
    }
    std::memset(entries.record.data(), 0, entries.record.size());  // views without the join leave it so
    for (const char* n : {"PEO:ID", "PEO:NAME", "PEO:TOWN"}) bind(people, n);
    for (const char* n : {"ENT:PERSON", "ENT:NUMBER", "ENT:AMOUNT"}) bind(entries, n);
    resolve = [this](const std::string& n) {
      int f = find_field(people.declaration, n);
      if (f > 0) return f;
      return find_field(entries.declaration, n) > 0 ? kOtherViewField : kNotAField;
    };
  }
  void bind(FileBlock& f, const std::string& name) {
    core::Bind(name, [&f, name] {
      const FieldDescriptor& d = f.declaration.fields[static_cast<size_t>(find_field(f.declaration, name) - 1)];
      if (d.type == static_cast<uint8_t>(core::TypeCode::LONG)) return core::ExprValue::of_integer(test::get_long(f, name));
      return core::ExprValue::of_string(test::get_string(f, name));
    });
  }
  void TearDown() override {
    Close(people);
    Close(entries);
    core::reset_bindings();
  }
  ViewNode with_entries(bool inner) {
    ViewNode primary = view_node(people);
    ViewNode child = view_node(entries);
    child.key = 0;
    child.link_fields = {find_field(people.declaration, "PEO:ID")};
    child.inner = inner;
    primary.children.push_back(child);
    return primary;
  }
  // Each row as "id" or "id.number".
  std::vector<std::string> read(View& v, bool backwards = false) {
    std::vector<std::string> out;
    v.set();
    while (backwards ? v.previous() : v.next()) {
      std::string row = std::to_string(test::get_long(people, "PEO:ID"));
      if (test::get_long(entries, "ENT:PERSON") == test::get_long(people, "PEO:ID"))
        row += "." + std::to_string(test::get_long(entries, "ENT:NUMBER"));
      out.push_back(row);
    }
    EXPECT_EQ(core::error_code(), kRecordNotAvailable);
    return out;
  }
  test::TempDir dir;
  test::QuietBoxes boxes;
  FileBlock people, entries;
  FieldResolver resolve;
};

TEST_F(Views, TheOrderChoosesTheKeyAndTheFilterNarrowsIt) {
  View v(view_node(people), resolve);
  ASSERT_TRUE(v.set_order("PEO:NAME, PEO:ID"));
  ASSERT_TRUE(v.set_filter("PEO:NAME = 'Abbott'"));
  EXPECT_EQ(read(v), (std::vector<std::string>{"2", "6"}));
  EXPECT_EQ(v.chosen_key(), 1);
  EXPECT_LE(v.entries_read(), 3u);
  ASSERT_TRUE(v.set_order("-PEO:NAME, -PEO:ID"));  // the same key read backwards
  EXPECT_EQ(read(v), (std::vector<std::string>{"6", "2"}));
  EXPECT_EQ(v.chosen_key(), 1);
}

TEST_F(Views, WithoutAnOrderTheFilteredKeyIsPreferred) {
  View v(view_node(people), resolve);
  ASSERT_TRUE(v.set_filter("PEO:ID >= 3 AND PEO:ID <= 4"));
  EXPECT_EQ(read(v), (std::vector<std::string>{"3", "4"}));
  EXPECT_EQ(v.chosen_key(), 0);
  v.set_preferred_key(1);
  ASSERT_TRUE(v.set_filter(""));
  EXPECT_EQ(read(v), (std::vector<std::string>{"2", "6", "4", "1", "5", "3"}));  // by name
}

TEST_F(Views, OuterAndInnerJoins) {
  View outer(with_entries(false), resolve);
  ASSERT_TRUE(outer.set_filter("PEO:ID <= 3"));
  EXPECT_EQ(read(outer), (std::vector<std::string>{"1", "2.1", "3.1", "3.2"}));  // 1 has no entries
  View inner(with_entries(true), resolve);
  ASSERT_TRUE(inner.set_filter("PEO:ID <= 3"));
  EXPECT_EQ(read(inner), (std::vector<std::string>{"2.1", "3.1", "3.2"}));
}

// A filter whose value cannot be had is an error, not a row left out.
TEST_F(Views, AFilterThatCannotBeEvaluatedEndsTheViewWith800) {
  for (const char* filter : {"1/0 = 1", "PEO:ID / 0 = 1", "PEO:ID = 2 AND PEO:ID / 0 = 1"}) {
    View v(view_node(people), resolve);
    ASSERT_TRUE(v.set_filter(filter));
    v.set();
    EXPECT_FALSE(v.next()) << filter;
    EXPECT_EQ(core::error_code(), 800) << filter;
  }
}

// An outer join's missing child reads as a cleared record: blanks in its
// strings, zeros in its numbers.
TEST_F(Views, AnOuterJoinBlanksAMissingChildsStrings) {
  test::set_long(entries, "ENT:PERSON", 99);  // nobody's
  test::set_long(entries, "ENT:NUMBER", 1);
  Add(entries);
  ViewNode primary = view_node(entries);
  ViewNode child = view_node(people);
  child.key = 0;
  child.link_fields = {find_field(entries.declaration, "ENT:PERSON")};
  primary.children.push_back(child);
  View v(primary, [this](const std::string& n) { return find_field(entries.declaration, n); });
  ASSERT_TRUE(v.set_filter("ENT:PERSON = 99"));
  v.set();
  ASSERT_TRUE(v.next());
  const FieldDescriptor& name = people.declaration.fields[1];
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(people.record.data() + name.offset), name.size),
            std::string(name.size, ' '));
  EXPECT_EQ(test::get_long(people, "PEO:ID"), 0);
}

TEST_F(Views, PreviousReversesEveryDirection) {
  View v(with_entries(true), resolve);
  ASSERT_TRUE(v.set_filter("PEO:ID >= 2 AND PEO:ID <= 3"));
  EXPECT_EQ(read(v, true), (std::vector<std::string>{"3.2", "3.1", "2.1"}));
  // Turning round in the middle gives the row before the current one.
  v.set();
  ASSERT_TRUE(v.next());  // 2.1
  ASSERT_TRUE(v.next());  // 3.1
  ASSERT_TRUE(v.next());  // 3.2
  ASSERT_TRUE(v.previous());
  EXPECT_EQ(test::get_long(entries, "ENT:NUMBER"), 1);
  EXPECT_EQ(test::get_long(people, "PEO:ID"), 3);
}

TEST_F(Views, PositionsComeBackThroughResetAndReget) {
  View v(with_entries(false), resolve);
  v.set();
  ASSERT_TRUE(v.skip(3));  // 1, 2.1, 3.1
  std::string at = v.position();
  ASSERT_TRUE(v.next());  // 3.2
  ASSERT_TRUE(v.reset(at));
  ASSERT_TRUE(v.next());
  EXPECT_EQ(test::get_long(people, "PEO:ID"), 3);
  EXPECT_EQ(test::get_long(entries, "ENT:NUMBER"), 1);
  ASSERT_TRUE(v.next());
  EXPECT_EQ(test::get_long(entries, "ENT:NUMBER"), 2);
  // REGET reads the row at once; the reading goes on where it was.
  ASSERT_TRUE(v.reget(at));
  EXPECT_EQ(test::get_long(entries, "ENT:NUMBER"), 1);
  EXPECT_FALSE(v.reset("garbage"));
  EXPECT_EQ(core::error_code(), kRecordNotFound);
  EXPECT_EQ(v.records(), 16);  // 1 (no entries) + 1 + 2 + 3 + 4 + 5
  EXPECT_FALSE(v.skip(100));
  EXPECT_EQ(core::error_code(), kRecordNotAvailable);
}

TEST_F(Views, SortedRowsKeepTheirPositions) {
  View v(view_node(people), resolve);
  ASSERT_TRUE(v.set_order("PEO:TOWN, -PEO:ID"));
  v.set();
  ASSERT_TRUE(v.skip(2));  // 5, 4
  std::string at = v.position();
  ASSERT_TRUE(v.skip(2));
  ASSERT_TRUE(v.reset(at));
  ASSERT_TRUE(v.next());
  EXPECT_EQ(test::get_long(people, "PEO:ID"), 4);
}

TEST_F(Views, AFileIsInOneViewAtATime) {
  View first(view_node(people), resolve);
  View second(view_node(people), resolve);
  ASSERT_TRUE(first.open());
  EXPECT_TRUE(people.state & kStateInViewOrBuilt);
  EXPECT_FALSE(second.open());
  first.close();
  EXPECT_FALSE(people.state & kStateInViewOrBuilt);
  EXPECT_TRUE(second.open());
}

TEST_F(Views, TheRowBufferGivesBackRowsByTheirPlace) {
  View v(view_node(people), resolve);
  v.buffer(3);
  v.set();
  ASSERT_TRUE(v.skip(5));
  EXPECT_EQ(v.buffered_rows(), 3);  // the oldest went first
  ASSERT_TRUE(v.get_row(1));
  EXPECT_EQ(test::get_long(people, "PEO:ID"), 3);
  ASSERT_TRUE(v.get_row(3));
  EXPECT_EQ(test::get_long(people, "PEO:ID"), 5);
  EXPECT_FALSE(v.get_row(0));
  EXPECT_EQ(core::error_code(), kRecordNotAvailable);
  EXPECT_FALSE(v.get_row(4));
}

TEST_F(Views, StatementsReachTheViewThroughTheDispatcher) {
  FileBlock block;
  auto v = std::make_unique<View>(with_entries(true), resolve);
  ASSERT_TRUE(v->set_filter("PEO:ID >= 3 AND PEO:ID <= 4"));
  make_view_block(block, std::move(v));
  Next(block);
  EXPECT_EQ(core::error_code(), kFileNotOpen);  // the masks guard a view too
  Open(block);
  ASSERT_EQ(core::error_code(), 0);
  EXPECT_TRUE(people.state & kStateInViewOrBuilt);
  Buffer(block, 2, 1, 0);
  SetView(block);
  std::vector<std::string> rows;
  while (Next(block), core::error_code() == 0)
    rows.push_back(std::to_string(test::get_long(people, "PEO:ID")) + "." +
                   std::to_string(test::get_long(entries, "ENT:NUMBER")));
  EXPECT_EQ(core::error_code(), kRecordNotAvailable);
  EXPECT_EQ(rows, (std::vector<std::string>{"3.1", "3.2", "4.1", "4.2", "4.3"}));
  Get(block, 1);  // the buffer keeps two pages of two rows: 3.2 to 4.3
  EXPECT_EQ(test::get_long(entries, "ENT:NUMBER"), 2);
  EXPECT_EQ(Records(block), 5);
  SetView(block);
  Skip(block, 2);  // as on a file: the next NEXT reads the third row
  Next(block);
  EXPECT_EQ(test::get_long(entries, "ENT:NUMBER"), 1);
  std::string at = Position(block);
  Next(block);
  Reset(block, at);
  Next(block);
  EXPECT_EQ(core::error_code(), 0);
  EXPECT_EQ(test::get_long(people, "PEO:ID"), 4);
  EXPECT_EQ(test::get_long(entries, "ENT:NUMBER"), 1);
  Close(block);
  EXPECT_FALSE(people.state & kStateInViewOrBuilt);
}

// PUT and DELETE through a view write the primary file's current record;
// RESET(view, file) takes the view up at the file's current record.
TEST_F(Views, PutAndDeleteThroughTheViewReachThePrimaryFile) {
  FileBlock block;
  auto v = std::make_unique<View>(view_node(people), resolve);
  ASSERT_TRUE(v->set_filter("PEO:TOWN = 'York'"));
  make_view_block(block, std::move(v));
  Open(block);
  SetView(block);
  Next(block);
  ASSERT_EQ(test::get_long(people, "PEO:ID"), 1);
  test::set_string(people, "PEO:NAME", "Carver");
  Put(block);
  EXPECT_EQ(core::error_code(), 0) << core::error_text();
  Next(block);
  ASSERT_EQ(test::get_long(people, "PEO:ID"), 3);
  Delete(block);
  EXPECT_EQ(core::error_code(), 0) << core::error_text();
  test::set_long(people, "PEO:ID", 6);
  Get(people, people.declaration.keys[0]);
  ResetView(block, people);
  EXPECT_EQ(core::error_code(), 0) << core::error_text();
  Next(block);
  EXPECT_EQ(test::get_long(people, "PEO:ID"), 6);
  Close(block);
  EXPECT_EQ(Records(people), 5);
  test::set_long(people, "PEO:ID", 1);
  Get(people, people.declaration.keys[0]);
  EXPECT_EQ(test::get_string(people, "PEO:NAME"), "Carver");
  // A view opened for reading only writes nothing.
  FileBlock reader;
  make_view_block(reader, std::make_unique<View>(view_node(people), resolve));
  Open(reader, kReadOnly | kDenyNone);
  SetView(reader);
  Next(reader);
  Delete(reader);
  EXPECT_EQ(core::error_code(), kAccessDenied);
  Close(reader);
  EXPECT_EQ(Records(people), 5);
}

TEST_F(Views, OrdersNoKeyGivesAreSortedByTheView) {
  View v(view_node(people), resolve);
  ASSERT_TRUE(v.set_order("PEO:TOWN, -PEO:ID"));
  EXPECT_EQ(read(v), (std::vector<std::string>{"5", "4", "2", "6", "3", "1"}));
  EXPECT_TRUE(v.sorted());
  EXPECT_EQ(read(v, true), (std::vector<std::string>{"1", "3", "6", "2", "4", "5"}));
}

TEST_F(Views, SortedNumbersBelowZeroComeFirstInTheirOrder) {
  for (int id : {-3, -10, -250000}) {
    std::memset(people.record.data(), ' ', people.record.size());
    test::set_long(people, "PEO:ID", id);
    test::set_string(people, "PEO:NAME", "Negative");
    test::set_string(people, "PEO:TOWN", "York");
    Add(people);
  }
  View up(view_node(people), resolve);
  ASSERT_TRUE(up.set_order("PEO:TOWN, PEO:ID"));
  EXPECT_EQ(read(up), (std::vector<std::string>{"5", "4", "2", "-250000", "-10", "-3", "1", "3", "6"}));
  View down(view_node(people), resolve);
  ASSERT_TRUE(down.set_order("PEO:TOWN, -PEO:ID"));
  EXPECT_EQ(read(down), (std::vector<std::string>{"5", "4", "2", "6", "3", "1", "-3", "-10", "-250000"}));
}

TEST_F(Views, SortingSpillsToATemporaryFile) {
  // 400 people with long rows: more than the store keeps in memory.
  for (int id = 7; id <= 400; ++id) {
    std::memset(people.record.data(), ' ', people.record.size());
    test::set_long(people, "PEO:ID", id);
    test::set_string(people, "PEO:NAME", "P" + std::to_string(id));
    test::set_string(people, "PEO:TOWN", "T" + std::to_string(id % 7));
    Add(people);
  }
  View v(view_node(people), resolve);
  ASSERT_TRUE(v.set_order("-PEO:TOWN, PEO:ID"));
  v.set();
  int rows = 0;
  std::string last_town = "~";
  int last_id = 0;
  while (v.next()) {
    std::string town = test::get_string(people, "PEO:TOWN");
    int id = test::get_long(people, "PEO:ID");
    EXPECT_TRUE(town < last_town || (town == last_town && id > last_id)) << town << " " << id;
    last_town = town;
    last_id = id;
    ++rows;
  }
  EXPECT_EQ(rows, 400);
}

}  // namespace
}  // namespace vrt::data

namespace vrt::data {
namespace {

std::string word(int v) { return std::string{static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)}; }

class Descriptors : public Views {};

TEST_F(Descriptors, ATreeOfJoinsReadsBackAndRuns) {
  // Primary: no join, not inner, PROJECT(PEO:ID, PEO:NAME), one child.
  // Child: joined by PEO:ID (field 1), INNER, no PROJECT, no children.
  std::string bytes = std::string(1, '\0') + '\0' + word(2) + word(1) + word(2) + '\x01';
  bytes += std::string(1, '\x01') + word(1) + '\x01' + word(0xFFFF) + '\0';
  ViewNode root;
  std::string message;
  ASSERT_TRUE(parse_view_descriptor(bytes, {{&people, -1}, {&entries, 0}}, &root, &message)) << message;
  ASSERT_EQ(root.children.size(), 1u);
  EXPECT_EQ(root.projection, (std::vector<int>{1, 2}));
  EXPECT_TRUE(root.children[0].inner);
  EXPECT_EQ(root.children[0].link_fields, (std::vector<int>{1}));
  View v(root, resolve);
  ASSERT_TRUE(v.set_filter("PEO:ID = 3"));
  EXPECT_EQ(read(v), (std::vector<std::string>{"3.1", "3.2"}));
}

TEST_F(Descriptors, AKeyNameJoinsByFieldsOfTheSameName) {
  std::string bytes = std::string(1, '\0') + '\0' + word(0xFFFF) + '\x01';
  bytes += std::string("\xFF") + "ENT:BYPERSON" + '\0' + '\0' + word(0xFFFF) + '\0';
  ViewNode root;
  std::string message;
  ASSERT_TRUE(parse_view_descriptor(bytes, {{&people, -1}, {&entries, -1}}, &root, &message)) << message;
  EXPECT_EQ(root.children[0].key, 0);
  // ENT:PERSON has no namesake in PEOPLE: the link stops before it.
  EXPECT_TRUE(root.children[0].link_fields.empty());
}

TEST_F(Descriptors, AnExpressionJoinTestsEveryChildRecord) {
  std::string bytes = std::string(1, '\0') + '\0' + word(0xFFFF) + '\x01';
  bytes += std::string("\xFF") + "ENT:PERSON = PEO:ID AND ENT:AMOUNT > 42" + '\0' + '\x01' + word(0xFFFF) + '\0';
  ViewNode root;
  std::string message;
  ASSERT_TRUE(parse_view_descriptor(bytes, {{&people, -1}, {&entries, -1}}, &root, &message)) << message;
  EXPECT_FALSE(root.children[0].join_expression.empty());
  View v(root, resolve);
  ASSERT_TRUE(v.set_filter("PEO:ID = 4"));
  EXPECT_EQ(read(v), (std::vector<std::string>{"4.3"}));  // 41, 42, 43: only 43 is above 42
}

TEST_F(Descriptors, DamagedBytesAreRefused) {
  ViewNode root;
  std::string message;
  const std::string cases[] = {
      "",                                                       // nothing
      std::string(1, '\x05'),                                   // a join count with no fields
      std::string("\xFF") + "no end",                           // a join text without its zero
      std::string(1, '\0') + '\0' + word(1) + word(99) + '\0',  // projects a field the file lacks
      std::string(1, '\0') + '\0' + word(0xFFFF) + '\x01',      // a child that is not there
      std::string(1, '\0') + '\0' + word(0xFFFF) + '\0' + "x",  // bytes left over
  };
  for (const std::string& bytes : cases) {
    EXPECT_FALSE(parse_view_descriptor(bytes, {{&people, -1}}, &root, &message)) << bytes.size();
    EXPECT_FALSE(message.empty());
  }
  // A child joined by a field its parent does not have.
  std::string bad = std::string(1, '\0') + '\0' + word(0xFFFF) + '\x01' + '\x01' + word(40) + '\0' + word(0xFFFF) + '\0';
  EXPECT_FALSE(parse_view_descriptor(bad, {{&people, -1}, {&entries, 0}}, &root, &message));
}

}  // namespace
}  // namespace vrt::data

namespace vrt::data {
namespace {

// A browse resets its view to a row and may read nothing from there before
// it asks for the last page; SET must then start from the key's end, not
// from the forgotten row.
TEST_F(Views, SetForgetsAResetThatNoReadFollowed) {
  View v(view_node(people), resolve);
  v.set_preferred_key(0);
  ASSERT_TRUE(v.open());
  v.set();
  ASSERT_TRUE(v.next());
  ASSERT_TRUE(v.next());
  ASSERT_TRUE(v.reset(v.position()));
  EXPECT_EQ(read(v, true), (std::vector<std::string>{"6", "5", "4", "3", "2", "1"}));
}

// A filter naming what is not bound does not compile: the view says so and
// reads unfiltered instead of choosing its key from a filter it lacks.
TEST_F(Views, AFilterThatDoesNotCompileLeavesTheViewUnfiltered) {
  View v(view_node(people), resolve);
  v.set_preferred_key(0);
  EXPECT_FALSE(v.set_filter("NOSUCH:FIELD = 3"));
  ASSERT_TRUE(v.open());
  EXPECT_EQ(read(v), (std::vector<std::string>{"1", "2", "3", "4", "5", "6"}));
}

}  // namespace
}  // namespace vrt::data
