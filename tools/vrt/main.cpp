// vrt: a probe of the runtime for scripts and diagnosis.
#include "tools/common/command_table.h"

int main(int argc, char** argv) { return vrt::tools::run_tool("vrt", argc, argv); }
