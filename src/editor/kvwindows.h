// kvwindows: the editor's pages.
//
// Builds every GUI window of the editor once at start-up, placed from the
// screen size: the main menu, the general parameters, the ten element lists,
// the edit windows, the animation block, the VC, summary, 3D-controls, mesh
// browser, mesh view, options and question windows, and beside them the edit
// windows of beacons, exhausts and meshes, the help page and the message
// window. Three handlers serve every widget: buttons by tag, checkboxes by tag,
// text boxes by identifier. Only the main menu is visible at first.
//
// Builds on: grpgui (widgets), kvgen (every change to the design), selection,
// scene_link (markers and cameras of the preview), filecmds (New, Load, Save,
// Generate, Run, the mesh commands), meshview (the thumbnail).
//
// Index:
//   - page and list identifiers
//   - the pages' state
//   - building, the per-frame binding, the three handlers
//   - showing pages, questions and messages
//
// Notes:
//   - the lists, the summary, the selection line, the animation editor and
//     the browser grid are drawn by kvlists
//   - text boxes point straight at design fields; pages_frame() points the
//     edit windows at the current elements again after every change, so a
//     box never keeps the address of an element that moved or went away
//   - with no current element an edit window's boxes are bound to nothing
//     and disabled
//   - the mesh thumbnail of "Mesh view" is drawn by meshview
#pragma once
#include <cstdint>
#include <string>
#include "design/kvgen.h"
#include "editor/grpgui.h"

// --- Page and list identifiers ---------------------------------------------------------
enum page_id : int {
  page_main, page_general, page_animations, page_meshes, page_beacons, page_docks,
  page_thrusters, page_exhausts, page_touchdown, page_airfoils, page_tanks, page_groups,
  page_edit_thruster, page_edit_airfoil, page_animation_block, page_vc_config, page_vessel_data,
  page_controls, page_browser, page_mesh_view, page_options, page_confirm,
  page_edit_beacon, page_edit_exhaust, page_edit_mesh, page_help, page_message, page_checks,
  page_count
};
enum list_id : int {               // the element lists, in page order
  list_animations, list_meshes, list_beacons, list_docks, list_thrusters, list_exhausts,
  list_touchdown, list_airfoils, list_tanks, list_groups, list_count
};
constexpr page_id list_page(int list) { return page_id(page_animations + list); }
constexpr int list_rows = 9;       // rows a list window shows

enum confirm_action : int { confirm_none = 0, confirm_save = 1, confirm_reset = 2, confirm_restore = 3,
                            confirm_install = 4, confirm_install_replace = 5 };

// Text-box identifiers the change handler acts on; every other box has its own from 20 up.
enum textbox_id : int { id_sel_x = 1, id_sel_y = 2, id_sel_z = 3, id_duration = 4, id_key = 5,
                        id_thruster_tank = 6, id_first_plain = 20 };

// Tags of the buttons the pages add beside the main menu's.
enum extra_tag : int { tag_message_ok = -5, tag_undo = -6, tag_redo = -7, tag_copy = -8, tag_mirror = -9,
                       tag_checks = -10, tag_checks_down = -11, tag_checks_up = -12, tag_blank = -13 };

// --- The pages' state --------------------------------------------------------------------
struct list_state {
  int current = 0;                 // the element "Edit" and "Delete" act on
  int first = 0;                   // first visible row
};

struct pages_state {               // written by the pages' handlers and the file commands
  gg_wndtype windows[page_count];  // in creation order; a page shown lies on top of the others
  int screen_w = 0, screen_h = 0;  // the client area the windows were placed in
  list_state lists[list_count];
  std::string question = "Nothing"; // shown by "Confirm?"
  int confirm = confirm_none;      // what "Yes" does
  std::string message;             // shown by the message window
  double add_thrust = editor_add_thrust; // "Add Thrust:"
  double add_isp = editor_add_isp; // "Add ISP:"
  double sel[3] = {0, 0, 0};       // the "3D controls" coordinates
  double duration = 1.0;           // "Duration, sec" of the current animation
  std::string key_text;            // "Key" of the current animation: its code and name ("32 D")
  int32_t thruster_tank = 0;       // "Fuel tank" of "Edit thruster"
  int current_comp = 0;            // component of the current animation
  int comp_first = 0;              // first component row the animation editor shows
};
extern pages_state pages;

// --- Building, binding, handlers ----------------------------------------------------------------
void pages_build(int screen_w, int screen_h); // every window and widget; the main menu visible
void pages_frame();                // binds the edit windows to the current elements
void pages_click(gg_btnrec& b);    // every button, by tag
void pages_toggle(gg_inprec& c);   // every checkbox, by tag
void pages_change(gg_txtboxrec& t); // every text box, by identifier, after it stored its value

// --- Showing pages, questions, messages ----------------------------------------------------------
constexpr size_t message_line_chars = 72;  // characters of one line of the message window
constexpr size_t message_lines = 3;        // lines it shows; the rest of a longer message is cut
gg_wndtype& page(page_id p);
void show_page(page_id p);
void hide_page(page_id p);
bool close_top_page();             // Escape: the top-most open page as its "Close" ("No", "Cancel", "OK") would; false when none is open
void ask(int action, const std::string& question); // shows "Confirm?"
void show_message(const std::string& text);        // the message window, on top
int  list_count_of(int list);      // elements the list shows
int  list_marker(int list);        // point kind of the list's preview markers, -1 none
