// kvvar: the vessel design record and the user settings.
//
// The one design of the program: the stored header, the element arrays of
// vrkdll_data with each animation's group lists and components and each VC
// view's MFD bindings kept beside their records, and the run-time play flags.
// The author name of the user settings lives here too, with its file.
//
// Builds on: vrkdll_format (stored records), asys, parser.
//
// Notes:
//   - every array holds exactly as many elements as its header count; the
//     operations of kvgen keep both in step
//   - the element arrays and their entries are declared once, with the stored
//     records, in vrkdll_format; the lists, components and bindings stand where
//     the stored records have their run-time slots, which are never written
//   - the editor, the preview and the commands write the design only through
//     kvgen's operations and setters, which report every change
#pragma once
#include <string>
#include <vector>
#include "base/asys.h"
#include "design/vrkdll_format.h"

design_header blank_header();             // the header of the blank design

// A default-constructed design is the blank design, with gear_anim 0.
struct vessel_design {
  design_header header = blank_header();  // general parameters, names, counts
  vrkdll_data data;                       // element arrays
  aointeger anim_playing;                 // run time only: 1 while an animation plays
};

// The one design of the program. The frame loop, the editor callbacks and the
// file commands write it, all on the window's thread.
extern vessel_design design;

// --- Blank values --------------------------------------------------------------------
void set_name(char* field, size_t field_size, const std::string& value); // cut to field_size - 1, zero-filled
std::string name_of(const char* field, size_t field_size); // text up to the NUL or the field's end
uint32_t pack_colour(double r, double g, double b, double a); // round(v × 255) per byte, R low
void sync_counts(vessel_design& d);       // header and record counts := the container sizes

// --- User settings --------------------------------------------------------------------
struct user_settings {
  std::string author_name = "%authorname"; // shown in the Options window, used by the readme
};
extern user_settings settings;            // read at start-up, written at exit

constexpr const char* settings_file = "Vessel_Design/vrk.cfg"; // relative to the root
void read_user_settings(user_settings& s, const std::string& root = "."); // missing file keeps the defaults
void write_user_settings(const user_settings& s, const std::string& root = "."); // creates the folder; io_error on failure
