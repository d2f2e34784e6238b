// How a declared record lies in a table on the server: one column per
// stored field, of the SQL type that keeps its values exactly.
//
//   BYTE, SHORT           smallint          STRING, CSTRING,  text COLLATE "C"
//   USHORT, LONG          integer           PSTRING           (bytes as Latin-1,
//   ULONG                 bigint                               trailing blanks cut)
//   SREAL / REAL          real / double     DECIMAL(n,s),     numeric(2n-1, s)
//                                           PDECIMAL(n,s)
//   anything else (DATE, TIME, BFLOAT4/8, dimensioned fields): bytea, the
//   field's bytes as they are. Dates and times that the program keeps as
//   standard dates and times in LONG fields stay those numbers (integer).
//   MEMO and BLOB: bytea.
//
// Two columns of the driver's own come first: "vrt_record" (the record
// number, POINTER and the record order) and "vrt_version" (raised by every
// PUT; WATCH compares it). GROUPs are not columns (their fields are), and
// fields laid OVER others are not (their bytes are already stored).
#pragma once
#include <string>
#include <vector>

#include "runtime/data/driver/file_block.h"
#include "runtime/data/postgres/pg_session.h"

namespace vrt::data {

inline constexpr const char* kRecordColumn = "vrt_record";
inline constexpr const char* kVersionColumn = "vrt_version";

enum class ColumnKind { kSigned, kUnsigned, kFloat, kDecimal, kText, kBytes, kMemo };

struct PgColumn {
  std::string name;  // unquoted
  std::string sql_type;
  ColumnKind kind;
  int field = -1;  // index into the declaration's fields; for kMemo, the memo
};

// The columns of a declaration, in field order, memos last.
std::vector<PgColumn> columns_of(const FileDeclaration& declaration);

// The column of a key component's field (its index among the fields), or
// null when the field has none of its own.
const PgColumn* column_of_field(const std::vector<PgColumn>& columns, int field);

// A column's value in the file block's buffers as a statement parameter;
// false (with a reason) when the value cannot be stored, e.g. a text field
// holding a zero byte. A value that only positions a sequence (SET from a
// key value) ends at such a byte instead: zeros are the lowest of values.
bool column_param(const FileBlock& file, const PgColumn& column, PgParam* param, std::string* why,
                  bool position = false);
// Writes a value read from the server into the buffers.
void load_column(FileBlock& file, const PgColumn& column, const char* text, int length);

// Whether a text column's key value is "empty" for an OPT key: the SQL
// condition that the column holds something.
std::string holds_value_condition(const PgColumn& column, const FieldDescriptor& field);

}  // namespace vrt::data
