// The string stack: the evaluation stack through which compiled code and the
// runtime pass texts (and numbers in text form). At most 32 entries; a push
// onto a full stack is ignored. Each thread has its own, since an expression
// is always evaluated on one thread.
//
// An entry's kind says where its text lives. The low bits are the text's
// storage (0 borrowed, 1 owned, 2 inside the entry); kinds 4, 8 and 16 are
// values not yet in text form, converted on first use, after which the
// storage bit is added (a REAL becomes 5, an unsigned value 10, a value
// object 17).
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vrt::core {

class Value;

enum StringKind : int32_t {
  kStringBorrowed = 0,  // a zero-terminated text the pusher keeps alive
  kStringOwned = 1,     // freed when popped
  kStringInline = 2,    // held in the entry's own room
  kStringReal = 4,      // a REAL; its text is owned once converted
  kStringUnsigned = 8,  // an unsigned 32-bit value; its text fits the room
  kStringValue = 16,    // a borrowed value object; its text is owned once converted
};

// Fatal runtime error 500 + n, extra text "String Stack Error".
enum class StringStackError : int { kUnknownOperator = 1, kEmpty = 2 };
void string_stack_error(StringStackError error);

struct StringStackEntry {
  int32_t kind = kStringBorrowed;
  const char* text = nullptr;
  int64_t length = -1;  // -1: a borrowed text not yet measured
  char room[20] = {};
  std::string owned;
  double real = 0;
  uint32_t unsigned_value = 0;
  const Value* value = nullptr;
};

class StringStackSnapshot;

class StringStack {
 public:
  static constexpr int kCapacity = 32;
  static constexpr size_t kRoom = 20;

  StringStack() = default;
  StringStack(const StringStack&) = delete;
  StringStack& operator=(const StringStack&) = delete;

  int depth() const { return count_; }
  bool full() const { return count_ == kCapacity; }
  // Pops everything, freeing owned texts.
  void clear();

  // The decimal text of a signed 32-bit integer, kind 2.
  void push_long(int32_t value);
  // A zero-terminated text that stays alive until popped, kind 0.
  void push_borrowed(const char* text);
  // Takes the text over, kind 1.
  void push_owned(std::string text);
  // Copies: into the entry's room when it fits (kind 2), else owned.
  void push_text(std::string_view text);
  void push_real(double value);
  void push_unsigned(uint32_t value);
  void push_value(const Value* value);

  // The top text (converted first if needed); empty when the stack is.
  std::string_view top();
  // Copies the top text into a field, padding with blanks or cutting.
  void pop_to_field(char* field, size_t length);
  // The top text as a new string: an owned text is handed over.
  std::string pop_string();
  // Removes trailing blanks of the top text.
  void clip();
  // Drops the top entry.
  void drop();

  // Moves every entry out, leaving the stack empty for a called procedure;
  // restore() throws away what the callee left and puts them back.
  std::unique_ptr<StringStackSnapshot> snapshot();
  void restore(std::unique_ptr<StringStackSnapshot> saved);

 private:
  StringStackEntry* push_entry();
  StringStackEntry* top_entry();
  std::string_view text_of(StringStackEntry& entry);
  StringStackEntry entries_[kCapacity];
  int count_ = 0;
};

class StringStackSnapshot {
 public:
  int depth() const { return count_; }

 private:
  friend class StringStack;
  StringStackEntry entries_[StringStack::kCapacity];
  int count_ = 0;
};

// This thread's string stack.
StringStack& string_stack();

}  // namespace vrt::core
