// Reading in order: the sequence of a table is the data records (record
// order) or the entries of one key, read from a remembered tree key on.
#include "runtime/data/bdx/bdx_table.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/driver/driver_failure.h"
#include "runtime/data/bdx/store/record_keys.h"

namespace vrt::data {

void BdxTable::set_sequence(int key, const std::string& from, bool inclusive_forward, const std::string& back_from,
                            bool inclusive_back) {
  sequence.key = key;
  sequence.next_from = from;
  sequence.next_inclusive = inclusive_forward;
  sequence.prev_from = back_from;
  sequence.prev_inclusive = inclusive_back;
}

void BdxTable::set_start(int key) {
  std::string prefix = key_prefix(key);
  std::string end = prefix;
  end.back() = static_cast<char>(static_cast<uint8_t>(end.back()) + 1);
  set_sequence(key, prefix, true, end, false);
}

bool BdxTable::seek_entry(int key, const std::string& from, bool strictly, bool forward, std::string* found,
                          uint32_t* number, TreeCursor* cursor) {
  std::string prefix = key_prefix(key);
  if (key >= 0 && declaration().keys[static_cast<size_t>(key)].dynamic_index()) {
    const std::set<std::string>& index = indexes_[key];
    auto it = index.end();
    if (forward) {
      it = strictly ? index.upper_bound(from) : index.lower_bound(from);
    } else {
      auto after = strictly ? index.lower_bound(from) : index.upper_bound(from);
      if (after != index.begin()) it = std::prev(after);
    }
    if (it == index.end() || !has_prefix(*it, prefix)) return false;
    *found = *it;
    *number = be32_at(*it, it->size() - 4);
    return true;
  }
  RecordTree t = tree();
  std::optional<RecordView> r = t.seek_ref(from, strictly, forward, cursor);
  if (!r || !has_prefix(r->key(), prefix)) return false;
  found->assign(r->key());
  if (key < 0) {
    if (r->key().size() != 9) fail_internal(kFailRecordShape);
    *number = be32_at(r->key(), 5);
  } else {
    *number = entry_record_number(key, *r);
  }
  return true;
}

int BdxTable::step(bool forward) {
  const std::string& from = forward ? sequence.next_from : sequence.prev_from;
  bool inclusive = forward ? sequence.next_inclusive : sequence.prev_inclusive;
  std::string& found = step_found_;
  uint32_t number;
  if (sequence.key < 0) {
    // In record order the record found is the data record itself.
    RecordTree t = tree();
    std::optional<RecordView> r = t.seek_ref(from, !inclusive, forward, &sequence.cursor);
    if (!r || !has_prefix(r->key(), key_prefix(-1))) return kRecordNotAvailable;
    if (r->key().size() != 9 || r->data().size() != declaration().record_length) fail_internal(kFailRecordShape);
    number = be32_at(r->key(), 5);
    found.assign(r->key());
    load_buffer(number, r->data());
  } else {
    if (!seek_entry(sequence.key, from, !inclusive, forward, &found, &number, &sequence.cursor))
      return kRecordNotAvailable;
    if (!load_record(number)) return kRecordNotFound;
  }
  set_sequence(sequence.key, found, false, found, false);
  return kOk;
}

bool BdxTable::at_end(bool forward) {
  const std::string& from = forward ? sequence.next_from : sequence.prev_from;
  bool inclusive = forward ? sequence.next_inclusive : sequence.prev_inclusive;
  std::string found;
  uint32_t number;
  TreeCursor probe = sequence.cursor;
  return !seek_entry(sequence.key, from, !inclusive, forward, &found, &number, &probe);
}

}  // namespace vrt::data
