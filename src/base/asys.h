// asys: the program's most basic shared pieces.
//
// The named dynamic array types, a thin layer over untyped binary files that
// every binary reader and writer uses, the time-stamp texts, and a paired sort.
// Keeps no state of its own.
//
// Builds on: nothing.
//
// Notes: every file operation except opening a missing file for reading and
// file_exists raises io_error on failure (short read, full disk, missing folder).
#pragma once
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

// --- Dynamic arrays --------------------------------------------------------------
using astr      = std::vector<std::string>;   // text strings
using adouble   = std::vector<double>;        // doubles
using adword    = std::vector<uint32_t>;      // unsigned 32-bit integers
using apointer  = std::vector<void*>;         // untyped pointers
using aointeger = std::vector<int32_t>;       // signed 32-bit integers
using aosingle  = std::vector<float>;         // single-precision floats
using aoboolean = std::vector<uint8_t>;       // booleans, one byte each

// --- Errors ------------------------------------------------------------------------
// The one exception type of file input and output; what() names the file and the cause.
struct io_error : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Why a reader could not give its result, so that callers can tell "missing"
// from "empty" and say which it was. Readers return it instead of swallowing
// their failures.
enum read_status {
  read_ok = 0,
  read_missing,            // no such file
  read_unreadable,         // the file exists but cannot be read (a folder, no permission, I/O error)
  read_not_format,         // read, but not a file of the expected kind, or damaged
};
struct read_result {
  read_status status = read_ok;
  std::string message;     // one line naming the file and the cause; empty when ok
  explicit operator bool() const { return status == read_ok; }
};
read_result read_failure(read_status status, const std::string& message); // a failed result
read_result read_file_bytes(const std::string& name, std::vector<uint8_t>& out); // whole file, or why not

// --- Binary files ------------------------------------------------------------------
enum binfile_mode { binfile_read = 1, binfile_write = 2 };

// An untyped file with a record size of one byte: every count and position is in bytes.
struct binfile {
  std::string name;        // bound file name
  FILE* f = nullptr;       // open stream, or null
  binfile() = default;
  binfile(const binfile&) = delete;
  binfile& operator=(const binfile&) = delete;
  ~binfile();              // closes the file when still open
};

bool        file_open(binfile& h, const std::string& name, int mode); // 1 read (false when missing), 2 write
void        file_close(binfile& h);                                   // closes; no-op when not open
void        file_read(binfile& h, void* buffer, size_t count);        // exactly count bytes
void        file_write(binfile& h, const void* buffer, size_t count); // exactly count bytes
void        file_seek(binfile& h, uint64_t offset);                   // absolute byte offset
uint64_t    file_position(binfile& h);                                // current byte offset
uint64_t    file_size(binfile& h);                                    // size in bytes
bool        file_exists(const std::string& name);                     // regular file exists
std::vector<uint8_t> file_read_all(const std::string& name);          // whole file; io_error when unreadable

// A whole file mapped read-only into memory, so large files are read without
// being copied; unmapped when the record goes.
struct mapped_file {
  std::string name;            // the mapped file
  const uint8_t* data = nullptr; // its bytes; null when empty or not mapped
  size_t size = 0;             // bytes
  mapped_file() = default;
  mapped_file(const mapped_file&) = delete;
  mapped_file& operator=(const mapped_file&) = delete;
  ~mapped_file();              // unmaps
};
void file_map(mapped_file& m, const std::string& name);               // io_error when missing or unreadable

// --- Time texts --------------------------------------------------------------------
struct local_time { int year, month, day, hour, minute, second, millisecond; };
local_time  now_local();                                // the current local time
std::string date_time_text();                           // "yyyy-mm-dd hh:nn:ss" of now
std::string time_stamp();                               // "yymmdd_hh-nn-ss-zzz" of now
std::string time_stamp(const local_time& t);            // the same for a given time

// --- Paired sort ---------------------------------------------------------------------
// Reorders the first last+1 elements of both arrays together so that keys ascend.
void paired_sort(aointeger& index, adouble& key, int last);
