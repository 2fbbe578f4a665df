// vrkdll_block: the design block written and read over the one list of arrays.
//
// The designer, the command-line tool and the vessel module all use these
// routines, so the two ends of the format cannot drift apart. Header-only and
// free of exceptions, so the module compiles them without the designer's
// libraries. Layout: header, the arrays of VRKDLL_ARRAYS in order (each
// animation followed by its group lists and components, each VC view by its
// MFD bindings), end marker, block length.
//
// Builds on: vrkdll_format (records and the list of arrays).
//
// Notes:
//   - reading checks every count against the bytes left before anything is
//     sized, so a damaged or hostile block never reads past its data and never
//     allocates more than the data could hold
//   - the reader keeps its first fault (what, and the count that did not fit)
//     so the designer can say it; the module only asks whether the block was whole
//   - names read from a block are always cut at their field size
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <type_traits>
#include <vector>
#include "design/vrkdll_format.h"

// --- Sizes ------------------------------------------------------------------------------
// Bytes one element takes in the block.
template <class T> size_t stored_size(const T&) { return sizeof(T); }
inline size_t stored_size(const anim_entry& e) {
  size_t n = sizeof e.seq + e.comps.size() * sizeof(anim_comp);
  for (const std::vector<int32_t>& l : e.group_lists) n += (1 + l.size()) * sizeof(int32_t);
  return n;
}
inline size_t stored_size(const vc_view_entry& v) { return sizeof v.view + v.mfds.size() * sizeof(vc_mfd_bind); }

// The fewest bytes one element can take: what a count is checked against.
template <class T> constexpr size_t least_stored_size = sizeof(T);
template <> constexpr size_t least_stored_size<anim_entry> = sizeof(anim_seq);
template <> constexpr size_t least_stored_size<vc_view_entry> = sizeof(vc_view);

// Header, arrays and end marker: the block length stored after them.
inline size_t design_block_length(const vrkdll_data& a) {
  size_t n = sizeof(design_header) + sizeof(uint32_t);
#define VRKDLL_SIZE(member, element, count, label, blank) \
  for (const element& e : a.member) n += stored_size(e);
  VRKDLL_ARRAYS(VRKDLL_SIZE)
#undef VRKDLL_SIZE
  return n;
}

// --- Writing ----------------------------------------------------------------------------
inline void put_block_bytes(std::vector<uint8_t>& out, const void* p, size_t n) {
  if (n == 0) return;                               // an empty array may have no storage at all
  const uint8_t* b = static_cast<const uint8_t*>(p);
  out.insert(out.end(), b, b + n);
}

inline void put_block_u32(std::vector<uint8_t>& out, uint32_t v) { put_block_bytes(out, &v, sizeof v); }

template <class T> void put_block_array(std::vector<uint8_t>& out, const std::vector<T>& v);

inline void put_block_element(std::vector<uint8_t>& out, const anim_entry& e) {
  put_block_bytes(out, &e.seq, sizeof e.seq);
  for (const std::vector<int32_t>& l : e.group_lists) {
    put_block_u32(out, uint32_t(l.size()));
    put_block_array(out, l);
  }
  put_block_array(out, e.comps);
}

inline void put_block_element(std::vector<uint8_t>& out, const vc_view_entry& v) {
  put_block_bytes(out, &v.view, sizeof v.view);
  put_block_array(out, v.mfds);
}

template <class T> void put_block_array(std::vector<uint8_t>& out, const std::vector<T>& v) {
  if constexpr (std::is_trivially_copyable_v<T>) put_block_bytes(out, v.data(), v.size() * sizeof(T));
  else for (const T& e : v) put_block_element(out, e);
}

// Appends the block of h and a and its length to out. The counts in h (and in
// the animations and views) must already match the arrays.
inline void append_block(std::vector<uint8_t>& out, const design_header& h, const vrkdll_data& a) {
  const size_t start = out.size();
  out.reserve(start + design_block_length(a) + sizeof(uint32_t));
  put_block_bytes(out, &h, sizeof h);
#define VRKDLL_PUT(member, element, count, label, blank) put_block_array(out, a.member);
  VRKDLL_ARRAYS(VRKDLL_PUT)
#undef VRKDLL_PUT
  put_block_u32(out, design_magic);
  put_block_u32(out, uint32_t(out.size() - start));
}

// --- Reading ----------------------------------------------------------------------------
enum block_fault {
  block_fault_none = 0,         // the block was read whole
  block_fault_no_trailer,       // the data does not end with the end marker and a length
  block_fault_length,           // the stored length does not fit the data
  block_fault_header,           // the header's magic is wrong
  block_fault_short,            // the block ends inside a record
  block_fault_count,            // a count (what, count) does not fit the bytes left
  block_fault_left_over,        // bytes (left) remain between the arrays and the end marker
};

// The unread rest of a block and the first fault met. Only the readers below write it.
struct block_cursor {
  const uint8_t* p = nullptr;   // next unread byte
  size_t left = 0;              // bytes not yet read
  block_fault fault = block_fault_none;
  const char* what = "";        // the array or list whose count did not fit
  int64_t count = 0;            // that count, or the stored length
};

inline bool block_take(block_cursor& c, void* dst, size_t n) {
  if (c.fault) return false;
  if (n > c.left) { c.fault = block_fault_short; return false; }
  if (n) std::memcpy(dst, c.p, n);                  // an empty array has no storage to copy into
  c.p += n;
  c.left -= n;
  return true;
}

// Whether count elements of at least least_size bytes each can still follow.
inline bool block_count_fits(block_cursor& c, int32_t count, size_t least_size, const char* what) {
  if (c.fault) return false;
  if (count >= 0 && uint64_t(count) * least_size <= c.left) return true;
  c.fault = block_fault_count;
  c.what = what;
  c.count = count;
  return false;
}

template <class T> bool block_take_array(block_cursor& c, std::vector<T>& v, int32_t count, const char* what);

template <class T> bool block_take_element(block_cursor& c, T& e) { return block_take(c, &e, sizeof e); }

inline bool block_take_element(block_cursor& c, anim_entry& e) {
  if (!block_take(c, &e.seq, sizeof e.seq)) return false;
  // every list needs at least its own count, so the count is bounded by the bytes left
  if (!block_count_fits(c, e.seq.group_list_count, sizeof(int32_t), "group list")) return false;
  e.group_lists.resize(size_t(e.seq.group_list_count));
  for (std::vector<int32_t>& l : e.group_lists) {
    int32_t n = 0;
    if (!block_take(c, &n, sizeof n) || !block_take_array(c, l, n, "group index")) return false;
  }
  return block_take_array(c, e.comps, e.seq.comp_count, "component");
}

inline bool block_take_element(block_cursor& c, vc_view_entry& v) {
  return block_take(c, &v.view, sizeof v.view) && block_take_array(c, v.mfds, v.view.mfd_count, "MFD binding");
}

template <class T> bool block_take_array(block_cursor& c, std::vector<T>& v, int32_t count, const char* what) {
  if (!block_count_fits(c, count, least_stored_size<T>, what)) return false;
  v.resize(size_t(count));
  if constexpr (std::is_trivially_copyable_v<T>) return block_take(c, v.data(), v.size() * sizeof(T));
  for (T& e : v)
    if (!block_take_element(c, e)) return false;
  return true;
}

inline uint32_t block_u32_at(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// Reads the block that ends data[0..size) (its end marker and length last)
// into h and a. Returns the cursor as it ended: fault is block_fault_none when
// the block was whole; otherwise h and a hold what was read so far.
inline block_cursor read_block_tail(const uint8_t* data, size_t size, design_header& h, vrkdll_data& a) {
  block_cursor c;
  if (size < design_trailer_size || block_u32_at(data + size - design_trailer_size) != design_magic) {
    c.fault = block_fault_no_trailer;
    return c;
  }
  const uint32_t length = block_u32_at(data + size - sizeof(uint32_t));
  if (length < sizeof(design_header) + sizeof(uint32_t) || length > size - sizeof(uint32_t)) {
    c.fault = block_fault_length;
    c.count = length;
    return c;
  }
  c.p = data + size - sizeof(uint32_t) - length;
  c.left = length - sizeof(uint32_t);               // the end marker is not an array byte
  if (!block_take(c, &h, sizeof h)) return c;
  if (h.magic != design_magic) { c.fault = block_fault_header; return c; }
#define VRKDLL_TAKE(member, element, count, label, blank) &&block_take_array(c, a.member, h.count, label)
  const bool whole = true VRKDLL_ARRAYS(VRKDLL_TAKE);
#undef VRKDLL_TAKE
  if (whole && c.left != 0) c.fault = block_fault_left_over;  // the arrays end exactly at the marker
  if (c.fault) return c;
  h.vessel_name[sizeof h.vessel_name - 1] = 0;
  h.dll_name[sizeof h.dll_name - 1] = 0;
  for (mesh_entry& m : a.meshes) m.name[sizeof m.name - 1] = 0;
  return c;
}

// Reads the end of an open file that holds its block: the trailer and as many
// bytes before it as the stored length claims, bounded by the file's size (a
// file shorter than the trailer gives all of it). False when a seek or read fails.
inline bool read_block_end(FILE* f, std::vector<uint8_t>& bytes) {
  if (std::fseek(f, 0, SEEK_END) != 0) return false;
  const long size = std::ftell(f);
  if (size < 0) return false;
  uint64_t wanted = uint64_t(size);
  if (wanted >= design_trailer_size) {
    uint8_t trailer[design_trailer_size];
    if (std::fseek(f, size - long(design_trailer_size), SEEK_SET) != 0 ||
        std::fread(trailer, 1, sizeof trailer, f) != sizeof trailer)
      return false;
    const uint64_t claimed = uint64_t(block_u32_at(trailer + sizeof(uint32_t))) + sizeof(uint32_t);
    if (claimed < wanted) wanted = claimed < design_trailer_size ? design_trailer_size : claimed;
  }
  bytes.resize(size_t(wanted));                     // bounded by the file's own size
  return std::fseek(f, size - long(wanted), SEEK_SET) == 0 && std::fread(bytes.data(), 1, bytes.size(), f) == bytes.size();
}
