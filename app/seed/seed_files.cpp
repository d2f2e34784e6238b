#include "app/seed/seed_files.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "app/dictionary/dictionary.h"
#include "app/dictionary/record_fields.h"
#include "app/seed/sample_values.h"
#include "runtime/core/base/error_state.h"
#include "runtime/data/driver/statements.h"

namespace marlock {

namespace {

using vrt::data::FileBlock;

// Writes `count` records of one file, each filled by `fill`. The records of
// large files are appended and their keys built once at the end, which is
// many times faster than keeping every key on every add.
class FileWriter {
 public:
  FileWriter(const std::string& folder, FileId id, std::string* message) : id_(id), message_(message) {
    make_file_block(file_, id, folder);
  }

  bool write(uint32_t count, bool bulk, const std::function<void(RecordFields&, uint32_t)>& fill) {
    vrt::data::Create(file_);
    if (!ok("creating")) return false;
    vrt::data::Open(file_, vrt::data::kReadWrite | vrt::data::kDenyAll);
    if (!ok("opening")) return false;
    RecordFields record(file_);
    bool progress = bulk && count >= 100000 && isatty(STDERR_FILENO);
    // Under STREAM the records are written by a few large safe updates
    // instead of one durable update each.
    vrt::data::Stream(file_);
    for (uint32_t i = 0; i < count; ++i) {
      record.clear();
      fill(record, i);
      if (bulk)
        vrt::data::Append(file_);
      else
        vrt::data::Add(file_);
      if (!ok("writing")) return false;
      if (progress && i % 10000 == 0)
        std::fprintf(stderr, "\r%s: %u of %u records", file_spec(id_).label, i, count);
    }
    vrt::data::Flush(file_);
    if (!ok("writing")) return false;
    if (bulk) {
      if (progress) std::fprintf(stderr, "\r%s: building the keys          ", file_spec(id_).label);
      vrt::data::Build(file_);
      if (!ok("building the keys of")) return false;
    }
    if (progress) std::fprintf(stderr, "\r%s: %u records                 \n", file_spec(id_).label, count);
    vrt::data::Close(file_);
    return true;
  }

 private:
  bool ok(const char* doing) {
    int code = vrt::core::error_code();
    if (code == 0) return true;
    *message_ = "error " + std::to_string(code) + ": " + vrt::core::error_text() + " " + doing + " " +
               disk_name(id_);
    return false;
  }

  FileId id_;
  std::string* message_;
  FileBlock file_;
};

}  // namespace

bool seed_data_folder(const std::string& folder, const SeedSizes& sizes, std::string* message) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) {
    *message = "cannot make the folder " + folder + ": " + ec.message();
    return false;
  }
  for (int f = 0; f < kFileCount; ++f) {
    std::string name = disk_name(static_cast<FileId>(f));
    if (std::filesystem::exists(std::filesystem::path(folder) / name, ec)) {
      *message = folder + " already holds " + name + "; nothing was written (seed into a new folder)";
      return false;
    }
    // A file kept on a server is in no folder: its driver knows whether it
    // is there, and a seed never replaces it.
    FileBlock existing;
    make_file_block(existing, static_cast<FileId>(f), folder);
    vrt::data::Open(existing, vrt::data::kReadOnly | vrt::data::kDenyNone);
    if (vrt::core::error_code() == 0) {
      vrt::data::Close(existing);
      *message = "the server already holds the table of " + name + "; nothing was written";
      return false;
    }
  }
  SampleValues v;

  // Customers and the goods recorded against each.
  std::vector<uint8_t> goods_per_customer(sizes.customers);
  uint32_t goods = 0;
  for (uint8_t& n : goods_per_customer) goods += n = static_cast<uint8_t>(v.between(1, 5));
  bool ok = FileWriter(folder, FileId::Customer, message).write(sizes.customers, true, [&](RecordFields& r, uint32_t i) {
    std::string name = SampleValues::customer_name(i);
    std::string last = name.substr(0, name.find(','));
    std::string first = name.substr(name.find(',') + 2);
    r.set_long("CUS:CUSID", static_cast<int32_t>(i + 1));
    r.set_string("CUS:NAME", name);
    r.set_long("CUS:FIRSTDATE", v.date(2012, 2026));
    r.set_long("CUS:FIRSTTIME", v.business_time());
    r.set_string("CUS:SUBURB", v.suburb());
    if (v.chance(92)) r.set_string("CUS:PHONE", v.phone());
    if (v.chance(80)) r.set_string("CUS:EMAIL", v.email(first, last));  // some have none: the OPT key leaves them out
    if (v.chance(30)) r.set_string("CUS:WEBSITE", v.website(last));
  });
  uint32_t customer = 0, within = 0;
  ok = ok && FileWriter(folder, FileId::Goods, message).write(goods, true, [&](RecordFields& r, uint32_t) {
    r.set_long("GOD:CUSID", static_cast<int32_t>(customer + 1));
    r.set_string("GOD:GOODS", v.pick(SampleValues::goods()));
    if (++within == goods_per_customer[customer]) {
      ++customer;
      within = 0;
    }
  });

  // Students, teachers and the classes each teacher holds.
  ok = ok && FileWriter(folder, FileId::Students, message).write(sizes.students, false, [&](RecordFields& r, uint32_t i) {
    r.set_long("STU:NUMBER", static_cast<int32_t>(100000000 + i * 3331 % 900000000));
    r.set_string("STU:FIRSTNAME", v.first_name());
    r.set_string("STU:LASTNAME", v.last_name());
    r.set_string("STU:ADDRESS", v.street());
    if (v.chance(20)) r.set_string("STU:ADDRESS2", "Apt " + std::to_string(v.between(1, 40)));
    std::string city = v.pick(SampleValues::us_cities());
    r.set_string("STU:CITY", city.substr(0, city.size() - 3));
    r.set_string("STU:STATE", city.substr(city.size() - 2));
    r.set_long("STU:ZIP", v.between(10000, 99950));
    r.set_string("STU:TELEPHONE", v.us_phone(false));
    r.set_long("STU:MAJOR", v.between(1, 8));
    r.set_long("STU:GRADYEAR", v.between(2025, 2030));
  });
  std::vector<int32_t> teacher_numbers;
  ok = ok && FileWriter(folder, FileId::Teachers, message).write(sizes.teachers, false, [&](RecordFields& r, uint32_t i) {
    int32_t number = static_cast<int32_t>(200000000 + i * 7717);
    teacher_numbers.push_back(number);
    r.set_long("TEA:NUMBER", number);
    r.set_string("TEA:FIRSTNAME", v.first_name());
    r.set_string("TEA:LASTNAME", v.last_name());
    r.set_string("TEA:ADDRESS", v.street());
    std::string city = v.pick(SampleValues::us_cities());
    r.set_string("TEA:CITY", city.substr(0, city.size() - 3));
    r.set_string("TEA:STATE", city.substr(city.size() - 2));
    r.set_long("TEA:ZIP", v.between(10000, 99950));
    r.set_string("TEA:TELEPHONE", v.us_phone(false));
    r.set_long("TEA:DEPARTMENT", v.between(1, 6));
  });
  static const std::vector<const char*> days = {"Mon Wed", "Tue Thu", "Mon Wed Fri", "Fri", "Sat"};
  ok = ok && FileWriter(folder, FileId::Classes, message).write(sizes.classes, false, [&](RecordFields& r, uint32_t i) {
    r.set_long("CLA:CLASSNUMBER", static_cast<int32_t>(1000001 + i * 13));
    r.set_long("CLA:COURSENUMBER", v.between(100, 499));
    if (!teacher_numbers.empty()) r.set_long("CLA:TEACHERNUMBER", teacher_numbers[i % teacher_numbers.size()]);
    r.set_long("CLA:ROOMNUMBER", v.between(101, 450));
    r.set_string("CLA:SCHEDULEDTIME", std::string(v.pick(days)) + " " + std::to_string(v.between(8, 16)) + ":00");
  });

  // Members of the organisation.
  static const std::vector<const char*> kinds = {"Regular", "Family", "Student", "Life", "Honorary"};
  ok = ok && FileWriter(folder, FileId::Members, message).write(sizes.members, false, [&](RecordFields& r, uint32_t i) {
    r.set_long("MEM:MEMBERNUMBER", static_cast<int32_t>(5001 + i));
    r.set_string("MEM:LASTNAME", v.last_name());
    r.set_string("MEM:FIRSTNAME", v.first_name());
    r.set_string("MEM:MIDDLENAME", std::string(1, static_cast<char>('A' + v.below(26))));
    r.set_string("MEM:ADDRESS", v.street());
    if (v.chance(15)) r.set_string("MEM:ADDRESS2", "Unit " + std::to_string(v.between(1, 30)));
    std::string city = v.pick(SampleValues::us_cities());
    r.set_string("MEM:CITY", city.substr(0, city.size() - 3));
    r.set_string("MEM:STATE", city.substr(city.size() - 2));
    r.set_string("MEM:ZIPCODE", std::to_string(v.between(10000, 99950)));
    r.set_long("MEM:DATEJOIN", v.date(1995, 2026));
    r.set_byte("MEM:ACTIVE", v.chance(85) ? 1 : 0);
    r.set_string("MEM:MEMBERTYPE", v.pick(kinds));
  });

  // People and the account entries booked against each.
  ok = ok && FileWriter(folder, FileId::People, message).write(sizes.people, false, [&](RecordFields& r, uint32_t i) {
    r.set_long("PEO:ID", static_cast<int32_t>(i + 1));
    r.set_string("PEO:NAME", std::string(v.first_name()) + " " + v.last_name());
    r.set_string("PEO:ADDRESS", v.street());
    std::string city = v.pick(SampleValues::us_cities());
    r.set_string("PEO:CITY_STATE", city.substr(0, city.size() - 3) + ", " + city.substr(city.size() - 2));
    r.set_string("PEO:ZIPCODE", std::to_string(v.between(10000, 99950)));
    r.set_string("PEO:PHONE", v.us_phone(true));
  });
  ok = ok && FileWriter(folder, FileId::Accounts, message).write(sizes.accounts, false, [&](RecordFields& r, uint32_t) {
    r.set_long("ACC:PEO::ID", v.between(1, static_cast<int32_t>(std::max<uint32_t>(sizes.people, 1))));
    r.set_long("ACC:DATE", v.date(2020, 2026));
    int32_t cents = v.chance(70) ? -v.between(500, 250000) : v.between(1000, 900000);
    char amount[32];
    std::snprintf(amount, sizeof amount, "%s%d.%02d", cents < 0 ? "-" : "", std::abs(cents) / 100, std::abs(cents) % 100);
    r.set_decimal("ACC:AMOUNT", amount);
  });
  return ok;
}

}  // namespace marlock
