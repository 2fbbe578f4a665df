// vrkdll_read: reading the design block from the end of a file (see header).
#include "vrkdll_read.h"
#include <cstdio>
#include <utility>

bool parse_design_tail(const uint8_t* file, size_t size, module_design& out) {
  module_design d;
  if (read_block_tail(file, size, d.header, d).fault != block_fault_none) return false;
  out = std::move(d);
  return true;
}

block_read read_design_file(const char* path, module_design& out) {
  FILE* f = fopen(path, "rb");
  if (!f) return block_missing;
  std::vector<uint8_t> bytes;
  const bool ok = read_block_end(f, bytes) && parse_design_tail(bytes.data(), bytes.size(), out);
  fclose(f);
  return ok ? block_ok : block_damaged;
}
