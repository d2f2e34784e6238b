// The server driver "POSTGRESQL": every file declared with it is a table in
// a database on a PostgreSQL server (see pg_columns.h for the columns and
// pg_session.h for the connection). Its entry operation goes in the first
// field of a file block, like the native driver's.
#pragma once
#include "runtime/data/driver/file_block.h"

namespace vrt::data {

inline constexpr const char* kPostgresDriverName = "POSTGRESQL";
// The profile section of its trace log (POSTGRESQL.LOG unless it names a
// TraceFile), in the native driver's format.
inline constexpr const char* kPostgresTraceSection = "QWPOSTGRESQL";

int32_t postgres_driver_entry(int32_t operation, FileBlock* file, const DriverArg* args);

// Makes a file block of the declaration for this driver, ready for OPEN or
// CREATE.
void make_postgres_file_block(FileBlock& file, FileDeclaration declaration);

}  // namespace vrt::data
