// Placement of MDI children. The runtime subclasses the MDI client and
// each child; the replaced procedure is kept in the window property
// "OrigCallback" and put back on WM_DESTROY, when the properties
// "OrigCallback", "RestoreLeft", "RestoreTop", "RestoreRight",
// "RestoreBottom" and "ClientHwnd" are removed.
//
// - A child neither minimised nor maximised remembers its rectangle (in its
//   parent's client coordinates) in the Restore* properties.
// - The client (property "ClientHwnd" on itself) keeps its last width and
//   height in "RestoreLeft" and "RestoreTop"; when growing with the frame
//   is on, a size change changes every child with a maximise box that is
//   not minimised by the same differences.
#pragma once
#include "runtime/platform/gui/win_types.h"

namespace vrt::window {

void subclass_mdi_client(platform::HWND client);
void subclass_mdi_child(platform::HWND child);
void set_grow_with_frame(bool on);

// Every child with a maximise box except `except` gets its remembered
// rectangle as its normal position and is shown restored.
void restore_all_children(platform::HWND client, platform::HWND except);
// Every such child that is not minimised is moved and sized to the
// maximised rectangle; a minimised one comes back maximised when restored.
void maximise_all_children(platform::HWND client, platform::HWND except);

}  // namespace vrt::window
