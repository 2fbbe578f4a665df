// kvlists: the lists, the selection line, the summary, the animation editor, the browser grid.
#include "editor/kvlists.h"

#include <algorithm>
#include <cmath>
#include "base/keynames.h"
#include "base/strval.h"
#include "design/kvgen.h"
#include "design/veltools.h"
#include "editor/filecmds.h"
#include "editor/kvwindows.h"
#include "editor/selection.h"
#include "editor/undo.h"

anim_editor_state anim_editor;

namespace {

constexpr uint32_t white = pack_rgba(255, 255, 255, 255);
constexpr uint32_t black = pack_rgba(0, 0, 0, 255);
constexpr uint32_t blue = pack_rgba(0, 0, 255, 255);
constexpr uint32_t green = pack_rgba(0, 255, 0, 255);
constexpr uint32_t red = pack_rgba(255, 0, 0, 255);
constexpr uint16_t left_button = 0x0200;   // the shift word's bit for the left mouse button
constexpr int comp_rows = 7;               // component rows the animation editor shows

// --- Rows -----------------------------------------------------------------------------------

// The character of a keyboard scan code, as the simulator's keys are labelled.
char scan_code_character(int code) {
  const std::string name = key_name(code);
  return name.size() == 1 ? name[0] : '?';
}

std::string name_text(const char* field, size_t size) { return name_of(field, size); }

const aointeger* component_groups() {
  const int a = pages.lists[list_animations].current;
  if (a >= int(design.data.anim_seqs.size())) return nullptr;
  const anim_entry& e = design.data.anim_seqs[size_t(a)];
  if (pages.current_comp >= int(e.comps.size())) return nullptr;
  const int gl = e.comps[size_t(pages.current_comp)].group_list;
  return gl >= 0 && gl < int(e.group_lists.size()) ? &e.group_lists[size_t(gl)] : nullptr;
}

uint32_t group_colour(int first_group) {
  switch (first_group) {
    case group_main: return pack_rgba(200, 128, 128, 255);
    case group_retro: return pack_rgba(200, 200, 128, 255);
    case group_hover: return pack_rgba(128, 200, 128, 255);
    default: return gg_body;
  }
}

uint32_t marker_group_colour(int first_group) {
  switch (first_group) {
    case group_main: return red;
    case group_retro: return pack_rgba(255, 255, 0, 255);
    case group_hover: return green;
    default: return pack_rgba(128, 128, 128, 255);
  }
}

int first_group_of_thruster(int t) {
  return t >= 0 && t < int(design.data.thrusters.size()) ? design.data.thrusters[size_t(t)].groups[0] : -1;
}

uint32_t airfoil_colour(const aero_def& a) {
  struct row { int type, kind; uint32_t colour; };
  static const row rows[] = {
    {aero_lift, 0, pack_rgba(128, 200, 128, 255)}, {aero_lift, 1, pack_rgba(128, 128, 200, 255)},
    {aero_control, 0, pack_rgba(0, 255, 0, 255)}, {aero_control, 1, pack_rgba(0, 0, 255, 255)},
    {aero_control, 2, pack_rgba(200, 128, 0, 255)}, {aero_control, 4, pack_rgba(255, 128, 255, 255)}};
  if (a.type == aero_variable_drag) return pack_rgba(255, 128, 0, 255);
  for (const row& r : rows)
    if (r.type == a.type && r.kind == a.kind) return r.colour;
  return gg_body;
}

// The element's own colour, before the current row's highlight.
uint32_t element_colour(int list, int i) {
  const vrkdll_data& a = design.data;
  switch (list) {
    case list_thrusters: return group_colour(first_group_of_thruster(i));
    case list_exhausts: return group_colour(first_group_of_thruster(a.exhausts[size_t(i)].thruster));
    case list_airfoils: return airfoil_colour(a.aero_elements[size_t(i)]);
    default: return gg_body;
  }
}

// --- Drawing helpers ------------------------------------------------------------------------------

void scroll_thumb(double x, double top, int first, int beyond, double travel) {
  if (beyond > 0) fill_rect(x, top + double(first) / beyond * travel, 16, 20, gg_body, white);
}

// --- The lists' frame step -------------------------------------------------------------------------

int list_of_marker(int kind) {
  static const int lists[] = {list_beacons, list_thrusters, list_exhausts, list_docks, list_touchdown, list_airfoils};
  return kind >= 0 && kind < 6 ? lists[kind] : -1;
}

constexpr int marker_parts[] = {1, 2, 2, 3, 3, 1};  // points per element of each marker kind

// A selected element or group that went away (deleted, undone, replaced by New or Load)
// takes the selection and the coordinates with it.
void follow_selection() {
  vec3 v{};
  bool found = false;
  if (selection.object == 1) {
    const int l = list_of_marker(selection.mesh);
    if (l < 0) return;                              // the rows that select nothing
    const int element = selection.group / marker_parts[selection.mesh];
    if (selection.group >= 0 && element < list_count_of(l)) pages.lists[l].current = element;
    found = element_point(design, selection.mesh, selection.group, v);
  } else if (selection.object == 0) {
    found = preview.group_reference(selection.mesh, selection.group, v);
  }
  if (!found) {
    clear_selection();
    v = {};
  }
  pages.sel[0] = v.x;
  pages.sel[1] = v.y;
  pages.sel[2] = v.z;
}

uint32_t beacon_colour(const beacon_def& b) {
  const vec3 c = b.col;
  return pack_colour(std::clamp(c.x, 0.0, 1.0), std::clamp(c.y, 0.0, 1.0), std::clamp(c.z, 0.0, 1.0), 1.0);
}

// The colour of element i's markers in list l, the current one red.
uint32_t marker_colour(int l, int i) {
  if (i == pages.lists[l].current) return red;
  switch (l) {
    case list_beacons: return beacon_colour(design.data.beacons[size_t(i)]);
    case list_thrusters: return marker_group_colour(first_group_of_thruster(i));
    case list_exhausts: return red;
    case list_airfoils: return airfoil_colour(design.data.aero_elements[size_t(i)]);
    default: return green;                           // docks and touchdown sets
  }
}

void paint_markers() {
  bool any = false;
  for (int kind = 0; kind < 6; ++kind) {
    const int l = list_of_marker(kind);
    if (!page(list_page(l)).visible) continue;
    any = true;
    for (int i = 0; i < list_count_of(l); ++i) preview.marker_colour(kind, i, marker_colour(l, i));
  }
  preview.markers_mode(any);
}

}  // namespace

// --- Public: rows --------------------------------------------------------------------------------

std::string list_row_text(int list, int i) {
  const vrkdll_data& a = design.data;
  const std::string n = "#" + std::to_string(i + 1);
  switch (list) {
    case list_tanks: return n + ", " + decimal_to_text(a.fuel_tanks[size_t(i)].max_mass) + " Kg";
    case list_thrusters: {
      const thruster_def& t = a.thrusters[size_t(i)];
      return n + ", FT " + int_to_text(t.tank) + ", THR " + si_quantity_to_text(t.max_thrust) + "N, ISP " +
             decimal_to_text(t.isp);
    }
    case list_meshes: {
      const mesh_entry& m = a.meshes[size_t(i)];
      return n + " Name=" + name_text(m.name, sizeof m.name) + " [Vis=" + visibility_text(m.visibility) + "]";
    }
    case list_animations: {
      const anim_seq& s = a.anim_seqs[size_t(i)].seq;
      const std::string duration = s.rate > 0 ? decimal_to_text(1.0 / s.rate) : "-";
      return n + " Key=" + std::string(1, scan_code_character(s.key)) + " Dur=" + duration + "s";
    }
    case list_groups: {
      const aointeger* g = component_groups();
      return g && i < int(g->size()) ? int_to_text((*g)[size_t(i)]) : "";
    }
    default: return n;
  }
}

uint32_t list_row_colour(int list, int i) {
  return i == pages.lists[list].current ? list_current_colour : element_colour(list, i);
}

// --- Public: summary -----------------------------------------------------------------------------

std::vector<std::string> summary_lines(const vessel_design& d) {
  double mass = d.header.empty_mass, thrust[3] = {0, 0, 0}, isp_sum = 0;
  int mains = 0;
  for (const fuel_tank& t : d.data.fuel_tanks) mass += t.max_mass;
  for (size_t i = 0; i < d.data.thrusters.size(); ++i)
    for (int g = group_main; g <= group_hover; ++g)
      if (thruster_in_group(d, int(i), g)) thrust[g] += d.data.thrusters[i].max_thrust;
  for (size_t i = 0; i < d.data.thrusters.size(); ++i)
    if (thruster_in_group(d, int(i), group_main)) {
      isp_sum += d.data.thrusters[i].isp;
      ++mains;
    }
  const double ratio = mass / d.header.empty_mass;     // an empty mass of 0 gives inf (or nan for 0 / 0)
  const double velocity = mains ? isp_sum / mains : NAN;
  const double delta_v = std::log(ratio) * velocity;
  auto shown = [](double x, std::string (*format)(double)) { return std::isfinite(x) ? format(x) : std::string("-"); };
  auto general = [](double x) { return decimal_to_text(x); };
  const std::string ratio_text = std::isinf(ratio) ? "inf" : shown(ratio, general);
  return {"Total mass: " + shown(mass, si_quantity_to_text) + " Kg",
          "Total main thrust: " + shown(thrust[group_main], si_quantity_to_text) + "N",
          "Total retro thrust: " + shown(thrust[group_retro], si_quantity_to_text) + "N",
          "Total hover thrust: " + shown(thrust[group_hover], si_quantity_to_text) + "N",
          "Mass ratio: " + ratio_text,
          "Main exhaust velocity (ISP): " + shown(velocity, si_quantity_to_text) + "m/s",
          "Main Delta-V: " + shown(delta_v, si_quantity_to_text) + "m/s"};
}

// --- Public: window procedures ------------------------------------------------------------------

void list_draw(gg_wndtype& w) {
  const int l = int(&w - pages.windows) - page_animations;
  if (l < 0 || l >= list_count) return;
  const int bar_w = w.width - 179, count = list_count_of(l), first = pages.lists[l].first;
  const double track_x = w.x + 112 + bar_w + 3;
  fill_rect(w.x + 110, w.y + 2, w.width - 175, w.height - 4, gg_title_fill, white);
  fill_rect(track_x, w.y + 24, 20, w.height - 48, gg_body, white);
  if (count > 8) scroll_thumb(track_x + 2, w.y + 26, first, count - 8, w.height - 61);
  for (int i = first; i < std::min(first + list_rows, count); ++i) {
    const double y = w.y + 4 + 22 * (i - first);
    fill_rect(w.x + 112, y, bar_w, 18, list_row_colour(l, i), white);
    fill_rect(w.x + 112, y, 3, 18, blue, blue);
    fill_rect(w.x + 112 + bar_w - 3, y, 3, 18, blue, blue);
    draw_text(list_row_text(l, i), white, w.x + 127, y + 2);
    draw_line(w.x + 112, y + 20, w.x + 112 + bar_w, y + 20, black);
  }
}

void list_mouse(gg_wndtype& w, int kind, uint16_t shift, int x, int y) {
  const int l = int(&w - pages.windows) - page_animations;
  if (kind != gg_down || !(shift & left_button) || l < 0 || l >= list_count) return;
  const int first = pages.lists[l].first, count = list_count_of(l);
  for (int i = first; i < std::min(first + list_rows, count); ++i) {
    const int top = 4 + 22 * (i - first);
    if (x < 112 || x > 112 + w.width - 179 || y < top || y > top + 18) continue;
    pages.lists[l].current = i;
    const int kinds[list_count] = {-1, -1, point_beacons, point_docks, point_thrusters, point_exhausts,
                                   point_touchdown, point_aero, -1, -1};
    if (kinds[l] >= 0) selection = {1, kinds[l], i * marker_parts[kinds[l]]};
    else if (l == list_tanks) selection = {1, 106, -i};
    else if (l == list_groups) {
      const anim_entry& a = design.data.anim_seqs[size_t(pages.lists[list_animations].current)];
      selection = {0, a.comps[size_t(pages.current_comp)].mesh, (*component_groups())[size_t(i)]};
    } else selection = {1, -1, -i};
    if (l == list_animations) pages.comp_first = 0;
    pages_frame();
    return;
  }
}

void selection_draw(gg_wndtype& w) {
  draw_text("Selection:", white, w.x + 2, w.y + 2);
  draw_text("typ=" + std::to_string(selection.object) + " msh=" + std::to_string(selection.mesh) + " grp=" +
                std::to_string(selection.group),
            white, w.x + 2, w.y + 20);
}

void summary_draw(gg_wndtype& w) {
  const std::vector<std::string> lines = summary_lines(design);
  for (size_t i = 0; i < lines.size(); ++i) draw_text(lines[i], white, w.x + 2, w.y + 22 + 20 * int(i));
}

// --- Animation editor ------------------------------------------------------------------------------

namespace {

anim_entry* editor_animation() {
  const int a = pages.lists[list_animations].current;
  return a < int(design.data.anim_seqs.size()) ? &design.data.anim_seqs[size_t(a)] : nullptr;
}

int timeline(const gg_wndtype& w) { return w.width - 296; }
int at_fraction(int c, double f) { return int(std::lround(c * f)); }

uint32_t component_colour(int type) {
  static const uint32_t colours[] = {pack_rgba(200, 128, 128, 255), pack_rgba(200, 200, 128, 255),
                                     pack_rgba(128, 128, 200, 255)};
  return type >= 0 && type < 3 ? colours[type] : 0u;
}

void draw_ruler(const gg_wndtype& w, int c) {
  const int x0 = w.x + 71;
  for (int i = 0; i <= 10; ++i) draw_line(x0 + at_fraction(c, i / 10.0), w.y + 9, x0 + at_fraction(c, i / 10.0), w.y + 19, black);
  for (int i = 0; i <= 100; ++i) draw_line(x0 + at_fraction(c, i / 100.0), w.y + 14, x0 + at_fraction(c, i / 100.0), w.y + 19, black);
}

void draw_component(const gg_wndtype& w, int c, const anim_comp& comp, int index, int row) {
  const int x0 = w.x + 71, y = w.y + 22 + 22 * row;
  fill_rect(w.x + 6, y, 30, 18, index == pages.current_comp ? list_current_colour : gg_body, white);
  draw_text_centred("Grp", white, w.x + 21, y + 1);
  draw_text_centred(std::to_string(index + 1), white, w.x + 51, y + 1);
  const int left = x0 + at_fraction(c, comp.state0), width = at_fraction(c, comp.state1 - comp.state0);
  fill_rect(left, y, width, 18, component_colour(comp.type), white);
  fill_rect(left, y, 3, 18, green, green);
  fill_rect(left + width - 3, y, 3, 18, green, green);
  draw_line(x0 - 4, y + 19, x0 + c + 6, y + 19, black);
}

void draw_position(const gg_wndtype& w, int c, double position) {
  const int px = w.x + 71 + at_fraction(c, position);
  draw_line(px - 5, w.y + 6, px + 5, w.y + 6, green);
  draw_line(px - 5, w.y + 6, px, w.y + 14, green);
  draw_line(px + 5, w.y + 6, px, w.y + 14, green);
  draw_line(px, w.y + 14, px, w.y + w.height - 25, green);
}

// The component row under a window-relative y, or -1.
int component_row(int y) {
  const int row = (y - 22) / 22;
  return y >= 22 && row < comp_rows && y <= 22 + 22 * row + 18 ? row : -1;
}

void drag_to(const gg_wndtype& w, int x) {
  anim_entry* a = editor_animation();
  if (!a || anim_editor.drag_comp >= int(a->comps.size())) return;
  const anim_comp& comp = a->comps[size_t(anim_editor.drag_comp)];
  const double f = std::clamp(double(x - 71) / timeline(w), 0.0, 1.0);
  const int anim = pages.lists[list_animations].current;
  if (anim_editor.drag_end == 0) set_component_range(design, anim, anim_editor.drag_comp, f, comp.state1);
  else set_component_range(design, anim, anim_editor.drag_comp, comp.state0, f);
}

void editor_press(gg_wndtype& w, int x, int y) {
  anim_entry* a = editor_animation();
  const int c = timeline(w), row = component_row(y);
  if (!a) return;
  if (row < 0) return;
  const int index = pages.comp_first + row;
  if (index == int(a->comps.size()) && x >= 6 && x <= 36) {   // "+": a new component
    new_component();
    return;
  }
  if (index >= int(a->comps.size())) return;
  if (x >= 6 && x <= 36) {                          // "Grp": the component's groups
    pages.current_comp = index;
    pages.lists[list_groups] = list_state{};
    show_page(page_groups);
    return;
  }
  const anim_comp& comp = a->comps[size_t(index)];
  const int start = 71 + at_fraction(c, comp.state0), end = 71 + at_fraction(c, comp.state1);
  if (x >= start - 1 && x <= start + 4) anim_editor.drag_end = 0;
  else if (x >= end - 3 && x <= end + 2) anim_editor.drag_end = 1;
  else {
    if ((x > 36 && x < 66) || (x > start && x < end)) edit_component(index);   // its number or its bar
    return;
  }
  anim_editor.drag_comp = index;
  undo_begin();
}

}  // namespace

void anim_editor_draw(gg_wndtype& w) {
  const int c = timeline(w);
  const anim_entry* a = editor_animation();
  const int count = a ? int(a->comps.size()) : 0;
  fill_rect(w.x + 2, w.y + 2, w.width - 220, w.height - 24, gg_title_fill, white);
  fill_rect(w.x + 4, w.y + 4, 60, w.height - 26, gg_body, white);
  fill_rect(w.x + 66, w.y + 4, w.width - 286, 15, white, white);
  fill_rect(w.x + w.width - 214, w.y + 24, 20, w.height - 68, gg_body, white);
  if (count > 6) scroll_thumb(w.x + w.width - 212, w.y + 26, pages.comp_first, count - 6, w.height - 90);
  draw_ruler(w, c);
  if (!a) return;
  int row = 0;
  for (int i = pages.comp_first; i < count && row < comp_rows; ++i, ++row) draw_component(w, c, a->comps[size_t(i)], i, row);
  if (row < comp_rows) {
    const int y = w.y + 22 + 22 * row;
    fill_rect(w.x + 6, y, 30, 18, gg_body, white);
    draw_text_centred("+", white, w.x + 21, y + 1);
  }
  draw_position(w, c, a->seq.position);
}

void anim_editor_mouse(gg_wndtype& w, int kind, uint16_t shift, int x, int y) {
  const bool held = shift & left_button;
  if (kind == gg_up || !held) {
    if (anim_editor.drag_comp >= 0) undo_commit();   // the whole drag is one step
    anim_editor = anim_editor_state{};
    return;
  }
  const int c = timeline(w);
  if (x >= 71 && x <= 71 + c && y >= 4 && y <= 22) {
    set_animation_position(design, pages.lists[list_animations].current, double(x - 71) / c);
    return;
  }
  if (kind == gg_down) editor_press(w, x, y);
  else if (anim_editor.drag_comp >= 0 && component_row(y) == anim_editor.drag_comp - pages.comp_first) drag_to(w, x);
}

// --- Mesh browser grid ---------------------------------------------------------------------------

void browser_draw(gg_wndtype& w) {
  w.x = 20;
  w.y = 20;
  w.width = screen.width - 40;
  w.height = screen.height - 40;
  const browser_grid g = browser_geometry(w.width, w.height);
  const int count = int(browser.mesh_browse_list.size());
  fill_rect(w.x + 5, w.y + 40, w.width - 50, w.height - 90, gg_title_fill, white);
  if (g.columns == 0 || g.rows == 0) {
    draw_text("The window is too narrow for the names.", white, w.x + 12, w.y + 46);
    return;
  }
  for (int k = 0; k < g.columns * g.rows; ++k) {
    const int e = files.browser_page * g.rows + k;
    if (e >= count) break;
    const int j = k / g.rows, i = k % g.rows, left = w.x + 9 + j * g.pitch;
    const uint32_t fill = k == files.hovered ? pack_rgba(128, 128, 128, 255)
                          : e < browser.mesh_browse_dirs ? pack_rgba(128, 0, 0, 255) : black;
    fill_rect(left, w.y + 44 + 21 * i, g.pitch - 2, 20, fill, white);
    draw_text_centred(browser.mesh_browse_list[size_t(e)], white, left + g.pitch / 2, w.y + 46 + 21 * i);
  }
  const int bar = w.width - 50, bottom = w.y + w.height - 48;
  fill_rect(w.x + 5, bottom, bar, 18, gg_body, white);
  if (count > 0)
    fill_rect(w.x + std::lround(bar * files.browser_page / (double(count) / g.rows)) + 21, bottom + 1, 16, 16,
              gg_title_fill, white);
  fill_rect(w.x + 5, bottom, 16, 16, gg_title_fill, white);
  draw_text("<", white, w.x + 8, bottom);
  fill_rect(w.x + w.width - 61, bottom, 16, 16, gg_title_fill, white);
  draw_text(">", white, w.x + w.width - 58, bottom);
}

// --- Frame step -------------------------------------------------------------------------------------

void lists_frame() {
  follow_selection();
  paint_markers();
  preview.vessel_shown(name_of(design.header.vessel_name, sizeof design.header.vessel_name).substr(0, 64),
                     design.header.size);
}
