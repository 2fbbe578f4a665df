// dogl: the program's only window, its OpenGL context and its input.
//
// Creates the window with a GL compatibility context (double buffer, the
// deepest depth buffer offered, a stencil buffer) and the initial projection
// and state, and turns every window-system event into a call of the input
// procedure with Windows virtual-key codes and the 16-bit shift-state word.
// Frames are drawn when something may have changed on the screen (an event,
// or a time the frame procedure asked for), at most at the display's refresh
// rate; between them the message loop sleeps until the next event or the next
// due time. A once-a-second tick puts the frames drawn into the title.
//
// Builds on: input_codes (event kinds, shift-state bits, key codes), tim (tick
// count), editor/glgr (projection, screen size), SDL.
//
// Index:
//   - the window record and the unit's state
//   - creation, destruction, resize, presenting
//   - the message loop, the single-message pump and the window procedure
//
// Notes:
//   - failures of creation are shown in message boxes titled "Error" (on
//     standard error too, and only there when no display can show a box)
//   - while input is disabled (the single-message pump) ticks and mouse events
//     are dropped; keys still arrive
//   - SIGTERM and SIGINT end the message loop in order (the caller's last
//     words, such as the autosave, still run); seen by the single-message
//     pump they end the process after dogl.before_quick_end
//   - with no_frame_cap every turn of the loop draws a frame (for measuring)
//   - the window procedure works on hand-made events and records with no
//     context, so its rules are tested without a display
#pragma once
#include <SDL.h>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>
#include "base/input_codes.h"

using frame_proc = void (*)(double dt, double t);                                   // seconds
using input_proc = void (*)(int kind, int x, int y, uint16_t shift, uint16_t key);

// --- The window record and the unit's state -----------------------------------------------
struct glwin {
  SDL_Window* window = nullptr;     // the window
  SDL_GLContext context = nullptr;  // its rendering context
  bool full_screen = false;         // asked for; cleared when the switch fails
  std::string title;                // without the frame-rate suffix
  int32_t frame_counter = 0;        // frames since the last once-a-second update
  int32_t fps = 0;                  // last measured rate
  int32_t width = 0, height = 0;    // client size; height never 0 after a resize
  int32_t colour_bits = 32;         // asked for
  uint32_t smoothed_time = 0;       // milliseconds since creation, smoothed
  uint32_t creation_tick = 0;       // tick count at creation
  bool keys[256] = {};              // down state per virtual key; entry 0 never set
  bool left_shift = false, right_shift = false;
  bool left_button = false, right_button = false, middle_button = false;
  bool wheel_up = false, wheel_down = false;  // set only while a wheel event is delivered
  frame_proc frame = nullptr;       // per frame tick; may be empty
  input_proc input = nullptr;       // per input event; may be empty
  uint32_t last_frame_tick = 0;     // when the last frame was drawn
  uint32_t last_rate_tick = 0;      // when the 1000-ms timer last fired
  int32_t frame_interval = 17;      // milliseconds from frame to frame at least: the refresh rate's
  bool redraw = true;               // an event came: draw once the interval allows
  int32_t next_frame_in = -1;       // set by the frame procedure: ms to the next frame without events, -1 none
  bool no_frame_cap = false;        // every turn of the loop draws
};

struct dogl_state {                 // written only by this unit
  bool input_enabled = true;        // false while the single-message pump runs
  bool frame_delivery = false;      // set at unit initialisation
  std::vector<std::pair<uint32_t, glwin*>> windows; // SDL window id to record
  bool quit_posted = false;         // the loop ends at its next turn
  int quit_code = 0;                // what the loop returns then
  void (*before_quick_end)() = nullptr; // runs before the pump ends the process on a quit
};
extern dogl_state dogl;

void dogl_init();                   // enables frame delivery
void dogl_final();                  // forgets every window

uint16_t shift_word(const glwin& w);                      // the word for an event now
uint16_t virtual_key(SDL_Scancode scancode, SDL_Keycode sym); // 0 for keys without a code
std::string rate_title(const glwin& w);                   // title + " (FPS=" + rate + ")"

// --- Creation, destruction, resize, presenting ------------------------------------------------
bool create_window(glwin& w, int width, int height, const std::string& title, frame_proc frame,
                   input_proc input, bool full_screen);   // false after a message box
void destroy_window(glwin& w);      // releases in reverse order; failures shown, the rest goes on
void resize_view(glwin& w);         // viewport and projection for the new size
void present(glwin& w);             // flush and swap
int32_t frame_interval_for(int refresh_hz);               // ms between frames; 60 Hz when 0 (unknown)
void show_error(const std::string& text);                 // message box "Error"

// --- The message loop, the pump and the window procedure ----------------------------------------
int  message_loop();                // until a quit is posted; returns its code
void pump_single_message();         // at most one event with ticks and mouse input held back
void post_quit(int code);           // ends the message loop
void register_window(uint32_t id, glwin& w);              // what a window's creation does
void handle_event(const SDL_Event& e);                    // the window procedure
void frame_tick(glwin& w, uint32_t now);                  // the 1-ms timer
void rate_tick(glwin& w);                                 // the 1000-ms timer
void run_timers(uint32_t now);      // fires the timers that are due, while input is enabled
int32_t loop_wait(uint32_t now);    // ms the loop may sleep before something is due
void catch_end_signals();           // SIGTERM and SIGINT end the loop in order
bool take_end_signal();             // a caught signal: reported and the loop's quit posted
void wake_loop();                   // from any thread: the loop draws a frame soon
