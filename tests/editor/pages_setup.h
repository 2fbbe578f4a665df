// pages_setup: the editor as the program starts it, for tests without a display.
//
// A fresh toolkit, pages and file commands rooted in a scratch folder, the
// template design with nothing selected, and the pages laid out for a window
// of the given size (the screen size set first, as the window does).
#pragma once
#include <string>
#include "design/designtemplate.h"
#include "editor/filecmds.h"
#include "editor/grpgui.h"
#include "editor/kvwindows.h"
#include "editor/selection.h"

inline void start_pages(const std::string& root, int width, int height) {
  gui_final();
  gui_init();
  screen = {width, height};
  pages = pages_state{};
  files = file_commands_state{};
  file_commands_init(root);
  design = vessel_design{};
  apply_template(design);
  clear_selection();
  pages_build(width, height);
}
