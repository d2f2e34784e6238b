// The preview's two small dialogs: the jump window ("P22$JUMPWINDOW") asks
// for one page, the select window ("P23$SELECTWINDOW") for the number of
// pages across and down. Each runs its own ACCEPT loop on the caller's
// thread.
#pragma once
#include <string>

namespace vrt::report {

// The page chosen (within 1 .. total), or 0 when the user cancelled.
int ask_page_to_jump_to(const std::string& module, int current, int total);

// True with the new values when the user chose OK.
bool ask_pages_displayed(const std::string& module, int& across, int& down);

}  // namespace vrt::report
