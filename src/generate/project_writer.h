// project_writer: the development project for going on with the vessel in code.
//
// Writes a Developer Studio 6 workspace and project for a Win32 module named
// after the design's dll_name into the design's own folder under
// "Vessel_Design" in the simulator's root, set up to compile against the
// simulator's kit and to build into the root's "Modules" folder. The source
// and header the project names are not written.
//
// Builds on: asys (io_error), filef (files replaced whole), addon_names (safe
// target names, folders matched ignoring case), addon_files (text lines).
//
// Notes: both files are plain text with CR LF after every line, the last one
// included; writing twice gives identical files.
#pragma once
#include <string>
#include "base/asys.h"

std::string project_folder(const std::string& dll_name);              // ".\Vessel_Design\" + dll_name
std::string project_workspace_text(const std::string& dll_name);      // the 19-line workspace
std::string project_file_text(const std::string& dll_name);           // the 110-line project
// Creates the folder under root as needed and writes both files; io_error when
// dll_name would leave the root or a folder or file cannot be written.
astr write_project(const std::string& root, const std::string& dll_name);  // returns the paths written
