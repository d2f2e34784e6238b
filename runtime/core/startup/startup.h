// The life of the process: module registration with its initialisation
// table, the runtime version check, the main procedure, and halt.
//
//   not started -> modules registered -> settings read -> version checked
//     -> window system started -> main procedure -> shutdown -> halted
//
// Halt may come from any state; its clean-up runs once.
#pragma once
#include <cstddef>
#include <cstdint>

namespace vrt::core {

// Start routines are called with 0, stop routines with 1.
using InitRoutine = void (*)(int);

// One entry of a module's initialisation table. On disk the entry was 12
// bytes; in memory the routine slots are pointer-sized.
struct InitEntry {
  int32_t priority;
  InitRoutine start;  // may be null
  InitRoutine stop;   // may be null
};

// An import reference: a table of pointer slots and its length in bytes.
struct ImportReference {
  uintptr_t* table;
  size_t length;
};

struct ModuleDescriptor {
  const void* link = nullptr;  // previously registered module
  const InitEntry* init_begin = nullptr;
  const InitEntry* init_end = nullptr;
  uintptr_t instance = 0;  // filled at registration
  ImportReference* imports_begin = nullptr;
  ImportReference* imports_end = nullptr;
  uintptr_t import_area_begin = 0;  // slots pointing in [begin, end) are resolved
  uintptr_t import_area_end = 0;
};

// Registers a module: links its record, resolves its import references and
// runs its start routines by descending priority (255 down to 1). Instance 0
// means the process's own; the first module registered sets the process
// instance.
void register_module(ModuleDescriptor& module, uintptr_t instance = 0);
// Unlinks the module and runs its stop routines by ascending priority (0 to
// 255), in reverse table order within one priority.
void unregister_module(ModuleDescriptor& module);
uintptr_t process_instance();

// The version word of this runtime: release flag 256 plus major 5.
inline constexpr int kRuntimeVersionWord = 261;
inline constexpr int kRuntimeMinor = 2;
inline constexpr int kRuntimeBuild = 0;

struct RuntimeVersion {
  int required_major = 0, required_minor = 0, required_build = 0;
  int major = 5, minor = kRuntimeMinor, build = kRuntimeBuild;
};

// 1 when this runtime serves a program built for the given version; else
// shows why in a box and returns 0.
int check_runtime_version(int version_word, int minor, int build);
const RuntimeVersion& runtime_version();

// Exit routines run at halt, last registered first, each with its index.
using ExitRoutine = void (*)(int index);
void add_exit_routine(ExitRoutine routine);

// Runs exit routines and stop routines (first call only), flushes the
// standard streams and ends the process.
[[noreturn]] void halt(int exit_code);

using MainProcedure = void (*)();
// Hooks the window system fills in: its start before the main procedure and
// its shutdown (closing every window) after it.
struct WindowSystemHooks {
  void (*start)() = nullptr;
  void (*shutdown)() = nullptr;
};
void set_window_system_hooks(const WindowSystemHooks& hooks);

// The process entry: registers the program's module, reads the settings,
// checks the version, runs the main procedure, shuts down and halts with 0.
[[noreturn]] void process_entry(ModuleDescriptor& program, MainProcedure main,
                                int version_word = kRuntimeVersionWord, int minor = kRuntimeMinor,
                                int build = kRuntimeBuild);

}  // namespace vrt::core
