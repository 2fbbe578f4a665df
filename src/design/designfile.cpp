// designfile: writing and reading the design block.
#include "design/designfile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include "base/sys.h"
#include "design/kvgen.h"
#include "design/vrkdll_block.h"

// --- Writing ------------------------------------------------------------------------------

size_t design_block_size(const vessel_design& d) { return design_block_length(d.data); }

vessel_design at_rest(const vessel_design& d) {
  vessel_design s;
  s.header = d.header;
  s.data = d.data;
  reset_animations(s);
  sync_counts(s);
  return s;
}

void append_design_block(const vessel_design& d, std::vector<uint8_t>& out) {
  const vessel_design s = at_rest(d);
  append_block(out, s.header, s.data);
}

std::vector<uint8_t> design_block_bytes(const vessel_design& d) {
  std::vector<uint8_t> out;
  append_design_block(d, out);
  return out;
}

void write_design_file(const vessel_design& d, const std::string& name, const uint8_t* prefix, size_t prefix_size) {
  std::vector<uint8_t> bytes(prefix, prefix + prefix_size);
  append_design_block(d, bytes);
  replace_file(name, bytes.data(), bytes.size());
}

// --- Reading --------------------------------------------------------------------------------

// What went wrong with a block, for the user.
static std::string fault_text(const block_cursor& c) {
  switch (c.fault) {
    case block_fault_length: return "block length " + std::to_string(c.count) + " does not fit the file";
    case block_fault_count:
      return std::string(c.what) + " count " + std::to_string(c.count) + " does not fit the block";
    case block_fault_left_over: return std::to_string(c.left) + " bytes left over before the end marker";
    default: return "the block ends early";
  }
}

design_read_result read_design_bytes(vessel_design& d, const uint8_t* data, size_t size,
                                     const std::string& source) {
  vessel_design s;
  const block_cursor c = read_block_tail(data, size, s.header, s.data);
  if (c.fault == block_fault_no_trailer) return {design_no_block, "no design block in " + source};
  reset_design(d);
  if (c.fault == block_fault_header) return {design_bad_header, "bad design header in " + source};
  if (c.fault) return {design_damaged, "damaged design block in " + source + ": " + fault_text(c)};
  d.header = s.header;
  d.data = std::move(s.data);
  after_load(d);
  return {};
}
design_read_result read_design_file(vessel_design& d, const std::string& name) {
  binfile f;
  if (!file_open(f, name, binfile_read)) throw io_error("cannot read " + name + ": " + std::strerror(errno));
  std::vector<uint8_t> bytes;
  if (!read_block_end(f.f, bytes))
    throw io_error("cannot read " + name + ": " + (std::ferror(f.f) ? std::strerror(errno) : "the file ends early"));
  file_close(f);
  return read_design_bytes(d, bytes.data(), bytes.size(), name);
}
