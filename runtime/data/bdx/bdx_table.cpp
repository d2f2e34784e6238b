#include "runtime/data/bdx/bdx_table.h"
#include "runtime/data/bdx/transaction.h"

#include <cstring>

#include "runtime/data/bdx/store/byte_order.h"
#include "runtime/data/bdx/definition_stream.h"
#include "runtime/data/bdx/key_encoding.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/driver/driver_failure.h"
#include "runtime/data/driver/field_types.h"
#include "runtime/data/bdx/oem_text.h"
#include "runtime/data/bdx/store/record_keys.h"
#include "runtime/data/bdx/store/store_operation.h"
#include "runtime/data/bdx/table_limits.h"
#include "runtime/platform/os/codepage.h"

namespace vrt::data {

namespace {

platform::Share share_of(int32_t mode) {
  switch (mode & 0x70) {
    case 0x10: return platform::Share::DenyAll;
    case 0x20: return platform::Share::DenyWrite;
    case 0x30: return platform::Share::DenyRead;
    default: return platform::Share::DenyNone;
  }
}

platform::Access access_of(int32_t mode) {
  switch (mode & 3) {
    case 1: return platform::Access::Write;
    case 2: return platform::Access::ReadWrite;
    default: return platform::Access::Read;
  }
}

bool declaration_fits(const FileDeclaration& d) {
  if (d.keys.size() > kMaxKeys || d.memos.size() > kMaxMemos || d.fields.empty()) return false;
  for (const KeyBlock& k : d.keys)
    for (int32_t c : k.components) {
      int32_t n = c < 0 ? -c : c;
      if (n < 1 || static_cast<size_t>(n) > d.fields.size()) return false;
    }
  return true;
}

std::string counter_data(uint32_t count, uint32_t word) {
  uint8_t b[8];
  store_le32(b, count);
  store_le32(b + 4, word);
  return std::string(reinterpret_cast<const char*>(b), 8);
}

// Whether two record buffers agree in every field a key is built from: the
// record's entry under that key is then the same for both.
bool same_key_fields(const FileDeclaration& d, const KeyBlock& k, const uint8_t* a, const uint8_t* b) {
  for (int32_t c : k.components) {
    const FieldDescriptor& f = d.fields[static_cast<size_t>(c < 0 ? -c : c) - 1];
    if (f.offset + f.total_size() > d.record_length) return false;
    if (std::memcmp(a + f.offset, b + f.offset, f.total_size()) != 0) return false;
  }
  return true;
}

// Gives a record's byte back however a PUT or DELETE ends.
struct UpdateLock {
  BdxTable& table;
  uint32_t record;
  ~UpdateLock() { table.unlock_after_update(record); }
};

// A file opened with an owner password is an encrypted one.
std::string owner_of(const FileDeclaration& d) { return d.has_owner ? d.owner : std::string(); }

}  // namespace

BdxTable* bdx_table(FileBlock& file) {
  if (!file.driver_instance) file.driver_instance = std::make_unique<BdxTable>(&file);
  return static_cast<BdxTable*>(file.driver_instance.get());
}

int BdxTable::open(int32_t mode) {
  const FileDeclaration& d = declaration();
  if (!declaration_fits(d)) return kInvalidDeclaration;
  address_ = split_table_name(d.name.empty() ? d.label : d.name);
  if (address_.table.empty()) return kInvalidFilename;
  int error;
  auto store = PageStore::open(full_file_name(address_.file), access_of(mode), share_of(mode),
                               platform::Disposition::OpenExisting, &error, owner_of(d));
  if (!store) return error;
  uint32_t number = 0;
  TableCollation collation;
  int code = run_on_store(*store, false, [&] {
    RecordTree tree(*store);
    PageRecord name;
    if (!tree.find(table_name_key(address_.table), &name)) return static_cast<int>(kFileNotFound);
    if (name.data().size() != 4) fail_internal(kFailRecordShape);
    number = be32_at(name.data(), 0);
    std::string definition;
    PageRecord chunk;
    for (uint16_t seq = 0; tree.find(definition_key(number, seq), &chunk); ++seq) {
      definition.append(chunk.data());
      if (seq == 0xFFFF) break;
    }
    if (!definition_matches(definition, d)) return static_cast<int>(kInvalidDeclaration);
    PageRecord coll;
    if (!tree.find(collation_key(number), &coll) || !collation.decode(std::string(coll.data())))
      return static_cast<int>(kInvalidDataFile);
    return static_cast<int>(kOk);
  });
  if (code != kOk) return code;
  store_ = std::move(store);
  number_ = number;
  collation_ = collation;
  current_record = 0;
  sequence = Sequence{};
  indexes_.clear();
  uint32_t& s = file_->state;
  if ((mode & 3) == 1 || (mode & 3) == 2) s |= kStateWrite;
  int sharing = mode & 0x70;
  if (sharing == 0x10 || sharing == 0x20 || sharing == 0x30) s |= kStateExclusive;
  return kOk;
}

BdxTable::~BdxTable() {
  if (!store_) return;
  transaction_leave(*this);
  release_holds();
}

void BdxTable::close() {
  if (store_) {
    transaction_leave(*this);
    release_holds();
    unlock_table();
    // Held updates are written when the file closes, and the last shadow
    // area is cut off.
    run_on_store(*store_, true, [&] {
      store_->hold_updates(false);
      return static_cast<int>(kOk);
    });
    if (store_->writable() && !store_->enlisted())
      run_on_store(*store_, true, [&] {
        store_->trim_shadow_area();
        return static_cast<int>(kOk);
      });
  }
  store_.reset();
  number_ = 0;
  current_record = 0;
  indexes_.clear();
  file_->state &= ~(kStateWrite | kStateExclusive);
}

// CREATE makes the file when it is missing and replaces the one table it
// names; the file's other tables stay as they are.
int BdxTable::create() {
  const FileDeclaration& d = declaration();
  if (int code = check_storable(d)) return code;
  TableAddress address = split_table_name(d.name.empty() ? d.label : d.name);
  if (address.table.empty()) return kInvalidFilename;
  int error;
  auto store = PageStore::open(full_file_name(address.file), platform::Access::ReadWrite,
                               platform::Share::DenyNone, platform::Disposition::OpenAlways, &error, owner_of(d));
  if (!store) return error;
  std::shared_ptr<PageStore> keep = store_;
  store_ = store;
  collation_ = TableCollation::from_settings();
  int code = run_on_store(*store, true, [&] { return create_table(address.table); });
  store_ = keep;
  return code;
}

int BdxTable::create_table(const std::string& name) {
  RecordTree t = tree();
  PageRecord existing;
  if (t.find(table_name_key(name), &existing)) {
    if (existing.data().size() != 4) fail_internal(kFailRecordShape);
    drop_table(be32_at(existing.data(), 0));
    t.erase(table_name_key(name));
  }
  uint32_t number = store_->take_number();
  std::string n;
  append_be32(&n, number);
  t.insert(table_name_key(name), n);
  std::string definition = encode_definition(declaration());
  for (size_t at = 0, seq = 0; at < definition.size(); at += kDefinitionChunk, ++seq)
    t.insert(definition_key(number, static_cast<uint16_t>(seq)), definition.substr(at, kDefinitionChunk));
  t.insert(collation_key(number), collation_.encode());
  t.insert(counters_key(number, kKindData), counter_data(0, 0));
  for (size_t k = 0; k < declaration().keys.size(); ++k)
    if (!declaration().keys[k].dynamic_index())
      t.insert(counters_key(number, key_kind(declaration(), static_cast<int>(k))), counter_data(0, 0));
  return kOk;
}

void BdxTable::drop_table(uint32_t number) {
  RecordTree t = tree();
  std::string prefix;
  append_be32(&prefix, number);
  PageRecord r;
  while (t.seek(prefix, false, &r) && has_prefix(r.key(), prefix)) t.erase(r.key());
}

uint32_t BdxTable::counter(uint8_t which) {
  PageRecord r;
  if (!tree().find(counters_key(number_, which), &r)) return 0;
  if (r.data().size() != 8) fail_internal(kFailRecordShape);
  return load_le32(reinterpret_cast<const uint8_t*>(r.data().data()));
}

void BdxTable::add_to_counter(uint8_t which, int32_t delta) {
  RecordTree t = tree();
  std::string key = counters_key(number_, which);
  // The count is changed where it lies: one descent, no copy of the record.
  size_t size = 0;
  if (char* data = t.find_for_change(key, &size)) {
    if (size != 8) fail_internal(kFailRecordShape);
    uint8_t* count = reinterpret_cast<uint8_t*>(data);
    store_le32(count, load_le32(count) + static_cast<uint32_t>(delta));
  } else {
    t.insert(key, counter_data(static_cast<uint32_t>(delta), 0));
  }
}

uint32_t BdxTable::flags() {
  PageRecord r;
  if (!tree().find(counters_key(number_, kKindData), &r) || r.data().size() != 8) fail_internal(kFailRecordShape);
  return load_le32(reinterpret_cast<const uint8_t*>(r.data().data()) + 4);
}

void BdxTable::set_flags(uint32_t value) {
  RecordTree t = tree();
  std::string key = counters_key(number_, kKindData);
  PageRecord r;
  if (!t.find(key, &r) || r.data().size() != 8) fail_internal(kFailRecordShape);
  t.replace(key, counter_data(load_le32(reinterpret_cast<const uint8_t*>(r.data().data())), value));
}

std::string BdxTable::stored_form(const uint8_t* buffer) const {
  std::string s(reinterpret_cast<const char*>(buffer), declaration().record_length);
  if (collation_.oem) record_text_to_oem(declaration(), &s);
  return s;
}

void BdxTable::buffer_form(std::string* s) const {
  if (collation_.oem) record_text_to_ansi(declaration(), s);
}

std::optional<RecordView> BdxTable::find_record(RecordTree& tree, uint32_t record) {
  std::optional<RecordView> r = tree.find_ref(data_key(number_, record));
  if (r && r->data().size() != declaration().record_length) fail_internal(kFailRecordShape);
  return r;
}

bool BdxTable::read_record(uint32_t record, std::string* bytes) {
  RecordTree t = tree();
  std::optional<RecordView> r = find_record(t, record);
  if (r) bytes->assign(r->data());
  return r.has_value();
}

bool BdxTable::load_record(uint32_t record) {
  RecordTree t = tree();
  std::optional<RecordView> r = find_record(t, record);
  if (r) load_buffer(record, r->data());
  return r.has_value();
}

void BdxTable::load_buffer(uint32_t record, std::string_view stored) {
  // Taken first: the bytes may lie in a page that the memos' reads replace.
  current_stored.assign(stored);
  const std::string* b = &current_stored;
  std::string converted;
  if (collation_.oem) {
    converted = current_stored;
    buffer_form(&converted);
    b = &converted;
  }
  std::memcpy(file_->record.data(), b->data(), std::min(b->size(), file_->record.size()));
  current_record = record;
  null_fields.clear();
  if (!skip_memos_once) read_memos(record);
  skip_memos_once = false;
}

void BdxTable::write_memos(uint32_t record) {
  RecordTree t = tree();
  auto& memos = file_->declaration.memos;
  for (size_t m = 0; m < memos.size(); ++m) {
    const MemoBlock& memo = memos[m];
    std::string text = memo.value;
    if (memo.is_blob()) {
      uint8_t length[4];
      store_le32(length, static_cast<uint32_t>(text.size()));
      if (!text.empty()) text.insert(0, reinterpret_cast<const char*>(length), 4);
    } else {
      if (text.size() > memo.size) text.resize(memo.size);
      text.erase(text.find_last_not_of(' ') + 1);
      if (collation_.oem && !(memo.flags & kMemoBinary)) platform::CharToOemBuff(text.data(), text.data(), text.size());
    }
    // A blob's first chunk carries its length ahead of 256 bytes.
    size_t first = memo.is_blob() ? kMemoChunk + 4 : kMemoChunk;
    size_t at = 0;
    for (uint16_t seq = 0; at < text.size(); ++seq) {
      size_t n = seq == 0 ? first : kMemoChunk;
      t.insert(memo_key(number_, record, static_cast<uint8_t>(m), seq), text.substr(at, n));
      at += n;
    }
  }
}

void BdxTable::read_memos(uint32_t record) {
  RecordTree t = tree();
  auto& memos = file_->declaration.memos;
  for (size_t m = 0; m < memos.size(); ++m) {
    MemoBlock& memo = memos[m];
    std::string text;
    PageRecord chunk;
    // The sequence numbers are 16-bit: the last chunk is number 65535.
    for (uint32_t seq = 0;
         seq < kMaxMemoChunks && t.find(memo_key(number_, record, static_cast<uint8_t>(m), static_cast<uint16_t>(seq)), &chunk);
         ++seq)
      text.append(chunk.data());
    if (memo.is_blob() && text.size() >= 4) text.erase(0, 4);
    else if (!memo.is_blob() && collation_.oem && !(memo.flags & kMemoBinary))
      platform::OemToCharBuff(text.data(), text.data(), text.size());
    memo.value = std::move(text);
  }
}

void BdxTable::erase_memos(uint32_t record) {
  RecordTree t = tree();
  std::string prefix = kind_prefix(number_, kKindMemo);
  append_be32(&prefix, record);
  PageRecord r;
  while (t.seek(prefix, false, &r) && has_prefix(r.key(), prefix)) t.erase(r.key());
}

int BdxTable::check_unique(const uint8_t* record, uint32_t number) {
  const auto& keys = declaration().keys;
  RecordTree t = tree();
  for (size_t k = 0; k < keys.size(); ++k) {
    if (keys[k].dynamic_index() || (keys[k].attributes & kKeyDup)) continue;
    std::string key, data;
    if (!make_entry(static_cast<int>(k), record, number, &key, &data)) continue;
    PageRecord found;
    if (t.find(key, &found) && entry_record_number(static_cast<int>(k), found) != number) return kDuplicateKey;
  }
  return kOk;
}

int BdxTable::add(bool with_keys) {
  const uint8_t* buffer = file_->record.data();
  if (int code = check_memo_sizes(declaration())) return code;
  // Uniqueness first, so that a refused record changes nothing at all.
  if (with_keys) {
    int code = check_unique(buffer, 0);
    if (code != kOk) return code;
  }
  uint32_t number = store_->take_number();
  RecordTree t = tree();
  std::string stored = stored_form(buffer);
  if (!t.insert(data_key(number_, number), stored)) fail_internal(kFailTreeShape);
  write_memos(number);
  add_to_counter(kKindData, 1);
  if (with_keys) {
    const auto& keys = declaration().keys;
    for (size_t k = 0; k < keys.size(); ++k) {
      if (keys[k].dynamic_index()) continue;
      std::string key, data;
      if (!make_entry(static_cast<int>(k), buffer, number, &key, &data)) continue;
      if (!t.insert(key, data)) return kDuplicateKey;
      add_to_counter(key_kind(declaration(), static_cast<int>(k)), 1);
    }
  }
  current_record = number;
  current_stored = stored;
  return kOk;
}

int BdxTable::put() {
  std::string old;
  if (current_record == 0 || !read_record(current_record, &old)) return kRecordNotAvailable;
  // After WATCH the stored record must still be the one that was read.
  if ((file_->state & kStateWatched) && old != current_stored) return kRecordChanged;
  if (!lock_for_update(current_record)) return kAccessDenied;
  UpdateLock locked{*this, current_record};
  int code = put_locked(old);
  if (code == kOk) release_record(current_record);  // a PUT ends the hold
  return code;
}

int BdxTable::put_locked(const std::string& old) {
  const uint8_t* buffer = file_->record.data();
  std::string stored = stored_form(buffer);
  // An unchanged record is not written.
  if (stored == old && declaration().memos.empty()) return kOk;
  if (int code = check_memo_sizes(declaration())) return code;
  RecordTree t = tree();
  std::string old_buffer = old;
  buffer_form(&old_buffer);
  // Only the entries that change are written, and only they can meet
  // another record's entry: all are checked before anything is written.
  struct Change {
    size_t key;
    bool had, has;
    std::string old_key, new_key, new_data;
  };
  std::vector<Change> changes;
  const auto& keys = declaration().keys;
  for (size_t k = 0; k < keys.size(); ++k) {
    if (keys[k].dynamic_index()) continue;
    auto old_bytes = reinterpret_cast<const uint8_t*>(old_buffer.data());
    if (same_key_fields(declaration(), keys[k], old_bytes, buffer)) continue;
    int key = static_cast<int>(k);
    Change c{k, false, false, {}, {}, {}};
    std::string old_data;
    c.had = make_entry(key, old_bytes, current_record, &c.old_key, &old_data);
    c.has = make_entry(key, buffer, current_record, &c.new_key, &c.new_data);
    if (c.had == c.has && (!c.had || c.old_key == c.new_key)) continue;
    if (c.has && !(keys[k].attributes & kKeyDup) && t.find_ref(c.new_key)) return kDuplicateKey;
    changes.push_back(std::move(c));
  }
  for (Change& c : changes) {
    if (c.had) t.erase(c.old_key);
    if (c.has && !t.insert(c.new_key, c.new_data)) return kDuplicateKey;
    if (c.had != c.has) add_to_counter(key_kind(declaration(), static_cast<int>(c.key)), c.has ? 1 : -1);
  }
  if (stored != old) t.replace(data_key(number_, current_record), stored);
  if (!declaration().memos.empty()) {
    erase_memos(current_record);
    write_memos(current_record);
  }
  current_stored = stored;
  return kOk;
}

int BdxTable::remove() {
  std::string old;
  if (current_record == 0 || !read_record(current_record, &old)) return kRecordNotAvailable;
  if (!lock_for_update(current_record)) return kAccessDenied;
  UpdateLock locked{*this, current_record};
  std::string old_buffer = old;
  buffer_form(&old_buffer);
  RecordTree t = tree();
  const auto& keys = declaration().keys;
  for (size_t k = 0; k < keys.size(); ++k) {
    if (keys[k].dynamic_index()) continue;
    std::string key, data;
    if (!make_entry(static_cast<int>(k), reinterpret_cast<const uint8_t*>(old_buffer.data()), current_record, &key, &data))
      continue;
    if (t.erase(key)) add_to_counter(key_kind(declaration(), static_cast<int>(k)), -1);
  }
  t.erase(data_key(number_, current_record));
  if (!declaration().memos.empty()) erase_memos(current_record);
  add_to_counter(kKindData, -1);
  release_record(current_record);
  current_record = 0;
  return kOk;
}

int BdxTable::empty() {
  uint32_t kept_flags = flags();
  RecordTree t = tree();
  const auto& keys = declaration().keys;
  std::vector<std::string> prefixes{kind_prefix(number_, kKindData), kind_prefix(number_, kKindMemo)};
  for (size_t k = 0; k < keys.size(); ++k)
    if (!keys[k].dynamic_index()) prefixes.push_back(key_prefix(static_cast<int>(k)));
  for (const std::string& prefix : prefixes) {
    PageRecord r;
    while (t.seek(prefix, false, &r) && has_prefix(r.key(), prefix)) t.erase(r.key());
  }
  t.replace(counters_key(number_, kKindData), counter_data(0, kept_flags));
  for (size_t k = 0; k < keys.size(); ++k)
    if (!keys[k].dynamic_index())
      t.replace(counters_key(number_, key_kind(declaration(), static_cast<int>(k))), counter_data(0, 0));
  indexes_.clear();
  current_record = 0;
  return kOk;
}

}  // namespace vrt::data
