// The runtime's own window classes. Most stand on a system class (the
// procedure of "BUTTON" serves ZorButton, ZorOption, ZorGroup and
// ZorRadio); the sheet, its tabs and the constant strings have their own.
#pragma once

namespace vrt::window {

inline constexpr const char* kZorString = "ZorString";
inline constexpr const char* kZorEdit = "ZorEdit";
inline constexpr const char* kZorList = "ZorList";
inline constexpr const char* kZorDrop = "ZorDrop";
inline constexpr const char* kZorButton = "ZorButton";
inline constexpr const char* kZorPrompt = "ZorPrompt";
inline constexpr const char* kZorOption = "ZorOption";
inline constexpr const char* kZorGroup = "ZorGroup";
inline constexpr const char* kZorRadio = "ZorRadio";
inline constexpr const char* kZorProgress = "ZorProgress";
inline constexpr const char* kZorSheet = "ZorSheet";
inline constexpr const char* kZorTab = "ZorTab";
inline constexpr const char* kZorToolBar = "ZorToolBar";
inline constexpr const char* kZorToolTip = "ZorToolTip";
inline constexpr const char* kZorPopup = "ZorPopup";
inline constexpr const char* kZorCheck = "ZorCheck";
inline constexpr const char* kZorText = "ZorText";
inline constexpr const char* kZorChildClient = "ZorChildClient";
inline constexpr const char* kZorTimerWinClass = "ZorTimerWinClass";

// Registers every class above (harmless again).
void register_zor_classes();

}  // namespace vrt::window
