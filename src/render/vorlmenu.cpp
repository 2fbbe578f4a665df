// vorlmenu: key handler, menu overlay, scene dump.
#include "render/vorlmenu.h"

#include <cstring>

#include "design/filef.h"
#include "gl/glgr.h"
#include "gl/glmesh.h"
#include "render/vorlutil.h"

vorl_menu_state vorl_menu;

namespace {

// --- Menu table -------------------------------------------------------------------------

enum : uint16_t { vk_escape = 27, vk_tilde = 192 };

struct menu_entry {
  uint16_t key;                     // virtual-key code
  const char* label;
  int y_offset;                     // from half the window height
  bool* (*flag)(vorlscene& s);      // the switch it toggles; null for the others
};

const menu_entry entries[] = {
  {'1', "-1 Second camera", -170, [](vorlscene& s) { return &s.second_camera; }},
  {'2', "-2 Multilight", -150, [](vorlscene& s) { return &s.multilight; }},
  {'3', "-3 VBO accel", -130, [](vorlscene&) { return &glmesh.buffers_on; }},
  {'4', "-4 Draw sky", -110, [](vorlscene& s) { return &s.draw_sky; }},
  {'5', "-5 Terrain", -90, [](vorlscene& s) { return &s.terrain; }},
  {'6', "-6 Air shade", -70, [](vorlscene& s) { return &s.air_shade; }},
  {'7', "-7 Shadows", -50, nullptr},
  {'8', "-8 Multish.(BROKEN)", -30, [](vorlscene& s) { return &s.multishadow; }},
  {vk_tilde, "-~ Vsync", 30, [](vorlscene&) { return &vorl_switches.vsync; }},
  {'U', "-U Advanced grp", 50, [](vorlscene& s) { return &s.advanced; }},
  {'M', "-M Wireframe", 70, [](vorlscene& s) { return &s.wireframe; }},
  {'P', "-P Posteffects", 90, [](vorlscene& s) { return &s.post_effects; }},
  {'L', "-L Camera light", 110, [](vorlscene& s) { return &s.camera_light; }},
  {'S', "-S Save scene to file", 130, nullptr},
};

const char* const shadow_names[] = {"Off", "VLow", "Low", "Medium", "High", "Mapped"};

std::string shadow_state(int level) { return level >= 0 && level <= 5 ? shadow_names[level] : "ERR"; }

void act(vorlscene& s, const menu_entry& e) {
  if (e.flag) *e.flag(s) = !*e.flag(s);
  if (e.key == '7') s.shadow_level = s.shadow_level + 1 > 5 ? 0 : s.shadow_level + 1;
  if (e.key == vk_tilde) set_swap_interval(vorl_switches.vsync ? 1 : 0);
  if (e.key == 'S') save_scene(s);
}

// --- Scene dump ---------------------------------------------------------------------------

struct dump_writer {
  std::vector<uint8_t> out;
  void raw(const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    out.insert(out.end(), b, b + n);
  }
  template <class T> void put(const T& v) { raw(&v, sizeof v); }
  void vec(const vec3& v) { put(v.x), put(v.y), put(v.z); }
  void name(const std::string& s) {                 // length byte and 64 characters
    char field[65] = {};
    size_t n = std::min<size_t>(s.size(), 64);
    field[0] = char(n);
    std::memcpy(field + 1, s.data(), n);
    raw(field, sizeof field);
  }
};

void dump_planet(dump_writer& w, const drawplanetrec& p) {
  w.put(uint8_t(p.atmosphere));
  w.put(p.radius);
  w.vec(p.axis);
  w.vec(p.position);
  w.put(p.value);
  w.name(p.name);
  if (p.atmosphere) {
    w.put(p.density), w.put(p.max_density), w.put(p.outer_radius);
    w.raw(p.colour, sizeof p.colour), w.put(p.haze);   // 12 + 4 = 16 bytes
  }
  w.put(uint8_t(p.rings));
  if (p.rings) w.put(p.ring_inner), w.put(p.ring_outer);
  w.put(int32_t(p.surface));
  if (p.surface) w.raw(p.surface_params.data(), p.surface_params.size());
}

void dump_object(dump_writer& w, const scene_object* o) {
  if (!o) {
    w.put(int32_t(0));
    return;
  }
  w.put(int32_t(1221));
  w.put(o->kind);
  w.vec(o->position);
  w.vec(o->orientation);
  w.put(o->radius);
  w.put(o->value);
  w.name(o->name);
}

}  // namespace

bool vorl_key(vorlscene& s, uint16_t key, int ctrl) {
  if (!s.menu_open) {
    if (key == s.menu_key && ctrl == 0) s.menu_open = true;
    if (key == s.screenshot_key && ctrl == 2) vorl_menu.screenshot_due = true;
    return false;
  }
  s.menu_open = false;
  for (const menu_entry& e : entries)
    if (e.key == key) act(s, e);
  return true;
}

std::vector<menu_line> menu_lines(vorlscene& s) {
  std::vector<menu_line> lines;
  for (const menu_entry& e : entries) {
    std::string state = e.flag ? (*e.flag(s) ? "On " : "Off") : "";
    if (e.key == '7') state = shadow_state(s.shadow_level);
    lines.push_back({e.label, state, e.y_offset});
  }
  return lines;
}

void draw_engine_overlay(vorlscene& s) {
  if (!s.menu_open) return;
  constexpr uint32_t white = 0xFFFFFFFFu, fill = pack_rgba(128, 128, 128, 210);
  const int w = s.width, c = s.height / 2;
  draw_panel(w - 210, c - 200, 200, 400, 4, fill, white);
  draw_text_centred("Features:", white, w - 110, c - 190);
  for (const menu_line& l : menu_lines(s)) {
    draw_text(s.menu_key_name + l.label, white, w - 205, c + l.y_offset);
    if (l.label == "-7 Shadows") draw_text(l.state, white, w - 12 - 8.0 * l.state.size(), c + l.y_offset);
    else if (!l.state.empty()) draw_text(l.state, white, w - 35, c + l.y_offset);
  }
  draw_text("Ctrl+" + s.screenshot_key_name + " Take screenshot", white, w - 205, c + 150);
}

std::vector<uint8_t> scene_dump(const vorlscene& s) {
  dump_writer w;
  w.put(uint32_t(0x04030201));
  w.vec(s.camera.position), w.vec(s.camera.work), w.vec(s.camera.target), w.vec(s.camera.angles);
  w.raw(s.camera.orientation.m, sizeof s.camera.orientation.m);
  w.put(int32_t(s.stars.size()));
  for (const auto& st : s.stars) {
    w.put(st->flags), w.put(st->radius), w.vec(st->position), w.put(st->value);
    w.name(st->name);
  }
  w.put(int32_t(s.planets.size()));
  for (const auto& p : s.planets) dump_planet(w, *p);
  w.put(int32_t(s.objects.size()));
  for (const auto& o : s.objects) dump_object(w, o && o->draw ? o.get() : nullptr);
  return w.out;
}

void save_scene(const vorlscene& s, const std::string& path) {
  std::vector<uint8_t> bytes = scene_dump(s);
  try {
    replace_file(path, bytes.data(), bytes.size());
  } catch (const io_error& e) {
    vorl_log("VORL", e.what());     // the old dump stays; the menu has no place to say so
  }
}
