// kvvar: the vessel design record and the user settings.
//
// The one design of the program: the stored header, the element arrays of
// vrkdll_data with each animation's group lists and components and each VC
// view's MFD bindings kept beside their records, and the run-time play flags.
// The author name of the user settings lives here too, with its file.
//
// Builds on: vrkdll_format (stored records), preview_link, asys, parser.
//
// Notes:
//   - every array holds exactly as many elements as its header count; the
//     operations of kvgen keep both in step
//   - the lists, components and bindings stand where the stored records have
//     their 4-byte run-time slots; the design file writes those slots as nothing
//   - the editor, the preview and the commands write the design only through
//     kvgen's operations or by editing fields in place
#pragma once
#include <string>
#include <vector>
#include "base/asys.h"
#include "design/preview_link.h"
#include "design/vrkdll_format.h"

// One animation: its stored record, the lists its components move, its components.
struct anim_entry {
  anim_seq seq;                           // group_list_count and comp_count match the vectors
  std::vector<aointeger> group_lists;     // mesh group indices per list
  std::vector<anim_comp> comps;           // components in list order
};

// One virtual-cockpit view and its MFD bindings.
struct vc_view_entry {
  vc_view view;                           // mfd_count matches mfds
  std::vector<vc_mfd_bind> mfds;          // MFD screens of this view
};

// The element arrays, in the order of the design block.
struct vrkdll_data {
  std::vector<fuel_tank> fuel_tanks;      // 0
  std::vector<thruster_def> thrusters;    // 1
  std::vector<exhaust_def> exhausts;      // 2
  std::vector<mesh_entry> meshes;         // 3
  std::vector<anim_entry> anim_seqs;      // 4
  std::vector<vc_view_entry> vc_views;    // 5
  std::vector<touchdown_set> touchdown_sets; // 6
  std::vector<beacon_def> beacons;        // 7
  std::vector<dock_def> docks;            // 8
  std::vector<crew_def> crew = {crew_def{}}; // 9, always one element
  std::vector<aero_def> aero_elements;    // 10
};

design_header blank_header();             // the header of the blank design

// A default-constructed design is the blank design, with gear_anim 0.
struct vessel_design {
  design_header header = blank_header();  // general parameters, names, counts
  vrkdll_data data;                       // element arrays
  aointeger anim_playing;                 // run time only: 1 while an animation plays
  preview_link preview;                   // who is told about meshes and animations; set by the owner
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
