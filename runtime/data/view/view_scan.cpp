#include "runtime/data/view/view_scan.h"

#include <cfloat>
#include <cstring>

#include "runtime/core/base/error_state.h"
#include "runtime/core/base/settings.h"
#include "runtime/core/text/text_functions.h"
#include "runtime/core/values/value.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/view/field_binding.h"
#include "runtime/data/driver/statements.h"

namespace vrt::data {

namespace {

bool is_text(uint8_t type) {
  using core::TypeCode;
  return type == static_cast<uint8_t>(TypeCode::STRING) || type == static_cast<uint8_t>(TypeCode::CSTRING) ||
         type == static_cast<uint8_t>(TypeCode::PSTRING) || type == static_cast<uint8_t>(TypeCode::GROUP);
}

bool is_integer(uint8_t type) {
  using core::TypeCode;
  return type == static_cast<uint8_t>(TypeCode::BYTE) || type == static_cast<uint8_t>(TypeCode::SHORT) ||
         type == static_cast<uint8_t>(TypeCode::USHORT) || type == static_cast<uint8_t>(TypeCode::LONG) ||
         type == static_cast<uint8_t>(TypeCode::ULONG) || type == static_cast<uint8_t>(TypeCode::DATE) ||
         type == static_cast<uint8_t>(TypeCode::TIME);
}

// The characters of lowest and highest weight in the runtime's collation.
uint8_t extreme_character(bool lowest) {
  const uint8_t* w = core::settings().collation_ansi;
  int best = lowest ? 0 : 255;
  for (int c = 0; c < 256; ++c)
    if (lowest ? w[c] < w[best] : w[c] > w[best]) best = c;
  return static_cast<uint8_t>(best);
}

}  // namespace

ViewScan::ViewScan(FileBlock& file, int key, const core::Expression* filter, FieldResolver resolve)
    : file_(file), key_(key), filter_(filter), resolve_(std::move(resolve)) {
  const KeyBlock& k = file_.declaration.keys[static_cast<size_t>(key_)];
  nocase_ = k.attributes & kKeyNocase;
  for (int32_t c : k.components) components_.push_back({c < 0 ? -c : c, c < 0, 1});
}

core::ExprValue ViewScan::field_value(int field) const {
  core::ExprValue v = read_field_value(file_, static_cast<size_t>(field - 1));
  // A NOCASE key holds its texts in upper case.
  if (nocase_ && v.type == core::ExprType::String) v.text = core::Upper(v.text);
  return v;
}

void ViewScan::write_value(int field, const core::ExprValue& value) {
  const FieldDescriptor& d = file_.declaration.fields[static_cast<size_t>(field - 1)];
  auto v = core::make_value(static_cast<core::TypeCode>(d.type), file_.record.data() + d.offset, d.size,
                            static_cast<uint8_t>(d.places));
  if (!v) return;
  if (value.type == core::ExprType::String)
    v->set_text(value.text);
  else if (value.type == core::ExprType::Integer && is_integer(d.type))
    v->set_long(static_cast<int32_t>(value.integer));
  else
    v->set_real(value.as_real());
}

void ViewScan::write_extreme(int field, bool first) {
  size_t i = 0;
  while (i < components_.size() && components_[i].field != field) ++i;
  // What the scan meets first is the lowest encoded value when the scan
  // runs up the key: ascending components take their lowest value.
  bool lowest_value = (components_[i].along > 0) == first;
  const FieldDescriptor& d = file_.declaration.fields[static_cast<size_t>(field - 1)];
  uint8_t* p = file_.record.data() + d.offset;
  using core::TypeCode;
  auto type = static_cast<TypeCode>(d.type);
  if (is_text(d.type)) {
    std::memset(p, extreme_character(lowest_value), d.size);
  } else if (type == TypeCode::SHORT || type == TypeCode::LONG) {
    std::memset(p, lowest_value ? 0x00 : 0xFF, d.size);
    p[d.size - 1] = lowest_value ? 0x80 : 0x7F;  // the sign byte of a little-endian integer
  } else if (type == TypeCode::REAL || type == TypeCode::SREAL || type == TypeCode::DECIMAL ||
             type == TypeCode::PDECIMAL) {
    auto v = core::make_value(type, p, d.size, static_cast<uint8_t>(d.places));
    if (type == TypeCode::DECIMAL || type == TypeCode::PDECIMAL)
      v->set_text((lowest_value ? "-" : "") + std::string(d.digits() - d.places, '9'));
    else
      v->set_real(lowest_value ? -FLT_MAX : FLT_MAX);
  } else {
    std::memset(p, lowest_value ? 0x00 : 0xFF, d.size);
  }
}

int ViewScan::place(size_t i) const {
  const ComponentRange& r = ranges_[i];
  const Component& c = components_[i];
  core::ExprValue v = field_value(c.field);
  // In the direction of the scan: the start bound and the stop bound.
  bool low_first = c.along > 0;
  const core::ExprValue& start = low_first ? r.low : r.high;
  const core::ExprValue& stop = low_first ? r.high : r.low;
  bool has_start = low_first ? r.has_low : r.has_high, has_stop = low_first ? r.has_high : r.has_low;
  bool start_in = low_first ? r.low_inclusive : r.high_inclusive;
  bool stop_in = low_first ? r.high_inclusive : r.low_inclusive;
  if (has_start) {
    int cmp = compare_bound_values(v, start) * c.along;
    if (cmp < 0 || (cmp == 0 && !start_in)) return -1;
  }
  if (has_stop) {
    int cmp = compare_bound_values(v, stop) * c.along;
    if (cmp > 0 || (cmp == 0 && !stop_in)) return 1;
  }
  return 0;
}

void ViewScan::set(bool backwards) {
  std::vector<int> fields;
  for (const Component& c : components_) fields.push_back(c.field);
  set_ranges(filter_ && filter_->tree() ? key_ranges(*filter_->tree(), fields, nocase_, resolve_)
                                        : std::vector<ComponentRange>(fields.size()),
             backwards);
}

void ViewScan::reverse() {
  backwards_ = !backwards_;
  for (Component& c : components_) c.along = -c.along;
  ended_ = false;
  last_jump_from_ = 0;
}

void ViewScan::resume(const std::string& position, bool backwards) {
  std::vector<int> fields;
  for (const Component& c : components_) fields.push_back(c.field);
  resume(position,
         filter_ && filter_->tree() ? key_ranges(*filter_->tree(), fields, nocase_, resolve_)
                                    : std::vector<ComponentRange>(fields.size()),
         backwards);
}

void ViewScan::resume(const std::string& position, std::vector<ComponentRange> ranges, bool backwards) {
  set_ranges(std::move(ranges), backwards, false);
  Reset(key(), position);
}

void ViewScan::set_ranges(std::vector<ComponentRange> ranges, bool backwards) {
  set_ranges(std::move(ranges), backwards, true);
}

void ViewScan::set_ranges(std::vector<ComponentRange> ranges, bool backwards, bool reposition) {
  backwards_ = backwards;
  for (Component& c : components_) c.along = (c.descending != backwards) ? -1 : 1;
  ranges_ = std::move(ranges);
  ranges_.resize(components_.size());
  // A NOCASE key holds its texts in upper case; so must the bounds.
  if (nocase_)
    for (ComponentRange& r : ranges_) {
      if (r.low.type == core::ExprType::String) r.low.text = core::Upper(r.low.text);
      if (r.high.type == core::ExprType::String) r.high.text = core::Upper(r.high.text);
    }
  stats_ = {};
  ended_ = false;
  last_jump_from_ = 0;
  if (reposition) position(0, false);
}

// Components before `from` keep the record buffer's values. Without
// `after`, the rest take their start bounds (or the values the scan meets
// first): the first entry that can match. With `after`, component `from`
// keeps its value and the rest take the values the scan meets last: the
// position just past every entry with that value.
void ViewScan::position(size_t from, bool after) {
  for (size_t i = from; i < components_.size(); ++i) {
    const Component& c = components_[i];
    const ComponentRange& r = ranges_[i];
    if (after) {
      if (i > from) write_extreme(c.field, false);
      continue;
    }
    bool has_start = c.along > 0 ? r.has_low : r.has_high;
    if (has_start)
      write_value(c.field, c.along > 0 ? r.low : r.high);
    else
      write_extreme(c.field, true);
  }
  KeyBlock& key = file_.declaration.keys[static_cast<size_t>(key_)];
  Set(key, key);
}

ViewScan::Verdict ViewScan::judge(size_t* component) {
  bool prefix_fixed = true;
  for (size_t i = 0; i < components_.size(); ++i) {
    int p = place(i);
    if (p > 0) {
      // Past the range: with everything before fixed nothing more can come;
      // otherwise the next value of the component before may still match.
      if (prefix_fixed || i == 0) return Verdict::End;
      *component = i - 1;
      return Verdict::Jump;
    }
    if (p < 0) {
      *component = i;
      return i == 0 ? Verdict::Skip : Verdict::Jump;
    }
    prefix_fixed = prefix_fixed && ranges_[i].fixed();
  }
  return Verdict::Admit;
}

bool ViewScan::next() {
  if (ended_) {
    core::post_error(kRecordNotAvailable);
    return false;
  }
  for (;;) {
    if (backwards_)
      Previous(file_);
    else
      Next(file_);
    if (core::error_code() != 0) {
      ended_ = true;
      return false;
    }
    ++stats_.entries_read;
    size_t component = 0;
    switch (judge(&component)) {
      case Verdict::End:
        ended_ = true;
        core::post_error(kRecordNotAvailable);
        return false;
      case Verdict::Skip: continue;
      case Verdict::Jump: {
        // An entry that holds the very values a jump aimed past is read
        // again after the jump; it is passed over rather than jumped from.
        int32_t here = Pointer(file_);
        if (here == last_jump_from_) continue;
        last_jump_from_ = here;
        ++stats_.jumps;
        // Before its range: start the component at its bound. Past it:
        // move on to the next value of the component before.
        position(component, place(component) >= 0);
        continue;
      }
      case Verdict::Admit:
        if (filter_) {
          // A filter that cannot be evaluated ends the scan with 800.
          core::ExprValue v;
          if (!filter_->evaluate(&v)) {
            ended_ = true;
            return false;
          }
          if (!v.truth()) continue;
        }
        ++stats_.rows;
        return true;
    }
  }
}

std::string ViewScan::explain() const {
  const KeyBlock& k = file_.declaration.keys[static_cast<size_t>(key_)];
  std::string s = "key " + k.label + (backwards_ ? " backwards" : "") + "\n";
  for (size_t i = 0; i < components_.size() && i < ranges_.size(); ++i) {
    const ComponentRange& r = ranges_[i];
    s += "  " + file_.declaration.fields[static_cast<size_t>(components_[i].field - 1)].label + ": ";
    if (r.fixed()) {
      s += "= " + r.low.as_text();
    } else {
      if (r.has_low) s += (r.low_inclusive ? ">= " : "> ") + r.low.as_text() + " ";
      if (r.has_high) s += (r.high_inclusive ? "<= " : "< ") + r.high.as_text();
      if (!r.has_low && !r.has_high) s += "any";
    }
    s += "\n";
  }
  return s;
}

}  // namespace vrt::data
