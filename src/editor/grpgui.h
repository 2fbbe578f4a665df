// grpgui: the program's own immediate-mode widget toolkit.
//
// GUI windows with buttons, text boxes, labels, checkboxes, panels and
// sliders, drawn every frame in window pixels and driven by the input events
// of the window layer. Widgets live in one list per kind, name the window
// they belong to and sit relative to its top-left corner. Each widget carries
// its own handler. Text boxes edit a copy of their bound value and hand an
// edited text to their binding (commit) when they lose the focus.
//
// Builds on: glgr (drawing, screen size), base/strval (number texts), SDL
// (the clipboard, replaceable through gui.clipboard).
//
// Index:
//   - palette and records
//   - creation
//   - placement rules
//   - event entry points (no GL: testable without a display)
//   - text-box binding and the key table
//   - drawing
//
// Notes:
//   - hit tests are inclusive on all four sides; a window's hit rectangle
//     takes in its one-pixel border and the 15-pixel title bar above it
//   - windows later in the list lie on top; events go to the top-most
//     visible window under the point; showing a window (gui_show) moves it
//     to the end of the list
//   - a framed window is kept on the screen before every hit test as well as
//     when drawn, so a click right after it is shown, before the next frame,
//     lands where the window will be drawn
//   - a release anywhere ends every button press and every drag selection;
//     a button clicks only when pressed and released over it
//   - a text box commits only when its text was edited: a visit, a focus
//     change or a closed window without typing stores nothing
//   - a text box bound with a capacity (a character buffer) never takes more
//     than capacity - 1 characters: typing and pasting stop there
//   - text boxes are told apart by their identifier, which creation makes unique
//   - text boxes edit as on every desktop: Home, End, Left, Right (with Shift
//     they select), Delete, Backspace, Ctrl+A, Ctrl+C, Ctrl+X, Ctrl+V; typing
//     replaces the selection; a click that gives a box the focus selects its
//     whole text, a second click places the caret
//   - a text its binding does not take (a number box's text that is not one
//     number, blanks aside) is drawn in the error colour while the box has the
//     focus and stores nothing
//   - lists only grow; widgets are created once at start-up
//   - a modal window (gui_set_modal) takes every event alone, reports each one
//     taken and is drawn last, over the dimmed rest of the screen
//   - a window with a placement rule is placed from the screen size, clear of
//     the windows kept on top where the screen has room, and placed again
//     whenever the screen changes size, unless the user dragged it: then it
//     stays where it was put, pulled back onto the screen. When its size
//     changes, its widgets keep their distance to the nearer edge, those about
//     the middle keep their share, and those wider than half of it stretch
//   - a window kept on top lies above the others, unless a fixed window (one
//     that fills the screen and cannot be dragged) is shown
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "gl/glgr.h"

// --- Palette and records ---------------------------------------------------------------
constexpr uint32_t gg_outline = pack_rgba(255, 255, 255, 255);       // windows, buttons, checkboxes, text boxes
constexpr uint32_t gg_body = pack_rgba(128, 128, 128, 210);          // window body and button fill
constexpr uint32_t gg_title_fill = pack_rgba(200, 255, 200, 128);    // title bar
constexpr uint32_t gg_pressed = pack_rgba(128, 255, 128, 210);       // pressed button, checked box
constexpr uint32_t gg_title_text = pack_rgba(225, 255, 225, 255);    // window titles
constexpr uint32_t gg_text = pack_rgba(255, 255, 255, 255);          // labels, captions, text boxes
constexpr uint32_t gg_caret = pack_rgba(255, 0, 0, 255);             // text caret
constexpr uint32_t gg_selection = pack_rgba(0, 128, 255, 120);       // text selection
constexpr uint32_t gg_selection_outline = pack_rgba(0, 0, 0, 0);     // fully transparent
constexpr uint32_t gg_error = pack_rgba(200, 40, 40, 230);           // a text box whose text cannot be stored

constexpr int gg_title_height = 15;   // pixels of the title bar above the body
constexpr int gg_char_width = 8;      // pixels per character in text boxes
constexpr int gg_typing_limit = 80;   // typing stops at this many characters

enum gg_mouse_kind { gg_down = 0, gg_up = 1, gg_move = 2 };
enum gg_key_kind { gg_key_down = 0, gg_key_up = 1 };

struct gg_wndtype;
struct gg_btnrec;
struct gg_txtboxrec;
struct gg_inprec;
using gg_drawproc = void (*)(gg_wndtype& w);                                  // after the widgets
using gg_mouseproc = void (*)(gg_wndtype& w, int kind, uint16_t shift, int x, int y); // x, y relative
using gg_keyproc = void (*)(gg_wndtype& w, int kind, uint16_t shift, uint16_t key);
using gg_clickproc = std::function<void(gg_btnrec& b)>;
using gg_toggleproc = std::function<void(gg_inprec& c)>;
using gg_slideproc = void (*)(int slider, int kind);                          // 0 released, 1 dragged
using gg_modalkeys = bool (*)(int kind, uint16_t shift, uint16_t key);         // true: the key is used up

// A window coordinate or size from the screen's: nothing, half or all of it, plus an offset.
enum gg_anchor : int { gg_none = 0, gg_half = 1, gg_whole = 2 };
struct gg_place {
  int anchor = gg_none;
  int offset = 0;
  int of(int screen) const { return (anchor == gg_whole ? screen : anchor == gg_half ? screen / 2 : 0) + offset; }
};
struct gg_rule {                      // where a window goes on a screen of a given size
  gg_place x, y, width, height;
};

struct gg_wndtype {                   // a GUI window
  bool exists = false;                // set at creation; a window without it is skipped
  bool fixed = false;                 // the title bar does not start a drag
  int32_t x = 0, y = 0;               // top-left corner of the body
  int32_t width = 0, height = 0;      // body size
  int32_t grab_x = 0, grab_y = 0;     // mouse offset from the corner while dragged
  std::string title;                  // centred in the title bar
  bool visible = false;               // drawn and hit-tested only when set
  bool dragging = false;              // title bar held
  bool framed = false;                // title bar and body drawn, clamped to the screen
  gg_drawproc draw = nullptr;         // called after the window's widgets are drawn
  gg_mouseproc mouse = nullptr;       // kind 0 down, 1 up, 2 move
  gg_keyproc key = nullptr;           // kind 0 down, 1 up
  bool ruled = false;                 // placed by rule, again when the screen changes size
  gg_rule rule;                       // its placement
  bool moved = false;                 // dragged by the user: kept where it was put
  bool on_top = false;                // kept above the other windows
};

struct gg_btnrec {                    // a button
  gg_wndtype* window = nullptr;       // owner
  bool visible = true;                // drawn and pressed only when set
  bool pressed = false;               // a button went down on it and has not been released
  int32_t x = 0, y = 0, width = 0, height = 0; // relative to the window
  std::string caption;                // centred
  uint32_t text_colour = gg_text;     // caption
  uint32_t fill_colour = gg_body;     // body
  uint32_t outline_colour = gg_outline; // border
  uint32_t pressed_colour = gg_pressed; // body while pressed
  int32_t tag = 0;                    // chosen by the caller
  gg_clickproc click = nullptr;       // called on release over a pressed button
};

// What a text box shows and where an edited text goes. An empty get shows
// nothing; an empty set takes nothing.
struct gg_binding {
  std::function<std::string()> get;   // the value as text
  std::function<void(const std::string&)> set; // called with an edited text
  std::function<bool(const std::string&)> valid = nullptr; // whether set takes a text; none: any
};
bool number_text_valid(const std::string& s);    // one decimal number, blanks aside
bool integer_text_valid(const std::string& s);   // one integer, blanks aside
gg_binding bind_number(std::function<double()> get, std::function<void(double)> set);    // automatic decimals
gg_binding bind_integer(std::function<int32_t()> get, std::function<void(int32_t)> set); // clamped to 32 bits
gg_binding bind_variable(double& v);  // variables of the caller's own (not the design's)
gg_binding bind_variable(float& v);
gg_binding bind_variable(int32_t& v);
gg_binding bind_variable(std::string& v);
gg_binding bind_chars(char* buffer, size_t capacity); // zero-terminated; pass capacity to gui_textbox too

struct gg_txtboxrec {                 // a text box
  gg_wndtype* window = nullptr;       // owner
  bool enabled = true;                // takes clicks and keys only when set
  int32_t x = 0, y = 0, width = 0, height = 0; // relative to the window
  gg_binding bind;                    // what it shows and what an edit stores
  size_t capacity = 0;                // bytes of a bound character buffer, zero included; 0 no limit
  std::string text;                   // the edited copy
  std::string loaded;                 // the text as last loaded: a commit stores only a different one
  int32_t offset = 0;                 // first visible character; nothing moves it
  int32_t sel_start = 0, sel_end = 0; // selection, character indices
  int32_t cursor = 0;                 // caret, character index
  bool selecting = false;             // left button held down inside
  uint32_t text_colour = gg_text;     // text
  uint32_t outline_colour = gg_outline; // border
  uint32_t fill_colour = gg_body;     // body
  uint32_t pressed_colour = gg_pressed; // unused by text boxes
  int32_t id = 0;                     // focus key, unique; given at creation
};

struct gg_labelrec {                  // a label
  gg_wndtype* window = nullptr;       // owner
  int32_t x = 0, y = 0;               // relative to the window
  std::string text;                   // left-aligned
};

struct gg_inprec {                    // a checkbox
  gg_wndtype* window = nullptr;       // owner
  bool checked = false;               // state
  int32_t x = 0, y = 0, width = 0, height = 0; // relative to the window
  int32_t tag = 0;                    // chosen by the caller
  gg_toggleproc toggle = nullptr;     // called after each change
  std::function<bool()> state;        // when set, the state shown: read before every drawing
};

struct gg_panelrec {                  // a plain rectangle
  gg_wndtype* window = nullptr;       // owner
  bool on_top = false;                // drawn after the other widgets, else before them
  bool hidden = false;                // not drawn when set
  int32_t x = 0, y = 0, width = 0, height = 0; // relative to the window
  uint32_t outline_colour = gg_outline; // border
  uint32_t fill_colour = gg_body;     // body
};

struct gg_sliderrec {                 // a horizontal slider
  gg_wndtype* window = nullptr;       // owner
  bool active = false;                // the last press landed on it
  int32_t x = 0, y = 0, width = 0, height = 0; // relative to the window
  double value = 0;                   // mode 0: 0 to 1; mode 1: -1 to 1
  int32_t mode = 0;                   // 0 from the left edge, 1 around the centre
  gg_slideproc change = nullptr;      // (slider index, 0 released / 1 dragged)
};

// Text exchange with the system clipboard; tests put their own functions here.
struct gg_clipboard {
  std::string (*get)() = nullptr;     // current text, "" when none
  void (*set)(const std::string& text) = nullptr;
};

// The toolkit's state. Written by the toolkit's entry points and, for
// visibility, positions and enabled flags, directly by the editor pages.
struct gui_state {
  std::vector<gg_wndtype*> windows;                     // owned by the caller, in creation order
  std::vector<gg_btnrec> buttons;                       // held inline: address them by index
  std::vector<gg_txtboxrec> textboxes;                  // held inline: address them by index
  std::vector<std::unique_ptr<gg_inprec>> checkboxes;   // separately allocated
  std::vector<std::unique_ptr<gg_labelrec>> labels;
  std::vector<std::unique_ptr<gg_panelrec>> panels;
  std::vector<std::unique_ptr<gg_sliderrec>> sliders;
  int32_t focus = -1;                                   // focused text-box identifier, -1 none
  int32_t mouse_x = 0, mouse_y = 0;                     // last position the toolkit saw
  gg_clipboard clipboard;                               // the system's unless replaced
  gg_wndtype* modal = nullptr;                          // takes every event alone; written by gui_set_modal
  gg_modalkeys modal_keys = nullptr;                    // the modal window's keys before its text boxes
};
extern gui_state gui;

void gui_init();                      // empty lists, no focus, the system clipboard
void gui_final();                     // releases every list

// --- Creation ---------------------------------------------------------------------------
void gui_window(gg_wndtype& w, int x, int y, int width, int height, bool visible, const std::string& title,
                gg_drawproc draw = nullptr, gg_mouseproc mouse = nullptr, gg_keyproc key = nullptr);
int  gui_button(gg_wndtype& w, int x, int y, int width, int height, const std::string& caption, int tag,
                gg_clickproc click);                    // palette colours; returns the index
int  gui_button(gg_wndtype& w, int x, int y, int width, int height, const std::string& caption, int tag,
                gg_clickproc click, uint32_t text, uint32_t fill, uint32_t outline, uint32_t pressed);
int  gui_textbox(gg_wndtype& w, int x, int y, int width, int height, gg_binding bind,
                 size_t capacity = 0);                  // loads the text; returns the index, also its identifier
gg_inprec&    gui_checkbox(gg_wndtype& w, int x, int y, int width, int height, bool checked, int tag,
                           gg_toggleproc toggle);
gg_labelrec&  gui_label(gg_wndtype& w, int x, int y, const std::string& text);
gg_panelrec&  gui_panel(gg_wndtype& w, bool hidden, int x, int y, int width, int height, uint32_t outline,
                        uint32_t fill, bool on_top);
gg_sliderrec& gui_slider(gg_wndtype& w, int x, int y, int width, int height, int mode, double value,
                         gg_slideproc change);

// --- Placement rules ---------------------------------------------------------------------------
void gui_set_rule(gg_wndtype& w, const gg_rule& rule, int screen_w, int screen_h); // placed now and on every resize
void gui_screen_resized(int screen_w, int screen_h);   // windows by their rules; dragged ones kept on the screen

// --- Event entry points ---------------------------------------------------------------------
bool gui_mouse_move(uint16_t shift, int x, int y);      // always true
bool gui_mouse_down(uint16_t shift, int x, int y);      // true when over a visible window
bool gui_mouse_up(uint16_t shift, int x, int y);        // always true
bool gui_key_down(uint16_t shift, uint16_t key);        // true when the mouse is over a visible window
bool gui_key_up(uint16_t shift, uint16_t key);          // the same

// Makes w (or none) the modal window: ends every press and drag, commits the
// focused text box and clears the focus. keys, if given, sees each key first.
void        gui_set_modal(gg_wndtype* w, gg_modalkeys keys = nullptr);
void        gui_show(gg_wndtype& w);                         // visible, and on top of every other window
bool        window_hit(const gg_wndtype& w, int x, int y);   // body, border and title bar
bool        title_hit(const gg_wndtype& w, int x, int y);    // title bar only
gg_wndtype* target_window(int x, int y);                     // top-most visible under the point, or null

// --- Text-box binding and the key table ---------------------------------------------------------
void          textbox_load(gg_txtboxrec& t);            // the bound value to text
bool          textbox_valid(const gg_txtboxrec& t);     // the binding takes the text
void          textbox_commit(gg_txtboxrec& t);          // an edited text the binding takes to it, then loaded again
gg_txtboxrec* focused_textbox();                        // first text box with the focused identifier
void          gui_set_focus(int id);                    // commits the old focus, loads the new one
// The character a key types: -1 for none (the key does nothing), 0 for a key
// that types nothing yet moves the cursor, else the character code. The minus
// and equals keys and the keypad type their own characters, so a negative or
// signed number can be typed.
int           key_character(uint16_t key, bool shift);

// --- Drawing ------------------------------------------------------------------------------------
void gui_draw_all();                  // every visible window in list order, with its widgets
