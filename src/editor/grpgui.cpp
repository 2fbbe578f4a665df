// grpgui: widget lists, event handling, text-box editing and drawing.
#include "editor/grpgui.h"
#include <SDL.h>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include "base/input_codes.h"
#include "base/strval.h"

gui_state gui;

namespace {

// --- Clipboard ------------------------------------------------------------------------

std::string system_clipboard_get() {
  char* text = SDL_GetClipboardText();
  std::string s = text ? text : "";
  SDL_free(text);
  return s;
}

void system_clipboard_set(const std::string& text) { SDL_SetClipboardText(text.c_str()); }


// --- Geometry ---------------------------------------------------------------------------

bool inside(int px, int py, int left, int top, int width, int height) {
  return px >= left && px <= left + width && py >= top && py <= top + height;
}

template <class W>
bool widget_hit(const W& w, int px, int py) {
  return inside(px, py, w.window->x + w.x, w.window->y + w.y, w.width, w.height);
}

// Keeps a window coordinate within [0, upper]; the lower bound wins when the
// window is larger than the screen, so such a window sticks at 0.
int clamp_on_screen(int v, int upper) { return std::max(std::min(v, upper), 0); }

}  // namespace

void gui_init() {
  gui_final();
  gui.focus = -1;
  gui.clipboard = {system_clipboard_get, system_clipboard_set};
}

void gui_final() {
  gui.windows.clear();
  gui.buttons.clear();
  gui.textboxes.clear();
  gui.checkboxes.clear();
  gui.labels.clear();
  gui.panels.clear();
  gui.sliders.clear();
  gui.focus = -1;
  gui.modal = nullptr;
  gui.modal_keys = nullptr;
}

bool window_hit(const gg_wndtype& w, int x, int y) {
  return inside(x, y, w.x - 1, w.y - gg_title_height, w.width + 2, w.height + gg_title_height + 2);
}

bool title_hit(const gg_wndtype& w, int x, int y) {
  return inside(x, y, w.x - 1, w.y - gg_title_height, w.width + 2, gg_title_height);
}

namespace {

void keep_on_screen(gg_wndtype& w) {
  if (!w.framed) return;
  w.x = clamp_on_screen(w.x, screen.width - w.width);
  w.y = clamp_on_screen(w.y, screen.height - w.height);
}

// A window is hit where it is drawn: one shown since the last frame is kept on the
// screen here too, so a click that comes before that frame is not lost.
bool shown_under(gg_wndtype& w, int x, int y) {
  if (!w.exists || !w.visible) return false;
  keep_on_screen(w);
  return window_hit(w, x, y);
}

}  // namespace

namespace {

// Whether w lies above the other windows now: kept on top while no fixed window is shown.
bool lifted(const gg_wndtype& w) {
  if (!w.on_top) return false;
  return std::none_of(gui.windows.begin(), gui.windows.end(),
                      [](const gg_wndtype* d) { return d->exists && d->visible && d->fixed; });
}

}  // namespace

gg_wndtype* target_window(int x, int y) {
  if (gui.modal) return shown_under(*gui.modal, x, y) ? gui.modal : nullptr;
  for (bool top : {true, false})
    for (auto it = gui.windows.rbegin(); it != gui.windows.rend(); ++it)
      if (lifted(**it) == top && shown_under(**it, x, y)) return *it;
  return nullptr;
}

void gui_show(gg_wndtype& w) {
  w.visible = true;
  const auto it = std::find(gui.windows.begin(), gui.windows.end(), &w);
  if (it != gui.windows.end()) std::rotate(it, it + 1, gui.windows.end());
}

void gui_set_modal(gg_wndtype* w, gg_modalkeys keys) {
  for (gg_wndtype* d : gui.windows) d->dragging = false;
  for (gg_btnrec& b : gui.buttons) b.pressed = false;
  for (gg_txtboxrec& t : gui.textboxes) t.selecting = false;
  gui_set_focus(-1);
  gui.modal = w;
  gui.modal_keys = w ? keys : nullptr;
}

// --- Creation ---------------------------------------------------------------------------------

void gui_window(gg_wndtype& w, int x, int y, int width, int height, bool visible, const std::string& title,
                gg_drawproc draw, gg_mouseproc mouse, gg_keyproc key) {
  w = gg_wndtype{};
  w.exists = w.framed = true;
  w.x = x;
  w.y = y;
  w.width = width;
  w.height = height;
  w.visible = visible;
  w.title = title;
  w.draw = draw;
  w.mouse = mouse;
  w.key = key;
  gui.windows.push_back(&w);
}

int gui_button(gg_wndtype& w, int x, int y, int width, int height, const std::string& caption, int tag,
               gg_clickproc click) {
  return gui_button(w, x, y, width, height, caption, tag, click, gg_text, gg_body, gg_outline, gg_pressed);
}

int gui_button(gg_wndtype& w, int x, int y, int width, int height, const std::string& caption, int tag,
               gg_clickproc click, uint32_t text, uint32_t fill, uint32_t outline, uint32_t pressed) {
  gui.buttons.push_back({&w, true, false, x, y, width, height, caption, text, fill, outline, pressed, tag, click});
  return int(gui.buttons.size()) - 1;
}

int gui_textbox(gg_wndtype& w, int x, int y, int width, int height, gg_binding bind, size_t capacity) {
  gg_txtboxrec t;
  t.window = &w;
  t.x = x;
  t.y = y;
  t.width = width;
  t.height = height;
  t.bind = std::move(bind);
  t.capacity = capacity;
  t.id = int32_t(gui.textboxes.size());
  textbox_load(t);
  gui.textboxes.push_back(std::move(t));
  return int(gui.textboxes.size()) - 1;
}

gg_inprec& gui_checkbox(gg_wndtype& w, int x, int y, int width, int height, bool checked, int tag,
                        gg_toggleproc toggle) {
  gui.checkboxes.push_back(std::make_unique<gg_inprec>(gg_inprec{&w, checked, x, y, width, height, tag, toggle, {}}));
  return *gui.checkboxes.back();
}

gg_labelrec& gui_label(gg_wndtype& w, int x, int y, const std::string& text) {
  gui.labels.push_back(std::make_unique<gg_labelrec>(gg_labelrec{&w, x, y, text}));
  return *gui.labels.back();
}

gg_panelrec& gui_panel(gg_wndtype& w, bool hidden, int x, int y, int width, int height, uint32_t outline,
                       uint32_t fill, bool on_top) {
  gui.panels.push_back(
      std::make_unique<gg_panelrec>(gg_panelrec{&w, on_top, hidden, x, y, width, height, outline, fill}));
  return *gui.panels.back();
}

gg_sliderrec& gui_slider(gg_wndtype& w, int x, int y, int width, int height, int mode, double value,
                         gg_slideproc change) {
  gui.sliders.push_back(
      std::make_unique<gg_sliderrec>(gg_sliderrec{&w, false, x, y, width, height, value, mode, change}));
  return *gui.sliders.back();
}

// --- Text-box binding ----------------------------------------------------------------------------

namespace {

// Characters a text box may hold: a character buffer keeps room for its zero.
size_t textbox_room(const gg_txtboxrec& t) {
  return t.capacity > 0 ? t.capacity - 1 : SIZE_MAX;
}

int32_t text_length(const gg_txtboxrec& t) { return int32_t(t.text.size()); }

// Indices can be stale after the text was reloaded; editing starts from sane ones.
void clamp_indices(gg_txtboxrec& t) {
  int32_t n = text_length(t);
  t.cursor = std::clamp(t.cursor, 0, n);
  t.sel_start = std::clamp(t.sel_start, 0, n);
  t.sel_end = std::clamp(t.sel_end, 0, n);
}

int32_t parse_int32(const std::string& s) {
  long long v = text_to_int(s);
  return int32_t(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

void textbox_load(gg_txtboxrec& t) {
  t.text = t.bind.get ? t.bind.get() : std::string();
  t.loaded = t.text;
}

bool textbox_valid(const gg_txtboxrec& t) { return !t.bind.valid || t.bind.valid(t.text); }

void textbox_commit(gg_txtboxrec& t) {
  if (t.text != t.loaded && t.bind.set && textbox_valid(t)) t.bind.set(t.text);
  textbox_load(t);                          // a text the binding does not take gives way to the stored value
}

bool number_text_valid(const std::string& s) { return is_whole_number(s, false); }
bool integer_text_valid(const std::string& s) { return is_whole_number(s, true); }

gg_binding bind_number(std::function<double()> get, std::function<void(double)> set) {
  return {[get] { return decimal_to_text(get()); }, [set](const std::string& s) { set(text_to_decimal(s)); },
          number_text_valid};
}

gg_binding bind_integer(std::function<int32_t()> get, std::function<void(int32_t)> set) {
  return {[get] { return int_to_text(get()); }, [set](const std::string& s) { set(parse_int32(s)); },
          integer_text_valid};
}

gg_binding bind_variable(double& v) {
  return bind_number([&v] { return v; }, [&v](double x) { v = x; });
}

gg_binding bind_variable(float& v) {
  return bind_number([&v] { return double(v); }, [&v](double x) { v = float(x); });
}

gg_binding bind_variable(int32_t& v) {
  return bind_integer([&v] { return v; }, [&v](int32_t x) { v = x; });
}

gg_binding bind_variable(std::string& v) {
  return {[&v] { return v; }, [&v](const std::string& s) { v = s; }};
}

gg_binding bind_chars(char* buffer, size_t capacity) {
  return {[=] { return std::string(buffer, strnlen(buffer, capacity)); },
          [=](const std::string& s) {
            const size_t n = std::min(s.size(), capacity - 1);
            std::memcpy(buffer, s.data(), n);
            std::memset(buffer + n, 0, capacity - n);
          }};
}

gg_txtboxrec* focused_textbox() {
  if (gui.focus == -1) return nullptr;
  for (gg_txtboxrec& t : gui.textboxes)
    if (t.id == gui.focus) return &t;
  return nullptr;
}

void gui_set_focus(int id) {
  if (id == gui.focus) return;
  if (gg_txtboxrec* old = focused_textbox()) textbox_commit(*old);
  gui.focus = id;
  for (gg_txtboxrec& t : gui.textboxes)
    if (t.id == id) textbox_load(t);
}

// --- Key table -------------------------------------------------------------------------------------

namespace {

struct oem_key {
  uint16_t key;
  int plain, shifted;               // characters; 0: types nothing
};
constexpr oem_key oem_keys[] = {
  {186, ';', ':'}, {187, '=', '+'}, {188, ',', '<'}, {189, '-', '_'}, {190, '.', '>'}, {191, '/', '?'},
  {192, '`', '~'}, {219, '[', 0},   {220, '\\', '|'}, {221, ']', 0},  {222, '\'', '"'},
};
constexpr char shifted_digits[] = ")!@#$%^&*(";
constexpr uint16_t nav_first = 33, nav_last = 47;          // Page Up ... Help: arrows, Home, End, Insert, Delete
constexpr uint16_t keypad_first = 96, keypad_last = 111;   // keypad 0..9, * + (separator) - . /
constexpr char keypad_characters[] = "0123456789*+\0-./";

}  // namespace

int key_character(uint16_t key, bool shift) {
  if (key < 32 || (key >= nav_first && key <= nav_last)) return -1;
  if (key >= 'A' && key <= 'Z') return shift ? key : key + ('a' - 'A');
  if (key >= '0' && key <= '9' && shift) return shifted_digits[key - '0'];
  if (key >= keypad_first && key <= keypad_last) {
    const char c = keypad_characters[key - keypad_first];
    return c ? c : -1;
  }
  if (key <= 128) return key;
  for (const oem_key& k : oem_keys)
    if (k.key == key) return shift ? k.shifted : k.plain;
  return -1;
}

// --- Text editing -----------------------------------------------------------------------------------

namespace {

bool has_selection(const gg_txtboxrec& t) { return t.sel_start != t.sel_end; }

void remove_selection(gg_txtboxrec& t) {
  int32_t lo = std::min(t.sel_start, t.sel_end), hi = std::max(t.sel_start, t.sel_end);
  t.text.erase(size_t(lo), size_t(hi - lo));
  t.cursor = t.sel_start = t.sel_end = lo;
}

void backspace(gg_txtboxrec& t) {
  if (has_selection(t)) remove_selection(t);
  else if (t.cursor > 0) t.text.erase(size_t(--t.cursor), 1);
}

void delete_key(gg_txtboxrec& t) {
  if (has_selection(t)) remove_selection(t);
  else if (t.cursor < text_length(t)) t.text.erase(size_t(t.cursor), 1);
}

// The caret to pos; with Shift the selection grows from where it was anchored, else it goes.
void move_cursor(gg_txtboxrec& t, int32_t pos, bool extend) {
  if (extend && !has_selection(t)) t.sel_start = t.cursor;
  t.cursor = std::clamp(pos, 0, text_length(t));
  t.sel_end = t.cursor;
  if (!extend) t.sel_start = t.cursor;
}

// Left and Right step by one; without Shift a selection collapses onto its own end first.
void step_cursor(gg_txtboxrec& t, int step, bool extend) {
  if (!extend && has_selection(t)) {
    move_cursor(t, step < 0 ? std::min(t.sel_start, t.sel_end) : std::max(t.sel_start, t.sel_end), false);
    return;
  }
  move_cursor(t, t.cursor + step, extend);
}

void select_all(gg_txtboxrec& t) {
  t.sel_start = 0;
  t.sel_end = t.cursor = text_length(t);
}

void copy_selection(const gg_txtboxrec& t) {
  if (!has_selection(t) || !gui.clipboard.set) return;
  int32_t lo = std::min(t.sel_start, t.sel_end), hi = std::max(t.sel_start, t.sel_end);
  gui.clipboard.set(t.text.substr(size_t(lo), size_t(hi - lo)));
}

void cut_selection(gg_txtboxrec& t) {
  copy_selection(t);
  if (has_selection(t) && gui.clipboard.set) remove_selection(t);
}

// The clipboard's text replaces the selection; the caret ends after it.
void paste(gg_txtboxrec& t) {
  if (!gui.clipboard.get) return;
  std::string s = gui.clipboard.get();
  s.resize(std::strlen(s.c_str()));                       // the clipboard's text ends at its zero
  if (has_selection(t)) remove_selection(t);
  size_t room = textbox_room(t);
  size_t free = room > t.text.size() ? room - t.text.size() : 0;
  if (s.size() > free) s.resize(free);
  t.text.insert(size_t(t.cursor), s);
  move_cursor(t, t.cursor + int32_t(s.size()), false);
}

void type_key(gg_txtboxrec& t, uint16_t shift, uint16_t key) {
  int c = key_character(key, shift & shift_Shift);
  if (c < 0) return;
  if (has_selection(t)) remove_selection(t);              // typing replaces the selection
  size_t limit = std::min<size_t>(gg_typing_limit, textbox_room(t));
  if (t.text.size() >= limit) return;
  if (c > 0) t.text.insert(size_t(t.cursor), 1, char(c));
  move_cursor(t, t.cursor + 1, false);
}

// Ctrl with a letter edits (A, C, X, V) or does nothing here; it never types the letter.
void control_key(gg_txtboxrec& t, uint16_t key) {
  if (key == 'A') select_all(t);
  else if (key == 'C') copy_selection(t);
  else if (key == 'X') cut_selection(t);
  else if (key == 'V') paste(t);
}

void edit_key(gg_txtboxrec& t, uint16_t shift, uint16_t key) {
  clamp_indices(t);
  const bool extend = shift & shift_Shift;
  switch (key) {
    case vk_back: backspace(t); break;
    case vk_delete: delete_key(t); break;
    case vk_left: step_cursor(t, -1, extend); break;
    case vk_right: step_cursor(t, +1, extend); break;
    case vk_home: move_cursor(t, 0, extend); break;
    case vk_end: move_cursor(t, text_length(t), extend); break;
    default:
      if (shift & shift_Ctrl) control_key(t, key);
      else type_key(t, shift, key);
  }
}

// Keys reach the focused text boxes first, then the window under the mouse.
// A modal window takes them all, wherever the mouse is.
bool route_key(int kind, uint16_t shift, uint16_t key) {
  if (gui.modal && gui.modal_keys && gui.modal_keys(kind, shift, key)) return true;
  for (size_t i = 0; i < gui.textboxes.size(); ++i) {
    gg_txtboxrec& t = gui.textboxes[i];
    if (!t.enabled || t.id != gui.focus || gui.focus == -1) continue;
    if (gui.modal && t.window != gui.modal) continue;
    if (kind == gg_key_down) edit_key(t, shift, key);
    else if (key == 13 || key == 27) {
      if (gg_txtboxrec* f = focused_textbox()) textbox_commit(*f);
      gui.focus = -1;
    }
  }
  gg_wndtype* w = gui.modal ? gui.modal : target_window(gui.mouse_x, gui.mouse_y);
  if (!w) return false;
  if (w->key) w->key(*w, kind, shift, key);
  return true;
}

}  // namespace

bool gui_key_down(uint16_t shift, uint16_t key) { return route_key(gg_key_down, shift, key); }
bool gui_key_up(uint16_t shift, uint16_t key) { return route_key(gg_key_up, shift, key); }

// --- Mouse ------------------------------------------------------------------------------------------

namespace {

// A box that gains the focus by a click selects its whole value; a click into the
// focused box places the caret, and a drag from there selects.
void textbox_mouse(gg_txtboxrec& t, int kind, uint16_t shift, int px) {
  if (kind != gg_move && t.id != gui.focus) {
    if (gg_txtboxrec* old = focused_textbox()) textbox_commit(*old);
    gui.focus = t.id;
    textbox_load(t);
    t.selecting = false;
    select_all(t);
    return;
  }
  int rel = std::max(px - t.window->x - t.x, 0);
  int32_t pos = std::min(t.offset + rel / gg_char_width, text_length(t));
  if (kind == gg_down && (shift & shift_LeftButton)) {
    t.selecting = true;
    t.sel_start = t.sel_end = t.cursor = pos;
  } else if (kind == gg_up && t.selecting) {
    t.selecting = false;
    t.sel_end = pos;
  } else if (kind == gg_move && t.selecting) {
    t.sel_end = t.cursor = pos;
  }
}

// Text boxes of w that are enabled and under the point get the mouse rule;
// returns whether any did.
bool textboxes_mouse(gg_wndtype* w, int kind, uint16_t shift, int x, int y) {
  bool hit = false;
  for (size_t i = 0; i < gui.textboxes.size(); ++i) {
    gg_txtboxrec& t = gui.textboxes[i];
    if (t.window != w || !t.enabled || !widget_hit(t, x, y)) continue;
    textbox_mouse(t, kind, shift, x);
    hit = true;
  }
  return hit;
}

double slider_value(const gg_sliderrec& s, int x) {
  double v = double(x - s.window->x - s.x) / double(s.width ? s.width : 1);
  return s.mode == 1 ? (v - 0.5) * 2 : v;
}

void call_mouse(gg_wndtype* w, int kind, uint16_t shift, int x, int y) {
  if (w && w->mouse) w->mouse(*w, kind, shift, x - w->x, y - w->y);
}

// A release anywhere ends every press, so that a button released outside its
// window neither stays drawn pressed nor clicks on some later release. Returns
// the button to click: one of w's, pressed, visible and under the point.
gg_btnrec* released_button(gg_wndtype* w, int x, int y) {
  gg_btnrec* clicked = nullptr;
  for (gg_btnrec& b : gui.buttons) {
    if (!clicked && b.pressed && b.window == w && b.visible && b.click && widget_hit(b, x, y)) clicked = &b;
    b.pressed = false;
  }
  return clicked;
}

}  // namespace

bool gui_mouse_down(uint16_t shift, int x, int y) {
  gui.mouse_x = x;
  gui.mouse_y = y;
  gg_wndtype* w = target_window(x, y);
  if (!w) return gui.modal != nullptr;
  for (gg_btnrec& b : gui.buttons)
    if (b.window == w && b.visible) b.pressed = widget_hit(b, x, y);
  if (!textboxes_mouse(w, gg_down, shift, x, y) && gui.focus != -1) {
    if (gg_txtboxrec* f = focused_textbox()) textbox_commit(*f);
    gui.focus = -1;
  }
  for (auto& s : gui.sliders) {
    if (s->window != w) continue;
    s->active = widget_hit(*s, x, y);
    if (s->active) s->value = slider_value(*s, x);
  }
  if (!w->fixed && title_hit(*w, x, y)) {
    w->dragging = true;
    w->grab_x = x - w->x;
    w->grab_y = y - w->y;
  }
  call_mouse(w, gg_down, shift, x, y);
  return true;
}

bool gui_mouse_up(uint16_t shift, int x, int y) {
  gui.mouse_x = x;
  gui.mouse_y = y;
  gg_wndtype* w = target_window(x, y);
  gg_btnrec* clicked = released_button(w, x, y);
  if (w) {
    w->dragging = false;
    if (clicked) clicked->click(*clicked);
    textboxes_mouse(w, gg_up, shift, x, y);
    for (auto& c : gui.checkboxes) {
      if (c->window != w || !widget_hit(*c, x, y)) continue;
      c->checked = !(c->state ? c->state() : c->checked);   // from what it shows now, not at the last draw
      if (c->toggle) c->toggle(*c);
      break;
    }
    for (size_t i = 0; i < gui.sliders.size(); ++i) {
      gg_sliderrec& s = *gui.sliders[i];
      if (s.window != w) continue;
      s.active = false;
      if (widget_hit(s, x, y) && s.change) {
        s.change(int(i), 0);
        break;
      }
    }
    call_mouse(w, gg_up, shift, x, y);
  }
  for (gg_txtboxrec& t : gui.textboxes) t.selecting = false;   // wherever the release happened
  return true;
}

bool gui_mouse_move(uint16_t shift, int x, int y) {
  gui.mouse_x = x;
  gui.mouse_y = y;
  gg_wndtype* w = target_window(x, y);
  call_mouse(w, gg_move, shift, x, y);
  if (w) {
    for (size_t i = 0; i < gui.sliders.size() && (shift & shift_LeftButton); ++i) {
      gg_sliderrec& s = *gui.sliders[i];
      if (s.window != w || !widget_hit(s, x, y)) continue;
      s.value = slider_value(s, x);
      if (s.change) s.change(int(i), 1);
    }
    textboxes_mouse(w, gg_move, shift, x, y);
  }
  for (gg_wndtype* d : gui.windows) {
    if (!d->visible || !d->dragging) continue;
    const int32_t nx = clamp_on_screen(x - d->grab_x, screen.width - d->width);
    const int32_t ny = clamp_on_screen(y - d->grab_y, screen.height - d->height);
    d->moved = d->moved || nx != d->x || ny != d->y;
    d->x = nx;
    d->y = ny;
  }
  return true;
}

// --- Placement rules ---------------------------------------------------------------------------------

namespace {

constexpr int middle_slack = 8;      // pixels either side of a window's middle that count as the middle

// One axis of a widget in a window whose extent changes from old_extent by delta.
void follow(int32_t& pos, int32_t& size, int old_extent, int delta) {
  const auto middle = [old_extent](int v) { return std::abs(2 * v - old_extent) <= 2 * middle_slack; };
  if (middle(size)) size += delta / 2;
  else if (2 * size > old_extent) size += delta;
  if (middle(pos)) pos += delta / 2;
  else if (2 * pos > old_extent) pos += delta;
}

template <class W>
void follow_widget(W& wd, const gg_wndtype& w, int old_w, int old_h) {
  if (wd.window != &w) return;
  follow(wd.x, wd.width, old_w, w.width - old_w);
  follow(wd.y, wd.height, old_h, w.height - old_h);
}

void resize_window(gg_wndtype& w, int width, int height) {
  const int old_w = w.width, old_h = w.height;
  w.width = width;
  w.height = height;
  if (width == old_w && height == old_h) return;
  for (gg_btnrec& b : gui.buttons) follow_widget(b, w, old_w, old_h);
  for (gg_txtboxrec& t : gui.textboxes) follow_widget(t, w, old_w, old_h);
  for (auto& c : gui.checkboxes) follow_widget(*c, w, old_w, old_h);
  for (auto& p : gui.panels) follow_widget(*p, w, old_w, old_h);
  for (auto& s : gui.sliders) follow_widget(*s, w, old_w, old_h);
  for (auto& l : gui.labels) {
    if (l->window != &w) continue;
    int32_t none = 0;
    follow(l->x, none, old_w, width - old_w);
    follow(l->y, none, old_h, height - old_h);
  }
}

// Pixels of a's hit rectangle that b's covers, for a placed at (x, y).
long overlap(const gg_wndtype& a, int x, int y, const gg_wndtype& b) {
  const long across = std::min(x + a.width, b.x + b.width) - std::max(x - 1, b.x - 1) + 1;
  const long down = std::min(y + a.height, b.y + b.height) - std::max(y - gg_title_height, b.y - gg_title_height) + 1;
  return across > 0 && down > 0 ? across * down : 0;
}

// Where the rule puts w, unless the window kept on top covers it there: then the place above
// it, at the top of the screen, left of it or in the top-left corner that it covers least,
// keeping the middle of the screen (where the preview shows the vessel) clear where it can.
void clear_of(gg_wndtype& w, const gg_wndtype& top, int screen_w, int screen_h) {
  if (overlap(w, w.x, w.y, top) == 0) return;
  const std::pair<int, int> tries[] = {{w.x, w.y}, {w.x, top.y - gg_title_height - 2 - w.height},
                                       {w.x, gg_title_height}, {top.x - 3 - w.width, w.y}, {1, gg_title_height}};
  long least = -1;
  for (auto [x, y] : tries) {
    x = clamp_on_screen(x, screen_w - w.width);
    y = clamp_on_screen(y, screen_h - w.height);
    const bool middle = x - 1 <= screen_w / 2 && screen_w / 2 <= x + w.width &&
                        y - gg_title_height <= screen_h / 2 && screen_h / 2 <= y + w.height;
    const long covered = 2 * overlap(w, x, y, top) + (middle ? 1 : 0);
    if (least >= 0 && covered >= least) continue;
    least = covered;
    w.x = x;
    w.y = y;
  }
}

void place(gg_wndtype& w, int screen_w, int screen_h) {
  resize_window(w, w.rule.width.of(screen_w), w.rule.height.of(screen_h));
  if (!w.moved) {
    w.x = clamp_on_screen(w.rule.x.of(screen_w), screen_w - w.width);
    w.y = clamp_on_screen(w.rule.y.of(screen_h), screen_h - w.height);
    for (const gg_wndtype* top : gui.windows)
      if (top != &w && top->exists && top->on_top && !w.on_top && !w.fixed) clear_of(w, *top, screen_w, screen_h);
  }
  w.x = clamp_on_screen(w.x, screen_w - w.width);
  w.y = clamp_on_screen(w.y, screen_h - w.height);
}

}  // namespace

void gui_set_rule(gg_wndtype& w, const gg_rule& rule, int screen_w, int screen_h) {
  w.ruled = true;
  w.rule = rule;
  place(w, screen_w, screen_h);
}

void gui_screen_resized(int screen_w, int screen_h) {
  for (bool top : {true, false})    // the windows on top first: the others keep clear of them
    for (gg_wndtype* w : gui.windows)
      if (w->exists && w->ruled && w->on_top == top) place(*w, screen_w, screen_h);
}

// --- Drawing ------------------------------------------------------------------------------------------

namespace {

constexpr uint32_t groove_dark = pack_rgba(20, 20, 20, 255);
constexpr uint32_t groove_mid = pack_rgba(120, 120, 120, 255);
constexpr uint32_t groove_light = pack_rgba(240, 240, 240, 255);
constexpr uint32_t slider_centre = pack_rgba(255, 0, 0, 255);
constexpr uint32_t knob = pack_rgba(255, 255, 255, 255);
constexpr uint32_t modal_shade = pack_rgba(0, 0, 0, 96);   // dims what a modal window holds back

void draw_frame(gg_wndtype& w) {
  keep_on_screen(w);
  fill_rect(w.x - 1, w.y - gg_title_height, w.width + 2, gg_title_height, gg_title_fill, gg_outline);
  fill_rect(w.x - 1, w.y - 1, w.width + 2, w.height + 2, gg_body, gg_outline);
  draw_text_centred(w.title, gg_title_text, w.x + w.width / 2, w.y - gg_title_height);
}

void draw_panels(const gg_wndtype& w, bool on_top) {
  for (const auto& p : gui.panels)
    if (p->window == &w && p->on_top == on_top && !p->hidden)
      fill_rect(w.x + p->x, w.y + p->y, p->width, p->height, p->fill_colour, p->outline_colour);
}

void draw_textbox(gg_txtboxrec& t) {
  bool focused = gui.focus != -1 && t.id == gui.focus;
  if (!focused) textbox_load(t);
  int x = t.window->x + t.x, y = t.window->y + t.y;
  fill_rect(x - 5, y, t.width, t.height, focused && !textbox_valid(t) ? gg_error : t.fill_colour, t.outline_colour);
  if (focused && t.cursor >= t.offset) {
    int cx = x + (t.cursor - t.offset) * gg_char_width;
    draw_line(cx, y + 1, cx, y + t.height - 4, gg_caret);
  }
  draw_text(t.text, t.text_colour, x, y);
  if (t.sel_start != t.sel_end) {
    int lo = std::min(t.sel_start, t.sel_end);
    fill_rect(x + (lo - t.offset) * gg_char_width, y + 1, std::abs(t.sel_end - t.sel_start) * gg_char_width,
              t.height - 4, gg_selection, gg_selection_outline);
  }
}

void draw_button(const gg_btnrec& b) {
  int x = b.window->x + b.x, y = b.window->y + b.y;
  fill_rect(x, y, b.width, b.height, b.pressed ? b.pressed_colour : b.fill_colour, b.outline_colour);
  draw_text_centred(b.caption, b.text_colour, x + b.width / 2, y + b.height / 2 - 7);
}

void draw_slider(const gg_sliderrec& s) {
  int x = s.window->x + s.x, y = s.window->y + s.y, mid = y + s.height / 2;
  const uint32_t groove[3] = {groove_dark, groove_mid, groove_light};
  for (int i = 0; i < 3; ++i) draw_line(x, mid - 1 + i, x + s.width, mid - 1 + i, groove[i]);
  draw_line(x, mid - 1, x, mid + 1, groove_dark);
  draw_line(x + s.width, mid - 1, x + s.width, mid + 1, groove_light);
  int centre = x + s.width / 2;
  if (s.mode == 1) draw_line(centre, y + 2, centre, y + s.height - 2, slider_centre);
  int k = s.mode == 1 ? int(centre + s.value * (s.width / 2.0)) : int(x + s.width * s.value);
  for (int i = -1; i <= 1; ++i) draw_line(k + i, y, k + i, y + s.height, knob);
}

void draw_checkbox(gg_inprec& c) {
  if (c.state) c.checked = c.state();
  int x = c.window->x + c.x, y = c.window->y + c.y;
  fill_rect(x, y, c.width, c.height, c.checked ? gg_pressed : gg_body, gg_outline);
  if (!c.checked) return;
  draw_line(x, y, x + c.width, y + c.height, gg_outline);
  draw_line(x + c.width, y, x, y + c.height, gg_outline);
}

void draw_window(gg_wndtype* w) {
  if (!w->exists || !w->visible) return;
  if (w->framed) draw_frame(*w);
  draw_panels(*w, false);
  for (gg_txtboxrec& t : gui.textboxes)
    if (t.window == w) draw_textbox(t);
  for (const gg_btnrec& b : gui.buttons)
    if (b.window == w && b.visible) draw_button(b);
  for (const auto& s : gui.sliders)
    if (s->window == w) draw_slider(*s);
  for (auto& c : gui.checkboxes)
    if (c->window == w) draw_checkbox(*c);
  for (const auto& l : gui.labels)
    if (l->window == w) draw_text(l->text, gg_text, w->x + l->x, w->y + l->y);
  draw_panels(*w, true);
  if (w->draw) w->draw(*w);
}

}  // namespace

void gui_draw_all() {
  for (bool top : {false, true})
    for (gg_wndtype* w : gui.windows)
      if (w != gui.modal && lifted(*w) == top) draw_window(w);
  if (!gui.modal) return;
  fill_rect(0, 0, screen.width, screen.height, modal_shade, modal_shade);
  draw_window(gui.modal);
}
