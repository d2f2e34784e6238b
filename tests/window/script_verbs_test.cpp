// The script verbs that test programs stand on: windows named by module and
// label, the click that prefers what a user can press, waiting for a window
// to close, and the window dump.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "runtime/platform/gui/controls.h"
#include "runtime/window/controls/control_binding.h"
#include "runtime/window/controls/list_program.h"
#include "runtime/window/popup_menu.h"
#include "runtime/window/script_runner.h"
#include "tests/window/window_test_fixture.h"

namespace vrt::window {
namespace {

namespace fs = std::filesystem;
constexpr const char* kModule = "vrttest$script01";

class ScriptVerbs : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    dir_ = fs::temp_directory_path() / ("vrt_verbs_" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    WindowTest::TearDown();
    fs::remove_all(dir_);
  }

  // Runs the script against the windows, `main` serving events on this
  // thread (its Save button closes it) until the script is done.
  ScriptOutcome run(WindowObject& main, const std::string& text, const std::function<void()>& on_event = {}) {
    std::string path = (dir_ / "verbs.script").string();
    std::ofstream(path) << text;
    ScriptOutcome outcome;
    platform::HWND hwnd = main.hwnd;
    std::thread driver([&] {
      outcome = run_script(path);
      // A failed script may leave a popup menu open: the user dismisses it.
      if (!outcome.ok) platform::automation::type("{Esc}");
      if (platform::IsWindow(hwnd)) platform::PostMessage(hwnd, platform::WM_CLOSE, 0, 0);
    });
    while (Accept(main)) {
      if (on_event) on_event();
      if (main.event == event::Accepted && main.control(main.field) &&
          platform::GetWindowText(main.control(main.field)->hwnd()) == "&Save")
        PostClose(main);
    }
    driver.join();
    return outcome;
  }
  std::string file(const std::string& name) const { return (dir_ / name).string(); }
  fs::path dir_;
};

std::string read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST_F(ScriptVerbs, ARadioWinsOverACaptionOfTheSameTextBesideIt) {
  WindowObject pick(kModule, "P1$PICK", WindowKind::Ordinary);
  Open(pick);
  WindowObject explain(kModule, "P2$EXPLAIN", WindowKind::Ordinary);
  Open(explain);  // opened last: the active window, the one with the caption
  std::string dump = file("pick.txt");
  ScriptOutcome outcome = run(pick, "click \"Director\"\nwait window \"@script01:P1$PICK\"\ndump window " + dump + "\n");
  EXPECT_TRUE(outcome.ok) << outcome.message;
  EXPECT_NE(read(dump).find("field\t2\tRADIO\tenabled\tshown\ton\tDirector\n"), std::string::npos) << read(dump);
}

TEST_F(ScriptVerbs, WindowsByModuleAndLabel) {
  WindowObject pick(kModule, "P1$PICK", WindowKind::Ordinary);
  Open(pick);
  WindowObject explain(kModule, "P2$EXPLAIN", WindowKind::Ordinary);
  Open(explain);
  std::string dump = file("explain.txt");
  ScriptOutcome outcome = run(pick, "wait window \"@script01:p2$explain\"\n"
                                    "expect window \"@SCRIPT01\"\n"
                                    "expect window \"@vrttest$script01:P1$PICK\"\n"
                                    "dump window " + dump + "\n");
  EXPECT_TRUE(outcome.ok) << outcome.message;
  // Both windows have one title: the dump is of the one named by its label.
  EXPECT_NE(read(dump).find("field\t1\tPROMPT\tenabled\tshown\t-\tDirector\n"), std::string::npos) << read(dump);

  Open(pick);  // the run above closed it
  outcome = run(pick, "expect window \"@script01:P9$NONE\"\n");
  EXPECT_FALSE(outcome.ok);
  EXPECT_NE(outcome.message.find("no window \"@script01:P9$NONE\" is open (open: "), std::string::npos);
  EXPECT_NE(outcome.message.find("\"Same Title\" (@vrttest$script01:P1$PICK)"), std::string::npos) << outcome.message;
}

TEST_F(ScriptVerbs, WaitClosedWaitsForTheWindowToGo) {
  WindowObject w(kModule, "P3$DUMP", WindowKind::Ordinary);
  Open(w);
  ScriptOutcome outcome = run(w, "wait window \"Dump Me\"\nclick \"Save\"\nwait closed \"Dump Me\"\n");
  EXPECT_TRUE(outcome.ok) << outcome.message;
  EXPECT_FALSE(w.is_open());
}

TEST_F(ScriptVerbs, RunWaitsForTheCommandAndFailsOnItsExitCode) {
  WindowObject w(kModule, "P3$DUMP", WindowKind::Ordinary);
  Open(w);
  std::string mark = file("ran");
  ScriptOutcome outcome = run(w, "run \"sleep 0.2; echo done > " + mark + "\"\nrun \"exit 3\"\n");
  EXPECT_FALSE(outcome.ok);
  EXPECT_NE(outcome.message.find(":2: the command \"exit 3\" ended with 3"), std::string::npos) << outcome.message;
  EXPECT_EQ(read(mark), "done\n");  // the first command had finished before the second began
}

TEST_F(ScriptVerbs, DumpListsEveryControlInFieldOrder) {
  WindowObject w(kModule, "P3$DUMP", WindowKind::Ordinary);
  Open(w);
  char name[21] = "Smith               ";
  char value[11] = "  Shown   ";
  Bind(w, 2, name);
  Bind(w, 7, value);
  ListQueue people;
  people.add({"Smith", "12.5"});
  people.add({"Jones", "3"});
  BindQueue(w, 14, &people);
  SetListSelection(w, 14, 2);
  SetListVcr(w, 14, true);
  std::string dump = file("dump.txt");
  ScriptOutcome outcome = run(w, "wait window \"Dump Me\"\nclick \"Right\"\ndump window " + dump + "\n");
  ASSERT_TRUE(outcome.ok) << outcome.message;
  EXPECT_EQ(read(dump),
            "window\tDump Me\n"
            "color\tnone\n"
            "field\t1\tPROMPT\tenabled\tshown\t-\t&Name\n"
            "field\t2\tENTRY\tenabled\tshown\t-\tSmith\n"
            "field\t3\tBUTTON\tenabled\tshown\t-\t&Save\n"
            "field\t4\tBUTTON\tenabled\thidden\t-\tGone\n"
            "field\t5\tBUTTON\tdisabled\tshown\t-\tGreyed\n"
            "field\t6\tSTRING\tenabled\tshown\t-\tConstant\n"
            "field\t7\tSTRING\tenabled\tshown\t-\tShown\n"
            "field\t8\tSHEET\tenabled\tshown\t-\t\n"
            "field\t9\tTAB\tenabled\tshown\ton\tOne\n"
            "field\t10\tOPTION\tenabled\tshown\t-\tPick\n"
            "field\t11\tRADIO\tenabled\tshown\toff\tLeft\n"
            "field\t12\tRADIO\tenabled\tshown\ton\tRight\n"
            "field\t13\tTAB\tenabled\thidden\toff\tTwo\n"
            "field\t14\tLIST\tenabled\tshown\t-\t\n"
            "row\t14\t1\t-\tSmith\t12.50\n"
            "row\t14\t2\tselected\tJones\t3.00\n"
            "vcr\t14\ton\n");
}

TEST_F(ScriptVerbs, PopupChoosesAnItemOfTheMenuARightClickOpens) {
  WindowObject w(kModule, "P3$DUMP", WindowKind::Ordinary);
  Open(w);
  ListQueue people;
  for (int i = 0; i < 20; ++i) people.add({"Person " + std::to_string(i), std::to_string(i)});
  BindQueue(w, 14, &people);
  int chosen = -1, row = 0;
  auto browse = [&] {
    // As a browse does: a right click on the list shows its popup menu.
    if (w.event != event::NewSelection || w.field != 14 || !ListRightClicked(w, 14)) return;
    row = ListSelection(w, 14);
    platform::HWND list = w.control(14)->hwnd();
    chosen = Popup("&Insert|&Change|&Delete", list, platform::ClientToScreen(list, {10, 10}));
  };
  ScriptOutcome outcome = run(w, "wait window \"Dump Me\"\npopup field 14 \"Change\"\n", browse);
  EXPECT_TRUE(outcome.ok) << outcome.message;
  EXPECT_EQ(chosen, 2);
  EXPECT_GE(row, 1) << "the right click chose the row under it";

  Open(w);
  BindQueue(w, 14, &people);
  chosen = -1;
  outcome = run(w, "wait window \"Dump Me\"\npopup field 14 \"Print\"\n", browse);
  EXPECT_FALSE(outcome.ok);
  EXPECT_NE(outcome.message.find("the popup menu has no item \"Print\" (it has \"Insert\", \"Change\", \"Delete\")"),
            std::string::npos)
      << outcome.message;
}

TEST_F(ScriptVerbs, TheWindowColourTheProgramSet) {
  WindowObject w(kModule, "P3$DUMP", WindowKind::Ordinary);
  Open(w);
  w.set_color(platform::RGB(0xFF, 0xD7, 0xD7));
  std::string dump = file("color.txt");
  ScriptOutcome outcome = run(w, "wait window \"Dump Me\"\ndump window " + dump + "\n");
  ASSERT_TRUE(outcome.ok) << outcome.message;
  EXPECT_NE(read(dump).find("color\t00D7D7FF\n"), std::string::npos) << read(dump);
}

}  // namespace
}  // namespace vrt::window
