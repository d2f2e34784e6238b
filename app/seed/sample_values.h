// Realistic values for the sample data: names, suburbs, streets, phone
// numbers, e-mail addresses, dates and times, drawn from a generator with a
// fixed seed, so that every run writes the same data.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace marlock {

class SampleValues {
 public:
  explicit SampleValues(uint64_t seed = 0x6D61726C6F636Bull) : state_(seed) {}

  uint32_t below(uint32_t n);                 // 0 .. n-1
  int32_t between(int32_t low, int32_t high);  // low .. high
  bool chance(int percent);
  const char* pick(const std::vector<const char*>& from) { return from[below(static_cast<uint32_t>(from.size()))]; }

  const char* first_name() { return pick(first_names()); }
  const char* last_name() { return pick(last_names()); }
  // "Harper, Jane" for customer i of n: every i gives a different name of at
  // most 20 characters, a number after it once the pairs run out.
  static std::string customer_name(uint32_t i);
  std::string street();           // "14 Wattle Street"
  const char* suburb() { return pick(suburbs()); }
  std::string phone();            // "(02) 9514 3377"
  std::string us_phone(bool parentheses);  // "555-214-3377" or "(555)214-3377"
  std::string email(const std::string& first, const std::string& last);
  std::string website(const std::string& last);
  int32_t date(int first_year, int last_year);  // a standard date
  int32_t business_time();                        // a standard time, 8:00 to 17:59

  static const std::vector<const char*>& first_names();
  static const std::vector<const char*>& last_names();
  static const std::vector<const char*>& suburbs();
  static const std::vector<const char*>& goods();
  static const std::vector<const char*>& us_cities();  // "Springfield IL"

 private:
  uint64_t next();
  uint64_t state_;
};

}  // namespace marlock
