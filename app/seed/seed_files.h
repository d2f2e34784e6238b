// `marlock --seed DIR`: writes all eight data files with a realistic sample
// data set through the driver, the same on every run. Refuses to write over
// a data file that is already there.
#pragma once
#include <cstdint>
#include <string>

namespace marlock {

struct SeedSizes {
  uint32_t customers = 1000;  // each with 1 to 5 goods
  uint32_t students = 300;
  uint32_t teachers = 20;
  uint32_t classes = 120;
  uint32_t members = 500;
  uint32_t people = 300;
  uint32_t accounts = 3000;
};

// Creates the folder when needed and writes the files into it. On failure
// returns false with *message saying what went wrong; files written before
// the failure stay, so that the message's file can be looked at.
bool seed_data_folder(const std::string& folder, const SeedSizes& sizes, std::string* message);

}  // namespace marlock
