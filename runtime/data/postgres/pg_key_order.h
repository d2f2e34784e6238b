// A key as the server sees it: the expressions that order its entries (a
// NOCASE text component through upper(), descending ones DESC, a DUP key's
// entries after their values by record number, as on a BDX file), the
// condition that leaves out the records an OPT key does not hold, the index
// that keeps it, and the comparisons that start a scan after a position.
#pragma once
#include <string>
#include <vector>

#include "runtime/data/driver/file_block.h"
#include "runtime/data/postgres/pg_columns.h"

namespace vrt::data {

struct KeyPart {
  std::string expression;  // over the table's columns
  std::string cast;        // the SQL type of the expression, for parameters
  bool descending = false;
  bool nocase = false;
  int column = -1;  // index into the columns; -1 for the record number
};

struct KeyOrder {
  std::vector<KeyPart> parts;  // the components, then the record number (DUP)
  size_t components = 0;       // parts taken from the key's fields
  std::string holds;           // OPT: the condition a record must meet; else ""
  bool unique = false;
};

// The record order (-1) or a key's; false when a component names a field
// that is not a column of its own (a GROUP, or a field laid OVER another).
bool key_order(const FileDeclaration& declaration, const std::vector<PgColumn>& columns, int key, KeyOrder* order);

// CREATE INDEX for a key (none for a dynamic index, which is read in order
// without one).
std::string index_statement(const std::string& table, const std::string& index_name, const KeyOrder& order);

// The expression of part i applied to parameter $n instead of the column.
std::string part_of_param(const KeyPart& part, int n);

// The key's components equal to parameters $first.., and OPT's condition.
std::string equal_condition(const KeyOrder& order, int first);

// "ORDER BY ..." of the parts, reversed when reading backwards.
std::string order_clause(const KeyOrder& order, bool forward);

// The rows after the first `count` parts compared with parameters $first..:
// in reading order, strictly after or (inclusive) from the values.
std::string after_condition(const KeyOrder& order, size_t count, bool forward, bool inclusive, int first);

}  // namespace vrt::data
