// filef: directory listings and files that are replaced whole.
//
// The plain directory listing of the installation scan (a pattern and an
// attribute mask, as the mesh browser asks for them) and the one safe way the
// design model writes a file: into a temporary file beside the target that is
// renamed over it only when complete.
//
// Builds on: asys (io_error).
//
// Notes: attribute bits are those the installation scan speaks of: 1 read-only,
// 2 hidden (a name starting with "."), 4 system, 8 volume, 16 directory,
// 32 archive (every regular file has it). Names are matched without regard to
// case; "*.*" matches every name.
#pragma once
#include <cstddef>
#include <string>
#include "base/asys.h"

enum file_attribute : int {
  attr_none = 0,
  attr_read_only = 1 << 0,
  attr_hidden = 1 << 1,
  attr_system = 1 << 2,
  attr_volume = 1 << 3,
  attr_directory = 1 << 4,
  attr_archive = 1 << 5,
  attr_any = 63,
};

// Entries of the folder part of pattern whose names match its last part and
// whose attributes share a bit with mask; never "." or "..", in file-system
// order. A missing folder gives an empty list.
astr list_directory(const std::string& pattern, int mask);
bool name_matches(const std::string& name, const std::string& wildcard); // * and ?, case-insensitive

// Writes size bytes to a temporary file in name's folder and renames it over
// name. On failure the temporary file is removed, name is untouched, and
// io_error says "cannot write NAME: reason". Temporary files that a killed
// writer left in the folder are removed first.
void replace_file(const std::string& name, const void* data, size_t size);
