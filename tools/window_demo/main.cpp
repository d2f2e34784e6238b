// window_demo [--script FILE] [--shots DIR]: the demonstration program, built
// on the runtime like any program. Its frame has a menu, a toolbar and a
// status bar; File | Open Child starts a procedure on a thread of its own
// whose document window holds a sheet of two tabs, radios, a progress bar
// moved by a timer and buttons; File | Entries a form of entries with
// pictures. With a display it stays until the frame is
// closed; --script drives it headless (the runtime's start-up takes the
// option); --shots DIR writes the demonstration's screenshots to DIR.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "runtime/core/startup/startup.h"
#include "runtime/platform/os/process.h"
#include "runtime/window/script_runner.h"
#include "runtime/window/window_system_start.h"
#include "tools/window_demo/demo_procedures.h"

namespace {

vrt::core::ModuleDescriptor g_program;

// The script behind --shots: open a child, start it, photograph both pages;
// then the list, its VCR buttons on, its thumb dragged and its columns
// resized; then the entries, the date entry chosen; then the About box.
void use_shots_script(const std::string& dir) {
  std::string path = dir + "/window-demo.script";
  std::ofstream(path) << "wait window \"Vorthal Demonstration\"\n"
                         "menu \"&File|Open Child\"\n"
                         "wait window \"Demonstration Child\"\n"
                         "screenshot " << dir << "/window-demo-settings.png\n"
                         "click \"Start\"\n"
                         "wait window \"Demonstration Child\"\n"
                         "screenshot " << dir << "/window-demo-progress.png\n"
                         "click \"Close\"\n"
                         "menu \"&List|Customers\"\n"
                         "wait window \"Demonstration List\"\n"
                         "click \"VCR\"\n"
                         "thumb field 1 40\n"
                         "click field 1\n"
                         "key Down\n"
                         "key Down\n"
                         "screenshot " << dir << "/window-demo-list.png\n"
                         "click \"Close\"\n"
                         "menu \"&File|Entries\"\n"
                         "wait window \"Entries\"\n"
                         "click field 6\n"
                         "screenshot " << dir << "/window-demo-entries.png\n"
                         "menu \"&Help|&About\"\n"
                         "wait window \"About\"\n"
                         "screenshot " << dir << "/window-demo-about.png\n"
                         "answer \"OK\"\n";
  vrt::window::use_script(path, [dir] {
    std::printf("wrote %s/window-demo-settings.png, %s/window-demo-progress.png, %s/window-demo-list.png, "
                "%s/window-demo-entries.png and %s/window-demo-about.png\n",
                dir.c_str(), dir.c_str(), dir.c_str(), dir.c_str(), dir.c_str());
    vrt::window::end_program();
  });
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--shots") == 0) use_shots_script(argv[i + 1]);
  vrt::core::add_exit_routine([](int) { std::printf("The demonstration has ended.\n"); });
  vrt::window::install_window_system();
  vrt::core::process_entry(g_program, vrt::window::demo::frame_procedure);
}
