// zipread: reading the entries of a zip package back.
//
// Installing an add-on reads the package the generator wrote (or any other
// single-volume zip): every entry's name and its inflated bytes, checked
// against the stored CRC-32 and size.
//
// Builds on: azip (the stored records, CRC-32), asys (io_error, whole files),
// zlib (raw inflate).
//
// Notes:
//   - methods 0 (stored) and 8 (deflate) are read; an encrypted entry, another
//     method, a record that lies outside the file or overlaps the next one, a
//     wrong size or CRC is refused with io_error naming the package and the
//     entry, and nothing is returned
//   - an entry's declared size is believed only up to what its compressed bytes
//     can give, and all entries together at most zip_read_limit bytes, so a
//     damaged or hostile package cannot make the reader allocate without bound
//   - names are returned as stored (backslashes kept); judging them is the caller's job
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>
#include "base/asys.h"

constexpr uint64_t zip_read_limit = uint64_t(2) << 30;   // bytes of all entries together, inflated

struct zip_entry {
  std::string name;                 // as stored
  std::vector<uint8_t> data;        // inflated
};

// Every entry of the archive in data[0..size), in central-directory order; source names it in errors.
std::vector<zip_entry> zip_read_bytes(const uint8_t* data, size_t size, const std::string& source);
std::vector<zip_entry> zip_read(const std::string& path);   // the same for a file; io_error when unreadable
