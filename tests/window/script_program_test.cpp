// A real program driven by "--script FILE": the demonstration binary runs
// headless in a child process; a script that holds ends it with 0, one that
// fails ends it with 1 and the failing line on standard error.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

class ScriptedProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("vrt_program_" + std::to_string(getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  // Runs the program with the script; its exit code, and stderr in `errors`.
  int run(const std::string& script) {
    std::string path = (dir / "run.script").string(), err = (dir / "stderr.txt").string();
    std::ofstream(path) << script;
    std::string out = (dir / "stdout.txt").string();
    std::string command = "cd " + dir.string() + " && VORTHAL_DISPLAY=headless timeout 60 " +
                          std::string(VRT_BINARY_DIR) + "/tools/window_demo --script " + path + " >" + out + " 2>" + err;
    int status = std::system(command.c_str());
    std::stringstream text, printed;
    text << std::ifstream(err).rdbuf();
    errors = text.str();
    printed << std::ifstream(out).rdbuf();
    output = printed.str();
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  fs::path dir;
  std::string errors, output;
};

TEST_F(ScriptedProgram, ScriptThatHoldsEndsWithZero) {
  std::string shot = (dir / "child.png").string();
  EXPECT_EQ(run("wait window \"Vorthal Demonstration\"\n"
                "menu \"&File|Open Child\"\n"
                "wait window \"Demonstration Child\"\n"
                "expect text field 7 \"Choose a size, then start.\"\n"
                "click \"Start\"\n"
                "screenshot " + shot + "\n"),
            0)
      << errors;
  EXPECT_TRUE(fs::exists(shot));
  EXPECT_EQ(errors, "");
}

TEST_F(ScriptedProgram, FailedExpectationEndsWithOneAndNamesTheLine) {
  std::string path = (dir / "run.script").string();
  EXPECT_EQ(run("wait window \"Vorthal Demonstration\"\n"
                "expect window \"Nothing Like It\"\n"),
            1);
  EXPECT_EQ(errors, path + ":2: no window \"Nothing Like It\" is open (open: \"Vorthal Demonstration\" "
                           "(@vrtdemo$demo01:P1$DEMOFRAME))\n");
  EXPECT_EQ(run("fly away\n"), 1);
  EXPECT_EQ(errors, path + ":1: unknown verb: fly\n");
}

TEST_F(ScriptedProgram, ScriptThatHoldsEndsTheProgramThroughItsExitRoutines) {
  EXPECT_EQ(run("wait window \"Vorthal Demonstration\"\n"
                "menu \"&File|Open Child\"\n"
                "wait window \"Demonstration Child\"\n"),
            0)
      << errors;
  EXPECT_EQ(output, "The demonstration has ended.\n") << "the program ended before its exit routines ran";
}

}  // namespace
