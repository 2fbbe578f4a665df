// vorlmenu: the engine's option keys, its one-key options menu, and the scene dump.
//
// The input procedure offers every key-down to vorl_key first. With the menu
// closed, F11 (without Ctrl) opens it and Ctrl+F9 takes a screenshot, neither
// taking the key; with the menu open, every key is taken, acted on when the
// menu lists it, and the menu closes. The overlay shows the menu with each
// switch's state.
//
// Builds on: render/vorldata, gl/glgr (text, panel, screenshot, swap interval),
// gl/glmesh (the vertex-buffer switch), render/vorlutil.
//
// Notes:
//   - the screenshot is taken at once from the back buffer, which holds the
//     last frame drawn; the caller may instead arrange for it at the end of the
//     next frame through screenshot_due
//   - the scene dump "scn.vorlscn" is written whole to a temporary file and
//     renamed over the old one
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "render/vorldata.h"

struct vorl_menu_state {            // written by vorl_key; cleared by whoever takes the screenshot
  bool screenshot_due = false;      // Ctrl+F9 was pressed
};
extern vorl_menu_state vorl_menu;

struct menu_line {
  std::string label;                // after the menu key name, e.g. "-1 Second camera"
  std::string state;                // "On ", "Off", a shadow level name, or "" for none
  int y_offset;                     // from half the window height
};

bool vorl_key(vorlscene& s, uint16_t key, int ctrl); // ctrl: 0 or 2; true when the key was taken
std::vector<menu_line> menu_lines(vorlscene& s); // the overlay's switch lines in order
void draw_engine_overlay(vorlscene& s);        // the menu when open; needs 2D mode
std::vector<uint8_t> scene_dump(const vorlscene& s); // the bytes of "scn.vorlscn"
void save_scene(const vorlscene& s, const std::string& path = "scn.vorlscn");
