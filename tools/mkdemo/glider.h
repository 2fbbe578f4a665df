// glider: the demo delta-wing glider and its virtual cockpit.
//
// The external mesh has at least 97 groups and the cockpit mesh at least 137,
// so every group index that the built-in template's animations, HUD and MFDs
// name exists. The animated groups sit at the template's reference points:
// gear legs, wheels and doors around their hinges, nose cone petals on the
// cone's rim, the dock seal behind them. Animated parts are built in their
// animation's start pose and then turned to the template's default position
// exactly as the preview turns them, so playing the animation back to its
// start folds the gear into the wells and closes the nose.
//
// Builds on: shapes, mshwrite.
#pragma once
#include "mkdemo/mshwrite.h"

demo_mesh glider_mesh();     // "Meshes/dg/deltaglider.msh"
demo_mesh cockpit_mesh();    // "Meshes/dg/deltaglidercockpit.msh"
demo_mesh cargo_pod_mesh();  // "Meshes/Demo/cargopod.msh"
demo_mesh dock_ring_mesh();  // "Meshes/Demo/Station/dockring.msh"
demo_mesh probe_mesh();      // "Meshes/Demo/Probes/probe.msh"
