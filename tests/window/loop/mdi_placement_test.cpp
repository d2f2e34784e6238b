// MDI child placement through the subclassed client and children.
#include <gtest/gtest.h>

#include "runtime/platform/display/display.h"
#include "runtime/platform/gui/mdi.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/window/loop/mdi_placement.h"
#include "runtime/window/controls/zor_classes.h"

namespace vrt::window {
namespace {

using namespace vrt::platform;

HWND g_client = nullptr;
uintptr_t g_left_at_ncdestroy = 1;
intptr_t g_proc_at_ncdestroy = 0;

LRESULT frame_proc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefFrameProc(h, g_client, m, w, l); }
LRESULT child_proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_NCDESTROY) {
    g_left_at_ncdestroy = GetProp(h, "RestoreLeft");
    g_proc_at_ncdestroy = GetWindowLongPtr(h, GWLP_WNDPROC);
  }
  return DefMDIChildProc(h, m, w, l);
}

class MdiPlacement : public ::testing::Test {
 protected:
  void SetUp() override {
    start_display(DisplayKind::Headless);
    register_zor_classes();
    WNDCLASS f;
    f.lpszClassName = "PlacementFrame";
    f.lpfnWndProc = frame_proc;
    RegisterClass(f);
    WNDCLASS c;
    c.lpszClassName = "PlacementChild";
    c.lpfnWndProc = child_proc;
    RegisterClass(c);
    frame = CreateWindow("PlacementFrame", "F", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr);
    g_client = CreateWindow(kZorChildClient, "", WS_CHILD | WS_VISIBLE, 0, 0, 700, 500, frame, nullptr);
    subclass_mdi_client(g_client);
    set_grow_with_frame(false);
  }
  void TearDown() override { DestroyWindow(frame); }
  HWND child(int x, bool max_box = true) {
    uint32_t style = WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | (max_box ? WS_MAXIMIZEBOX : 0u);
    HWND h = CreateWindowEx(WS_EX_MDICHILD, "PlacementChild", "c", style, x, 10, 200, 150, g_client, nullptr);
    subclass_mdi_child(h);
    return h;
  }
  RECT in_client(HWND h) {
    RECT r = GetWindowRect(h);
    POINT tl = ScreenToClient(g_client, {r.left, r.top});
    return {tl.x, tl.y, tl.x + r.right - r.left, tl.y + r.bottom - r.top};
  }
  HWND frame = nullptr;
};

TEST_F(MdiPlacement, NormalRectangleIsRememberedAndPropertiesGoAtDestroy) {
  HWND a = child(10);
  MoveWindow(a, 30, 40, 220, 160);
  EXPECT_EQ(GetProp(a, "RestoreLeft"), 30u);
  EXPECT_EQ(GetProp(a, "RestoreTop"), 40u);
  EXPECT_EQ(GetProp(a, "RestoreRight"), 250u);
  EXPECT_EQ(GetProp(a, "RestoreBottom"), 200u);
  EXPECT_EQ(GetProp(a, "OrigCallback"), reinterpret_cast<uintptr_t>(&child_proc));
  DestroyWindow(a);
  EXPECT_EQ(g_left_at_ncdestroy, 0u);
  EXPECT_EQ(g_proc_at_ncdestroy, reinterpret_cast<intptr_t>(&child_proc));
}

TEST_F(MdiPlacement, ChildrenGrowWithTheClientWhenEnabled) {
  HWND grows = child(10), fixed = child(250, false);
  set_grow_with_frame(true);
  RECT before = in_client(grows), fixed_before = in_client(fixed);
  MoveWindow(g_client, 0, 0, 750, 530);
  RECT after = in_client(grows);
  EXPECT_EQ((after.right - after.left) - (before.right - before.left), 50);
  EXPECT_EQ((after.bottom - after.top) - (before.bottom - before.top), 30);
  RECT fixed_after = in_client(fixed);
  EXPECT_EQ(fixed_after.right - fixed_after.left, fixed_before.right - fixed_before.left);
}

TEST_F(MdiPlacement, RestoreAllAndMaximiseAll) {
  HWND a = child(10), b = child(250), c = child(400);
  MoveWindow(b, 60, 70, 210, 150);
  ShowWindow(c, SW_MINIMIZE);
  maximise_all_children(g_client, a);
  RECT area = GetClientRect(g_client);
  RECT rb = in_client(b);
  EXPECT_GE(rb.right - rb.left, area.right) << "b fills the client";
  EXPECT_EQ(GetProp(b, "RestoreLeft"), 60u) << "the normal rectangle is kept";
  ShowWindow(c, SW_RESTORE);
  EXPECT_TRUE(IsZoomed(c)) << "a minimised child comes back maximised";

  restore_all_children(g_client, a);
  rb = in_client(b);
  EXPECT_EQ(rb.left, 60);
  EXPECT_EQ(rb.top, 70);
  EXPECT_EQ(rb.right - rb.left, 210);
}

}  // namespace
}  // namespace vrt::window
