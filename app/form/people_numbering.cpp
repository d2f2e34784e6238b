#include "app/form/people_numbering.h"

#include <climits>
#include <cstdint>
#include <vector>

#include "app/dictionary/record_fields.h"
#include "app/integrity/warnings.h"
#include "runtime/core/base/error_state.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/driver/statements.h"

namespace marlock {

namespace {

namespace d = vrt::data;

constexpr size_t kIdKey = 0;  // PEO:IDKEY
constexpr const char* kId = "PEO:ID";
constexpr int kAttempts = 3;

}  // namespace

bool add_numbered_person(d::FileBlock& people) {
  const std::vector<uint8_t> primed = people.record;
  int failures = 0;
  for (;;) {
    d::Set(*people.key(kIdKey));
    d::Previous(people);  // the last person by number
    int32_t number = 1;
    bool room = true;  // the last number there is leaves none to take: a failed attempt
    int error = vrt::core::error_code();
    if (error == d::kOk) {
      int32_t last = RecordFields(people).get_long(kId);
      room = last < INT32_MAX;
      if (room) number = last + 1;
    } else if (error != d::kRecordNotAvailable) {
      standard_warning(35, "PEOPLE");
      people.record = primed;
      return false;
    }
    people.record = primed;
    RecordFields(people).set_long(kId, number);
    if (room) {
      d::Add(people);
      if (vrt::core::error_code() == d::kOk) return true;
    }
    if (++failures < kAttempts) continue;
    if (standard_warning(25) != kButtonRetry) {
      people.record = primed;
      return false;
    }
    failures = 0;
  }
}

}  // namespace marlock
