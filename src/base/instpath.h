// instpath: paths inside the simulator's installation.
//
// The installation names its folders with any capitalisation ("Meshes" and
// "meshes", "Textures" and "textures") and names arrive with "\" or "/". This
// unit finds the file that a name means and tells whether a name stays inside
// the root, so that package entries and the files read for them never leave it.
//
// Builds on: strval (case-insensitive comparison), sys (folders).
//
// Notes: install_path does not judge safety; check a name with is_safe_relative
// before using it for anything read or written on the user's behalf.
#pragma once
#include <string>

std::string install_path(const std::string& root, const std::string& rel); // existing path, matched per component ignoring case; "" if none
// Where to write rel below root: each folder and the file take the spelling of an existing
// entry of their kind that matches ignoring case ("meshes\dg\x.msh" -> "root/Meshes/dg/x.msh"),
// the rest stay as given. rel must be safe (is_safe_relative).
std::string install_target(const std::string& root, const std::string& rel);
bool        is_safe_relative(const std::string& rel); // neither absolute ("/", "\", "X:") nor holding a ".." component
std::string to_backslashes(std::string path);         // every "/" becomes "\"
std::string to_slashes(std::string path);             // every "\" becomes "/"
