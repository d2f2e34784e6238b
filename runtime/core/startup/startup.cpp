#include "runtime/core/startup/startup.h"

#include <cfenv>
#include <cstdio>
#include <vector>

#include "runtime/core/base/fatal_error.h"
#include "runtime/core/base/runtime_box.h"
#include "runtime/core/startup/read_settings.h"
#include "runtime/core/base/settings.h"
#include "runtime/core/values/string_stack_bridge.h"
#include "runtime/platform/os/process.h"

namespace vrt::core {

namespace {

// A module record: newest first.
struct ModuleRecord {
  ModuleRecord* link;
  uintptr_t instance;
  ModuleDescriptor* module;
};

ModuleRecord* g_modules = nullptr;
uintptr_t g_process_instance = 0;
ModuleDescriptor* g_program = nullptr;
RuntimeVersion g_version;
std::vector<ExitRoutine> g_exit_routines;
bool g_halting = false;
WindowSystemHooks g_window_hooks;

// The process's own instance handle: any stable non-zero value serves.
uintptr_t own_instance() { return reinterpret_cast<uintptr_t>(&g_process_instance); }

void resolve_imports(ModuleDescriptor& m) {
  for (ImportReference* r = m.imports_begin; r && r != m.imports_end; ++r) {
    size_t slots = r->length / sizeof(uintptr_t);
    for (size_t i = 0; i < slots; ++i) {
      uintptr_t p = r->table[i];
      if (p >= m.import_area_begin && p < m.import_area_end) r->table[i] = *reinterpret_cast<uintptr_t*>(p);
    }
  }
}

// Start routines from priority 255 down: each pass calls every entry of the
// current priority in table order, then moves to the highest priority below.
void run_start_routines(const ModuleDescriptor& m) {
  int current = 255;
  while (current > 0) {
    int next = 0;
    for (const InitEntry* e = m.init_begin; e && e != m.init_end; ++e) {
      if (e->priority == current && e->start) e->start(0);
      if (e->priority < current && e->priority > next) next = e->priority;
    }
    current = next;
  }
}

void run_stop_routines(const ModuleDescriptor& m) {
  if (!m.init_begin) return;
  for (int priority = 0; priority <= 255; ++priority)
    for (const InitEntry* e = m.init_end; e != m.init_begin;) {
      --e;
      if (e->priority == priority && e->stop) e->stop(1);
    }
}

}  // namespace

void register_module(ModuleDescriptor& module, uintptr_t instance) {
  if (instance == 0) instance = own_instance();
  if (g_process_instance == 0) g_process_instance = instance;
  module.instance = instance;
  g_modules = new ModuleRecord{g_modules, instance, &module};
  resolve_imports(module);
  run_start_routines(module);
}

void unregister_module(ModuleDescriptor& module) {
  for (ModuleRecord** p = &g_modules; *p; p = &(*p)->link) {
    if ((*p)->module != &module) continue;
    ModuleRecord* record = *p;
    *p = record->link;
    run_stop_routines(module);
    delete record;
    return;
  }
}

uintptr_t process_instance() { return g_process_instance; }

int check_runtime_version(int version_word, int minor, int build) {
  if (version_word == kRuntimeVersionWord && minor <= kRuntimeMinor) {
    g_version.required_major = version_word & 0xFF;
    g_version.required_minor = minor;
    g_version.required_build = build;
    return 1;
  }
  char text[512];
  if (version_word & 256) {
    std::snprintf(text, sizeof text,
                  "This program or a component DLL requires KXRUN%s version %d.%03d.%02d or later\r\n"
                  "This version is %d.%03d.%02d",
                  "X", version_word & 0xFF, minor, build, 5, kRuntimeMinor, kRuntimeBuild);
  } else {
    std::snprintf(text, sizeof text,
                  "This program or a component DLL was built using the beta release of Vorthal 5\r\n"
                  "It will not operate correctly with this copy of KXRUN%s\r\n"
                  "Please obtain a new version of this program",
                  "X");
  }
  show_runtime_box({"Vorthal 5 Runtime Library", text, kBoxOk, kBoxIconError, kAnswerOk});
  return 0;
}

const RuntimeVersion& runtime_version() { return g_version; }

void add_exit_routine(ExitRoutine routine) { g_exit_routines.push_back(routine); }

void halt(int exit_code) {
  if (!g_halting) {
    g_halting = true;
    for (size_t i = g_exit_routines.size(); i-- > 0;) g_exit_routines[i](static_cast<int>(i));
    if (g_program) unregister_module(*g_program);
  }
  platform::exit_process(exit_code);
}

void set_window_system_hooks(const WindowSystemHooks& hooks) { g_window_hooks = hooks; }

void process_entry(ModuleDescriptor& program, MainProcedure main, int version_word, int minor, int build) {
  std::feclearexcept(FE_ALL_EXCEPT);
  std::fesetenv(FE_DFL_ENV);
  g_program = &program;
  register_module(program);
  read_settings();
  if (!check_runtime_version(version_word, minor, build)) halt(0);
  if (g_window_hooks.start) g_window_hooks.start();
  set_fatal_ending({push_fatal_text, halt});
  set_runtime_active(true);
  main();
  if (g_window_hooks.shutdown) g_window_hooks.shutdown();
  set_runtime_active(false);
  release_core_resources();
  halt(0);
}

}  // namespace vrt::core
