// addon_files: the add-on package and the texts generated for it.
//
// Turns the design into one zip package that a user unpacks into the
// simulator's root: the vessel module, the meshes and their textures, the
// Payload Manager library when the design uses it, the vessel configuration,
// a readme and two scenarios, in that order. Also the plain-text definitions
// listing of thrusters and docking ports.
//
// Builds on: kvvar (design, author name), module_writer (module in memory),
// azip (archive), addon_names (entry names, root check), instpath (source
// lookup), meshstore (meshes read as the preview reads them), strval (number
// texts), asys (time stamp), filef (files replaced whole).
//
// Sections: text building, the texts, the package, the listing file.
//
// Notes:
//   - every text ends its lines with CR LF; only the readme's last line has none
//   - a mesh, texture or Payload Manager file that is missing or unreadable is
//     left out, the report says which and why, and the package is still
//     written; a mesh or texture
//     name that is absolute or holds ".." is left out with a message, so no
//     file outside the root is read and no entry lands outside it
//   - a dll_name or vessel_name that would do either is refused with io_error
//   - every entry name is packed once (a texture of several meshes, a mesh
//     named twice), compared without case as the simulator's file system does
#pragma once
#include <functional>
#include <string>
#include <vector>
#include "base/asys.h"
#include "design/kvvar.h"
#include "generate/azip.h"

// --- Text building ------------------------------------------------------------------
// Joins lines, each followed by CR LF; "@" and a letter in a line is replaced
// by value(letter). Inserted values are not scanned again.
std::string crlf_lines(const char* const* lines, size_t count, const std::function<std::string(char)>& value);

// --- The texts ----------------------------------------------------------------------
enum scenario_kind { scenario_orbital, scenario_ground };

constexpr const char* corvane_version = "090927";               // named in the readme
constexpr const char* payload_manager_version = "080227";       // named in the readme

std::string duration_text(double seconds);                      // "3 minutes and 0 seconds", ...
std::string config_text(const vessel_design& d);                // three lines, four with the Payload Manager
std::string readme_text(const vessel_design& d, const std::string& author, const std::string& stamp); // stamp: time_stamp()
std::string scenario_text(const vessel_design& d, scenario_kind kind); // one "ANIM_" line per animation
std::string listing_text(const vessel_design& d);               // thrusters and docking ports

// --- The package ----------------------------------------------------------------------
struct addon_sources {
  std::string root = ".";                  // the simulator's root: meshes, textures, modules
  std::vector<astr> mesh_textures;         // texture names of the i-th design mesh, as the preview loaded it
  std::string author = "%authorname";      // author name of the user settings
};
// The one reader of a package's inputs, for the editor and the tool alike: the
// installation at root, each design mesh read as the preview reads it for the
// texture names it uses. What cannot be read is left out by build_addon, which says why.
addon_sources package_sources(const vessel_design& d, const std::string& root, const std::string& author);
// What a package is missing of what the design names.
struct addon_report {
  astr left_out;                           // one line per mesh, texture or library that could not be read, and why
  astr left_out_files;                     // the same files by their names below the root ("Meshes/x.msh")
  int meshes_packed = 0;                   // design meshes found and packed
  size_t entries = 0;                      // entries of the package
};
// Builds every entry into z from the design at rest (the design itself is
// not changed); messages receives one line per name left out for leaving the root.
addon_report build_addon(const vessel_design& design, const addon_sources& src, zipfile_rec& z, astr& messages);
// Builds the package and writes it to target; io_error when it cannot be written.
addon_report generate_addon(const vessel_design& d, const addon_sources& src, const std::string& target, astr& messages);

// --- The listing file -------------------------------------------------------------------
void write_listing(const vessel_design& d, const std::string& name);  // io_error on failure
