#include "app/frame/menu_actions.h"

#include <iterator>

#include "app/frame/frame_commands.h"

namespace marlock::frame {

namespace {

using A = Action;
using F = FileId;

constexpr MenuAction kActions[] = {
    {101, A::Browse, F::Classes, "", "Browse Classes"},
    {102, A::Browse, F::Customer, "", "Browse Customer"},
    {103, A::Browse, F::Members, "", "Browse Members"},
    {104, A::Browse, F::People, "", "Browse People"},
    {105, A::Browse, F::Students, "", "Browse Students"},
    {106, A::Browse, F::Teachers, "", "Browse Teachers"},
    {201, A::Report, F::Classes, "", "Print the Classes file"},
    {211, A::Report, F::Customer, "CUS:ByName", "Print by CUS:ByName key"},
    {212, A::Report, F::Customer, "CUS:ByEmail", "Print by CUS:ByEmail key"},
    {213, A::Report, F::Customer, "CUS:ByPhone", "Print by CUS:ByPhone key"},
    {214, A::Report, F::Customer, "CUS:BySuburb", "Print by CUS:BySuburb key"},
    {215, A::Report, F::Customer, "CUS:ByID", "Print by CUS:ByID key"},
    {221, A::Report, F::Members, "MEM:MEMBERNUMBERKEY", "Print by MEM:MEMBERNUMBERKEY key"},
    {222, A::Report, F::Members, "MEM:NAMEKEY", "Print by MEM:NAMEKEY key"},
    {223, A::Report, F::Members, "MEM:ZIPCODEKEY", "Print by MEM:ZIPCODEKEY key"},
    {231, A::Report, F::People, "PEO:NAME_KEY", "Print by PEO:NAME_KEY key"},
    {232, A::Report, F::People, "PEO:CS_KEY", "Print by PEO:CS_KEY key"},
    {233, A::Report, F::People, "PEO:ZIP_KEY", "Print by PEO:ZIP_KEY key"},
    {241, A::Report, F::Students, "by Major", "Print by by Major"},
    {242, A::Report, F::Students, "by Last Name", "Print by by Last Name"},
    {243, A::Report, F::Students, "by Grad Year", "Print by by Grad Year"},
    {251, A::Report, F::Teachers, "by Last Name", "Print by by Last Name"},
    {252, A::Report, F::Teachers, "by Department", "Print by by Department"},
    {kProcessItem, A::Process, F::Customer, "", "Process"},
    {kSourceItem, A::TimeStamp, F::Customer, "", "Source"},
    {kLoginItem, A::Login, F::Customer, "", "Login"},
};

}  // namespace

const MenuAction* menu_action(int32_t field) {
  for (const MenuAction& a : kActions)
    if (a.field == field) return &a;
  return nullptr;
}

}  // namespace marlock::frame
