// sys: the program's calls to the file system.
//
// Every other unit reaches folders, file kinds, the current folder, memory
// figures and whole-file replacement through here, so the operating-system
// boundary is one small unit with a POSIX body and a Win32 body.
//
// Builds on: asys (io_error, astr).
//
// Notes:
//   - paths use "/" (on Windows "\\" too) and are UTF-8; relative paths
//     resolve against the current folder
//   - on Windows, names go through the wide calls, long paths get the "\\?\"
//     prefix, the reserved device names (CON, AUX, COM1...) count as devices,
//     and a replacement waits briefly for a program that holds the target open
//   - replace_file writes into a temporary file beside the target and renames
//     it over the target only when complete, so a failed write never leaves a
//     partly written file in place of a good one; it writes only regular files,
//     so a device or a pipe named as output is never replaced by a file
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

#ifdef _WIN32
constexpr const char* path_separators = "/\\";             // what may end a folder in a path
#else
constexpr const char* path_separators = "/";
#endif

struct memory_figures {
  int64_t heap_bytes = 0;       // memory the process holds for its data
  int64_t available_bytes = 0;  // memory the system could still give
};

path_kind   kind_of_path(const std::string& path);      // what path names, links followed
bool        path_writable(const std::string& path);     // the process may write it
int64_t     stream_size(FILE* f);                       // bytes of an open file, buffered writes counted; -1 on failure
astr        folder_entries(const std::string& folder);  // names in folder, never "." or ".."; empty when unreadable
bool        make_folders(const std::string& folder);    // creates folder and missing parents; false when it cannot
std::string enterable_folder(const std::string& folder); // absolute path of a folder the process may enter; "" if not
bool        same_file(const std::string& a, const std::string& b); // both exist and are one file (links followed)
std::string link_target(const std::string& name);       // the path its symbolic links lead to; name when it is none
std::string current_folder();                           // the process's current folder; "." when it cannot tell
bool        enter_folder(const std::string& folder);    // makes folder current; false when it cannot
memory_figures memory_in_use();                         // zero where the system does not say
std::string system_error_text(int code);                // why a call failed: errno here, GetLastError on Windows
#ifdef _WIN32
std::wstring wide_text(const std::string& utf8);        // UTF-8 to UTF-16
std::string  utf8_text(const std::wstring& wide);       // UTF-16 to UTF-8
std::wstring wide_path(const std::string& path);        // for the wide file calls: "\\", "\\?\" when long
#endif
// Writes size bytes to a temporary file beside the target and renames it over
// the target. The target is name, or where name's symbolic links lead; one that
// exists and is not a regular file (a folder, a device, a pipe) is refused. On
// failure the temporary file is removed, the target is untouched, and io_error
// says "cannot write NAME: reason". Temporary files that a killed writer left
// in the folder are removed first.
void        replace_file(const std::string& name, const void* data, size_t size);
