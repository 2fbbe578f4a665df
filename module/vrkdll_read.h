// vrkdll_read: the vessel module's copy of the design and how it is read.
//
// The module finds its design block at the end of a file ("test.ves" in the
// current folder, else the module's own file): the last 8 bytes are the end
// marker and the block length L, the block starts L + 4 bytes before the end.
// Every count is checked against the bytes present before anything is sized,
// so a damaged or hostile block is refused without reading past it and
// without unbounded allocation; the design counts as read only when the whole
// block was consumed exactly.
//
// Builds on: design/vrkdll_format.h (the stored records).
//
// Notes: names read from the block are always cut at their field size.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>
#include "design/vrkdll_format.h"

struct module_anim {                               // one animation as stored
  anim_seq seq;                                    // the stored record
  std::vector<std::vector<int32_t>> group_lists;   // mesh group indices per list
  std::vector<anim_comp> comps;                    // components in order
};

struct module_vc_view {                            // one virtual-cockpit view as stored
  vc_view view;                                    // the stored record
  std::vector<vc_mfd_bind> mfds;                   // its screen bindings
};

struct module_design {                             // the design as the module read it
  design_header header;                            // general values and counts
  std::vector<fuel_tank> fuel_tanks;
  std::vector<thruster_def> thrusters;
  std::vector<exhaust_def> exhausts;
  std::vector<mesh_entry> meshes;
  std::vector<module_anim> anims;
  std::vector<module_vc_view> vc_views;
  std::vector<touchdown_set> touchdown_sets;
  std::vector<beacon_def> beacons;
  std::vector<dock_def> docks;
  std::vector<crew_def> crew;
  std::vector<aero_def> aero_elements;
};

// Parses a block of len bytes (header through end marker); false when it is damaged.
bool parse_design_block(const uint8_t* block, size_t len, module_design& out);
// Locates and parses the block at the end of a file's bytes; false when there is none.
bool parse_design_tail(const uint8_t* file, size_t size, module_design& out);
enum block_read { block_missing, block_damaged, block_ok };
// Reads the block from the end of the named file; out changes only with block_ok.
block_read read_design_file(const char* path, module_design& out);
