// The designer's program entry: initialises the units in dependency order,
// runs the main body and finalises them again. The test build compiles this
// file a second time with CORVANE_WIDGET_GALLERY set, which adds the widget
// gallery window; the user's program never shows it.
#include <cstdio>
#include "gl/glgr.h"
#include "gl/glmesh.h"
#include "editor/grpgui.h"
#include "shell/app.h"
#include "shell/dogl.h"
#include "shell/tim.h"

#ifndef CORVANE_WIDGET_GALLERY
#define CORVANE_WIDGET_GALLERY 0
#endif

int main(int argc, char** argv) {
  const designer_options options = parse_options(argc, argv);
  if (options.help || !options.error.empty()) {
    if (!options.error.empty()) std::fprintf(stderr, "corvane: %s\n", options.error.c_str());
    std::fputs(usage_text().c_str(), options.help ? stdout : stderr);
    return options.help ? 0 : 2;
  }
  tim_init();
  dogl_init();
  gui_init();
  int code = run_designer(CORVANE_WIDGET_GALLERY, options);
  gui_final();
  glmesh_final();
  glgr_final();
  dogl_final();
  return code;
}
