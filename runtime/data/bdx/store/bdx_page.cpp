#include "runtime/data/bdx/store/bdx_page.h"

#include <algorithm>
#include <cstring>

#include "runtime/data/bdx/store/bdx_header.h"
#include "runtime/data/bdx/store/byte_order.h"
#include "runtime/data/bdx/store/page_compression.h"

namespace vrt::data {

static_assert(kMaxStoredPage == kMaxPageUnits * kUnitSize, "a page is at most 59 units");

int compare_keys(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  int c = n ? std::memcmp(a.data(), b.data(), n) : 0;
  if (c != 0) return c;
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

uint32_t Page::size_bound() const {
  uint32_t extra = level > 0 ? 9 : 5;
  return static_cast<uint32_t>(kPageHeaderSize + records.byte_count() + extra * records.size());
}

bool Page::needs_split() const {
  if (records.size() < 2) return false;
  uint32_t bound = size_bound();
  return bound > kSplitBound || (bound > kSplitSoftBound && records.size() > kSplitSoftCount);
}

size_t Page::lower_bound(std::string_view key) const {
  size_t low = 0, high = records.size();
  while (low < high) {
    size_t mid = low + (high - low) / 2;
    if (compare_keys(records[mid].key(), key) < 0) low = mid + 1;
    else high = mid;
  }
  return low;
}

size_t Page::child_for(std::string_view key) const {
  size_t low = 0, high = records.size();  // the first record above key
  while (low < high) {
    size_t mid = low + (high - low) / 2;
    if (compare_keys(key, records[mid].key()) < 0) high = mid;
    else low = mid + 1;
  }
  return low == 0 ? 0 : low - 1;
}

bool encode_page(const Page& page, uint32_t unit, std::vector<uint8_t>* out) {
  if (page.stamp != 0 && page.encoded_stamp == page.stamp && !page.encoded.empty()) {
    *out = page.encoded;
    store_le32(out->data(), static_cast<uint32_t>(unit_offset(unit)));
    return true;
  }
  size_t count = page.records.size();
  size_t head = kPageHeaderSize + (page.level > 0 ? 4 * count : 0);
  // The size bound covers every record's flag, lengths and bytes: the
  // plain page is laid out in a buffer of that size, kept for the next.
  uint32_t bound = page.size_bound();
  static thread_local std::vector<uint8_t> buffer;
  if (buffer.size() < bound) buffer.resize(bound);
  uint8_t* plain = buffer.data();
  uint8_t* at = plain + head;
  for (size_t i = 0; i < count; ++i) {
    RecordView r = page.records[i];
    size_t length = r.bytes.size();
    if (length > kMaxRecordLength) return false;
    size_t shared = 0;
    uint8_t flag = 0xC0;
    if (i > 0) {
      RecordView p = page.records[i - 1];
      size_t limit = std::min({p.bytes.size(), length, kMaxSharedPrefix});
      while (shared < limit && p.bytes[shared] == r.bytes[shared]) ++shared;
      flag = static_cast<uint8_t>((p.bytes.size() != length ? 0x80 : 0) | (p.key_length != r.key_length ? 0x40 : 0));
    }
    *at++ = static_cast<uint8_t>(flag | shared);
    if (flag & 0x80) {
      store_le16(at, static_cast<uint32_t>(length));
      at += 2;
    }
    if (flag & 0x40) {
      store_le16(at, r.key_length);
      at += 2;
    }
    std::memcpy(at, r.bytes.data() + shared, length - shared);
    at += length - shared;
  }
  size_t plain_size = static_cast<size_t>(at - plain);
  if (plain_size > bound || plain_size > 0xFFFF) return false;
  std::memset(plain, 0, head);
  store_le32(plain, static_cast<uint32_t>(unit_offset(unit)));
  store_le16(plain + 6, static_cast<uint32_t>(plain_size));
  store_le16(plain + 8, std::min<uint32_t>(bound, 0xFFFF));
  store_le16(plain + 10, static_cast<uint32_t>(count));
  plain[12] = page.level;
  for (size_t i = 0; i < count && page.level > 0; ++i) store_le32(plain + kPageHeaderSize + 4 * i, page.children[i]);

  auto units = [](size_t n) { return (n + kUnitSize - 1) / kUnitSize; };
  std::vector<uint8_t> packed;
  bool use_packed = compress_body(plain + head, plain_size - head, &packed) &&
                    units(head + packed.size()) < units(plain_size);
  size_t stored = use_packed ? head + packed.size() : plain_size;
  if (units(stored) * kUnitSize > kMaxStoredPage) return false;
  out->resize(units(stored) * kUnitSize);
  std::memcpy(out->data(), plain, head);
  if (use_packed) std::memcpy(out->data() + head, packed.data(), packed.size());
  else std::memcpy(out->data() + head, plain + head, plain_size - head);
  std::memset(out->data() + stored, 0xB0, out->size() - stored);
  store_le16(out->data() + 4, static_cast<uint32_t>(stored));
  if (page.stamp != 0) {
    page.encoded = *out;
    page.encoded_stamp = page.stamp;
  }
  return true;
}

size_t stored_page_size(const uint8_t* bytes, size_t size) {
  if (size < kPageHeaderSize) return 0;
  size_t stored = load_le16(bytes + 4);
  if (stored < kPageHeaderSize || stored > kMaxStoredPage) return 0;
  return stored;
}

namespace {

// Whether b sorts after a, which shares its first `shared` bytes (a prefix
// copied from it): only the bytes past those need comparing, and mostly
// the first of them decides.
bool ascending(std::string_view a, std::string_view b, size_t shared) {
  size_t same = std::min({shared, a.size(), b.size()});
  if (same < a.size() && same < b.size() && a[same] != b[same])
    return static_cast<uint8_t>(a[same]) < static_cast<uint8_t>(b[same]);
  return compare_keys(a.substr(same), b.substr(same)) < 0;
}

// Compares a with b, whose first `from` bytes are known to be equal; *match
// becomes the length of their common prefix.
int compare_from(std::string_view a, std::string_view b, size_t from, size_t* match) {
  size_t n = std::min(a.size(), b.size()), j = from;
  while (j < n && a[j] == b[j]) ++j;
  *match = j;
  if (j < n) return static_cast<uint8_t>(a[j]) < static_cast<uint8_t>(b[j]) ? -1 : 1;
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}
}  // namespace

namespace {

// The records of a stored page read one after another: the header checked,
// a compressed body expanded as far as the records read, each record's flag
// and lengths checked against what is left and against the record before it.
class StoredRecords {
 public:
  PageFault open(const uint8_t* bytes, size_t size, uint32_t unit) {
    size_t stored = stored_page_size(bytes, size);
    if (stored == 0 || stored > size || load_le32(bytes) != unit_offset(unit)) return kPageBadHeader;
    plain_size_ = load_le16(bytes + 6);
    bound = load_le16(bytes + 8);
    count = load_le16(bytes + 10);
    level = bytes[12];
    size_t head = kPageHeaderSize + (level > 0 ? 4 * count : 0);
    if (plain_size_ < head || stored < head || stored > plain_size_ || plain_size_ > bound || count == 0)
      return kPageBadHeader;
    // A plain page is read where it lies; a compressed one from a buffer
    // that is kept for the next page.
    plain_ = bytes;
    ready_ = plain_size_;
    compressed_ = stored < plain_size_;
    if (compressed_) {
      static thread_local std::vector<uint8_t> expanded;
      if (expanded.size() < plain_size_) expanded.resize(plain_size_);
      std::memcpy(expanded.data(), bytes, head);
      body_ = BodyExpander(bytes + head, stored - head, expanded.data() + head, plain_size_ - head);
      plain_ = expanded.data();
      ready_ = head;
    }
    head_ = head;
    pos_ = head;
    return kPageOk;
  }

  uint32_t child(size_t i) const { return load_le32(plain_ + kPageHeaderSize + 4 * i); }

  // The next record: `shared` bytes of the one before (of `previous`
  // bytes), then `own` bytes at `bytes`. With heads_only, only the record's
  // head (its key, and what the next record may share) is expanded: `own`
  // holds `own_ready` bytes until expand_record.
  struct Item {
    size_t shared, record_length, key_length;
    const char* own;
    size_t own_size, own_ready;
  };
  PageFault next(size_t index, size_t previous, Item* item, bool heads_only = false) {
    if (pos_ >= plain_size_) return kPageBadRecords;
    // The rest of the record before, unless it was wanted, is passed over.
    if (pos_ > ready_ && !pass_to(pos_)) return kPageBadBody;
    // The flag and both lengths are at most 5 bytes.
    if (!expand_to(pos_ + 5)) return kPageBadBody;
    uint8_t flag = plain_[pos_++];
    size_t shared = flag & 0x3F;
    if (index == 0 && (flag & 0xC0) != 0xC0) return kPageBadRecords;
    if (flag & 0x80) {
      if (plain_size_ - pos_ < 2) return kPageBadRecords;
      record_length_ = load_le16(plain_ + pos_);
      pos_ += 2;
    }
    if (flag & 0x40) {
      if (plain_size_ - pos_ < 2) return kPageBadRecords;
      key_length_ = load_le16(plain_ + pos_);
      pos_ += 2;
    }
    if (record_length_ > kMaxRecordLength) return kPageRecordTooLong;
    if (key_length_ > record_length_ || shared > record_length_ || shared > previous ||
        (level > 0 && key_length_ != record_length_))
      return kPageBadRecords;
    size_t own = record_length_ - shared;
    if (plain_size_ - pos_ < own) return kPageBadRecords;
    size_t ready = own;
    if (heads_only) ready = std::min(record_length_, std::max(key_length_, kMaxSharedPrefix)) - shared;
    if (!expand_to(pos_ + ready)) return kPageBadBody;
    *item = Item{shared, record_length_, key_length_, reinterpret_cast<const char*>(plain_ + pos_), own, ready};
    pos_ += own;
    return kPageOk;
  }
  // The whole of the record last read.
  bool expand_record() { return expand_to(pos_); }

  // Where the next record starts, for a guide: false when the expansion
  // does not stand exactly there (it went a few bytes on to read a short
  // record's lengths), so that no expanded byte would need keeping.
  bool mark(PageGuide::Mark* m) {
    if (pos_ > ready_ && !pass_to(pos_)) return false;
    if (compressed_ && ready_ != pos_) return false;
    m->pos = static_cast<uint32_t>(pos_);
    m->record_length = static_cast<uint16_t>(record_length_);
    m->key_length = static_cast<uint16_t>(key_length_);
    m->body = body_.state();
    return true;
  }
  void resume(const PageGuide::Mark& m) {
    pos_ = m.pos;
    record_length_ = m.record_length;
    key_length_ = m.key_length;
    if (compressed_) {
      body_.restore(m.body);
      ready_ = pos_;
    }
  }
  bool at_end() const { return pos_ == plain_size_; }

  size_t count = 0, bound = 0;
  uint8_t level = 0;

 private:
  bool expand_to(size_t end, bool write = true) {
    if (end <= ready_) return true;
    if (!body_.expand_to(end - head_, write)) return false;
    ready_ = head_ + body_.expanded();
    return true;
  }
  bool pass_to(size_t end) { return expand_to(end, false); }

  const uint8_t* plain_ = nullptr;
  size_t plain_size_ = 0, pos_ = 0;
  size_t head_ = 0, ready_ = 0;  // header bytes; bytes of plain_ expanded or passed over
  bool compressed_ = false;
  BodyExpander body_;
  size_t record_length_ = 0, key_length_ = 0;  // carried from record to record
};

}  // namespace

PageFault decode_page(const uint8_t* bytes, size_t size, uint32_t unit, Page* page) {
  StoredRecords in;
  if (PageFault f = in.open(bytes, size, unit)) return f;
  Page p;
  p.unit = unit;
  p.level = in.level;
  if (in.level > 0) {
    p.children.resize(in.count);
    for (size_t i = 0; i < in.count; ++i) p.children[i] = in.child(i);
  }
  // The records take at most the page's size bound, less a flag byte each.
  p.records.reserve(in.count, in.bound - std::min(in.bound, 5 * in.count));
  for (size_t i = 0; i < in.count; ++i) {
    StoredRecords::Item item;
    if (PageFault f = in.next(i, i ? p.records.back().bytes.size() : 0, &item)) return f;
    p.records.append_decoded(item.shared, std::string_view(item.own, item.own_size),
                             static_cast<uint16_t>(item.key_length));
    if (i > 0 && !ascending(p.records[i - 1].key(), p.records[i].key(), item.shared)) return kPageOutOfOrder;
  }
  if (!in.at_end()) return kPageBadRecords;
  *page = std::move(p);
  return kPageOk;
}

namespace {
// Keys padded with zeros to 8 bytes compare as their padded forms do, when
// those differ: a key that ends first is below the one it is a prefix of.
uint64_t head_of(std::string_view key) {
  uint64_t head = 0;
  for (size_t i = 0; i < 8; ++i) head = head << 8 | (i < key.size() ? static_cast<uint8_t>(key[i]) : 0);
  return head;
}
}  // namespace

const PageGuide::Mark* PageGuide::last_below(std::string_view key, bool or_equal) const {
  uint64_t head = head_of(key);
  size_t low = 0, high = marks.size();
  while (low < high) {
    size_t mid = low + (high - low) / 2;
    const Mark& m = marks[mid];
    int c = m.key_head != head ? (m.key_head < head ? -1 : 1) : compare_keys(this->key(m), key);
    if (c < 0 || (or_equal && c == 0)) low = mid + 1;
    else high = mid;
  }
  return low > 0 ? &marks[low - 1] : nullptr;
}

namespace {

// The heads of the records of a stored page read one after another (the
// key, and as many bytes as the next record may share), each checked
// against the one before; from the first record or from a guide's mark.
class RecordHeads {
 public:
  PageFault open(const uint8_t* bytes, size_t size, uint32_t unit) { return in.open(bytes, size, unit); }
  void resume(const PageGuide& g, const PageGuide::Mark& m) {
    in.resume(m);
    std::memcpy(before_, g.before(m).data(), m.before_size);
    before_length_ = m.record_length, before_key_ = m.key_length, before_ready_ = m.before_size;
    index = m.index;
  }
  PageFault next() {
    if (PageFault f = in.next(index, before_length_, &item, true)) return f;
    std::memcpy(head_, before_, item.shared);
    std::memcpy(head_ + item.shared, item.own, item.own_ready);
    if (index > 0 && !ascending(before_key(), key(), item.shared)) return kPageOutOfOrder;
    return kPageOk;
  }
  // On from the record just read.
  void step() {
    std::swap(head_, before_);
    before_length_ = item.record_length, before_key_ = item.key_length;
    before_ready_ = item.shared + item.own_ready;
    ++index;
  }
  std::string_view key() const { return std::string_view(head_, item.key_length); }
  std::string_view before_key() const { return std::string_view(before_, before_key_); }
  std::string_view before_head() const { return std::string_view(before_, before_ready_); }
  const char* before() const { return before_; }

  StoredRecords in;
  StoredRecords::Item item{};
  size_t index = 0;

 private:
  // Two buffers of a page's longest record, taking turns.
  static thread_local char buffers_[2][kMaxRecordLength];
  char* head_ = buffers_[0];
  char* before_ = buffers_[1];
  size_t before_length_ = 0, before_key_ = 0, before_ready_ = 0;
};
thread_local char RecordHeads::buffers_[2][kMaxRecordLength];

}  // namespace

PageFault guide_stored_page(const uint8_t* bytes, size_t size, uint32_t unit, PageGuide* guide) {
  guide->marks.clear();
  guide->text.clear();
  RecordHeads r;
  if (PageFault f = r.open(bytes, size, unit)) return f;
  for (; r.index < r.in.count; r.step()) {
    size_t last_index = guide->marks.empty() ? 0 : guide->marks.back().index;
    size_t last_pos = guide->marks.empty() ? 0 : guide->marks.back().pos;
    PageGuide::Mark m;
    bool marked = r.index > last_index && r.in.mark(&m) &&
                  (r.index >= last_index + PageGuide::kStep || m.pos - last_pos >= PageGuide::kBytes);
    if (PageFault f = r.next()) return f;
    if (marked) {
      m.index = static_cast<uint32_t>(r.index);
      m.at = static_cast<uint32_t>(guide->text.size());
      m.before_size = static_cast<uint16_t>(r.before_head().size());
      m.key_size = static_cast<uint16_t>(r.key().size());
      m.key_head = head_of(r.key());
      guide->text.append(r.before_head()).append(r.key());
      guide->marks.push_back(m);
    }
  }
  if (!r.in.expand_record()) return kPageBadBody;
  return r.in.at_end() ? kPageOk : kPageBadRecords;
}

PageFault seek_in_stored_leaf(const uint8_t* bytes, size_t size, uint32_t unit, std::string_view key,
                              bool strictly, PageRecord* out, bool* found, const PageGuide* guide) {
  *found = false;
  RecordHeads r;
  if (PageFault f = r.open(bytes, size, unit)) return f;
  if (r.in.level != 0) return kPageNotLeaf;
  // The records before the last mark below the key are below it too.
  if (const PageGuide::Mark* m = guide ? guide->last_below(key, strictly) : nullptr) r.resume(*guide, *m);
  // The record before is not above the key and has its first `match` bytes
  // in common with it. A record that copies more than those bytes from it
  // is below the key too, and is passed over without comparing.
  size_t start = r.index, match = 0;
  for (; r.index < r.in.count; r.step()) {
    if (PageFault f = r.next()) return f;
    const StoredRecords::Item& item = r.item;
    size_t same = std::min({item.shared, r.before_key().size(), item.key_length});
    int c = r.index > start && same > match ? -1 : compare_from(r.key(), key, std::min(same, match), &match);
    if (c > 0 || (c == 0 && !strictly)) {
      if (!r.in.expand_record()) return kPageBadBody;
      out->key_length = static_cast<uint16_t>(item.key_length);
      out->bytes.assign(r.before(), item.shared);
      out->bytes.append(item.own, item.own_size);
      *found = true;
      return kPageOk;
    }
  }
  return kPageOk;
}

PageFault child_in_stored_index(const uint8_t* bytes, size_t size, uint32_t unit, std::string_view key,
                                const PageGuide* guide, IndexStep* out) {
  RecordHeads r;
  if (PageFault f = r.open(bytes, size, unit)) return f;
  if (r.in.level == 0) return kPageBadRecords;
  out->level = r.in.level;
  // The records before the last mark not above the key are not above it.
  if (const PageGuide::Mark* m = guide ? guide->last_below(key, true) : nullptr) r.resume(*guide, *m);
  // The child is the record before the first above the key (the first
  // record when even it is above); its key is kept, and the next one read.
  out->has_next = false;
  bool have = false;
  for (; r.index < r.in.count; r.step()) {
    if (PageFault f = r.next()) return f;
    if (have) {
      out->next.assign(r.key());
      out->has_next = true;
      break;
    }
    if (compare_keys(r.key(), key) > 0 && r.index > 0) {
      out->next.assign(r.key());
      out->has_next = true;
      break;
    }
    out->index = r.index;
    out->first.assign(r.key());
    // The first record serves even a key below it; the one after bounds it.
    have = r.index == 0 && compare_keys(r.key(), key) > 0;
  }
  out->child = r.in.child(out->index);
  return kPageOk;
}

}  // namespace vrt::data

