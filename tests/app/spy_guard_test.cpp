// The frame's Spy guard: sent back on every pass but the one right after,
// denied on every second return; other users pass untouched.
#include "app/frame/spy_guard.h"

#include <gtest/gtest.h>

#include <string>

#include "app/access/access_mode.h"

namespace marlock::frame {
namespace {

TEST(SpyGuard, DeniesEveryOtherReturnAndServesThePassAfterEach) {
  std::string log;
  int thread = 40;
  SpyGuard guard([&] { log += "D"; }, [&] {
    log += "L";
    return ++thread;
  });
  std::string served;
  for (int i = 0; i < 8; ++i) served += guard.pass(kSpy) ? "-" : "s";
  EXPECT_EQ(log, "DLLDLL");  // deny, login; login; deny, login; ...
  EXPECT_EQ(served, "-s-s-s-s");
}

TEST(SpyGuard, OtherUsersAreNeverSentBack) {
  int calls = 0;
  SpyGuard guard([&] { ++calls; }, [&] { return ++calls; });
  for (int mode : {kNoUser, kDirector, kManager, kClerk, kVisitor}) EXPECT_FALSE(guard.pass(mode));
  EXPECT_EQ(calls, 0);
  // A Spy after them starts the count afresh: denied first.
  EXPECT_TRUE(guard.pass(kSpy));
  EXPECT_EQ(calls, 2);
}

}  // namespace
}  // namespace marlock::frame
