// The string stack: kinds, popping into fields, clipping, the full stack,
// snapshots, and its fatal errors.
#include <gtest/gtest.h>

#include <cstdio>

#include "runtime/core/base/fatal_error.h"
#include "runtime/core/values/string_stack.h"
#include "runtime/core/values/string_stack_bridge.h"
#include "runtime/core/values/value.h"

namespace vrt::core {
namespace {

class StringStackTest : public ::testing::Test {
 protected:
  void SetUp() override { string_stack().clear(); }
  void TearDown() override { string_stack().clear(); }
  StringStack& s = string_stack();
};

TEST_F(StringStackTest, PushedNumbersAndTextsPopInTheirTextForm) {
  s.push_long(-2147483647 - 1);
  EXPECT_EQ(s.top(), "-2147483648");
  s.push_real(2.5);
  s.push_unsigned(4000000000u);
  s.push_text("a text longer than the twenty bytes of room");
  s.push_borrowed("borrowed");
  EXPECT_EQ(s.depth(), 5);
  EXPECT_EQ(s.pop_string(), "borrowed");
  EXPECT_EQ(s.pop_string(), "a text longer than the twenty bytes of room");
  EXPECT_EQ(s.pop_string(), "4000000000");
  EXPECT_EQ(s.pop_string(), "2.5");
  EXPECT_EQ(s.pop_string(), "-2147483648");
}

TEST_F(StringStackTest, ValuesConvertOnFirstUse) {
  uint8_t field[4] = {};
  auto v = make_value(TypeCode::LONG, field);
  s.push_value(v.get());
  v->set_long(42);  // not yet converted: the text is taken when first needed
  EXPECT_EQ(s.top(), "42");
  v->set_long(7);
  EXPECT_EQ(s.pop_string(), "42");
}

TEST_F(StringStackTest, PopIntoAFieldPadsOrCuts) {
  char field[6];
  s.push_text("abc");
  s.pop_to_field(field, 6);
  EXPECT_EQ(std::string(field, 6), "abc   ");
  s.push_owned("abcdefgh");
  s.pop_to_field(field, 6);
  EXPECT_EQ(std::string(field, 6), "abcdef");
  EXPECT_EQ(s.depth(), 0);
}

TEST_F(StringStackTest, ClipRemovesTrailingBlanksOfEveryKind) {
  s.push_owned("owned text   ");
  s.clip();
  EXPECT_EQ(s.pop_string(), "owned text");
  s.push_borrowed("lent  ");
  s.clip();
  EXPECT_EQ(s.pop_string(), "lent");
  s.push_text("   ");
  s.clip();
  EXPECT_EQ(s.pop_string(), "");
}

TEST_F(StringStackTest, APushOntoAFullStackIsIgnored) {
  for (int i = 0; i < StringStack::kCapacity; ++i) s.push_long(i);
  s.push_text("33rd");
  EXPECT_EQ(s.depth(), StringStack::kCapacity);
  EXPECT_EQ(s.top(), "31");
}

TEST_F(StringStackTest, SnapshotShieldsTheCallersEntries) {
  s.push_owned("caller's");
  s.push_long(1);
  auto saved = s.snapshot();
  EXPECT_EQ(s.depth(), 0);
  s.push_text("callee's");
  s.push_text("more");
  s.restore(std::move(saved));
  ASSERT_EQ(s.depth(), 2);
  EXPECT_EQ(s.pop_string(), "1");
  EXPECT_EQ(s.pop_string(), "caller's");
}

// The handler reports what it got and what the stack holds for it.
void report_fatal(int number, const std::string& text) {
  std::fprintf(stderr, "fatal %d [%s] top [%s]\n", number, text.c_str(),
               std::string(string_stack().top()).c_str());
}

TEST_F(StringStackTest, PoppingAnEmptyStackIsAFatalStringStackError) {
  EXPECT_EXIT(
      {
        set_fatal_handler(report_fatal);
        set_fatal_ending({push_fatal_text, nullptr});
        set_runtime_active(true);  // the handler runs, then the process ends with 2
        s.pop_string();
      },
      ::testing::ExitedWithCode(2), "fatal 502 \\[.*String Stack Error\\] top \\[.*String Stack Error\\]");
}

}  // namespace
}  // namespace vrt::core
