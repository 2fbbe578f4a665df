// app: start-up, the frame procedure, input routing and the progress screen.
//
// The main body brings the program up step by step (settings, window, the 2D
// layer, the progress screen, the template design, the selection, the cursor,
// the render textures) and then runs the message loop. From then on the
// window calls frame() once per tick and input() once per event.
//
// Builds on: dogl, tim, gl/glgr, render/kvvorl (the preview scene), editor/grpgui, editor/selection,
// editor/kvwindows and editor/filecmds (the pages and the Exit command),
// editor/gallery, design (design record, settings, template), images (cursor).
//
// Notes:
//   - closing the window and "Exit" write the user settings and end the
//     program in order with exit code 0; Escape closes the file dialog, the
//     question (as "No") or the top-most page, and with none of them open ends
//     the program the same way without writing the settings, as Alt+F4 does
//   - every ending writes the autosave first: the orderly ones, SIGTERM and
//     SIGINT (exit code 128 + the signal), an exception that escapes the loop
//     (its reason shown, exit code 1), the engine's fatal error and a quit
//     seen by the progress screen
//   - the pages are placed for the window's size when they are built and again
//     whenever it changes, so a window that the window manager maximises
//     after start-up gets the layout of its real size
//   - a frame asks for the next one only while something moves by itself: a
//     playing animation, the turning mesh thumbnail, the selection's pulse
//     (slower once the user has left it alone), the minute's autosave
//   - the designer's scene (kvvorl) starts right after the engine and before
//     the template, so the template's meshes load into it; each frame copies
//     the selection into it before drawing
//   - until the engine's key handler exists, Ctrl+F9 (its screenshot key) is
//     served here; the picture is taken at the end of the next frame, before
//     the buffers are swapped, so it holds what the window shows
#pragma once
#include <GL/gl.h>
#include <cstdint>
#include <string>
#include <vector>
#include "shell/dogl.h"

struct app_state {                  // written by the start-up, frame and input procedures
  glwin win;                        // the program's window
  double time = 0;                  // t of the last frame, seconds
  GLuint cursor_texture = 0;        // 32 x 32 cursor picture
  GLuint render_colour = 0;         // 512 x 512 colour render target of the mesh thumbnail
  GLuint render_depth = 0;          // 512 x 512 depth texture beside it
  int32_t mouse_x = 0, mouse_y = 0; // last mouse position
  bool screenshot_due = false;      // take one at the end of the next frame
  bool camera_reports = false;      // the test build prints the camera after keys and buttons
  uint32_t last_input = 0;          // tick of the last input event
};
extern app_state app;

struct designer_options {           // the command line of `corvane`
  bool no_frame_cap = false;        // --no-frame-cap: every frame drawn, as fast as it goes
  bool help = false;                // --help: the usage, nothing started
  std::string error;                // an option that is not known; "" when all are
};

constexpr int window_width = 800, window_height = 600;   // at creation
constexpr const char* program_title = "Veltora Corvane";
constexpr int cursor_size = 32;                         // pixels, square
constexpr int render_texture_size = 512;                // pixels, square
constexpr uint32_t overlay_red = 0xFF0000FFu;           // (255, 0, 0, 255)

constexpr int pulse_idle_after = 2000;  // ms without input after which the pulse slows down
constexpr int pulse_idle_interval = 200; // ms between the slowed pulse's frames

designer_options parse_options(int argc, const char* const* argv);
std::string usage_text();           // what --help prints
int  run_designer(bool gallery, const designer_options& options);  // the main body; returns the exit code
bool start_designer(bool gallery, const designer_options& options = {}); // up to the message loop; false: no window
void stop_designer();               // what start_designer made, released; needs the context
int32_t next_frame_in(uint32_t now); // what the frame asks of the window: ms to the next frame, -1 none
void frame(double dt, double t);    // one frame, seconds
void input(int kind, int x, int y, uint16_t shift, uint16_t key);      // one input event
void progress_screen(const std::string& main_line, const std::string& second_line, bool loading); // draw, swap, one message
void draw_progress_screen(const std::string& main_line, const std::string& second_line, bool loading); // the back buffer only
std::string memory_line();          // "Memory: " heap "Mb/" available "Mb"
bool decode_cursor(std::vector<uint8_t>& rgba);         // the embedded picture, 32 x 32 x 4 bytes
