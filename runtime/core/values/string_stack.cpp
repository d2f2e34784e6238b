#include "runtime/core/values/string_stack.h"

#include <cstring>
#include <utility>

#include "runtime/core/base/fatal_error.h"
#include "runtime/core/values/number_text.h"
#include "runtime/core/values/value.h"

namespace vrt::core {

namespace {
constexpr int kStringStackErrorBase = 500;
constexpr const char* kStringStackErrorText = "String Stack Error";
}  // namespace

void string_stack_error(StringStackError error) {
  fatal_runtime_error(kStringStackErrorBase + static_cast<int>(error), kStringStackErrorText);
}

StringStack& string_stack() {
  thread_local StringStack stack;
  return stack;
}

void StringStack::clear() {
  while (count_ > 0) entries_[--count_] = StringStackEntry{};
}

StringStackEntry* StringStack::push_entry() {
  if (count_ == kCapacity) return nullptr;  // a full stack ignores the push
  StringStackEntry* e = &entries_[count_++];
  *e = StringStackEntry{};
  return e;
}

StringStackEntry* StringStack::top_entry() {
  if (count_ == 0) {
    string_stack_error(StringStackError::kEmpty);
    return nullptr;
  }
  return &entries_[count_ - 1];
}

void StringStack::push_long(int32_t value) {
  if (StringStackEntry* e = push_entry()) {
    e->kind = kStringInline;
    e->length = static_cast<int64_t>(long_to_text(value, e->room));
  }
}

void StringStack::push_borrowed(const char* text) {
  if (StringStackEntry* e = push_entry()) {
    e->kind = kStringBorrowed;
    e->text = text ? text : "";
  }
}

void StringStack::push_owned(std::string text) {
  if (StringStackEntry* e = push_entry()) {
    e->kind = kStringOwned;
    e->length = static_cast<int64_t>(text.size());
    e->owned = std::move(text);
  }
}

void StringStack::push_text(std::string_view text) {
  if (text.size() > kRoom) {
    push_owned(std::string(text));
    return;
  }
  if (StringStackEntry* e = push_entry()) {
    e->kind = kStringInline;
    std::memcpy(e->room, text.data(), text.size());
    e->length = static_cast<int64_t>(text.size());
  }
}

void StringStack::push_real(double value) {
  if (StringStackEntry* e = push_entry()) {
    e->kind = kStringReal;
    e->real = value;
  }
}

void StringStack::push_unsigned(uint32_t value) {
  if (StringStackEntry* e = push_entry()) {
    e->kind = kStringUnsigned;
    e->unsigned_value = value;
  }
}

void StringStack::push_value(const Value* value) {
  if (StringStackEntry* e = push_entry()) {
    e->kind = kStringValue;
    e->value = value;
  }
}

// Converts a pending value to text and measures a borrowed text.
std::string_view StringStack::text_of(StringStackEntry& e) {
  switch (e.kind) {
    case kStringReal:
      e.owned = real_to_text(e.real);
      e.length = static_cast<int64_t>(e.owned.size());
      e.kind = kStringReal | kStringOwned;
      break;
    case kStringUnsigned:
      e.length = static_cast<int64_t>(long_to_text(e.unsigned_value, e.room));
      e.kind = kStringUnsigned | kStringInline;
      break;
    case kStringValue:
      e.owned = e.value ? e.value->get_text() : std::string();
      e.length = static_cast<int64_t>(e.owned.size());
      e.kind = kStringValue | kStringOwned;
      break;
    case kStringBorrowed:
      if (e.length < 0) e.length = static_cast<int64_t>(std::strlen(e.text));
      return std::string_view(e.text, static_cast<size_t>(e.length));
    default:
      break;
  }
  const char* base = (e.kind & kStringOwned) ? e.owned.data() : e.room;
  return std::string_view(base, static_cast<size_t>(e.length));
}

std::string_view StringStack::top() {
  StringStackEntry* e = top_entry();
  return e ? text_of(*e) : std::string_view();
}

void StringStack::drop() {
  if (top_entry()) entries_[--count_] = StringStackEntry{};
}

void StringStack::pop_to_field(char* field, size_t length) {
  StringStackEntry* e = top_entry();
  if (!e) {
    std::memset(field, ' ', length);
    return;
  }
  std::string_view t = text_of(*e);
  size_t n = t.size() < length ? t.size() : length;
  std::memcpy(field, t.data(), n);
  std::memset(field + n, ' ', length - n);
  entries_[--count_] = StringStackEntry{};
}

std::string StringStack::pop_string() {
  StringStackEntry* e = top_entry();
  if (!e) return std::string();
  std::string_view t = text_of(*e);
  std::string result;
  if (e->kind & kStringOwned) {
    e->owned.resize(t.size());  // clip may have shortened it
    result = std::move(e->owned);
  } else {
    result = std::string(t);
  }
  entries_[--count_] = StringStackEntry{};
  return result;
}

void StringStack::clip() {
  StringStackEntry* e = top_entry();
  if (!e) return;
  std::string_view t = text_of(*e);
  size_t n = t.size();
  while (n > 0 && t[n - 1] == ' ') --n;
  e->length = static_cast<int64_t>(n);
}

std::unique_ptr<StringStackSnapshot> StringStack::snapshot() {
  auto saved = std::make_unique<StringStackSnapshot>();
  for (int i = 0; i < count_; ++i) saved->entries_[i] = std::move(entries_[i]);
  saved->count_ = count_;
  clear();
  return saved;
}

void StringStack::restore(std::unique_ptr<StringStackSnapshot> saved) {
  clear();
  if (!saved) return;
  for (int i = 0; i < saved->count_; ++i) entries_[i] = std::move(saved->entries_[i]);
  count_ = saved->count_;
}

}  // namespace vrt::core
