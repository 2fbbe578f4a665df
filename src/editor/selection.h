// selection: the picked element shared by the lists, the preview and the camera.
//
// The triple of picked object, mesh and group. The lists set it when a row
// is chosen, the preview when a marker is picked; start-up clears it.
//
// Builds on: nothing.
#pragma once
#include <cstdint>

struct selection_state {            // written by the lists and the preview's picking
  int32_t object = 0;               // picked object
  int32_t mesh = 0;                 // picked mesh (the element kind for markers)
  int32_t group = 0;                // picked group (the element point for markers)
};
extern selection_state selection;

void clear_selection();             // all three 0
