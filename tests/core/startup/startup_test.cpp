#include "runtime/core/startup/startup.h"

#include <gtest/gtest.h>

#include <string>

#include "runtime/core/base/fatal_error.h"
#include "runtime/core/base/runtime_box.h"

namespace vrt::core {
namespace {

std::string g_calls;
void s1(int a) { g_calls += "s1(" + std::to_string(a) + ")"; }
void s2(int a) { g_calls += "s2(" + std::to_string(a) + ")"; }
void s3(int a) { g_calls += "s3(" + std::to_string(a) + ")"; }
void s4(int a) { g_calls += "s4(" + std::to_string(a) + ")"; }

TEST(ModuleRegistration, StartRoutinesByDescendingPriorityStopRoutinesAscending) {
  static const InitEntry table[] = {
      {10, s1, s1}, {200, s2, s2}, {10, s3, nullptr}, {0, s4, s4}, {256, s4, s4}, {200, nullptr, s3},
  };
  ModuleDescriptor m;
  m.init_begin = std::begin(table);
  m.init_end = std::end(table);
  g_calls.clear();
  register_module(m, 77);
  // Priorities 0 and above 255 never start; within one priority, table order.
  EXPECT_EQ(g_calls, "s2(0)s1(0)s3(0)");
  EXPECT_EQ(m.instance, 77u);
  g_calls.clear();
  unregister_module(m);
  // Ascending 0..255, reverse table order within one; 256 never stops.
  EXPECT_EQ(g_calls, "s4(1)s1(1)s3(1)s2(1)");
}

TEST(ModuleRegistration, ImportReferencesPointingIntoTheAreaAreResolved) {
  static uintptr_t area[2] = {0x1111, 0x2222};
  uintptr_t slots[3] = {reinterpret_cast<uintptr_t>(&area[1]), 0x5, reinterpret_cast<uintptr_t>(&area[0])};
  ImportReference refs[] = {{slots, sizeof slots}};
  ModuleDescriptor m;
  m.imports_begin = std::begin(refs);
  m.imports_end = std::end(refs);
  m.import_area_begin = reinterpret_cast<uintptr_t>(&area[0]);
  m.import_area_end = reinterpret_cast<uintptr_t>(&area[2]);
  register_module(m);
  EXPECT_EQ(slots[0], 0x2222u);
  EXPECT_EQ(slots[1], 0x5u);
  EXPECT_EQ(slots[2], 0x1111u);
  EXPECT_NE(process_instance(), 0u);
  unregister_module(m);
}

std::string g_box_text, g_box_caption;
BoxAnswer capture_box(const BoxRequest& r) {
  g_box_text = r.text;
  g_box_caption = r.caption;
  return r.default_answer;
}

TEST(VersionCheck, AcceptsOlderMinorVersionsOnly) {
  auto old = set_runtime_box_handler(capture_box);
  g_box_text.clear();
  EXPECT_EQ(check_runtime_version(261, 2, 0), 1);
  EXPECT_EQ(check_runtime_version(261, 0, 7), 1);
  EXPECT_EQ(runtime_version().required_build, 7);
  EXPECT_TRUE(g_box_text.empty());
  EXPECT_EQ(check_runtime_version(261, 3, 0), 0);
  EXPECT_EQ(g_box_caption, "Vorthal 5 Runtime Library");
  EXPECT_EQ(g_box_text,
            "This program or a component DLL requires KXRUNX version 5.003.00 or later\r\n"
            "This version is 5.002.00");
  EXPECT_EQ(check_runtime_version(5, 2, 0), 0);
  EXPECT_EQ(g_box_text,
            "This program or a component DLL was built using the beta release of Vorthal 5\r\n"
            "It will not operate correctly with this copy of KXRUNX\r\n"
            "Please obtain a new version of this program");
  set_runtime_box_handler(old);
}

// Halting and fatal errors end the process: they run in a child.
void exit_a(int i) { std::fprintf(stderr, "exit a %d\n", i); }
void exit_b(int i) { std::fprintf(stderr, "exit b %d\n", i); }
void stop_print(int) { std::fprintf(stderr, "stop\n"); }

[[noreturn]] void run_program_with_exit_routines() {
  static const InitEntry table[] = {{5, nullptr, stop_print}};
  static ModuleDescriptor m;
  m.init_begin = std::begin(table);
  m.init_end = std::end(table);
  add_exit_routine(exit_a);
  add_exit_routine(exit_b);
  process_entry(m, [] { std::fprintf(stderr, "main\n"); });
}

TEST(HaltDeathTest, ExitRoutinesRunLastFirstThenStopRoutines) {
  EXPECT_EXIT(run_program_with_exit_routines(), ::testing::ExitedWithCode(0),
              "main\nexit b 1\nexit a 0\nstop\n");
}

TEST(HaltDeathTest, VersionMismatchEndsWithZeroWithoutRunningMain) {
  static ModuleDescriptor m;
  EXPECT_EXIT(process_entry(m, [] { std::_Exit(9); }, 261, 3, 0), ::testing::ExitedWithCode(0),
              "requires KXRUNX version 5.003.00");
}

TEST(FatalDeathTest, ActiveRuntimeEndsWithTwoAfterTheBox) {
  static ModuleDescriptor m;
  EXPECT_EXIT(process_entry(m, [] { fatal_runtime_error(537); }),
      ::testing::ExitedWithCode(2), "Runtime error.*ACCEPT loop requires a window\nDo you want to GPF\\?");
}

BoxAnswer answer_yes(const BoxRequest&) { return kAnswerYes; }

TEST(FatalDeathTest, YesEndsAtOnceAbnormally) {
  EXPECT_EXIT(
      {
        set_runtime_box_handler(answer_yes);
        set_runtime_active(true);
        fatal_runtime_error(0, "boom");
      },
      ::testing::ExitedWithCode(3), "");
}

int g_handled_number = -1;
std::string g_handled_text;
void handler(int n, const std::string& t) {
  g_handled_number = n;
  g_handled_text = t;
}

TEST(FatalError, InactiveRuntimeReturnsAndHandlerReplacesTheBox) {
  auto old_box = set_runtime_box_handler(capture_box);
  set_runtime_active(false);
  g_box_text.clear();
  fatal_runtime_error(409, "in the middle");
  EXPECT_EQ(g_box_text, "Index out of range : in the middle\nDo you want to GPF?");
  EXPECT_TRUE(runtime_error_reported());

  set_fatal_handler(handler);
  set_runtime_active(true);
  g_box_text.clear();
  // With a handler and an active runtime, the handler gets it, and the
  // process still ends with 2; run that in a child.
  EXPECT_EXIT(fatal_runtime_error(408), ::testing::ExitedWithCode(2), "");
  set_runtime_active(false);
  fatal_runtime_error(408);
  EXPECT_EQ(g_handled_number, -1);  // inactive: nothing to call
  EXPECT_TRUE(g_box_text.empty());
  set_fatal_handler(nullptr);
  set_runtime_box_handler(old_box);
}

}  // namespace
}  // namespace vrt::core
