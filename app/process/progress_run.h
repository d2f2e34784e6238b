// A run over every record of a file in the order of one key: a batch of 25
// records on each timer event of a progress window, which shows the percent
// done and offers Cancel. The reports and the Customer process are runs;
// what each does with a record is theirs.
#pragma once
#include <functional>
#include <string>

#include "runtime/data/driver/file_block.h"
#include "runtime/data/view/view.h"
#include "runtime/window/controls/window_object.h"

namespace marlock {

class ProgressRun {
 public:
  enum class Outcome { Completed, Cancelled, Empty };
  struct Steps {
    // Once the first record has been read (a report opens here).
    std::function<void()> first;
    // The current record; false ends the run as cancelled (its warning
    // shown).
    std::function<bool()> each;
    // The percent text when the run ends by itself, not cancelled by the
    // user ("" keeps it).
    std::string finished_text;
  };

  // `key` counts from 0; -1 reads in record order. Opens the progress
  // window of the module and sends the driver QUICKSCAN=on.
  ProgressRun(vrt::data::FileBlock& file, const std::string& module, int key);
  ~ProgressRun();  // QUICKSCAN=off
  ProgressRun(const ProgressRun&) = delete;
  ProgressRun& operator=(const ProgressRun&) = delete;

  vrt::window::WindowObject& window() { return window_; }
  // Runs the window's loop until the run ends.
  Outcome run(const Steps& steps);

 private:
  void show_percent(int percent);
  // The next record; false at the end or, with message 35 shown, when
  // reading failed (the run is then cancelled).
  bool read();

  vrt::data::FileBlock& file_;
  vrt::window::WindowObject window_;
  vrt::data::View view_;
  int key_;
  int32_t total_;
  int shown_ = -1;
  bool read_failed_ = false;
  uint8_t bar_ = 0;
  char percent_[30], second_[30];
};

// "42% Completed".
std::string percent_text(int percent);

}  // namespace marlock
