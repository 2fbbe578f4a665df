// The window procedure, the key table and the timers, on hand-made events
// and a record without a window or context.
#include <gtest/gtest.h>
#include <vector>
#include "gl/glgr.h"
#include "shell/dogl.h"
#include "shell/tim.h"

namespace {

struct seen_event {
  int kind, x, y;
  uint16_t shift, key;
};
std::vector<seen_event> events;
std::vector<std::pair<double, double>> frames;

void record_input(int kind, int x, int y, uint16_t shift, uint16_t key) { events.push_back({kind, x, y, shift, key}); }
void record_frame(double dt, double t) { frames.emplace_back(dt, t); }

constexpr uint32_t id = 7;

class WindowEvents : public ::testing::Test {
 protected:
  glwin w;
  void SetUp() override {
    events.clear();
    frames.clear();
    dogl = dogl_state{};
    dogl_init();
    w.title = "Veltora Corvane";
    w.input = record_input;
    w.frame = record_frame;
    register_window(id, w);
  }
  void TearDown() override { dogl_final(); }

  static SDL_Event key(Uint32 type, SDL_Scancode sc, SDL_Keycode sym = 0) {
    SDL_Event e{};
    e.type = type;
    e.key.type = type;
    e.key.windowID = id;
    e.key.keysym.scancode = sc;
    e.key.keysym.sym = sym;
    return e;
  }
  static SDL_Event button(Uint32 type, Uint8 b, int x, int y) {
    SDL_Event e{};
    e.type = type;
    e.button.type = type;
    e.button.windowID = id;
    e.button.button = b;
    e.button.x = x;
    e.button.y = y;
    return e;
  }
  static SDL_Event wheel(int steps, int x, int y) {
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.windowID = id;
    e.wheel.y = steps;
    e.wheel.mouseX = x;
    e.wheel.mouseY = y;
    return e;
  }
  static SDL_Event motion(int x, int y) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = id;
    e.motion.x = x;
    e.motion.y = y;
    return e;
  }
  static SDL_Event window_event(Uint8 what, int a = 0, int b = 0) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = id;
    e.window.event = what;
    e.window.data1 = a;
    e.window.data2 = b;
    return e;
  }
};

TEST(VirtualKeys, SdlKeysBecomeWindowsCodes) {
  EXPECT_EQ(virtual_key(SDL_SCANCODE_A, SDLK_a), 'A');
  EXPECT_EQ(virtual_key(SDL_SCANCODE_Q, SDLK_a), 'A');            // letters follow the layout
  EXPECT_EQ(virtual_key(SDL_SCANCODE_Z, 0), 'Z');
  EXPECT_EQ(virtual_key(SDL_SCANCODE_0, SDLK_0), '0');
  EXPECT_EQ(virtual_key(SDL_SCANCODE_9, 0), '9');
  EXPECT_EQ(virtual_key(SDL_SCANCODE_F1, SDLK_F1), 112);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_F4, SDLK_F4), 115);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_F12, SDLK_F12), 123);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE), 27);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_RETURN, SDLK_RETURN), 13);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE), 8);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_DELETE, SDLK_DELETE), 46);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_LEFT, SDLK_LEFT), 37);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_RIGHT, SDLK_RIGHT), 39);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_KP_0, SDLK_KP_0), 96);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_KP_9, SDLK_KP_9), 105);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_MINUS, SDLK_MINUS), 189);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_EQUALS, SDLK_EQUALS), 187);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_GRAVE, SDLK_BACKQUOTE), 192);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_LEFTBRACKET, SDLK_LEFTBRACKET), 219);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_APOSTROPHE, SDLK_QUOTE), 222);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_LSHIFT, SDLK_LSHIFT), 16);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_RSHIFT, SDLK_RSHIFT), 16);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_RCTRL, SDLK_RCTRL), 17);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_LALT, SDLK_LALT), 18);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_UNKNOWN, SDLK_UNKNOWN), 0);
}

TEST_F(WindowEvents, KeysCarryTheShiftWordWithLeftAndRightShift) {
  handle_event(key(SDL_KEYDOWN, SDL_SCANCODE_LSHIFT, SDLK_LSHIFT));
  handle_event(key(SDL_KEYDOWN, SDL_SCANCODE_A, SDLK_a));
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[1].kind, input_key_down);
  EXPECT_EQ(events[1].key, 'A');
  EXPECT_EQ(events[1].shift, shift_Shift | shift_LeftShift);
  EXPECT_EQ(events[1].x, 0);
  handle_event(key(SDL_KEYUP, SDL_SCANCODE_LSHIFT, SDLK_LSHIFT));
  handle_event(key(SDL_KEYDOWN, SDL_SCANCODE_RSHIFT, SDLK_RSHIFT));
  handle_event(key(SDL_KEYDOWN, SDL_SCANCODE_B, SDLK_b));
  EXPECT_EQ(events.back().shift, shift_Shift | shift_RightShift);
  handle_event(key(SDL_KEYUP, SDL_SCANCODE_B, SDLK_b));
  EXPECT_EQ(events.back().kind, input_key_up);
  EXPECT_FALSE(w.keys['B']);
  EXPECT_TRUE(w.keys[16]);
  EXPECT_FALSE(w.keys[0]);
  handle_event(key(SDL_KEYDOWN, SDL_SCANCODE_UNKNOWN));  // a key without a code reaches nobody
  EXPECT_FALSE(w.keys[0]);
  EXPECT_EQ(events.back().key, 'B');
}

TEST_F(WindowEvents, AltAndCtrlAndSystemKeys) {
  handle_event(key(SDL_KEYDOWN, SDL_SCANCODE_LCTRL, SDLK_LCTRL));
  handle_event(key(SDL_KEYDOWN, SDL_SCANCODE_F9, SDLK_F9));
  EXPECT_EQ(events.back().shift, shift_Ctrl);
  handle_event(key(SDL_KEYUP, SDL_SCANCODE_LCTRL, SDLK_LCTRL));
  handle_event(key(SDL_KEYDOWN, SDL_SCANCODE_LALT, SDLK_LALT));
  handle_event(key(SDL_KEYDOWN, SDL_SCANCODE_LSHIFT, SDLK_LSHIFT)); // a system key: the table only
  handle_event(key(SDL_KEYDOWN, SDL_SCANCODE_F4, SDLK_F4));
  EXPECT_EQ(events.back().kind, input_key_down);
  EXPECT_EQ(events.back().key, vk_f4);
  EXPECT_EQ(events.back().shift, shift_Alt | shift_Shift);
  EXPECT_FALSE(w.left_shift);
}

TEST_F(WindowEvents, ButtonsShowWhileHeldAndOnTheirRelease) {
  handle_event(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 20));
  handle_event(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 10, 20));
  handle_event(motion(11, 21));
  handle_event(button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 12, 22));
  handle_event(motion(13, 23));
  ASSERT_EQ(events.size(), 5u);
  EXPECT_EQ(events[0].kind, input_button_down);
  EXPECT_EQ(events[0].shift, shift_LeftButton);
  EXPECT_EQ(events[2].kind, input_mouse_move);
  EXPECT_EQ(events[2].shift, shift_LeftButton | shift_RightButton);
  EXPECT_EQ(events[3].kind, input_button_up);
  EXPECT_EQ(events[3].shift, shift_LeftButton | shift_RightButton);  // still shown as down
  EXPECT_EQ(events[3].x, 12);
  EXPECT_EQ(events[3].y, 22);
  EXPECT_EQ(events[4].shift, shift_RightButton);
  handle_event(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, -5, 70000));
  EXPECT_EQ(events.back().shift, shift_RightButton | shift_MiddleButton);
  EXPECT_EQ(events.back().x, -5);
  EXPECT_EQ(events.back().y, int16_t(70000));                      // the signed 16-bit half
  handle_event(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1, 0, 0));
  EXPECT_EQ(events.size(), 6u);
}

TEST_F(WindowEvents, WheelFlagsLastOneEvent) {
  handle_event(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 0, 0));
  handle_event(wheel(1, 30, 40));
  EXPECT_EQ(events.back().kind, input_button_down);
  EXPECT_EQ(events.back().shift, shift_WheelUp | shift_RightButton);
  EXPECT_EQ(events.back().x, 30);
  EXPECT_EQ(events.back().y, 40);
  handle_event(wheel(-2, 30, 40));
  EXPECT_EQ(events.back().shift, shift_WheelDown | shift_RightButton);
  handle_event(motion(1, 1));
  EXPECT_EQ(events.back().shift, shift_RightButton);
  size_t n = events.size();
  handle_event(wheel(0, 0, 0));                                   // a sideways turn says nothing
  EXPECT_EQ(events.size(), n);
}

TEST_F(WindowEvents, ResizeRaisesAZeroHeightAndPublishesTheScreenSize) {
  handle_event(window_event(SDL_WINDOWEVENT_SIZE_CHANGED, 640, 0));
  EXPECT_EQ(w.width, 640);
  EXPECT_EQ(w.height, 1);
  EXPECT_EQ(screen.width, 640);
  EXPECT_EQ(screen.height, 1);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].kind, input_resize);
  EXPECT_EQ(events[0].x, 640);
  EXPECT_EQ(events[0].y, 1);
  handle_event(window_event(SDL_WINDOWEVENT_SIZE_CHANGED, 800, 600));
  EXPECT_EQ(screen.height, 600);
}

TEST_F(WindowEvents, CloseReportsAndEndsTheLoop) {
  handle_event(window_event(SDL_WINDOWEVENT_CLOSE));
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].kind, input_close);
  EXPECT_EQ(events[0].shift, 0);
  EXPECT_TRUE(dogl.quit_posted);
  EXPECT_EQ(dogl.quit_code, 0);
}

TEST_F(WindowEvents, WhileInputIsDisabledMouseAndTicksAreDroppedButKeysArrive) {
  dogl.input_enabled = false;
  handle_event(motion(5, 5));
  handle_event(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 5, 5));
  handle_event(wheel(1, 5, 5));
  EXPECT_TRUE(events.empty());
  EXPECT_FALSE(w.left_button);
  w.last_frame_tick = w.last_rate_tick = 0;
  run_timers(5000);
  EXPECT_TRUE(frames.empty());
  handle_event(key(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE));
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].key, 27);
  dogl.input_enabled = true;
  run_timers(5000);
  EXPECT_EQ(frames.size(), 1u);
}

TEST_F(WindowEvents, FrameTicksSmoothTheTime) {
  w.creation_tick = 1000;
  frame_tick(w, 1100);                            // raw 100: s = 50
  frame_tick(w, 1100);                            // s = 75
  frame_tick(w, 1300);                            // raw 300: s = 187
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_DOUBLE_EQ(frames[0].second, 0.05);
  EXPECT_DOUBLE_EQ(frames[0].first, 0.05);
  EXPECT_DOUBLE_EQ(frames[1].second, 0.075);
  EXPECT_DOUBLE_EQ(frames[1].first, 0.025);
  EXPECT_DOUBLE_EQ(frames[2].second, 0.187);
  EXPECT_DOUBLE_EQ(frames[2].first, 0.112);
  EXPECT_EQ(w.frame_counter, 3);
  dogl.frame_delivery = false;
  frame_tick(w, 1400);
  EXPECT_EQ(frames.size(), 3u);
  EXPECT_EQ(w.frame_counter, 4);
}

TEST_F(WindowEvents, TheRateTickShowsTheCountAndStartsAgain) {
  w.frame_counter = 57;
  rate_tick(w);
  EXPECT_EQ(w.fps, 57);
  EXPECT_EQ(w.frame_counter, 0);
  EXPECT_EQ(rate_title(w), "Veltora Corvane (FPS=57)");
  w.last_frame_tick = w.last_rate_tick = 10000;
  w.redraw = false;
  run_timers(11000);
  EXPECT_EQ(w.fps, 0);                            // the title counts frames drawn: none
  EXPECT_TRUE(frames.empty());
}

// Frames after events (at most at the refresh rate) and when the frame asks; else the loop sleeps.
TEST_F(WindowEvents, FramesArePacedAndDrawnOnlyWhenDue) {
  EXPECT_EQ(std::make_pair(frame_interval_for(0), frame_interval_for(144)), std::make_pair(17, 7));  // 0: 60 Hz
  auto drawn_at = [&](uint32_t now) { run_timers(now); return frames.size(); };
  w.last_frame_tick = w.last_rate_tick = 10000;
  w.redraw = false;
  EXPECT_EQ(drawn_at(10500), 0u) << "nothing changed, nothing asked for";
  EXPECT_EQ(loop_wait(10500), 100) << "asleep, waking now and then for signals";
  handle_event(motion(5, 5));
  EXPECT_EQ(drawn_at(10510), 1u) << "long after the last frame: at once";
  handle_event(motion(6, 6));
  EXPECT_EQ(loop_wait(10520), 7) << "right after one: once the interval has passed";
  EXPECT_EQ(drawn_at(10526), 1u);
  EXPECT_EQ(drawn_at(10527), 2u);
  w.next_frame_in = 200;                          // a timed effect
  EXPECT_EQ(drawn_at(10600), 2u);
  EXPECT_EQ(loop_wait(10690), 37);
  EXPECT_EQ(drawn_at(10727), 3u);
  w.next_frame_in = 0;                            // moving: every interval
  EXPECT_EQ(drawn_at(10744), 4u);
  w.no_frame_cap = true;                          // measuring: every turn
  EXPECT_EQ(drawn_at(10744) + drawn_at(10744) + loop_wait(10744), 11u);
}

TEST(Stopwatch, MeasuresMicrosecondsPerSlot) {
  tim_init();
  stopwatch_start(5);
  timers.start[5] -= 2500000;                     // as if started 2.5 ms earlier
  int64_t us = stopwatch_read(5);
  EXPECT_GE(us, 2500);
  EXPECT_LT(us, 2500 + 1000000);
  EXPECT_EQ(stopwatch_read(101), 0);
  EXPECT_EQ(stopwatch_read(-1), 0);
  stopwatch_start(200);                           // ignored, no write past the slots
  uint32_t a = tick_count(), b = tick_count();
  EXPECT_LE(a, b);
}

}  // namespace
