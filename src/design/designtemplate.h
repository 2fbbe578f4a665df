// designtemplate: the built-in example vessel the designer starts with.
//
// A complete delta-wing glider that shows every kind of element at work: two
// touchdown sets switched by the gear animation, tanks, main, retro, hover and
// attitude thrusters, attached and free exhausts, two meshes, two animations,
// beacons, a dock, five VC views with HUD and MFDs, and two lift surfaces.
//
// Builds on: kvgen (the add operations, applied in a fixed order).
//
// Notes: the meshes are named as a standard installation has them; when they
// are missing the preview has nothing to show, the values are set all the same.
#pragma once
#include "design/kvvar.h"

void apply_template(vessel_design& d);    // replaces d with the template vessel
