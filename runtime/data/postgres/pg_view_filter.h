// The part of a view's filter that the server can test: the comparisons of
// an integer column with a value that does not depend on the file,
// combined by AND, OR and NOT, written as SQL with the values as
// parameters. What cannot be written (texts, whose comparison follows the
// runtime's collation, reals, functions, arithmetic on fields) is left out
// so that the condition admits every row the whole filter admits: the view
// engine still tests each row against the whole filter.
#pragma once
#include <string>
#include <vector>

#include "runtime/core/expression/expression_tree.h"
#include "runtime/data/driver/file_block.h"
#include "runtime/data/postgres/pg_columns.h"

namespace vrt::data {

struct ServerCondition {
  std::string sql;  // "" when nothing of the filter could be written
  std::vector<PgParam> params;
  // The condition for a statement whose parameters so far are *params: its
  // values are added there and numbered after them.
  std::string placed(std::vector<PgParam>* statement_params) const;
};

ServerCondition server_condition(const core::ExprNode& filter, const FileDeclaration& declaration,
                                 const std::vector<PgColumn>& columns);

}  // namespace vrt::data
