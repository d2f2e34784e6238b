#include "runtime/window/loop/event_codes.h"

#include <cstdio>

namespace vrt::window {

namespace {

struct Named {
  uint32_t code;
  const char* name;
};

constexpr Named kEventNames[] = {
    {0x01, "EVENT:Accepted"}, {0x02, "EVENT:NewSelection"}, {0x03, "EVENT:ScrollUp"},
    {0x04, "EVENT:ScrollDown"}, {0x05, "EVENT:PageUp"}, {0x06, "EVENT:PageDown"}, {0x07, "EVENT:ScrollTop"},
    {0x08, "EVENT:ScrollBottom"}, {0x09, "EVENT:Locate"}, {0x0A, "EVENT:MouseUp"}, {0x0B, "EVENT:MouseIn"},
    {0x0C, "EVENT:MouseOut"}, {0x0D, "EVENT:MouseMove"}, {0x0E, "EVENT:VBXevent"}, {0x0F, "EVENT:AlertKey"},
    {0x10, "EVENT:PreAlert"}, {0x11, "EVENT:Dragging"}, {0x12, "EVENT:Drag"}, {0x13, "EVENT:Drop"},
    {0x14, "EVENT:ScrollDrag"}, {0x15, "EVENT:TabChanging"}, {0x16, "EVENT:Expanding"},
    {0x17, "EVENT:Contracting"}, {0x18, "EVENT:Expanded"}, {0x19, "EVENT:Contracted"}, {0x1A, "EVENT:Rejected"},
    {0x1B, "EVENT:DroppingDown"}, {0x1C, "EVENT:DroppedDown"}, {0x1D, "EVENT:ScrollTrack"},
    {0x1E, "EVENT:ColumnResize"}, {0x101, "EVENT:Selected"}, {0x201, "EVENT:CloseWindow"},
    {0x202, "EVENT:CloseDown"}, {0x203, "EVENT:OpenWindow"}, {0x204, "EVENT:OpenFailed"},
    {0x205, "EVENT:LoseFocus"}, {0x206, "EVENT:GainFocus"}, {0x208, "EVENT:Suspend"}, {0x209, "EVENT:Resume"},
    {0x20A, "EVENT:Notify"}, {0x20B, "EVENT:Timer"}, {0x20C, "EVENT:DDErequest"}, {0x20D, "EVENT:DDEadvise"},
    {0x20E, "EVENT:DDEdata"}, {0x20F, "EVENT:DDEexecute"}, {0x210, "EVENT:DDEpoke"}, {0x211, "EVENT:DDEclosed"},
    {0x220, "EVENT:Move"}, {0x221, "EVENT:Size"}, {0x222, "EVENT:Restore"}, {0x223, "EVENT:Maximize"},
    {0x224, "EVENT:Iconize"}, {0x225, "EVENT:Completed"}, {0x230, "EVENT:Moved"}, {0x231, "EVENT:Sized"},
    {0x232, "EVENT:Restored"}, {0x233, "EVENT:Maximized"}, {0x234, "EVENT:Iconized"}, {0x235, "EVENT:Docked"},
    {0x236, "EVENT:UnDocked"}, {0x240, "EVENT:BuildFile"}, {0x241, "EVENT:BuildKey"}, {0x242, "EVENT:BuildDone"},
};

constexpr Named kQueryNames[] = {
    {0x2401, "QUERY_SETUSE"}, {0x2402, "QUERY_SELECTED"}, {0x2403, "QUERY_COMMAND"}, {0x2404, "QUERY_HOTCHANGE"},
    {0x2405, "QUERY_HELP"}, {0x2406, "QUERY_QUIT"}, {0x2407, "QUERY_REPLY"}, {0x2408, "QUERY_LOSEFOCUS"},
    {0x2409, "QUERY_PSCREEN"}, {0x240A, "QUERY_PFIELD"}, {0x240C, "QUERY_COLOR"}, {0x240E, "QUERY_HSCROLL"},
    {0x2410, "QUERY_NOTIFY"}, {0x2412, "QUERY_LOCATE"}, {0x241C, "QUERY_CONTINUETHREAD"},
    {0x241D, "QUERY_EDITDONE"},
};

// The platform messages a trace is likely to meet.
constexpr Named kPlatformNames[] = {
    {0x0001, "WM_CREATE"}, {0x0002, "WM_DESTROY"}, {0x0003, "WM_MOVE"}, {0x0005, "WM_SIZE"},
    {0x0006, "WM_ACTIVATE"}, {0x0007, "WM_SETFOCUS"}, {0x0008, "WM_KILLFOCUS"}, {0x000A, "WM_ENABLE"},
    {0x000C, "WM_SETTEXT"}, {0x000D, "WM_GETTEXT"}, {0x000F, "WM_PAINT"}, {0x0010, "WM_CLOSE"},
    {0x0011, "WM_QUERYENDSESSION"}, {0x0012, "WM_QUIT"}, {0x0014, "WM_ERASEBKGND"}, {0x0018, "WM_SHOWWINDOW"},
    {0x0020, "WM_SETCURSOR"}, {0x0024, "WM_GETMINMAXINFO"}, {0x0046, "WM_WINDOWPOSCHANGING"},
    {0x0047, "WM_WINDOWPOSCHANGED"}, {0x0081, "WM_NCCREATE"}, {0x0082, "WM_NCDESTROY"}, {0x0100, "WM_KEYDOWN"},
    {0x0101, "WM_KEYUP"}, {0x0102, "WM_CHAR"}, {0x0111, "WM_COMMAND"}, {0x0112, "WM_SYSCOMMAND"},
    {0x0113, "WM_TIMER"}, {0x0200, "WM_MOUSEMOVE"}, {0x0201, "WM_LBUTTONDOWN"}, {0x0202, "WM_LBUTTONUP"},
    {0x0214, "WM_SIZING"}, {0x0222, "WM_MDIACTIVATE"}, {0x0233, "WM_DROPFILES"},
};

template <size_t N>
const char* lookup(const Named (&table)[N], uint32_t code) {
  for (const Named& n : table)
    if (n.code == code) return n.name;
  return nullptr;
}

}  // namespace

const char* event_name(uint16_t code) {
  const char* name = lookup(kEventNames, code);
  return name ? name : "";
}

bool is_field_event(uint16_t code) { return code < 0x100; }

std::string message_name(platform::UINT msg) {
  if (msg >= kEventMessageBase && msg < kEventMessageBase + 0x300) {
    if (const char* n = lookup(kEventNames, msg - kEventMessageBase)) return n;
  }
  if (const char* n = lookup(kQueryNames, msg)) return n;
  if (const char* n = lookup(kPlatformNames, msg)) return n;
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%04X", msg);
  return hex;
}

}  // namespace vrt::window
