// One browse list at work: a page of records in the list's queue, read
// through a view in the order of the chosen key, moved by the list's
// scroll events, the frame's toolbar and the thumb; its Insert, Change and
// Delete buttons call the file's form. The stand-alone browse windows and
// the child lists inside forms are each a window around one of these.
#pragma once
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "app/browse/browse_instances.h"
#include "app/browse/key_distribution.h"
#include "runtime/data/driver/file_block.h"
#include "runtime/data/view/view.h"
#include "runtime/window/controls/list_queue.h"
#include "runtime/window/controls/window_object.h"

namespace marlock {

class BrowseList {
 public:
  // `list` is the list's field number; its buttons follow it.
  BrowseList(vrt::window::WindowObject& window, const BrowseSpec& spec, vrt::data::FileBlock& file, int32_t list);
  ~BrowseList();
  BrowseList(const BrowseList&) = delete;
  BrowseList& operator=(const BrowseList&) = delete;

  // Sort order 1 to n; the first page when the list is new, else the page
  // around the selected record. False when reading failed (message 35
  // shown; the window is asked to close).
  bool select_order(int order);
  int order() const { return order_; }
  // Re-reads the selected record, sets the thumb and redisplays.
  void refresh();
  // The list's own events and its buttons; true when the event was one.
  bool take(uint16_t event, int32_t field);
  // A frame toolbar button (navigation, insert, change, delete).
  bool take_toolbar(int32_t button);
  // A child list's range: the value its records' linking field must have.
  void set_range(int64_t value);

  size_t rows() const { return rows_.size(); }
  int selected() const { return selected_; }
  int32_t list_field() const { return list_; }

  // Movements, each leaving the list redisplayed.
  void first_page();
  void last_page();
  void page(bool down);
  void scroll(bool down);
  void to_thumb(int thumb);
  void locate(char c);
  // Calls the form: 1 insert, 2 change, 3 delete.
  void call_form(int32_t request);

 private:
  struct Row {
    vrt::window::ListQueue::Entry cells;
    std::string position;
    KeyValue key;
  };
  bool open_view();
  bool set_range_filter();
  void close_view();
  void drop_view();
  int key_field(bool* descending) const;
  void end_page(bool last);
  int fill(int count, bool forwards, bool full_page);
  Row current_row() const;
  KeyValue key_value() const;
  void show();
  int visible() const;
  // Clears the page and starts it at a record the view is positioned on:
  // the record shows at `row` when there are records enough above it.
  void rebuild(bool positioned, int row);
  bool reset_to_selected();
  void reset_at_key(const KeyValue& value);
  void build_distribution();
  void rebuild_distribution();
  bool reget_selected(bool watch);
  void read_failed();
  int sort_key() const;
  // Posts EVENT:Accepted to a button, as a user pressing it would.
  void press(int32_t field);
  void popup();
  void alert(int32_t key);

  vrt::window::WindowObject& window_;
  const BrowseSpec& spec_;
  vrt::data::FileBlock& file_;
  int32_t list_;
  std::vector<int> columns_;  // the shown fields' indexes in the record
  std::unique_ptr<vrt::data::View> view_;
  vrt::window::ListQueue page_;
  std::deque<Row> rows_;
  int selected_ = 0;
  int order_ = 0;
  bool failed_ = false;
  KeyDistribution distribution_;
  bool has_range_ = false;
  int64_t range_ = 0;
};

}  // namespace marlock
