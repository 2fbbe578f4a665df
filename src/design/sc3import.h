// sc3import: vessels of the Spacecraft3 format turned into designs.
//
// Reads the bracketed sections and KEY=value lines of a Spacecraft3 vessel
// file and builds the design through the add operations: the main mesh,
// tank and main, retro, hover and attitude thrusters from CONFIG, the virtual
// cockpit, exhaust flames, docks, aerodynamic elements, animations and their
// components, and the launch and landing touchdown points.
//
// Builds on: kvgen (add operations), strval (numbers), asys (file reading).
//
// Notes:
//   - animation sections are matched by their number, not by their position:
//     a component names the animation of the section ANIM_SEQ_n it gives as
//     SEQ=n, whatever order the sections come in; a component naming a section
//     that has not appeared before it is skipped; the ANIM keys of the
//     AERODYNAMICS section are section numbers too and are mapped the same way
//     (to -1 when no such section exists)
//   - the returned notes tell what was renumbered or skipped, and name (with
//     their line numbers) every section and key the import does not know and
//     every KEY name that maps to no key; an import that went as the file
//     says returns none
//   - a text without any [section] (empty, binary, another format) is refused
//     with io_error and leaves the blank design
//   - lines and tokens are cut at 255 characters, a line keeps 50 values
#pragma once
#include <string>
#include "design/kvvar.h"

constexpr const char* sc3_default_name = "new_vessel";  // vessel and module name of an import

// Replaces d with the vessel of the file; io_error when it cannot be read or
// holds no section (d is then blank).
astr import_sc3(vessel_design& d, const std::string& file, const std::string& vessel_name);
// The same from text already in memory.
astr import_sc3_text(vessel_design& d, const std::string& text, const std::string& vessel_name);
