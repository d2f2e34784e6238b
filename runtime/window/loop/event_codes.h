// Event codes: 16-bit numbers the procedure reads after ACCEPT. Codes below
// 0x100 concern one control (field events), 0x101 is the one "selected"
// event, codes from 0x201 concern the window. Inside the runtime an event
// travels as window message kEventMessageBase + code.
#pragma once
#include <cstdint>
#include <string>

#include "runtime/platform/gui/win_types.h"

namespace vrt::window {

namespace event {
enum : uint16_t {
  Accepted = 0x01, NewSelection = 0x02, ScrollUp = 0x03, ScrollDown = 0x04, PageUp = 0x05, PageDown = 0x06,
  ScrollTop = 0x07, ScrollBottom = 0x08, Locate = 0x09, MouseUp = 0x0A, MouseIn = 0x0B, MouseOut = 0x0C,
  MouseMove = 0x0D, VBXevent = 0x0E, AlertKey = 0x0F, PreAlert = 0x10, Dragging = 0x11, Drag = 0x12, Drop = 0x13,
  ScrollDrag = 0x14, TabChanging = 0x15, Expanding = 0x16, Contracting = 0x17, Expanded = 0x18,
  Contracted = 0x19, Rejected = 0x1A, DroppingDown = 0x1B, DroppedDown = 0x1C, ScrollTrack = 0x1D,
  ColumnResize = 0x1E, Selected = 0x101, CloseWindow = 0x201, CloseDown = 0x202, OpenWindow = 0x203,
  OpenFailed = 0x204, LoseFocus = 0x205, GainFocus = 0x206, Suspend = 0x208, Resume = 0x209, Notify = 0x20A,
  Timer = 0x20B, DDErequest = 0x20C, DDEadvise = 0x20D, DDEdata = 0x20E, DDEexecute = 0x20F, DDEpoke = 0x210,
  DDEclosed = 0x211, Move = 0x220, Size = 0x221, Restore = 0x222, Maximize = 0x223, Iconize = 0x224,
  Completed = 0x225, Moved = 0x230, Sized = 0x231, Restored = 0x232, Maximized = 0x233, Iconized = 0x234,
  Docked = 0x235, UnDocked = 0x236, BuildFile = 0x240, BuildKey = 0x241, BuildDone = 0x242,
};
}  // namespace event

inline constexpr platform::UINT kEventMessageBase = 0x1400;

// Messages between the runtime's parts.
enum : platform::UINT {
  QUERY_SETUSE = 0x2401, QUERY_SELECTED, QUERY_COMMAND, QUERY_HOTCHANGE, QUERY_HELP, QUERY_QUIT, QUERY_REPLY,
  QUERY_LOSEFOCUS, QUERY_PSCREEN, QUERY_PFIELD = 0x240A, QUERY_COLOR = 0x240C, QUERY_HSCROLL = 0x240E,
  QUERY_NOTIFY = 0x2410, QUERY_LOCATE = 0x2412, QUERY_CONTINUETHREAD = 0x241C, QUERY_EDITDONE = 0x241D,
  kThreadStartedMessage = 0x2414,  // posted to a started thread once it runs (wParam: its slot)
  kBringTopMessage = 0x2415,       // brings the application's top window to the front
  kPostedEventMessage = 0x241B,    // lParam: an event record for the window's queue
};

// "EVENT:Accepted" ..., or "" for a code without a name.
const char* event_name(uint16_t code);
bool is_field_event(uint16_t code);
// The trace name of a message: an event's name, a query's name, the
// platform's ("WM_CREATE"), or the number in hex.
std::string message_name(platform::UINT msg);

}  // namespace vrt::window
