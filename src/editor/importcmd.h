// importcmd: "Import..." on the mesh browser: a model from a 3D tool (OBJ,
// glTF) brought into the installation and the design.
//
// The chosen model is imported at once with the scale and axes of the
// "Import" window and shown in "Mesh view" as the pending mesh, straight from
// memory; "Apply" imports it again with the window's values. "Select" writes
// the mesh into the meshes folder and its textures into Textures/NAME/, then
// adds the mesh as "Other" does, and says so on the status line; "Cancel"
// writes nothing.
//
// Builds on: filecmds (the pending mesh, messages), meshview (the
// thumbnail), mesh/meshimport (the import and the files it writes).
//
// Notes: NAME is the model's file name, with "_2", "_3", ... added until no
// mesh file and no texture folder of that name exists: an import never
// replaces a file of the installation.
#pragma once
#include <string>

struct import_window_state {       // written by the commands below and the window's text boxes
  double scale = 1;                // source units to metres
  std::string axes;                // "+x+y-z"; empty: the format's default
  std::string model;               // the model being imported; "" when none
  std::string name;                // the mesh it becomes, below the meshes folder
};
extern import_window_state import_window;

void command_import_model();       // "Import...": the model dialog
void choose_model_file(const std::string& path); // the dialog's OK (tests call it directly)
void import_apply();               // "Apply": imported again with the window's values
bool import_pending();             // a model waits in "Mesh view"
bool import_write();               // "Select": the files written; false (with a message) when they could not be
void import_drop();                // "Cancel", or another mesh chosen
