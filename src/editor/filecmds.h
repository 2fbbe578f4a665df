// filecmds: the editor's file commands and the mesh commands.
//
// New, Load, Save, Generate, Run Veltora and Exit of the main menu, the
// answer to the question window, and the mesh page's commands: the mesh
// browser window (its geometry, paging and clicks), choosing a mesh file
// through the dialog, importing a model (importcmd), and adding or dropping
// the mesh waiting in "Mesh view".
// Every dialog puts the current folder back to the root afterwards.
//
// Builds on: kvwindows (pages, questions, messages), filedialog, kvgen and
// the design file, Spacecraft3 import and installation scan of the design
// model, the generator (add-on, module, listing, project, launcher).
//
// Notes:
//   - a failing read or write shows its message and leaves the design as it
//     was: loads and imports go into a design of their own first, writers
//     replace their targets whole
//   - a design is saved as dll_name + ".vessdef" in the root; a name that
//     would leave the root is refused with a message
//   - a package written without some of the files the design names (missing
//     or unreadable meshes, textures, library) says which in a message
//   - a package written is offered for installing into the root at once;
//     files of the installation that would change are named in a second question
//   - Save, Load, Generate and Install say on the status line what they did
//   - loading and generating show the progress screen first, as both can take
//     a while with large meshes
//   - a mesh chosen through the dialog must lie in the meshes folder: its name
//     is kept relative to that folder, as the installation reads it
//   - a run of the simulator that fails reports on its own thread; the
//     sentence waits under a lock until the next frame shows it
#pragma once
#include <cstdint>
#include <string>
#include "editor/grpgui.h"

struct file_commands_state {       // written by the commands below
  std::string root;                // the folder current at start-up, absolute
  std::string pending_mesh;        // chosen, not yet added; "" when none
  std::string installable;         // the package Generate wrote last, offered for installing
  int browser_page = 0;            // columns the browser has been paged by
  int hovered = -1;                // browser cell under the mouse, -1 none
};
extern file_commands_state files;

void file_commands_init(const std::string& root); // the root every dialog returns to

// --- Main menu ----------------------------------------------------------------------------
void command_exit();               // the shell's exit; nothing is saved or asked
void command_new();                // asks before resetting
void command_save();               // asks before overwriting
void command_load();               // the "Load" dialog
void command_generate();           // the "Export" dialog
void command_run();                // the simulator on a thread of its own; a failed run is told later
void show_run_reports();           // every frame: the failed runs' sentences into the message window
void command_yes();                // carries out the pending question
void command_blank();              // "Blank" to New's question: the blank design
void save_design_now();            // writes dll_name + ".vessdef"

// --- Dialog routing (the dialogs' OK; tests call them directly) ------------------------------------
void export_design(const std::string& path, int filter);  // 1 add-on, 2 module, 3 listing, 4 project, 5 add-on + ".zip"
void load_design(const std::string& path, int filter);    // 3 Spacecraft3 import, else a design or module
void choose_mesh_file(const std::string& path);           // "Other": becomes the pending mesh

// --- Mesh commands and browser ---------------------------------------------------------------
void command_browse_meshes();      // "Add" on "Meshes": the browser at "meshes/"
void command_other_mesh();         // the "Open mesh" dialog
void command_import_model();       // "Import...": the "Import model" dialog (importcmd)
void command_cancel_mesh();        // drops the pending mesh
void command_select_mesh();        // adds it to the design

struct browser_grid {              // the browser's cells for a window of w × h
  int columns = 0;                 // n; 0 when no column fits
  int pitch = 0;                   // p, pixels from column to column
  int rows = 0;                    // r, cells per column
};
browser_grid browser_geometry(int width, int height);
int  browser_cell(const browser_grid& g, int x, int y); // cell under a window-relative point, -1 none
void browser_mouse(gg_wndtype& w, int kind, uint16_t shift, int x, int y); // "Open/Close"'s mouse procedure
