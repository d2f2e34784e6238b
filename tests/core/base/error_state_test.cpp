#include "runtime/core/base/error_state.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "runtime/core/base/message_text.h"
#include "runtime/platform/os/file.h"
#include "runtime/platform/os/system_error.h"

namespace vrt::core {
namespace {

TEST(PostError, CodeZeroTakesTheLastSystemError) {
  auto f = platform::File::open("/nonexistent-folder-for-test/x", platform::Access::Read,
                                platform::Share::DenyNone);
  ASSERT_EQ(f, nullptr);
  post_error(0);
  EXPECT_EQ(error_code(), 303);  // the folder is missing: path or file not found
  platform::SetLastError(platform::kErrorFileNotFound);
  post_error(0);
  EXPECT_EQ(error_code(), 302);
  EXPECT_EQ(error_text(), "File Not Found");
  EXPECT_EQ(platform::GetLastError(), platform::kErrorFileNotFound);
  platform::SetLastError(platform::kErrorSharingViolation);
  post_error(0);
  EXPECT_EQ(error_code(), 332);
  EXPECT_EQ(error_text(), "Sharing Violation");
}

TEST(PostError, TextFieldIsBlankPaddedTo80) {
  post_error(35);
  EXPECT_EQ(error_text(), "Record Not Found");
  EXPECT_EQ(std::strlen(error_field()), 80u);
  EXPECT_EQ(std::string(error_field() + 16), std::string(64, ' '));
  post_error(78);
  EXPECT_EQ(error_text(), "Invalid Number Of Parameters ");
}

TEST(PostError, LongAndLeadingBlankTextsAreCut) {
  store_message_override(7000, "   " + std::string(120, 'x'));
  post_error(7000);
  EXPECT_EQ(error_text(), std::string(79, 'x'));
  EXPECT_EQ(error_field()[79], ' ');
  clear_message_overrides();
}

TEST(PostError, UnknownCodeNamesItself) {
  post_error(4242);
  EXPECT_EQ(error_code(), 4242);
  EXPECT_EQ(error_text(), "Unknown Error Posted : 4242");
}

TEST(PostError, EachThreadKeepsItsOwnError) {
  post_error(35);
  std::thread([] {
    EXPECT_EQ(error_code(), 0);
    post_error(40);
  }).join();
  EXPECT_EQ(error_code(), 35);
}

TEST(MessageTable, EveryGroupIsThere) {
  EXPECT_EQ(message_text(2), "File Not Found");
  EXPECT_EQ(message_text(96), "Remote Object Not Found");
  EXPECT_EQ(message_text(301), "Invalid Function");
  EXPECT_EQ(message_text(313), "Invalid Data");
  EXPECT_EQ(message_text(314), "Unknown Error Posted : 314");
  EXPECT_EQ(message_text(339), "Handle Disk Full");
  EXPECT_EQ(message_text(350), "Not Supported ");
  EXPECT_EQ(message_text(372), "Network Redirection Paused");
  EXPECT_EQ(message_text(388), "Network Write Fault");
  EXPECT_EQ(message_text(391), "Unknown Error");
  EXPECT_EQ(message_text(403), "Termination caused by signal.  (User break or Floating point)");
  EXPECT_EQ(message_text(515), "Internal error 15");
  EXPECT_EQ(message_text(532), "Unable to open MDI window on APPLICATION's thread");
  EXPECT_EQ(message_text(544), "Too Many VBX Hooks");
  EXPECT_EQ(message_text(605), "DDE transaction timed out");
  EXPECT_EQ(message_text(802), "Mismatched PUSHSCOPE/POPSCOPE");
}

TEST(MessageText, BufferFormIsTruncated) {
  char buf[5];
  EXPECT_EQ(message_text(2, buf, sizeof buf), 4u);
  EXPECT_STREQ(buf, "File");
}

TEST(MessageText, OverridesReplaceAndWin) {
  store_message_override(35, "Kein Satz");
  store_message_override(35, "Satz fehlt");
  EXPECT_EQ(message_text(35), "Satz fehlt");
  clear_message_overrides();
  EXPECT_EQ(message_text(35), "Record Not Found");
}

}  // namespace
}  // namespace vrt::core
