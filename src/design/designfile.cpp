// designfile: writing and reading the design block.
#include "design/designfile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include "design/filef.h"
#include "design/kvgen.h"

// --- Writing ------------------------------------------------------------------------------

static void put(std::vector<uint8_t>& out, const void* p, size_t n) {
  if (n == 0) return;                               // an empty array may have no storage at all
  const uint8_t* b = static_cast<const uint8_t*>(p);
  out.insert(out.end(), b, b + n);
}

template <class T> static void put_all(std::vector<uint8_t>& out, const std::vector<T>& v) {
  put(out, v.data(), v.size() * sizeof(T));
}

static void put_u32(std::vector<uint8_t>& out, uint32_t v) { put(out, &v, sizeof v); }

size_t design_block_size(const vessel_design& d) {
  const vrkdll_data& a = d.data;
  size_t n = sizeof(design_header) + sizeof(uint32_t);
  n += a.fuel_tanks.size() * sizeof(fuel_tank) + a.thrusters.size() * sizeof(thruster_def) +
       a.exhausts.size() * sizeof(exhaust_def) + a.meshes.size() * sizeof(mesh_entry);
  for (const anim_entry& e : a.anim_seqs) {
    n += sizeof(anim_seq) + e.comps.size() * sizeof(anim_comp);
    for (const aointeger& l : e.group_lists) n += (1 + l.size()) * sizeof(int32_t);
  }
  for (const vc_view_entry& v : a.vc_views) n += sizeof(vc_view) + v.mfds.size() * sizeof(vc_mfd_bind);
  n += a.touchdown_sets.size() * sizeof(touchdown_set) + a.beacons.size() * sizeof(beacon_def) +
       a.docks.size() * sizeof(dock_def) + a.crew.size() * sizeof(crew_def) +
       a.aero_elements.size() * sizeof(aero_def);
  return n;
}

void append_design_block(vessel_design& d, std::vector<uint8_t>& out) {
  reset_animations(d);
  sync_counts(d);
  const size_t start = out.size();
  out.reserve(start + design_block_size(d) + sizeof(uint32_t));
  const vrkdll_data& a = d.data;
  put(out, &d.header, sizeof d.header);
  put_all(out, a.fuel_tanks);
  put_all(out, a.thrusters);
  put_all(out, a.exhausts);
  put_all(out, a.meshes);
  for (const anim_entry& e : a.anim_seqs) {
    put(out, &e.seq, sizeof e.seq);
    for (const aointeger& l : e.group_lists) {
      put_u32(out, uint32_t(l.size()));
      put_all(out, l);
    }
    put_all(out, e.comps);
  }
  for (const vc_view_entry& v : a.vc_views) {
    put(out, &v.view, sizeof v.view);
    put_all(out, v.mfds);
  }
  put_all(out, a.touchdown_sets);
  put_all(out, a.beacons);
  put_all(out, a.docks);
  put_all(out, a.crew);
  put_all(out, a.aero_elements);
  put_u32(out, design_magic);
  put_u32(out, uint32_t(out.size() - start));
}

std::vector<uint8_t> design_block_bytes(vessel_design& d) {
  std::vector<uint8_t> out;
  append_design_block(d, out);
  return out;
}

void write_design_file(vessel_design& d, const std::string& name, const uint8_t* prefix, size_t prefix_size) {
  std::vector<uint8_t> bytes(prefix, prefix + prefix_size);
  append_design_block(d, bytes);
  replace_file(name, bytes.data(), bytes.size());
}

// --- Reading --------------------------------------------------------------------------------

namespace {
// The unread rest of a block. Every read checks the bytes left first.
struct block_reader {
  const uint8_t* p;
  size_t left;
  std::string fault;                                // first problem met, empty while whole

  bool take(void* dst, size_t n) {
    if (!fault.empty()) return false;
    if (n > left) { fault = "the block ends early"; return false; }
    if (n == 0) return true;                        // an empty array may have no storage at all
    std::memcpy(dst, p, n);
    p += n;
    left -= n;
    return true;
  }
  // A count of elements of elem_size bytes: not negative, and all of them present.
  bool count_fits(int32_t count, size_t elem_size, const char* what) {
    if (!fault.empty()) return false;
    if (count >= 0 && uint64_t(count) * elem_size <= left) return true;
    fault = std::string(what) + " count " + std::to_string(count) + " does not fit the block";
    return false;
  }
  template <class T> bool take_array(std::vector<T>& v, int32_t count, const char* what) {
    if (!count_fits(count, sizeof(T), what)) return false;
    v.resize(size_t(count));
    return take(v.data(), v.size() * sizeof(T));
  }
};
}

static bool read_animation(block_reader& r, anim_entry& e) {
  if (!r.take(&e.seq, sizeof e.seq)) return false;
  // every list needs at least its own count, so the count is bounded by the bytes left
  if (!r.count_fits(e.seq.group_list_count, sizeof(int32_t), "group list")) return false;
  e.group_lists.resize(size_t(e.seq.group_list_count));
  for (aointeger& l : e.group_lists) {
    int32_t n = 0;
    if (!r.take(&n, sizeof n) || !r.take_array(l, n, "group index")) return false;
  }
  return r.take_array(e.comps, e.seq.comp_count, "component");
}

static bool read_vc_view(block_reader& r, vc_view_entry& v) {
  return r.take(&v.view, sizeof v.view) && r.take_array(v.mfds, v.view.mfd_count, "MFD binding");
}

template <class T, class F>
static bool read_entries(block_reader& r, std::vector<T>& v, int32_t count, size_t min_size,
                         const char* what, F read_one) {
  if (!r.count_fits(count, min_size, what)) return false;
  v.resize(size_t(count));
  for (T& e : v)
    if (!read_one(r, e)) return false;
  return true;
}

static void terminate_names(vessel_design& d) {
  d.header.vessel_name[sizeof d.header.vessel_name - 1] = 0;
  d.header.dll_name[sizeof d.header.dll_name - 1] = 0;
  for (mesh_entry& m : d.data.meshes) m.name[sizeof m.name - 1] = 0;
}

// Reads header and arrays of a whole block (without the end marker) into s.
static bool read_arrays(block_reader& r, vessel_design& s) {
  const design_header& h = s.header;
  vrkdll_data& a = s.data;
  return r.take_array(a.fuel_tanks, h.fuel_tank_count, "fuel tank") &&
         r.take_array(a.thrusters, h.thruster_count, "thruster") &&
         r.take_array(a.exhausts, h.exhaust_count, "exhaust") &&
         r.take_array(a.meshes, h.mesh_count, "mesh") &&
         read_entries(r, a.anim_seqs, h.anim_seq_count, sizeof(anim_seq), "animation", read_animation) &&
         read_entries(r, a.vc_views, h.vc_view_count, sizeof(vc_view), "VC view", read_vc_view) &&
         r.take_array(a.touchdown_sets, h.touchdown_set_count, "touchdown set") &&
         r.take_array(a.beacons, h.beacon_count, "beacon") &&
         r.take_array(a.docks, h.dock_count, "dock") &&
         r.take_array(a.crew, h.crew_count, "crew") &&
         r.take_array(a.aero_elements, h.aero_element_count, "aero element");
}

static design_read_result result(design_read_status status, const std::string& message) {
  return {status, message};
}

design_read_result read_design_bytes(vessel_design& d, const uint8_t* data, size_t size,
                                     const std::string& source) {
  uint32_t marker = 0, length = 0;
  if (size >= design_trailer_size) {
    std::memcpy(&marker, data + size - design_trailer_size, sizeof marker);
    std::memcpy(&length, data + size - sizeof length, sizeof length);
  }
  if (size < design_trailer_size || marker != design_magic)
    return result(design_no_block, "no design block in " + source);
  reset_design(d);
  if (length < sizeof(design_header) + sizeof(uint32_t) || length > size - sizeof(uint32_t))
    return result(design_damaged, "damaged design block in " + source + ": block length " +
                                      std::to_string(length) + " does not fit the file");
  block_reader r{data + size - sizeof(uint32_t) - length, length - sizeof(uint32_t), {}};
  vessel_design s;
  r.take(&s.header, sizeof s.header);
  if (s.header.magic != design_magic)
    return result(design_bad_header, "bad design header in " + source);
  if (!read_arrays(r, s))
    return result(design_damaged, "damaged design block in " + source + ": " + r.fault);
  if (r.left != 0)
    return result(design_damaged, "damaged design block in " + source + ": " +
                                      std::to_string(r.left) + " bytes left over before the end marker");
  terminate_names(s);
  d.header = s.header;
  d.data = std::move(s.data);
  after_load(d);
  return {};
}

design_read_result read_design_file(vessel_design& d, const std::string& name) {
  binfile f;
  if (!file_open(f, name, binfile_read)) throw io_error("cannot read " + name + ": " + std::strerror(errno));
  const uint64_t size = file_size(f);
  uint8_t trailer[design_trailer_size] = {};
  if (size < design_trailer_size) return result(design_no_block, "no design block in " + name);
  file_seek(f, size - design_trailer_size);
  file_read(f, trailer, sizeof trailer);
  uint32_t length = 0;
  std::memcpy(&length, trailer + sizeof(uint32_t), sizeof length);
  // only the block and its trailer are read; the length is bounded by the file
  const uint64_t wanted = std::max<uint64_t>(uint64_t(length) + sizeof(uint32_t), design_trailer_size);
  std::vector<uint8_t> bytes(std::min(wanted, size));
  file_seek(f, size - bytes.size());
  file_read(f, bytes.data(), bytes.size());
  file_close(f);
  return read_design_bytes(d, bytes.data(), bytes.size(), name);
}
