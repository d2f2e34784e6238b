#include "app/frame/frame_procedure.h"

#include <string>

#include "app/access/access_mode.h"
#include "app/browse/browse_procedure.h"
#include "app/frame/frame_commands.h"
#include "app/frame/menu_actions.h"
#include "app/frame/spy_guard.h"
#include "app/frame/user_windows.h"
#include "app/process/customer_process.h"
#include "app/process/time_stamp.h"
#include "app/report/report_instances.h"
#include "app/report/report_procedure.h"
#include "runtime/platform/gui/controls.h"
#include "runtime/window/controls/control_binding.h"
#include "runtime/window/controls/image_codes.h"
#include "runtime/window/loop/accept_loop.h"
#include "runtime/window/loop/event_codes.h"
#include "runtime/window/loop/thread_start.h"
#include "runtime/window/loop/window_open.h"
#include "runtime/window/message_box.h"

namespace marlock::frame {

namespace {

using namespace vrt::window;

constexpr uint32_t kProcedureStack = 50000;

void run_menu(const MenuAction& a) {
  switch (a.action) {
    case Action::Login: Start(login_procedure, kLoginStack); return;
    case Action::TimeStamp: stamp_customers(); return;
    case Action::Browse: Start(browse_procedure, kProcedureStack, a.item); return;
    case Action::Process: customer_process(); return;
    case Action::Report:
      if (const ReportSpec* report = report_for_menu(a.field)) Start(report_procedure, kProcedureStack, report->module);
      return;
  }
}

}  // namespace

void frame_procedure() {
  WindowObject frame(kFrameModule, kFrameWindow, WindowKind::Application);
  Open(frame);
  ModeFollower mode;
  SpyGuard spy([] { Message("Access denied", "", standard_image_code(vrt::platform::IDI_HAND)); },
               [] { return Start(login_procedure, kLoginStack); });
  while (Accept(frame)) {
    mode.follow(frame);
    if (spy.pass(access_mode())) continue;
    switch (frame.event) {
      case event::OpenWindow:
        Start(explanation_procedure, 0);
        Start(login_procedure, 0);
        Display(frame);
        break;
      case event::Accepted:
        if (const MenuAction* a = menu_action(frame.field)) run_menu(*a);
        break;
      default: break;
    }
  }
}

}  // namespace marlock::frame
