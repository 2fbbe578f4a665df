// gallery: a window showing one widget of every kind.
//
// Living documentation of the toolkit and the subject of the GUI tests: a
// button, text boxes of each value type, a checkbox, labels, panels below and
// on top of the widgets, a slider, a button that opens the file dialog and
// one that forces the engine's fatal error.
// Every event it receives is reported on standard output as one "gallery: ..."
// line, so a test driving the program from outside can see what the widgets did. Only the test build of the
// designer creates it; the user's menus never show it.
//
// Builds on: grpgui, filedialog, render/vorlutil (the engine's error reports).
#pragma once
#include <cstdint>
#include <string>
#include "editor/grpgui.h"

struct gallery_values {             // what the gallery's widgets are bound to
  char name[16] = "Gallery";        // character buffer: 15 characters and the zero
  std::string note = "note";        // string
  double amount = 2.5;              // double
  float ratio = 0.5f;               // single
  int32_t count = 7;                // integer
  int clicks = 0;                   // presses of the button
};
extern gallery_values gallery;      // written by the gallery's widgets
extern gg_wndtype gallery_window;   // "Widget gallery"

constexpr int gallery_x = 40, gallery_y = 160;  // the window's body corner at creation
void build_gallery();               // creates the window and its widgets, visible
