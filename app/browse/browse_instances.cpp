#include "app/browse/browse_instances.h"

namespace marlock {

namespace {

using F = FileId;

const ChildRange kGoodsOfCustomer{F::Customer, "CUS:CUSID", "GOD:CUSID", "BRW2::Sort1:Reset:CUS:CusID"};
const ChildRange kClassesOfTeacher{F::Teachers, "TEA:NUMBER", "CLA:TEACHERNUMBER", "BRW2::Sort1:Reset:TEA:Number"};
const ChildRange kAccountsOfPerson{F::People, "PEO:ID", "ACC:PEO::ID", "BRW2::Sort1:Reset:PEO:ID"};

const std::vector<BrowseSpec>& browses() {
  static const std::vector<BrowseSpec> table = {
      {"Browse Customer", F::Customer, "marlock$marlo002",
       {{0, "CUS:ByName"}, {1, "CUS:ByEmail"}, {2, "CUS:ByPhone"}, {3, "CUS:BySuburb"}, {4, "CUS:ByID"}},
       {"CUS:CUSID", "CUS:NAME", "CUS:FIRSTDATE", "CUS:FIRSTTIME", "CUS:SUBURB", "CUS:PHONE", "CUS:EMAIL",
        "CUS:WEBSITE"},
       nullptr},
      {"Browse Students", F::Students, "marlock$marlo008",
       {{1, "by Major"}, {2, "by Last Name"}, {3, "by Grad Year"}},
       {"STU:NUMBER", "STU:FIRSTNAME", "STU:LASTNAME", "STU:ADDRESS", "STU:ADDRESS2", "STU:CITY", "STU:STATE",
        "STU:ZIP", "STU:TELEPHONE"},
       nullptr},
      {"Browse Teachers", F::Teachers, "marlock$marlo012",
       {{1, "by Last Name"}, {2, "by Department"}},
       {"TEA:NUMBER", "TEA:FIRSTNAME", "TEA:LASTNAME", "TEA:ADDRESS", "TEA:CITY", "TEA:STATE", "TEA:ZIP",
        "TEA:TELEPHONE"},
       nullptr},
      {"Browse Classes", F::Classes, "marlock$marlo015", {{-1, "Record Order"}},
       {"CLA:CLASSNUMBER", "CLA:ROOMNUMBER", "CLA:SCHEDULEDTIME"}, nullptr},
      {"Browse Members", F::Members, "marlock$marlo017",
       {{0, "MEM:MEMBERNUMBERKEY"}, {1, "MEM:NAMEKEY"}, {2, "MEM:ZIPCODEKEY"}},
       {"MEM:MEMBERNUMBER", "MEM:LASTNAME", "MEM:FIRSTNAME", "MEM:MIDDLENAME", "MEM:ADDRESS", "MEM:ADDRESS2",
        "MEM:CITY", "MEM:STATE", "MEM:ZIPCODE"},
       nullptr},
      {"Browse People", F::People, "marlock$marlo021",
       {{1, "PEO:NAME_KEY"}, {2, "PEO:CS_KEY"}, {3, "PEO:ZIP_KEY"}},
       {"PEO:NAME", "PEO:ADDRESS", "PEO:CITY_STATE", "PEO:ZIPCODE", "PEO:PHONE"}, nullptr},
      {"Goods list", F::Goods, "", {{0, "Goods"}}, {"GOD:CUSID", "GOD:GOODS"}, &kGoodsOfCustomer},
      {"Classes list", F::Classes, "", {{2, "Classes"}},
       {"CLA:CLASSNUMBER", "CLA:ROOMNUMBER", "CLA:SCHEDULEDTIME"}, &kClassesOfTeacher},
      {"Accounts list", F::Accounts, "", {{0, "Accounts"}}, {"ACC:DATE", "ACC:AMOUNT"}, &kAccountsOfPerson},
  };
  return table;
}

}  // namespace

const BrowseSpec* browse_spec(const std::string& procedure) {
  for (const BrowseSpec& b : browses())
    if (!b.range && procedure == b.procedure) return &b;
  return nullptr;
}

const BrowseSpec* child_browse_spec(FileId parent) {
  for (const BrowseSpec& b : browses())
    if (b.range && b.range->parent == parent) return &b;
  return nullptr;
}

}  // namespace marlock
