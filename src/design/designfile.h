// designfile: the design block, in design files and at the end of modules.
//
// One writer produces the block for every caller: the design file on its own,
// and the module writer, which puts the module image in front of the same
// bytes. Readers find the block from the end of any file or buffer through
// the end marker and the block length that follow it.
//
// Builds on: kvvar (record), kvgen (reset, load follow-up), filef (safe writing).
//
// Notes:
//   - every write first puts each animation at rest at 0 on the live design
//   - reading checks every count against the bytes present before anything is
//     allocated, so a damaged file gives an error, never a crash or a huge
//     allocation; names are cut at their field size
//   - a file without the trailer leaves the design as it was; a file with the
//     trailer replaces it: with the stored design when the block is whole,
//     with the blank design when its header or arrays are damaged
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>
#include "design/kvvar.h"

constexpr const char* design_extension = ".vessdef";  // design files

// --- Writing ----------------------------------------------------------------------------
size_t design_block_size(const vessel_design& d);      // header + arrays + end marker (the stored length)
vessel_design at_rest(const vessel_design& d);        // what is stored of d: animations at rest, counts in step
void append_design_block(const vessel_design& d, std::vector<uint8_t>& out); // of at_rest(d); block + length
std::vector<uint8_t> design_block_bytes(const vessel_design& d); // the same bytes on their own
// Writes prefix (a module image, or nothing) and the block to name through a
// temporary file; io_error "cannot write NAME: reason" on failure.
void write_design_file(const vessel_design& d, const std::string& name,
                       const uint8_t* prefix = nullptr, size_t prefix_size = 0);

// --- Reading -----------------------------------------------------------------------------
enum design_read_status {
  design_read_ok = 0,        // the design holds the stored one
  design_no_block,           // no trailer: the design is unchanged
  design_bad_header,         // trailer found, header magic wrong: the design is blank
  design_damaged,            // counts or lengths do not fit the bytes: the design is blank
};
struct design_read_result {
  design_read_status status = design_read_ok; // what happened
  std::string message;                        // one line for the user; empty when ok
};
// Reads the block at the end of data[0..size) into d; source names the data in messages.
design_read_result read_design_bytes(vessel_design& d, const uint8_t* data, size_t size,
                                     const std::string& source = "the data");
// Reads the block at the end of the named file; io_error when it cannot be read.
design_read_result read_design_file(vessel_design& d, const std::string& name);
