// sys: the program's calls to the file system.
//
// Every other unit reaches folders, file kinds and whole-file replacement
// through here, so the operating-system boundary is one small unit (a Windows
// build replaces this file and keeps the rest).
//
// Builds on: asys (io_error, astr).
//
// Notes:
//   - paths use "/"; relative paths resolve against the current folder
//   - replace_file writes into a temporary file beside the target and renames
//     it over the target only when complete, so a failed write never leaves a
//     partly written file in place of a good one
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include "base/asys.h"

enum path_kind {
  path_missing = 0,   // nothing there, or a folder on the way is missing
  path_regular,       // a regular file (symbolic links are followed)
  path_folder,        // a folder
  path_other,         // a device, pipe or socket
  path_unreachable,   // the system cannot tell (no permission on the way, ...); errno says why
};

path_kind   kind_of_path(const std::string& path);      // what path names, links followed
bool        path_writable(const std::string& path);     // the process may write it
int64_t     stream_size(FILE* f);                       // bytes of an open file, buffered writes counted; -1 on failure
astr        folder_entries(const std::string& folder);  // names in folder, never "." or ".."; empty when unreadable
bool        make_folders(const std::string& folder);    // creates folder and missing parents; false when it cannot
std::string enterable_folder(const std::string& folder); // absolute path of a folder the process may enter; "" if not
// Writes size bytes to a temporary file in name's folder and renames it over
// name. On failure the temporary file is removed, name is untouched, and
// io_error says "cannot write NAME: reason". Temporary files that a killed
// writer left in the folder are removed first.
void        replace_file(const std::string& name, const void* data, size_t size);
