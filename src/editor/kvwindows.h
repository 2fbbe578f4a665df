// kvwindows: the editor's pages.
//
// Builds every GUI window of the editor once at start-up, placed from the
// screen size: the main menu, the general parameters, the ten element lists,
// the edit windows, the animation block, the VC, summary, 3D-controls, mesh
// browser, mesh view, options and question windows, and beside them the edit
// windows of beacons, exhausts and meshes, the help page and the message
// window. Each widget is given its handler where it is made: a button its
// action, a checkbox what it shows and what a toggle does, a text box the
// design field it shows and the setter that stores an edit. Every handler
// ends with the pages following the design and the reported changes becoming
// an undo step. Only the main menu is visible at first.
//
// Builds on: grpgui (widgets), kvgen (every change to the design), selection,
// preview_calls (markers and cameras of the preview), filecmds (New, Load, Save,
// Generate, Run, the mesh commands), meshview (the thumbnail).
//
// Index:
//   - page and list identifiers
//   - the pages' state
//   - building, the per-frame binding
//   - showing pages, questions and messages
//
// Notes:
//   - the lists, the summary, the selection line, the animation editor and
//     the browser grid are drawn by kvlists
//   - an edit window's boxes show and store the field of the list's current
//     element as it is at that moment, so they follow every change of it
//   - with no current element an edit window's boxes show nothing and are
//     disabled
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
  page_edit_beacon, page_edit_exhaust, page_edit_mesh, page_help, page_message, page_checks, page_import,
  page_edit_dock, page_edit_touchdown, page_edit_component,
  page_count
};
enum list_id : int {               // the element lists, in page order
  list_animations, list_meshes, list_beacons, list_docks, list_thrusters, list_exhausts,
  list_touchdown, list_airfoils, list_tanks, list_groups, list_count
};
constexpr page_id list_page(int list) { return page_id(page_animations + list); }
constexpr int list_rows = 9;       // rows a list window shows

enum confirm_action : int { confirm_none = 0, confirm_save = 1, confirm_reset = 2, confirm_restore = 3,
                            confirm_install = 4, confirm_install_replace = 5, confirm_delete_mesh = 6 };

// Tags of the buttons the pages add beside the main menu's.
enum extra_tag : int { tag_message_ok = -5, tag_undo = -6, tag_redo = -7, tag_copy = -8, tag_mirror = -9,
                       tag_checks = -10, tag_checks_down = -11, tag_checks_up = -12, tag_blank = -13,
                       tag_edit_touchdown = -14, tag_component_groups = -15, tag_import = -16,
                       tag_import_apply = -17 };

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
  int doomed_mesh = -1;            // the mesh the delete question asks about
  int vc_view = 0;                 // the VC view "VC config" shows
  int current_comp = 0;            // component of the current animation
  int comp_first = 0;              // first component row the animation editor shows
};
extern pages_state pages;

// --- Building, binding, handlers ----------------------------------------------------------------
void pages_build(int screen_w, int screen_h); // every window and widget; the main menu visible
void pages_frame();                // the lists, the current elements and the edit windows follow the design

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
void new_component();              // "+" of the animation editor: a component on the current mesh, "Edit component" shown
void edit_component(int comp);     // comp of the current animation becomes current; "Edit component" shown
