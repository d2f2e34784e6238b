// The multiple-document interface: a frame window with a client window
// (class "MDICLIENT") that holds the document windows. Children may be
// created from any thread (CreateWindowEx with WS_EX_MDICHILD and the client
// as parent) and belong to the thread that created them. The client keeps
// which child is active; activation, maximising, minimising and restoring
// go through messages that a child's procedure may refuse.
#pragma once
#include "runtime/platform/gui/win_types.h"

namespace vrt::platform {

inline constexpr const char* kMdiClientClass = "MDICLIENT";

LRESULT DefFrameProc(HWND frame, HWND client, UINT msg, WPARAM wp, LPARAM lp);
LRESULT DefMDIChildProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// Registers MDICLIENT (done by the first frame; harmless again).
void register_mdi_client_class();
// The client that holds an MDI child, or null.
HWND mdi_client_of(HWND child);
// The document windows' system keys, for the message loop: Ctrl+F4 closes
// the active child, Ctrl+F6 and Ctrl+Tab activate the next one, with Shift
// the previous one. True when the message was such a key and was handled.
bool TranslateMDISysAccel(HWND client, const MSG& msg);

// Called when the focus moves into an MDI child that is not active.
void mdi_focus_moved(HWND focus);

}  // namespace vrt::platform
