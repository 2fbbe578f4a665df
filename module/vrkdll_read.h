// vrkdll_read: the vessel module's copy of the design and how it is read.
//
// The module finds its design block at the end of a file ("test.ves" in the
// current folder, else the module's own file): the last 8 bytes are the end
// marker and the block length L, the block starts L + 4 bytes before the end.
// The block is read by the same routines as in the designer, so a damaged or
// hostile block is refused without reading past it and without unbounded
// allocation; the design counts as read only when the whole block was
// consumed exactly.
//
// Builds on: design/vrkdll_block.h (the stored records and their reader).
#pragma once
#include <cstddef>
#include <cstdint>
#include "design/vrkdll_block.h"

struct module_design : vrkdll_data {               // the design as the module read it
  design_header header{};                          // general values and counts
};

// Locates and parses the block at the end of a file's bytes; false when there
// is none or it is damaged, and out is then unchanged.
bool parse_design_tail(const uint8_t* file, size_t size, module_design& out);
enum block_read { block_missing, block_damaged, block_ok };
// Reads the block from the end of the named file; out changes only with block_ok.
block_read read_design_file(const char* path, module_design& out);
