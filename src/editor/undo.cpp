// undo: the step store, its checkpoints and the restoring of a step.
#include "editor/undo.h"

#include "base/input_codes.h"
#include "design/designfile.h"
#include "design/kvgen.h"
#include "design/vrkdll_block.h"
#include "editor/grpgui.h"
#include "editor/statusline.h"

undo_state history;

namespace {

undo_view view_now() {
  undo_view v;
  for (int l = 0; l < list_count; ++l) v.current[l] = pages.lists[l].current;
  v.current_comp = pages.current_comp;
  v.picked = selection;
  return v;
}

void show_view(const undo_view& v) {
  for (int l = 0; l < list_count; ++l) pages.lists[l].current = v.current[l];
  pages.current_comp = v.current_comp;
  selection = v.picked;
}

void drop_undone() {
  for (const undo_entry& e : history.undone) history.bytes -= e.block.size();
  history.undone.clear();
}

void push(std::vector<uint8_t>&& block) {
  drop_undone();
  history.bytes += block.size();
  history.done.push_back({std::move(block), view_now()});
  std::deque<undo_entry>& done = history.done;
  while (done.size() > 1 && (done.size() - 1 > undo_step_limit || history.bytes > undo_byte_limit)) {
    history.bytes -= done.front().block.size();
    done.pop_front();
  }
}

// The part of a design the preview has loaded: its meshes and animations.
std::vector<uint8_t> previewed_part(const vessel_design& d) {
  vessel_design p;
  p.data.meshes = d.data.meshes;
  p.data.anim_seqs = d.data.anim_seqs;
  return design_snapshot(p);
}

// The design of a snapshot; the preview is told only what it must load again.
void restore_design(const std::vector<uint8_t>& block) {
  vessel_design s;
  if (read_design_bytes(s, block.data(), block.size()).status != design_read_ok) return; // our own bytes
  const double time = design.header.design_time;
  const double size = s.header.size;
  if (previewed_part(s) == previewed_part(design)) {
    s.data.anim_seqs = std::move(design.data.anim_seqs);   // the same, at their live positions
    replace_contents(design, s.header, std::move(s.data));
  } else {
    replace_design(design, std::move(s));
    design.header.size = size;                              // the meshes' radii may have raised it
  }
  design.header.design_time = time;
  take_changes();                                           // a restore is no step of its own
}

void restore(undo_entry& e) {
  restore_design(e.block);
  show_view(e.view);
  pages_frame();
  std::vector<uint8_t> now = design_snapshot(design);  // so the next checkpoint finds no change
  history.bytes = history.bytes - e.block.size() + now.size();
  e.block = std::move(now);
  ++history.revision;
}

// The status line after an undo or redo: where the history stands now.
void say_where(const char* what) {
  status_say(std::string(what) + ": " + counted(history.done.size() - 1, "step", "steps") + " to undo, " +
             std::to_string(history.undone.size()) + " to redo");
}

// Typing not yet stored and an open drag become steps before the history moves.
void settle() {
  gui_set_focus(-1);
  undo_commit();
}

}  // namespace

std::vector<uint8_t> design_snapshot(const vessel_design& d) {
  vessel_design s = at_rest(d);
  s.header.design_time = 0;
  sync_airlock(s);
  std::vector<uint8_t> out;
  append_block(out, s.header, s.data);
  return out;
}

void undo_start() {
  const uint64_t revision = history.revision;
  history = undo_state{};
  history.revision = revision;
  take_changes();
  push(design_snapshot(design));
}

// A step for reported changes; a change undone within them leaves none.
void record() {
  std::vector<uint8_t> now = design_snapshot(design);
  if (!history.done.empty() && now == history.done.back().block) {
    history.done.back().view = view_now();
    return;
  }
  push(std::move(now));
  ++history.revision;
}

void undo_checkpoint() {
  history.pending |= !take_changes().empty();
  if (history.dragging) return;
  if (history.pending) record();
  else if (!history.done.empty()) history.done.back().view = view_now();
  history.pending = false;
}

void undo_begin() {
  undo_checkpoint();
  history.dragging = true;
}

void undo_commit() {
  history.dragging = false;
  undo_checkpoint();
}

bool undo_step() {
  settle();
  if (history.done.size() < 2) {
    status_say("Nothing to undo");
    return false;
  }
  history.undone.push_back(std::move(history.done.back()));
  history.done.pop_back();
  restore(history.done.back());
  say_where("Undone");
  return true;
}

bool redo_step() {
  settle();
  if (history.undone.empty()) {
    status_say("Nothing to redo");
    return false;
  }
  history.done.push_back(std::move(history.undone.back()));
  history.undone.pop_back();
  restore(history.done.back());
  say_where("Redone");
  return true;
}

bool undo_key(uint16_t shift, uint16_t key) {
  if (!(shift & shift_Ctrl)) return false;
  const bool shifted = shift & shift_Shift;
  if (key == 'Z' && !shifted) undo_step();
  else if (key == 'Y' || key == 'Z') redo_step();
  else return false;
  return true;
}
