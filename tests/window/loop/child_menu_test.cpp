// A document window with a menu bar of its own: the frame's bar shows it
// while the window is active, its entries reach the window's procedure,
// and an item's check mark follows its variable.
#include <gtest/gtest.h>

#include <atomic>

#include "runtime/platform/gui/menu.h"
#include "runtime/window/controls/control_binding.h"
#include "tests/window/window_test_fixture.h"

namespace vrt::window {
namespace {

using namespace vrt::platform;
using test::kLoopModule;

class ChildMenu : public test::WindowTest {};

std::atomic<HWND> g_menu_child{nullptr};
std::atomic<HMENU> g_child_menu{nullptr};
std::atomic<int> g_zoom_accepted{0};
uint8_t g_zoom = 0;

void child_with_menu(const std::string&) {
  WindowObject child(kLoopModule, "P15$CHILDMENU", WindowKind::MdiChild);
  Open(child);
  Bind(child, 2, &g_zoom);  // View 1, Zoom 2, Go 3
  g_child_menu = child.menu;
  g_menu_child = child.hwnd;
  while (Accept(child))
    if (child.event == event::Accepted && child.field == 2) ++g_zoom_accepted;
  g_menu_child = nullptr;
}

TEST_F(ChildMenu, TheActiveChildsMenuTakesTheFramesBar) {
  WindowObject frame(kLoopModule, "P9$QUIETFRAME", WindowKind::Application);
  Open(frame);
  HMENU own = frame.menu;
  g_zoom = 0;
  g_zoom_accepted = 0;
  ASSERT_GT(Start(child_with_menu, 50000), 0);
  // The user works while the frame's procedure runs its loop.
  std::thread user([&, top = frame.hwnd] {
    using automation::wait_until;
    EXPECT_TRUE(wait_until([&] { return g_menu_child != nullptr && GetMenu(top) == g_child_menu; }));
    EXPECT_EQ(GetMenuString(GetMenu(top), 0, MF_BYPOSITION), "&View");
    EXPECT_FALSE(GetMenuState(g_child_menu, 2, MF_BYCOMMAND) & MF_CHECKED);
    PostMessage(top, WM_COMMAND, 2, 0);  // View | Zoom in the frame's bar
    EXPECT_TRUE(wait_until([] { return g_zoom_accepted > 0; })) << "the child's procedure hears its own entry";
    EXPECT_TRUE(wait_until([] { return (GetMenuState(g_child_menu, 2, MF_BYCOMMAND) & MF_CHECKED) != 0; }));
    EXPECT_EQ(g_zoom, 1) << "the check turned the variable over";
    PostMessage(g_menu_child, WM_CLOSE, 0, 0);
    EXPECT_TRUE(wait_until([&] { return g_menu_child == nullptr && GetMenu(top) == own; }))
        << "the frame's own menu comes back";
    PostMessage(top, WM_CLOSE, 0, 0);
  });
  while (Accept(frame)) {
  }
  user.join();
  int levels = release_runtime_lock_fully();
  wait_for_started_threads(10000);
  retake_runtime_lock(levels);
}

}  // namespace
}  // namespace vrt::window
