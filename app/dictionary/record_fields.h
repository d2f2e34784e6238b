// Reads and writes the fields of a file's record buffer by their labels, in
// the types the dictionary declares (LONG, BYTE, STRING, DECIMAL); or of
// any other buffer of the same layout (a record as it was before editing).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/data/driver/file_block.h"

namespace marlock {

class RecordFields {
 public:
  explicit RecordFields(vrt::data::FileBlock& file) : RecordFields(file.declaration, file.record.data()) {}
  RecordFields(const vrt::data::FileDeclaration& declaration, uint8_t* record)
      : declaration_(declaration), record_(record) {}

  // Blanks every string and zeroes every number, as CLEAR does.
  void clear();
  void set_long(std::string_view label, int32_t value);
  void set_byte(std::string_view label, uint8_t value);
  void set_string(std::string_view label, std::string_view value);  // padded or cut to the field
  // A DECIMAL from its text ("1234.50"), rounded to the field's places.
  void set_decimal(std::string_view label, const std::string& text);

  int32_t get_long(std::string_view label) const;
  uint8_t get_byte(std::string_view label) const;
  std::string get_string(std::string_view label) const;  // without trailing blanks
  std::string get_decimal(std::string_view label) const;  // "1234.5"

 private:
  const vrt::data::FieldDescriptor& field(std::string_view label) const;
  uint8_t* at(const vrt::data::FieldDescriptor& f) const { return record_ + f.offset; }
  const vrt::data::FileDeclaration& declaration_;
  uint8_t* record_;
};

}  // namespace marlock
