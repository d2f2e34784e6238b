// Message texts by number: the program's overrides first, then the
// runtime's own table, then "Unknown Error Posted : <number>".
#pragma once
#include <string>

namespace vrt::core {

// Message numbers with a meaning of their own.
inline constexpr int kMessageUnknownError = 81;
inline constexpr int kMessageFirstButton = 32512;  // ZORBUTTON item k overrides 32512 + k

std::string message_text(int number);

// Copies the text into buffer (at most size - 1 characters and a zero);
// returns the characters copied.
size_t message_text(int number, char* buffer, size_t size);

// Adds or replaces the override of a message.
void store_message_override(int number, const std::string& text);
// The override of a message, or null.
const std::string* find_message_override(int number);
// Every override, newest first, for listings.
template <typename F>
void for_each_message_override(F&& f);
void clear_message_overrides();

namespace detail {
struct Override {
  Override* link;
  int number;
  std::string text;
};
Override* override_list_head();
}  // namespace detail

template <typename F>
void for_each_message_override(F&& f) {
  for (auto* o = detail::override_list_head(); o; o = o->link) f(o->number, o->text);
}

}  // namespace vrt::core
