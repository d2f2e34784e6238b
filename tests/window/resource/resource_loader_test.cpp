// Damaged resources: every kind of bad offset ends in a Damage report.
#include <gtest/gtest.h>

#include "runtime/window/resource/resource_buffer.h"
#include "tests/window/window_test_support.h"

namespace vrt::window {
namespace {

const char* kTwoControls = R"(module "t$damage"
window "P1$W" title="Damage" at=0,0,100,50
  prompt "A" at=1,1,10,10
  group "G" at=1,12,50,30
    string "B" at=1,1,10,10
  end
end
)";

struct Damaged : ::testing::Test {
  void SetUp() override { bytes = test::compile(kTwoControls); }
  ResourceBuffer load() { return *ResourceBuffer::from_resource(bytes); }
  // Byte `at` of the buffer lies at resource byte at - 2 + name length + 1.
  size_t resource_index(uint32_t buffer_offset) { return buffer_offset - kBufferPrefix + 9; }
  void put32(uint32_t buffer_offset, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[resource_index(buffer_offset) + i] = static_cast<uint8_t>(v >> (8 * i));
  }
  std::string damage() {
    ResourceBuffer b = load();
    if (Damage d = check_top_level(b)) return d.what;
    return check_structure(b, b.first_structure()).what;
  }
  uint32_t window() { return load().first_structure(); }
  uint32_t prompt() { return load().u32(window() + 29); }
  uint32_t group() { return load().next(prompt()); }
  std::vector<uint8_t> bytes;
};

TEST_F(Damaged, SoundResourcePasses) {
  EXPECT_EQ(damage(), "");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data())), "t$damage");
}

TEST_F(Damaged, NameWithoutNulIsRefused) {
  std::vector<uint8_t> name(bytes.begin(), bytes.begin() + 8);
  EXPECT_FALSE(ResourceBuffer::from_resource(name));
}

TEST_F(Damaged, FirstStructureOutsideBuffer) {
  put32(kFirstStructureAt, 0xFFFFFFF0u);
  EXPECT_EQ(damage(), "structure offset outside the buffer");
}

TEST_F(Damaged, HeaderTruncated) {
  bytes.resize(11);
  EXPECT_EQ(damage(), "buffer header truncated");
}

TEST_F(Damaged, StructureTruncated) {
  bytes.resize(resource_index(window()) + 50);
  EXPECT_EQ(damage(), "structure truncated");
}

TEST_F(Damaged, SiblingLoopToItself) {
  put32(prompt() + kNextAt, prompt());
  EXPECT_EQ(damage(), "next record offset points backwards");
}

TEST_F(Damaged, SiblingPointsBackIntoTheWindow) {
  put32(group() + kNextAt, window());
  EXPECT_EQ(damage(), "next record offset points backwards");
}

TEST_F(Damaged, ChildListPointsBackToAnAncestor) {
  put32(group() + 73, prompt());
  EXPECT_EQ(damage(), "child list offset points backwards");
}

TEST_F(Damaged, TwoListsShareARecord) {
  // The group's child becomes the window's next control as well: reached twice.
  uint32_t inner = load().u32(group() + 73);
  put32(group() + kNextAt, inner);
  EXPECT_EQ(damage(), "record reached twice");
}

TEST_F(Damaged, RecordOutsideBuffer) {
  put32(group() + kNextAt, static_cast<uint32_t>(load().size()) - 4);
  EXPECT_EQ(damage(), "record offset outside the buffer");
}

TEST_F(Damaged, TextOffsetOutsideBuffer) {
  put32(prompt() + 41, 0x7FFFFFFFu);
  EXPECT_EQ(damage(), "text text outside the buffer");
}

TEST_F(Damaged, TextWithoutNulAtEndOfBuffer) {
  // The last record's text pointed at the buffer's last byte, made non-zero.
  uint32_t last = load().size() - 1;
  bytes.back() = 'x';
  put32(window() + 41, last);
  EXPECT_NE(damage(), "");
}

TEST_F(Damaged, FontRecordTruncated) {
  put32(window() + 37, load().size() - 8);
  EXPECT_EQ(damage(), "font record outside the buffer");
}

TEST_F(Damaged, StatusBlockNotEnded) {
  ResourceBuffer b = load();
  // Point the status block at the window's own first control offset and
  // beyond: non-zero words until the buffer ends.
  std::vector<uint8_t> tail(200, 0xEE);
  bytes.insert(bytes.end(), tail.begin(), tail.end());
  put32(window() + 105, b.size());
  EXPECT_EQ(damage(), "status-bar block not ended");
}

TEST_F(Damaged, UnknownTypeCodeIsDamage) {
  bytes[resource_index(prompt())] = 4;  // no record layout: the window would lack a control
  EXPECT_EQ(damage(), "record type 4 is unknown");
}

TEST(DamagedNesting, CompilerRefusesWhatTheLoaderWouldNotFollow) {
  std::string text = "module \"t$deep\"\nwindow \"P1$W\"\n";
  for (int i = 0; i < 32; ++i) text += "group \"g\"\n";
  for (int i = 0; i < 33; ++i) text += "end\n";
  std::vector<uint8_t> bytes = test::compile(text);
  ResourceBuffer b = *ResourceBuffer::from_resource(bytes);
  EXPECT_FALSE(check_structure(b, b.first_structure())) << "32 groups deep is allowed";

  std::string deeper = "module \"t$deep\"\nwindow \"P1$W\"\n";
  for (int i = 0; i < 40; ++i) deeper += "group \"g\"\n";
  CompileResult r = compile_declarations(deeper, "deep.wnd");
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.errors[0], "deep.wnd:35: records nested more than 32 deep");
}

}  // namespace
}  // namespace vrt::window
