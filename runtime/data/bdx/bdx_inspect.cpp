#include "runtime/data/bdx/bdx_inspect.h"

#include <map>
#include <set>

#include "runtime/data/bdx/store/byte_order.h"
#include "runtime/data/bdx/definition_stream.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/bdx/key_encoding.h"
#include "runtime/data/bdx/oem_text.h"
#include "runtime/data/bdx/store/page_store.h"
#include "runtime/data/bdx/store/record_keys.h"
#include "runtime/data/bdx/store/store_operation.h"
#include "runtime/data/bdx/table_name.h"

namespace vrt::data {

namespace {

constexpr size_t kMaxProblems = 200;

const char* fault_text(PageFault f) {
  switch (f) {
    case kPageBadHeader: return "page header does not fit";
    case kPageBadBody: return "body does not decompress to its stated size";
    case kPageBadRecords: return "records do not end at the stated size";
    case kPageRecordTooLong: return "record too long";
    case kPageOutOfOrder: return "keys out of order";
    default: return "";
  }
}

std::string hex(std::string_view s) {
  static const char* d = "0123456789ABCDEF";
  std::string out;
  for (size_t i = 0; i < s.size() && i < 24; ++i) {
    uint8_t b = static_cast<uint8_t>(s[i]);
    out += d[b >> 4];
    out += d[b & 15];
  }
  if (s.size() > 24) out += "...";
  return out;
}

// Walks the tree page by page from the header's root, reading pages
// directly so that damage is reported rather than fatal.
class TreeWalk {
 public:
  TreeWalk(PageStore& store, std::vector<std::string>* problems) : store_(store), problems_(problems) {}

  void run(FileSummary* summary) {
    const BdxHeader& h = store_.header();
    if (h.root != kNoRoot) walk(static_cast<uint32_t>(h.root), -1, std::string(), nullptr, nullptr, 1, summary);
  }
  std::vector<PageRecord> records;

 private:
  void problem(const std::string& text) {
    if (problems_ && problems_->size() < kMaxProblems) problems_->push_back(text);
  }

  bool read(uint32_t unit, Page* page) {
    const BdxHeader& h = store_.header();
    int k = h.class_of(unit);
    if (k == 0) {
      problem("page unit " + std::to_string(unit) + " lies outside every page area");
      return false;
    }
    if ((unit - h.area_start[k]) % static_cast<uint32_t>(k) != 0) {
      problem("page unit " + std::to_string(unit) + " is not on a page boundary of its area");
      return false;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(k) * kUnitSize);
    if (store_.read_plain(store_.file(), unit_offset(unit), bytes.data(), bytes.size()) !=
        static_cast<int64_t>(bytes.size())) {
      problem("page unit " + std::to_string(unit) + " lies past the end of the file");
      return false;
    }
    size_t stored = stored_page_size(bytes.data(), bytes.size());
    if (stored == 0 || (stored + kUnitSize - 1) / kUnitSize != static_cast<size_t>(k)) {
      problem("page unit " + std::to_string(unit) + ": stored size does not match its area");
      return false;
    }
    PageFault f = decode_page(bytes.data(), bytes.size(), unit, page);
    if (f != kPageOk) {
      problem("page unit " + std::to_string(unit) + ": " + fault_text(f));
      return false;
    }
    return true;
  }

  void walk(uint32_t unit, int level, const std::string& low, const std::string* high, const std::string* first,
            uint32_t depth, FileSummary* summary) {
    if (!seen_.insert(unit).second) {
      problem("page unit " + std::to_string(unit) + " is referred to twice");
      return;
    }
    Page p;
    if (!read(unit, &p)) return;
    if (summary) {
      ++summary->pages[store_.header().class_of(unit)];
      summary->levels = std::max(summary->levels, depth);
    }
    std::string where = "page unit " + std::to_string(unit);
    if (level >= 0 && p.level != level) problem(where + ": level " + std::to_string(p.level) + " where " + std::to_string(level) + " belongs");
    if (first && p.records.front().key() != *first) problem(where + ": first key differs from its parent's entry");
    if (compare_keys(p.records.front().key(), low) < 0 ||
        (high && compare_keys(p.records.back().key(), *high) >= 0))
      problem(where + ": keys outside the range its parent gives it");
    if (p.level == 0) {
      for (RecordView r : p.records) records.emplace_back(r);
      return;
    }
    if (depth > 32) {
      problem(where + ": tree too deep");
      return;
    }
    for (size_t i = 0; i < p.records.size(); ++i) {
      std::string sep(p.records[i].key());
      std::string next = i + 1 < p.records.size() ? std::string(p.records[i + 1].key()) : std::string();
      const std::string* upper = i + 1 < p.records.size() ? &next : high;
      walk(p.children[i], p.level - 1, sep, upper, &sep, depth + 1, summary);
    }
  }

  PageStore& store_;
  std::vector<std::string>* problems_;
  std::set<uint32_t> seen_;
};

struct TableRecords {
  std::string name;
  std::string definition;
  std::string collation;
  std::map<uint8_t, std::string> counters;
  std::map<uint32_t, std::string> data;
  std::map<int, std::map<std::string, std::string>> entries;
};

int open_store(const std::string& path, const std::string& owner, std::shared_ptr<PageStore>* store) {
  int error;
  *store = PageStore::open(full_file_name(path), platform::Access::ReadWrite, platform::Share::DenyNone,
                           platform::Disposition::OpenExisting, &error, owner);
  if (!*store && error != kInvalidDataFile)
    *store = PageStore::open(full_file_name(path), platform::Access::Read, platform::Share::DenyNone,
                             platform::Disposition::OpenExisting, &error, owner);
  return *store ? kOk : error;
}

// The header as it is on disk, read while holding a reader slot: a live
// updater keeps every slot while its area is bracketed, so a bracket seen
// here is one a crash left behind.
bool read_settled_header(PageStore& store, BdxHeader* header) {
  std::lock_guard<std::mutex> guard(store.mutex());
  platform::File& file = store.file();
  bool locking = store.protocol() != LockProtocol::None;
  uint32_t slot = store.reader_slot();
  if (locking) take_reader_slot(file, store.writable(), &slot);
  uint8_t bytes[kHeaderSize];
  bool read = store.read_plain(file, 0, bytes, kHeaderSize) == static_cast<int64_t>(kHeaderSize) &&
              decode_header(bytes, kHeaderSize, header);
  if (locking) release_reader_slot(file, slot);
  return read;
}

// Sorts the records of the walk by table.
void gather(const std::vector<PageRecord>& records, std::map<uint32_t, TableRecords>* tables,
            std::vector<std::string>* problems) {
  auto problem = [&](const std::string& t) {
    if (problems && problems->size() < kMaxProblems) problems->push_back(t);
  };
  std::map<uint32_t, std::string> names;
  for (const PageRecord& r : records) {
    std::string_view k = r.key();
    if (!k.empty() && static_cast<uint8_t>(k[0]) == kKindTableName) {
      if (r.data().size() != 4) problem("table name record " + hex(k) + " has no table number");
      else (*tables)[be32_at(r.data(), 0)].name = std::string(k.substr(1));
      continue;
    }
    if (k.size() == 1 && static_cast<uint8_t>(k[0]) == kKindPending) continue;
    if (k.size() < 5) {
      problem("record " + hex(k) + " has a key too short for its kind");
      continue;
    }
    uint32_t t = be32_at(k, 0);
    uint8_t kind = static_cast<uint8_t>(k[4]);
    TableRecords& tr = (*tables)[t];
    if (kind <= kKindLastKey) tr.entries[kind][std::string(k)] = std::string(r.data());
    else if (kind == kKindData && k.size() == 9) tr.data[be32_at(k, 5)] = std::string(r.data());
    else if (kind == kKindCounters && k.size() == 6) tr.counters[static_cast<uint8_t>(k[5])] = std::string(r.data());
    else if (kind == kKindDefinition && k.size() == 7) tr.definition.append(r.data());
    else if (kind == kKindCollation && k.size() == 6) tr.collation = std::string(r.data());
    else if (kind == kKindMemo && k.size() == 12) continue;
    else problem("record " + hex(k) + " is of no known kind");
  }
}

uint32_t counter_value(const TableRecords& t, uint8_t which, bool* present) {
  auto it = t.counters.find(which);
  *present = it != t.counters.end() && it->second.size() == 8;
  return *present ? load_le32(reinterpret_cast<const uint8_t*>(it->second.data())) : 0;
}

void check_table(uint32_t number, const TableRecords& t, const BdxHeader& header, std::vector<std::string>* problems) {
  auto problem = [&](const std::string& text) {
    if (problems->size() < kMaxProblems) problems->push_back(text);
  };
  std::string label = "table " + (t.name.empty() ? std::to_string(number) : t.name);
  if (t.name.empty()) problem(label + ": records of a table that has no name record");
  FileDeclaration d;
  if (!decode_definition(t.definition, &d)) {
    problem(label + ": the stored definition cannot be read");
    return;
  }
  TableCollation collation;
  if (!collation.decode(t.collation)) problem(label + ": collation record missing or damaged");
  uint32_t last = load_be32(header.last_number);
  if (number > last) problem(label + ": table number beyond the header's last number");
  bool present;
  uint32_t count = counter_value(t, kKindData, &present);
  if (!present) problem(label + ": data counters record missing");
  else if (count != t.data.size())
    problem(label + ": data counter says " + std::to_string(count) + ", the table holds " + std::to_string(t.data.size()));
  std::vector<std::map<std::string, std::string>> expected(d.keys.size());
  for (const auto& [record, bytes] : t.data) {
    if (record > last) problem(label + ": record " + std::to_string(record) + " beyond the header's last number");
    if (bytes.size() != d.record_length) {
      problem(label + ": record " + std::to_string(record) + " is not " + std::to_string(d.record_length) + " bytes");
      continue;
    }
    std::string buffer = bytes;
    if (collation.oem) record_text_to_ansi(d, &buffer);
    for (size_t k = 0; k < d.keys.size(); ++k) {
      if (d.keys[k].dynamic_index()) continue;
      std::string key, data;
      if (make_key_entry(d, static_cast<int>(k), number, collation, reinterpret_cast<const uint8_t*>(buffer.data()),
                         record, &key, &data) &&
          !expected[k].emplace(key, data).second)
        problem(label + ": records share the value " + hex(key) + " of unique key " + std::to_string(k + 1));
    }
  }
  for (size_t k = 0; k < d.keys.size(); ++k) {
    std::string key_label = label + " key " + std::to_string(k + 1) + (d.keys[k].label.empty() ? "" : " (" + d.keys[k].label + ")");
    // A dynamic index has no entries of its own in the file.
    if (d.keys[k].dynamic_index()) continue;
    uint8_t kind = key_kind(d, static_cast<int>(k));
    auto found = t.entries.find(kind);
    static const std::map<std::string, std::string> kNone;
    const auto& actual = found == t.entries.end() ? kNone : found->second;
    for (const auto& [key, data] : actual) {
      auto e = expected[k].find(key);
      if (e == expected[k].end()) problem(key_label + ": entry " + hex(key) + " matches no record");
      else if (e->second != data) problem(key_label + ": entry " + hex(key) + " names the wrong record");
    }
    for (const auto& [key, data] : expected[k])
      if (!actual.count(key)) problem(key_label + ": record has no entry " + hex(key));
    uint32_t c = counter_value(t, kind, &present);
    if (!present) problem(key_label + ": counters record missing");
    else if (c != actual.size())
      problem(key_label + ": counter says " + std::to_string(c) + ", the key holds " + std::to_string(actual.size()));
  }
  for (const auto& [kind, entries] : t.entries)
    if (kind >= static_cast<int>(key_kind(d, static_cast<int>(d.keys.size())))) problem(label + ": entries of key " + std::to_string(kind + 1) + " that is not declared");
}

}  // namespace

int summarize_file(const std::string& path, FileSummary* summary, const std::string& owner) {
  std::shared_ptr<PageStore> store;
  int code = open_store(path, owner, &store);
  if (code != kOk) return code;
  std::vector<std::string> problems;
  std::vector<PageRecord> records;
  code = run_on_store(*store, false, [&] {
    *summary = FileSummary{};
    summary->header = store->header();
    summary->file_size = static_cast<uint64_t>(std::max<int64_t>(0, store->file().size()));
    TreeWalk walk(*store, &problems);
    walk.run(summary);
    records = std::move(walk.records);
    return static_cast<int>(kOk);
  });
  if (code != kOk) return code;
  summary->damaged = !problems.empty();
  summary->records = records.size();
  std::map<uint32_t, TableRecords> tables;
  gather(records, &tables, nullptr);
  for (const auto& [number, t] : tables) {
    if (t.name.empty()) continue;
    TableSummary s;
    s.name = t.name;
    s.number = number;
    s.definition_sound = decode_definition(t.definition, &s.declaration);
    bool present;
    s.records = counter_value(t, kKindData, &present);
    summary->tables.push_back(std::move(s));
  }
  return kOk;
}

std::vector<std::string> check_file(const std::string& path, const std::string& owner) {
  std::vector<std::string> problems;
  std::shared_ptr<PageStore> store;
  int code = open_store(path, owner, &store);
  if (code != kOk) return {"the file cannot be opened (error " + std::to_string(code) + ")"};
  // A file of no bytes is an empty BDX file: nothing in it can be wrong.
  if (store->file().size() == 0) return {};
  // Walking the tree would resolve a bracketed area on the way, so the
  // checker reports it instead and leaves the file as the crash left it.
  BdxHeader on_disk;
  if (!read_settled_header(*store, &on_disk)) return {"not a BDX file, or its header is damaged"};
  if (on_disk.committed_end != on_disk.shadow_end)
    return {"an interrupted update is still bracketed (shadow area from offset " +
            std::to_string(on_disk.committed_end) + " to " + std::to_string(on_disk.shadow_end) +
            "); bdx recover resolves it"};
  std::vector<PageRecord> records;
  BdxHeader header;
  code = run_on_store(*store, false, [&] {
    header = store->header();
    int64_t size = store->file().size();
    if (size > 0 && static_cast<uint64_t>(size) < unit_offset(header.units_end()))
      problems.push_back("the file ends inside its page areas");
    if (header.header_size != kHeaderSize) problems.push_back("header size is not 512");
    TreeWalk walk(*store, &problems);
    walk.run(nullptr);
    records = std::move(walk.records);
    return static_cast<int>(kOk);
  });
  if (code != kOk) return {"not a BDX file, or its header is damaged (error " + std::to_string(code) + ")"};
  std::map<uint32_t, TableRecords> tables;
  gather(records, &tables, &problems);
  for (const auto& [number, t] : tables) check_table(number, t, header, &problems);
  return problems;
}

int recover_file(const std::string& path, Recovery* outcome, const std::string& owner) {
  std::shared_ptr<PageStore> store;
  int code = open_store(path, owner, &store);
  if (code != kOk) return code;
  *outcome = Recovery::NothingToDo;
  if (store->file().size() == 0) return kOk;  // an empty BDX file
  BdxHeader on_disk;
  if (!read_settled_header(*store, &on_disk)) return kInvalidDataFile;
  if (on_disk.committed_end == on_disk.shadow_end) return kOk;
  std::lock_guard<std::mutex> guard(store->mutex());
  try {
    // Another opener may resolve the area first; that shows here as a
    // roll-back, and the file is whole either way.
    *outcome = store->recover() ? Recovery::RolledForward : Recovery::RolledBack;
  } catch (const DriverFailure& failure) {
    return failure.code;
  }
  return kOk;
}

int stored_declaration(const std::string& file_name, FileDeclaration* declaration, const std::string& owner) {
  TableAddress a = split_table_name(file_name);
  FileSummary s;
  int code = summarize_file(a.file, &s, owner);
  if (code != kOk) return code;
  // A damaged tree may hide the table or some of its records.
  if (s.damaged) return kInvalidDataFile;
  for (const TableSummary& t : s.tables)
    if (t.name == a.table) {
      if (!t.definition_sound) return kInvalidDataFile;
      *declaration = t.declaration;
      declaration->name = file_name;
      declaration->has_owner = !owner.empty();
      declaration->owner = owner;
      return kOk;
    }
  return kFileNotFound;
}

}  // namespace vrt::data
