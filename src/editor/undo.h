// undo: undo and redo of every change the user makes to the design.
//
// The design is recorded as a step store of snapshots: the stored design
// block as the next frame will see it (the design time cleared, animations at
// rest, the crew airlock taken from dock 0), each with the lists' current rows
// and the selection of that moment. A checkpoint takes the changes the design
// operations and setters reported since the last one and records a step when
// there were any; an event that changed nothing costs no snapshot.
//
// Builds on: designfile and vrkdll_block (the stored block), kvgen (replacing
// the design, the preview's relinking), kvwindows (the lists), selection,
// preview_calls (markers), grpgui (the focused text box).
//
// Where the checkpoints are:
//   - after each button, checkbox and text-box handler of the pages, so a
//     text box committed by the same click that presses a button is a step
//     of its own
//   - after each input event of the window (file dialogs, mouse procedures);
//     a button release commits
//
// Drags: a handle drag or an animation-editor drag makes one step for the
// whole drag, not one per mouse move. Call undo_begin() when the button goes
// down on the handle and undo_commit() when it is released; checkpoints in
// between record nothing. A second begin before the commit continues the same
// drag. Every release of a mouse button commits, wherever it happens, so a
// drag released outside its window still ends; so does an undo or a redo.
//
// Notes:
//   - at most undo_step_limit steps and undo_byte_limit bytes of snapshots are
//     kept; the oldest steps go first
//   - a restore keeps the design time and, when the meshes and animations are
//     unchanged, the animations' positions and the preview's meshes; otherwise
//     the preview is told the whole design again, as after a load
//   - the revision counts recorded steps, undos and redos: autosave and the
//     checks page use it to see that the design changed
#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>
#include "design/kvvar.h"
#include "editor/kvwindows.h"
#include "editor/selection.h"

constexpr size_t undo_step_limit = 200;            // steps that can be undone
constexpr size_t undo_byte_limit = 64u << 20;      // bytes of snapshots kept

struct undo_view {                 // what the user was looking at
  int current[list_count] = {};    // the lists' current rows
  int current_comp = 0;            // component of the current animation
  selection_state picked;          // the selection
};

struct undo_entry {
  std::vector<uint8_t> block;      // the design's snapshot
  undo_view view;
};

struct undo_state {                // written by the functions below only
  std::deque<undo_entry> done;     // oldest first; back() is the design as last recorded
  std::vector<undo_entry> undone;  // steps that redo brings back, the next one last
  size_t bytes = 0;                // of every snapshot held
  bool dragging = false;           // between undo_begin() and undo_commit()
  bool pending = false;            // changes reported during the drag
  uint64_t revision = 0;           // grows with every recorded step, undo and redo
};
extern undo_state history;

std::vector<uint8_t> design_snapshot(const vessel_design& d); // the block as the next frame sees it
void undo_start();                 // forgets every step; the design as it stands is the first snapshot
void undo_checkpoint();            // records a step when changes were reported since the last one
void undo_begin();                 // a drag starts: checkpoint, then hold further steps
void undo_commit();                // the drag ended: one step for all of it
bool undo_step();                  // Ctrl+Z, "Undo"; false when there is nothing to undo
bool redo_step();                  // Ctrl+Y, Ctrl+Shift+Z, "Redo"; false when nothing was undone
bool undo_key(uint16_t shift, uint16_t key); // the keys above; true when the key was one of them
