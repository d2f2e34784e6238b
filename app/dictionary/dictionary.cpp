#include "app/dictionary/dictionary.h"

#include <cctype>
#include <cstdlib>
#include <cstdio>

#include "runtime/data/bdx/bdx_driver.h"
#include "runtime/data/postgres/postgres_driver.h"
#include "runtime/platform/os/profile.h"
#include "runtime/data/bdx/table_name.h"
#include "runtime/data/driver/declaration_text.h"

namespace marlock {

namespace {

// Every key carries NOCASE; keys without DUP make their values unique.
std::vector<FileSpec> make_dictionary() {
  return {
      {"Customer",
       "CUSTOMER FILE,DRIVER('BRINDLEX'),PRE(CUS),THREAD",
       {{"CUS:BYNAME KEY(+CUS:NAME),OPT,NOCASE", "CUS:ByName"},
        {"CUS:BYEMAIL KEY(+CUS:EMAIL),DUP,OPT,NOCASE", "CUS:ByEmail"},
        {"CUS:BYPHONE KEY(+CUS:PHONE),DUP,OPT,NOCASE", "CUS:ByPhone"},
        {"CUS:BYSUBURB KEY(+CUS:SUBURB),DUP,OPT,NOCASE", "CUS:BySuburb"},
        {"CUS:BYID KEY(+CUS:CUSID),PRIMARY,OPT,NOCASE", "CUS:ByID"}},
       {{"CUS:CUSID", "LONG", "@n-14", "CusID"},
        {"CUS:NAME", "STRING(20)", "@s20", "Name"},
        {"CUS:FIRSTDATE", "LONG", "@D18B", "First Date"},
        {"CUS:FIRSTTIME", "LONG", "@T8B", "First Time"},
        {"CUS:SUBURB", "STRING(20)", "@s20", "Suburb"},
        {"CUS:PHONE", "STRING(20)", "@s20", "Phone"},
        {"CUS:EMAIL", "STRING(100)", "@s100", "Email"},
        {"CUS:WEBSITE", "STRING(200)", "@s200", "Web Site"}}},
      {"Goods",
       "GOODS FILE,DRIVER('BRINDLEX'),PRE(GOD),CREATE,THREAD",
       {{"GOD:BYID KEY(+GOD:CUSID,+GOD:GOODS),DUP,OPT,NOCASE", ""}},
       {{"GOD:CUSID", "LONG", "@n-14", "Cus ID"}, {"GOD:GOODS", "STRING(20)", "@s20", "Goods"}}},
      {"Students",
       "STUDENTS FILE,DRIVER('BRINDLEX'),PRE(STU),CREATE,THREAD",
       {{"STU:KEYSTUDENTNUMBER KEY(+STU:NUMBER),PRIMARY,OPT,NOCASE", "by Student Number"},
        {"STU:MAJORKEY KEY(+STU:MAJOR,+STU:LASTNAME,+STU:FIRSTNAME),DUP,OPT,NOCASE", "by Major"},
        {"STU:KEYLASTNAME KEY(+STU:LASTNAME),DUP,NOCASE", "by Last Name"},
        {"STU:KEYGRADYEAR KEY(-STU:GRADYEAR,+STU:LASTNAME,+STU:FIRSTNAME),DUP,OPT,NOCASE", "by Grad Year"},
        {"STU:DYNOKEY INDEX(),DUP,NOCASE", ""}},
       {{"STU:NUMBER", "LONG", "@P###-##-####P", "Number"},
        {"STU:FIRSTNAME", "STRING(20)", "@S20", "First Name"},
        {"STU:LASTNAME", "STRING(20)", "@S20", "Last Name"},
        {"STU:ADDRESS", "STRING(20)", "@S20", "Address"},
        {"STU:ADDRESS2", "STRING(20)", "@s20", "Address 2"},
        {"STU:CITY", "STRING(20)", "@S20", "City"},
        {"STU:STATE", "STRING(2)", "@S2", "State"},
        {"STU:ZIP", "LONG", "@n05", "Zip"},
        {"STU:TELEPHONE", "STRING(12)", "@s12", "Telephone"},
        {"STU:MAJOR", "LONG", "", ""},
        {"STU:GRADYEAR", "LONG", "@n4", "Grad Year"}}},
      {"Teachers",
       "TEACHERS FILE,DRIVER('BRINDLEX'),PRE(TEA),CREATE,THREAD",
       {{"TEA:KEYTEACHERNUMBER KEY(+TEA:NUMBER),PRIMARY,OPT,NOCASE", "by Teacher Number"},
        {"TEA:KEYLASTNAME KEY(+TEA:LASTNAME),DUP,NOCASE", "by Last Name"},
        {"TEA:KEYDEPARTMENT KEY(+TEA:DEPARTMENT),DUP,OPT,NOCASE", "by Department"}},
       {{"TEA:NUMBER", "LONG", "@P###-##-####P", "Number"},
        {"TEA:FIRSTNAME", "STRING(20)", "@S20", "First Name"},
        {"TEA:LASTNAME", "STRING(20)", "@S20", "Last Name"},
        {"TEA:ADDRESS", "STRING(20)", "@S20", "Address"},
        {"TEA:CITY", "STRING(20)", "@S20", "City"},
        {"TEA:STATE", "STRING(2)", "@S2", "State"},
        {"TEA:ZIP", "LONG", "@n05", "Zip"},
        {"TEA:TELEPHONE", "STRING(12)", "@s12", "Telephone"},
        {"TEA:DEPARTMENT", "LONG", "", ""}}},
      {"Classes",
       "CLASSES FILE,DRIVER('BRINDLEX'),PRE(CLA),CREATE,THREAD",
       {{"CLA:KEYCLASSNUMBER KEY(+CLA:CLASSNUMBER),PRIMARY,OPT,NOCASE", "by Class Number"},
        {"CLA:KEYCOURSENUMBER KEY(+CLA:COURSENUMBER,+CLA:CLASSNUMBER),DUP,NOCASE", ""},
        {"CLA:KEYTEACHERNUMBER KEY(+CLA:TEACHERNUMBER),DUP,NOCASE", ""}},
       {{"CLA:CLASSNUMBER", "LONG", "@P##-#####P", "Class Number"},
        {"CLA:COURSENUMBER", "LONG", "", ""},
        {"CLA:TEACHERNUMBER", "LONG", "", ""},
        {"CLA:ROOMNUMBER", "LONG", "@n4", "Room Number"},
        {"CLA:SCHEDULEDTIME", "STRING(20)", "@s20", "Scheduled Time"}}},
      {"MEMBERS",
       "MEMBERS FILE,DRIVER('BRINDLEX'),NAME('MEMBERS.BDX'),PRE(MEM),CREATE,THREAD",
       {{"MEM:MEMBERNUMBERKEY KEY(+MEM:MEMBERNUMBER),OPT,NOCASE", "MEM:MEMBERNUMBERKEY"},
        {"MEM:NAMEKEY KEY(+MEM:LASTNAME,+MEM:FIRSTNAME),DUP,NOCASE", "MEM:NAMEKEY"},
        {"MEM:ZIPCODEKEY KEY(+MEM:ZIPCODE),DUP,NOCASE", "MEM:ZIPCODEKEY"}},
       {{"MEM:MEMBERNUMBER", "LONG", "@n-13", "MEMBERNUMBER"},
        {"MEM:LASTNAME", "STRING(25)", "@s25", "LASTNAME"},
        {"MEM:FIRSTNAME", "STRING(20)", "@s20", "FIRSTNAME"},
        {"MEM:MIDDLENAME", "STRING(1)", "@s1", "MIDDLENAME"},
        {"MEM:ADDRESS", "STRING(40)", "@s40", "ADDRESS"},
        {"MEM:ADDRESS2", "STRING(40)", "@s40", "ADDRESS2"},
        {"MEM:CITY", "STRING(25)", "@s25", "CITY"},
        {"MEM:STATE", "STRING(2)", "@s2", "STATE"},
        {"MEM:ZIPCODE", "STRING(10)", "@s10", "ZIPCODE"},
        {"MEM:DATEJOIN", "LONG", "@n-13", "DATEJOIN"},
        {"MEM:ACTIVE", "BYTE", "@n3", "ACTIVE"},
        {"MEM:MEMBERTYPE", "STRING(15)", "@s15", "MEMBERTYPE"}}},
      {"PEOPLE",
       "PEOPLE FILE,DRIVER('BRINDLEX'),PRE(PEO),CREATE,RECLAIM,THREAD",
       {{"PEO:IDKEY KEY(+PEO:ID),PRIMARY,OPT,NOCASE", "PEO:IDKey"},
        {"PEO:NAME_KEY KEY(+PEO:NAME),DUP,OPT,NOCASE", "PEO:NAME_KEY"},
        {"PEO:CS_KEY KEY(+PEO:CITY_STATE,+PEO:NAME),DUP,OPT,NOCASE", "PEO:CS_KEY"},
        {"PEO:ZIP_KEY KEY(+PEO:ZIPCODE,+PEO:NAME),DUP,OPT,NOCASE", "PEO:ZIP_KEY"}},
       {{"PEO:ID", "LONG", "", ""},
        {"PEO:NAME", "STRING(25)", "@s10", "NAME"},
        {"PEO:ADDRESS", "STRING(25)", "@s25", "ADDRESS"},
        {"PEO:CITY_STATE", "STRING(25)", "@s25", "CITY/STATE"},
        {"PEO:ZIPCODE", "STRING(10)", "@s10", "ZIPCODE"},
        {"PEO:PHONE", "STRING(13)", "@s13", "PHONE"}}},
      {"ACCOUNTS",
       "ACCOUNTS FILE,DRIVER('BRINDLEX'),PRE(ACC),CREATE,RECLAIM,THREAD",
       {{"ACC:KEYPEO:ID KEY(+ACC:PEO::ID,+ACC:DATE),DUP,OPT,NOCASE", ""}},
       {{"ACC:PEO::ID", "LONG", "", ""},
        {"ACC:DATE", "LONG", "@D2", "Date"},
        {"ACC:AMOUNT", "DECIMAL(9,2)", "@N-11.2", "Amount"}}},
  };
}

}  // namespace

const std::vector<FileSpec>& dictionary() {
  static const std::vector<FileSpec> files = make_dictionary();
  return files;
}

const FileSpec& file_spec(FileId id) { return dictionary()[static_cast<size_t>(id)]; }

std::string declaration_text(const FileSpec& spec) {
  std::string text = std::string(spec.file_line) + "\n";
  for (const KeySpec& k : spec.keys) text += std::string(k.declaration) + "\n";
  text += "RECORD\n";
  for (const FieldSpec& f : spec.fields) text += std::string(f.label) + " " + f.type + "\n";
  return text + "END\nEND\n";
}

namespace {

// The drivers a file can be switched to in the profile, without rebuilding
// the program: section "Vorthal Drivers", the file's label as the key and
// the driver's name as the value (CUSTOMER=POSTGRESQL), or "*" for every
// file; a file not named there keeps the driver of its declaration.
struct DriverChoice {
  const char* name;
  void (*make)(vrt::data::FileBlock&, vrt::data::FileDeclaration);
};
constexpr DriverChoice kDrivers[] = {
    {vrt::data::kBdxDriverName, vrt::data::make_bdx_file_block},
    {vrt::data::kPostgresDriverName, vrt::data::make_postgres_file_block},
};
constexpr const char* kDriverSection = "Vorthal Drivers";

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

std::string chosen_driver(const std::string& label, const std::string& declared) {
  std::string any = vrt::platform::GetProfileString(kDriverSection, "*", declared);
  return upper(vrt::platform::GetProfileString(kDriverSection, label, any));
}

void make_file_block(vrt::data::FileBlock& file, FileId id, const std::string& folder) {
  vrt::data::FileDeclaration declaration;
  std::string message;
  // The declarations are the program's own: one that does not parse is a
  // fault of the build, found by the first test that opens a file.
  if (!vrt::data::parse_declaration(declaration_text(file_spec(id)), &declaration, &message)) {
    std::fprintf(stderr, "marlock: the declaration of %s: %s\n", file_spec(id).label, message.c_str());
    std::abort();
  }
  if (!folder.empty()) declaration.name = folder + "/" + (declaration.name.empty() ? declaration.label : declaration.name);
  declaration.driver = chosen_driver(declaration.label, declaration.driver);
  for (const DriverChoice& d : kDrivers)
    if (declaration.driver == d.name) return d.make(file, std::move(declaration));
  // A driver the program does not have: the file block has no driver entry,
  // so every statement on it posts 80 "Unsupported File Driver Function".
  file.driver_entry = nullptr;
  file.declaration = std::move(declaration);
  file.attach();
}

std::string disk_name(FileId id) {
  vrt::data::FileBlock file;
  make_file_block(file, id);
  std::string name = file.declaration.name.empty() ? file.declaration.label : file.declaration.name;
  return vrt::data::split_table_name(name).file;
}

}  // namespace marlock
