// vrkdll_read: reading the design block with every count checked (see header).
#include "vrkdll_read.h"
#include <cstdio>
#include <cstring>

namespace {

// A cursor over the block; every take checks the bytes left first.
struct block_cursor {
  const uint8_t* p;                                // next unread byte
  size_t left;                                     // bytes not yet read
};

bool take(block_cursor& c, void* dst, size_t n) {
  if (n > c.left) return false;
  if (n) memcpy(dst, c.p, n);                      // an empty array has no storage to copy into
  c.p += n;
  c.left -= n;
  return true;
}

// Whether count elements of at least min_size bytes each can still follow.
bool fits(const block_cursor& c, int32_t count, size_t min_size) {
  return count >= 0 && static_cast<uint64_t>(count) * min_size <= c.left;
}

template <class T>
bool take_array(block_cursor& c, int32_t count, std::vector<T>& out) {
  if (!fits(c, count, sizeof(T))) return false;
  out.resize(count);
  return take(c, out.data(), count * sizeof(T));
}

bool take_anim(block_cursor& c, module_anim& a) {
  if (!take(c, &a.seq, sizeof a.seq)) return false;
  if (!fits(c, a.seq.group_list_count, sizeof(int32_t))) return false;
  a.group_lists.resize(a.seq.group_list_count);
  for (auto& list : a.group_lists) {
    int32_t n = 0;
    if (!take(c, &n, sizeof n) || !take_array(c, n, list)) return false;
  }
  return take_array(c, a.seq.comp_count, a.comps);
}

bool take_view(block_cursor& c, module_vc_view& v) {
  return take(c, &v.view, sizeof v.view) && take_array(c, v.view.mfd_count, v.mfds);
}

template <class T, class F>
bool take_records(block_cursor& c, int32_t count, std::vector<T>& out, size_t min_size, F take_one) {
  if (!fits(c, count, min_size)) return false;
  out.resize(count);
  for (auto& r : out)
    if (!take_one(c, r)) return false;
  return true;
}

void cut_names(module_design& d) {
  d.header.vessel_name[sizeof d.header.vessel_name - 1] = 0;
  d.header.dll_name[sizeof d.header.dll_name - 1] = 0;
  for (auto& m : d.meshes) m.name[sizeof m.name - 1] = 0;
}

uint32_t u32_at(const uint8_t* p) {
  uint32_t v;
  memcpy(&v, p, sizeof v);
  return v;
}

} // namespace

bool parse_design_block(const uint8_t* block, size_t len, module_design& out) {
  if (len < sizeof(design_header) + sizeof(uint32_t)) return false;
  if (u32_at(block + len - sizeof(uint32_t)) != design_magic) return false;
  block_cursor c{block, len - sizeof(uint32_t)};   // the end marker is not an array byte
  module_design d{};
  design_header& h = d.header;
  bool ok = take(c, &h, sizeof h) && h.magic == design_magic &&
            take_array(c, h.fuel_tank_count, d.fuel_tanks) &&
            take_array(c, h.thruster_count, d.thrusters) &&
            take_array(c, h.exhaust_count, d.exhausts) &&
            take_array(c, h.mesh_count, d.meshes) &&
            take_records(c, h.anim_seq_count, d.anims, sizeof(anim_seq), take_anim) &&
            take_records(c, h.vc_view_count, d.vc_views, sizeof(vc_view), take_view) &&
            take_array(c, h.touchdown_set_count, d.touchdown_sets) &&
            take_array(c, h.beacon_count, d.beacons) &&
            take_array(c, h.dock_count, d.docks) &&
            take_array(c, h.crew_count, d.crew) &&
            take_array(c, h.aero_element_count, d.aero_elements) &&
            c.left == 0;                             // the arrays end exactly at the marker
  if (!ok) return false;
  cut_names(d);
  out = std::move(d);
  return true;
}

bool parse_design_tail(const uint8_t* file, size_t size, module_design& out) {
  if (size < design_trailer_size) return false;
  const uint8_t* trailer = file + size - design_trailer_size;
  uint32_t len = u32_at(trailer + sizeof(uint32_t));
  if (u32_at(trailer) != design_magic || len > size - sizeof(uint32_t)) return false;
  return parse_design_block(file + size - sizeof(uint32_t) - len, len, out);
}

block_read read_design_file(const char* path, module_design& out) {
  FILE* f = fopen(path, "rb");
  if (!f) return block_missing;
  bool ok = false;
  uint8_t trailer[design_trailer_size];
  long size = fseek(f, 0, SEEK_END) == 0 ? ftell(f) : -1;
  if (size >= static_cast<long>(design_trailer_size) &&
      fseek(f, size - design_trailer_size, SEEK_SET) == 0 &&
      fread(trailer, 1, sizeof trailer, f) == sizeof trailer) {
    uint64_t tail = static_cast<uint64_t>(u32_at(trailer + sizeof(uint32_t))) + sizeof(uint32_t);
    if (tail <= static_cast<uint64_t>(size) && fseek(f, size - static_cast<long>(tail), SEEK_SET) == 0) {
      std::vector<uint8_t> bytes(tail);              // bounded by the file's own size
      ok = fread(bytes.data(), 1, tail, f) == tail && parse_design_tail(bytes.data(), tail, out);
    }
  }
  fclose(f);
  return ok ? block_ok : block_damaged;
}
