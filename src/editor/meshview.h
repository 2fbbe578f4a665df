// meshview: the mesh thumbnail of "Mesh view".
//
// The mesh waiting to be added (the mesh browser's or the "Open mesh"
// dialog's choice) is read with its textures and drawn turning slowly, lit
// from one side, into the shell's 512 x 512 render texture; the window shows
// that texture in a frame. Without a chosen mesh it says "No mesh loaded".
//
// Builds on: filecmds (the pending mesh and the root), design/veltools (the
// browser's sub-path), design/meshstore (installation lookup and reading),
// gl/glgr and gl/glmesh.
//
// Notes:
//   - the "Loading mesh (...)..." line is shown for one whole frame and the
//     mesh is read while the next one is drawn, so the line stays on the
//     screen for the time the reading takes
//   - a mesh that cannot be read is tried once: the window shows why until
//     another mesh is chosen, instead of reading the file again every frame
//   - the render pass saves every GL attribute and the matrices and puts
//     them back, so the 2D layer and the preview see GL as they left it
//   - without frame-buffer support, or with a render target GL will not
//     take, the thumbnail is not drawn and the window says so
#pragma once
#include <GL/gl.h>
#include <string>
#include "editor/grpgui.h"
#include "mesh/grph.h"

struct mesh_view_state {           // written by mesh_view_draw, mesh_view_release and the start and end
  GLuint colour = 0;               // the shell's 512 x 512 colour texture
  GLuint depth = 0;                // and its depth texture
  GLuint framebuffer = 0;          // ours, with both attached; 0 when GL offers none that works
  const double* clock = nullptr;   // the program time t, seconds; 0 when not set
  typmsh mesh;                     // the thumbnail mesh, drawn once loaded
  std::string name;                // mesh (below the meshes folder) the record holds, reads or failed on
  std::string failure;             // why name could not be read; "" when it could or was not tried
  bool read_due = false;           // the loading line was shown: read on the next draw
};
extern mesh_view_state mesh_view;

constexpr int thumbnail_size = 512;          // pixels of the render target, square

void mesh_view_start(GLuint colour, GLuint depth, const double* clock); // the render target; no mesh loaded
void mesh_view_draw(gg_wndtype& w);          // "Mesh view"'s draw procedure
void mesh_view_show(typmsh mesh, const std::string& name); // a mesh built in memory shown as name (an import)
void mesh_view_show(typmsh mesh, const std::string& name); // a mesh made in memory (an import) shown as name
void mesh_view_release();                    // the mesh's GL objects deleted, not loaded any more
void mesh_view_final();                      // the mesh and the frame buffer released; needs the context
std::string mesh_view_file();                // "meshes/" + sub-path + pending name + ".msh"
