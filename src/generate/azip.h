// azip: a small write-only zip builder for the add-on package.
//
// Entries are added one after another; each entry's data is deflated as soon as
// it is given, everything stays in memory, and the archive goes to disk in one
// sequential pass at the end. Single volume, no archive comment, no extra
// fields, no data descriptors, no encryption, every entry stored with method 8.
//
// Builds on: asys (io_error, local time), filef (files replaced whole), zlib
// (raw deflate, CRC-32).
//
// Notes:
//   - entry names are stored exactly as given; backslashes are kept
//   - the archive is assembled in memory and written in one pass to a temporary
//     file in the target's folder, renamed over the target when complete, so a
//     failed write leaves any previous file untouched
//   - past the format's limits (65,535 entries, 4 GiB sizes and offsets) the
//     builder refuses with io_error instead of writing a damaged archive
//   - times before 1980 or after 2107, which the format cannot hold, are
//     stored as its first or last moment
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>
#include "base/asys.h"

// --- Stored records ------------------------------------------------------------------
constexpr uint32_t zip_local_signature   = 0x04034B50;  // "PK\3\4"
constexpr uint32_t zip_central_signature = 0x02014B50;  // "PK\1\2"
constexpr uint32_t zip_end_signature     = 0x06054B50;  // "PK\5\6"
constexpr uint16_t zip_version           = 20;          // version needed and made by
constexpr uint16_t zip_method_deflate    = 8;           // the only method written
constexpr uint16_t zip_flag_utf8         = 1 << 11;     // the entry name is UTF-8 (set only for names beyond ASCII)

#pragma pack(push, 1)
struct zip_local_head {           // the 30-byte local file header
  uint32_t signature;             // zip_local_signature
  uint16_t version_needed;        // 20
  uint16_t flags;                 // 0, or zip_flag_utf8 for a name beyond ASCII
  uint16_t method;                // 8
  uint32_t time_date;             // DOS time (low 16 bits), DOS date (high 16 bits)
  uint32_t crc;                   // CRC-32 of the uncompressed data
  uint32_t compressed_size;       // bytes of stored data
  uint32_t uncompressed_size;     // bytes of the original data
  uint16_t name_length;           // bytes of the name
  uint16_t extra_length;          // 0
};
struct zip_central_head {         // the 46-byte central directory header
  uint32_t signature;             // zip_central_signature
  uint16_t version_made_by;       // 20
  uint16_t version_needed;        // copied from the local header ...
  uint16_t flags;
  uint16_t method;
  uint32_t time_date;
  uint32_t crc;
  uint32_t compressed_size;
  uint32_t uncompressed_size;
  uint16_t name_length;
  uint16_t extra_length;          // ... through here
  uint16_t comment_length;        // 0
  uint16_t disk_number_start;     // 0
  uint16_t internal_attributes;   // 0
  uint32_t external_attributes;   // as given when the entry was added
  uint32_t local_header_offset;   // filled in while writing
};
struct zip_end_rec {              // the 22-byte end of central directory record
  uint32_t signature;             // zip_end_signature
  uint16_t disk_number;           // 0
  uint16_t central_disk;          // 0
  uint16_t entries_on_disk;       // number of entries
  uint16_t total_entries;         // number of entries
  uint32_t central_size;          // bytes of all central headers
  uint32_t central_offset;        // file offset of the first central header
  uint16_t comment_length;        // 0
};
#pragma pack(pop)

static_assert(sizeof(zip_local_head) == 30);
static_assert(offsetof(zip_local_head, version_needed) == 4);
static_assert(offsetof(zip_local_head, method) == 8);
static_assert(offsetof(zip_local_head, time_date) == 10);
static_assert(offsetof(zip_local_head, crc) == 14);
static_assert(offsetof(zip_local_head, compressed_size) == 18);
static_assert(offsetof(zip_local_head, uncompressed_size) == 22);
static_assert(offsetof(zip_local_head, name_length) == 26);
static_assert(offsetof(zip_local_head, extra_length) == 28);
static_assert(sizeof(zip_central_head) == 46);
static_assert(offsetof(zip_central_head, version_needed) == 6);
static_assert(offsetof(zip_central_head, extra_length) == 30);
static_assert(offsetof(zip_central_head, comment_length) == 32);
static_assert(offsetof(zip_central_head, external_attributes) == 38);
static_assert(offsetof(zip_central_head, local_header_offset) == 42);
static_assert(sizeof(zip_end_rec) == 22);
static_assert(offsetof(zip_end_rec, entries_on_disk) == 8);
static_assert(offsetof(zip_end_rec, central_size) == 12);
static_assert(offsetof(zip_end_rec, central_offset) == 16);
static_assert(offsetof(zip_end_rec, comment_length) == 20);

struct TLocalFile {               // one entry as it precedes its data
  zip_local_head head;            // written packed
  std::string name;               // entry name, backslashes kept
  std::string extra;              // always empty
  std::string data;               // the raw deflate stream
};

struct TFileHeader {              // one entry in the central directory
  zip_central_head head;          // written packed
  std::string name;               // copy of the local name
  std::string extra;              // copy of the local extra (empty)
  std::string comment;            // empty
};

// The builder. Both arrays always have one element per entry, in entry order;
// only the functions below write to it.
struct zipfile_rec {
  std::vector<TLocalFile> local;     // local headers and data
  std::vector<TFileHeader> central;  // central directory headers
  zip_end_rec end{};                 // filled when the archive is written
  std::string comment;               // archive comment, always empty
};

// --- Building ---------------------------------------------------------------------
int  zip_add_entry(zipfile_rec& z, const std::string& name, uint32_t external_attributes); // new entry's index; io_error past the limits
void zip_set_data(zipfile_rec& z, int index, const void* bytes, size_t length); // deflates; "Index out of range."
void zip_set_text(zipfile_rec& z, int index, const std::string& text);          // the text's bytes, no NUL
void zip_write(zipfile_rec& z, const std::string& file_name);                   // io_error on failure

// --- Pieces, exposed for tests and benchmarks ---------------------------------------------
std::string zip_deflate_raw(const void* bytes, size_t length);    // raw deflate, default level
uint32_t    zip_crc32(const void* bytes, size_t length);          // reflected CRC-32; 0 for nothing
uint32_t    dos_time_date(const local_time& t);                   // time low, date high
