// A view as the statements see it: a file block whose driver entry is the
// view engine, so that OPEN, SET, NEXT, PREVIOUS, SKIP, POSITION, RESET,
// REGET, RECORDS, BUFFER, GET and CLOSE on the view pass through the same
// dispatcher, state masks and error posting as on a file.
#pragma once
#include <memory>

#include "runtime/data/driver/file_block.h"
#include "runtime/data/view/view.h"

namespace vrt::data {

// Makes `block` the view's block; the block owns the view.
void make_view_block(FileBlock& block, std::unique_ptr<View> view);
View* view_of(FileBlock& block);

int32_t view_driver_entry(int32_t operation, FileBlock* file, const DriverArg* args);

// The statements that only a view has.
void SetView(FileBlock& view);                     // SET(view)
void ResetView(FileBlock& view, FileBlock& file);  // RESET(view, file)
void Buffer(FileBlock& view, int32_t page_rows, int32_t behind = 0, int32_t ahead = 0);

}  // namespace vrt::data
