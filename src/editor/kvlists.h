// kvlists: what the pages' list, summary, animation and browser windows draw,
// and how the lists follow the selection.
//
// The ten element lists (rows, colours, the current row, the scroll track),
// their clicks, which choose the current element and the selection; the
// selection line of "3D controls"; the vessel summary of "Vessel data"; the
// animation editor of "Animation block" with its ruler and component bars;
// the mesh browser's grid. Every frame the lists' current rows and the
// "3D controls" coordinates follow the selection.
//
// Builds on: kvwindows (pages, lists, state), filecmds (browser geometry),
// kvgen (every change), selection, gl/glgr (drawing), base/strval (numbers).
//
// Notes:
//   - the summary shows "-" for an exhaust velocity or a delta-v that cannot
//     be computed (no main thruster, an infinite or undefined mass ratio) and
//     "inf" for the mass ratio of an empty mass of 0
//   - the functions without a window draw nothing and need no display
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "design/kvvar.h"
#include "editor/grpgui.h"

// --- Rows -----------------------------------------------------------------------------------
std::string list_row_text(int list, int index);     // "#1, 4.5k Kg", ...; index counts from 0
uint32_t    list_row_colour(int list, int index);   // by first group or airfoil kind; the current row's highlight
constexpr uint32_t list_current_colour = pack_rgba(128, 128, 200, 255);

// --- Summary -----------------------------------------------------------------------------------
std::vector<std::string> summary_lines(const vessel_design& d); // the seven lines of "Vessel data"

// --- The animation editor's state ---------------------------------------------------------------
struct anim_editor_state {            // written by the animation editor's mouse procedure
  int drag_comp = -1;                 // component whose end is dragged, -1 none
  int drag_end = 0;                   // 0 its start, 1 its end
  bool dragging_position = false;     // the left button went down in the ruler
};
extern anim_editor_state anim_editor;

// --- Window procedures -----------------------------------------------------------------------------
void list_draw(gg_wndtype& w);        // every list window
void list_mouse(gg_wndtype& w, int kind, uint16_t shift, int x, int y);
void selection_draw(gg_wndtype& w);   // "3D controls"
void summary_draw(gg_wndtype& w);     // "Vessel data"
void anim_editor_draw(gg_wndtype& w); // "Animation block"
void anim_editor_mouse(gg_wndtype& w, int kind, uint16_t shift, int x, int y);
void browser_draw(gg_wndtype& w);     // "Open/Close"

void lists_frame();                   // current rows and coordinates follow the selection
