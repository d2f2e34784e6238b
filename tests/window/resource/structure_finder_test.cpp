// Finding structures by module and label across registered images.
#include <gtest/gtest.h>

#include "runtime/core/base/error_state.h"
#include "runtime/window/resource/structure_finder.h"
#include "tests/window/window_test_support.h"

namespace vrt::window {
namespace {

const char* kReportModule = R"(module "findtest$find01"
report "P1$REPORT" at=1000,1720,6000,7280
end
window "P1$PROGRESSWINDOW" title="Progress" flags=0x20 flags2=0x2040 timer=1
  progress var=BYTE,1 at=4,4,100,8
end
)";

// The same resource name in another image, for another program's module.
const char* kOtherProgram = R"(module "other$find01"
window "P1$PROGRESSWINDOW" title="Not this one"
end
)";

class Finder : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    test::register_compiled("finder_other", kOtherProgram);
    test::register_compiled("finder_main", kReportModule);
  }
};

TEST_F(Finder, TwoStructuresOfOneModuleInEitherOrder) {
  for (const char* label : {"P1$PROGRESSWINDOW", "P1$REPORT", "P1$PROGRESSWINDOW"}) {
    FoundStructure f = find_structure("findtest$find01", label);
    ASSERT_TRUE(f) << label;
    EXPECT_EQ(f.buffer->text(f.buffer->field(f.offset, "label")), label);
    EXPECT_EQ(current_resource_buffer(), f.buffer);
  }
}

TEST_F(Finder, OnlyTheResourceWhoseModuleNameMatches) {
  // "finder_other" was registered first and has FIND01_RSC too.
  FoundStructure f = find_structure("findtest$find01", "P1$PROGRESSWINDOW");
  ASSERT_TRUE(f);
  EXPECT_EQ(f.buffer->text(f.buffer->field(f.offset, "title")), "Progress");
  FoundStructure other = find_structure("other$find01", "P1$PROGRESSWINDOW");
  ASSERT_TRUE(other);
  EXPECT_EQ(other.buffer->text(other.buffer->field(other.offset, "title")), "Not this one");
}

TEST_F(Finder, ResourceNameIsThePartAfterTheDollar) {
  EXPECT_EQ(resource_name("marlock$marlo002"), "MARLO002_RSC");
  EXPECT_EQ(resource_name("marlock$marlo_sf"), "MARLO_SF_RSC");
  FoundStructure f = find_structure("vrttest$format01", "P2$WINDOW");
  EXPECT_TRUE(f) << "the build's own linked resource";
}

TEST_F(Finder, MissingStructureIsFatal502) {
  test::BoxCapture boxes;
  EXPECT_FALSE(find_structure("findtest$find01", "P9$NOWHERE"));
  EXPECT_FALSE(find_structure("findtest$nomodule", "P1$REPORT"));
  FoundStructure f = locate_structure("findtest$find01", "P9$NOWHERE");
  EXPECT_FALSE(f);
  ASSERT_EQ(test::BoxCapture::boxes().size(), 1u);
  EXPECT_EQ(test::BoxCapture::boxes()[0], "Internal error 02\nDo you want to GPF?");
  EXPECT_EQ(core::error_code(), 502);
}

TEST_F(Finder, DamagedStructureIsFatal502WithTheReason) {
  std::vector<uint8_t> bytes = test::compile(R"(module "findtest$broken"
window "P1$W"
  prompt "A" at=1,1,1,1
end
)");
  static std::vector<uint8_t> kept;
  kept = bytes;
  // The prompt's next offset points back at itself.
  auto b = *ResourceBuffer::from_resource(kept);
  uint32_t prompt = b.u32(b.first_structure() + 29);
  size_t index = prompt - kBufferPrefix + std::string("findtest$broken").size() + 1 + kNextAt;
  for (int i = 0; i < 4; ++i) kept[index + i] = static_cast<uint8_t>(prompt >> (8 * i));
  register_resource("finder_broken", "BROKEN_RSC", kResourceType, kept);

  test::BoxCapture boxes;
  FoundStructure f = locate_structure("findtest$broken", "P1$W");
  EXPECT_FALSE(f);
  EXPECT_TRUE(f.damage);
  ASSERT_EQ(test::BoxCapture::boxes().size(), 1u);
  EXPECT_EQ(test::BoxCapture::boxes()[0], "Internal error 02 : BROKEN_RSC at offset " + std::to_string(prompt) +
                                              ": next record offset points backwards\nDo you want to GPF?");
  unregister_image("finder_broken");
}

}  // namespace
}  // namespace vrt::window
