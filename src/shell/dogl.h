// dogl: the program's only window, its OpenGL context and its input.
//
// Creates the window with a GL compatibility context (double buffer, the
// deepest depth buffer offered, a stencil buffer) and the initial projection
// and state, and turns every window-system event into a call of the input
// procedure with Windows virtual-key codes and the 16-bit shift-state word.
// A 1-millisecond tick drives the frame procedure and a once-a-second tick
// puts the frame rate into the title. The message loop never waits.
//
// Builds on: tim (tick count), editor/glgr (projection, screen size), SDL.
//
// Index:
//   - input events and the shift-state word
//   - the window record and the unit's state
//   - creation, destruction, resize, presenting
//   - the message loop, the single-message pump and the window procedure
//
// Notes:
//   - failures of creation are shown in message boxes titled "Error" (on
//     standard error too, and only there when no display can show a box)
//   - while input is disabled (the single-message pump) ticks and mouse events
//     are dropped; keys still arrive
//   - the window procedure works on hand-made events and records with no
//     context, so its rules are tested without a display
#pragma once
#include <SDL.h>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// --- Input events and the shift-state word ---------------------------------------------
enum input_kind {
  input_close = 1,                  // the window is being closed
  input_resize = 2,                 // x = width, y = height
  input_key_up = 3,                 // key = virtual-key code
  input_key_down = 4,               // key = virtual-key code
  input_mouse_move = 5,             // x, y in client pixels
  input_button_up = 6,              // the released button still shows as down
  input_button_down = 7,            // a button pressed or the wheel turned
};

enum shift_state {
  shift_None = 0,
  shift_Shift = 1 << 0,             // Shift down
  shift_LeftShift = 1 << 1,         // Shift and the left Shift key down
  shift_RightShift = 1 << 2,        // Shift and the right Shift key down
  shift_Alt = 1 << 3,               // Alt down
  shift_Ctrl = 1 << 6,              // Ctrl down
  shift_LeftButton = 1 << 9,        // left mouse button down
  shift_RightButton = 1 << 10,      // right mouse button down
  shift_MiddleButton = 1 << 11,     // middle mouse button down
  shift_WheelUp = 1 << 13,          // wheel turned forward, this event only
  shift_WheelDown = 1 << 14,        // wheel turned backward, this event only
};

enum virtual_keys : uint16_t {      // the codes the program tests by name
  vk_back = 8, vk_tab = 9, vk_return = 13, vk_shift = 16, vk_control = 17, vk_menu = 18,
  vk_escape = 27, vk_space = 32, vk_left = 37, vk_up = 38, vk_right = 39, vk_down = 40,
  vk_delete = 46, vk_f1 = 112, vk_f4 = 115, vk_f9 = 120, vk_f10 = 121, vk_f11 = 122,
};

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
  uint32_t last_frame_tick = 0;     // when the 1-ms timer last fired
  uint32_t last_rate_tick = 0;      // when the 1000-ms timer last fired
};

struct dogl_state {                 // written only by this unit
  bool input_enabled = true;        // false while the single-message pump runs
  bool frame_delivery = false;      // set at unit initialisation
  std::vector<std::pair<uint32_t, glwin*>> windows; // SDL window id to record
  bool quit_posted = false;         // the loop ends at its next turn
  int quit_code = 0;                // what the loop returns then
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
