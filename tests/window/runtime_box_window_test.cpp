// The runtime's own boxes as windows: a fatal error's "Runtime error" box
// shows on the display and waits for an answer; headless without a script
// it is written to standard error and takes its default button.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "runtime/window/runtime_box_window.h"
#include "runtime/window/script_runner.h"
#include "tests/window/window_test_fixture.h"

namespace vrt::window {
namespace {

namespace fs = std::filesystem;

const core::BoxRequest kFatal{"Runtime error", "Window is not open\nDo you want to GPF?", core::kBoxYesNo,
                              core::kBoxIconError, core::kAnswerYes};

TEST(RuntimeBoxWindow, FatalBoxIsAWindowThatTheUserAnswers) {
  platform::start_display(platform::DisplayKind::Headless);
  fs::path script = fs::temp_directory_path() / ("vrt_box_" + std::to_string(getpid()) + ".script");
  std::ofstream(script) << "wait window \"Runtime error\"\n"
                           "answer \"No\"\n";
  ScriptOutcome outcome;
  std::thread user([&] { outcome = run_script(script.string()); });
  ASSERT_TRUE(platform::automation::wait_until([] { return script_running(); }));
  testing::internal::CaptureStderr();
  // The default is Yes: the answer No comes from the button the user pressed.
  EXPECT_EQ(show_box_window(kFatal), core::kAnswerNo);
  testing::internal::GetCapturedStderr();
  user.join();
  EXPECT_TRUE(outcome.ok) << outcome.message;
  fs::remove(script);
}

TEST(RuntimeBoxWindow, HeadlessWithoutAScriptGoesToStandardErrorAndTakesTheDefault) {
  platform::start_display(platform::DisplayKind::Headless);
  install_runtime_box_window();
  testing::internal::CaptureStderr();
  EXPECT_EQ(core::show_runtime_box(kFatal), core::kAnswerYes);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "[Runtime error] Window is not open\nDo you want to GPF?\n");
  core::set_runtime_box_handler(nullptr);
}

}  // namespace
}  // namespace vrt::window
