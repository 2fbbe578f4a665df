// fuzz_check: what every harness shares: a check that stops the run with the
// input saved, and the design round trip that the design readers must pass.
//
// Builds on: design/designfile (the block writer and reader).
//
// Notes: a failed check aborts, so libFuzzer keeps the input as a crash and
// prints the message above its report.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "design/designfile.h"

inline void fuzz_check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

// A design that was read writes a block that reads back to the same block.
inline void check_design_round_trip(vessel_design& d) {
  const std::vector<uint8_t> block = design_block_bytes(d);
  fuzz_check(block.size() == design_block_size(d) + sizeof(uint32_t), "the block is as long as it says");
  vessel_design again;
  const design_read_result r = read_design_bytes(again, block.data(), block.size());
  fuzz_check(r.status == design_read_ok && r.message.empty(), "a written block reads back");
  fuzz_check(design_block_bytes(again) == block, "the block read back writes the same bytes");
}
