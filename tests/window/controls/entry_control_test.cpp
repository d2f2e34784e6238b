// Entry controls with pictures: the display and editing forms, typing in a
// date mask, and every rule of leaving an entry (check, rejection, store in
// the variable's type, pending checks, the parent's notice); spin boxes'
// arrows.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "runtime/core/pictures/entry_check.h"
#include "runtime/core/values/dates.h"
#include "runtime/core/values/value.h"
#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/window/controls/control_binding.h"
#include "runtime/window/controls/entry_control.h"
#include "runtime/window/controls/focus_checks.h"
#include "runtime/window/controls/spin_arrows.h"
#include "runtime/window/loop/event_posting.h"
#include "tests/window/window_test_fixture.h"

namespace vrt::window {
namespace {

using namespace vrt::platform;
using Events = std::vector<std::pair<uint16_t, int32_t>>;

constexpr const char* kModule = "vrttest$entry01";
enum Field { kName = 1, kCount = 2, kDate = 3, kTime = 4, kPattern = 5, kAmount = 6, kSpin = 7, kPlain = 8, kCancel = 9 };

class EntryControls : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    Open(w);
    std::memset(name, ' ', sizeof name);
    std::memset(pattern, ' ', sizeof pattern);
    std::memset(amount, 0, sizeof amount);
    ASSERT_TRUE(Bind(w, kName, name));
    ASSERT_TRUE(Bind(w, kCount, &count));
    ASSERT_TRUE(Bind(w, kDate, date));
    ASSERT_TRUE(Bind(w, kTime, time));
    ASSERT_TRUE(Bind(w, kPattern, pattern));
    ASSERT_TRUE(Bind(w, kAmount, amount));
    ASSERT_TRUE(Bind(w, kSpin, &spin));
    events();  // the opening's
  }

  // The events other than focus changes, up to now.
  Events events() {
    PostEvent(w, event::Completed);
    Events seen;
    pump(w, [&] {
      if (w.event == event::Completed && w.field == 0) return true;
      if (w.event != event::GainFocus && w.event != event::LoseFocus && w.event != event::Selected)
        seen.emplace_back(w.event, w.field);
      return false;
    }, 50);
    return seen;
  }
  HWND entry(int field) { return w.control(field)->hwnd(); }
  EntryControl& control(int field) { return *static_cast<EntryControl*>(w.control(field)); }
  void type(int field, const std::string& text) {
    SetFocus(entry(field));
    for (char c : text) SendMessage(entry(field), WM_CHAR, static_cast<unsigned char>(c), 0);
  }
  void leave(int to = kPlain) { SetFocus(entry(to)); }
  int32_t value_of(core::TypeCode type, uint8_t* data, uint32_t size = 0, uint8_t places = 0) {
    return core::make_value(type, data, size, places)->get_long();
  }

  WindowObject w{kModule, "P1$ENTRYFORM", WindowKind::Ordinary};
  char name[20];
  int32_t count = 7;
  uint8_t date[4] = {}, time[4] = {};
  char pattern[11];
  uint8_t amount[6];
  int32_t spin = 3;
};

TEST_F(EntryControls, ShowsTheDisplayFormAndOnFocusTheMaskSelected) {
  core::make_value(core::TypeCode::DATE, date)->set_long(core::date_from_ymd(1999, 5, 4));
  Display(w);
  EXPECT_EQ(GetWindowText(entry(kDate)), "5/04/1999");  // through D2, without its padding
  SetFocus(entry(kDate));
  EXPECT_EQ(GetWindowText(entry(kDate)), " 5/04/1999");  // the mask Mm/dd/yyyy
  uint32_t from = 1, to = 0;
  SendMessage(entry(kDate), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(from, 0u);
  EXPECT_EQ(to, 10u);
  leave();
  EXPECT_EQ(GetWindowText(entry(kDate)), "5/04/1999");
  EXPECT_TRUE(events().empty());  // nothing typed: nothing stored or reported
  EXPECT_TRUE(GetWindowLongPtr(entry(kCount), GWL_STYLE) & ES_RIGHT);
  EXPECT_FALSE(GetWindowLongPtr(entry(kName), GWL_STYLE) & ES_RIGHT);
}

TEST_F(EntryControls, TypingIntoTheDateMaskStoresTheDate) {
  type(kDate, "12311999");  // over the whole selection: the places fill, the slashes stay
  EXPECT_EQ(GetWindowText(entry(kDate)), "12/31/1999");
  leave();
  EXPECT_EQ(value_of(core::TypeCode::DATE, date), core::date_from_ymd(1999, 12, 31));
  EXPECT_EQ(events(), (Events{{event::Accepted, kDate}}));
  EXPECT_EQ(GetWindowText(entry(kDate)), "12/31/1999");
  // Backspace blanks the place before the caret, over the literal.
  SetFocus(entry(kDate));
  SendMessage(entry(kDate), EM_SETSEL, 3, 3);
  SendMessage(entry(kDate), WM_CHAR, '\b', 0);
  EXPECT_EQ(GetWindowText(entry(kDate)), "1 /31/1999");
}

TEST_F(EntryControls, ARejectedTextStaysTheVariableKeepsItsValueAndRejectedCarriesTheCode) {
  type(kCount, "12x");
  leave();
  EXPECT_EQ(events(), (Events{{event::Rejected, kCount}}));
  EXPECT_EQ(control(kCount).rejection(), core::kReasonNumberCharacter);
  EXPECT_EQ(count, 7);
  EXPECT_EQ(GetWindowText(entry(kCount)), "12x");
  // Back in it, the text is still the user's; mended, it is taken.
  SetFocus(entry(kCount));
  EXPECT_EQ(GetWindowText(entry(kCount)), "12x");
  SendMessage(entry(kCount), EM_SETSEL, 3, 3);
  SendMessage(entry(kCount), WM_CHAR, '\b', 0);
  leave();
  EXPECT_EQ(count, 12);
  EXPECT_EQ(control(kCount).rejection(), 0);
  EXPECT_EQ(events(), (Events{{event::Accepted, kCount}}));
}

TEST_F(EntryControls, APatternRejectsALetterAndABlankDigitStoresZero) {
  type(kPattern, "123-4A-6789");
  leave();
  EXPECT_EQ(events(), (Events{{event::Rejected, kPattern}}));
  EXPECT_EQ(control(kPattern).rejection(), core::kReasonPatternDigit);
  EXPECT_EQ(std::string(pattern, 11), std::string(11, ' '));
  SetFocus(entry(kPattern));
  SetWindowText(entry(kPattern), "");
  type(kPattern, "123-45-678 ");
  leave();
  EXPECT_EQ(events(), (Events{{event::Accepted, kPattern}}));
  EXPECT_EQ(std::string(pattern, 11), "123456780  ");
}

TEST_F(EntryControls, TheValueIsStoredInTheVariablesType) {
  type(kAmount, "-1,234.56");
  type(kTime, "");
  SendMessage(entry(kTime), EM_SETSEL, 0, -1);
  for (char c : std::string("0530pm")) SendMessage(entry(kTime), WM_CHAR, static_cast<unsigned char>(c), 0);
  type(kName, "Smith");
  leave();
  EXPECT_EQ(core::make_value(core::TypeCode::DECIMAL, amount, 6, 2)->get_text(), "-1234.56");
  EXPECT_EQ(value_of(core::TypeCode::TIME, time), core::time_from_parts(17, 30, 0, 0));
  EXPECT_EQ(std::string(name, 20), "Smith" + std::string(15, ' '));
  EXPECT_EQ(events(), (Events{{event::Accepted, kAmount}, {event::Accepted, kTime}, {event::Accepted, kName}}));
  EXPECT_EQ(GetWindowText(entry(kAmount)), "-  1,234.56");  // the picture's sign stands at its place
  EXPECT_EQ(GetWindowText(entry(kTime)), "5:30PM");
}

TEST_F(EntryControls, AnUnmodifiedCheckedEntryIsNeitherCheckedNorStoredAgain) {
  type(kCount, "42");
  leave();
  EXPECT_EQ(count, 42);
  EXPECT_EQ(events(), (Events{{event::Accepted, kCount}}));
  count = 5;  // behind the window's back: a store would put 42 back
  SetFocus(entry(kCount));
  leave();
  EXPECT_EQ(count, 5);
  EXPECT_TRUE(events().empty());
  // Text the program puts in directly is not checked yet: gaining the
  // focus keeps it, leaving checks it.
  SetWindowText(entry(kCount), "abc");
  SetFocus(entry(kCount));
  EXPECT_EQ(GetWindowText(entry(kCount)), "abc");
  leave();
  EXPECT_EQ(events(), (Events{{event::Rejected, kCount}}));
  EXPECT_EQ(count, 5);
}

TEST_F(EntryControls, SuppressedFocusChangesLeaveTheCheckPending) {
  type(kCount, "oops");
  {
    SuppressFocusChecks quiet;
    leave();
  }
  EXPECT_TRUE(events().empty());
  EXPECT_TRUE(control(kCount).check_pending());
  EXPECT_EQ(count, 7);
  // Accept-all mode takes the pending check: it fails on the entry.
  EXPECT_FALSE(control(kCount).value_passes_check());
  EXPECT_EQ(control(kCount).rejection(), core::kReasonNumberCharacter);
}

TEST_F(EntryControls, AControlThatNeedsNoCheckLeavesItPending) {
  w.control(kCancel)->needs_no_check = true;
  type(kCount, "oops");
  SetFocus(w.control(kCancel)->hwnd());
  EXPECT_TRUE(events().empty());
  EXPECT_TRUE(control(kCount).check_pending());
  EXPECT_EQ(GetWindowText(entry(kCount)), "oops");
  // Leaving for any other control checks it.
  SetFocus(entry(kCount));
  leave();
  EXPECT_EQ(events(), (Events{{event::Rejected, kCount}}));
  EXPECT_FALSE(control(kCount).check_pending());
}

TEST_F(EntryControls, AWindowThatTakesRejectionsGetsThemInsteadOfTheEvent) {
  std::vector<std::pair<int32_t, uint16_t>> taken;
  w.take_rejection = [&](Control& c, uint16_t reason) { taken.emplace_back(c.field(), reason); };
  type(kDate, "13");
  leave();
  EXPECT_TRUE(events().empty());
  ASSERT_EQ(taken.size(), 1u);
  EXPECT_EQ(taken[0], (std::pair<int32_t, uint16_t>{kDate, core::kReasonDateIncomplete}));
}

std::vector<std::pair<UINT, WPARAM>> g_parent_heard;
WNDPROC g_parent_proc = nullptr;
LRESULT listening_parent(HWND h, UINT m, WPARAM wp, LPARAM lp) {
  if (m == kQueryEditDone) g_parent_heard.emplace_back(m, wp);
  return CallWindowProc(g_parent_proc, h, m, wp, lp);
}

TEST_F(EntryControls, TheParentHearsEditingIsDoneWhenTheEntryAsksForIt) {
  g_parent_heard.clear();
  g_parent_proc = reinterpret_cast<WNDPROC>(SetWindowLongPtr(w.hwnd, GWLP_WNDPROC, reinterpret_cast<intptr_t>(&listening_parent)));
  type(kName, "A");
  leave();
  EXPECT_TRUE(g_parent_heard.empty());  // not asked
  control(kName).tells_edit_done = true;
  type(kName, "B");
  leave();
  type(kCount, "x");  // a rejection is no end of editing
  leave(kName);
  SetWindowLongPtr(w.hwnd, GWLP_WNDPROC, reinterpret_cast<intptr_t>(g_parent_proc));
  EXPECT_EQ(g_parent_heard, (std::vector<std::pair<UINT, WPARAM>>{{kQueryEditDone, kName}}));
}

TEST_F(EntryControls, SpinArrowsStepTheNumberAndReportANewSelection) {
  HWND arrows = spin_arrows_of(*w.control(kSpin));
  ASSERT_NE(arrows, nullptr);
  EXPECT_TRUE(IsWindowVisible(arrows));
  RECT box = GetClientRect(arrows);
  SendMessage(arrows, WM_LBUTTONDOWN, 0, MAKELPARAM(box.right / 2, 1));
  SendMessage(arrows, WM_LBUTTONDOWN, 0, MAKELPARAM(box.right / 2, 1));
  EXPECT_EQ(spin, 5);
  EXPECT_EQ(GetWindowText(entry(kSpin)), "5");
  SendMessage(arrows, WM_LBUTTONDOWN, 0, MAKELPARAM(box.right / 2, box.bottom - 1));
  EXPECT_EQ(spin, 4);
  EXPECT_EQ(events(), (Events{{event::NewSelection, kSpin}, {event::NewSelection, kSpin}, {event::NewSelection, kSpin}}));
  // What was typed is taken before the step.
  type(kSpin, "");
  SendMessage(entry(kSpin), EM_SETSEL, 0, -1);
  SendMessage(entry(kSpin), WM_CHAR, '9', 0);
  SendMessage(arrows, WM_LBUTTONDOWN, 0, MAKELPARAM(box.right / 2, 1));
  EXPECT_EQ(spin, 10);
  EXPECT_EQ(spin_arrows_of(*w.control(kCount)), nullptr);
}

}  // namespace
}  // namespace vrt::window
