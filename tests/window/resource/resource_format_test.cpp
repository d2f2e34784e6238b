// A compiled resource read back field by field: the test declarations are
// compiled by rescomp at build time and linked into this program.
#include <gtest/gtest.h>

#include "runtime/window/resource/resource_buffer.h"
#include "runtime/window/resource/resource_registry.h"
#include "runtime/window/resource/structure_finder.h"

namespace vrt::window {
namespace {

class CompiledSample : public ::testing::Test {
 protected:
  void SetUp() override {
    auto bytes = find_resource("test_window", "format01_rsc", "dabdump");
    ASSERT_TRUE(bytes) << "the build links the sample's resource and registers it";
    auto b = ResourceBuffer::from_resource(*bytes);
    ASSERT_TRUE(b);
    buffer = std::move(*b);
    ASSERT_FALSE(check_top_level(buffer));
  }
  uint32_t structure(std::string_view label) {
    for (uint32_t at = buffer.first_structure(); at != 0; at = buffer.next(at))
      if (buffer.text(buffer.field(at, "label")) == label) return at;
    return 0;
  }
  // The records of a list, in order.
  std::vector<uint32_t> list(uint32_t first) {
    std::vector<uint32_t> out;
    for (uint32_t at = first; at != 0; at = buffer.next(at)) out.push_back(at);
    return out;
  }
  ResourceBuffer buffer;
};

TEST_F(CompiledSample, ModuleNameAndBufferPrefix) {
  EXPECT_EQ(buffer.module(), "vrttest$format01");
  auto bytes = *find_resource("test_window", "FORMAT01_RSC", "DABDUMP");
  // The name, its NUL, then the structure area starting at buffer offset 2.
  ASSERT_GT(bytes.size(), 17u);
  EXPECT_EQ(bytes[16], 0);
  EXPECT_EQ(buffer.bytes()[0], 0);
  EXPECT_EQ(buffer.size(), bytes.size() - 17 + 2);
  EXPECT_EQ(buffer.bytes()[2], bytes[17]);
}

TEST_F(CompiledSample, TopLevelListInDeclarationOrder) {
  std::vector<std::string_view> labels;
  for (uint32_t at : list(buffer.first_structure())) {
    labels.push_back(buffer.text(buffer.u32(at + 33)));
    EXPECT_FALSE(check_structure(buffer, at)) << labels.back();
  }
  EXPECT_EQ(labels, (std::vector<std::string_view>{"P1$APPFRAME", "P2$WINDOW", "P1$REPORT"}));
}

TEST_F(CompiledSample, FrameWindowRecord) {
  uint32_t w = structure("P1$APPFRAME");
  ASSERT_NE(w, 0u);
  EXPECT_EQ(buffer.type(w), 25);
  EXPECT_EQ(buffer.flags(w), 0x800u);
  for (uint32_t c = 13; c <= 25; c += 4) EXPECT_EQ(buffer.u32(w + c), 0x80000000u) << "coordinate at " << c;
  EXPECT_EQ(buffer.u32(w + 29), 0u) << "a frame without controls";
  EXPECT_EQ(buffer.text(buffer.u32(w + 41)), "Sample Frame");
  EXPECT_EQ(buffer.text(buffer.u32(w + 57)), "COPY.ICO");
  EXPECT_EQ(buffer.text(buffer.u32(w + 69)), "MainHelp");
  EXPECT_EQ(buffer.u32(w + 81), 0x1820u);
  EXPECT_EQ(buffer.u32(w + 89), 0u);
  EXPECT_EQ(buffer.widths(buffer.u32(w + 105)), (std::vector<int32_t>{-1, 77, 25}));
  FontRecord f = buffer.font(buffer.u32(w + 37));
  EXPECT_EQ(f.typeface, "MS Sans Serif");
  EXPECT_EQ(f.points, 8u);
  EXPECT_EQ(f.colour, -1);
  EXPECT_EQ(f.style, -1);
  // Strings and blocks stand before the record that refers to them.
  EXPECT_LT(buffer.u32(w + 41), w);
  EXPECT_LT(buffer.u32(w + 37), w);
}

TEST_F(CompiledSample, FrameMenuEntriesNumberedNegative) {
  uint32_t w = structure("P1$APPFRAME");
  uint32_t bar = buffer.u32(w + 93);
  ASSERT_NE(bar, 0u);
  EXPECT_EQ(buffer.type(bar), 22);
  EXPECT_EQ(buffer.next(bar), 0u);
  std::vector<uint32_t> menus = list(buffer.u32(bar + 21));
  ASSERT_EQ(menus.size(), 2u);
  EXPECT_EQ(buffer.type(menus[0]), 19);
  EXPECT_EQ(buffer.field_number(menus[0]), -1);
  EXPECT_EQ(buffer.text(buffer.u32(menus[0] + 25)), "&File");
  EXPECT_EQ(buffer.text(buffer.u32(menus[0] + 45)), "File actions");
  for (uint32_t c = 29; c <= 41; c += 4) EXPECT_EQ(buffer.u32(menus[0] + c), 0x80000000u);
  std::vector<uint32_t> items = list(buffer.u32(menus[0] + 89));
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(buffer.field_number(items[0]), -2);
  EXPECT_EQ(buffer.text(buffer.u32(items[0] + 45)), "Open a file");
  EXPECT_EQ(buffer.flags(items[1]), 0x10u) << "separator";
  EXPECT_EQ(buffer.field_number(items[1]), 0);
  EXPECT_EQ(buffer.u32(items[1] + 25), 0u) << "a separator has no text";
  EXPECT_EQ(buffer.field_number(items[2]), -3);
  EXPECT_EQ(buffer.flags(items[2]), 0x01u);
  VariableDescriptor d = buffer.descriptor(buffer.u32(items[2] + 21));
  EXPECT_EQ(d.type, 1);
  EXPECT_EQ(d.size, 1u);
  EXPECT_EQ(buffer.field_number(menus[1]), -4);
  EXPECT_EQ(buffer.field_number(buffer.u32(menus[1] + 89)), -5);

  uint32_t toolbar = buffer.u32(w + 97);
  EXPECT_EQ(buffer.type(toolbar), 23);
  EXPECT_EQ(buffer.u32(toolbar + 29), 0x80000000u);
  EXPECT_EQ(buffer.i32(toolbar + 33), 16);
  uint32_t tool = buffer.u32(toolbar + 69);
  EXPECT_EQ(buffer.field_number(tool), 2000);
  EXPECT_EQ(buffer.u32(tool + 69), 0u) << "icon-only toolbar button";
  EXPECT_EQ(buffer.text(buffer.u32(tool + 41)), "Insert a record");
}

TEST_F(CompiledSample, ControlsNumberedDepthFirst) {
  uint32_t w = structure("P2$WINDOW");
  EXPECT_EQ(buffer.i32(w + 13), 10);
  EXPECT_EQ(buffer.i32(w + 17), 20);
  EXPECT_EQ(buffer.i32(w + 21), 300);
  EXPECT_EQ(buffer.i32(w + 25), 200);
  EXPECT_EQ(buffer.u32(w + 81), 0x3024u | 0x08u) << "modal sets bit 0x08 of the second flag word";
  EXPECT_EQ(buffer.u32(w + 89), 25u);
  EXPECT_EQ(buffer.u32(w + 93), 0u);
  std::vector<uint32_t> c = list(buffer.u32(w + 29));
  std::vector<int> types;
  for (uint32_t at : c) types.push_back(buffer.type(at));
  EXPECT_EQ(types, (std::vector<int>{10, 8, 1, 2, 5, 6, 39, 9, 14, 16, 35, 37}));
  for (size_t i = 0; i < c.size(); ++i) EXPECT_EQ(buffer.field_number(c[i]), static_cast<int>(i + 1));

  std::vector<uint32_t> tabs = list(buffer.u32(c[11] + 77));
  ASSERT_EQ(tabs.size(), 2u);
  EXPECT_EQ(buffer.field_number(tabs[0]), 13);
  EXPECT_EQ(buffer.text(buffer.u32(tabs[0] + 50)), "General");
  uint32_t group = buffer.u32(tabs[0] + 58);
  EXPECT_EQ(buffer.field_number(group), 14);
  EXPECT_EQ(buffer.text(buffer.u32(group + 69)), "Kind");
  uint32_t option = buffer.u32(group + 73);
  EXPECT_EQ(buffer.field_number(option), 15);
  EXPECT_EQ(buffer.text(buffer.u32(option + 73)), "Pick");
  std::vector<uint32_t> radios = list(buffer.u32(option + 77));
  ASSERT_EQ(radios.size(), 2u);
  EXPECT_EQ(buffer.field_number(radios[0]), 16);
  EXPECT_EQ(buffer.field_number(radios[1]), 17);
  EXPECT_EQ(buffer.text(buffer.u32(radios[1] + 69)), "Two");
  EXPECT_EQ(buffer.field_number(tabs[1]), 18);
  EXPECT_EQ(buffer.field_number(buffer.u32(tabs[1] + 58)), 19);
}

TEST_F(CompiledSample, ControlFields) {
  std::vector<uint32_t> c = list(buffer.u32(structure("P2$WINDOW") + 29));
  // entry
  EXPECT_EQ(buffer.flags(c[1]), 0x08u);
  VariableDescriptor d = buffer.descriptor(buffer.u32(c[1] + 21));
  EXPECT_EQ(d.type, 18);
  EXPECT_EQ(d.size, 20u);
  EXPECT_EQ(buffer.i32(c[1] + 25), 48);
  EXPECT_EQ(buffer.i32(c[1] + 37), 10);
  EXPECT_EQ(buffer.text(buffer.u32(c[1] + 41)), "Enter the name");
  EXPECT_EQ(buffer.text(buffer.u32(c[1] + 45)), "The customer's name");
  EXPECT_EQ(buffer.text(buffer.u32(c[1] + 73)), "s20");
  // variable string: x not given, decimal places kept
  EXPECT_EQ(buffer.u32(c[2] + 25), 0x80000000u);
  d = buffer.descriptor(buffer.u32(c[2] + 21));
  EXPECT_EQ(d.type, 10);
  EXPECT_EQ(d.size, 5u);
  EXPECT_EQ(d.places, 2u);
  EXPECT_EQ(buffer.text(buffer.u32(c[2] + 45)), "n-11.2");
  // constant string, line, box
  EXPECT_EQ(buffer.text(buffer.u32(c[3] + 41)), "Constant");
  EXPECT_EQ(buffer.flags(c[3]), 0x10u);
  EXPECT_EQ(buffer.i32(c[4] + 33), 0) << "a horizontal line has height 0";
  EXPECT_EQ(buffer.i32(buffer.u32(c[5] + 37)), 2) << "pen width";
  // button
  EXPECT_EQ(buffer.i32(c[7] + 21), 4);
  EXPECT_EQ(buffer.i32(c[7] + 25), 180);
  EXPECT_EQ(buffer.text(buffer.u32(c[7] + 37)), "Save");
  EXPECT_EQ(buffer.text(buffer.u32(c[7] + 41)), "Save it");
  EXPECT_EQ(buffer.i32(c[7] + 49), 13);
  EXPECT_EQ(buffer.text(buffer.u32(c[7] + 69)), "&OK");
  EXPECT_EQ(buffer.i32(c[7] + 81), 15);
  EXPECT_EQ(buffer.u16(c[7] + 86), 30);
  EXPECT_EQ(buffer.field(c[7], "delay"), 300u) << "the loader multiplies by 10";
  EXPECT_EQ(buffer.field(c[7], "repeat"), 50u);
  // list: its queue descriptor stands directly before it
  EXPECT_EQ(buffer.u32(c[8] + 21), c[8] - 9);
  EXPECT_EQ(buffer.descriptor(c[8] - 9).type, 26);
  EXPECT_EQ(buffer.text(buffer.u32(c[8] + 25)), "80L~Name~");
  EXPECT_EQ(buffer.i32(c[8] + 29), 150);
  EXPECT_EQ(buffer.text(buffer.u32(c[8] + 45)), "Browsing Records");
  EXPECT_EQ(buffer.u8(c[8] + 77), 5);
  // spin, progress
  EXPECT_EQ(buffer.text(buffer.u32(c[9] + 73)), "n5");
  EXPECT_EQ(buffer.descriptor(buffer.u32(c[10] + 21)).type, 1);
  EXPECT_EQ(buffer.i32(c[10] + 37), 8);
}

TEST_F(CompiledSample, ReportBands) {
  uint32_t r = structure("P1$REPORT");
  EXPECT_EQ(buffer.type(r), 26);
  EXPECT_EQ(buffer.flags(r), 0x300u);
  EXPECT_EQ(buffer.i32(r + 13), 1000);
  EXPECT_EQ(buffer.i32(r + 17), 1720);
  EXPECT_EQ(buffer.i32(r + 25), 7280);
  EXPECT_EQ(buffer.font(buffer.u32(r + 37)).typeface, "Arial");
  std::vector<uint32_t> bands = list(buffer.u32(r + 29));
  ASSERT_EQ(bands.size(), 3u);
  EXPECT_EQ(buffer.type(bands[0]), 27);
  EXPECT_EQ(buffer.type(bands[1]), 31);
  EXPECT_EQ(buffer.type(bands[2]), 28);
  EXPECT_EQ(buffer.field_number(bands[1]), -1);
  EXPECT_EQ(buffer.u32(bands[1] + 29), 0x80000000u);
  EXPECT_EQ(buffer.i32(bands[1] + 41), 200);
  uint32_t page = buffer.u32(bands[2] + 21);
  EXPECT_EQ(buffer.text(buffer.u32(page + 45)), "pPage <<<#p");
  EXPECT_EQ(buffer.field_number(page), 3);
}

}  // namespace
}  // namespace vrt::window
