// The toolkit's event logic, driven without a display.
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include "base/strval.h"
#include "editor/grpgui.h"

namespace {

constexpr uint16_t shift = 0x0001, ctrl = 0x0040, left = 0x0200;

std::string clipboard_text;
std::string fake_get() { return clipboard_text; }
void fake_set(const std::string& s) { clipboard_text = s; }

int clicks = 0, commits = 0, toggles = 0;
void on_click(gg_btnrec&) { ++clicks; }
// A binding to v that counts what it stores.
template <class T> gg_binding counted(T& v) {
  gg_binding b = bind_variable(v);
  b.set = [set = b.set](const std::string& s) {
    ++commits;
    set(s);
  };
  return b;
}
void on_toggle(gg_inprec&) { ++toggles; }

class Toolkit : public ::testing::Test {
 protected:
  gg_wndtype win, top;
  double amount = 2.5;
  std::string note = "hello";
  void SetUp() override {
    gui_init();
    gui.clipboard = {fake_get, fake_set};
    clipboard_text.clear();
    clicks = commits = toggles = 0;
    screen = {800, 600};
    gui_window(win, 100, 100, 200, 100, true, "Window");
  }
  void TearDown() override { gui_final(); }
  // A press and release of the left button at (x, y).
  void click(int x, int y) {
    gui_mouse_down(left, x, y);
    gui_mouse_up(left, x, y);
  }
  void type(uint16_t key, uint16_t state = 0) {
    gui_key_down(state, key);
    gui_key_up(state, key);
  }
  gg_txtboxrec& box(int i) { return gui.textboxes[size_t(i)]; }
};

TEST_F(Toolkit, HitRectanglesIncludeBorderAndTitleBarOnEverySide) {
  // left x - 1, top y - 15, width + 2 wide, height + 17 high, all edges inside
  EXPECT_TRUE(window_hit(win, 99, 85));
  EXPECT_TRUE(window_hit(win, 301, 202));
  EXPECT_FALSE(window_hit(win, 98, 150));
  EXPECT_FALSE(window_hit(win, 302, 150));
  EXPECT_FALSE(window_hit(win, 150, 84));
  EXPECT_FALSE(window_hit(win, 150, 203));
  EXPECT_TRUE(title_hit(win, 99, 85));
  EXPECT_TRUE(title_hit(win, 301, 100));
  EXPECT_FALSE(title_hit(win, 150, 101));
  int b = gui_button(win, 10, 10, 50, 20, "B", 1, on_click);
  gui_mouse_down(left, 160, 130);  // the button's far corner: 100 + 10 + 50, 100 + 10 + 20
  EXPECT_TRUE(gui.buttons[size_t(b)].pressed);
  gui_mouse_down(left, 161, 130);
  EXPECT_FALSE(gui.buttons[size_t(b)].pressed);
}

TEST_F(Toolkit, EventsGoToTheTopMostVisibleWindow) {
  gui_window(top, 150, 120, 200, 100, true, "Top");
  EXPECT_EQ(target_window(200, 150), &top);
  EXPECT_EQ(target_window(120, 110), &win);
  top.visible = false;
  EXPECT_EQ(target_window(200, 150), &win);
  EXPECT_EQ(target_window(700, 500), nullptr);
  EXPECT_FALSE(gui_mouse_down(left, 700, 500));
  EXPECT_TRUE(gui_mouse_down(left, 200, 150));
  EXPECT_TRUE(gui_mouse_up(left, 700, 500));
}

TEST_F(Toolkit, AButtonClicksOnlyWhenPressedAndReleasedOverIt) {
  gui_button(win, 10, 10, 50, 20, "B", 1, on_click);
  gui_mouse_down(left, 120, 120);
  gui_mouse_up(left, 250, 180);                   // released outside the button, inside the window
  EXPECT_EQ(clicks, 0);
  EXPECT_FALSE(gui.buttons[0].pressed);
  click(120, 120);
  EXPECT_EQ(clicks, 1);
  gui_mouse_down(left, 250, 180);                 // pressed elsewhere, released over it
  gui_mouse_up(left, 120, 120);
  EXPECT_EQ(clicks, 1);
  gui.buttons[0].visible = false;
  click(120, 120);
  EXPECT_EQ(clicks, 1);
}

TEST_F(Toolkit, AnyReleaseEndsAPressOrASelectionWhereverItHappens) {
  gui_window(top, 500, 300, 200, 100, true, "Other");
  gui_button(win, 10, 10, 50, 20, "B", 1, on_click);
  gui_mouse_down(left, 120, 120);
  gui_mouse_up(left, 750, 50);                    // released outside every window
  EXPECT_FALSE(gui.buttons[0].pressed);
  gui_mouse_down(left, 750, 50);                  // a later press outside, released over the button
  gui_mouse_up(left, 120, 120);
  EXPECT_EQ(clicks, 0);
  gui_mouse_down(left, 120, 120);
  gui_mouse_up(left, 550, 350);                   // released over another window
  EXPECT_FALSE(gui.buttons[0].pressed);

  gui_textbox(win, 10, 40, 100, 16, bind_variable(note));
  gg_txtboxrec& t = box(0);
  gui_set_focus(0);                               // a press into the focused box starts a selection
  gui_mouse_down(left, 110 + 8, 145);             // at character 1
  gui_mouse_move(left, 110 + 24, 145);            // drag to character 3
  gui_mouse_up(left, 250, 180);                   // released inside the window, off the box
  EXPECT_FALSE(t.selecting);
  gui_mouse_move(0, 110 + 40, 145);               // hovering with no button moves nothing
  EXPECT_EQ(t.sel_start, 1);
  EXPECT_EQ(t.sel_end, 3);
  EXPECT_EQ(t.cursor, 3);
}

TEST_F(Toolkit, FocusMovesByIdentifierAndCommitsTheOldBox) {
  gui_textbox(win, 10, 10, 100, 16, counted(amount));
  gui_textbox(win, 10, 40, 100, 16, counted(note));
  EXPECT_EQ(box(0).text, "2.5");
  EXPECT_EQ(gui.focus, -1);
  click(150, 115);                                // box 1 takes the focus with all of its text selected
  EXPECT_EQ(gui.focus, 0);
  EXPECT_EQ(box(0).sel_end - box(0).sel_start, 3);
  click(150, 115);                                // a second click: the caret at the third character
  EXPECT_EQ(box(0).sel_start, box(0).sel_end);
  type(8);                                        // "2.5" -> "2."
  type(8);
  type('7');                                      // "27"
  EXPECT_EQ(amount, 2.5);                         // nothing written while focused
  click(120, 145);                                // box 2 takes the focus: box 1 commits
  EXPECT_EQ(amount, 27);
  EXPECT_EQ(commits, 1);
  EXPECT_EQ(gui.focus, 1);
  click(600, 500);                                // outside every window: focus stays
  EXPECT_EQ(gui.focus, 1);
  EXPECT_EQ(commits, 1);
  click(250, 190);                                // inside the window, outside the boxes
  EXPECT_EQ(gui.focus, -1);
  EXPECT_EQ(commits, 1);                          // box 2 was visited, not edited: nothing stored
  gui_set_focus(0);
  amount = 4;
  gui_set_focus(1);                               // a visit never writes its stale text back
  EXPECT_EQ(amount, 4);
  EXPECT_EQ(commits, 1);
}

TEST_F(Toolkit, EnterOrEscapeReleasedCommitsAndClearsTheFocus) {
  gui_textbox(win, 10, 10, 100, 16, counted(note));
  gui_set_focus(0);
  box(0).cursor = 5;
  type('S');
  gui_key_up(0, 13);
  EXPECT_EQ(note, "hellos");
  EXPECT_EQ(gui.focus, -1);
  gui_set_focus(0);
  box(0).cursor = 6;
  gui_key_down(0, 'X');
  gui_key_up(0, 27);
  EXPECT_EQ(note, "hellosx");
  EXPECT_EQ(commits, 2);
}

TEST_F(Toolkit, KeysTypeTheirTableCharacters) {
  struct { uint16_t key; uint16_t state; const char* typed; } cases[] = {
    {46, 0, ""}, {36, 0, ""}, {35, 0, ""}, {45, 0, ""}, {'A', ctrl, ""}, {96, 0, "0"}, {105, 0, "9"}, {109, 0, "-"}, {110, 0, "."}, {107, 0, "+"}, {108, 0, ""},
    {189, 0, "-"}, {189, shift, "_"}, {187, 0, "="}, {187, shift, "+"},
    {'A', 0, "a"}, {'Z', shift, "Z"}, {'0', shift, ")"}, {'1', shift, "!"}, {'9', shift, "("},
    {'5', 0, "5"}, {186, 0, ";"}, {186, shift, ":"}, {222, shift, "\""}, {220, 0, "\\"},
    {192, shift, "~"}, {219, 0, "["}, {219, shift, ""}, {221, shift, ""}, {250, 0, ""},
  };
  gui_textbox(win, 10, 10, 100, 16, bind_variable(note));
  for (const auto& c : cases) {
    note.clear();
    gui.focus = -1;
    gui_set_focus(0);
    type(c.key, c.state);
    EXPECT_EQ(box(0).text, c.typed) << "key " << c.key << " shift " << c.state;
  }
}

TEST_F(Toolkit, ShiftedBracketTypesNothingButMovesTheCursorWithinTheText) {
  gui_textbox(win, 10, 10, 100, 16, bind_variable(note));
  gui_set_focus(0);
  box(0).cursor = 2;
  type(219, shift);
  EXPECT_EQ(box(0).text, "hello");
  EXPECT_EQ(box(0).cursor, 3);
  box(0).cursor = 5;
  type(219, shift);
  EXPECT_EQ(box(0).cursor, 5);                    // never past the end
  type('X');
  EXPECT_EQ(box(0).text, "hellox");
}

TEST_F(Toolkit, BackspaceArrowsAndSelections) {
  gui_textbox(win, 10, 10, 100, 16, bind_variable(note));
  gui_set_focus(0);
  gg_txtboxrec& t = box(0);
  t.cursor = 0;
  type(8);
  EXPECT_EQ(t.text, "hello");
  t.cursor = 5;
  type(8);
  EXPECT_EQ(t.text, "hell");
  EXPECT_EQ(t.cursor, 4);
  t.sel_start = 3;                                // a selection made right to left
  t.sel_end = 1;
  type(8);
  EXPECT_EQ(t.text, "hl");
  EXPECT_EQ(t.cursor, 1);
  EXPECT_EQ(t.sel_start, 1);
  EXPECT_EQ(t.sel_end, 1);
  t.sel_end = 2;
  type(37);                                       // left collapses the selection onto its left end
  EXPECT_EQ(t.cursor, 1);
  EXPECT_EQ(t.sel_start, 1);
  EXPECT_EQ(t.sel_end, 1);
  type(37);
  type(37);
  EXPECT_EQ(t.cursor, 0);
  type(39);
  type(39);
  type(39);
  EXPECT_EQ(t.cursor, 2);
  t.sel_start = 0;
  t.sel_end = 2;
  type('Q', shift);                               // typing replaces the selection
  EXPECT_EQ(t.text, "Q");
  EXPECT_EQ(t.cursor, 1);
}

TEST_F(Toolkit, MouseSelectionCopyAndPaste) {
  gui_textbox(win, 10, 10, 100, 16, bind_variable(note));
  gg_txtboxrec& t = box(0);
  gui_set_focus(0);
  gui_mouse_down(left, 110 + 8, 115);             // at character 1
  gui_mouse_move(left, 110 + 32, 115);            // drag to character 4
  gui_mouse_up(left, 110 + 32, 115);
  EXPECT_EQ(t.sel_start, 1);
  EXPECT_EQ(t.sel_end, 4);
  type('C', ctrl);
  EXPECT_EQ(clipboard_text, "ell");
  EXPECT_EQ(t.text, "hello");
  clipboard_text = "XY";
  type('V', ctrl);                                // replaces the selection
  EXPECT_EQ(t.text, "hXYo");
  EXPECT_EQ(t.cursor, 3);
  type('V', ctrl);                                // inserts at the caret, which ends after it
  EXPECT_EQ(t.text, "hXYXYo");
  EXPECT_EQ(t.cursor, 5);
  clipboard_text = "zz";
  t.sel_start = t.sel_end = 2;
  type('C', ctrl);                                // an empty selection copies nothing
  EXPECT_EQ(clipboard_text, "zz");
}

TEST_F(Toolkit, TypingStopsAtEightyCharacters) {
  note.clear();
  gui_textbox(win, 10, 10, 100, 16, bind_variable(note));
  gui_set_focus(0);
  for (int i = 0; i < 90; ++i) type('A');
  EXPECT_EQ(box(0).text.size(), 80u);
  clipboard_text = "12345";
  type('V', ctrl);                                // pasting into a string has no such limit
  EXPECT_EQ(box(0).text.size(), 85u);
}

TEST_F(Toolkit, ACharacterBufferIsNeverWrittenPastItsCapacity) {
  struct { char name[8]; char guard[8]; } rec;
  std::memset(&rec, '#', sizeof rec);
  std::strcpy(rec.name, "abc");
  gui_textbox(win, 10, 10, 100, 16, bind_chars(rec.name, sizeof rec.name), sizeof rec.name);
  EXPECT_EQ(box(0).text, "abc");
  gui_set_focus(0);
  box(0).cursor = 3;
  for (int i = 0; i < 10; ++i) type('D');
  EXPECT_EQ(box(0).text, "abcdddd");              // seven characters and room for the zero
  clipboard_text = std::string(300, 'p');
  type('V', ctrl);
  EXPECT_EQ(box(0).text.size(), 7u);
  box(0).sel_start = 0;
  box(0).sel_end = 7;
  type('V', ctrl);                                // a paste over a selection fills the freed room only
  EXPECT_EQ(box(0).text, "ppppppp");
  box(0).text = std::string(40, 'q');             // even an overlong edited copy is cut on commit
  gui_set_focus(-1);
  EXPECT_STREQ(rec.name, "qqqqqqq");
  for (char g : rec.guard) EXPECT_EQ(g, '#');
}

TEST_F(Toolkit, ValuesLoadAndCommitByType) {
  float ratio = 0.25f;
  int32_t count = 7;
  gui_textbox(win, 10, 10, 50, 16, bind_variable(ratio));
  gui_textbox(win, 10, 30, 50, 16, bind_variable(count));
  gui_textbox(win, 10, 50, 50, 16, gg_binding{});
  EXPECT_EQ(box(0).text, "0.25");
  EXPECT_EQ(box(1).text, "7");
  EXPECT_EQ(box(2).text, "");
  box(0).text = "1.5";
  textbox_commit(box(0));
  EXPECT_FLOAT_EQ(ratio, 1.5f);
  box(1).text = "99999999999";
  textbox_commit(box(1));
  EXPECT_EQ(count, INT32_MAX);
  box(1).text = "-12";
  textbox_commit(box(1));
  EXPECT_EQ(count, -12);
  box(2).text = "typed";
  textbox_commit(box(2));                         // bound to nothing: stores nothing, shows nothing
  EXPECT_EQ(box(2).text, "");
}

TEST_F(Toolkit, KeysOverNoWindowStillEditTheFocusedBoxButAreNotTaken) {
  int keys_seen = 0;
  static int* seen;
  seen = &keys_seen;
  win.key = [](gg_wndtype&, int, uint16_t, uint16_t) { ++*seen; };
  gui_textbox(win, 10, 10, 100, 16, bind_variable(note));
  gui_set_focus(0);
  box(0).cursor = 5;
  gui_mouse_move(0, 700, 500);
  EXPECT_FALSE(gui_key_down(0, 'S'));
  EXPECT_EQ(box(0).text, "hellos");
  EXPECT_EQ(keys_seen, 0);
  gui_mouse_move(0, 150, 150);
  EXPECT_TRUE(gui_key_down(0, 'T'));
  EXPECT_EQ(keys_seen, 1);
}

TEST_F(Toolkit, DraggedWindowsStopAtTheScreenEdges) {
  gui_mouse_down(left, 110, 90);                  // title bar, grab (10, -10)
  EXPECT_TRUE(win.dragging);
  gui_mouse_move(left, 300, 200);
  EXPECT_EQ(win.x, 290);
  EXPECT_EQ(win.y, 210);
  gui_mouse_move(left, 2000, 2000);
  EXPECT_EQ(win.x, 600);                          // 800 - 200
  EXPECT_EQ(win.y, 500);                          // 600 - 100
  gui_mouse_move(left, -50, -50);
  EXPECT_EQ(win.x, 0);
  EXPECT_EQ(win.y, 0);
  gui_mouse_up(left, 700, 550);                   // released away from the window: still dragging
  EXPECT_TRUE(win.dragging);
  gui_mouse_move(0, 200, 200);
  EXPECT_EQ(win.x, 190);
  gui_mouse_up(0, 200, 200);
  EXPECT_FALSE(win.dragging);
  gui_mouse_move(0, 400, 400);
  EXPECT_EQ(win.x, 190);
  win.fixed = true;
  gui_mouse_down(left, 200, 200);
  EXPECT_FALSE(win.dragging);
}

TEST_F(Toolkit, AWindowLargerThanTheScreenSticksAtZero) {
  gui_window(top, 10, 20, 900, 700, true, "Big");
  gui_mouse_down(left, 50, 10);
  gui_mouse_move(left, 300, 300);
  EXPECT_EQ(top.x, 0);
  EXPECT_EQ(top.y, 0);
}

TEST_F(Toolkit, AWindowShownPartlyOffTheScreenTakesClicksWhereItWillBeDrawnBeforeAnyFrame) {
  gui_window(top, 440, 150, 600, 300, false, "Wide");   // kept at x 200 on an 800-wide screen
  gui_button(top, 2, 2, 100, 20, "Add", 1, on_click);
  top.visible = true;
  click(252, 162);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(target_window(210, 200), &top);
}

TEST_F(Toolkit, CheckboxesToggleAndSlidersFollowTheMouse) {
  gg_inprec& c = gui_checkbox(win, 10, 60, 16, 16, false, 5, on_toggle);
  click(115, 165);
  EXPECT_TRUE(c.checked);
  EXPECT_EQ(toggles, 1);
  static int slides, last_kind;
  slides = 0;
  gg_sliderrec& s0 = gui_slider(win, 50, 10, 100, 10, 0, 0, [](int, int kind) { ++slides; last_kind = kind; });
  gg_sliderrec& s1 = gui_slider(win, 50, 30, 100, 10, 1, 0, nullptr);
  gui_mouse_down(left, 175, 115);                 // a quarter along s0
  EXPECT_TRUE(s0.active);
  EXPECT_DOUBLE_EQ(s0.value, 0.25);
  gui_mouse_move(left, 200, 115);
  EXPECT_DOUBLE_EQ(s0.value, 0.5);
  EXPECT_EQ(last_kind, 1);
  gui_mouse_up(left, 200, 115);
  EXPECT_FALSE(s0.active);
  EXPECT_EQ(last_kind, 0);
  EXPECT_EQ(slides, 2);
  gui_mouse_down(left, 150, 135);                 // the left edge of s1 in centre mode
  EXPECT_DOUBLE_EQ(s1.value, -1);
}

TEST_F(Toolkit, KeysReachOnlyTheFocusedEnabledBoxAndIdentifiersAreUnique) {
  std::string other = "other";
  gui_textbox(win, 10, 10, 100, 16, bind_variable(note));
  gui_textbox(win, 10, 30, 100, 16, bind_variable(other));
  EXPECT_NE(box(0).id, box(1).id);
  type('A');                                      // no focus: nothing typed anywhere
  EXPECT_EQ(box(0).text, "hello");
  gui_set_focus(box(0).id);
  box(0).cursor = 5;
  type('B');
  EXPECT_EQ(box(0).text, "hellob");
  EXPECT_EQ(box(1).text, "other");
  box(0).enabled = false;
  type('C');
  EXPECT_EQ(box(0).text, "hellob");
  gui_set_focus(box(1).id);                       // the edited box commits
  EXPECT_EQ(note, "hellob");
  EXPECT_EQ(other, "other");
}

TEST_F(Toolkit, DesktopEditingKeysMoveSelectCutAndDelete) {
  gui_textbox(win, 10, 10, 100, 16, bind_variable(note));
  gui_set_focus(0);
  gg_txtboxrec& t = box(0);
  type(36);                                       // Home, Delete: "hello" -> "ello"
  type(46);
  EXPECT_EQ(t.text, "ello");
  type(35);                                       // End, Shift+Left twice: "lo" selected, then cut
  for (int i = 0; i < 2; ++i) type(37, shift);
  type('X', ctrl);
  EXPECT_EQ(clipboard_text + "/" + t.text, "lo/el");
  type(36, shift);                                // Shift+Home selects back to the start
  type(46);
  EXPECT_EQ(t.text, "");
  for (uint16_t key : {'1', '2', 'A'}) type(key, key == 'A' ? ctrl : 0);
  type('9');                                      // Ctrl+A then a digit: the whole text replaced
  type('Z', ctrl);                                // other Ctrl keys type nothing
  EXPECT_EQ(t.text, "9");
}

TEST_F(Toolkit, NumbersThatDoNotParseWholeAreNotStored) {
  int32_t count = 5;
  gui_textbox(win, 10, 10, 100, 16, counted(amount));
  gui_textbox(win, 10, 40, 100, 16, counted(count));
  const std::pair<const char*, bool> texts[] = {{"abc", false}, {"12abc", false}, {"", false}, {" 12 ", true},
                                                {"-1.5e3", true}, {".5", true}};
  for (const auto& [text, valid] : texts) {
    amount = 2.5;
    gui_set_focus(0);
    box(0).text = text;
    EXPECT_EQ(textbox_valid(box(0)), valid) << text;
    gui_set_focus(-1);
    EXPECT_EQ(amount, valid ? text_to_decimal(text) : 2.5) << text;
  }
  EXPECT_EQ(commits, 3);                          // the binding is called only for stored values
  gui_set_focus(1);
  box(1).text = "3.5";                            // an integer box takes whole numbers only
  gui_set_focus(-1);
  EXPECT_EQ(count, 5);
}

TEST_F(Toolkit, KeyCharacterTableEdges) {
  EXPECT_EQ(key_character(31, false), -1);
  EXPECT_EQ(key_character(32, false), ' ');
  EXPECT_EQ(key_character(128, false), 128);
  EXPECT_EQ(key_character(129, false), -1);
  EXPECT_EQ(key_character(191, true), '?');
  EXPECT_EQ(key_character(221, false), ']');
  EXPECT_EQ(key_character(221, true), 0);
}

}  // namespace

// A menu kept on top, a list placed clear of it, a wide window whose widgets follow its size, a dragged one.
TEST_F(Toolkit, RulesArePlayedAgainOnEveryResizeUnlessTheUserDraggedTheWindow) {
  gg_wndtype menu, list, wide;
  for (gg_wndtype* w : {&menu, &list, &wide}) gui_window(*w, 0, 0, 0, 0, true, "w");
  menu.on_top = true;
  gui_set_rule(menu, {{gg_whole, -502}, {gg_whole, -154}, {gg_none, 482}, {gg_none, 134}}, 800, 600);
  gui_set_rule(list, {{gg_none, 440}, {gg_whole, -220}, {gg_none, 500}, {gg_none, 200}}, 800, 600);
  gui_set_rule(wide, {{gg_none, 50}, {gg_none, 40}, {gg_whole, -100}, {gg_whole, -400}}, 800, 600);
  gui_set_rule(win, {{gg_none, 20}, {gg_none, 300}, {gg_none, 200}, {gg_none, 100}}, 800, 600);
  const int right = gui_button(wide, 658, 2, 40, 196, "right edge", 2, on_click);
  const int half = gui_button(wide, 2, 98, 696, 96, "lower half", 3, on_click);
  EXPECT_EQ(std::make_pair(list.x, list.y), std::make_pair(300, 15)) << "at the top: above the menu is the middle";
  EXPECT_EQ(target_window(300, 450), &menu) << "kept on top of the later windows";
  gui_mouse_down(left, 30, 290);                  // the title bar of win, dragged by (120, 20)
  gui_mouse_move(left, 150, 310);
  gui_mouse_up(left, 150, 310);
  screen = {1280, 1005};
  gui_screen_resized(1280, 1005);
  EXPECT_EQ(std::make_tuple(menu.x, menu.y, list.x, list.y), std::make_tuple(778, 851, 440, 851 - 217));
  EXPECT_EQ(std::make_pair(win.x, win.y), std::make_pair(140, 320)) << "where the user put it";
  const gg_btnrec &r = gui.buttons[size_t(right)], &h = gui.buttons[size_t(half)];
  EXPECT_EQ(std::make_tuple(r.x, r.y, r.width, r.height), std::make_tuple(1180 - 42, 2, 40, 605 - 4));
  EXPECT_EQ(std::make_tuple(h.x, h.y, h.width, h.height), std::make_tuple(2, 300, 1176, 96 + 202)) << "half of the change";
}
