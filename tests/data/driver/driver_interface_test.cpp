// The driver contract: operation table, state masks and their codes, result
// posting, the dispatcher and key forms, declarations in source form, the
// stored definition and the naming of tables.
#include <gtest/gtest.h>

#include <filesystem>

#include "runtime/data/bdx/definition_stream.h"
#include "runtime/data/driver/dispatcher.h"
#include "runtime/data/driver/driver_call.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/driver/field_types.h"
#include "runtime/data/driver/operation_table.h"
#include "runtime/data/driver/string_arguments.h"
#include "runtime/data/bdx/table_name.h"
#include "runtime/platform/os/system_error.h"
#include "tests/data/bdx_test_support.h"

namespace vrt::data {
namespace {

TEST(OperationTable, NamesAndOutsideCodes) {
  EXPECT_STREQ(operation_name(0), "(0)");
  EXPECT_STREQ(operation_name(35), "(35)");
  EXPECT_STREQ(operation_name(kOpSetKeyKeyPtr), "SETkeykeyptr");
  EXPECT_STREQ(operation_name(kOpCountRecords), "COUNTRECORDS");
  EXPECT_STREQ(operation_name(96), "");
  EXPECT_STREQ(operation_name(-1), "");
  EXPECT_STREQ(field_type_name(kTypeString), "STRING");
  EXPECT_STREQ(field_type_name(31), "UNKNOWN");
}

struct StateCase {
  int32_t op;
  uint32_t state;
  bool dynamic_unbuilt;
  int code;
};

TEST(StateMasks, CheckingOrderGivesTheDocumentedCodes) {
  const StateCase cases[] = {
      {kOpNext, 0, false, 37},                          // not open
      {kOpOpen, kStateOpen, false, 52},                 // already open
      {kOpBuildFile, 0x41, false, 63},                  // exclusive access required
      {kOpAdd, kStateOpen, false, 5},                   // read only
      {kOpNext, kStateOpen, false, 33},                 // no sequence
      {kOpPut, 0x41, false, 33},                        // no current record
      {kOpLogout, 0x5, false, 56},                      // a transaction already
      {kOpNext, 0x21 | kStateBuilding, false, 92},      // a BUILD runs
      {kOpClose, 0x1 | kStateBuilding, false, 0},       // but CLOSE goes ahead
      {kOpSetKey, 0x1, true, 46},                       // index not built
      {kOpBuildFile, 0, false, kAlreadyPosted},         // closed, OPEN not required
      {kOpStream, 0x9, false, kAlreadyPosted},          // forbidden bit, no code
      {kOpQueryView, 0, false, 0},
  };
  FileBlock f;
  KeyBlock k;
  for (const StateCase& c : cases) {
    f.state = c.state;
    k.attributes = c.dynamic_unbuilt ? uint32_t{kKeyIndex} : 0u;
    EXPECT_EQ(check_operation_state(c.op, f, &k), c.code) << operation_name(c.op) << " state " << c.state;
  }
}

TEST(StateMasks, SuccessAndFailureUpdateTheBits) {
  FileBlock f;
  f.state = kStateOpen | kStateSequence | kStateSequenceLive | kStateWatchPending;
  apply_operation_state(kOpNext, f, nullptr, true);
  EXPECT_EQ(f.state & (kStateCurrent | kStateWatched | kStateWatchPending), kStateCurrent | kStateWatched);
  apply_operation_state(kOpNext, f, nullptr, false);
  EXPECT_EQ(f.state & (kStateCurrent | kStateSequence | kStateSequenceLive | kStateWatched), 0u);
  KeyBlock index;
  index.attributes = kKeyIndex;
  apply_operation_state(kOpBuildDyn, f, &index, true);
  EXPECT_EQ(index.state & kStateInViewOrBuilt, kStateInViewOrBuilt);
  EXPECT_EQ(f.state & kStateInViewOrBuilt, 0u);
}

TEST(ResultPosting, CodesTextsAndTheFile) {
  FileBlock f;
  f.declaration.name = "PEOPLE.BDX";
  post_driver_result(f, 40);
  EXPECT_EQ(core::error_code(), 40);
  EXPECT_EQ(core::error_text(), "Creates Duplicate Key");
  EXPECT_EQ(core::error_file(), "PEOPLE.BDX");
  platform::SetLastError(platform::kErrorSharingViolation);
  core::post_error(0);
  EXPECT_EQ(core::error_code(), 332);
  EXPECT_EQ(core::error_text(), "Sharing Violation");
  platform::SetLastError(platform::kErrorHandleDiskFull);
  post_driver_result(f, 90);
  EXPECT_EQ(core::error_text(), "File System Error");
  EXPECT_EQ(core::file_error_text(), "Handle Disk Full");
  core::clear_error();
  post_driver_result(f, kAlreadyPosted);
  EXPECT_EQ(core::error_code(), 0);
}

// A driver that records what reaches it.
struct Seen {
  int32_t op = -1;
  FileBlock* file = nullptr;
  DriverArg first = 0;
} g_seen;

int32_t recording_entry(int32_t op, FileBlock* file, const DriverArg* args) {
  g_seen = {op, file, args[0]};
  return 7;
}

TEST(Dispatcher, KeyStatementReachesItsFilesDriverWithTheKeyFirst) {
  FileBlock f;
  f.driver_entry = recording_entry;
  f.declaration.keys.resize(2);
  f.attach();
  EXPECT_EQ(Records(f.declaration.keys[1]), 7);
  EXPECT_EQ(g_seen.op, kOpRecordsKey);
  EXPECT_EQ(g_seen.file, &f);
  EXPECT_EQ(g_seen.first, reinterpret_cast<DriverArg>(&f.declaration.keys[1]));
  Get(f, 42);
  EXPECT_EQ(g_seen.op, kOpGetFilePtr);
  EXPECT_EQ(g_seen.first, 42);
  FileBlock no_driver;
  Open(no_driver);
  EXPECT_EQ(core::error_code(), 80);
}

TEST(Dispatcher, NativeDriverAnswersQueryViewAndUnsupportedOperations) {
  FileBlock f;
  make_bdx_file_block(f, test::parse(test::kCustomerDeclaration));
  EXPECT_EQ(dispatch(kOpQueryView, &f, nullptr), 0);
  EXPECT_EQ(core::error_code(), 0);
  f.state = kStateOpen;
  dispatch(kOpBlobSize, &f, nullptr);
  EXPECT_EQ(core::error_code(), 33);  // checked before the driver's work
  f.state = kStateOpen | kStateCurrent;
  dispatch(kOpBlobYield, &f, nullptr);
  EXPECT_EQ(core::error_code(), 80);
  EXPECT_EQ(core::error_text(), "Unsupported File Driver Function");
  EXPECT_EQ(string_stack_depth(), 0u);
}

TEST(Declaration, SourceFormReadsBackAndHidesTheOwner) {
  FileDeclaration d = test::parse(test::kCustomerDeclaration);
  EXPECT_EQ(d.record_length, 372u);
  ASSERT_EQ(d.keys.size(), 5u);
  EXPECT_EQ(d.keys[0].label, "CUS:BYNAME");
  EXPECT_EQ(d.keys[4].attributes, kKeyPrimary | kKeyOpt | kKeyNocase);
  std::string text = write_declaration(d, true);
  EXPECT_EQ(write_declaration(test::parse(text), true), text);
  d.has_owner = true;
  d.owner = "secret";
  std::string dump = write_declaration(d, false);
  EXPECT_NE(dump.find("FILE,DRIVER('BRINDLEX'),OWNER(******),NAME('CUSTOMER'),THREAD\n"), std::string::npos);
  EXPECT_EQ(dump.find("secret"), std::string::npos);
  EXPECT_NE(dump.find("\nKEY(+CUS:NAME),OPT,NOCASE\n"), std::string::npos);
}

TEST(Declaration, GroupsOverAndDimensionsLayOut) {
  FileDeclaration d = test::parse(
      "FILE,DRIVER('BRINDLEX')\nRECORD\nA:ID LONG\nA:G GROUP\nA:X SHORT\nA:Y STRING(3), DIM(2,2)\nEND\n"
      "A:ALL STRING(14), OVER(A:G)\nA:P PDECIMAL(5,1)\nEND\nEND\n");
  ASSERT_EQ(d.fields.size(), 6u);
  EXPECT_EQ(d.fields[1].size, 14u);  // the group: 2 + 3 x 4
  EXPECT_EQ(d.fields[4].offset, 4u);
  EXPECT_EQ(d.fields[5].offset, 18u);
  EXPECT_EQ(d.record_length, 21u);
  std::string message;
  FileDeclaration bad;
  EXPECT_FALSE(parse_declaration("FILE,DRIVER('BRINDLEX')\nKEY(+A:NONE)\nRECORD\nA:ID LONG\nEND\nEND\n", &bad, &message));
  EXPECT_EQ(message, "line 2: key component names an unknown field A:NONE");
  EXPECT_FALSE(parse_declaration("FILE\nRECORD\nA:ID WIDGET\nEND\nEND\n", &bad, &message));
  EXPECT_EQ(message, "line 3: unknown type WIDGET");
  // An OVER field longer than the record would let keys read past it.
  EXPECT_FALSE(parse_declaration("FILE\nRECORD\nA:ID LONG\nA:B STRING(9), OVER(A:ID)\nEND\nEND\n", &bad, &message));
  EXPECT_EQ(message, "line 6: the record layout is impossible");
  // A picture with nothing after its "@" gives no length (it threw once).
  EXPECT_FALSE(parse_declaration("FILE\nRECORD\nA:S STRING(@)\nEND\nEND\n", &bad, &message));
  EXPECT_EQ(message, "line 3: a string picture must give its length");
}

TEST(Definition, RoundTripIgnoresPrimaryAndRefusesDamage) {
  FileDeclaration d = test::parse(test::kCustomerDeclaration);
  std::string stream = encode_definition(d);
  FileDeclaration back;
  ASSERT_TRUE(decode_definition(stream, &back));
  EXPECT_EQ(encode_definition(back), stream);
  EXPECT_TRUE(definition_matches(stream, d));
  d.keys[4].attributes &= ~kKeyPrimary;
  EXPECT_TRUE(definition_matches(stream, d));
  d.keys[4].attributes |= kKeyDup;
  EXPECT_FALSE(definition_matches(stream, d));
  for (size_t cut = 0; cut < stream.size(); cut += 7) EXPECT_FALSE(decode_definition(stream.substr(0, cut), &back));
}

TEST(TableName, SplitsAtTheFirstMarkAfterAFile) {
  TableAddress a = split_table_name("PEOPLE.BDX\\!persons");
  EXPECT_EQ(a.file, "PEOPLE.BDX");
  EXPECT_EQ(a.table, "PERSONS");
  a = split_table_name("A\\!B\\!C");
  EXPECT_EQ(a.file, "A.BDX");
  EXPECT_EQ(a.table, "B\\!C");
  a = split_table_name("CUSTOMER");
  EXPECT_EQ(a.file, "CUSTOMER.BDX");
  EXPECT_EQ(a.table, "UNNAMED");
  test::TempDir dir;
  std::filesystem::create_directory(dir.file("D"));
  a = split_table_name(dir.file("D") + "\\!X\\!t");
  EXPECT_EQ(a.file, dir.file("D") + "\\!X.BDX");
  EXPECT_EQ(a.table, "T");
}

}  // namespace
}  // namespace vrt::data
