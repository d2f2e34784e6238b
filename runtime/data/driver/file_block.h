// The runtime's description of a declared FILE, handed to the driver with
// every operation: the file block (driver entry first, so a caller needs
// nothing else to dispatch), its key blocks, memo blocks and the field
// descriptors of its record.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vrt::data {

struct FileBlock;
struct KeyBlock;

// BUILD's progress report (BUILDevent): records done of all; false cancels.
using BuildProgress = bool (*)(void* context, uint32_t done, uint32_t total);

// Arguments of an operation, in the order of the statement; a key operation
// has the key block first. Entries are wide enough to carry a pointer.
using DriverArg = intptr_t;
using DriverEntry = int32_t (*)(int32_t operation, FileBlock* file, const DriverArg* args);

// File attribute bits.
enum FileAttribute : uint8_t {
  kAttrEncrypt = 0x01,
  kAttrCreate = 0x02,
  kAttrReclaim = 0x04,
  kAttrThread = 0x08,
};

// Key attribute bits.
enum KeyAttribute : uint32_t {
  kKeyDup = 0x0001,
  kKeyOpt = 0x0002,
  kKeyNocase = 0x0004,
  kKeyPrimary = 0x0010,
  kKeyIndex = 0x4000,
};

// Memo flag bits.
enum MemoFlag : uint8_t { kMemoBinary = 0x02, kMemoBlob = 0x04 };

// File state bits, kept per file block (and, for a dynamic index, the built
// bit in its key block).
enum FileState : uint32_t {
  kStateOpen = 0x0001,
  kStateCurrent = 0x0002,
  kStateLogout = 0x0004,
  kStateStream = 0x0008,
  kStateLocked = 0x0010,
  kStateSequence = 0x0020,
  kStateWrite = 0x0040,
  kStateExclusive = 0x0080,
  kStateInViewOrBuilt = 0x0100,
  kStateWatchPending = 0x0200,
  kStateWatched = 0x0400,
  kStateHoldPending = 0x0800,
  kStateHeld = 0x1000,
  kStateSequenceLive = 0x2000,
  kStateBuilding = 0x4000,
  kStateProperty = 0x10000,
};

struct FieldDescriptor {
  std::string label;
  std::string external_name;
  uint8_t type = 0;
  uint32_t size = 0;    // bytes of one element
  uint32_t places = 0;  // DECIMAL and PDECIMAL
  std::string picture;  // strings declared with a picture, without the "@"
  std::vector<uint32_t> dimensions;
  int32_t over = 0;          // field number (from 1) this field lies over; 0 none
  uint32_t group_count = 0;  // fields inside a GROUP
  uint32_t offset = 0;       // in the record buffer, filled by lay_out_record

  uint32_t elements() const;
  uint32_t total_size() const { return size * elements(); }
  uint32_t digits() const { return 2 * size - 1; }
};

struct KeyBlock {
  FileBlock* file = nullptr;  // the owning file block
  std::string external_name;
  std::string label;
  uint32_t attributes = 0;
  // Field numbers from 1; negative for a descending component.
  std::vector<int32_t> components;
  // A dynamic index's own state word (the built bit).
  uint32_t state = 0;

  bool dynamic_index() const { return (attributes & kKeyIndex) != 0; }
};

struct MemoBlock {
  std::string external_name;
  std::string label;
  uint8_t flags = 0;
  uint32_t size = 0;  // declared size; for a MEMO the maximum length
  std::string value;  // the memo's buffer
  bool is_blob() const { return (flags & kMemoBlob) != 0; }
};

struct FileDeclaration {
  std::string label;  // the FILE's label, e.g. "CUSTOMER"
  std::string prefix;
  std::string name;  // NAME attribute: the external file name
  bool has_owner = false;
  std::string owner;
  std::string driver = "BRINDLEX";
  std::string options;
  uint8_t attributes = 0;
  std::vector<MemoBlock> memos;
  std::vector<KeyBlock> keys;
  // Every field in declaration order; a GROUP's fields follow it.
  std::vector<FieldDescriptor> fields;
  uint32_t record_length = 0;
};

// The driver's per-file state, owned by the file block.
struct DriverInstance {
  virtual ~DriverInstance() = default;
};

struct FileBlock {
  DriverEntry driver_entry = nullptr;
  // The profile section of the driver's trace log ("QWBRINDLEX"), or null
  // when the driver keeps none; the dispatcher traces the calls it names.
  const char* trace_section = nullptr;
  std::unique_ptr<DriverInstance> driver_instance;
  FileDeclaration declaration;
  std::vector<uint8_t> record;  // the record buffer
  uint32_t state = 0;
  uint32_t class_word = 0;

  FileBlock() = default;
  FileBlock(const FileBlock&) = delete;
  FileBlock& operator=(const FileBlock&) = delete;

  // Points every key block at this file block and sizes the record buffer.
  void attach();
  KeyBlock* key(size_t number) { return number < declaration.keys.size() ? &declaration.keys[number] : nullptr; }
  // The key's position among the file's keys, or -1.
  int key_number(const KeyBlock* key) const;
  // The name for ERRORFILE: the NAME attribute, else the label.
  std::string display_name() const;
};

// CLEAR(file): blanks in STRING fields, zeros everywhere else (a CSTRING's
// or PSTRING's first zero makes it empty).
void clear_record(FileBlock& file);

}  // namespace vrt::data
