#include "runtime/window/frame_toolbar.h"

#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/window/controls/window_system.h"

namespace vrt::window {

namespace {

platform::HWND frame_toolbar() {
  WindowObject* frame = window_system().application;
  return frame ? frame->toolbar : nullptr;
}

}  // namespace

bool EnableFrameButton(int32_t field, bool enable) {
  platform::HWND toolbar = frame_toolbar();
  if (!toolbar) return false;
  return platform::SendMessage(toolbar, platform::TB_ENABLEBUTTON, static_cast<uint16_t>(field),
                               platform::MAKELPARAM(enable ? 1 : 0, 0)) != 0;
}

bool FrameButtonEnabled(int32_t field) {
  platform::HWND toolbar = frame_toolbar();
  return toolbar && platform::SendMessage(toolbar, platform::TB_ISBUTTONENABLED, static_cast<uint16_t>(field), 0) != 0;
}

}  // namespace vrt::window
