// The forms driven as a user drives them: the application frame opened on
// the headless display, the form run on a procedure thread of its own (as a
// browse's thread calls it) over the sample data, and a script that types,
// clicks and answers the message boxes.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include "app/access/access_mode.h"
#include "app/dictionary/dictionary.h"
#include "app/dictionary/record_fields.h"
#include "app/form/form_request.h"
#include "app/frame/app_hooks.h"
#include "app/frame/frame_commands.h"
#include "app/integrity/file_use.h"
#include "app/integrity/warnings.h"
#include "app/seed/seed_files.h"
#include "runtime/core/base/error_state.h"
#include "runtime/core/startup/read_settings.h"
#include "runtime/data/driver/statements.h"
#include "runtime/platform/display/automation.h"
#include "runtime/platform/display/display.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/window/loop/accept_loop.h"
#include "runtime/window/loop/event_codes.h"
#include "runtime/window/loop/runtime_lock.h"
#include "runtime/window/loop/thread_start.h"
#include "runtime/window/loop/window_open.h"
#include "runtime/window/message_box.h"
#include "runtime/window/script_runner.h"
#include "tests/test_support.h"

namespace marlock::test {

namespace d = vrt::data;
namespace w = vrt::window;

// What the form's thread does before the form: reads the record to change
// or delete, or primes the one to insert, in its own file buffer.
using Prepare = std::function<void(d::FileBlock& file)>;

struct FormRun {
  int32_t response = -1;
  int32_t navigation = -1;
  w::ScriptOutcome script;
};

class FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    vrt::platform::start_display(vrt::platform::DisplayKind::Headless);
    vrt::core::read_settings();  // the character classes the child lists' filters are read with
    w::take_runtime_lock();
    SeedSizes sizes;
    sizes.customers = 10;
    sizes.students = 10;
    sizes.members = 10;
    sizes.people = 10;
    sizes.accounts = 20;
    std::string message;
    ASSERT_TRUE(seed_data_folder(dir.file("data"), sizes, &message)) << message;
    ASSERT_EQ(getcwd(before_, sizeof before_), before_);
    ASSERT_EQ(chdir(dir.file("data").c_str()), 0);
    frame::install_application_hooks();
    set_access_mode(kDirector);
    w::Open(frame_);
    ASSERT_TRUE(frame_.is_open());
  }
  void TearDown() override {
    if (frame_.is_open()) w::Close(frame_);
    w::release_runtime_lock_fully();
    w::wait_for_started_threads(10000);
    vrt::platform::automation::settle(1000);
    set_access_mode(kNoUser);
    set_message_shower(nullptr);
    EXPECT_EQ(chdir(before_), 0);
  }

  // Runs the form of `file` for `request` on a thread of its own while the
  // script drives it; the frame serves its events meanwhile.
  // A line "#look" in the script runs `look` there, from the script's thread.
  FormRun run(FileId file, int32_t request, const std::string& script, Prepare prepare = {},
              std::function<void()> look = {}) {
    static FileId s_file;
    static int32_t s_request;
    static Prepare s_prepare;
    static std::atomic<int32_t> s_response, s_navigation;
    static std::atomic<bool> s_done;
    s_file = file;
    s_request = request;
    s_prepare = std::move(prepare);
    s_response = s_navigation = -1;
    s_done = false;
    std::string path = dir.file("form.script"), rest = dir.file("rest.script");
    size_t split = script.find("#look\n");
    std::ofstream(path) << script.substr(0, split);
    std::ofstream(rest) << (split == std::string::npos ? "" : script.substr(split));
    vrt::platform::HWND frame = frame_.hwnd;
    auto wake = [frame] { vrt::platform::PostMessage(frame, w::kEventMessageBase + w::event::Notify, 0, 0); };
    FormRun outcome;
    std::atomic<bool> script_done{false};
    std::thread driver([&] {
      outcome.script = w::run_script(path);
      if (outcome.script.ok && split != std::string::npos) {
        if (look) look();
        outcome.script = w::run_script(rest);
      }
      // A script that failed leaves the form up: it is closed, boxes first.
      for (int i = 0; i < 100 && !s_done; ++i) {
        for (vrt::platform::HWND h : vrt::platform::GetTopLevelWindows())
          if (w::is_message_box(h)) vrt::platform::PostMessage(h, vrt::platform::WM_CLOSE, 0, 0);
        if (frame_.client)
          for (vrt::platform::HWND h : vrt::platform::GetChildren(frame_.client))
            vrt::platform::PostMessage(h, vrt::platform::WM_CLOSE, 0, 0);
        vrt::platform::automation::wait_until([] { return s_done.load(); }, 100);
      }
      script_done = true;
      wake();
    });
    // The form's first message box must find the script there to answer it.
    vrt::platform::automation::wait_until([] { return w::script_running(); }, 5000);
    w::Start(
        [](const std::string&) {
          {
            FileUse use(s_file);  // the browse's use
            if (use && s_prepare) s_prepare(*use.get());
            global_request().request = s_request;
            update_form(s_file);
            s_response = global_request().response;
            s_navigation = global_request().navigation;
          }
          s_done = true;
        },
        50000);
    std::thread waker([&] {
      vrt::platform::automation::wait_until([] { return s_done.load(); }, 30000);
      wake();
    });
    while (!(s_done && script_done) && w::Accept(frame_)) {
    }
    driver.join();
    waker.join();
    outcome.response = s_response;
    outcome.navigation = s_navigation;
    return outcome;
  }

  // Runs the form on this thread, as a browse calls it, for a request that
  // must end without a window: one that opens is closed again and told.
  // True when no window opened.
  bool run_without_window(FileId file, int32_t request, const Prepare& prepare = {}) {
    std::atomic<bool> done{false}, window_seen{false};
    vrt::platform::HWND client = frame_.client;
    std::thread watch([&] {
      while (!done) {
        for (vrt::platform::HWND h : vrt::platform::GetChildren(client)) {
          window_seen = true;
          vrt::platform::PostMessage(h, vrt::platform::WM_CLOSE, 0, 0);
        }
        vrt::platform::automation::wait_until([&] { return done.load(); }, 20);
      }
    });
    {
      FileUse use(file);
      if (use && prepare) prepare(*use.get());
      global_request() = {request, kNoResponse, 0};
      update_form(file);
    }
    done = true;
    watch.join();
    return !window_seen;
  }

  // The file's record found by a LONG field's value, read by a file block
  // of its own (another reader of the file); false when there is none.
  // The fields of a record `find` gave, by their labels.
  static RecordFields fields_of(FileId file, std::vector<uint8_t>& record) {
    static std::map<FileId, std::unique_ptr<d::FileBlock>> blocks;  // their declarations
    std::unique_ptr<d::FileBlock>& block = blocks[file];
    if (!block) {
      block = std::make_unique<d::FileBlock>();
      make_file_block(*block, file);
    }
    return RecordFields(block->declaration, record.data());
  }

  static bool find(FileId file, const char* field, int32_t value, std::vector<uint8_t>* record = nullptr) {
    d::FileBlock f;
    make_file_block(f, file);
    d::Open(f);
    EXPECT_EQ(vrt::core::error_code(), 0);
    bool found = false;
    d::Set(f);
    for (d::Next(f); vrt::core::error_code() == 0; d::Next(f)) {
      if (RecordFields(f).get_long(field) != value) continue;
      found = true;
      if (record) *record = f.record;
      break;
    }
    d::Close(f);
    return found;
  }
  static int32_t records(FileId file) {
    d::FileBlock f;
    make_file_block(f, file);
    d::Open(f);
    int32_t n = d::Records(f);
    d::Close(f);
    return n;
  }
  // Reads the record whose LONG field holds the value into the form
  // thread's buffer, under watch as a browse reads it.
  static Prepare read_where(const char* field, int32_t value) {
    return [field, value](d::FileBlock& f) {
      d::Set(f);
      for (d::Next(f); vrt::core::error_code() == 0; d::Next(f))
        if (RecordFields(f).get_long(field) == value) break;
      ASSERT_EQ(vrt::core::error_code(), 0);
      d::Watch(f);
      d::Reget(f, d::Position(f));
    };
  }
  std::string bdx_check(FileId file) {
    return vrt::test::run_command(vrt::test::built_tool("tools/bdx") + " check " + dir.file("data/" + disk_name(file)) +
                                  " 2>&1")
        .out;
  }
  std::string file(const std::string& name) const { return dir.file(name); }

  vrt::test::TempDir dir;
  w::WindowObject frame_{frame::kFrameModule, frame::kFrameWindow, w::WindowKind::Application};
  char before_[4096];
};

}  // namespace marlock::test
