#include "app/frame/help_topic.h"

#include <string>

#include "app/frame/frame_commands.h"
#include "runtime/platform/gui/controls.h"
#include "runtime/window/controls/control.h"
#include "runtime/window/controls/image_codes.h"
#include "runtime/window/message_box.h"
#include "runtime/window/resource/resource_buffer.h"

namespace marlock {

namespace {
constexpr int32_t kHelpAction = 8;  // the action code every Help button carries
}

bool answer_help(vrt::window::WindowObject& window, int32_t field) {
  vrt::window::Control* c = window.control(field);
  bool help = field == frame::kHelp || (c && c->action_code() == kHelpAction);
  if (!help || !window.buffer) return false;
  std::string topic(window.buffer->text(window.buffer->field(window.structure, "help")));
  vrt::window::Message("There is no help file for this program." +
                           (topic.empty() ? std::string() : "|Topic: " + topic),
                       "Help", vrt::window::standard_image_code(vrt::platform::IDI_ASTERISK));
  return true;
}

}  // namespace marlock
