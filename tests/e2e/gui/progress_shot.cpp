// progress-shot [loading]: opens the designer's window, draws the progress
// screen of the start-up ("Starting up", "Veltora Corvane") into the back
// buffer, saves it with the program's own screenshot and prints
// "screenshot: <file>". With "loading" the first line is the one a long load
// shows.
#include <cstdio>
#include <cstring>
#include "gl/glgr.h"
#include "shell/app.h"
#include "shell/dogl.h"
#include "shell/tim.h"

int main(int argc, char** argv) {
  tim_init();
  dogl_init();
  if (!create_window(app.win, window_width, window_height, program_title, nullptr, nullptr, false)) return 1;
  probe_capabilities();
  build_font();
  bool loading = argc > 1 && std::strcmp(argv[1], "loading") == 0;
  draw_progress_screen("Starting up", program_title, loading);
  std::printf("screenshot: %s\n", take_screenshot(app.win.width, app.win.height).c_str());
  return 0;
}
