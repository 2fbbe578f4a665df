// filedialog: the in-window dialog that chooses a file to open or save.
//
// A modal window of the toolkit: the title, the folder shown, a list of its
// sub-folders and of the files that match the selected filter, the filters in
// the caller's order, a file-name box (a name, a relative or an absolute
// path), OK and Cancel. It knows nothing of the commands that open it: they
// pass a request and get one result back through a callback.
//
// Builds on: grpgui (window, widgets, modal routing), glgr (drawing, screen
// size), base/instpath (case-insensitive folder names), std::filesystem.
//
// Index:
//   - request and result (the callers' interface)
//   - listing, filter matching and path composition (no GL)
//   - the dialog's state and layout (for tests that drive it)
//
// Notes:
//   - relative folders and names resolve against the current directory, which
//     is the simulator's root whenever a dialog opens
//   - the list holds ".." (unless at the top), the sub-folders, then the
//     matching files; each part sorted ignoring case
//   - mouse: a press picks an entry, a second press on it within
//     fd_double_click_ms opens a folder or chooses a file; the wheel scrolls
//   - keys: Up, Down, Page Up, Page Down move in the list; Enter is OK and
//     Escape is Cancel (both on release); the rest goes to the name box
//   - OK on a name that is a folder opens that folder; "file and path must
//     exist" refuse a missing file or folder with a message in the dialog
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>
#include "editor/grpgui.h"

// --- Request and result ----------------------------------------------------------------
enum file_dialog_flags { fd_None = 0, fd_FileMustExist = 1 << 0, fd_PathMustExist = 1 << 1, fd_Save = 1 << 2 };
struct file_filter { std::string description; std::string patterns; };   // e.g. {"Design file (*.vessdef)", "*.vessdef"}; patterns ';'-separated, "*.*" any
struct file_dialog_request {
  std::string title;                    // "Export", ...
  std::string folder;                   // initial folder: relative to the root, or absolute; "" = the root
  std::string file_name;                // initial text of the name box
  std::vector<file_filter> filters;     // shown in this order
  int filter_index = 1;                 // 1-based, selected at the start
  int flags = fd_None;
};
struct file_dialog_result { bool ok = false; std::string path; int filter_index = 1; };  // path: full chosen path; filter_index 1-based
using file_dialog_done = std::function<void(const file_dialog_result&)>;
void file_dialog_open(const file_dialog_request& request, file_dialog_done done); // shows it, modal; done runs once, on OK or Cancel, after the dialog has closed
bool file_dialog_shown();                // true while it is open
void file_dialog_build();                // makes its window and widgets; the first open does it when needed

// --- Listing, filter matching, path composition -------------------------------------------
struct file_dialog_entry {
  std::string name;                     // as on disk; ".." for the parent
  bool folder = false;
};
bool filter_matches(const std::string& patterns, const std::string& name); // ';'-separated, '*' and '?', case ignored; "*.*" any
std::string compose_path(const std::string& folder, const std::string& name); // absolute, normalised; "\" read as "/"
// The folder's list as the dialog shows it; error gets the reason when it cannot be read.
std::vector<file_dialog_entry> list_folder(const std::string& folder, const std::string& patterns, std::string& error);

// --- State and layout ------------------------------------------------------------------------
constexpr int fd_width = 520;           // body width
constexpr int fd_list_x = 8, fd_list_y = 26; // the list's corner in the body
constexpr int fd_list_width = 504;
constexpr int fd_rows = 15;             // list rows shown
constexpr int fd_row_height = 16;       // one text line
constexpr int fd_name_y = fd_list_y + fd_rows * fd_row_height + 10; // the name box's line
constexpr int fd_filter_x = 132;        // filter rows, one a line below the name box
constexpr int fd_filter_y = fd_name_y + 24;
constexpr int fd_filter_pitch = 18;
constexpr uint32_t fd_double_click_ms = 500;
constexpr int fd_wheel_rows = 3;        // rows per wheel step

// Written only by this unit's entry points and widgets; tests read it and may
// replace the clock.
struct file_dialog_state {
  bool shown = false;
  file_dialog_request request;          // as opened
  file_dialog_done done;                // runs once when the dialog closes
  std::string folder;                   // absolute, normalised: the folder shown
  std::vector<file_dialog_entry> entries; // the folder's list
  std::string name;                     // the name box's variable
  int filter = 1;                       // 1-based, into request.filters
  int top = 0;                          // first list entry shown
  int selected = -1;                    // picked list entry, -1 none
  std::string message;                  // why OK was refused, or why the folder could not be read
  int last_pick = -1;                   // entry of the last press, for double presses
  uint32_t last_pick_ms = 0;            // when it was pressed
  uint32_t (*clock)() = nullptr;        // milliseconds; a steady clock unless replaced
  int name_box = -1, ok_button = -1, cancel_button = -1; // widget indices, made at the first open
  gg_panelrec* backing = nullptr;       // opaque body: nothing behind shows through the dialog
};
extern file_dialog_state file_dialog;
extern gg_wndtype file_dialog_window;

int file_dialog_row_y(int row);         // body-relative top of a list row
int file_dialog_buttons_y();            // body-relative top of OK and Cancel
