// kvwindows: the editor's pages, their widgets and the three handlers.
#include "editor/kvwindows.h"

#include <algorithm>
#include <cstddef>
#include <tuple>
#include "base/keynames.h"
#include "base/strval.h"
#include "editor/checkspage.h"
#include "editor/filecmds.h"
#include "editor/kvlists.h"
#include "editor/meshview.h"
#include "editor/scene_link.h"
#include "editor/selection.h"
#include "editor/undo.h"

pages_state pages;

namespace {

// --- Window table ----------------------------------------------------------------------------

// A coordinate from the screen size: anchor 0 (none), 1 (half the screen) or 2 (all of it), plus an offset.
struct placed {
  int anchor, offset;
  int of(int screen) const { return (anchor == 2 ? screen : anchor == 1 ? screen / 2 : 0) + offset; }
};

struct page_def {
  const char* title;
  placed x, y, width, height;
};

// In page_id order, the drawing order at the start: later windows lie on top until a page is shown.
const page_def page_defs[page_count] = {
  {"Veltora Corvane", {2, -502}, {2, -154}, {0, 482}, {0, 134}},
  {"General parameters", {1, -250}, {1, -250}, {0, 476}, {0, 500}},
  {"Animations", {0, 20}, {1, -150}, {0, 400}, {0, 300}},
  {"Meshes", {0, 440}, {1, -150}, {0, 600}, {0, 300}},
  {"Beacons", {0, 20}, {2, -220}, {0, 400}, {0, 200}},
  {"Docks", {0, 20}, {2, -220}, {0, 400}, {0, 200}},
  {"Thrusters", {0, 440}, {2, -220}, {0, 500}, {0, 200}},
  {"Exhausts", {0, 440}, {2, -420}, {0, 400}, {0, 200}},
  {"Touchdown points", {0, 20}, {2, -220}, {0, 400}, {0, 200}},
  {"Aerodynamic elements", {0, 20}, {2, -220}, {0, 400}, {0, 200}},
  {"Fuel tanks", {0, 20}, {2, -220}, {0, 400}, {0, 200}},
  {"Groups in animation component", {0, 20}, {2, -220}, {0, 400}, {0, 200}},
  {"Edit thruster", {0, 20}, {0, 20}, {0, 400}, {0, 250}},
  {"Edit airfoil", {0, 20}, {0, 20}, {0, 600}, {0, 250}},
  {"Animation block (1)", {0, 50}, {0, 40}, {2, -100}, {0, 200}},
  {"VC config", {2, -440}, {2, -292}, {0, 200}, {0, 100}},
  {"Vessel data", {2, -460}, {0, 20}, {0, 440}, {0, 400}},   // the summary, then the thruster groups
  {"3D controls", {2, -220}, {2, -312}, {0, 200}, {0, 120}},
  {"Open/Close", {0, 20}, {0, 20}, {2, -40}, {2, -40}},
  {"Mesh view", {1, -320}, {1, -260}, {0, 640}, {0, 520}},
  {"Options", {1, -125}, {1, -25}, {0, 500}, {0, 100}},
  {"Confirm?", {1, -300}, {1, -25}, {0, 600}, {0, 100}},
  {"Edit beacon", {0, 20}, {0, 20}, {0, 400}, {0, 200}},
  {"Edit exhaust", {0, 20}, {0, 20}, {0, 400}, {0, 230}},
  {"Edit mesh", {0, 20}, {0, 20}, {0, 300}, {0, 100}},
  {"Help", {1, -300}, {0, 20}, {0, 600}, {0, 404}},
  {"Message", {1, -300}, {1, -50}, {0, 600}, {0, 100}},
  {"Checks", {1, -300}, {0, 40}, {0, 600}, {0, 400}},
};

// --- Lists ----------------------------------------------------------------------------------------

struct list_def {
  const char* captions[3];         // the buttons at y 2, 24, 46; null: none
  int tags[5];                     // first, second, third, v, ^; 0: no such button
  int marker;                      // point kind of its preview markers, -1 none
  int part;                        // points per element, for the selection's group
};

const list_def list_defs[list_count] = {
  {{"Add", "Delete", "Editor"}, {60, 61, 62, 63, 64}, -1, 1},
  {{"Add", "Delete", "Edit"}, {65, 66, 67, 68, 69}, -1, 1},
  {{"Add", "Delete", "Edit"}, {70, 71, 72, 73, 74}, point_beacons, 1},
  {{"Add", "Delete", nullptr}, {75, 76, 0, 78, 79}, point_docks, 3},
  {{"Add", "Delete", "Edit"}, {80, 81, 82, 83, 84}, point_thrusters, 2},
  {{"Add", "Delete", "Edit"}, {85, 86, 87, 88, 89}, point_exhausts, 2},
  {{"Add", "Delete", "Set animation"}, {90, 91, 92, 93, 94}, point_touchdown, 3},
  {{"Add", "Delete", "Edit"}, {95, 96, 97, 98, 99}, point_aero, 1},
  {{"Add", "Delete", nullptr}, {100, 101, 0, 103, 104}, -1, 1},
  {{"Add selected", "Remove", nullptr}, {105, 106, 0, 108, 109}, -1, 1},
};

// The main menu's buttons that open a list: tag and list.
const std::pair<int, int> list_openers[] = {
  {8, list_beacons}, {11, list_docks}, {12, list_touchdown}, {14, list_thrusters}, {15, list_meshes},
  {16, list_exhausts}, {17, list_animations}, {18, list_airfoils}, {582, list_tanks}};

list_state& list(int l) { return pages.lists[l]; }
int cur(int l) { return pages.lists[l].current; }

anim_entry* current_animation() {
  const int a = cur(list_animations);
  return a < int(design.data.anim_seqs.size()) ? &design.data.anim_seqs[size_t(a)] : nullptr;
}

const aointeger* current_component_groups() {
  const anim_entry* a = current_animation();
  if (!a || pages.current_comp >= int(a->comps.size())) return nullptr;
  const int gl = a->comps[size_t(pages.current_comp)].group_list;
  return gl >= 0 && gl < int(a->group_lists.size()) ? &a->group_lists[size_t(gl)] : nullptr;
}

// The element record a list's current row names, or null.
template <class T> void* element(std::vector<T>& v, int i) { return i >= 0 && i < int(v.size()) ? &v[size_t(i)] : nullptr; }

void* current_element(int l) {
  vrkdll_data& a = design.data;
  const int i = cur(l);
  switch (l) {
    case list_beacons: return element(a.beacons, i);
    case list_thrusters: return element(a.thrusters, i);
    case list_exhausts: return element(a.exhausts, i);
    case list_airfoils: return element(a.aero_elements, i);
    case list_tanks: return element(a.fuel_tanks, i);
    case list_meshes: return element(a.meshes, i);
    default: return nullptr;
  }
}

// --- Widget records kept for binding ----------------------------------------------------------------

struct element_box {               // a text box bound to a field of a list's current element
  int box;                         // index in gui.textboxes
  int list;
  size_t offset;                   // of the field in the element record
};

struct build_state {               // written by pages_build only
  std::vector<element_box> element_boxes;
  std::vector<gg_inprec*> checkboxes;   // their state follows the design every frame
  gg_panelrec* lift_cover = nullptr;    // "Edit airfoil" covers
  gg_panelrec* control_cover = nullptr;
  int max_crew_box = -1;                // bound to the one crew record, which a load replaces
  int confirm_yes = -1, confirm_blank = -1, confirm_no = -1; // "Confirm?"'s answers
  int next_id = id_first_plain;
} built;

gg_wndtype& win(page_id p) { return pages.windows[p]; }

int button(page_id p, int x, int y, int w, int h, const char* caption, int tag) {
  return gui_button(win(p), x, y, w, h, caption, tag, pages_click);
}

int textbox(page_id p, int x, int y, int w, int h, int type, void* variable, size_t capacity = 0) {
  return gui_textbox(win(p), x, y, w, h, type, variable, built.next_id++, pages_change, capacity);
}

void element_textbox(page_id p, int x, int y, int w, int type, int l, size_t offset) {
  built.element_boxes.push_back({textbox(p, x, y, w, 16, type, nullptr), l, offset});
}

void checkbox(page_id p, int x, int y, int tag) {
  built.checkboxes.push_back(&gui_checkbox(win(p), x, y, 16, 16, false, tag, pages_toggle));
}

void labelled_checkbox(page_id p, int x, int y, const char* text, int box_x, int tag) {
  gui_label(win(p), x, y, text);
  checkbox(p, box_x, y, tag);
}

// "Close" down the right edge, as the lists and edit windows have it.
void side_close(page_id p) {
  const gg_wndtype& w = win(p);
  button(p, w.width - 42, 2, 40, w.height - 4, "Close", -2);
}

void bottom_close(page_id p, const char* caption = "Close") {
  const gg_wndtype& w = win(p);
  button(p, 2, w.height - 22, w.width - 4, 20, caption, -2);
}

// --- Building the pages ----------------------------------------------------------------------------

constexpr uint32_t frame_fill = pack_rgba(0, 0, 0, 64);
constexpr uint32_t dim_text = pack_rgba(160, 160, 160, 255);
constexpr uint32_t dim_fill = pack_rgba(80, 80, 80, 210);

struct menu_button { int column, row; const char* caption; int tag; };
const menu_button menu_buttons[] = {
  {0, 0, "New", 1}, {0, 1, "Load", 3}, {0, 2, "Save", 4}, {0, 4, "Generate", 5}, {0, 5, "Run Veltora", 6},
  {1, 0, "Parameters", 7}, {1, 1, "Lights", 8}, {1, 2, "Panels", 9}, {1, 3, "VC", 10}, {1, 4, "Docks", 11},
  {1, 5, "Touchdown", 12}, {2, 0, "Main data", 13}, {2, 1, "Engines", 14}, {2, 2, "Meshes", 15},
  {2, 3, "Exhausts", 16}, {2, 4, "Animations", 17}, {2, 5, "Airfoils", 18}, {3, 0, "Options", 19},
  {3, 1, "Location", 20}, {3, 2, "3D controls", 21}, {3, 5, "Help", 24},
  {0, 3, "Checks", tag_checks}, {3, 3, "Undo", tag_undo}, {3, 4, "Redo", tag_redo}};
constexpr int unavailable_tags[] = {9, 20};   // drawn dimmed; a press says why

bool unavailable(int tag) { return std::find(std::begin(unavailable_tags), std::end(unavailable_tags), tag) != std::end(unavailable_tags); }

void build_main_menu() {
  for (int c = 0; c < 4; ++c) gui_panel(win(page_main), false, 1 + 110 * c, 1, 102, 132, gg_outline, frame_fill, false);
  for (const menu_button& m : menu_buttons) {
    const int x = 2 + 110 * m.column, y = 2 + 22 * m.row;
    if (unavailable(m.tag))
      gui_button(win(page_main), x, y, 100, 20, m.caption, m.tag, pages_click, dim_text, dim_fill, gg_outline, dim_fill);
    else
      button(page_main, x, y, 100, 20, m.caption, m.tag);
  }
  button(page_main, 440, 2, 40, 130, "Exit", 0);
}

struct general_row {               // one row of "General parameters"
  const char* label;
  int column;                      // 0 left, 1 right
  int y;                           // of the label
  int type;                        // gg_value_type; -1 a checkbox, -2 a label alone
  size_t offset;                   // of the field in the header
  int tag;                         // checkbox tag
};
#define HDR(f) offsetof(design_header, f)
const general_row general_rows[] = {
  {"Vessel name", 0, 20, gg_chars, HDR(vessel_name), 0}, {"DLL name", 0, 40, gg_chars, HDR(dll_name), 0},
  {"Mass, Kg", 0, 60, gg_double, HDR(empty_mass), 0}, {"Size, m", 0, 80, gg_double, HDR(size), 0},
  {"Needs pilot", 0, 100, -1, 0, 501}, {"Max crew", 0, 120, gg_int, 0, 0}, // offset 0: the crew record
  {"Payload manager", 0, 140, -1, 0, 1}, {"Transponder", 0, 160, -1, 0, 2},
  {"Nav radios", 0, 180, gg_int, HDR(nav_radios), 0}, {"Have VC", 0, 200, -1, 0, 3},
  {"PMI", 1, 80, -2, 0, 0}, {"Cross section", 1, 140, -2, 0, 0}, {"Rotation drag", 1, 200, -2, 0, 0},
  {"Roll friction", 1, 240, gg_double, HDR(roll_friction), 0}, {"Side friction", 1, 260, gg_double, HDR(side_friction), 0},
  {"GravGrad Damp", 1, 280, gg_double, HDR(gravgrad_damp), 0}, {"Mx brake force", 1, 300, gg_double, HDR(max_wheelbrake), 0},
  {"Wing aspect", 1, 320, gg_double, HDR(wing_aspect), 0}, {"Wing eff-cy", 1, 340, gg_double, HDR(wing_effectiveness), 0},
  {"CW Z+", 1, 360, gg_double, HDR(cw_z_pos), 0}, {"CW Z-", 1, 380, gg_double, HDR(cw_z_neg), 0},
  {"CW X", 1, 400, gg_double, HDR(cw_x), 0}, {"CW Y", 1, 420, gg_double, HDR(cw_y), 0},
};
const size_t vector_fields[] = {HDR(pmi), HDR(cross_sections), HDR(rot_drag)}; // right column, from y 60 in steps of 60
#undef HDR

void* header_field(size_t offset) { return reinterpret_cast<uint8_t*>(&design.header) + offset; }

void build_general() {
  const page_id p = page_general;
  gui_panel(win(p), false, 4, 16, 380, 207, gg_outline, frame_fill, false);
  gui_panel(win(p), false, 92, 234, 380, 217, gg_outline, frame_fill, false);
  for (const general_row& r : general_rows) {
    gui_label(win(p), r.column ? 250 : 10, r.y, r.label);
    const int x = r.column ? 370 : 120;
    if (r.type == -1) checkbox(p, 198, r.y, r.tag);
    else if (r.type == gg_chars) textbox(p, x, r.y, 350, 16, r.type, header_field(r.offset), design_name_capacity + 1);
    else if (r.type == gg_int && r.offset == 0) built.max_crew_box = textbox(p, x, r.y, 100, 16, r.type, nullptr);
    else if (r.type >= 0) textbox(p, x, r.y, 100, 16, r.type, header_field(r.offset));
  }
  for (int v = 0; v < 3; ++v)
    for (int c = 0; c < 3; ++c)
      textbox(p, 370, 60 + 60 * v + 20 * c, 100, 16, gg_double, static_cast<double*>(header_field(vector_fields[v])) + c);
  button(p, 10, 220, 205, 18, "Set VC camera to current", 32);
  bottom_close(p, "Close&Save");
}

void build_lists() {
  for (int l = 0; l < list_count; ++l) {
    const page_id p = list_page(l);
    const list_def& d = list_defs[l];
    const gg_wndtype& w = win(p);
    side_close(p);
    for (int b = 0; b < 3; ++b)
      if (d.captions[b]) button(p, 2, 2 + 22 * b, 100, 20, d.captions[b], d.tags[b]);
    button(p, w.width - 64, w.height - 22, 20, 20, "v", d.tags[3]);
    button(p, w.width - 64, 2, 20, 20, "^", d.tags[4]);
  }
  for (int l : {list_beacons, list_docks, list_touchdown, list_airfoils}) {
    button(list_page(l), 2, 68, 100, 20, "Copy", tag_copy);
    button(list_page(l), 2, 90, 100, 20, "Mirror", tag_mirror);
  }
  button(page_thrusters, 2, 68, 100, 20, "Propellant", 582);
  button(page_thrusters, 2, 90, 100, 20, "Default RCS", 583);
  gui_label(win(page_thrusters), 2, 114, "Add Thrust:");
  textbox(page_thrusters, 8, 134, 90, 16, gg_double, &pages.add_thrust);
  gui_label(win(page_thrusters), 2, 158, "Add ISP:");
  textbox(page_thrusters, 8, 178, 90, 16, gg_double, &pages.add_isp);
  gui_label(win(page_tanks), 2, 46, "Mass, kg:");
  element_textbox(page_tanks, 8, 68, 90, gg_double, list_tanks, offsetof(fuel_tank, max_mass));
}

void build_edit_thruster() {
  const page_id p = page_edit_thruster;
  side_close(p);
  gui_label(win(p), 10, 20, "Thrust");
  element_textbox(p, 100, 20, 120, gg_double, list_thrusters, offsetof(thruster_def, max_thrust));
  gui_label(win(p), 10, 40, "ISP");
  element_textbox(p, 100, 40, 120, gg_double, list_thrusters, offsetof(thruster_def, isp));
  gui_label(win(p), 10, 60, "Fuel tank");
  gui_textbox(win(p), 100, 60, 120, 16, gg_int, &pages.thruster_tank, id_thruster_tank, pages_change);
  button(p, 230, 60, 120, 20, "Set current", 501);
  button(p, 230, 18, 120, 18, "Copy", tag_copy);       // the thruster list has no room left for them
  button(p, 230, 38, 120, 18, "Mirror", tag_mirror);
  gui_label(win(p), 10, 100, "Groups");
  for (int g = 0; g < thruster_group_id_count; ++g)
    labelled_checkbox(p, 10 + 100 * (g / 5), 120 + 20 * (g % 5), thruster_group_names[g], 88 + 100 * (g / 5), 101 + g);
}

void build_edit_airfoil() {
  const page_id p = page_edit_airfoil;
  gg_wndtype& w = win(p);
  gui_panel(w, false, 4, 100, 252, 142, gg_outline, frame_fill, false);
  gui_panel(w, false, 264, 1, 252, 202, gg_outline, frame_fill, false);
  side_close(p);
  gui_label(w, 5, 2, "Type:");
  const std::pair<const char*, int> left_boxes[] = {{"Lift", 22}, {"Control", 42}, {"Variable drag", 62}, {"Vertical", 142}, {"Horizontal", 162}};
  const int left_tags[] = {201, 202, 203, 204, 205};
  for (int i = 0; i < 5; ++i) labelled_checkbox(p, 5, left_boxes[i].second, left_boxes[i].first, 128, left_tags[i]);
  gui_label(w, 5, 102, "Lift:");
  gui_label(w, 5, 122, "Kind:");
  const std::pair<const char*, size_t> lift_boxes[] = {{"Chord length", offsetof(aero_def, chord)},
                                                        {"Wing area", offsetof(aero_def, area)},
                                                        {"Wing aspect", offsetof(aero_def, aspect)}};
  for (int i = 0; i < 3; ++i) {
    gui_label(w, 5, 182 + 20 * i, lift_boxes[i].first);
    element_textbox(p, 128, 182 + 20 * i, 120, gg_double, list_airfoils, lift_boxes[i].second);
  }
  gui_label(w, 265, 2, "Control:");
  gui_label(w, 265, 22, "Kind:");
  const std::pair<const char*, int> kinds[] = {{"Elevator", 209}, {"Rudder", 210}, {"Aileron", 211}, {"Elev. trim", 213}};
  for (int i = 0; i < 4; ++i) labelled_checkbox(p, 265, 42 + 20 * i, kinds[i].first, 388, kinds[i].second);
  const std::tuple<const char*, int, size_t> control_boxes[] = {{"Area", gg_double, offsetof(aero_def, area)},
                                                               {"Shift", gg_double, offsetof(aero_def, chord)},
                                                               {"Animation", gg_int, offsetof(aero_def, anim)}};
  for (int i = 0; i < 3; ++i) {
    gui_label(w, 265, 122 + 20 * i, std::get<0>(control_boxes[i]));
    element_textbox(p, 388, 122 + 20 * i, 120, std::get<1>(control_boxes[i]), list_airfoils, std::get<2>(control_boxes[i]));
  }
  button(p, 269, 182, 110, 18, "Set animation", 218);
  built.lift_cover = &gui_panel(w, false, 4, 100, 252, 142, gg_outline, pack_rgba(0, 64, 0, 0), true);
  built.control_cover = &gui_panel(w, false, 264, 1, 252, 202, gg_outline, pack_rgba(0, 0, 64, 0), true);
}

void build_animation_block() {
  const page_id p = page_animation_block;
  const gg_wndtype& w = win(p);
  side_close(p);
  button(p, 2, w.height - 20, 100, 18, "Play |>", 51);
  button(p, 112, w.height - 20, 100, 18, "Stop |=|", 52);
  button(p, w.width - 214, w.height - 42, 20, 20, "v", 53);
  button(p, w.width - 214, 2, 20, 20, "^", 54);
  gui_label(win(p), w.width - 185, 4, "Duration, sec");
  gui_textbox(win(p), w.width - 185, 24, 140, 18, gg_double, &pages.duration, id_duration, pages_change);
  gui_label(win(p), w.width - 185, 44, "Key");
  const int key_box = gui_textbox(win(p), w.width - 150, 44, 105, 18, gg_string, &pages.key_text, id_key, pages_change);
  gui.textboxes[size_t(key_box)].valid = [](const std::string& text) { return key_code_of(text) >= 0; };
  button(p, w.width - 185, 64, 120, 20, "Set default", 55);
}

void build_small_pages() {
  side_close(page_controls);
  const char* axes[] = {"X=", "Y=", "Z="};
  for (int i = 0; i < 3; ++i) {
    gui_label(win(page_controls), 1, 51 + 20 * i, axes[i]);
    gui_textbox(win(page_controls), 25, 50 + 20 * i, 80, 16, gg_double, &pages.sel[i], id_sel_x + i, pages_change);
  }
  bottom_close(page_vessel_data);
  button(page_vessel_data, win(page_vessel_data).width - 102, 2, 100, 18, "Checks", tag_checks);
  const gg_wndtype& ck = win(page_checks);
  side_close(page_checks);
  button(page_checks, ck.width - 64, 2, 20, 20, "^", tag_checks_up);
  button(page_checks, ck.width - 64, ck.height - 22, 20, 20, "v", tag_checks_down);
  bottom_close(page_vc_config);
  bottom_close(page_options);
  gui_label(win(page_options), 2, 10, "Author name");
  textbox(page_options, 12, 25, 490, 16, gg_string, &settings.author_name);
  const gg_wndtype& mv = win(page_mesh_view);
  button(page_mesh_view, mv.width - 120, mv.height - 24, 118, 20, "Cancel", 30);
  button(page_mesh_view, mv.width - 120, mv.height - 46, 118, 20, "Select", 31);
  const gg_wndtype& oc = win(page_browser);
  button(page_browser, oc.width - 42, 2, 40, oc.height / 2 - 4, "Other", 33);
  button(page_browser, oc.width - 42, oc.height / 2 - 2, 40, oc.height / 2 - 4, "Exit", -2);
  const gg_wndtype& c = win(page_confirm);
  built.confirm_yes = button(page_confirm, 2, 40, c.width / 2 - 4, c.height - 44, "Yes", -3);
  built.confirm_blank = button(page_confirm, 0, 40, 0, c.height - 44, "Blank", tag_blank);
  built.confirm_no = button(page_confirm, c.width / 2, 40, c.width / 2 - 4, c.height - 44, "No", -4);
  gui.buttons[size_t(built.confirm_blank)].visible = false;
  const gg_wndtype& m = win(page_message);
  button(page_message, m.width / 2 - 50, m.height - 24, 100, 20, "OK", tag_message_ok);
}

void build_edit_beacon() {
  const page_id p = page_edit_beacon;
  side_close(p);
  const std::pair<const char*, size_t> fields[] = {
    {"Size", offsetof(beacon_def, size)}, {"Falloff", offsetof(beacon_def, falloff)},
    {"Period", offsetof(beacon_def, period)}, {"Duration", offsetof(beacon_def, duration)},
    {"Offset", offsetof(beacon_def, tofs)}, {"Red", offsetof(beacon_def, col) + 0},
    {"Green", offsetof(beacon_def, col) + 8}, {"Blue", offsetof(beacon_def, col) + 16}};
  for (int i = 0; i < 8; ++i) {
    gui_label(win(p), 10, 10 + 20 * i, fields[i].first);
    element_textbox(p, 100, 10 + 20 * i, 100, gg_double, list_beacons, fields[i].second);
  }
  gui_label(win(p), 230, 10, "Shape:");
  const char* shapes[] = {"Compact", "Diffuse", "Star"};
  for (int s = 0; s < 3; ++s) labelled_checkbox(p, 254, 30 + 20 * s, shapes[s], 230, 401 + s);
}

void build_edit_exhaust() {
  const page_id p = page_edit_exhaust;
  side_close(p);
  gui_label(win(p), 10, 10, "Length");
  element_textbox(p, 100, 10, 100, gg_double, list_exhausts, offsetof(exhaust_def, length));
  gui_label(win(p), 10, 30, "Width");
  element_textbox(p, 100, 30, 100, gg_double, list_exhausts, offsetof(exhaust_def, width));
  labelled_checkbox(p, 30, 54, "Own position and direction", 10, 301);
  const char* names[] = {"Pos X", "Pos Y", "Pos Z", "Dir X", "Dir Y", "Dir Z"};
  for (int i = 0; i < 6; ++i) {
    gui_label(win(p), 10, 80 + 20 * i, names[i]);
    element_textbox(p, 100, 80 + 20 * i, 100, gg_double, list_exhausts,
                    (i < 3 ? offsetof(exhaust_def, pos) : offsetof(exhaust_def, dir)) + 8 * size_t(i % 3));
  }
}

constexpr int visibility_bits[] = {visibility_external, visibility_cockpit, visibility_vc, visibility_extpass};

void build_edit_mesh() {
  const page_id p = page_edit_mesh;
  side_close(p);
  gui_label(win(p), 10, 2, "Visible in:");
  const char* names[] = {"External", "Cockpit", "VC", "EXTPASS"};
  for (int i = 0; i < 4; ++i) labelled_checkbox(p, 34, 22 + 18 * i, names[i], 10, 601 + i);
}

const char* const help_lines[] = {
  "Mouse",
  "  Left: pick a marker, drag an axis handle; right drag: turn around",
  "  Middle drag: move the target; wheel: zoom (Shift, Alt faster;",
  "  Ctrl finer); title bars: drag to move a window",
  "Keys",
  "  0: target mode or free flight     9: fine camera controls",
  "  F1: the other camera (VC)         F11: the engine's options",
  "  Ctrl+F9: screenshot               Alt+F4: quit",
  "  Escape: cancel the file dialog, answer No or close the top window;",
  "  with only the main menu open it quits",
  "Text boxes",
  "  A click selects the value, a second one places the caret",
  "  Home, End, arrows (Shift selects), Delete, Ctrl+A, Ctrl+C, X, V",
  "  Enter or a click elsewhere stores; red: not a number, not stored",
  "  The key of an animation: a name (D, F5, Space) or a scan code",
  "Undo: Ctrl+Z or \"Undo\"; Ctrl+Y, Ctrl+Shift+Z or \"Redo\" redo it;",
  "  New, Load and Import can be undone too",
  "New: \"Yes\" the template vessel, \"Blank\" an empty design, \"No\" keeps",
  "Generate: after an add-on is written, \"Yes\" installs it in this root",
  "Autosave: each session keeps its design in Vessel_Design/autosave-",
  "  YYMMDD-HHMMSS.vessdef each minute while it changes and at the end;",
  "  the newest ten are kept; unsaved work is offered at start-up",
};

void build_help() {
  side_close(page_help);
  int y = 6;
  for (const char* line : help_lines) {
    gui_label(win(page_help), 6, y, line);
    y += 18;
  }
}

// --- Draw procedures of the question and message windows -------------------------------------------

void draw_confirm(gg_wndtype& w) { draw_text_centred(pages.question, gg_text, w.x + w.width / 2, w.y + 10); }

// "Vessel data": the summary, and below it the thruster groups' forces and torques.
void vessel_data_draw(gg_wndtype& w) {
  summary_draw(w);
  group_table_draw(w);
}

void draw_message(gg_wndtype& w) {
  const std::string& m = pages.message;
  for (size_t at = 0, line = 0; at < m.size() && line < message_lines; at += message_line_chars, ++line)
    draw_text_centred(m.substr(at, message_line_chars), gg_text, w.x + w.width / 2, w.y + 8 + 18 * int(line));
}

// --- Button actions ----------------------------------------------------------------------------------

void select_point(int kind, int group) {
  selection.object = 1;
  selection.mesh = kind;
  selection.group = group;
}

// Every handler ends here: the pages follow the design, and a change becomes a step.
void handled() {
  pages_frame();
  undo_checkpoint();
}

// After an add: the new element is current and, where it has markers, selected.
void added(int l, int index) {
  if (index < 0) return;
  list(l).current = index;
  const list_def& d = list_defs[l];
  if (d.marker >= 0) {
    select_point(d.marker, index * d.part);
    scene_markers_rebuild(d.marker);
  }
}

void changed(int l) {
  if (list_defs[l].marker >= 0) scene_markers_rebuild(list_defs[l].marker);
}

void open_list(int l) {
  list(l) = list_state{};
  show_page(list_page(l));
  changed(l);
}

void scroll(int l, int by) {
  const int last = std::max(list_count_of(l) - list_rows, 0);
  list(l).first = std::clamp(list(l).first + by, 0, last);
}

void add_animation_row() { added(list_animations, add_animation(design, 0, editor_anim_rate, 0.0)); }
void delete_animation_row() { delete_animation(design, cur(list_animations)); }
void open_animation_editor() {
  pages.comp_first = 0;
  show_page(page_animation_block);
}
void delete_mesh_row() { delete_mesh(design, cur(list_meshes)); }
void add_beacon_row() { added(list_beacons, add_beacon(design, editor_beacon())); }
void delete_beacon_row() { delete_beacon(design, cur(list_beacons)); changed(list_beacons); }
void add_dock_row() { added(list_docks, add_dock(design)); }
void delete_dock_row() { delete_dock(design, cur(list_docks)); changed(list_docks); }
void add_thruster_row() { added(list_thrusters, add_editor_thruster(design, pages.add_thrust, pages.add_isp)); }
void delete_thruster_row() { delete_thruster(design, cur(list_thrusters)); changed(list_thrusters); changed(list_exhausts); }
void add_exhaust_row() {
  const int t = cur(list_thrusters);
  if (t >= int(design.data.thrusters.size())) {
    show_message("An exhaust belongs to a thruster: add a thruster first.");
    return;
  }
  added(list_exhausts, add_exhaust(design, t, 10.0, 1.0));
}
void delete_exhaust_row() { delete_exhaust(design, cur(list_exhausts)); changed(list_exhausts); }
void add_touchdown_row() {
  if (design.data.touchdown_sets.size() >= 2) return;   // two sets at most: gear up and gear down
  const int i = add_touchdown_set(design);
  added(list_touchdown, i);
}
void delete_touchdown_row() { delete_touchdown_set(design, cur(list_touchdown)); changed(list_touchdown); }
void gear_animation() { set_gear_animation(design, cur(list_animations)); }
void add_airfoil_row() { added(list_airfoils, add_aero_element(design)); }
void delete_airfoil_row() { delete_aero_element(design, cur(list_airfoils)); changed(list_airfoils); }
void add_tank_row() { added(list_tanks, add_fuel_tank(design, editor_tank_mass)); }
void delete_tank_row() { delete_fuel_tank(design, cur(list_tanks)); }
void add_selected_group() {
  if (selection.object != 0 || !current_component_groups()) {
    show_message("Pick a mesh group of the vessel in the preview, and a component in the animation editor, first.");
    return;
  }
  add_component_group(design, cur(list_animations), pages.current_comp, selection.group);
}
void remove_group_row() { remove_component_group(design, cur(list_animations), pages.current_comp, cur(list_groups)); }
void default_rcs() {
  add_default_rcs(design, pages.add_thrust, pages.add_isp);
  changed(list_thrusters);
}
void play() { play_animation(design, cur(list_animations)); }
void stop() { stop_animation(design, cur(list_animations)); }
void comp_scroll(int by) {
  const anim_entry* a = current_animation();
  const int count = a ? int(a->comps.size()) : 0;
  pages.comp_first = std::clamp(pages.comp_first + by, 0, std::max(count - 6, 0));
}
void set_default() { set_default_position(design, cur(list_animations)); }
void airfoil_animation() {
  if (!page(page_animations).visible) {
    show_message("Open \"Animations\" and choose the animation first.");
    return;
  }
  set_aero_animation(design, cur(list_airfoils), cur(list_animations));
}
void thruster_tank_from_list() { assign_thruster_tank(design, cur(list_thrusters), cur(list_tanks)); }
void vc_camera_to_current() {
  vec3 offset{};
  if (!scene_camera_offset(offset)) {
    show_message("There is no preview camera to take the position from.");
    return;
  }
  set_vc_camera(design, offset);
  scene_vc_camera_place(offset);
}
void vc_view() {
  scene_vc_camera_switch();
  show_page(page_vc_config);
}
void unavailable_page() {
  show_message("Instrument panels and the vessel's location are not designed here: "
               "the add-on uses the simulator's standard panels and scenario places.");
}
void close_window(gg_btnrec& b) {
  const int p = int(b.window - pages.windows);
  if (p < 0 || p >= page_count) return;
  hide_page(page_id(p));
  const int l = p - page_animations;
  if (l >= 0 && l < list_count && list_defs[l].marker >= 0) scene_markers_clear(list_defs[l].marker);
}
// "Copy" and "Mirror" of a list window or of "Edit thruster": the current element again, or its mirror image.
void duplicate_row(const gg_btnrec& b) {
  const int p = int(b.window - pages.windows);
  const int l = p == page_edit_thruster ? int(list_thrusters) : p - page_animations;
  if (l < 0 || l >= list_count || list_defs[l].marker < 0) return;
  added(l, duplicate_element(design, list_defs[l].marker, cur(l), b.tag == tag_mirror));
  if (l == list_thrusters) changed(list_exhausts);        // with copies of its exhausts
}
void confirm_yes() {
  hide_page(page_confirm);
  command_yes();
}
void confirm_blank() {
  hide_page(page_confirm);
  command_blank();
}

// "Yes" and "No" share the question window in halves; New's question has "Blank" between them.
void lay_out_answers(bool blank) {
  const int w = win(page_confirm).width, third = w / 3;
  gg_btnrec& yes = gui.buttons[size_t(built.confirm_yes)];
  gg_btnrec& mid = gui.buttons[size_t(built.confirm_blank)];
  gg_btnrec& no = gui.buttons[size_t(built.confirm_no)];
  mid.visible = blank;
  yes.width = (blank ? third : w / 2) - 4;
  mid.x = third;
  mid.width = third - 4;
  no.x = blank ? 2 * third : w / 2;
  no.width = (blank ? w - 2 * third : w / 2) - 4;
}

struct action { int tag; void (*run)(); };
const action actions[] = {
  {0, command_exit}, {1, command_new}, {3, command_load}, {4, command_save}, {5, command_generate},
  {6, command_run}, {7, [] { show_page(page_vessel_data); }}, {13, [] { show_page(page_general); }},
  {19, [] { show_page(page_options); }}, {21, [] { show_page(page_controls); }}, {10, vc_view},
  {9, unavailable_page}, {20, unavailable_page}, {24, [] { show_page(page_help); }},
  {30, command_cancel_mesh}, {31, command_select_mesh}, {32, vc_camera_to_current}, {33, command_other_mesh},
  {51, play}, {52, stop}, {53, [] { comp_scroll(1); }}, {54, [] { comp_scroll(-1); }}, {55, set_default},
  {60, add_animation_row}, {61, delete_animation_row}, {62, open_animation_editor},
  {65, command_browse_meshes}, {66, delete_mesh_row}, {67, [] { show_page(page_edit_mesh); }},
  {70, add_beacon_row}, {71, delete_beacon_row}, {72, [] { show_page(page_edit_beacon); }},
  {75, add_dock_row}, {76, delete_dock_row},
  {80, add_thruster_row}, {81, delete_thruster_row}, {82, [] { show_page(page_edit_thruster); }},
  {85, add_exhaust_row}, {86, delete_exhaust_row}, {87, [] { show_page(page_edit_exhaust); }},
  {90, add_touchdown_row}, {91, delete_touchdown_row}, {92, gear_animation},
  {95, add_airfoil_row}, {96, delete_airfoil_row}, {97, [] { show_page(page_edit_airfoil); }},
  {100, add_tank_row}, {101, delete_tank_row}, {105, add_selected_group}, {106, remove_group_row},
  {218, airfoil_animation}, {501, thruster_tank_from_list}, {583, default_rcs},
  {-3, confirm_yes}, {tag_blank, confirm_blank}, {-4, [] { hide_page(page_confirm); }}, {tag_message_ok, [] { hide_page(page_message); }},
  {tag_undo, [] { undo_step(); }}, {tag_redo, [] { redo_step(); }}, {tag_checks, open_checks},
  {tag_checks_down, [] { checks_scroll(1); }}, {tag_checks_up, [] { checks_scroll(-1); }},
};

// Scroll buttons and list openers come from the list tables.
bool list_button(int tag) {
  for (const auto& [opener, l] : list_openers)
    if (opener == tag) {
      open_list(l);
      return true;
    }
  for (int l = 0; l < list_count; ++l) {
    if (tag == list_defs[l].tags[3]) scroll(l, 1);
    else if (tag == list_defs[l].tags[4]) scroll(l, -1);
    else continue;
    return true;
  }
  return false;
}

// --- Checkboxes --------------------------------------------------------------------------------------

const aero_def* current_airfoil() { return static_cast<const aero_def*>(current_element(list_airfoils)); }

// Whether the checkbox of a tag shows as checked for the current design.
bool checkbox_state(int tag) {
  const thruster_def* t = static_cast<const thruster_def*>(current_element(list_thrusters));
  const aero_def* a = current_airfoil();
  const beacon_def* b = static_cast<const beacon_def*>(current_element(list_beacons));
  const exhaust_def* e = static_cast<const exhaust_def*>(current_element(list_exhausts));
  const mesh_entry* m = static_cast<const mesh_entry*>(current_element(list_meshes));
  if (tag >= 1 && tag <= 3) return design_flag_set(design, design_flag(tag));
  if (tag == 501) return design_flag_set(design, flag_needs_pilot);
  if (tag >= 101 && tag <= 115) return t && thruster_in_group(design, cur(list_thrusters), tag - 101);
  if (tag >= 201 && tag <= 203) return a && a->type == tag - 201;
  if (tag >= 204 && tag <= 205) return a && a->type == aero_lift && a->kind == tag - 204;
  if (tag >= 209 && tag <= 213) return a && a->type == aero_control && a->kind == tag - 209;
  if (tag == 301) return e && e->mode == exhaust_free;
  if (tag >= 401 && tag <= 403) return b && b->shape == uint32_t(tag - 401);
  if (tag >= 601 && tag <= 604) return m && (m->visibility & visibility_bits[tag - 601]);
  return false;
}

void toggle_mesh_bit(int bit, bool on) {
  const mesh_entry* m = static_cast<const mesh_entry*>(current_element(list_meshes));
  if (m) set_mesh_visibility(design, cur(list_meshes), on ? (m->visibility | bit) : (m->visibility & ~bit));
}

// --- Per-frame binding ------------------------------------------------------------------------------------

void clamp_lists() {
  for (int l = 0; l < list_count; ++l) {
    const int n = list_count_of(l);
    list(l).current = std::clamp(list(l).current, 0, std::max(n - 1, 0));
    list(l).first = std::clamp(list(l).first, 0, std::max(n - list_rows, 0));
  }
  const anim_entry* a = current_animation();
  const int comps = a ? int(a->comps.size()) : 0;
  pages.current_comp = std::clamp(pages.current_comp, 0, std::max(comps - 1, 0));
  pages.comp_first = std::clamp(pages.comp_first, 0, std::max(comps - 6, 0));
}

bool focused(int id) { return gui.focus == id; }

void bind_element_boxes() {
  for (const element_box& eb : built.element_boxes) {
    gg_txtboxrec& t = gui.textboxes[size_t(eb.box)];
    uint8_t* e = static_cast<uint8_t*>(current_element(eb.list));
    t.variable = e ? e + eb.offset : nullptr;
    t.enabled = e != nullptr;
  }
  gg_txtboxrec& crew = gui.textboxes[size_t(built.max_crew_box)];
  crew.variable = design.data.crew.empty() ? nullptr : &design.data.crew[0].max_crew;
  crew.enabled = crew.variable != nullptr;
}

void bind_shown_values() {
  const thruster_def* t = static_cast<const thruster_def*>(current_element(list_thrusters));
  if (t && !focused(id_thruster_tank)) pages.thruster_tank = t->tank;
  const anim_entry* a = current_animation();
  if (a && !focused(id_duration)) pages.duration = a->seq.rate != 0 ? 1.0 / a->seq.rate : 0.0;
  if (a && !focused(id_key)) pages.key_text = key_text(a->seq.key);
  win(page_animation_block).title = "Animation block (" + std::to_string(cur(list_animations) + 1) + ")";
  for (gg_inprec* c : built.checkboxes) c->checked = checkbox_state(c->tag);
  const aero_def* f = current_airfoil();
  auto alpha = [](uint32_t fill, bool opaque) { return (fill & 0x00FFFFFFu) | (opaque ? 0xFF000000u : 0u); };
  built.lift_cover->fill_colour = alpha(built.lift_cover->fill_colour, f && f->type != aero_lift);
  built.control_cover->fill_colour = alpha(built.control_cover->fill_colour, f && f->type != aero_control);
}

}  // namespace

// --- Public ------------------------------------------------------------------------------------------------

gg_wndtype& page(page_id p) { return pages.windows[p]; }
void show_page(page_id p) { gui_show(pages.windows[p]); }
void hide_page(page_id p) { pages.windows[p].visible = false; }

bool close_top_page() {
  static const char* const dismissing[] = {"Close", "Close&Save", "No", "Cancel", "OK", "Exit"};
  const auto dismisses = [](const gg_btnrec& b) {
    return b.visible && b.click && std::any_of(std::begin(dismissing), std::end(dismissing),
                                    [&](const char* c) { return b.caption == c; });
  };
  for (auto it = gui.windows.rbegin(); it != gui.windows.rend(); ++it) {
    gg_wndtype* w = *it;
    const int p = int(w - pages.windows);
    if (!w->visible || p <= page_main || p >= page_count) continue;   // the main menu stays; other windows are not pages
    gui_set_focus(-1);                                                // a box being edited is left as a click elsewhere leaves it
    for (gg_btnrec& b : gui.buttons)
      if (b.window == w && dismisses(b)) {
        b.click(b);
        return true;
      }
    hide_page(page_id(p));
    return true;
  }
  return false;
}

void ask(int action, const std::string& question) {
  lay_out_answers(action == confirm_reset);
  pages.confirm = action;
  pages.question = question;
  show_page(page_confirm);
}

void show_message(const std::string& text) {
  pages.message = text;
  show_page(page_message);
}

int list_count_of(int l) {
  const vrkdll_data& a = design.data;
  const size_t counts[list_count] = {a.anim_seqs.size(), a.meshes.size(), a.beacons.size(), a.docks.size(),
                                     a.thrusters.size(), a.exhausts.size(), a.touchdown_sets.size(),
                                     a.aero_elements.size(), a.fuel_tanks.size(), 0};
  if (l == list_groups) {
    const aointeger* g = current_component_groups();
    return g ? int(g->size()) : 0;
  }
  return l >= 0 && l < list_count ? int(counts[l]) : 0;
}

int list_marker(int l) { return l >= 0 && l < list_count ? list_defs[l].marker : -1; }

void pages_build(int screen_w, int screen_h) {
  pages.screen_w = screen_w;
  pages.screen_h = screen_h;
  built = build_state{};
  for (int p = 0; p < page_count; ++p) {
    const page_def& d = page_defs[p];
    gui_window(pages.windows[p], d.x.of(screen_w), d.y.of(screen_h), d.width.of(screen_w), d.height.of(screen_h),
               p == page_main, d.title);
  }
  for (int l = 0; l < list_count; ++l) {
    pages.windows[list_page(l)].draw = list_draw;
    pages.windows[list_page(l)].mouse = list_mouse;
  }
  const std::tuple<page_id, gg_drawproc, gg_mouseproc> procs[] = {
    {page_confirm, draw_confirm, nullptr}, {page_message, draw_message, nullptr},
    {page_controls, selection_draw, nullptr}, {page_vessel_data, vessel_data_draw, nullptr},
    {page_animation_block, anim_editor_draw, anim_editor_mouse}, {page_browser, browser_draw, browser_mouse},
    {page_mesh_view, mesh_view_draw, nullptr}, {page_checks, checks_draw, nullptr}};
  for (const auto& [p, draw, mouse] : procs) {
    pages.windows[p].draw = draw;
    pages.windows[p].mouse = mouse;
  }
  pages.windows[page_browser].fixed = true;
  build_main_menu();
  build_general();
  build_lists();
  build_edit_thruster();
  build_edit_airfoil();
  build_animation_block();
  build_small_pages();
  build_edit_beacon();
  build_edit_exhaust();
  build_edit_mesh();
  build_help();
  pages_frame();
}

void pages_frame() {
  lists_frame();
  clamp_lists();
  bind_element_boxes();
  bind_shown_values();
}

void pages_click(gg_btnrec& b) {
  if (b.tag == -2) close_window(b);
  else if (b.tag == tag_copy || b.tag == tag_mirror) duplicate_row(b);
  else if (!list_button(b.tag))
    for (const action& a : actions)
      if (a.tag == b.tag) {
        a.run();
        break;
      }
  handled();
}

void pages_toggle(gg_inprec& c) {
  const int tag = c.tag;
  const bool on = c.checked;
  if (tag >= 1 && tag <= 3) set_design_flag(design, design_flag(tag), on);
  else if (tag == 501) set_design_flag(design, flag_needs_pilot, on);
  else if (tag >= 101 && tag <= 115) {
    if (on) thruster_group_add(design, cur(list_thrusters), tag - 101);
    else thruster_group_remove(design, cur(list_thrusters), tag - 101);
  } else if (tag >= 201 && tag <= 203) {
    set_aero_type(design, cur(list_airfoils), on ? tag - 201 : aero_lift);
    changed(list_airfoils);
  } else if (tag >= 204 && tag <= 213) {
    set_aero_kind(design, cur(list_airfoils), on ? tag - (tag <= 205 ? 204 : 209) : 0);
  } else if (tag == 301) set_exhaust_mode(design, cur(list_exhausts), on ? exhaust_free : exhaust_attached);
  else if (tag >= 401 && tag <= 403) set_beacon_shape(design, cur(list_beacons), uint32_t(tag - 401));
  else if (tag >= 601 && tag <= 604) toggle_mesh_bit(visibility_bits[tag - 601], on);
  handled();
}

void pages_change(gg_txtboxrec& t) {
  const int a = cur(list_animations);
  switch (t.id) {
    case id_sel_x: case id_sel_y: case id_sel_z:
      if (selection.object == 1)
        set_element_point(design, selection.mesh, selection.group, pages.sel[0], pages.sel[1], pages.sel[2]);
      break;
    case id_duration: set_duration(design, a, pages.duration); break;
    case id_key: set_animation_key(design, a, key_code_of(pages.key_text)); break;
    case id_thruster_tank: pages.thruster_tank = set_thruster_tank(design, cur(list_thrusters), pages.thruster_tank); break;
    default: break;                  // the value is already stored
  }
  handled();
}
