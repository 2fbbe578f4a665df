// addon_install: unpacking an add-on package into the simulator's installation.
//
// The package names its entries as the simulator's own system spells them
// ("meshes\dg\hull.msh", "config\vessels\x.cfg"). Installing writes every
// entry under the root with backslashes taken as separators and each folder
// (and the file) matched ignoring case to one that exists, so "meshes\dg" goes
// into "Meshes/dg" and no folder comes to exist twice in two spellings. A plan
// reads the package and says which existing files would change, so the caller
// can ask once before anything is written.
//
// Builds on: zipread (the entries), instpath (safe names, case-insensitive
// targets), sys (folders, files replaced whole), asys (io_error).
//
// Notes:
//   - an entry that is absolute or holds ".." is not written (refused, with the
//     reason); folder entries only make their folder
//   - a file that exists with the same bytes is written again all the same, so
//     the installed scenarios are the newest ones
//   - each file is replaced whole; a failure stops the install with io_error
//     naming the file, and the files already written stay
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "base/asys.h"

struct install_file {
  std::string entry;                // as stored in the package
  std::string target;               // the file written: the root, then existing spellings
  std::vector<uint8_t> data;        // its bytes
  bool differs = false;             // an existing file with other bytes is replaced
};

struct install_plan {
  std::string root;                 // the installation
  std::vector<install_file> files;  // in package order
  astr folders;                     // folder entries, as targets
  astr refused;                     // "ENTRY: why" of entries that would leave the root
};

struct install_report {
  size_t files = 0;                 // written
  uint64_t bytes = 0;               // their bytes together
};

install_plan   plan_install(const std::string& package, const std::string& root); // io_error when the package cannot be read
astr           differing_files(const install_plan& p);      // targets below the root that would change, as "Meshes/dg/x.msh"
install_report install_package(const install_plan& p);      // writes every file; io_error at the first that fails
