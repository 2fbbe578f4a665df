// autosave: the timed and the final write of the design.
#include "editor/autosave.h"

#include <cstdio>
#include "base/sys.h"
#include "design/designfile.h"
#include "editor/kvwindows.h"
#include "editor/undo.h"

autosave_state autosave;

namespace {

bool changed_since_written() {
  if (history.revision == autosave.started) return false;
  return history.revision != autosave.written || design.header.design_time != autosave.written_time;
}

// Writes when the design changed since the last write; io_error as the writer raises it.
void write_if_changed() {
  if (!changed_since_written()) return;
  const std::string name = autosave.root + "/" + autosave_file;
  make_folders(name.substr(0, name.find_last_of('/')));   // a failure shows as the write's error
  write_design_file(design, name);
  autosave.written = history.revision;
  autosave.written_time = design.header.design_time;
  autosave.failing = false;
}

}  // namespace

void autosave_init(const std::string& root, double now) {
  autosave = autosave_state{root, history.revision, history.revision, design.header.design_time, now, false};
}

void autosave_tick(double now) {
  if (now - autosave.last < autosave_period) return;
  autosave.last = now;
  try {
    write_if_changed();
  } catch (const io_error& e) {
    if (!autosave.failing) show_message(std::string("Autosave failed: ") + e.what());
    autosave.failing = true;
  }
}

bool autosave_final() {
  undo_checkpoint();
  try {
    write_if_changed();
    return true;
  } catch (const io_error& e) {
    std::fprintf(stderr, "Autosave failed: %s\n", e.what());
    return false;
  }
}
