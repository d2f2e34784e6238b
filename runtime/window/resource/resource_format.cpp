#include "runtime/window/resource/resource_format.h"

#include <cctype>

namespace vrt::window {

namespace {

using K = FieldKind;
using P = Placement;
using T = RecordType;

// Coordinates: x, y, width, height.
constexpr FieldShape at(uint32_t offset) { return {"at", offset, K::Int, 4}; }
constexpr FieldShape text(uint32_t offset) { return {"text", offset, K::Text}; }
constexpr FieldShape children(uint32_t offset) { return {"children", offset, K::Children}; }
constexpr FieldShape var(uint32_t offset) { return {"var", offset, K::Descriptor}; }
constexpr FieldShape msg(uint32_t offset) { return {"msg", offset, K::Text}; }

constexpr FieldShape kWindowFields[] = {
    at(13), children(29), {"label", 33, K::Text}, {"font", 37, K::Font}, {"title", 41, K::Text},
    {"minsize", 45, K::Int, 2}, {"icon", 57, K::Text}, {"maxsize", 61, K::Int, 2}, {"help", 69, K::Text},
    {"flags2", 81, K::Unsigned}, {"timer", 89, K::Unsigned},
    {"menubar", 93, K::Children}, {"toolbar", 97, K::Children}, {"status", 105, K::Widths},
};
constexpr FieldShape kReportFields[] = {at(13), children(29), {"label", 33, K::Text}, {"font", 37, K::Font}};
constexpr FieldShape kMenuBarFields[] = {children(21)};
constexpr FieldShape kMenuFields[] = {text(25), at(29), msg(45), children(89)};
constexpr FieldShape kItemFields[] = {var(21), text(25), msg(45)};
constexpr FieldShape kToolBarFields[] = {{"size", 29, K::Int, 2}, children(69)};
constexpr FieldShape kSheetFields[] = {at(25), children(77)};
constexpr FieldShape kTabFields[] = {text(50), children(58)};
constexpr FieldShape kGroupFields[] = {at(21), text(69), children(73)};
constexpr FieldShape kOptionFields[] = {var(21), at(25), text(73), children(77)};
constexpr FieldShape kBandFields[] = {children(21), at(29)};
constexpr FieldShape kVarStringFields[] = {var(21), at(25), {"picture", 45, K::Text}};
constexpr FieldShape kStringFields[] = {at(21), text(41)};
constexpr FieldShape kDrawnFields[] = {at(21), {"pen", 37, K::Pen}};
constexpr FieldShape kEntryFields[] = {var(21), at(25), msg(41), {"tip", 45, K::Text}, {"picture", 73, K::Text}};
constexpr FieldShape kButtonFields[] = {
    at(21), msg(37), {"tip", 41, K::Text}, {"key", 49, K::Int}, {"icon", 57, K::Text}, text(69),
    {"action", 81, K::Int},
    {"delay", 86, K::Word10}, {"repeat", 88, K::Word10},
};
constexpr FieldShape kListFields[] = {var(21), {"format", 25, K::Text}, at(29), msg(45), {"drop", 77, K::Unsigned}};
constexpr FieldShape kSpinFields[] = {var(21), at(25), msg(41), {"picture", 73, K::Text}};
constexpr FieldShape kRadioFields[] = {at(21), text(69)};
constexpr FieldShape kProgressFields[] = {var(21), at(25)};
constexpr FieldShape kPanelFields[] = {at(21)};

constexpr RecordShape kShapes[] = {
    {T::Window, "window", 116, P::TopLevel, false, kWindowFields},
    {T::Report, "report", 57, P::TopLevel, false, kReportFields},
    {T::MenuBar, "menubar", 25, P::MenuBarSlot, false, kMenuBarFields},
    {T::Menu, "menu", 93, P::MenuEntry, true, kMenuFields},
    {T::Item, "item", 49, P::MenuEntry, true, kItemFields},
    {T::ToolBar, "toolbar", 73, P::ToolBarSlot, false, kToolBarFields},
    {T::Sheet, "sheet", 81, P::Control, true, kSheetFields},
    {T::Tab, "tab", 62, P::Control, true, kTabFields},
    {T::Group, "group", 77, P::Control, true, kGroupFields},
    {T::Option, "option", 81, P::Control, true, kOptionFields},
    {T::HeaderBand, "header", 45, P::Band, false, kBandFields},
    {T::DetailBand, "detail", 45, P::Band, false, kBandFields},
    {T::FooterBand, "footer", 45, P::Band, false, kBandFields},
    {T::VarString, "value", 76, P::Control, true, kVarStringFields},
    {T::String, "string", 59, P::Control, true, kStringFields},
    {T::ScrollText, "text", 59, P::Control, true, kStringFields},
    {T::Line, "line", 45, P::Control, true, kDrawnFields},
    {T::Box, "box", 45, P::Control, true, kDrawnFields},
    {T::Entry, "entry", 82, P::Control, true, kEntryFields},
    {T::Button, "button", 90, P::Control, true, kButtonFields},
    {T::Prompt, "prompt", 59, P::Control, true, kStringFields},
    {T::List, "list", 109, P::Control, true, kListFields},
    {T::Spin, "spin", 114, P::Control, true, kSpinFields},
    {T::Radio, "radio", 81, P::Control, true, kRadioFields},
    {T::Progress, "progress", 65, P::Control, true, kProgressFields},
    {T::Panel, "panel", 37, P::Control, true, kPanelFields},
};

// Every field must lie inside its record, after the header unless it is a
// top-level record's coordinates (which take the place of the field number).
constexpr bool shapes_fit() {
  for (const RecordShape& s : kShapes) {
    for (const FieldShape& f : s.fields) {
      uint32_t width = f.kind == K::Word10 ? 2u : 4u;
      if (f.at + width * f.count > s.size) return false;
      if (f.at < kRecordHeaderSize && s.placement != P::TopLevel) return false;
    }
  }
  return true;
}
static_assert(shapes_fit(), "a record field lies outside its record");
static_assert(sizeof(kShapes) / sizeof(kShapes[0]) == 26);

}  // namespace

const RecordShape* record_shape(uint8_t type_code) {
  for (const RecordShape& s : kShapes)
    if (static_cast<uint8_t>(s.type) == type_code) return &s;
  return nullptr;
}

const RecordShape* record_shape(std::string_view keyword) {
  for (const RecordShape& s : kShapes)
    if (keyword == s.keyword) return &s;
  return nullptr;
}

std::span<const RecordShape> record_shapes() { return kShapes; }

std::string resource_name(std::string_view module) {
  size_t dollar = module.find('$');
  std::string_view part = dollar == std::string_view::npos ? module : module.substr(dollar + 1);
  std::string name;
  for (char c : part) name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return name + "_RSC";
}

}  // namespace vrt::window
