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

bool SetFrameButtonTip(int32_t field, const std::string& tip) {
  platform::HWND toolbar = frame_toolbar();
  return toolbar && platform::SendMessage(toolbar, platform::TB_SETBUTTONTIP, static_cast<uint16_t>(field),
                                          reinterpret_cast<platform::LPARAM>(&tip)) != 0;
}

std::string FrameButtonTip(int32_t field) {
  std::string tip;
  if (platform::HWND toolbar = frame_toolbar())
    platform::SendMessage(toolbar, platform::TB_GETBUTTONTIP, static_cast<uint16_t>(field),
                          reinterpret_cast<platform::LPARAM>(&tip));
  return tip;
}

}  // namespace vrt::window
