// zipread: the central directory, the local records and the inflating of each entry.
#include "generate/zipread.h"

#include <zlib.h>
#include <algorithm>
#include <cstring>
#include "generate/azip.h"

namespace {

constexpr uint16_t method_stored = 0;
constexpr uint16_t flag_encrypted = 1 << 0;
constexpr size_t end_search = sizeof(zip_end_rec) + 65535;   // the end record and the longest comment
constexpr uint64_t deflate_ratio = 1032;                     // the most bytes deflate makes of one stored byte

struct reader {
  const uint8_t* data;
  size_t size;
  std::string source;

  [[noreturn]] void fail(const std::string& why) const { throw io_error(source + ": " + why); }

  template <class T> T record(uint64_t at, const char* what) const {
    if (at > size || size - at < sizeof(T)) fail(std::string("the ") + what + " lies beyond the end of the file");
    T r;
    std::memcpy(&r, data + at, sizeof r);
    return r;
  }

  std::string text(uint64_t at, size_t length, const char* what) const {
    if (at > size || size - at < length) fail(std::string("the ") + what + " lies beyond the end of the file");
    return std::string(reinterpret_cast<const char*>(data + at), length);
  }
};

size_t find_end(const reader& r) {
  if (r.size < sizeof(zip_end_rec)) r.fail("not a zip package (too short)");
  const size_t lowest = r.size > end_search ? r.size - end_search : 0;
  for (size_t at = r.size - sizeof(zip_end_rec) + 1; at-- > lowest;) {
    uint32_t signature;
    std::memcpy(&signature, r.data + at, sizeof signature);
    if (signature == zip_end_signature) return at;
  }
  r.fail("not a zip package (no end record)");
}

struct located {                    // an entry as the central directory names it
  zip_central_head head;
  std::string name;
};

std::vector<uint8_t> inflated(const reader& r, const located& e, uint64_t start) {
  const zip_central_head& h = e.head;
  std::vector<uint8_t> out(size_t(h.uncompressed_size) + 1);   // room beyond the end: inflate needs some, and
  const uint8_t* in = r.data + start;                        // a stream longer than declared shows
  if (h.method == method_stored) {
    if (h.compressed_size != h.uncompressed_size) r.fail(e.name + ": stored with two different sizes");
    std::copy(in, in + h.compressed_size, out.begin());
    out.pop_back();
  } else {
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) r.fail(e.name + ": cannot start inflating");
    z.next_in = const_cast<Bytef*>(in);
    z.avail_in = h.compressed_size;
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    const int status = inflate(&z, Z_FINISH);
    const uLong made = z.total_out;
    inflateEnd(&z);
    if (status != Z_STREAM_END || made != h.uncompressed_size) r.fail(e.name + ": damaged data");
    out.pop_back();
  }
  if (zip_crc32(out.data(), out.size()) != h.crc) r.fail(e.name + ": wrong CRC-32");
  return out;
}

std::vector<located> central_directory(const reader& r, size_t end_at, const zip_end_rec& end) {
  if (uint64_t(end.central_offset) + end.central_size > end_at) r.fail("the central directory lies beyond its end");
  std::vector<located> entries;
  uint64_t at = end.central_offset;
  for (int i = 0; i < end.total_entries; ++i) {
    located e{r.record<zip_central_head>(at, "central directory"), ""};
    if (e.head.signature != zip_central_signature) r.fail("damaged central directory");
    e.name = r.text(at + sizeof e.head, e.head.name_length, "central directory");
    at += sizeof e.head + uint64_t(e.head.name_length) + e.head.extra_length + e.head.comment_length;
    entries.push_back(std::move(e));
  }
  return entries;
}

}  // namespace

std::vector<zip_entry> zip_read_bytes(const uint8_t* data, size_t size, const std::string& source) {
  const reader r{data, size, source};
  const size_t end_at = find_end(r);
  const zip_end_rec end = r.record<zip_end_rec>(end_at, "end record");
  const std::vector<located> entries = central_directory(r, end_at, end);
  std::vector<uint64_t> starts;     // every record's offset: no entry's data may run into the next record
  for (const located& e : entries) starts.push_back(e.head.local_header_offset);
  starts.push_back(end.central_offset);
  std::sort(starts.begin(), starts.end());
  if (std::adjacent_find(starts.begin(), starts.end()) != starts.end()) r.fail("two entries share their data");
  uint64_t total = 0;
  std::vector<zip_entry> out;
  for (const located& e : entries) {
    const zip_central_head& h = e.head;
    if (h.flags & flag_encrypted) r.fail(e.name + ": encrypted");
    if (h.method != method_stored && h.method != zip_method_deflate) r.fail(e.name + ": unknown compression method");
    if (h.local_header_offset >= end.central_offset) r.fail(e.name + ": its record lies in the central directory");
    const zip_local_head local = r.record<zip_local_head>(h.local_header_offset, "local header");
    if (local.signature != zip_local_signature) r.fail(e.name + ": damaged local header");
    const uint64_t start = uint64_t(h.local_header_offset) + sizeof local + local.name_length + local.extra_length;
    const uint64_t limit = *std::upper_bound(starts.begin(), starts.end(), uint64_t(h.local_header_offset));
    if (start + h.compressed_size > limit) r.fail(e.name + ": its data runs past its record");
    total += h.uncompressed_size;
    if (uint64_t(h.uncompressed_size) > deflate_ratio * h.compressed_size + 64 || total > zip_read_limit)
      r.fail(e.name + ": larger than its compressed data can hold");
    out.push_back({e.name, inflated(r, e, start)});
  }
  return out;
}

std::vector<zip_entry> zip_read(const std::string& path) {
  std::vector<uint8_t> bytes;
  const read_result got = read_file_bytes(path, bytes);
  if (!got) throw io_error(got.message);
  return zip_read_bytes(bytes.data(), bytes.size(), path);
}
