// The marlock program itself, driven by scripts: logging in as each user,
// the Spy sent back to the Login window, and the files that end it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <regex>

#include "app/dictionary/dictionary.h"
#include "app/seed/seed_files.h"
#include "runtime/core/base/error_state.h"
#include "runtime/core/pictures/picture.h"
#include "runtime/core/values/dates.h"
#include "runtime/data/driver/statements.h"
#include "tests/data/child_process.h"
#include "tests/test_support.h"

namespace marlock {
namespace {

struct Outcome {
  int exit_code;
  std::string errors;
};

class Program : public ::testing::Test {
 protected:
  void SetUp() override {
    SeedSizes sizes;
    sizes.customers = 30;
    std::string message;
    ASSERT_TRUE(seed_data_folder(data(), sizes, &message)) << message;
  }
  std::string data() const { return dir.file("data"); }
  std::string file(const std::string& name) const { return dir.file(name); }

  // Runs marlock on the data folder with the script; its exit code and
  // standard error.
  Outcome run(const std::string& script) {
    std::ofstream(file("run.script")) << script;
    std::string command = vrt::test::built_tool("app/marlock") + " --data " + data() + " --script " +
                          file("run.script") + " 2>" + file("errors.txt");
    vrt::test::CommandResult r = vrt::test::run_command(command);
    return {r.exit_code, vrt::test::read_file(file("errors.txt"))};
  }
  std::string dump(const std::string& name) { return vrt::test::read_file(file(name)); }

  vrt::test::TempDir dir;
};

std::string today(const char* picture) {
  std::string text = vrt::core::Format(std::to_string(vrt::core::today()), picture);
  text.erase(text.find_last_not_of(' ') + 1);
  return text.substr(text.find_first_not_of(' '));
}

// The frame and the explanation window after logging in as `user`.
struct Logged {
  std::string frame, explanation;
};

class Login : public Program {
 protected:
  Logged login(const std::string& user) {
    Outcome r = run("wait window \"Login\"\n"
                "click \"" + user + "\"\n"
                "wait closed \"@marlo036\"\n"
                "wait window \"@marlo001\"\n"
                "dump window " + file("frame.txt") + "\n"
                "wait window \"@marlo035\"\n"
                "dump window " + file("explanation.txt") + "\n");
    EXPECT_EQ(r.exit_code, 0) << r.errors;
    return {dump("frame.txt"), dump("explanation.txt")};
  }
};

TEST_F(Login, EachUserColoursAndTitlesEveryWindow) {
  struct Expected {
    const char* user;
    const char* head;  // the window and color lines
    std::string status;
  };
  const Expected users[] = {
      {"Director", "window\tDirector's mode\ncolor\t00D7D7FF\n", "status\t1\t\nstatus\t2\t" + today("@D4") + "\nstatus\t3\t"},
      {"Manager", "window\tManager's mode\ncolor\t00FF00FF\n", "status\t1\t\nstatus\t2\t" + today("@D5") + "\nstatus\t3\t\n"},
      {"Clerk", "window\tClerk's mode\ncolor\t0000FF00\n", "status\t1\t\nstatus\t2\t\nstatus\t3\t"},
      {"Visitor", "window\tVisitor's mode\ncolor\t0000FFFF\n", "status\t1\t\nstatus\t2\t\nstatus\t3\t\n"},
  };
  for (const Expected& e : users) {
    SCOPED_TRACE(e.user);
    Logged l = login(e.user);
    EXPECT_TRUE(l.frame.starts_with(std::string(e.head) + e.status)) << l.frame;
    EXPECT_TRUE(l.explanation.starts_with(e.head)) << l.explanation;
  }
  // The clock time of the Director (@T4) and of the Clerk (@T1).
  EXPECT_TRUE(std::regex_search(login("Director").frame, std::regex("status\t3\t\\d{1,2}:\\d\\d:\\d\\d\n")));
  EXPECT_TRUE(std::regex_search(login("Clerk").frame, std::regex("status\t3\t\\d{1,2}:\\d\\d\n")));
}

TEST_F(Login, BeforeAnyChoiceWindowsKeepTheirLook) {
  Outcome r = run("wait window \"Login\"\nwait window \"Application\"\ndump window " + file("frame.txt") + "\n");
  EXPECT_EQ(r.exit_code, 0) << r.errors;
  EXPECT_TRUE(dump("frame.txt").starts_with("window\tApplication\ncolor\tnone\n")) << dump("frame.txt");
}

TEST_F(Login, TheLoginWindowTakesTheColourButKeepsItsTitle) {
  Outcome r = run("wait window \"Login\"\nclick \"Visitor\"\nwait closed \"@marlo036\"\nmenu \"&Login\"\n"
              "wait window \"Login\"\ndump window " + file("login.txt") + "\n");
  EXPECT_EQ(r.exit_code, 0) << r.errors;
  EXPECT_TRUE(dump("login.txt").starts_with("window\tLogin\ncolor\t0000FFFF\n")) << dump("login.txt");
}

TEST_F(Program, ASpyIsDeniedAndSentBackToLogin) {
  // How often he is sent back depends on how many events the frame serves,
  // Suspend and Resume among them (the guard's own test counts passes).
  Outcome r = run("wait window \"Login\"\n"
              "click \"Spy\"\n"
              "expect message \"Access denied\"\n"
              "answer \"OK\"\n"
              "wait window \"Login\"\n"
              "dump window " + file("login.txt") + "\n");
  EXPECT_EQ(r.exit_code, 0) << r.errors;
  EXPECT_TRUE(dump("login.txt").starts_with("window\tLogin\ncolor\t000000FF\n")) << dump("login.txt");
}

// Every record but the heading of a dump carries a first time.
int stamped_customers(const std::string& data) {
  vrt::test::CommandResult dumped =
      vrt::test::run_command(vrt::test::built_tool("tools/bdx") + " dump " + data + "/CUSTOMER.BDX --key CUS:BYID --csv");
  EXPECT_EQ(dumped.exit_code, 0);
  std::istringstream lines(dumped.out);
  std::string line;
  std::getline(lines, line);
  int stamped = 0;
  while (std::getline(lines, line)) stamped += line.find(",0,") == std::string::npos;
  EXPECT_EQ(vrt::test::run_command(vrt::test::built_tool("tools/bdx") + " check " + data + "/CUSTOMER.BDX").out, "");
  return stamped;
}

TEST_F(Program, TheTimeStampWritesEveryCustomer) {
  Outcome r = run("wait window \"Login\"\nclick \"Manager\"\nwait closed \"@marlo036\"\nmenu \"&Source\"\n"
              "wait window \"@marlo001\"\n");
  EXPECT_EQ(r.exit_code, 0) << r.errors;
  EXPECT_EQ(stamped_customers(data()), 30);
}

TEST_F(Program, TheCustomerProcessWritesEveryCustomerBehindItsProgressWindow) {
  // The Director's browse runs it first; its window has closed when the
  // browse is open.
  Outcome r = run("wait window \"Login\"\nclick \"Director\"\nwait closed \"@marlo036\"\n"
              "menu \"&Browse|Browse Classes\"\nwait window \"@marlo015\"\nwait closed \"@marlo033\"\n");
  EXPECT_EQ(r.exit_code, 0) << r.errors;
  EXPECT_EQ(stamped_customers(data()), 30);
}

TEST_F(Program, AMissingCustomerFileEndsTheProgram) {
  std::remove((data() + "/CUSTOMER.BDX").c_str());
  Outcome r = run("wait window \"Login\"\nclick \"Manager\"\nmenu \"&Source\"\n"
              "expect message \"Error: (File Not Found (2)) creating CUSTOMER.  Press OK to end this application.\"\n"
              "answer \"OK\"\nwait window \"Never\"\n");
  EXPECT_EQ(r.exit_code, 1) << r.errors;
  EXPECT_NE(r.errors.find("File Creation Error!\n"), std::string::npos) << r.errors;
}

TEST_F(Program, AFileThatIsNotADataFileEndsTheProgram) {
  std::ofstream(data() + "/CUSTOMER.BDX", std::ios::trunc) << "this is not a data file, just some text\n";
  Outcome r = run("wait window \"Login\"\nclick \"Manager\"\nmenu \"&Source\"\nanswer \"OK\"\nwait window \"Never\"\n");
  EXPECT_EQ(r.exit_code, 1) << r.errors;
  EXPECT_NE(r.errors.find("File (CUSTOMER) could not be opened.  Error: Invalid Data File (36)."), std::string::npos)
      << r.errors;
  EXPECT_NE(r.errors.find("Disk Error\n"), std::string::npos) << r.errors;
}

TEST_F(Program, AFileOfAnotherLayoutEndsTheProgram) {
  // Customer's file holding the Members layout.
  std::remove((data() + "/CUSTOMER.BDX").c_str());
  std::filesystem::copy_file(data() + "/MEMBERS.BDX", data() + "/CUSTOMER.BDX");
  Outcome r = run("wait window \"Login\"\nclick \"Manager\"\nmenu \"&Source\"\nanswer \"OK\"\nwait window \"Never\"\n");
  EXPECT_EQ(r.exit_code, 1) << r.errors;
  EXPECT_NE(r.errors.find("47"), std::string::npos) << r.errors;
}

TEST_F(Program, ADataFolderThatIsNoFolderIsRefused) {
  std::string not_a_folder = data() + "/CUSTOMER.BDX";
  vrt::test::CommandResult r = vrt::test::run_command(vrt::test::built_tool("app/marlock") + " --data " + not_a_folder +
                                                      " 2>&1");
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.out, "marlock: cannot work in " + not_a_folder + ": Not a directory\n");
  EXPECT_EQ(vrt::test::run_command(vrt::test::built_tool("app/marlock") + " --data 2>&1").exit_code, 2);
}

TEST_F(Program, ACustomerFileLockedByAnotherProcess) {
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  std::string path = data();
  pid_t holder = vrt::test::start_child([&] {
    vrt::data::FileBlock f;
    make_file_block(f, FileId::Customer, path);
    vrt::data::Open(f, vrt::data::kReadWrite | vrt::data::kDenyAll);
    char c = vrt::core::error_code() == 0 ? 'y' : 'n';
    (void)!write(ready[1], &c, 1);
    pause();
    return 0;
  });
  char c = 0;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  ASSERT_EQ(c, 'y');
  Outcome r = run("wait window \"Login\"\nclick \"Manager\"\nmenu \"&Source\"\nanswer \"OK\"\nwait window \"Never\"\n");
  kill(holder, SIGKILL);
  vrt::test::child_killed(holder);
  EXPECT_EQ(r.exit_code, 1) << r.errors;
  EXPECT_NE(r.errors.find("Disk Error\n"), std::string::npos) << r.errors;
}

}  // namespace
}  // namespace marlock
