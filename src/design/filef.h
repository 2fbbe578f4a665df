// filef: directory listings.
//
// The plain directory listing of the installation scan (a pattern and an
// attribute mask, as the mesh browser asks for them). Files are written whole
// through sys's replace_file, which this header brings along for its callers.
//
// Builds on: asys, sys (folders, file kinds, replace_file).
//
// Notes: attribute bits are those the installation scan speaks of: 1 read-only,
// 2 hidden (a name starting with "."), 4 system, 8 volume, 16 directory,
// 32 archive (every regular file has it). Names are matched without regard to
// case; "*.*" matches every name.
#pragma once
#include <cstddef>
#include <string>
#include "base/asys.h"
#include "base/sys.h"

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
