#include "generate/azip.h"

#include <cstring>
#include <limits>
#include <stdexcept>
#include <zlib.h>
#include "base/sys.h"

namespace {

constexpr uint64_t zip_size_limit = std::numeric_limits<uint32_t>::max();
constexpr size_t zip_entry_limit = std::numeric_limits<uint16_t>::max();

// The central header repeats the local one's fields from version needed through extra length.
void rebuild_central(const TLocalFile& l, TFileHeader& c) {
  const zip_local_head& h = l.head;
  c.head = zip_central_head{zip_central_signature, zip_version, h.version_needed, h.flags, h.method,
                            h.time_date, h.crc, h.compressed_size, h.uncompressed_size,
                            h.name_length, h.extra_length, 0, 0, 0,
                            c.head.external_attributes, c.head.local_header_offset};
  c.name = l.name;
  c.extra = l.extra;
  c.comment.clear();
}

uint32_t now_dos() { return dos_time_date(now_local()); }

void put(std::string& out, const void* bytes, size_t count) {
  out.append(static_cast<const char*>(bytes), count);
}

uint32_t as_offset(uint64_t offset, const std::string& file_name) {
  if (offset > zip_size_limit) throw io_error("Archive \"" + file_name + "\" would exceed 4 GiB.");
  return uint32_t(offset);
}

}  // namespace

std::string zip_deflate_raw(const void* bytes, size_t length) {
  z_stream s{};
  // Negative window bits: raw deflate, the zlib stream without its header and Adler-32 trailer.
  if (deflateInit2(&s, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw std::runtime_error("Cannot start deflate.");
  std::string out(deflateBound(&s, uLong(length)), '\0');
  s.next_in = static_cast<Bytef*>(const_cast<void*>(bytes));
  s.avail_in = uInt(length);
  s.next_out = reinterpret_cast<Bytef*>(out.data());
  s.avail_out = uInt(out.size());
  int rc = deflate(&s, Z_FINISH);
  out.resize(s.total_out);
  deflateEnd(&s);
  if (rc != Z_STREAM_END) throw std::runtime_error("Deflate failed.");
  return out;
}

uint32_t zip_crc32(const void* bytes, size_t length) {
  return uint32_t(crc32_z(0, static_cast<const Bytef*>(bytes), length));
}

uint32_t dos_time_date(const local_time& t) {
  // The format counts years 1980 to 2107; a clock outside them gives the nearest end.
  if (t.year < 1980) return dos_time_date({1980, 1, 1, 0, 0, 0, 0});
  if (t.year > 2107) return dos_time_date({2107, 12, 31, 23, 59, 58, 0});
  uint32_t time = uint32_t(t.hour) << 11 | uint32_t(t.minute) << 5 | uint32_t(t.second / 2);
  uint32_t date = uint32_t(t.year - 1980) << 9 | uint32_t(t.month) << 5 | uint32_t(t.day);
  return date << 16 | time;
}

int zip_add_entry(zipfile_rec& z, const std::string& name, uint32_t external_attributes) {
  if (z.local.size() >= zip_entry_limit) throw io_error("Too many entries for one archive.");
  if (name.size() > std::numeric_limits<uint16_t>::max()) throw io_error("Entry name too long for an archive.");
  TLocalFile l;
  l.head = zip_local_head{zip_local_signature, zip_version, 0, zip_method_deflate, now_dos(), 0, 0, 0,
                          uint16_t(name.size()), 0};
  l.name = name;
  TFileHeader c{};
  c.head.external_attributes = external_attributes;
  rebuild_central(l, c);
  z.local.push_back(std::move(l));
  z.central.push_back(std::move(c));
  return int(z.local.size() - 1);
}

void zip_set_data(zipfile_rec& z, int index, const void* bytes, size_t length) {
  if (index < 0 || size_t(index) >= z.local.size()) throw std::out_of_range("Index out of range.");
  if (length > zip_size_limit) throw io_error("Entry data too large for an archive.");
  std::string data = zip_deflate_raw(bytes, length);
  if (data.size() > zip_size_limit) throw io_error("Entry data too large for an archive.");
  TLocalFile& l = z.local[size_t(index)];
  l.head.time_date = now_dos();
  l.head.crc = zip_crc32(bytes, length);
  l.head.compressed_size = uint32_t(data.size());
  l.head.uncompressed_size = uint32_t(length);
  l.data = std::move(data);
  rebuild_central(l, z.central[size_t(index)]);
}

void zip_set_text(zipfile_rec& z, int index, const std::string& text) {
  zip_set_data(z, index, text.data(), text.size());
}

void zip_write(zipfile_rec& z, const std::string& file_name) {
  std::string out;
  for (size_t i = 0; i < z.local.size(); ++i) {
    const TLocalFile& l = z.local[i];
    z.central[i].head.local_header_offset = as_offset(out.size(), file_name);
    put(out, &l.head, sizeof l.head);
    out += l.name + l.extra + l.data;
  }
  uint64_t central_offset = out.size();
  for (const TFileHeader& c : z.central) {
    put(out, &c.head, sizeof c.head);
    out += c.name + c.extra + c.comment;
  }
  uint16_t count = uint16_t(z.local.size());
  z.end = zip_end_rec{zip_end_signature, 0, 0, count, count,
                      as_offset(out.size() - central_offset, file_name), as_offset(central_offset, file_name),
                      uint16_t(z.comment.size())};
  put(out, &z.end, sizeof z.end);
  out += z.comment;
  replace_file(file_name, out.data(), out.size());  // one sequential write, then renamed over the target
}
