// Input routing of the designer and its start-up pieces that need no display.
#include <gtest/gtest.h>
#include <regex>
#include <string>
#include "editor/grpgui.h"
#include "shell/app.h"

namespace {

class InputRouting : public ::testing::Test {
 protected:
  gg_wndtype win;
  std::string name = "abc";
  void SetUp() override {
    dogl = dogl_state{};
    gui_init();
    gui.clipboard = {};
    app.screenshot_due = false;
    gui_window(win, 100, 100, 200, 100, true, "W");
    gui_textbox(win, 10, 10, 100, 16, bind_variable(name));
    gui_set_focus(0);
    gui.textboxes[0].cursor = 3;
    input(input_mouse_move, 150, 115, 0, 0);     // the mouse over the window
  }
  void TearDown() override { gui_final(); }
};

TEST_F(InputRouting, EscapeEndsTheProgramBeforeTheFocusedTextBoxSeesIt) {
  input(input_key_down, 0, 0, 0, vk_escape);
  EXPECT_TRUE(dogl.quit_posted);
  EXPECT_EQ(dogl.quit_code, 0);
  EXPECT_EQ(gui.focus, 0);
  EXPECT_EQ(gui.textboxes[0].text, "abc");
}

TEST_F(InputRouting, AltF4EndsTheProgramButF4AloneIsTyped) {
  input(input_key_down, 0, 0, shift_Alt, vk_f4);
  EXPECT_TRUE(dogl.quit_posted);
  dogl = dogl_state{};
  input(input_key_down, 0, 0, 0, vk_f4);         // code 115 is "s" to a text box
  EXPECT_FALSE(dogl.quit_posted);
  EXPECT_EQ(gui.textboxes[0].text, "abcs");
}

TEST_F(InputRouting, CtrlF9AsksForAScreenshotAndIsNotTaken) {
  input(input_key_down, 0, 0, 0, vk_f9);
  EXPECT_FALSE(app.screenshot_due);
  EXPECT_EQ(gui.textboxes[0].text, "abcx");       // F9 is code 120, "x"
  input(input_key_down, 0, 0, shift_Ctrl, vk_f9);
  EXPECT_TRUE(app.screenshot_due);
  EXPECT_EQ(gui.textboxes[0].text, "abcx");       // with Ctrl a key types nothing into a text box
}

TEST_F(InputRouting, MouseEventsReachTheToolkitAndAreRemembered) {
  input(input_button_down, 250, 190, shift_LeftButton, 0); // inside the window, off the text box
  EXPECT_EQ(gui.focus, -1);
  EXPECT_EQ(name, "abc");
  input(input_button_up, 260, 195, 0, 0);
  EXPECT_EQ(app.mouse_x, 260);
  EXPECT_EQ(app.mouse_y, 195);
  EXPECT_EQ(gui.mouse_x, 260);
  input(input_key_up, 0, 0, 0, 13);
  input(input_resize, 640, 480, 0, 0);            // nothing beyond the window layer's work
  EXPECT_FALSE(dogl.quit_posted);
}

TEST(DesignerStartUp, TheMemoryLineNamesHeapAndAvailableMegabytes) {
  EXPECT_TRUE(std::regex_match(memory_line(), std::regex("Memory: [0-9]+Mb/[0-9]+Mb")));
}

TEST(DesignerStartUp, TheCursorIsA32By32PictureWithTransparency) {
  std::vector<uint8_t> rgba;
  ASSERT_TRUE(decode_cursor(rgba));
  ASSERT_EQ(rgba.size(), 32u * 32u * 4u);
  auto alpha = [&](int x, int y) { return rgba[size_t(y * 32 + x) * 4 + 3]; };
  EXPECT_EQ(alpha(0, 0), 0);                      // corners clear
  EXPECT_EQ(alpha(31, 31), 0);
  EXPECT_EQ(alpha(16, 16), 255);                  // the hot spot is drawn
  EXPECT_EQ(alpha(24, 16), 255);                  // an arm
}

}  // namespace
