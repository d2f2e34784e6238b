// Scripts driving the demonstration program.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "runtime/platform/gui/theme.h"
#include "tools/window_demo/demo_procedures.h"
#include "tests/window/window_test_fixture.h"
#include "runtime/window/script_runner.h"

namespace vrt::window {
namespace {

namespace fs = std::filesystem;
using namespace demo;

class Script : public ::testing::Test {
 protected:
  void SetUp() override {
    start_display(DisplayKind::Headless);
    dir = fs::temp_directory_path() / ("vrt_script_" + std::to_string(getpid()));
    fs::create_directories(dir);
    g_child = nullptr;
    g_progress = 0;
  }
  void TearDown() override { fs::remove_all(dir); }

  // Runs the program with the script driving it; the script's outcome.
  ScriptOutcome run(const std::string& text) {
    std::string path = (dir / "demo.script").string();
    std::ofstream(path) << text;
    ScriptOutcome outcome;
    std::thread driver([&] {
      outcome = run_script(path);
      if (HWND top = platform::automation::find_window("Vorthal Demonstration", 1000)) {
        if (g_child) PostMessage(g_child, WM_CLOSE, 0, 0);
        if (g_list) PostMessage(g_list, WM_CLOSE, 0, 0);
        platform::automation::wait_until([] { return g_child == nullptr && g_list == nullptr; });
        PostMessage(top, WM_COMMAND, static_cast<uint16_t>(-3), 0);
      }
    });
    take_runtime_lock();
    frame_procedure();
    release_runtime_lock_fully();
    wait_for_started_threads();
    driver.join();
    return outcome;
  }
  fs::path dir;
};

TEST_F(Script, DrivesMenusButtonsAndChecksTexts) {
  std::string shot = (dir / "child.png").string();
  ScriptOutcome outcome = run(R"(# open a child and start it
wait window "Vorthal Demonstration"
menu "&File|Open Child"
wait window "Demonstration Child"
expect text field 7 "Choose a size, then start."
click field 6
click "Start"
screenshot )" + shot + R"(
click field 12
)");
  EXPECT_TRUE(outcome.ok) << outcome.message;
  EXPECT_TRUE(fs::exists(shot));
}

TEST_F(Script, FailedExpectationNamesTheLine) {
  std::string path = (dir / "demo.script").string();
  ScriptOutcome outcome = run(R"(wait window "Vorthal Demonstration"
menu "&File|Open Child"
wait window "Demonstration Child"
expect text field 7 "Something else"
)");
  EXPECT_FALSE(outcome.ok);
  EXPECT_EQ(outcome.message,
            path + ":4: field 7 of \"Demonstration Child\" (@vrtdemo$demo01:P2$DEMOCHILD) holds \"Choose a size, "
                   "then start.\", not \"Something else\"");
}

TEST_F(Script, MistakesInTheScript) {
  std::string path = (dir / "demo.script").string();
  EXPECT_EQ(run("wait window \"Vorthal Demonstration\"\nfly away\n").message, path + ":2: unknown verb: fly");
  EXPECT_EQ(run("wait window \"Vorthal Demonstration\"\nmenu \"&File|Nothing\"\n").message,
            path + ":2: no menu item \"&File|Nothing\"");
  EXPECT_EQ(run("wait window \"Vorthal Demonstration\"\nclick \"unclosed\n").message,
            path + ":2: text not closed by a quote");
}

// The width of a PNG file, from its header.
uint32_t png_width(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  unsigned char header[24] = {};
  in.read(reinterpret_cast<char*>(header), sizeof header);
  return (uint32_t{header[16]} << 24) | (uint32_t{header[17]} << 16) | (uint32_t{header[18]} << 8) | header[19];
}

TEST_F(Script, GoesOnWithTheFrameOnceTheCurrentWindowCloses) {
  std::string shot = (dir / "frame.png").string();
  ScriptOutcome outcome = run(R"(wait window "Vorthal Demonstration"
menu "&File|Open Child"
wait window "Demonstration Child"
click "Close"
menu "&File|Open Child"
wait window "Demonstration Child"
click "Close"
screenshot )" + shot + "\n");
  EXPECT_TRUE(outcome.ok) << outcome.message;
  ASSERT_TRUE(fs::exists(shot));
  EXPECT_LT(png_width(shot), static_cast<uint32_t>(GetSystemMetrics(SM_CXSCREEN))) << "the frame, not the screen";
}

TEST_F(Script, ThumbDragsAListsThumbAsAUserWould) {
  const char* open_list = "wait window \"Vorthal Demonstration\"\nmenu \"&List|Customers\"\n"
                          "wait window \"Demonstration List\"\n";
  // The demonstration pages its customers to where the thumb is let go.
  ScriptOutcome outcome = run(std::string(open_list) + "thumb field 1 50\n");
  EXPECT_TRUE(outcome.ok) << outcome.message;
  EXPECT_GT(g_list_first, 130);
  EXPECT_LT(g_list_first, 160);
  outcome = run(std::string(open_list) + "thumb field 1 100\n");
  EXPECT_TRUE(outcome.ok) << outcome.message;
  EXPECT_GT(g_list_first, 270);
  outcome = run(std::string(open_list) + "thumb field 1 100\nthumb field 1 0\n");
  EXPECT_EQ(g_list_first, 0);

  std::string path = (dir / "demo.script").string();
  EXPECT_EQ(run(std::string(open_list) + "thumb field 1 101\n").message,
            path + ":4: the thumb goes to 0 to 100 percent, not 101");
  EXPECT_EQ(run(std::string(open_list) + "thumb field 9 5\n").message, path + ":4: no field 9");
  EXPECT_EQ(run(std::string(open_list) + "thumb field 2 5\n").message, path + ":4: field 2 has no scroll thumb");
}

TEST_F(Script, ClicksTheFramesToolbarButtonsByField) {
  ScriptOutcome outcome = run(R"(wait window "Vorthal Demonstration"
click field 2000
wait window "Demonstration Child"
)");
  EXPECT_TRUE(outcome.ok) << outcome.message;
}

TEST_F(Script, GreyedMenuItemIsAFailure) {
  std::string path = (dir / "demo.script").string();
  ScriptOutcome outcome = run(R"(wait window "Vorthal Demonstration"
menu "&Help|&Contents"
)");
  EXPECT_FALSE(outcome.ok);
  EXPECT_EQ(outcome.message, path + ":2: the menu item \"&Help|&Contents\" is greyed");
}

TEST_F(Script, ClickOnATabChoosesItsPage) {
  g_page = 0;
  ScriptOutcome outcome = run(R"(wait window "Vorthal Demonstration"
menu "&File|Open Child"
wait window "Demonstration Child"
click "Progress"
)");
  EXPECT_TRUE(outcome.ok) << outcome.message;
  EXPECT_EQ(g_page, 2) << "the child's procedure heard of the second page";
}

}  // namespace
}  // namespace vrt::window
