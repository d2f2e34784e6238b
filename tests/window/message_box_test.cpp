// The message box: its buttons and what each returns, its keys, its text's
// lines, the program's handler, and the icon and cursor codes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "runtime/core/base/message_text.h"
#include "runtime/platform/display/automation.h"
#include "runtime/platform/display/display.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/window/controls/image_codes.h"
#include "runtime/window/message_box.h"
#include "runtime/window/script_runner.h"
#include "runtime/window/script_targets.h"

namespace vrt::window {
namespace {

namespace fs = std::filesystem;

std::string icon_of(std::string_view code) { return platform::icon_name(load_icon_code(code)); }
uintptr_t cursor_of(std::string_view code) { return reinterpret_cast<uintptr_t>(load_cursor_code(code)); }
std::string code(uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
  return {static_cast<char>(a), static_cast<char>(b), static_cast<char>(c), static_cast<char>(d)};
}

TEST(ImageCodes, StandardIconsAndCursorsByNumber) {
  platform::start_display(platform::DisplayKind::Headless);
  EXPECT_EQ(icon_of(code(0xFF, 0x01, 0x02, 0x7F)), "STOP");
  EXPECT_EQ(icon_of(code(0xFF, 0x01, 0x03, 0x7F)), "QUESTION");
  // The exclamation sign, not the information sign one number further.
  EXPECT_EQ(icon_of(code(0xFF, 0x01, 0x04, 0x7F)), "EXCLAMATION");
  EXPECT_EQ(standard_image_code(platform::IDI_EXCLAMATION), code(0xFF, 0x01, 0x04, 0x7F));
  EXPECT_EQ(load_icon_code(code(0xFF, 0x01, 0, 0)), nullptr) << "n = 0 is no icon";
  EXPECT_EQ(load_icon_code(std::string("\xFF\x01", 2)), nullptr) << "a code cut short";
  EXPECT_EQ(load_icon_code(""), nullptr);

  EXPECT_EQ(cursor_of(code(0xFF, 0x01, 0x03, 0x7F)), uintptr_t{platform::IDC_WAIT});
  EXPECT_EQ(cursor_of(code(0xFF, 0x01, 0x81, 0x7F)), uintptr_t{platform::IDC_SIZEALL});
  EXPECT_EQ(cursor_of(code(0xFF, 0x01, 0x82, 0x7F)), uintptr_t{platform::IDC_ARROW});
  EXPECT_EQ(cursor_of(code(0xFF, 0x01, 0, 0)), uintptr_t{0});
  EXPECT_EQ(cursor_of("nothing.cur"), uintptr_t{platform::IDC_ARROW}) << "a cursor that cannot be loaded";
}

TEST(ImageCodes, NamedIconsLinkedIntoTheProgram) {
  EXPECT_EQ(image_resource_name("~copy.ico"), "COPY_ICO");
  EXPECT_EQ(icon_of("~copy.ico"), "COPY.ICO");
  EXPECT_EQ(icon_of("COPY_ICO"), "COPY.ICO");
  EXPECT_EQ(icon_of("copy.ico[0]"), "COPY.ICO");
  EXPECT_EQ(load_icon_code("no-such-file.ico"), nullptr);
}

TEST(MessageButtons, MaskInBitOrderCaptionsInListOrder) {
  core::clear_message_overrides();
  MessageRequest r;
  r.button_mask = kButtonNo | kButtonYes | kButtonCancel;
  std::vector<MessageButton> b = message_buttons(r);
  ASSERT_EQ(b.size(), 3u);
  EXPECT_EQ(b[0].text, "&Yes");
  EXPECT_EQ(b[0].platform_result, 6);
  EXPECT_EQ(b[0].returns, 2);
  EXPECT_EQ(b[1].text, "&No");
  EXPECT_EQ(b[1].returns, 4);
  EXPECT_EQ(b[2].text, "Cancel");
  EXPECT_EQ(b[2].platform_result, 2);

  r.button_captions = "&Yes|Keep it|Cancel";
  b = message_buttons(r);
  ASSERT_EQ(b.size(), 3u);
  EXPECT_EQ(b[0].platform_result, 6) << "a standard caption keeps its number";
  EXPECT_EQ(b[1].platform_result, 9) << "others come after the standard ones";
  EXPECT_EQ(b[2].platform_result, 2);
  EXPECT_EQ(b[1].returns, 2);

  r.button_captions = "1|2|3|4|5|6|7|8|9|10";
  EXPECT_EQ(message_buttons(r).size(), 8u);
}

TEST(MessageButtons, TheEnvironmentRenamesStandardButtons) {
  core::clear_message_overrides();
  core::store_message_override(core::kMessageFirstButton + 1, "&Ja");
  MessageRequest r;
  r.button_mask = kButtonYes | kButtonNo;
  EXPECT_EQ(message_buttons(r)[0].text, "&Ja");
  r.button_captions = "&Ja|Nein";
  EXPECT_EQ(message_buttons(r)[0].platform_result, 6);
  core::clear_message_overrides();
}

class Box : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::start_display(platform::DisplayKind::Headless);
    script_ = fs::temp_directory_path() / ("vrt_message_" + std::to_string(getpid()) + ".script");
  }
  void TearDown() override { fs::remove(script_); }

  // Shows the box on this thread while the script answers it.
  int show(const MessageRequest& r, const std::string& script) {
    std::ofstream(script_) << script;
    ScriptOutcome outcome;
    std::thread user([&] {
      outcome = run_script(script_.string());
      // A failed script leaves the box up: close it so that the test ends.
      if (platform::HWND box = outcome.ok ? nullptr : frontmost_message_box())
        for (platform::HWND c : platform::GetChildren(box))
          if (platform::GetClassName(c) == platform::kButtonClass) platform::automation::click(c);
    });
    EXPECT_TRUE(platform::automation::wait_until([] { return script_running(); }));
    testing::internal::CaptureStderr();
    int result = Message(r);
    testing::internal::GetCapturedStderr();
    user.join();
    EXPECT_TRUE(outcome.ok) << outcome.message;
    return result;
  }
  fs::path script_;
};

MessageRequest yes_no(int default_button) {
  MessageRequest r;
  r.text = "Delete the record?|It cannot be undone.";
  r.caption = "Delete";
  r.icon = std::string("\xFF\x01\x03\x7F", 4);
  r.button_mask = kButtonYes | kButtonNo;
  r.default_button = default_button;
  return r;
}

TEST_F(Box, ReturnsTheBitOfThePressedButton) {
  EXPECT_EQ(show(yes_no(kButtonYes), "expect message \"Delete the record?|It cannot be undone.\"\nanswer \"No\"\n"),
            kButtonNo);
  EXPECT_EQ(show(yes_no(kButtonYes), "wait window \"Delete\"\nanswer \"Yes\"\n"), kButtonYes);
  // Enter presses the button that has the focus first: the default.
  EXPECT_EQ(show(yes_no(kButtonNo), "wait window \"Delete\"\nkey Enter\n"), kButtonNo);
}

TEST_F(Box, ReturnsThePositionOfThePressedCaption) {
  MessageRequest r;
  r.text = "Keep the changes?";
  r.button_captions = "&Yes|Keep editing";
  r.default_button = 2;
  EXPECT_EQ(show(r, "expect message \"Keep the changes?\"\nkey Enter\n"), 2) << "the program's caption has the focus";
  EXPECT_EQ(show(r, "expect message \"Keep the changes?\"\nanswer \"Yes\"\n"), 1);
}

TEST_F(Box, KeysMoveAndPress) {
  MessageRequest r = yes_no(kButtonYes);
  r.button_mask |= kButtonCancel;
  EXPECT_EQ(show(r, "wait window \"Delete\"\nkey Esc\n"), kButtonCancel);
  EXPECT_EQ(show(r, "wait window \"Delete\"\nkey Right\nkey Enter\n"), kButtonNo);
  EXPECT_EQ(show(r, "wait window \"Delete\"\ntype \"{Alt+n}\"\n"), kButtonNo);
  // Without a Cancel button Esc does nothing.
  EXPECT_EQ(show(yes_no(kButtonYes), "wait window \"Delete\"\nkey Esc\nanswer \"No\"\n"), kButtonNo);
}

TEST_F(Box, AWrongTextIsReportedWithTheTextSeen) {
  std::ofstream(script_) << "expect message \"Something else\"\nanswer \"OK\"\n";
  ScriptOutcome outcome;
  std::thread user([&] { outcome = run_script(script_.string()); });
  ASSERT_TRUE(platform::automation::wait_until([] { return script_running(); }));
  std::thread answer([] {
    // The failed script leaves the box up: answer it as a user would.
    platform::HWND box = nullptr;
    platform::automation::wait_until([&] { return (box = platform::automation::find_window("Note", 100)) != nullptr; });
    platform::automation::wait_until([] { return !script_running(); });
    platform::automation::click(platform::automation::find_child(box, "OK"));
  });
  testing::internal::CaptureStderr();
  EXPECT_EQ(Message("First|Second", "Note"), static_cast<int>(kButtonOk));
  testing::internal::GetCapturedStderr();
  user.join();
  answer.join();
  EXPECT_FALSE(outcome.ok);
  EXPECT_NE(outcome.message.find("says \"First|Second\""), std::string::npos) << outcome.message;
}

TEST(MessageHandler, ReplacesTheBox) {
  set_message_handler([](const MessageRequest& r) { return r.text == "Hello" ? 42 : 0; });
  EXPECT_EQ(Message("Hello"), 42);
  set_message_handler({});
}

TEST(MessageHeadless, WithoutAScriptTakesTheDefaultAndSaysSo) {
  platform::start_display(platform::DisplayKind::Headless);
  MessageRequest r;
  r.text = "Save|now?";
  r.caption = "Save";
  r.button_captions = "Now|Later";
  r.default_button = 2;
  testing::internal::CaptureStderr();
  EXPECT_EQ(Message(r), 2);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "[Save] Save\nnow?\n");
}

}  // namespace
}  // namespace vrt::window
