// A view over a damaged file ends in the file's own error, never in the
// end of its rows: a short listing must not pass for a whole one.
#include <gtest/gtest.h>

#include "runtime/data/bdx/store/bdx_header.h"
#include "runtime/data/bdx/store/bdx_page.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/view/field_binding.h"
#include "runtime/data/view/view.h"
#include "tests/data/bdx_test_support.h"

namespace vrt::data {
namespace {

// The unit of the leaf in the middle of the tree.
uint32_t middle_leaf(const std::string& bytes) {
  auto at = [&](uint64_t offset) { return reinterpret_cast<const uint8_t*>(bytes.data()) + offset; };
  BdxHeader h;
  EXPECT_TRUE(decode_header(at(0), kHeaderSize, &h));
  uint32_t unit = static_cast<uint32_t>(h.root);
  for (;;) {
    int k = h.class_of(unit);
    Page p;
    EXPECT_EQ(decode_page(at(unit_offset(unit)), static_cast<size_t>(k) * kUnitSize, unit, &p), kPageOk);
    if (p.level == 0 || p.children.empty()) return unit;
    unit = p.children[p.children.size() / 2];
  }
}

TEST(ViewOverADamagedFile, EndsInTheFilesErrorNotInTheEndOfItsRows) {
  test::TempDir dir;
  test::QuietBoxes boxes;
  std::string path = dir.file("CUSTOMER.BDX");
  {
    FileBlock f;
    test::make_file(f, test::kCustomerDeclaration, path);
    Create(f);
    Open(f);
    Stream(f);
    for (int i = 0; i < 5000; ++i) {
      test::customer(f, i + 1, "Name" + std::to_string(i), "Suburb");
      Add(f);
    }
    Close(f);
  }
  std::string bytes = test::read_file(path);
  uint32_t leaf = middle_leaf(bytes);
  ASSERT_NE(leaf, 0u);
  // The page's stored size no longer matches its area.
  for (size_t i = 4; i < 8; ++i) bytes[unit_offset(leaf) + i] = 'Z';
  test::write_file(path, bytes);

  FileBlock f;
  test::make_file(f, test::kCustomerDeclaration, path);
  Open(f, kReadOnly | kDenyNone);
  ASSERT_EQ(core::error_code(), 0);
  bind_record_fields(f);
  for (const char* order : {"", "CUS:WEBSITE"}) {  // by a key, and sorted by the view
    View view(view_node(f), view_field_resolver(f));
    ASSERT_TRUE(view.set_order(order));
    view.set();
    int rows = 0;
    while (view.next()) ++rows;
    EXPECT_LT(rows, 5000) << order;
    EXPECT_EQ(core::error_code(), kInvalidDataFile) << order;
    EXPECT_EQ(view.records(), -1);
  }
  // The file read in record order fails the same way.
  Set(f);
  while (core::error_code() == 0) Next(f);
  EXPECT_EQ(core::error_code(), kInvalidDataFile);
  Close(f);
  core::reset_bindings();
}

}  // namespace
}  // namespace vrt::data
