// The application's data dictionary: its eight files with their labels,
// prefixes, disk names, attributes, keys and fields, and for each field the
// picture and heading the browses, forms and reports show it with. The
// declarations are written in the driver's source form and parsed by it, so
// that what the files store is exactly what is declared here.
#pragma once
#include <string>
#include <vector>

#include "runtime/data/driver/file_block.h"

namespace marlock {

struct FieldSpec {
  const char* label;    // "CUS:NAME"
  const char* type;     // "STRING(20)", as the declaration writes it
  const char* picture;  // "@s20", or "" for a field shown nowhere
  const char* heading;  // the column or prompt text, or ""
};

struct KeySpec {
  const char* declaration;  // "CUS:BYNAME KEY(+CUS:NAME),OPT,NOCASE"
  const char* shown;        // "CUS:ByName" in tabs, menus and titles; "" when never shown
};

struct FileSpec {
  const char* label;      // as messages name the file: "Customer", "MEMBERS"
  const char* file_line;  // "CUSTOMER FILE,DRIVER('BRINDLEX'),PRE(CUS),THREAD"
  std::vector<KeySpec> keys;
  std::vector<FieldSpec> fields;
};

enum class FileId { Customer, Goods, Students, Teachers, Classes, Members, People, Accounts };
inline constexpr int kFileCount = 8;
// CUS:ByID among Customer's keys: the order the Customer procedures write in.
inline constexpr int kCustomerByIdKey = 4;

// Every file, in the order of FileId.
const std::vector<FileSpec>& dictionary();
const FileSpec& file_spec(FileId id);

// The file's declaration in the driver's source form.
std::string declaration_text(const FileSpec& spec);

// Makes a file block of the file, ready for OPEN or CREATE. The disk name
// is relative to the working directory, which is the data directory, unless
// a folder is given.
void make_file_block(vrt::data::FileBlock& file, FileId id, const std::string& folder = std::string());

// The driver the profile chooses for the file of the label (section
// "Vorthal Drivers": LABEL=DRIVER, or *=DRIVER for every file), else the
// declared one; in upper case.
std::string chosen_driver(const std::string& label, const std::string& declared);

// The file's name on disk: its NAME, else its label, with ".BDX" added when
// it has no extension ("CUSTOMER.BDX", "MEMBERS.BDX").
std::string disk_name(FileId id);

}  // namespace marlock
