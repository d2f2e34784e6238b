// The system controls the runtime's control classes stand on: buttons
// (push, default, check box, radio, group box), static text and icons, a
// single-line edit, progress bar, tool tip, toolbar, status bar and scroll
// bar. Each notifies its parent through WM_COMMAND (or WM_NOTIFY).
#pragma once
#include <string>

#include "runtime/platform/gfx/device_context.h"
#include "runtime/platform/gui/win_types.h"

namespace vrt::platform {

inline constexpr const char* kButtonClass = "BUTTON";
inline constexpr const char* kStaticClass = "STATIC";
inline constexpr const char* kEditClass = "EDIT";
inline constexpr const char* kProgressClass = "msctls_progress32";
inline constexpr const char* kToolTipClass = "tooltips_class32";
inline constexpr const char* kToolbarClass = "ToolbarWindow32";
inline constexpr const char* kStatusClass = "msctls_statusbar32";
inline constexpr const char* kScrollBarClass = "SCROLLBAR";

// Registers every class above (called by CreateWindowEx; harmless again).
void register_system_classes();

// Buttons.
enum : uint32_t {
  BS_PUSHBUTTON = 0, BS_DEFPUSHBUTTON = 1, BS_CHECKBOX = 2, BS_AUTOCHECKBOX = 3, BS_RADIOBUTTON = 4,
  BS_3STATE = 5, BS_AUTO3STATE = 6, BS_GROUPBOX = 7, BS_AUTORADIOBUTTON = 9, BS_TYPEMASK = 0xF,
  BS_ICON = 0x40, BS_LEFTTEXT = 0x20,
};
enum : UINT { BM_GETCHECK = 0xF0, BM_SETCHECK = 0xF1, BM_GETSTATE = 0xF2, BM_SETSTATE = 0xF3, BM_SETSTYLE = 0xF4,
              BM_CLICK = 0xF5, BM_SETIMAGE = 0xF7 };
enum : WPARAM { BST_UNCHECKED = 0, BST_CHECKED = 1, BST_INDETERMINATE = 2, BST_PUSHED = 4, BST_FOCUS = 8 };
enum : UINT { BN_CLICKED = 0, BN_DOUBLECLICKED = 5 };

// Static controls.
enum : uint32_t { SS_LEFT = 0, SS_CENTER = 1, SS_RIGHT = 2, SS_ICON = 3, SS_NOPREFIX = 0x80 };
enum : UINT { STM_SETICON = 0x170, STM_GETICON = 0x171 };

// Edit.
enum : uint32_t { ES_LEFT = 0, ES_CENTER = 1, ES_RIGHT = 2, ES_UPPERCASE = 8, ES_LOWERCASE = 0x10,
                  ES_PASSWORD = 0x20, ES_AUTOHSCROLL = 0x80, ES_READONLY = 0x800, ES_NUMBER = 0x2000 };
enum : UINT { EM_GETSEL = 0xB0, EM_SETSEL = 0xB1, EM_REPLACESEL = 0xC2, EM_GETMODIFY = 0xB8, EM_SETMODIFY = 0xB9,
              EM_LIMITTEXT = 0xC5, EM_SETREADONLY = 0xCF, EM_SETPASSWORDCHAR = 0xCC, EM_UNDO = 0xC7 };
enum : UINT { EN_SETFOCUS = 0x100, EN_KILLFOCUS = 0x200, EN_CHANGE = 0x300, EN_MAXTEXT = 0x501 };

// Progress bar.
enum : UINT { PBM_SETRANGE = WM_USER + 1, PBM_SETPOS = WM_USER + 2, PBM_DELTAPOS = WM_USER + 3,
              PBM_SETSTEP = WM_USER + 4, PBM_STEPIT = WM_USER + 5, PBM_GETPOS = WM_USER + 8,
              PBM_SETBARCOLOR = WM_USER + 9 };

// Tool tips: a tool is a window (or a toolbar button) with its text.
enum : UINT { TTM_ADDTOOL = WM_USER + 4, TTM_DELTOOL = WM_USER + 5, TTM_POPUP = WM_USER + 34, TTM_POP = WM_USER + 28 };
struct TOOLINFO {
  HWND hwnd = nullptr;  // the tool's window
  uintptr_t uId = 0;    // a toolbar button's command, or 0 for the whole window
  RECT rect;            // the area in the window's client coordinates (empty: whole window)
  std::string text;
};

// The mouse moving over `from` (client coordinates), for a tool tip whose
// tools do not tell it themselves (the message loop relays the moves).
void relay_tool_tip_event(HWND tip, HWND from, POINT client);

// Toolbars: buttons with an icon, a command and a tip.
enum : UINT { TB_ADDBUTTONS = WM_USER + 20, TB_ENABLEBUTTON = WM_USER + 1, TB_CHECKBUTTON = WM_USER + 2,
              TB_ISBUTTONENABLED = WM_USER + 9, TB_BUTTONCOUNT = WM_USER + 24, TB_COMMANDTOINDEX = WM_USER + 25,
              TB_GETITEMRECT = WM_USER + 29,
              // A button's tip: wParam the command, lParam a const std::string* (set) or a
              // std::string* (get).
              TB_SETBUTTONTIP = WM_USER + 70, TB_GETBUTTONTIP = WM_USER + 71 };
struct TBBUTTON {
  HICON icon = nullptr;
  int idCommand = 0;  // 0 is a separator
  bool enabled = true;
  bool checked = false;
  std::string tip;
};

// Status bars: segments with their right edges (-1: to the end).
enum : UINT { SB_SETTEXT = WM_USER + 1, SB_GETTEXT = WM_USER + 2, SB_SETPARTS = WM_USER + 4,
              SB_GETPARTS = WM_USER + 6 };

// Text clipboard of the process (and the CLIPBOARD selection on X11).
void set_clipboard_text(const std::string& text);
std::string get_clipboard_text();

// The icons the system and the application know by name.
HICON LoadIcon(const std::string& name);
enum : uintptr_t { IDI_APPLICATION = 32512, IDI_HAND = 32513, IDI_QUESTION = 32514, IDI_EXCLAMATION = 32515,
                   IDI_ASTERISK = 32516 };
HICON LoadIcon(uintptr_t id);
// The name an icon was loaded by ("STOP", "COPY.ICO" ...).
std::string icon_name(HICON icon);
// Draws an icon at a size; false for a handle that names no icon.
bool DrawIcon(HDC dc, int x, int y, HICON icon, int size = 0);

}  // namespace vrt::platform
