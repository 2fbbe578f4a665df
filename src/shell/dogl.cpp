// dogl: window, GL context, event translation and the message loop on SDL.
#include "shell/dogl.h"
#include <GL/gl.h>
#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include "gl/glgr.h"
#include "shell/tim.h"

dogl_state dogl;

namespace {

constexpr double fov_y = 45;        // degrees, the initial projection
constexpr double near_plane = 0.1, far_plane = 10000000;
constexpr uint32_t rate_interval = 1000;   // milliseconds
constexpr int32_t signal_check = 100;      // ms the loop sleeps at most: a signal may land on another thread
constexpr int default_refresh = 60;        // Hz, when the display does not say
constexpr uint32_t smoothing_limit = 1000; // ms between frames beyond which the time is not smoothed

volatile std::sig_atomic_t end_signal = 0; // written by the signal handler only

// Windows virtual-key codes by physical key (US layout positions).
struct key_code {
  SDL_Scancode scancode;
  uint16_t vk;
};
constexpr key_code key_table[] = {
  {SDL_SCANCODE_RETURN, 13}, {SDL_SCANCODE_ESCAPE, 27}, {SDL_SCANCODE_BACKSPACE, 8},
  {SDL_SCANCODE_TAB, 9}, {SDL_SCANCODE_SPACE, 32}, {SDL_SCANCODE_MINUS, 189},
  {SDL_SCANCODE_EQUALS, 187}, {SDL_SCANCODE_LEFTBRACKET, 219}, {SDL_SCANCODE_RIGHTBRACKET, 221},
  {SDL_SCANCODE_BACKSLASH, 220}, {SDL_SCANCODE_NONUSHASH, 220}, {SDL_SCANCODE_SEMICOLON, 186},
  {SDL_SCANCODE_APOSTROPHE, 222}, {SDL_SCANCODE_GRAVE, 192}, {SDL_SCANCODE_COMMA, 188},
  {SDL_SCANCODE_PERIOD, 190}, {SDL_SCANCODE_SLASH, 191}, {SDL_SCANCODE_NONUSBACKSLASH, 226},
  {SDL_SCANCODE_CAPSLOCK, 20}, {SDL_SCANCODE_PRINTSCREEN, 44}, {SDL_SCANCODE_SCROLLLOCK, 145},
  {SDL_SCANCODE_PAUSE, 19}, {SDL_SCANCODE_INSERT, 45}, {SDL_SCANCODE_HOME, 36},
  {SDL_SCANCODE_PAGEUP, 33}, {SDL_SCANCODE_DELETE, 46}, {SDL_SCANCODE_END, 35},
  {SDL_SCANCODE_PAGEDOWN, 34}, {SDL_SCANCODE_RIGHT, 39}, {SDL_SCANCODE_LEFT, 37},
  {SDL_SCANCODE_DOWN, 40}, {SDL_SCANCODE_UP, 38}, {SDL_SCANCODE_NUMLOCKCLEAR, 144},
  {SDL_SCANCODE_KP_DIVIDE, 111}, {SDL_SCANCODE_KP_MULTIPLY, 106}, {SDL_SCANCODE_KP_MINUS, 109},
  {SDL_SCANCODE_KP_PLUS, 107}, {SDL_SCANCODE_KP_ENTER, 13}, {SDL_SCANCODE_KP_PERIOD, 110},
  {SDL_SCANCODE_KP_0, 96}, {SDL_SCANCODE_KP_1, 97}, {SDL_SCANCODE_KP_2, 98},
  {SDL_SCANCODE_KP_3, 99}, {SDL_SCANCODE_KP_4, 100}, {SDL_SCANCODE_KP_5, 101},
  {SDL_SCANCODE_KP_6, 102}, {SDL_SCANCODE_KP_7, 103}, {SDL_SCANCODE_KP_8, 104},
  {SDL_SCANCODE_KP_9, 105}, {SDL_SCANCODE_APPLICATION, 93}, {SDL_SCANCODE_LCTRL, 17},
  {SDL_SCANCODE_RCTRL, 17}, {SDL_SCANCODE_LSHIFT, 16}, {SDL_SCANCODE_RSHIFT, 16},
  {SDL_SCANCODE_LALT, 18}, {SDL_SCANCODE_RALT, 18}, {SDL_SCANCODE_LGUI, 91},
  {SDL_SCANCODE_RGUI, 92},
};

glwin* find_window(uint32_t id) {
  for (auto& [wid, rec] : dogl.windows)
    if (wid == id) return rec;
  return nullptr;
}

void deliver(glwin& w, int kind, int x, int y, uint16_t key) {
  if (w.input) w.input(kind, int16_t(x), int16_t(y), shift_word(w), key);
}

}  // namespace

void dogl_init() { dogl.frame_delivery = true; }

void dogl_final() { dogl.windows.clear(); }

uint16_t shift_word(const glwin& w) {
  bool shift = w.keys[vk_shift];
  uint16_t s = 0;
  if (shift) s |= shift_Shift;
  if (shift && w.left_shift) s |= shift_LeftShift;
  if (shift && w.right_shift) s |= shift_RightShift;
  if (w.keys[vk_menu]) s |= shift_Alt;
  if (w.keys[vk_control]) s |= shift_Ctrl;
  if (w.left_button) s |= shift_LeftButton;
  if (w.right_button) s |= shift_RightButton;
  if (w.middle_button) s |= shift_MiddleButton;
  if (w.wheel_up) s |= shift_WheelUp;
  if (w.wheel_down) s |= shift_WheelDown;
  return s;
}

uint16_t virtual_key(SDL_Scancode scancode, SDL_Keycode sym) {
  // Letters and digits follow the keyboard layout, as their virtual keys do.
  if (sym >= 'a' && sym <= 'z') return uint16_t(sym - 'a' + 'A');
  if (sym >= '0' && sym <= '9') return uint16_t(sym);
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) return uint16_t('A' + scancode - SDL_SCANCODE_A);
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) return uint16_t('1' + scancode - SDL_SCANCODE_1);
  if (scancode == SDL_SCANCODE_0) return '0';
  if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) return uint16_t(int(vk_f1) + int(scancode) - int(SDL_SCANCODE_F1));
  for (const key_code& k : key_table)
    if (k.scancode == scancode) return k.vk;
  return 0;
}

std::string rate_title(const glwin& w) { return w.title + " (FPS=" + std::to_string(w.fps) + ")"; }

void show_error(const std::string& text) {
  std::fprintf(stderr, "Error: %s\n", text.c_str());
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Error", text.c_str(), nullptr);
}

// --- Creation --------------------------------------------------------------------------------------

namespace {

// The deepest depth buffer offered, with a stencil buffer: the first
// combination the display can make a window for.
SDL_Window* open_gl_window(const std::string& title, int width, int height, Uint32 flags) {
  static constexpr int depths[] = {32, 24, 16};
  static constexpr int stencils[] = {16, 8};
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
  for (int depth : depths)
    for (int stencil : stencils) {
      SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depth);
      SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, stencil);
      if (SDL_Window* win = SDL_CreateWindow(title.c_str(), 0, 0, width, height, flags)) return win;
    }
  return nullptr;
}

// No GL window could be made: a plain window tells a missing pixel format
// from a display that makes no windows at all.
bool plain_window_possible(const std::string& title, int width, int height) {
  SDL_Window* plain = SDL_CreateWindow(title.c_str(), 0, 0, width, height, SDL_WINDOW_HIDDEN);
  if (plain) SDL_DestroyWindow(plain);
  return plain != nullptr;
}

void initial_state() {
  glEnable(GL_TEXTURE_2D);
  glShadeModel(GL_SMOOTH);
  glClearColor(0, 0, 0.5f, 1);
  glClearDepth(1);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
}

bool set_up_gl(glwin& w) {
  w.context = SDL_GL_CreateContext(w.window);
  if (!w.context) {
    show_error("Unable to create an OpenGL rendering context");
    return false;
  }
  if (SDL_GL_MakeCurrent(w.window, w.context) != 0) {
    show_error("Unable to activate OpenGL rendering context");
    return false;
  }
  perspective(w.width, w.height, fov_y, near_plane, far_plane);
  initial_state();
  return true;
}

// SDL falls back to drivers that show nothing when there is no display; the
// designer wants a window a person can see, unless such a driver was asked for.
bool visible_display() {
#ifdef _WIN32
  SDL_SetMainReady();  // main is our own, not SDL's WinMain wrapper
#endif
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return false;
  const char* driver = SDL_GetCurrentVideoDriver();
  bool invisible = driver && (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0);
  if (invisible && !SDL_getenv("SDL_VIDEODRIVER")) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return false;
  }
  return true;
}

bool fail(glwin& w, const char* text) {
  destroy_window(w);
  show_error(text);
  return false;
}

}  // namespace

bool create_window(glwin& w, int width, int height, const std::string& title, frame_proc frame,
                   input_proc input, bool full_screen) {
  w.width = width;
  w.height = height;
  w.title = title;
  w.frame = frame;
  w.input = input;
  w.full_screen = full_screen;
  w.colour_bits = 32;
  if (!visible_display()) {
    show_error("Failed to register the window class!");
    return false;
  }
  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE;
  if (full_screen) {
    w.window = open_gl_window(title, width, height, flags | SDL_WINDOW_FULLSCREEN);
    if (!w.window) {
      show_error("Unable to switch to fullscreen!");
      w.full_screen = false;
    } else {
      SDL_ShowCursor(SDL_DISABLE);
    }
  }
  if (!w.window) w.window = open_gl_window(title, width, height, flags);
  if (!w.window) {
    if (!plain_window_possible(title, width, height)) return fail(w, "Unable to create window!");
    show_error("Unable to find a suitable pixel format");
    return fail(w, "Unable to set an OpenGL!");
  }
  register_window(SDL_GetWindowID(w.window), w);
  w.creation_tick = tick_count();
  if (!set_up_gl(w)) return fail(w, "Unable to set an OpenGL!");
  SDL_SetCursor(SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_CROSSHAIR));
  SDL_StopTextInput();                               // keys arrive as key codes only
  w.last_frame_tick = w.last_rate_tick = tick_count();
  SDL_DisplayMode mode{};
  w.frame_interval = frame_interval_for(SDL_GetWindowDisplayMode(w.window, &mode) == 0 ? mode.refresh_rate : 0);
  SDL_ShowWindow(w.window);
  SDL_MaximizeWindow(w.window);
  SDL_RaiseWindow(w.window);
  int cw = 0, ch = 0;
  SDL_GL_GetDrawableSize(w.window, &cw, &ch);
  SDL_Event size{};
  size.type = SDL_WINDOWEVENT;
  size.window.event = SDL_WINDOWEVENT_SIZE_CHANGED;
  size.window.windowID = SDL_GetWindowID(w.window);
  size.window.data1 = cw;
  size.window.data2 = ch;
  handle_event(size);
  return true;
}

void destroy_window(glwin& w) {
  if (w.full_screen) SDL_ShowCursor(SDL_ENABLE);
  if (w.context) {
    if (SDL_GL_MakeCurrent(w.window, nullptr) != 0) show_error("Release of DC and RC failed!");
    SDL_GL_DeleteContext(w.context);
    w.context = nullptr;
  }
  if (w.window) {
    uint32_t id = SDL_GetWindowID(w.window);
    std::erase_if(dogl.windows, [id](const auto& entry) { return entry.first == id; });
    SDL_DestroyWindow(w.window);
    w.window = nullptr;
  }
}

void resize_view(glwin& w) {
  if (w.height == 0) w.height = 1;
  if (w.context) {
    SDL_Window* previous_window = SDL_GL_GetCurrentWindow();
    SDL_GLContext previous = SDL_GL_GetCurrentContext();
    SDL_GL_MakeCurrent(w.window, w.context);
    perspective(w.width, w.height, fov_y, near_plane, far_plane);
    if (previous) SDL_GL_MakeCurrent(previous_window, previous);
  }
  screen.width = w.width;
  screen.height = w.height;
}

void present(glwin& w) {
  glFlush();
  SDL_GL_SwapWindow(w.window);
}

int32_t frame_interval_for(int refresh_hz) {
  const int hz = refresh_hz > 0 ? refresh_hz : default_refresh;
  return int32_t((1000 + hz - 1) / hz);     // rounded up: never faster than the display
}

// --- Timers ------------------------------------------------------------------------------------------

void frame_tick(glwin& w, uint32_t now) {
  ++w.frame_counter;
  uint32_t raw = now - w.creation_tick;
  uint32_t previous = w.smoothed_time;
  // Smoothed between frames that follow each other; after a pause the clock catches up at once.
  w.smoothed_time = raw - previous > smoothing_limit ? raw : uint32_t((uint64_t(raw) + previous) >> 1);
  double t = w.smoothed_time / 1000.0;
  double dt = (double(w.smoothed_time) - double(previous)) / 1000.0;
  if (dogl.frame_delivery && w.frame) w.frame(dt, t);
}

void rate_tick(glwin& w) {
  w.fps = int32_t(std::lround(w.frame_counter * 1000.0 / 1000.0));
  w.frame_counter = 0;
  if (w.window) SDL_SetWindowTitle(w.window, rate_title(w).c_str());
}

namespace {

// Milliseconds after the last frame at which the next one is due; -1: only after an event.
int32_t frame_due_after(const glwin& w) {
  if (w.no_frame_cap) return 0;
  if (w.redraw) return w.frame_interval;
  return w.next_frame_in < 0 ? -1 : std::max(w.next_frame_in, w.frame_interval);
}

int32_t until(uint32_t due, uint32_t now) { return std::max(int32_t(due - now), 0); }

}  // namespace

void run_timers(uint32_t now) {
  if (!dogl.input_enabled) return;
  for (auto& [id, w] : dogl.windows) {
    if (now - w->last_rate_tick >= rate_interval) {
      w->last_rate_tick = now;
      rate_tick(*w);
    }
    const int32_t after = frame_due_after(*w);
    if (after >= 0 && now - w->last_frame_tick >= uint32_t(after)) {   // however late, one frame
      w->last_frame_tick = now;
      w->redraw = false;            // events during the frame ask for the next one
      frame_tick(*w, now);
    }
  }
}

int32_t loop_wait(uint32_t now) {
  int32_t wait = signal_check;
  for (const auto& [id, w] : dogl.windows) {
    wait = std::min(wait, until(w->last_rate_tick + rate_interval, now));
    const int32_t after = frame_due_after(*w);
    if (after >= 0) wait = std::min(wait, until(w->last_frame_tick + uint32_t(after), now));
  }
  return wait;
}

// --- Messages ---------------------------------------------------------------------------------------

void register_window(uint32_t id, glwin& w) { dogl.windows.emplace_back(id, &w); }

void post_quit(int code) {
  dogl.quit_posted = true;
  dogl.quit_code = code;
}

namespace {

// Keys with Alt held, Alt itself and F10 are system keys: they change only the key table.
bool system_key(const glwin& w, uint16_t vk) { return w.keys[vk_menu] || vk == vk_menu || vk == vk_f10; }

void key_event(glwin& w, const SDL_KeyboardEvent& k) {
  uint16_t vk = virtual_key(k.keysym.scancode, k.keysym.sym);
  if (vk == 0) return;
  bool down = k.type == SDL_KEYDOWN;
  bool sys = system_key(w, vk);
  w.keys[vk] = down;
  if (!sys && k.keysym.scancode == SDL_SCANCODE_LSHIFT) w.left_shift = down;
  if (!sys && k.keysym.scancode == SDL_SCANCODE_RSHIFT) w.right_shift = down;
  deliver(w, down ? input_key_down : input_key_up, 0, 0, vk);
}

bool* button_flag(glwin& w, uint8_t button) {
  switch (button) {
    case SDL_BUTTON_LEFT: return &w.left_button;
    case SDL_BUTTON_RIGHT: return &w.right_button;
    case SDL_BUTTON_MIDDLE: return &w.middle_button;
    default: return nullptr;
  }
}

void button_event(glwin& w, const SDL_MouseButtonEvent& b) {
  bool* flag = button_flag(w, b.button);
  if (!flag) return;
  if (b.type == SDL_MOUSEBUTTONDOWN) {
    *flag = true;
    deliver(w, input_button_down, b.x, b.y, 0);
  } else {
    deliver(w, input_button_up, b.x, b.y, 0);
    *flag = false;
  }
}

void wheel_event(glwin& w, const SDL_MouseWheelEvent& m) {
  int steps = m.direction == SDL_MOUSEWHEEL_FLIPPED ? -m.y : m.y;
  if (steps == 0) return;
  w.wheel_up = steps > 0;
  w.wheel_down = steps < 0;
  deliver(w, input_button_down, m.mouseX, m.mouseY, 0);
  w.wheel_up = w.wheel_down = false;
}

void window_event(glwin& w, const SDL_WindowEvent& e) {
  if (e.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
    w.width = e.data1;
    w.height = e.data2;
    resize_view(w);
    deliver(w, input_resize, w.width, w.height, 0);
  } else if (e.event == SDL_WINDOWEVENT_CLOSE) {
    if (w.input) w.input(input_close, 0, 0, 0, 0);
    post_quit(0);
  }
}

// The window an event belongs to.
uint32_t event_window(const SDL_Event& e) {
  switch (e.type) {
    case SDL_WINDOWEVENT: return e.window.windowID;
    case SDL_KEYDOWN:
    case SDL_KEYUP: return e.key.windowID;
    case SDL_MOUSEMOTION: return e.motion.windowID;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: return e.button.windowID;
    case SDL_MOUSEWHEEL: return e.wheel.windowID;
    default: return 0;
  }
}

}  // namespace

void handle_event(const SDL_Event& e) {
  if (e.type == SDL_QUIT) {
    post_quit(0);
    return;
  }
  if (e.type == SDL_USEREVENT) {      // wake_loop: something changed from another thread
    for (auto& [id, rec] : dogl.windows) rec->redraw = true;
    return;
  }
  glwin* w = find_window(event_window(e));
  if (!w) return;
  w->redraw = true;                 // whatever came may change the picture
  bool mouse_allowed = dogl.input_enabled;
  switch (e.type) {
    case SDL_WINDOWEVENT: window_event(*w, e.window); break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: key_event(*w, e.key); break;
    case SDL_MOUSEMOTION:
      if (mouse_allowed) deliver(*w, input_mouse_move, e.motion.x, e.motion.y, 0);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      if (mouse_allowed) button_event(*w, e.button);
      break;
    case SDL_MOUSEWHEEL:
      if (mouse_allowed) wheel_event(*w, e.wheel);
      break;
    default: break;
  }
}

int message_loop() {
  SDL_Event e;
  while (!dogl.quit_posted && !take_end_signal()) {
    const int32_t wait = loop_wait(tick_count());
    if (wait == 0 ? SDL_PollEvent(&e) : SDL_WaitEventTimeout(&e, wait)) {
      handle_event(e);
      while (!dogl.quit_posted && SDL_PollEvent(&e)) handle_event(e);   // all that came, then one frame
    }
    run_timers(tick_count());
  }
  return dogl.quit_code;
}

void pump_single_message() {
  dogl.input_enabled = false;
  SDL_Event e;
  if (SDL_PollEvent(&e)) handle_event(e);
  dogl.input_enabled = true;
  if (dogl.quit_posted || take_end_signal()) {     // a quit seen here ends the program at once
    if (dogl.before_quick_end) dogl.before_quick_end();
    std::fflush(nullptr);
    std::exit(dogl.quit_code);
  }
}

namespace {

void note_end_signal(int sig) { end_signal = sig; }

// The Windows C library has no strsignal, and only these two end a program.
const char* signal_name(int sig) {
#ifdef _WIN32
  return sig == SIGINT ? "Interrupt" : "Terminated";
#else
  return strsignal(sig);
#endif
}

}  // namespace

void catch_end_signals() {
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");   // ours, which say which signal it was
#ifdef _WIN32
  for (int sig : {SIGTERM, SIGINT}) std::signal(sig, note_end_signal);   // Ctrl+C raises SIGINT
#else
  struct sigaction a {};
  a.sa_handler = note_end_signal;
  sigemptyset(&a.sa_mask);
  for (int sig : {SIGTERM, SIGINT}) sigaction(sig, &a, nullptr);
#endif
}

bool take_end_signal() {
  const int sig = end_signal;
  if (sig == 0) return false;
  end_signal = 0;
  std::fprintf(stderr, "Ending on signal %d (%s).\n", sig, signal_name(sig));
  post_quit(128 + sig);
  return true;
}

void wake_loop() {
  SDL_Event e{};
  e.type = SDL_USEREVENT;
  SDL_PushEvent(&e);                // thread-safe; the event only ends the loop's wait
}
