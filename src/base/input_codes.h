// input_codes: the input events of the window as the whole program sees them.
//
// The event kinds, the bits of the 16-bit shift-state word and the Windows
// virtual-key codes that the window (shell's dogl) produces and the widget
// toolkit, the camera and the start-up code read. Declared once here, low
// enough for every library that handles input.
//
// Builds on: nothing. Header-only.
#pragma once
#include <cstdint>

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
  vk_escape = 27, vk_space = 32, vk_end = 35, vk_home = 36, vk_left = 37, vk_up = 38, vk_right = 39, vk_down = 40,
  vk_delete = 46, vk_f1 = 112, vk_f4 = 115, vk_f9 = 120, vk_f10 = 121, vk_f11 = 122,
};
