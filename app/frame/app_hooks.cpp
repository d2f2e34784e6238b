#include "app/frame/app_hooks.h"

#include <cstdio>
#include <string>

#include "app/integrity/warnings.h"
#include "runtime/core/startup/startup.h"
#include "runtime/platform/display/display.h"
#include "runtime/platform/gui/controls.h"
#include "runtime/window/controls/image_codes.h"
#include "runtime/window/message_box.h"
#include "runtime/window/script_runner.h"

namespace marlock::frame {

namespace {

namespace w = vrt::window;

int show_warning(const Warning& warning) {
  int icon = warning.icon == WarningIcon::Question ? vrt::platform::IDI_QUESTION : vrt::platform::IDI_EXCLAMATION;
  return w::Message(warning.text, warning.title, w::standard_image_code(icon), static_cast<uint32_t>(warning.buttons),
                    warning.default_button);
}

void end_with_text(const std::string& text) {
  std::fprintf(stderr, "%s\n", text.c_str());
  std::fflush(stderr);
  if (vrt::platform::display_kind() != vrt::platform::DisplayKind::Headless && !w::script_running()) {
    w::MessageRequest box;
    box.text = text;
    box.caption = "Application";
    box.icon = w::standard_image_code(vrt::platform::IDI_HAND);
    w::show_message_box(box);
  }
  vrt::core::halt(1);
}

}  // namespace

void install_application_hooks() {
  set_message_shower(show_warning);
  set_application_ending(end_with_text);
}

}  // namespace marlock::frame
