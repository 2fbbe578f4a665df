// kvvorl: the designer's scene on the engine.
//
// Puts the vessel being designed into the engine's scene and makes it
// editable in three dimensions: the vessel object (kind 0) carries the
// design's meshes, read from the installation with their textures; the
// marker object (kind 1) carries one mesh per element kind whose groups mark
// the beacons, thrusters, exhausts, docks, touchdown points and aerodynamic
// elements. The selected group is drawn pulsing, with axis handles whose
// projected ends the camera's drags follow; the same drawing in
// identification colours tells what lies under the mouse. Exhausts with a
// level burn as textured flames.
//
// Builds on: render/vorldata (scene, objects, object interface),
// render/vorldraw (passes, camera, object frame), render/vorlcalc (the
// backdrop planet), render/vorlaux (the default exhaust texture),
// render/vorlanim (animation of mesh groups), render/vorlutil (errors),
// render/procgenlib (marker shapes), gl/glmesh, gl/glgr, design (the design
// it shows, the installation reader of the mesh store).
//
// Index:
//   - state and constants
//   - identification codes (pure: no GL)
//   - start, the preview calls, vessel meshes
//   - markers
//   - frame, drawing, picking
//
// Notes:
//   - an identification code E = object + 16 x mesh + 256 x group + 273
//     holds each number plus one, so black (0) names nothing; a pixel with
//     any channel of 254 or 255 is a handle's pure colour, never an object
//   - the vessel is not drawn at all while identifying with an alpha
//     reduction on (a marker page is open): only markers can be picked then
//   - a marker slot is rebuilt whole; the colours its groups had are kept, so
//     a drag does not flash the markers white until the pages paint them
//   - rebuilding the thrusters' slot rebuilds the shown exhausts' slot too:
//     attached exhausts stand where their thrusters are; the flames read the
//     same places again every frame
//   - with the engine's multilight switch on, each object drawn lit carries a
//     white point light of its own at its origin, GL light 2, off again after it
//   - after a design reset the shown slots are rebuilt on the next frame,
//     from the design that replaced the old one
//   - handles are drawn without depth test, so they stay visible and
//     pickable through the hull and the markers
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "design/kvvar.h"
#include "design/preview_calls.h"
#include "render/vorldata.h"

// --- Constants ----------------------------------------------------------------
constexpr int vessel_object = 0;                 // index of the vessel in the scene's objects
constexpr int marker_object = 1;                 // index of the markers
constexpr int marker_mesh_flags = 3;             // external and cockpit
constexpr uint8_t marker_page_alpha = 128;       // the hull's alpha reduction while markers are shown
constexpr double object_visibility = 10;         // visibility radius of both objects, at least
constexpr vec3 vessel_camera_offset{0, 0, -20};  // the camera's start, from the vessel
constexpr std::array<int, marker_slots> marker_groups_per_element = {1, 2, 2, 3, 3, 1};


// --- Identification codes ------------------------------------------------------------
struct picked_element { int32_t object, mesh, group; };
uint32_t identification_code(int object, int mesh, int group);            // E, red in the low byte
std::optional<picked_element> decode_object_pixel(uint8_t r, uint8_t g, uint8_t b); // none: keep the selection
int decode_handle_pixel(uint8_t r, uint8_t g, uint8_t b);                // 1..6 for the pure colours, else 0

// --- Start, the preview calls, vessel meshes --------------------------------------------------
void start_scene(vorlscene& s);     // backdrop planet, the two objects, the camera's place, object_code
preview_calls scene_preview_calls();            // meshes, animations, markers, the vessel, picking: on vorl_scene
double load_vessel_mesh(vorlscene& s, const vessel_design& d, int index); // radius, 0 when not loaded
void release_vessel_meshes(vorlscene& s);        // GL objects given back, no meshes left
void stop_scene(vorlscene& s);                   // vessel and marker meshes released from the GL
bool vessel_group_reference(const vorlscene& s, int mesh, int group, vec3& out); // the group's centre
void show_vessel(vorlscene& s, const std::string& name, double size); // name and visibility radius
bool selection_pulsing(vorlscene& s);            // the picked group exists and is drawn pulsing

// --- Markers --------------------------------------------------------------------------------
void rebuild_markers(vorlscene& s, const vessel_design& d, int kind);   // the slot whole, colours kept (+ exhausts)
void show_markers(vorlscene& s, const vessel_design& d, int kind);      // shown from now on, rebuilt
void hide_markers(vorlscene& s, int kind);                              // hidden, emptied
void set_markers_mode(vorlscene& s, bool on);                           // the hull at reduced alpha
void set_marker_colour(vorlscene& s, int kind, int element, packed_colour c); // every group of the element

// --- Frame, drawing, picking ---------------------------------------------------------------
void update_scene(vorlscene& s, const vessel_design& d); // stale slots, mesh flags, animations, exhausts
void render_preview(vorlscene& s, const vessel_design& d); // update_scene, then the engine's frame
void set_exhaust_levels(vorlscene& s, const vessel_design& d, double level); // one flame per design exhaust
void pick(vorlscene& s, int x, int y, bool handles); // window pixels, top-left origin
