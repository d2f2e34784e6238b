#include "runtime/core/base/environment.h"

#include <strings.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "runtime/core/base/error_state.h"
#include "runtime/core/base/message_text.h"
#include "runtime/core/base/settings.h"
#include "runtime/platform/os/codepage.h"
#include "runtime/platform/os/file.h"

namespace vrt::core {

namespace {

enum class Key { CharSet, ColSeq, Case, Month, Mon, AmPm, Digraph, Button, Lfn, Other };

struct KeyName {
  const char* name;
  Key key;
};

constexpr KeyName kKeys[] = {
    {"ZORCHARSET", Key::CharSet}, {"ZORCOLSEQ", Key::ColSeq}, {"ZORCASE", Key::Case},
    {"ZORMONTH", Key::Month},     {"ZORMON", Key::Mon},       {"ZORAMPM", Key::AmPm},
    {"ZORDIGRAPH", Key::Digraph}, {"ZORBUTTON", Key::Button}, {"ZORLFN", Key::Lfn},
};

constexpr size_t kMaxQuotedValue = 400;
constexpr size_t kMaxValueUsed = 395;
constexpr size_t kMaxKey = 31;
constexpr size_t kMaxLineValue = 1024;
constexpr size_t kReadBuffer = 2048;
// More than every key with its longest value and a message override for
// every message number: what lies beyond is no setting.
constexpr uint64_t kMaxEnvironmentFile = 4 << 20;

Key classify(const std::string& key) {
  for (const KeyName& k : kKeys)
    if (strcasecmp(k.name, key.c_str()) == 0) return k.key;
  return Key::Other;
}

bool equals_nocase(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }

void copy_slot(char* slot, size_t capacity, const std::string& text) {
  size_t n = std::min(text.size(), capacity - 1);
  std::memcpy(slot, text.data(), n);
  slot[n] = 0;
}

// --- collation ---------------------------------------------------------

void identity_table(uint8_t* table) {
  for (int c = 0; c < 256; ++c) table[c] = static_cast<uint8_t>(c);
}

void build_collation(uint8_t* table, const std::string& sequence_in) {
  identity_table(table);
  std::string seq;
  bool seen[256] = {};
  for (unsigned char c : sequence_in)
    if (!seen[c]) {
      seen[c] = true;
      seq += static_cast<char>(c);
    }
  if (seq.size() == 222) {
    for (size_t k = 0; k < seq.size(); ++k)
      table[static_cast<uint8_t>(seq[k])] = static_cast<uint8_t>(k < 95 ? 32 + k : 128 + (k - 95));
    return;
  }
  // The listed characters share out their own codes, in ascending order,
  // in the order they are listed.
  std::string codes = seq;
  std::sort(codes.begin(), codes.end(),
            [](char a, char b) { return static_cast<uint8_t>(a) < static_cast<uint8_t>(b); });
  for (size_t k = 0; k < seq.size(); ++k) table[static_cast<uint8_t>(seq[k])] = static_cast<uint8_t>(codes[k]);
}

std::string windows_sequence() {
  // Insertion sort of the codes 32-126 and 128-254 by the system's
  // comparison of one-character strings.
  std::string seq;
  for (int c = 32; c < 255; ++c) {
    if (c == 127) continue;
    uint8_t ch = static_cast<uint8_t>(c);
    size_t at = seq.size();
    while (at > 0 && platform::CompareChar(static_cast<uint8_t>(seq[at - 1]), ch) > 0) --at;
    seq.insert(seq.begin() + static_cast<long>(at), static_cast<char>(ch));
  }
  return seq;
}

std::string convert(const std::string& s, bool to_ansi) {
  std::string out(s.size(), 0);
  if (to_ansi)
    platform::OemToCharBuff(s.data(), out.data(), s.size());
  else
    platform::CharToOemBuff(s.data(), out.data(), s.size());
  return out;
}

void set_collation(const std::string& sequence, bool sequence_is_oem) {
  Settings& s = settings();
  if (sequence_is_oem) {
    build_collation(s.collation_oem, sequence);
    build_collation(s.collation_ansi, convert(sequence, true));
  } else {
    build_collation(s.collation_ansi, sequence);
    build_collation(s.collation_oem, convert(sequence, false));
  }
}

// --- case table --------------------------------------------------------

// A-Z and a-z as partners, the digits as digits, nothing else.
void reset_case_table() {
  Settings& s = settings();
  std::memcpy(s.case_partner, start_settings().case_partner, 256);
  std::memcpy(s.case_kind, start_settings().case_kind, 256);
}

void set_case_pairs(const std::string& upper, const std::string& lower) {
  Settings& s = settings();
  std::memset(s.case_partner + 128, 0, 128);
  std::memset(s.case_kind + 128, 0, 128);
  for (size_t i = 0; i < upper.size() && i < lower.size(); ++i) {
    uint8_t u = static_cast<uint8_t>(upper[i]), l = static_cast<uint8_t>(lower[i]);
    if (u < 128 || l < 128) continue;
    s.case_kind[u] = kCaseUpper;
    s.case_partner[u] = l;
    s.case_kind[l] = kCaseLower;
    s.case_partner[l] = u;
  }
}

void set_case_from_system() {
  std::string upper, lower;
  for (int c = 1; c < 256; ++c) {
    uint8_t ch = static_cast<uint8_t>(c);
    if (platform::IsCharAlpha(ch) && platform::IsCharUpper(ch)) {
      upper += static_cast<char>(ch);
      lower += static_cast<char>(platform::CharLower(ch));
    }
  }
  set_case_pairs(upper, lower);
}

// --- digraphs ----------------------------------------------------------

void set_digraphs(const std::vector<std::string>& items) {
  Settings& s = settings();
  std::memset(s.digraphs, 0, sizeof s.digraphs);
  int n = 0;
  for (const std::string& item : items) {
    size_t start = 0;
    while (start <= item.size() && n < kMaxDigraphs) {
      size_t comma = item.find(',', start);
      std::string group = item.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
      if (group.size() >= 3 && group[0] != 0) {
        for (int i = 0; i < 3; ++i) s.digraphs[n][i] = static_cast<uint8_t>(group[i]);
        ++n;
      }
      if (comma == std::string::npos) break;
      start = comma + 1;
    }
  }
  for (int i = 0; i < kMaxDigraphs; ++i)
    for (int j = 0; j < 4; ++j)
      s.digraphs_oem[i][j] = s.digraphs[i][j] ? platform::ansi_to_oem(s.digraphs[i][j]) : 0;
}

bool parse_message_number(const std::string& key, int* number) {
  if (key.size() <= 6 || strncasecmp(key.c_str(), "ZORMSG", 6) != 0) return false;
  long n = 0;
  for (size_t i = 6; i < key.size(); ++i) {
    if (key[i] < '0' || key[i] > '9') return false;
    n = n * 10 + (key[i] - '0');
    if (n > 0x7FFFFFFF) return false;
  }
  *number = static_cast<int>(n);
  return true;
}

std::string item(const std::vector<std::string>& items, size_t n) { return n < items.size() ? items[n] : ""; }

}  // namespace

std::string quote_environment_value(const std::string& key, const std::string& value) {
  size_t b = value.find_first_not_of(" \t");
  std::string v = b == std::string::npos ? "" : value.substr(b);
  if (!v.empty() && v[0] == '"') return v.substr(0, kMaxQuotedValue);
  Key k = classify(key);
  bool split = k != Key::ColSeq && k != Key::Other;
  if (v.size() > kMaxValueUsed) v.resize(kMaxValueUsed);
  std::string q = "\"";
  for (char c : v) {
    if (c == '"')
      q += "\"\"";
    else if (c == ',' && split)
      q += "\",\"";
    else
      q += c;
  }
  return q + "\"";
}

std::vector<std::string> environment_items(const std::string& quoted) {
  std::vector<std::string> items;
  size_t i = 0;
  while (i < quoted.size()) {
    if (quoted[i] != '"') {  // a bare item runs to the next comma
      size_t comma = quoted.find(',', i);
      items.push_back(quoted.substr(i, comma == std::string::npos ? std::string::npos : comma - i));
      if (comma == std::string::npos) break;
      i = comma + 1;
      continue;
    }
    std::string text;
    ++i;
    while (i < quoted.size()) {
      if (quoted[i] == '"') {
        if (i + 1 < quoted.size() && quoted[i + 1] == '"') {
          text += '"';
          i += 2;
          continue;
        }
        ++i;
        break;
      }
      text += quoted[i++];
    }
    items.push_back(text);
    while (i < quoted.size() && quoted[i] != ',') ++i;  // to the separator
    if (i < quoted.size()) ++i;
  }
  // "" is a value with no items.
  if (items.size() == 1 && items[0].empty() && quoted == "\"\"") items.clear();
  return items;
}

void set_environment_value(const std::string& key, const std::string& value) {
  Settings& s = settings();
  Key k = classify(key);
  std::string quoted = quote_environment_value(key, value);
  if (s.oem_text && k != Key::ColSeq) quoted = convert(quoted, true);
  std::vector<std::string> items = environment_items(quoted);
  std::string first = item(items, 0);

  switch (k) {
    case Key::CharSet: s.oem_text = equals_nocase(first, "OEM"); break;
    case Key::ColSeq:
      if (equals_nocase(first, "WINDOWS"))
        set_collation(windows_sequence(), false);
      else
        set_collation(first, s.oem_text);
      break;
    case Key::Case:
      if (items.empty()) {
        reset_case_table();
      } else {
        std::string upper = item(items, 0), lower = item(items, 1);
        if (equals_nocase(upper, "WINDOWS") || upper.empty() || upper.size() != lower.size() ||
            upper.size() > 128)
          set_case_from_system();
        else
          set_case_pairs(upper, lower);
      }
      break;
    case Key::Month:
      for (size_t m = 0; m < 12 && m < items.size() && !items[m].empty(); ++m)
        copy_slot(s.month_names[m], sizeof s.month_names[m], items[m]);
      break;
    case Key::Mon:
      for (size_t m = 0; m < 12 && m < items.size() && !items[m].empty(); ++m)
        copy_slot(s.month_abbrevs[m], sizeof s.month_abbrevs[m], items[m]);
      break;
    case Key::AmPm:
      if (equals_nocase(first, "WINDOWS")) {
        std::memcpy(s.am_pm, s.windows_am_pm, sizeof s.am_pm);
      } else {
        for (size_t i = 0; i < 2 && i < items.size(); ++i) copy_slot(s.am_pm[i], sizeof s.am_pm[i], items[i]);
      }
      break;
    case Key::Digraph: set_digraphs(items); break;
    case Key::Button:
      for (size_t i = 0; i < items.size(); ++i)
        if (!items[i].empty()) store_message_override(kMessageFirstButton + static_cast<int>(i), items[i]);
      break;
    case Key::Lfn: s.long_file_names = equals_nocase(first, "on"); break;
    case Key::Other: {
      int number;
      if (parse_message_number(key, &number)) store_message_override(number, first);
      break;
    }
  }
}

namespace {

// Reads lines through a fixed buffer, so that a file of any size or shape
// costs the same small amount of memory.
class LineParser {
 public:
  void feed(const char* data, size_t size) {
    for (size_t i = 0; i < size && !ended_; ++i) step(static_cast<uint8_t>(data[i]));
  }
  void finish() {
    if (!ended_) end_line();
    ended_ = true;
  }
  bool ended() const { return ended_; }

 private:
  enum class State { Key, Value, Skip };

  void step(uint8_t c) {
    if (c == 26) {
      finish();
      return;
    }
    if (c == '\r' || c == '\n') {
      end_line();
      return;
    }
    switch (state_) {
      case State::Key:
        if (c == '=') {
          state_ = State::Value;
        } else if (c < 32) {
          key_ended_ = true;
        } else if (c != ' ' && !key_ended_ && key_.size() < kMaxKey) {
          key_ += static_cast<char>(c);
        }
        break;
      case State::Value: value_char(c); break;
      case State::Skip: break;
    }
  }

  // "<nn>" is the character nn, "<<" is "<".
  void value_char(uint8_t c) {
    if (escape_ == Escape::Open) {
      if (c == '<') {
        put('<');
        escape_ = Escape::None;
      } else if (c >= '0' && c <= '9') {
        code_ = c - '0';
        escape_ = Escape::Digits;
      } else {
        put('<');
        escape_ = Escape::None;
        value_char(c);
      }
      return;
    }
    if (escape_ == Escape::Digits) {
      if (c >= '0' && c <= '9') {
        code_ = std::min(code_ * 10 + (c - '0'), 100000);
      } else {  // the character after the digits is consumed
        put(static_cast<char>(code_ & 0xFF));
        escape_ = Escape::None;
      }
      return;
    }
    if (c == '<')
      escape_ = Escape::Open;
    else
      put(static_cast<char>(c));
  }

  void put(char c) {
    if (value_.size() < kMaxLineValue) value_ += c;
  }

  void end_line() {
    if (state_ == State::Value) {
      if (escape_ == Escape::Digits) put(static_cast<char>(code_ & 0xFF));
      if (escape_ == Escape::Open) put('<');
      size_t e = value_.find_last_not_of(" \t");
      value_.resize(e == std::string::npos ? 0 : e + 1);
      if (!key_.empty()) set_environment_value(key_, value_);
    }
    key_.clear();
    value_.clear();
    key_ended_ = false;
    escape_ = Escape::None;
    state_ = State::Key;
  }

  enum class Escape { None, Open, Digits };
  State state_ = State::Key;
  Escape escape_ = Escape::None;
  std::string key_, value_;
  bool key_ended_ = false;
  int code_ = 0;
  bool ended_ = false;
};

}  // namespace

bool load_environment_file(const std::string& name) {
  std::string upper = name;
  for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  if (upper == "WINDOWS") {
    set_environment_value("ZORCOLSEQ", "WINDOWS");
    set_environment_value("ZORCASE", "WINDOWS");
    set_environment_value("ZORAMPM", "WINDOWS");
    return true;
  }
  // Only a regular file is read, and only as much as the settings can use:
  // a device or a pipe named as the environment file would never end.
  std::error_code ec;
  auto file = std::filesystem::is_regular_file(name, ec)
                  ? platform::File::open(name, platform::Access::Read, platform::Share::DenyNone)
                  : nullptr;
  if (!file) {
    post_error(2);
    return false;
  }
  bool oem_before = settings().oem_text;
  LineParser parser;
  char buffer[kReadBuffer];
  uint64_t offset = 0;
  while (!parser.ended() && offset < kMaxEnvironmentFile) {
    int64_t n = file->read_at(offset, buffer, sizeof buffer);
    if (n <= 0) break;
    parser.feed(buffer, static_cast<size_t>(n));
    offset += static_cast<uint64_t>(n);
  }
  parser.finish();
  settings().oem_text = oem_before;
  return true;
}

std::string environment_file_for(const std::string& executable_path) {
  size_t dot = executable_path.rfind('.');
  size_t slash = executable_path.rfind('/');
  // A path whose last "." is in a folder name has no extension to replace.
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return executable_path + ".ENV";
  return executable_path.substr(0, dot) + ".ENV";
}

}  // namespace vrt::core
