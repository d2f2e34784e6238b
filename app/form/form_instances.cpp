#include "app/form/form_instances.h"

namespace marlock {

namespace {

// In the order of FileId.
const std::vector<FormInstance>& instances() {
  static const std::vector<FormInstance> table = {
      {FileId::Customer, "marlock$marlo026", "Customer", 0,
       {"CUS:CUSID", "CUS:NAME", "CUS:FIRSTDATE", "CUS:FIRSTTIME", "CUS:SUBURB", "CUS:PHONE", "CUS:EMAIL", "CUS:WEBSITE"},
       false},
      {FileId::Goods, "marlock$marlo025", "Goods", -1, {"GOD:CUSID", "GOD:GOODS"}, false},
      {FileId::Students, "marlock$marlo027", "Students", 0,
       {"STU:NUMBER", "STU:FIRSTNAME", "STU:LASTNAME", "STU:ADDRESS", "STU:ADDRESS2", "STU:CITY", "STU:STATE", "STU:ZIP",
        "STU:TELEPHONE", "STU:GRADYEAR"},
       false},
      {FileId::Teachers, "marlock$marlo028", "Teachers", 0,
       {"TEA:NUMBER", "TEA:FIRSTNAME", "TEA:LASTNAME", "TEA:ADDRESS", "TEA:CITY", "TEA:STATE", "TEA:ZIP", "TEA:TELEPHONE"},
       false},
      {FileId::Classes, "marlock$marlo029", "Classes", 0, {"CLA:CLASSNUMBER", "CLA:ROOMNUMBER", "CLA:SCHEDULEDTIME"}, false},
      {FileId::Members, "marlock$marlo030", "Members", 0,
       {"MEM:MEMBERNUMBER", "MEM:LASTNAME", "MEM:FIRSTNAME", "MEM:MIDDLENAME", "MEM:ADDRESS", "MEM:ADDRESS2", "MEM:CITY",
        "MEM:STATE", "MEM:ZIPCODE", "MEM:DATEJOIN", "MEM:ACTIVE", "MEM:MEMBERTYPE"},
       false},
      {FileId::People, "marlock$marlo031", "People", 0,
       {"PEO:NAME", "PEO:ADDRESS", "PEO:CITY_STATE", "PEO:ZIPCODE", "PEO:PHONE"}, true},
      {FileId::Accounts, "marlock$marlo032", "Accounts", -1, {"ACC:DATE", "ACC:AMOUNT"}, false},
  };
  return table;
}

}  // namespace

const FormInstance& form_instance(FileId file) { return instances()[static_cast<size_t>(file)]; }

}  // namespace marlock
