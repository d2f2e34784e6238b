#include "app/report/report_instances.h"

namespace marlock {

namespace {

using F = FileId;

constexpr ReportSpec kReports[] = {
    {211, "marlock$marlo003", F::Customer, 0, "Print the Customer File by CUS:ByName"},
    {212, "marlock$marlo004", F::Customer, 1, "Print the Customer File by CUS:ByEmail"},
    {213, "marlock$marlo005", F::Customer, 2, "Print the Customer File by CUS:ByPhone"},
    {214, "marlock$marlo006", F::Customer, 3, "Print the Customer File by CUS:BySuburb"},
    {215, "marlock$marlo007", F::Customer, 4, "Print the Customer File by CUS:ByID"},
    {241, "marlock$marlo009", F::Students, 1, "Print the Students File by STU:MajorKey"},
    {242, "marlock$marlo010", F::Students, 2, "Print the Students File by STU:KeyLastName"},
    {243, "marlock$marlo011", F::Students, 3, "Print the Students File by STU:KeyGradYear"},
    {251, "marlock$marlo013", F::Teachers, 1, "Print the Teachers File by TEA:KeyLastName"},
    {252, "marlock$marlo014", F::Teachers, 2, "Print the Teachers File by TEA:KeyDepartment"},
    {201, "marlock$marlo016", F::Classes, -1, "Print the Classes File"},
    {221, "marlock$marlo018", F::Members, 0, "Print the Members File by MEM:MEMBERNUMBERKEY"},
    {222, "marlock$marlo019", F::Members, 1, "Print the Members File by MEM:NAMEKEY"},
    {223, "marlock$marlo020", F::Members, 2, "Print the Members File by MEM:ZIPCODEKEY"},
    {231, "marlock$marlo022", F::People, 1, "Print the People File by PEO:NAME_KEY"},
    {232, "marlock$marlo023", F::People, 2, "Print the People File by PEO:CS_KEY"},
    {233, "marlock$marlo024", F::People, 3, "Print the People File by PEO:ZIP_KEY"},
};

}  // namespace

std::span<const ReportSpec> reports() { return kReports; }

const ReportSpec* report_for_menu(int32_t menu_field) {
  for (const ReportSpec& r : kReports)
    if (r.menu_field == menu_field) return &r;
  return nullptr;
}

const ReportSpec* report_for_module(const std::string& module) {
  for (const ReportSpec& r : kReports)
    if (module == r.module) return &r;
  return nullptr;
}

}  // namespace marlock
