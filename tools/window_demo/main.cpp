// window_demo [--shots DIR]: a frame window with a menu, a toolbar and a
// status bar, two document windows (a list and a form) and a message box.
// With a display it stays open until the frame is closed; headless (or with
// --shots) it writes screenshots to DIR and ends.
#include <cstdio>
#include <cstring>
#include <string>

#include "runtime/platform/display/automation.h"
#include "runtime/platform/display/display.h"
#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/mdi.h"
#include "runtime/platform/gui/menu.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/paint_api.h"
#include "runtime/platform/gui/theme.h"
#include "runtime/platform/gui/window_api.h"

using namespace vrt::platform;

namespace {

HWND g_client, g_status, g_toolbar;

const char* const kRows[][4] = {
    {"1", "Abbott", "Mary", "Leeds"},     {"2", "Baxter", "John", "York"},     {"3", "Carter", "Ann", "Hull"},
    {"4", "Dawson", "Peter", "Bath"},     {"5", "Ellis", "Ruth", "Derby"},     {"6", "Foster", "Mark", "Ripon"},
    {"7", "Graham", "Alice", "Selby"},    {"8", "Harper", "Simon", "Wells"},   {"9", "Irving", "Kate", "Ely"},
    {"10", "Jarvis", "Tom", "Truro"},     {"11", "Kendal", "Joan", "Bury"},    {"12", "Lawson", "Paul", "Looe"},
};

void layout_frame(HWND frame) {
  RECT r = GetClientRect(frame);
  SendMessage(g_toolbar, WM_SIZE, 0, 0);
  SendMessage(g_status, WM_SIZE, 0, 0);
  int top = GetWindowRect(g_toolbar).height(), bottom = GetWindowRect(g_status).height();
  MoveWindow(g_client, 0, top, r.right, r.bottom - top - bottom);
}

LRESULT frame_proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_SIZE:
      if (g_client) layout_frame(h);
      return 0;
    case WM_MENUSELECT:
      SendMessage(g_status, SB_SETTEXT, 0, reinterpret_cast<LPARAM>(LOWORD(w) == 1 ? "Browse the customers" : ""));
      return 0;
    case WM_COMMAND:
      if (LOWORD(w) == 2) DestroyWindow(h);
      return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefFrameProc(h, g_client, m, w, l);
  }
}

LRESULT list_proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m != WM_PAINT) return DefMDIChildProc(h, m, w, l);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, &ps);
  RECT r = GetClientRect(h);
  FillRect(dc, r, GetSysColorBrush(COLOR_WINDOW));
  SetBkMode(dc, TRANSPARENT);
  int row_h = scaled(22), cols[] = {scaled(8), scaled(50), scaled(170), scaled(280)};
  const char* heads[] = {"Number", "Surname", "Name", "Town"};
  FillRect(dc, {0, 0, r.right, row_h}, GetSysColorBrush(COLOR_BTNFACE));
  for (int c = 0; c < 4; ++c) {
    RECT cell{cols[c], 0, r.right, row_h};
    DrawText(dc, heads[c], &cell, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  }
  for (int i = 0; i < 12; ++i) {
    int y = row_h * (i + 1);
    bool selected = i == 2;
    if (selected) FillRect(dc, {0, y, r.right, y + row_h}, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    for (int c = 0; c < 4; ++c) {
      RECT cell{cols[c], y, r.right, y + row_h};
      DrawText(dc, kRows[i][c], &cell, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    }
    FillRect(dc, {0, y + row_h - 1, r.right, y + row_h}, GetSysColorBrush(COLOR_3DLIGHT));
  }
  EndPaint(h, &ps);
  return 0;
}

LRESULT form_proc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefMDIChildProc(h, m, w, l); }

LRESULT box_proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      RECT r = GetClientRect(h);
      FillRect(dc, r, GetSysColorBrush(COLOR_BTNFACE));
      DrawIcon(dc, scaled(20), scaled(20), LoadIcon(IDI_QUESTION), scaled(32));
      RECT text{scaled(68), scaled(18), r.right - scaled(16), scaled(60)};
      SetBkMode(dc, TRANSPARENT);
      DrawText(dc, "Are you sure you want to delete the highlighted record?", &text,
               DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
      EndPaint(h, &ps);
      return 0;
    }
    case WM_COMMAND: DestroyWindow(h); return 0;
    default: return DefWindowProc(h, m, w, l);
  }
}

void register_classes() {
  register_mdi_client_class();
  struct {
    const char* name;
    WNDPROC proc;
    int background;
  } classes[] = {{"DemoFrame", frame_proc, -1}, {"DemoList", list_proc, COLOR_WINDOW},
                 {"DemoForm", form_proc, COLOR_BTNFACE}, {"DemoBox", box_proc, COLOR_BTNFACE}};
  for (auto& c : classes) {
    WNDCLASS wc;
    wc.lpszClassName = c.name;
    wc.lpfnWndProc = c.proc;
    if (c.background >= 0) wc.hbrBackground = GetSysColorBrush(c.background);
    RegisterClass(wc);
  }
}

HWND control(const char* cls, const char* text, uint32_t style, int x, int y, int w, int h, HWND parent, int id) {
  return CreateWindow(cls, text, WS_CHILD | WS_VISIBLE | style, scaled(x), scaled(y), scaled(w), scaled(h), parent,
                      reinterpret_cast<HMENU>(static_cast<intptr_t>(id)));
}

HWND build() {
  HMENU bar = CreateMenu(), file = CreatePopupMenu(), browse = CreatePopupMenu();
  AppendMenu(file, MF_STRING, 3, "&Print Setup...");
  AppendMenu(file, MF_SEPARATOR, 0);
  AppendMenu(file, MF_STRING, 2, "E&xit");
  AppendMenu(browse, MF_STRING, 1, "&Customer");
  AppendMenu(browse, MF_STRING | MF_CHECKED, 4, "&Goods");
  AppendMenu(bar, MF_POPUP, reinterpret_cast<uintptr_t>(file), "&File");
  AppendMenu(bar, MF_POPUP, reinterpret_cast<uintptr_t>(browse), "&Browse");
  AppendMenu(bar, MF_STRING, 5, "&Help");
  HWND frame = CreateWindow("DemoFrame", "Application", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                            scaled(1024), scaled(720), nullptr, bar);
  g_toolbar = CreateWindow(kToolbarClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, frame, nullptr);
  const char* icons[] = {"VCRFIRST.ICO", "VCRPRIOR.ICO", "VCRNEXT.ICO", "VCRLAST.ICO", "", "INSERT.ICO",
                         "EDIT.ICO",     "DELETE.ICO",   "",            "FIND.ICO",    "HELP.ICO"};
  TBBUTTON buttons[11];
  for (int i = 0; i < 11; ++i) {
    buttons[i].icon = icons[i][0] ? LoadIcon(std::string(icons[i])) : nullptr;
    buttons[i].idCommand = icons[i][0] ? 100 + i : 0;
    buttons[i].tip = icons[i];
  }
  SendMessage(g_toolbar, TB_ADDBUTTONS, 11, reinterpret_cast<LPARAM>(buttons));
  g_status = CreateWindow(kStatusClass, "Ready", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, frame, nullptr);
  int32_t edges[] = {scaled(600), -1};
  SendMessage(g_status, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
  SendMessage(g_status, SB_SETTEXT, 1, reinterpret_cast<LPARAM>("Director"));
  g_client = CreateWindow(kMdiClientClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 10, 10, frame, nullptr);
  layout_frame(frame);
  CreateWindowEx(WS_EX_MDICHILD, "DemoList", "Browse the Customer File", WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW,
                 scaled(16), scaled(16), scaled(470), scaled(330), g_client, nullptr);
  HWND form = CreateWindowEx(WS_EX_MDICHILD, "DemoForm", "Update the Customer", WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW,
                             scaled(400), scaled(120), scaled(500), scaled(330), g_client, nullptr);
  control(kStaticClass, "&Surname:", 0, 16, 22, 90, 20, form, 1);
  HWND surname = control(kEditClass, "Carter", 0, 110, 18, 220, 26, form, 2);
  control(kStaticClass, "&Town:", 0, 16, 58, 90, 20, form, 3);
  control(kEditClass, "Hull", 0, 110, 54, 220, 26, form, 4);
  control(kButtonClass, "Kind", BS_GROUPBOX, 16, 96, 314, 84, form, 5);
  control(kButtonClass, "&Retail", BS_AUTORADIOBUTTON, 30, 120, 120, 22, form, 6);
  control(kButtonClass, "&Trade", BS_AUTORADIOBUTTON, 30, 146, 120, 22, form, 7);
  control(kButtonClass, "&Active", BS_AUTOCHECKBOX, 180, 120, 120, 22, form, 8);
  HWND progress = control(kProgressClass, "", 0, 16, 200, 314, 12, form, 9);
  SendMessage(progress, PBM_SETPOS, 65, 0);
  control(kButtonClass, "OK", BS_DEFPUSHBUTTON, 280, 250, 90, 30, form, 10);
  control(kButtonClass, "Cancel", 0, 380, 250, 90, 30, form, 11);
  SendMessage(GetDlgItem(form, 6), BM_SETCHECK, BST_CHECKED, 0);
  SendMessage(GetDlgItem(form, 8), BM_SETCHECK, BST_CHECKED, 0);
  SetFocus(surname);
  SendMessage(surname, EM_SETSEL, 0, -1);
  return frame;
}

HWND message_box(HWND owner) {
  RECT r = GetWindowRect(owner);
  int w = scaled(460), h = scaled(150);
  HWND box = CreateWindow("DemoBox", "Confirm Delete", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
                          r.left + (r.width() - w) / 2, r.top + (r.height() - h) / 2, w, h, owner, nullptr);
  control(kButtonClass, "&Yes", BS_DEFPUSHBUTTON, 250, 80, 90, 30, box, 1);
  control(kButtonClass, "&No", 0, 350, 80, 90, 30, box, 2);
  return box;
}

}  // namespace

int main(int argc, char** argv) {
  std::string shots;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--shots") == 0) shots = argv[i + 1];
  DisplayKind kind = shots.empty() ? start_display() : start_display(DisplayKind::Headless);
  if (kind == DisplayKind::Headless && shots.empty()) shots = ".";
  register_classes();
  HWND frame = build();
  if (!shots.empty()) {
    automation::screenshot(nullptr, shots + "/mdi-frame.png");
    message_box(frame);
    automation::screenshot(nullptr, shots + "/message-box.png");
    std::printf("wrote %s/mdi-frame.png and %s/message-box.png\n", shots.c_str(), shots.c_str());
    return 0;
  }
  MSG m;
  while (GetMessage(&m)) {
    TranslateMessage(m);
    DispatchMessage(m);
  }
  return 0;
}
