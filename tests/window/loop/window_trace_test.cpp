// The window trace: switched on in the profile, written to KXLOG.TXT in the
// current directory, with the events' names.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "runtime/window/loop/window_trace.h"
#include "tests/window/window_test_fixture.h"

namespace vrt::window {
namespace {

namespace fs = std::filesystem;
using test::kLoopModule;

class WindowTrace : public test::WindowTest {
 protected:
  void SetUp() override {
    test::WindowTest::SetUp();
    dir = fs::temp_directory_path() / ("vrt_trace_" + std::to_string(getpid()));
    fs::create_directories(dir);
    old_cwd = fs::current_path();
    fs::current_path(dir);
    setenv("VORTHAL_WININI", (dir / "win.ini").c_str(), 1);
  }
  void TearDown() override {
    reset_trace();
    unsetenv("VORTHAL_WININI");
    fs::current_path(old_cwd);
    fs::remove_all(dir);
    test::WindowTest::TearDown();
  }
  std::string log() {
    std::ifstream in(dir / "KXLOG.TXT");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  fs::path dir, old_cwd;
};

TEST_F(WindowTrace, SwitchedOnLinesNameTheEvents) {
  std::ofstream(dir / "win.ini") << "[Vorthal 5 Tracing]\ntrace=1\n";
  std::ofstream(dir / "KXLOG.TXT") << "an old log\n";
  reset_trace();
  WindowObject dialog(kLoopModule, "P3$DIALOG", WindowKind::Ordinary);
  Open(dialog);
  PostEvent(dialog, event::Accepted, 4);
  next(dialog);
  next(dialog);
  std::string text = log();
  EXPECT_EQ(text.find("an old log"), std::string::npos) << "the log starts afresh";
  EXPECT_NE(text.find("deliver EVENT:OpenWindow field 0 to P3$DIALOG\n"), std::string::npos) << text;
  EXPECT_NE(text.find("post EVENT:Accepted field 4 to P3$DIALOG\n"), std::string::npos) << text;
}

TEST_F(WindowTrace, OffWritesNothing) {
  std::ofstream(dir / "win.ini") << "[Vorthal 5 Tracing]\ntrace=0\n";
  reset_trace();
  EXPECT_FALSE(trace_enabled());
  trace_line("nothing %d", 1);
  EXPECT_FALSE(fs::exists(dir / "KXLOG.TXT"));
}

TEST_F(WindowTrace, LongLinesAreCutToTheBuffer) {
  std::ofstream(dir / "win.ini") << "[Vorthal 5 Tracing]\ntrace=1\n";
  reset_trace();
  trace_line("%s", std::string(1000, 'x').c_str());
  EXPECT_EQ(log(), std::string(kTraceLineSize - 1, 'x') + "\n");
}

TEST(MessageNames, EventsQueriesAndPlatformMessages) {
  EXPECT_STREQ(event_name(event::Accepted), "EVENT:Accepted");
  EXPECT_STREQ(event_name(event::Selected), "EVENT:Selected");
  EXPECT_STREQ(event_name(event::BuildDone), "EVENT:BuildDone");
  EXPECT_STREQ(event_name(0x207), "");
  EXPECT_EQ(message_name(kEventMessageBase + event::Timer), "EVENT:Timer");
  EXPECT_EQ(message_name(QUERY_EDITDONE), "QUERY_EDITDONE");
  EXPECT_EQ(message_name(platform::WM_CREATE), "WM_CREATE");
  EXPECT_EQ(message_name(0x7777), "0x7777");
  EXPECT_TRUE(is_field_event(event::ScrollTrack));
  EXPECT_FALSE(is_field_event(event::Selected));
}

}  // namespace
}  // namespace vrt::window
