// scene_link: the preview hooks of the editor pages, each safe while empty.
#include "editor/scene_link.h"

scene_link scene;

void scene_markers_rebuild(int kind) {
  if (scene.markers_rebuild) scene.markers_rebuild(kind);
}

void scene_markers_clear(int kind) {
  if (scene.markers_clear) scene.markers_clear(kind);
}

bool scene_camera_offset(vec3& offset) { return scene.camera_offset && scene.camera_offset(offset); }

void scene_vc_camera_place(const vec3& offset) {
  if (scene.vc_camera_place) scene.vc_camera_place(offset);
}

void scene_vc_camera_switch() {
  if (scene.vc_camera_switch) scene.vc_camera_switch();
}

void scene_thumbnail_release() {
  if (scene.thumbnail_release) scene.thumbnail_release();
}

bool scene_group_reference(int mesh, int group, vec3& out) {
  return scene.group_reference && scene.group_reference(mesh, group, out);
}

void scene_markers_mode(bool on) {
  if (scene.markers_mode) scene.markers_mode(on);
}

void scene_marker_colour(int kind, int element, uint32_t colour) {
  if (scene.marker_colour) scene.marker_colour(kind, element, colour);
}

void scene_vessel_shown(const std::string& name, double size) {
  if (scene.vessel_shown) scene.vessel_shown(name, size);
}
