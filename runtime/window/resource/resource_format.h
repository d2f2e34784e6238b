// The "DABDUMP" window resource: one per module, holding its windows and
// reports as records linked by offsets.
//
// Resource bytes:
//   OFFSET  SIZE  MEANING
//   0       n+1   full module name, NUL-terminated ("marlock$marlo002")
//   n+1     ...   structure area
//
// Every offset inside the structure area counts in the *resource buffer*:
// the structure area preceded by two bytes (buffer 0 is a zero byte, buffer
// 1 padding), so buffer offset 2 is the first byte after the name's NUL and
// offset 0 can mean "absent".
//
// Buffer header:
//   2       4     u32 offset of the first top-level structure (WINDOW, REPORT)
//
// Record header, common to every record (little-endian):
//   0       1     type code (RecordType)
//   1       4     u32 offset of the next sibling, 0 ends the list; always forward
//   5       4     u32 attribute flag word
//   9       4     0
//   13      4     i32 field number (controls and menu entries), else 0
//   17      4     0
//
// Variable descriptor (9 bytes): u8 type code, u32 size, u32 decimal places.
// Font record (16 bytes): u32 typeface offset, u32 points, i32 colour, i32 style.
// Pen block (12 bytes): i32 width, i32 colour, i32 style. A box whose pen
// style has kPenStyleFill is filled with the pen's colour.
// Status-bar block: i32 segment widths (-1 takes the rest), ending with 0.
//
// WINDOW bytes 45 and 61 hold the smallest and largest client size (width,
// height in dialog units) the user may drag the window to; "not given"
// leaves that side unlimited.
//
// The fields of each record type beyond the header are listed in
// kRecordShapes (resource_format.cpp), which the compiler writes from and
// the loader checks against, so the two cannot disagree.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vrt::window {

inline constexpr const char* kResourceType = "DABDUMP";
inline constexpr uint32_t kBufferPrefix = 2;       // zero byte and padding
inline constexpr uint32_t kFirstStructureAt = 2;  // buffer offset of the header's one field
inline constexpr uint32_t kRecordHeaderSize = 21;
inline constexpr uint32_t kDescriptorSize = 9;
inline constexpr uint32_t kFontRecordSize = 16;
inline constexpr uint32_t kPenBlockSize = 12;
inline constexpr uint32_t kMaxNesting = 32;          // container depth the loader follows
inline constexpr uint32_t kMaxStatusSegments = 32;
inline constexpr int32_t kNotGiven = static_cast<int32_t>(0x80000000u);

// Header fields.
inline constexpr uint32_t kTypeAt = 0, kNextAt = 1, kFlagsAt = 5, kFieldAt = 13;

enum class RecordType : uint8_t {
  VarString = 1, String = 2, ScrollText = 3, Line = 5, Box = 6, Entry = 8, Button = 9, Prompt = 10,
  Option = 11, Group = 13, List = 14, Spin = 16, Menu = 19, Item = 20, Radio = 21, MenuBar = 22,
  ToolBar = 23, Window = 25, Report = 26, HeaderBand = 27, FooterBand = 28, DetailBand = 31,
  Progress = 35, Sheet = 37, Tab = 38, Panel = 39,
};

inline constexpr int32_t kPenStyleFill = 0x10000;

// Flag-word bits the compiler and the loader agree on.
enum : uint32_t {
  kFlagReport = 0x800,      // report to the procedure instead of acting alone
  kFlagRight = 0x08,        // text controls: right-justified
  kFlagCenter = 0x10,       // text controls: centred; menu items: separator
  kFlagSeparator = 0x10,
  kFlagCheckVariable = 0x01,  // menu items: check state follows the variable
  kFlagDisabled = 0x1000,   // controls: created disabled
  kFlagHidden = 0x2000,     // controls: created hidden
  kFlagDefault = 0x4000,    // buttons: the default button
  // Report bands: either bit keeps the band whole, moving it to the next
  // page instead of splitting it across two.
  kFlagBandTogether = 0x10000,
  kFlagBandWithPrior = 0x20000,
  kReportKeptFlags = 0x300,
};
// Second flag word of a WINDOW.
enum : uint32_t { kWindowModal = 0x08 };

// What a field beyond the header holds.
enum class FieldKind : uint8_t {
  Int,         // i32 (coordinates allow "not given")
  Unsigned,    // u32
  Word10,      // u16 the loader multiplies by 10
  Text,        // offset of a NUL-terminated string
  Descriptor,  // offset of a variable descriptor
  Font,        // offset of a font record
  Pen,         // offset of a pen block
  Widths,      // offset of a status-bar block
  Children,    // offset of the first record of a child list
};

struct FieldShape {
  const char* name;  // attribute name in declarations
  uint32_t at;       // byte offset in the record
  FieldKind kind;
  uint8_t count = 1;  // consecutive values (coordinates: 4)
};

// Where a record may stand, for the compiler's nesting checks.
enum class Placement : uint8_t { TopLevel, Control, MenuBarSlot, ToolBarSlot, MenuEntry, Band };

struct RecordShape {
  RecordType type;
  const char* keyword;  // in declarations
  uint32_t size;
  Placement placement;
  bool numbered;  // takes a field number
  std::span<const FieldShape> fields;
};

// The shape of a type code, or null for codes without a record layout.
const RecordShape* record_shape(uint8_t type_code);
const RecordShape* record_shape(std::string_view keyword);
std::span<const RecordShape> record_shapes();

// The resource name of a module: the part after '$', upper-cased, with
// "_RSC" ("marlock$marlo002" gives "MARLO002_RSC").
std::string resource_name(std::string_view module);

}  // namespace vrt::window
