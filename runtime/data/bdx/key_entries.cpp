// Key entries of a table: building the entry of a record, reading the
// record number back from an entry, BUILD of a key, and the built indexes
// that live beside the file in memory until it is closed.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "runtime/data/bdx/bdx_table.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/driver/driver_failure.h"
#include "runtime/data/bdx/key_encoding.h"
#include "runtime/data/bdx/store/record_keys.h"
#include "runtime/data/driver/record_layout.h"

namespace vrt::data {

std::string BdxTable::key_prefix(int key) const {
  return kind_prefix(number_, key < 0 ? uint8_t{kKindData} : key_kind(declaration(), key));
}

bool BdxTable::make_entry(int key, const uint8_t* record, uint32_t number, std::string* entry_key,
                          std::string* entry_data) {
  return make_key_entry(declaration(), key, number_, collation_, record, number, entry_key, entry_data);
}

uint32_t BdxTable::entry_record_number(int key, RecordView entry) const {
  const KeyBlock& k = declaration().keys[static_cast<size_t>(key)];
  size_t value = 5 + key_value_size(declaration(), k);
  if ((k.attributes & kKeyDup) || k.dynamic_index()) {
    if (entry.key().size() != value + 4 || !entry.data().empty()) fail_internal(kFailRecordShape);
    return be32_at(entry.key(), value);
  }
  if (entry.key().size() != value || entry.data().size() != 4) fail_internal(kFailRecordShape);
  return be32_at(entry.data(), 0);
}

bool BdxTable::find_by_key(int key, const uint8_t* record, uint32_t* number) {
  const KeyBlock& k = declaration().keys[static_cast<size_t>(key)];
  std::string value = key_prefix(key);
  encode_key_value(declaration(), k, record, collation_, &value);
  std::string found;
  return seek_entry(key, value, false, true, &found, number) && has_prefix(found, value);
}

int BdxTable::build_key(int key, const core::Expression* filter) {
  const KeyBlock& k = declaration().keys[static_cast<size_t>(key)];
  RecordTree t = tree();
  std::string prefix = key_prefix(key);
  std::set<std::string>* index = nullptr;
  if (k.dynamic_index()) {
    index = &indexes_[key];
    index->clear();
  } else {
    PageRecord r;
    while (t.seek(prefix, false, &r) && has_prefix(r.key(), prefix)) t.erase(r.key());
  }
  int code = kOk;
  uint32_t entries = 0, done = 0, walked = 0;
  uint32_t total = build_progress ? counter(kKindData) : 0;
  // A cancelled build changes nothing: the update is dropped, a built
  // index forgotten.
  auto cancelled = [&] {
    if (!close_after_build && build_progress(build_context, done, total)) return false;
    if (index) index->clear();
    return true;
  };
  std::string data_prefix = key_prefix(-1);
  std::string from = data_prefix;
  bool strictly = false;
  // The entries are gathered first and inserted in key order, so that each
  // goes to the end of the key's last page (which then fills, rather than
  // splitting in the middle) and the pages reached stay in the cache. They
  // lie in one buffer, not one allocation each.
  struct Entry {
    size_t at;
    uint16_t key_size, data_size;
  };
  std::string entry_bytes;
  std::vector<Entry> gathered;
  TreeCursor cursor;
  std::optional<RecordView> r;
  while ((r = t.seek_ref(from, strictly, true, &cursor)) && has_prefix(r->key(), data_prefix)) {
    if (r->key().size() != 9 || r->data().size() != declaration().record_length) fail_internal(kFailRecordShape);
    uint32_t number = be32_at(r->key(), 5);
    std::string buffer(r->data());
    buffer_form(&buffer);
    from.assign(r->key());
    strictly = true;
    // The walk holds no page between records (the cursor knows its pages by
    // their stamps): the cache keeps to its size, as in a scan.
    if (++walked % 64 == 0) store().cache().trim();
    if (build_progress && ++done % kBuildReportEvery == 0 && cancelled()) return kBuildCancelled;
    if (filter) {
      std::memcpy(file_->record.data(), buffer.data(), std::min(buffer.size(), file_->record.size()));
      // A filter that cannot be evaluated fails the build (800 posted).
      core::ExprValue v;
      if (!filter->evaluate(&v)) return kAlreadyPosted;
      if (!v.truth()) continue;
    }
    std::string entry_key, entry_data;
    if (make_entry(key, reinterpret_cast<const uint8_t*>(buffer.data()), number, &entry_key, &entry_data)) {
      // A key's entries are about the size of the first: room for one per
      // record at once, rather than buffers doubling up to twice the need
      // (within reason: the count is the file's word).
      if (gathered.empty()) {
        size_t size = entry_key.size() + entry_data.size();
        size_t room = std::min<size_t>(counter(kKindData), (size_t{1} << 30) / std::max<size_t>(size, 16));
        gathered.reserve(room);
        entry_bytes.reserve(room * size);
      }
      gathered.push_back({entry_bytes.size(), static_cast<uint16_t>(entry_key.size()),
                          static_cast<uint16_t>(entry_data.size())});
      entry_bytes.append(entry_key).append(entry_data);
    }
  }
  if (build_progress && cancelled()) return kBuildCancelled;
  auto key_of = [&](const Entry& e) { return std::string_view(entry_bytes).substr(e.at, e.key_size); };
  // Equal keys keep the records' order: the first record's entry is the one
  // kept, as when the entries went in record by record.
  std::stable_sort(gathered.begin(), gathered.end(),
                   [&](const Entry& a, const Entry& b) { return compare_keys(key_of(a), key_of(b)) < 0; });
  for (const Entry& e : gathered) {
    std::string_view entry_key = key_of(e);
    std::string_view entry_data = std::string_view(entry_bytes).substr(e.at + e.key_size, e.data_size);
    bool inserted = index ? index->emplace(entry_key).second : t.insert(entry_key, entry_data);
    if (inserted) ++entries;
    else code = kDuplicateKey;
  }
  if (!index) {
    uint8_t kind = key_kind(declaration(), key);
    add_to_counter(kind, static_cast<int32_t>(entries) - static_cast<int32_t>(counter(kind)));
  }
  return code;
}

// Components as "+PRE:FIELD,-PRE:OTHER": a sign (ascending when absent) and
// a field label, separated by commas.
int BdxTable::build_index(int key, const std::string& components, const std::string* filter) {
  KeyBlock& k = file_->declaration.keys[static_cast<size_t>(key)];
  std::vector<int32_t> parsed;
  size_t at = 0;
  while (at <= components.size()) {
    size_t comma = components.find(',', at);
    std::string item = components.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
    item.erase(0, item.find_first_not_of(' '));
    item.erase(item.find_last_not_of(' ') + 1);
    if (item.empty()) return kInvalidIndexString;
    bool descending = item[0] == '-';
    if (item[0] == '-' || item[0] == '+') item.erase(0, 1);
    int field = find_field(declaration(), item);
    if (field == 0) return kInvalidIndexString;
    parsed.push_back(descending ? -field : field);
    if (comma == std::string::npos) break;
    at = comma + 1;
  }
  if (parsed.empty() || parsed.size() > 255) return kInvalidIndexString;
  core::Expression compiled;
  if (filter && !compiled.compile(*filter)) return kAlreadyPosted;  // 800 or 801 posted
  k.components = parsed;
  // The records pass through the record buffer; the program's own record
  // comes back afterwards.
  std::vector<uint8_t> saved = file_->record;
  int code = build_key(key, filter ? &compiled : nullptr);
  file_->record = saved;
  return code;
}

}  // namespace vrt::data
