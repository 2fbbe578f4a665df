// kvwindows: the editor's pages, their widgets and the widgets' handlers.
#include "editor/kvwindows.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <functional>
#include <tuple>
#include "base/keynames.h"
#include "base/strval.h"
#include "editor/checkspage.h"
#include "editor/filecmds.h"
#include "editor/importcmd.h"
#include "editor/kvlists.h"
#include "editor/meshview.h"
#include "editor/selection.h"
#include "editor/undo.h"

pages_state pages;

namespace {

// --- Window table ----------------------------------------------------------------------------

// Each window's placement rule: x, y, width, height from the screen size
// (anchor 0 none, 1 half the screen, 2 all of it, plus an offset).
struct page_def {
  const char* title;
  gg_rule rule;
};

// In page_id order, the drawing order at the start: later windows lie on top until a page is shown.
const page_def page_defs[page_count] = {
  {"Veltora Corvane", {{2, -502}, {2, -154}, {0, 482}, {0, 134}}},
  {"General parameters", {{1, -250}, {1, -250}, {0, 476}, {0, 500}}},
  {"Animations", {{0, 20}, {1, -150}, {0, 400}, {0, 300}}},
  {"Meshes", {{0, 440}, {1, -150}, {0, 600}, {0, 300}}},
  {"Beacons", {{0, 20}, {2, -220}, {0, 400}, {0, 200}}},
  {"Docks", {{0, 20}, {2, -220}, {0, 400}, {0, 200}}},
  {"Thrusters", {{0, 440}, {2, -220}, {0, 500}, {0, 200}}},
  {"Exhausts", {{0, 440}, {2, -420}, {0, 400}, {0, 200}}},
  {"Touchdown points", {{0, 20}, {2, -220}, {0, 400}, {0, 200}}},
  {"Aerodynamic elements", {{0, 20}, {2, -220}, {0, 400}, {0, 200}}},
  {"Fuel tanks", {{0, 20}, {2, -220}, {0, 400}, {0, 200}}},
  {"Groups in animation component", {{0, 20}, {2, -220}, {0, 400}, {0, 200}}},
  {"Edit thruster", {{0, 20}, {0, 20}, {0, 400}, {0, 250}}},
  {"Edit airfoil", {{0, 20}, {0, 20}, {0, 600}, {0, 250}}},
  {"Animation block (1)", {{0, 50}, {0, 40}, {2, -100}, {0, 200}}},
  {"VC config", {{2, -440}, {2, -292}, {0, 320}, {0, 100}}},
  {"Vessel data", {{2, -460}, {0, 20}, {0, 440}, {0, 400}}},   // the summary, then the thruster groups
  {"3D controls", {{2, -220}, {2, -312}, {0, 200}, {0, 120}}},
  {"Open/Close", {{0, 20}, {0, 20}, {2, -40}, {2, -40}}},
  {"Mesh view", {{1, -320}, {1, -260}, {0, 640}, {0, 520}}},
  {"Options", {{1, -125}, {1, -25}, {0, 500}, {0, 100}}},
  {"Confirm?", {{1, -300}, {1, -25}, {0, 600}, {0, 100}}},
  {"Edit beacon", {{0, 20}, {0, 20}, {0, 400}, {0, 200}}},
  {"Edit exhaust", {{0, 20}, {0, 20}, {0, 400}, {0, 230}}},
  {"Edit mesh", {{0, 20}, {0, 20}, {0, 300}, {0, 100}}},
  {"Help", {{1, -300}, {0, 20}, {0, 600}, {0, 404}}},
  {"Message", {{1, -300}, {1, -50}, {0, 600}, {0, 100}}},
  {"Checks", {{1, -300}, {0, 40}, {0, 600}, {0, 400}}},
  {"Import", {{1, 200}, {1, -236}, {0, 118}, {0, 130}}},          // over "Mesh view"'s right column
  {"Edit dock", {{0, 20}, {0, 20}, {0, 400}, {0, 110}}},
  {"Edit touchdown points", {{0, 20}, {0, 20}, {0, 400}, {0, 110}}},
  {"Edit component", {{0, 50}, {0, 260}, {0, 460}, {0, 180}}},
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
  {{"Add", "Delete", "Edit"}, {75, 76, 77, 78, 79}, point_docks, 3},
  {{"Add", "Delete", "Edit"}, {80, 81, 82, 83, 84}, point_thrusters, 2},
  {{"Add", "Delete", "Edit"}, {85, 86, 87, 88, 89}, point_exhausts, 2},
  {{"Add", "Delete", "Set animation"}, {90, 91, 92, 93, 94}, point_touchdown, 3},
  {{"Add", "Delete", "Edit"}, {95, 96, 97, 98, 99}, point_aero, 1},
  {{"Add", "Delete", nullptr}, {100, 101, 0, 103, 104}, -1, 1},
  {{"Add selected", "Remove", nullptr}, {105, 106, 0, 108, 109}, -1, 1},
};

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
    case list_docks: return element(a.docks, i);
    case list_touchdown: return element(a.touchdown_sets, i);
    default: return nullptr;
  }
}

template <class E> E* current_of(int l) { return static_cast<E*>(current_element(l)); }
const aero_def* current_airfoil() { return current_of<aero_def>(list_airfoils); }

anim_comp* current_component() {
  anim_entry* a = current_animation();
  return a && pages.current_comp < int(a->comps.size()) ? &a->comps[size_t(pages.current_comp)] : nullptr;
}

// --- Button actions ----------------------------------------------------------------------------------

void select_point(int kind, int group) {
  selection.object = 1;
  selection.mesh = kind;
  selection.group = group;
}

// Every handler ends here: the pages follow the design, and reported changes become a step.
void handled() {
  pages_frame();
  undo_checkpoint();
}

// After an add: the new element is current and, where it has markers, selected.
void added(int l, int index) {
  if (index < 0) return;
  list(l).current = index;
  const list_def& d = list_defs[l];
  if (d.marker >= 0) select_point(d.marker, index * d.part);
}

void open_list(int l) {
  list(l) = list_state{};
  show_page(list_page(l));
  if (list_defs[l].marker >= 0) preview.markers_show(design, list_defs[l].marker);
}

void close_page(page_id p) {
  hide_page(p);
  const int l = p - page_animations;
  if (l >= 0 && l < list_count && list_defs[l].marker >= 0) preview.markers_hide(list_defs[l].marker);
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
// A mesh that animation components move goes only after a question, with them.
void delete_mesh_row() {
  const int m = cur(list_meshes), moving = components_on_mesh(design, m);
  if (m >= int(design.data.meshes.size())) return;
  if (moving == 0) {
    delete_mesh(design, m);
    return;
  }
  pages.doomed_mesh = m;
  ask(confirm_delete_mesh, "Mesh " + std::to_string(m + 1) + " is moved by " + std::to_string(moving) +
                               " animation components; delete it and them?");
}
void add_beacon_row() { added(list_beacons, add_beacon(design, editor_beacon())); }
void delete_beacon_row() { delete_beacon(design, cur(list_beacons)); }
void add_dock_row() { added(list_docks, add_dock(design)); }
void delete_dock_row() { delete_dock(design, cur(list_docks)); }
void add_thruster_row() { added(list_thrusters, add_editor_thruster(design, pages.add_thrust, pages.add_isp)); }
void delete_thruster_row() { delete_thruster(design, cur(list_thrusters)); }
void add_exhaust_row() {
  const int t = cur(list_thrusters);
  if (t >= int(design.data.thrusters.size())) {
    show_message("An exhaust belongs to a thruster: add a thruster first.");
    return;
  }
  added(list_exhausts, add_exhaust(design, t, 10.0, 1.0));
}
void delete_exhaust_row() { delete_exhaust(design, cur(list_exhausts)); }
void add_touchdown_row() {
  if (design.data.touchdown_sets.size() >= 2) return;   // two sets at most: gear up and gear down
  added(list_touchdown, add_touchdown_set(design));
}
void delete_touchdown_row() { delete_touchdown_set(design, cur(list_touchdown)); }
void gear_animation() { set_gear_animation(design, cur(list_animations)); }
void add_airfoil_row() { added(list_airfoils, add_aero_element(design)); }
void delete_airfoil_row() { delete_aero_element(design, cur(list_airfoils)); }
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
void default_rcs() { add_default_rcs(design, pages.add_thrust, pages.add_isp); }
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
  if (!preview.camera_offset(offset)) {
    show_message("There is no preview camera to take the position from.");
    return;
  }
  set_vc_camera(design, offset);
  preview.vc_camera_place(offset);
}
void vc_view() {
  preview.vc_camera_switch();
  show_page(page_vc_config);
}
void unavailable_page() {
  show_message("Instrument panels and the vessel's location are not designed here: "
               "the add-on uses the simulator's standard panels and scenario places.");
}
// "Copy" and "Mirror": the current element of list l again, or its mirror image.
void duplicate_row(int l, bool mirror) {
  added(l, duplicate_element(design, list_defs[l].marker, cur(l), mirror));
}
void confirm_yes() {
  hide_page(page_confirm);
  command_yes();
}
void confirm_blank() {
  hide_page(page_confirm);
  command_blank();
}

// --- Widgets and their handlers ---------------------------------------------------------------------

struct build_state {               // written by pages_build only
  std::vector<std::pair<int, int>> element_boxes;   // text box and list: enabled while the list has a current element
  gg_panelrec* lift_cover = nullptr;    // "Edit airfoil" covers
  gg_panelrec* control_cover = nullptr;
  int confirm_yes = -1, confirm_blank = -1, confirm_no = -1; // "Confirm?"'s answers
  std::vector<int> component_boxes;     // "Edit component": enabled while there is a current component
  int angle_box = -1;                   // only for rotations
  gg_labelrec* axis_label = nullptr;    // "Axis", "Shift" or "Scale" by the component's type
  std::vector<int> vc_boxes;            // "VC config": enabled while the design has a VC view
  std::vector<int> controls_boxes;      // "3D controls": enabled while an element's point is selected
} built;

gg_wndtype& win(page_id p) { return pages.windows[p]; }

int button(page_id p, int x, int y, int w, int h, const char* caption, int tag, std::function<void()> action) {
  return gui_button(win(p), x, y, w, h, caption, tag, [action](gg_btnrec&) {
    action();
    handled();
  });
}

// A stored edit is followed like a click.
int textbox(page_id p, int x, int y, int w, int h, gg_binding b, size_t capacity = 0) {
  b.set = [set = std::move(b.set)](const std::string& text) {
    set(text);
    handled();
  };
  return gui_textbox(win(p), x, y, w, h, std::move(b), capacity);
}

void checkbox(page_id p, int x, int y, int tag, std::function<bool()> state, std::function<void(bool)> toggle) {
  gg_inprec& c = gui_checkbox(win(p), x, y, 16, 16, false, tag, [toggle](gg_inprec& box) {
    toggle(box.checked);
    handled();
  });
  c.state = std::move(state);
}

void labelled_checkbox(page_id p, int x, int y, const char* text, int box_x, int tag, std::function<bool()> state,
                       std::function<void(bool)> toggle) {
  gui_label(win(p), x, y, text);
  checkbox(p, box_x, y, tag, std::move(state), std::move(toggle));
}

// "Close" down the right edge, as the lists and edit windows have it.
void side_close(page_id p) {
  const gg_wndtype& w = win(p);
  button(p, w.width - 42, 2, 40, w.height - 4, "Close", -2, [p] { close_page(p); });
}

void bottom_close(page_id p, const char* caption = "Close") {
  const gg_wndtype& w = win(p);
  button(p, 2, w.height - 22, w.width - 4, 20, caption, -2, [p] { close_page(p); });
}

// --- Bindings: what each text box shows and which setter stores it -----------------------------------

int32_t to_int32(const std::string& s) { return int32_t(std::clamp<long long>(text_to_int(s), INT32_MIN, INT32_MAX)); }
double axis_of(const stored_vec3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

gg_binding header_number(double design_header::*f) {
  return bind_number([f] { return design.header.*f; }, [f](double v) { set_header_value(design, f, v); });
}

gg_binding header_integer(int32_t design_header::*f) {
  return bind_integer([f] { return design.header.*f; }, [f](int32_t v) { set_header_value(design, f, v); });
}

gg_binding header_axis(stored_vec3 design_header::*f, int axis) {
  return bind_number([f, axis] { return axis_of(design.header.*f, axis); },
                     [f, axis](double v) { set_header_axis(design, f, axis, v); });
}

gg_binding header_name(char (design_header::*f)[255]) {
  return {[f] { return name_of(design.header.*f, sizeof(design.header.*f)); },
          [f](const std::string& s) { set_header_name(design, f, s); }};
}

// A field of a list's current element: empty while there is none. Store takes only texts valid accepts.
template <class E, class Show, class Store>
gg_binding element_binding(int l, Show show, Store store, std::function<bool(const std::string&)> valid) {
  return {[l, show] {
            const E* e = current_of<E>(l);
            return e ? show(*e) : std::string();
          },
          [l, store](const std::string& s) { store(cur(l), s); }, std::move(valid)};
}

template <class E> gg_binding element_number(int l, double E::*f) {
  return element_binding<E>(l, [f](const E& e) { return decimal_to_text(e.*f); },
                            [f](int i, const std::string& s) { set_element_value(design, i, f, text_to_decimal(s)); },
                            number_text_valid);
}

template <class E> gg_binding element_integer(int l, int32_t E::*f) {
  return element_binding<E>(l, [f](const E& e) { return int_to_text(e.*f); },
                            [f](int i, const std::string& s) { set_element_value(design, i, f, to_int32(s)); },
                            integer_text_valid);
}

template <class E> gg_binding element_axis(int l, stored_vec3 E::*f, int axis) {
  return element_binding<E>(l, [f, axis](const E& e) { return decimal_to_text(axis_of(e.*f, axis)); },
                            [f, axis](int i, const std::string& s) { set_element_axis(design, i, f, axis, text_to_decimal(s)); },
                            number_text_valid);
}

void element_textbox(page_id p, int x, int y, int w, int l, gg_binding b) {
  built.element_boxes.push_back({textbox(p, x, y, w, 16, std::move(b)), l});
}

// --- Building the pages ----------------------------------------------------------------------------

constexpr uint32_t frame_fill = pack_rgba(0, 0, 0, 64);
constexpr uint32_t dim_text = pack_rgba(160, 160, 160, 255);
constexpr uint32_t dim_fill = pack_rgba(80, 80, 80, 210);

struct menu_button { int column, row; const char* caption; int tag; void (*run)(); };
const menu_button menu_buttons[] = {
  {0, 0, "New", 1, command_new}, {0, 1, "Load", 3, command_load}, {0, 2, "Save", 4, command_save},
  {0, 4, "Generate", 5, command_generate}, {0, 5, "Run Veltora", 6, command_run},
  {1, 0, "Parameters", 7, [] { show_page(page_vessel_data); }}, {1, 1, "Lights", 8, [] { open_list(list_beacons); }},
  {1, 2, "Panels", 9, unavailable_page}, {1, 3, "VC", 10, vc_view}, {1, 4, "Docks", 11, [] { open_list(list_docks); }},
  {1, 5, "Touchdown", 12, [] { open_list(list_touchdown); }}, {2, 0, "Main data", 13, [] { show_page(page_general); }},
  {2, 1, "Engines", 14, [] { open_list(list_thrusters); }}, {2, 2, "Meshes", 15, [] { open_list(list_meshes); }},
  {2, 3, "Exhausts", 16, [] { open_list(list_exhausts); }}, {2, 4, "Animations", 17, [] { open_list(list_animations); }},
  {2, 5, "Airfoils", 18, [] { open_list(list_airfoils); }}, {3, 0, "Options", 19, [] { show_page(page_options); }},
  {3, 1, "Location", 20, unavailable_page}, {3, 2, "3D controls", 21, [] { show_page(page_controls); }},
  {3, 5, "Help", 24, [] { show_page(page_help); }},
  {0, 3, "Checks", tag_checks, open_checks}, {3, 3, "Undo", tag_undo, [] { undo_step(); }},
  {3, 4, "Redo", tag_redo, [] { redo_step(); }}};
constexpr int unavailable_tags[] = {9, 20};   // drawn dimmed; a press says why

bool unavailable(int tag) { return std::find(std::begin(unavailable_tags), std::end(unavailable_tags), tag) != std::end(unavailable_tags); }

void build_main_menu() {
  for (int c = 0; c < 4; ++c) gui_panel(win(page_main), false, 1 + 110 * c, 1, 102, 132, gg_outline, frame_fill, false);
  for (const menu_button& m : menu_buttons) {
    const int x = 2 + 110 * m.column, y = 2 + 22 * m.row;
    button(page_main, x, y, 100, 20, m.caption, m.tag, m.run);
    if (unavailable(m.tag)) {
      gg_btnrec& b = gui.buttons.back();
      b.text_colour = dim_text;
      b.fill_colour = b.pressed_colour = dim_fill;
    }
  }
  button(page_main, 440, 2, 40, 130, "Exit", 0, command_exit);
}

enum row_kind { row_number, row_name, row_check, row_label };
struct general_row {               // one row of "General parameters"
  const char* label;
  int column;                      // 0 left, 1 right
  int y;                           // of the label
  row_kind kind;
  gg_binding (*bind)();            // text boxes: what it shows and stores
  design_flag flag;                // checkboxes: the switch
  int tag;                         // checkbox tag
};
gg_binding max_crew() {
  return bind_integer([] { return design.data.crew.empty() ? 0 : design.data.crew[0].max_crew; },
                      [](int32_t v) { set_element_value(design, 0, &crew_def::max_crew, v); });
}
// The rest of a row after its label and place: a text box and its binding, a checkbox, or a label alone.
#define BOX(binding) row_number, [] { return binding; }, design_flag(0), 0
#define NUMBER(f) BOX(header_number(&design_header::f))
#define NAME(f) row_name, [] { return header_name(&design_header::f); }, design_flag(0), 0
#define CHECK(flag, tag) row_check, nullptr, flag, tag
#define LABEL row_label, nullptr, design_flag(0), 0
const general_row general_rows[] = {
  {"Vessel name", 0, 20, NAME(vessel_name)}, {"DLL name", 0, 40, NAME(dll_name)},
  {"Mass, Kg", 0, 60, NUMBER(empty_mass)}, {"Size, m", 0, 80, NUMBER(size)},
  {"Needs pilot", 0, 100, CHECK(flag_needs_pilot, 501)}, {"Max crew", 0, 120, BOX(max_crew())},
  {"Payload manager", 0, 140, CHECK(flag_payload_manager, 1)}, {"Transponder", 0, 160, CHECK(flag_transponder, 2)},
  {"Nav radios", 0, 180, BOX(header_integer(&design_header::nav_radios))}, {"Have VC", 0, 200, CHECK(flag_have_vc, 3)},
  {"PMI", 1, 80, LABEL}, {"Cross section", 1, 140, LABEL}, {"Rotation drag", 1, 200, LABEL},
  {"Roll friction", 1, 240, NUMBER(roll_friction)}, {"Side friction", 1, 260, NUMBER(side_friction)},
  {"GravGrad Damp", 1, 280, NUMBER(gravgrad_damp)}, {"Mx brake force", 1, 300, NUMBER(max_wheelbrake)},
  {"Wing aspect", 1, 320, NUMBER(wing_aspect)}, {"Wing eff-cy", 1, 340, NUMBER(wing_effectiveness)},
  {"CW Z+", 1, 360, NUMBER(cw_z_pos)}, {"CW Z-", 1, 380, NUMBER(cw_z_neg)},
  {"CW X", 1, 400, NUMBER(cw_x)}, {"CW Y", 1, 420, NUMBER(cw_y)},
};
#undef BOX
#undef NUMBER
#undef NAME
#undef CHECK
#undef LABEL
constexpr stored_vec3 design_header::*vector_fields[] = {&design_header::pmi, &design_header::cross_sections,
                                                          &design_header::rot_drag}; // right column, from y 60 in steps of 60

void build_general() {
  const page_id p = page_general;
  gui_panel(win(p), false, 4, 16, 380, 207, gg_outline, frame_fill, false);
  gui_panel(win(p), false, 92, 234, 380, 217, gg_outline, frame_fill, false);
  for (const general_row& r : general_rows) {
    gui_label(win(p), r.column ? 250 : 10, r.y, r.label);
    const int x = r.column ? 370 : 120;
    const design_flag flag = r.flag;
    if (r.kind == row_check)
      checkbox(p, 198, r.y, r.tag, [flag] { return design_flag_set(design, flag); },
               [flag](bool on) { set_design_flag(design, flag, on); });
    else if (r.kind == row_name) textbox(p, x, r.y, 350, 16, r.bind(), design_name_capacity + 1);
    else if (r.kind == row_number) textbox(p, x, r.y, 100, 16, r.bind());
  }
  for (int v = 0; v < 3; ++v)
    for (int c = 0; c < 3; ++c) textbox(p, 370, 60 + 60 * v + 20 * c, 100, 16, header_axis(vector_fields[v], c));
  button(p, 10, 220, 205, 18, "Set VC camera to current", 32, vc_camera_to_current);
  bottom_close(p, "Close&Save");
}

// What the buttons at y 2, 24 and 46 of each list do, in list order.
using list_action = void (*)();
const list_action list_actions[list_count][3] = {
  {add_animation_row, delete_animation_row, open_animation_editor},
  {command_browse_meshes, delete_mesh_row, [] { show_page(page_edit_mesh); }},
  {add_beacon_row, delete_beacon_row, [] { show_page(page_edit_beacon); }},
  {add_dock_row, delete_dock_row, [] { show_page(page_edit_dock); }},
  {add_thruster_row, delete_thruster_row, [] { show_page(page_edit_thruster); }},
  {add_exhaust_row, delete_exhaust_row, [] { show_page(page_edit_exhaust); }},
  {add_touchdown_row, delete_touchdown_row, gear_animation},
  {add_airfoil_row, delete_airfoil_row, [] { show_page(page_edit_airfoil); }},
  {add_tank_row, delete_tank_row, nullptr},
  {add_selected_group, remove_group_row, nullptr},
};

void copy_and_mirror(page_id p, int x, int y, int w, int h, int l) {
  button(p, x, y, w, h, "Copy", tag_copy, [l] { duplicate_row(l, false); });
  button(p, x, y + h + 2, w, h, "Mirror", tag_mirror, [l] { duplicate_row(l, true); });
}

void build_lists() {
  for (int l = 0; l < list_count; ++l) {
    const page_id p = list_page(l);
    const list_def& d = list_defs[l];
    const gg_wndtype& w = win(p);
    side_close(p);
    for (int b = 0; b < 3; ++b)
      if (d.captions[b]) button(p, 2, 2 + 22 * b, 100, 20, d.captions[b], d.tags[b], list_actions[l][b]);
    button(p, w.width - 64, w.height - 22, 20, 20, "v", d.tags[3], [l] { scroll(l, 1); });
    button(p, w.width - 64, 2, 20, 20, "^", d.tags[4], [l] { scroll(l, -1); });
  }
  for (int l : {list_beacons, list_docks, list_touchdown, list_airfoils}) copy_and_mirror(list_page(l), 2, 68, 100, 20, l);
  button(page_touchdown, 2, 112, 100, 20, "Edit", tag_edit_touchdown, [] { show_page(page_edit_touchdown); });
  button(page_thrusters, 2, 68, 100, 20, "Propellant", 582, [] { open_list(list_tanks); });
  button(page_thrusters, 2, 90, 100, 20, "Default RCS", 583, default_rcs);
  gui_label(win(page_thrusters), 2, 114, "Add Thrust:");
  textbox(page_thrusters, 8, 134, 90, 16, bind_variable(pages.add_thrust));
  gui_label(win(page_thrusters), 2, 158, "Add ISP:");
  textbox(page_thrusters, 8, 178, 90, 16, bind_variable(pages.add_isp));
  gui_label(win(page_tanks), 2, 46, "Mass, kg:");
  element_textbox(page_tanks, 8, 68, 90, list_tanks, element_number(list_tanks, &fuel_tank::max_mass));
}

bool current_thruster_in(int group) { return thruster_in_group(design, cur(list_thrusters), group); }

void build_edit_thruster() {
  const page_id p = page_edit_thruster;
  side_close(p);
  gui_label(win(p), 10, 20, "Thrust");
  element_textbox(p, 100, 20, 120, list_thrusters, element_number(list_thrusters, &thruster_def::max_thrust));
  gui_label(win(p), 10, 40, "ISP");
  element_textbox(p, 100, 40, 120, list_thrusters, element_number(list_thrusters, &thruster_def::isp));
  gui_label(win(p), 10, 60, "Fuel tank");
  // a tank that does not exist is stored, and shown back, as 0
  element_textbox(p, 100, 60, 120, list_thrusters,
                  element_binding<thruster_def>(list_thrusters, [](const thruster_def& t) { return int_to_text(t.tank); },
                                                [](int i, const std::string& s) { set_thruster_tank(design, i, to_int32(s)); },
                                                integer_text_valid));
  button(p, 230, 60, 120, 20, "Set current", 501, thruster_tank_from_list);
  copy_and_mirror(p, 230, 18, 120, 18, list_thrusters);   // the thruster list has no room left for them
  gui_label(win(p), 10, 100, "Groups");
  for (int g = 0; g < thruster_group_id_count; ++g)
    labelled_checkbox(p, 10 + 100 * (g / 5), 120 + 20 * (g % 5), thruster_group_names[g], 88 + 100 * (g / 5), 101 + g,
                      [g] { return current_thruster_in(g); }, [g](bool on) {
                        if (on) thruster_group_add(design, cur(list_thrusters), g);
                        else thruster_group_remove(design, cur(list_thrusters), g);
                      });
}

// An airfoil box that stands for type (kind -1) or for a kind of a type: checked when the
// current airfoil is that; checking makes it so, unchecking goes back to lift or kind 0.
void airfoil_box(page_id p, int x, int y, const char* label, int box_x, int tag, int type, int kind) {
  labelled_checkbox(p, x, y, label, box_x, tag, [type, kind] {
    const aero_def* a = current_airfoil();
    return a && a->type == type && (kind < 0 || a->kind == kind);
  }, [type, kind](bool on) {
    if (kind < 0) set_aero_type(design, cur(list_airfoils), on ? type : aero_lift);
    else set_aero_kind(design, cur(list_airfoils), on ? kind : 0);
  });
}

void build_edit_airfoil() {
  const page_id p = page_edit_airfoil;
  gg_wndtype& w = win(p);
  gui_panel(w, false, 4, 100, 252, 142, gg_outline, frame_fill, false);
  gui_panel(w, false, 264, 1, 252, 202, gg_outline, frame_fill, false);
  side_close(p);
  gui_label(w, 5, 2, "Type:");
  const char* types[] = {"Lift", "Control", "Variable drag"};
  for (int t = 0; t < 3; ++t) airfoil_box(p, 5, 22 + 20 * t, types[t], 128, 201 + t, t, -1);
  airfoil_box(p, 5, 142, "Vertical", 128, 204, aero_lift, 0);
  airfoil_box(p, 5, 162, "Horizontal", 128, 205, aero_lift, 1);
  gui_label(w, 5, 102, "Lift:");
  gui_label(w, 5, 122, "Kind:");
  const std::pair<const char*, double aero_def::*> lift_boxes[] = {
    {"Chord length", &aero_def::chord}, {"Wing area", &aero_def::area}, {"Wing aspect", &aero_def::aspect}};
  for (int i = 0; i < 3; ++i) {
    gui_label(w, 5, 182 + 20 * i, lift_boxes[i].first);
    element_textbox(p, 128, 182 + 20 * i, 120, list_airfoils, element_number(list_airfoils, lift_boxes[i].second));
  }
  gui_label(w, 265, 2, "Control:");
  gui_label(w, 265, 22, "Kind:");
  const std::pair<const char*, int> kinds[] = {{"Elevator", 0}, {"Rudder", 1}, {"Aileron", 2}, {"Elev. trim", 4}};
  for (int i = 0; i < 4; ++i) airfoil_box(p, 265, 42 + 20 * i, kinds[i].first, 388, 209 + kinds[i].second, aero_control, kinds[i].second);
  const std::pair<const char*, gg_binding> control_boxes[] = {
    {"Area", element_number(list_airfoils, &aero_def::area)}, {"Shift", element_number(list_airfoils, &aero_def::chord)},
    {"Animation", element_integer(list_airfoils, &aero_def::anim)}};
  for (int i = 0; i < 3; ++i) {
    gui_label(w, 265, 122 + 20 * i, control_boxes[i].first);
    element_textbox(p, 388, 122 + 20 * i, 120, list_airfoils, control_boxes[i].second);
  }
  button(p, 269, 182, 110, 18, "Set animation", 218, airfoil_animation);
  built.lift_cover = &gui_panel(w, false, 4, 100, 252, 142, gg_outline, pack_rgba(0, 64, 0, 0), true);
  built.control_cover = &gui_panel(w, false, 264, 1, 252, 202, gg_outline, pack_rgba(0, 0, 64, 0), true);
}

void build_animation_block() {
  const page_id p = page_animation_block;
  const gg_wndtype& w = win(p);
  side_close(p);
  button(p, 2, w.height - 20, 100, 18, "Play |>", 51, play);
  button(p, 112, w.height - 20, 100, 18, "Stop |=|", 52, stop);
  button(p, w.width - 214, w.height - 42, 20, 20, "v", 53, [] { comp_scroll(1); });
  button(p, w.width - 214, 2, 20, 20, "^", 54, [] { comp_scroll(-1); });
  gui_label(win(p), w.width - 185, 4, "Duration, sec");
  textbox(p, w.width - 185, 24, 140, 18, {[] {
            const anim_entry* a = current_animation();
            return a ? decimal_to_text(a->seq.rate != 0 ? 1.0 / a->seq.rate : 0.0) : std::string();
          }, [](const std::string& s) { set_duration(design, cur(list_animations), text_to_decimal(s)); }});
  gui_label(win(p), w.width - 185, 44, "Key");
  textbox(p, w.width - 150, 44, 105, 18, {[] {
            const anim_entry* a = current_animation();
            return a ? key_text(a->seq.key) : std::string();
          }, [](const std::string& s) { set_animation_key(design, cur(list_animations), key_code_of(s)); },
          [](const std::string& s) { return key_code_of(s) >= 0; }});
  button(p, w.width - 185, 64, 120, 20, "Set default", 55, set_default);
}

// The "3D controls" coordinates: an edit writes all three into the selected element's vector.
gg_binding selection_axis(int axis) {
  return bind_number([axis] { return pages.sel[axis]; }, [axis](double v) {
    pages.sel[axis] = v;
    if (selection.object == 1)
      set_element_point(design, selection.mesh, selection.group, pages.sel[0], pages.sel[1], pages.sel[2]);
  });
}

void build_small_pages() {
  side_close(page_controls);
  const char* axes[] = {"X=", "Y=", "Z="};
  for (int i = 0; i < 3; ++i) {
    gui_label(win(page_controls), 1, 51 + 20 * i, axes[i]);
    built.controls_boxes.push_back(textbox(page_controls, 25, 50 + 20 * i, 80, 16, selection_axis(i)));
  }
  bottom_close(page_vessel_data);
  button(page_vessel_data, win(page_vessel_data).width - 102, 2, 100, 18, "Checks", tag_checks, open_checks);
  const gg_wndtype& ck = win(page_checks);
  side_close(page_checks);
  button(page_checks, ck.width - 64, 2, 20, 20, "^", tag_checks_up, [] { checks_scroll(-1); });
  button(page_checks, ck.width - 64, ck.height - 22, 20, 20, "v", tag_checks_down, [] { checks_scroll(1); });
  bottom_close(page_vc_config);
  bottom_close(page_options);
  gui_label(win(page_options), 2, 10, "Author name");
  textbox(page_options, 12, 25, 490, 16, bind_variable(settings.author_name));
  const gg_wndtype& mv = win(page_mesh_view);
  button(page_mesh_view, mv.width - 120, mv.height - 24, 118, 20, "Cancel", 30, command_cancel_mesh);
  button(page_mesh_view, mv.width - 120, mv.height - 46, 118, 20, "Select", 31, command_select_mesh);
  const gg_wndtype& oc = win(page_browser);
  button(page_browser, oc.width - 42, 2, 40, oc.height / 2 - 4, "Other", 33, command_other_mesh);
  button(page_browser, oc.width - 42, oc.height / 2 - 2, 40, oc.height / 2 - 4, "Exit", -2, [] { close_page(page_browser); });
  button(page_browser, oc.width - 128, oc.height - 26, 82, 22, "Import...", tag_import, command_import_model);
  gui_label(win(page_import), 4, 6, "Scale");
  textbox(page_import, 4, 22, 108, 16, bind_variable(import_window.scale));
  gui_label(win(page_import), 4, 44, "Axes (+x+y-z)");
  textbox(page_import, 4, 60, 108, 16, bind_variable(import_window.axes));
  button(page_import, 4, 84, 108, 20, "Apply", tag_import_apply, import_apply);
  const gg_wndtype& c = win(page_confirm);
  built.confirm_yes = button(page_confirm, 2, 40, c.width / 2 - 4, c.height - 44, "Yes", -3, confirm_yes);
  built.confirm_blank = button(page_confirm, 0, 40, 0, c.height - 44, "Blank", tag_blank, confirm_blank);
  built.confirm_no = button(page_confirm, c.width / 2, 40, c.width / 2 - 4, c.height - 44, "No", -4,
                            [] { hide_page(page_confirm); });
  gui.buttons[size_t(built.confirm_blank)].visible = false;
  const gg_wndtype& m = win(page_message);
  button(page_message, m.width / 2 - 50, m.height - 24, 100, 20, "OK", tag_message_ok, [] { hide_page(page_message); });
}

void build_edit_beacon() {
  const page_id p = page_edit_beacon;
  side_close(p);
  const std::pair<const char*, double beacon_def::*> fields[] = {
    {"Size", &beacon_def::size}, {"Falloff", &beacon_def::falloff}, {"Period", &beacon_def::period},
    {"Duration", &beacon_def::duration}, {"Offset", &beacon_def::tofs}};
  for (int i = 0; i < 5; ++i) {
    gui_label(win(p), 10, 10 + 20 * i, fields[i].first);
    element_textbox(p, 100, 10 + 20 * i, 100, list_beacons, element_number(list_beacons, fields[i].second));
  }
  const char* colours[] = {"Red", "Green", "Blue"};
  for (int c = 0; c < 3; ++c) {
    gui_label(win(p), 10, 110 + 20 * c, colours[c]);
    element_textbox(p, 100, 110 + 20 * c, 100, list_beacons, element_axis(list_beacons, &beacon_def::col, c));
  }
  gui_label(win(p), 230, 10, "Shape:");
  const char* shapes[] = {"Compact", "Diffuse", "Star"};
  for (uint32_t s = 0; s < 3; ++s)
    labelled_checkbox(p, 254, 30 + 20 * int(s), shapes[s], 230, 401 + int(s), [s] {
      const beacon_def* b = current_of<beacon_def>(list_beacons);
      return b && b->shape == s;
    }, [s](bool) { set_beacon_shape(design, cur(list_beacons), s); });
  labelled_checkbox(p, 254, 100, "On", 230, 404, [] {
    const beacon_def* b = current_of<beacon_def>(list_beacons);
    return b && b->active != 0;
  }, [](bool on) { set_beacon_active(design, cur(list_beacons), on); });
}

void build_edit_exhaust() {
  const page_id p = page_edit_exhaust;
  side_close(p);
  gui_label(win(p), 10, 10, "Length");
  element_textbox(p, 100, 10, 100, list_exhausts, element_number(list_exhausts, &exhaust_def::length));
  gui_label(win(p), 10, 30, "Width");
  element_textbox(p, 100, 30, 100, list_exhausts, element_number(list_exhausts, &exhaust_def::width));
  // the thruster it belongs to, numbered as the fuel tank is; a number no thruster has is refused
  gui_label(win(p), 220, 10, "Thruster");
  element_textbox(p, 290, 10, 60, list_exhausts,
                  element_binding<exhaust_def>(list_exhausts, [](const exhaust_def& e) { return int_to_text(e.thruster); },
                                               [](int i, const std::string& s) { set_exhaust_thruster(design, i, to_int32(s)); },
                                               [](const std::string& s) {
                                                 const int32_t t = to_int32(s);
                                                 return integer_text_valid(s) && t >= 0 && t < int32_t(design.data.thrusters.size());
                                               }));
  button(p, 220, 30, 130, 20, "Set current", 302,
         [] { set_exhaust_thruster(design, cur(list_exhausts), cur(list_thrusters)); });
  labelled_checkbox(p, 30, 54, "Own position and direction", 10, 301, [] {
    const exhaust_def* e = current_of<exhaust_def>(list_exhausts);
    return e && e->mode == exhaust_free;
  }, [](bool on) { set_exhaust_mode(design, cur(list_exhausts), on ? exhaust_free : exhaust_attached); });
  const char* names[] = {"Pos X", "Pos Y", "Pos Z", "Dir X", "Dir Y", "Dir Z"};
  for (int i = 0; i < 6; ++i) {
    gui_label(win(p), 10, 80 + 20 * i, names[i]);
    element_textbox(p, 100, 80 + 20 * i, 100, list_exhausts,
                    element_axis(list_exhausts, i < 3 ? &exhaust_def::pos : &exhaust_def::dir, i % 3));
  }
}

// Rows of three coordinates: a label, then X, Y and Z boxes under their heads.
void vector_rows(page_id p, const std::vector<std::pair<const char*, std::function<gg_binding(int axis)>>>& rows,
                 int list) {
  const char* heads[] = {"X", "Y", "Z"};
  for (int a = 0; a < 3; ++a) gui_label(win(p), 126 + 80 * a, 4, heads[a]);
  for (size_t r = 0; r < rows.size(); ++r) {
    const int y = 24 + 20 * int(r);
    gui_label(win(p), 10, y, rows[r].first);
    for (int a = 0; a < 3; ++a) {
      const int box = textbox(p, 100 + 80 * a, y, 72, 16, rows[r].second(a));   // clear of "Close"
      built.element_boxes.push_back({box, list});
    }
  }
}

void build_edit_points() {
  side_close(page_edit_dock);
  vector_rows(page_edit_dock, {{"Position", [](int a) { return element_axis(list_docks, &dock_def::pos, a); }},
                               {"Direction", [](int a) { return element_axis(list_docks, &dock_def::dir, a); }},
                               {"Rotation", [](int a) { return element_axis(list_docks, &dock_def::rot, a); }}},
              list_docks);
  side_close(page_edit_touchdown);
  vector_rows(page_edit_touchdown,
              {{"Front", [](int a) { return element_axis(list_touchdown, &touchdown_set::pt1, a); }},
               {"Rear left", [](int a) { return element_axis(list_touchdown, &touchdown_set::pt2, a); }},
               {"Rear right", [](int a) { return element_axis(list_touchdown, &touchdown_set::pt3, a); }}},
              list_touchdown);
}

// "VC config": the position and direction of one VC view, chosen by its number.
gg_binding vc_view_axis(stored_vec3 vc_view::*f, int axis) {
  return {[f, axis] {
            const int v = pages.vc_view;
            return v < int(design.data.vc_views.size()) ? decimal_to_text(axis_of(design.data.vc_views[size_t(v)].view.*f, axis))
                                                        : std::string();
          },
          [f, axis](const std::string& s) { set_vc_view_axis(design, pages.vc_view, f, axis, text_to_decimal(s)); },
          number_text_valid};
}

void build_vc_config() {
  const page_id p = page_vc_config;
  gui_label(win(p), 10, 4, "View");
  built.vc_boxes.push_back(textbox(p, 60, 4, 40, 16, bind_integer([] { return int32_t(pages.vc_view + 1); }, [](int32_t v) {
    pages.vc_view = std::clamp(int(v) - 1, 0, std::max(int(design.data.vc_views.size()) - 1, 0));
  })));
  const std::pair<const char*, stored_vec3 vc_view::*> rows[] = {{"Position", &vc_view::cam_pos}, {"Direction", &vc_view::cam_dir}};
  for (int r = 0; r < 2; ++r) {
    gui_label(win(p), 10, 28 + 20 * r, rows[r].first);
    for (int a = 0; a < 3; ++a) built.vc_boxes.push_back(textbox(p, 100 + 70 * a, 28 + 20 * r, 60, 16, vc_view_axis(rows[r].second, a)));
  }
}

// "Edit component": every field of the current animation's current component.
void change_component(const std::function<void(anim_comp&)>& change) {
  const anim_comp* c = current_component();
  if (!c) return;
  anim_comp changed = *c;
  change(changed);
  update_component(design, cur(list_animations), pages.current_comp, changed);
}

gg_binding component_number(std::function<double(const anim_comp&)> get, std::function<void(anim_comp&, double)> put) {
  return {[get] {
            const anim_comp* c = current_component();
            return c ? decimal_to_text(get(*c)) : std::string();
          },
          [put](const std::string& s) { change_component([&](anim_comp& c) { put(c, text_to_decimal(s)); }); },
          number_text_valid};
}

gg_binding component_axis(stored_vec3 anim_comp::*f, int axis) {
  return component_number([f, axis](const anim_comp& c) { return axis_of(c.*f, axis); },
                          [f, axis](anim_comp& c, double v) { (axis == 0 ? (c.*f).x : axis == 1 ? (c.*f).y : (c.*f).z) = v; });
}

// The range's ends go through the range setter, which keeps start <= end within 0..1.
gg_binding component_end(bool end) {
  gg_binding b = component_number([end](const anim_comp& c) { return end ? c.state1 : c.state0; }, nullptr);
  b.set = [end](const std::string& s) {
    const anim_comp* c = current_component();
    const double v = text_to_decimal(s);
    if (c) set_component_range(design, cur(list_animations), pages.current_comp, end ? c->state0 : v, end ? v : c->state1);
  };
  return b;
}

constexpr double degrees_per_radian = 57.29577951308232;
constexpr const char* axis_labels[] = {"Axis", "Shift", "Scale"};   // by component type

void build_edit_component() {
  const page_id p = page_edit_component;
  side_close(p);
  gui_label(win(p), 10, 6, "Type:");
  const char* types[] = {"Rotation", "Translation", "Scaling"};
  for (int t = 0; t < 3; ++t)
    labelled_checkbox(p, 80 + 110 * t, 6, types[t], 170 + 110 * t - 8 * (t == 0), 701 + t, [t] {
      const anim_comp* c = current_component();
      return c && c->type == t;
    }, [t](bool) { change_component([t](anim_comp& c) { c.type = t; }); });
  gui_label(win(p), 10, 30, "Mesh");
  built.component_boxes.push_back(textbox(p, 100, 30, 60, 16, {[] {
    const anim_comp* c = current_component();
    return c ? int_to_text(c->mesh + 1) : std::string();
  }, [](const std::string& s) {
    const long long m = text_to_int(s) - 1;
    if (m >= 0 && m < (long long)design.data.meshes.size()) change_component([m](anim_comp& c) { c.mesh = int32_t(m); });
  }, integer_text_valid}));
  button(p, 190, 28, 120, 20, "Groups", tag_component_groups, [] {
    pages.lists[list_groups] = list_state{};
    show_page(page_groups);
  });
  gui_label(win(p), 10, 54, "Reference");
  built.axis_label = &gui_label(win(p), 10, 74, axis_labels[0]);
  for (int r = 0; r < 2; ++r)
    for (int a = 0; a < 3; ++a)
      built.component_boxes.push_back(
          textbox(p, 100 + 90 * a, 54 + 20 * r, 80, 16, component_axis(r == 0 ? &anim_comp::ref : &anim_comp::axis, a)));
  gui_label(win(p), 10, 98, "Angle, deg");
  built.angle_box = textbox(p, 100, 98, 80, 16, component_number([](const anim_comp& c) { return c.angle * degrees_per_radian; },
                                                                 [](anim_comp& c, double v) { c.angle = float(v / degrees_per_radian); }));
  gui_label(win(p), 10, 122, "Start");
  built.component_boxes.push_back(textbox(p, 100, 122, 80, 16, component_end(false)));
  gui_label(win(p), 190, 122, "End");
  built.component_boxes.push_back(textbox(p, 280, 122, 80, 16, component_end(true)));
}

constexpr int visibility_bits[] = {visibility_external, visibility_cockpit, visibility_vc, visibility_extpass};

void build_edit_mesh() {
  const page_id p = page_edit_mesh;
  side_close(p);
  gui_label(win(p), 10, 2, "Visible in:");
  const char* names[] = {"External", "Cockpit", "VC", "EXTPASS"};
  for (int i = 0; i < 4; ++i) {
    const int bit = visibility_bits[i];
    labelled_checkbox(p, 34, 22 + 18 * i, names[i], 10, 601 + i, [bit] {
      const mesh_entry* m = current_of<mesh_entry>(list_meshes);
      return m && (m->visibility & bit);
    }, [bit](bool on) {
      if (const mesh_entry* m = current_of<mesh_entry>(list_meshes))
        set_mesh_visibility(design, cur(list_meshes), on ? (m->visibility | bit) : (m->visibility & ~bit));
    });
  }
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

void enable_element_boxes() {
  for (const auto& [box, l] : built.element_boxes) gui.textboxes[size_t(box)].enabled = current_element(l) != nullptr;
  const anim_comp* c = current_component();
  for (int box : built.component_boxes) gui.textboxes[size_t(box)].enabled = c != nullptr;
  gui.textboxes[size_t(built.angle_box)].enabled = c && c->type == comp_rotation;
  built.axis_label->text = axis_labels[c && c->type >= 0 && c->type < 3 ? c->type : 0];
  pages.vc_view = std::clamp(pages.vc_view, 0, std::max(int(design.data.vc_views.size()) - 1, 0));
  for (int box : built.vc_boxes) gui.textboxes[size_t(box)].enabled = !design.data.vc_views.empty();
  const bool point = selection.object == 1 && selection.mesh >= point_beacons && selection.mesh <= point_aero;
  for (int box : built.controls_boxes) gui.textboxes[size_t(box)].enabled = point;
}

void show_current() {
  win(page_animation_block).title = "Animation block (" + std::to_string(cur(list_animations) + 1) + ")";
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

void new_component() {
  const int a = cur(list_animations), meshes = int(design.data.meshes.size());
  if (a >= int(design.data.anim_seqs.size()) || meshes == 0) {
    show_message("A component moves groups of a mesh in an animation: add a mesh and an animation first.");
    return;
  }
  const int mesh = std::min(cur(list_meshes), meshes - 1);
  const int group = selection.object == 0 && selection.mesh == mesh ? selection.group : 0;
  const int list = add_group_list(design, a, {group});
  edit_component(add_component(design, a, make_component(mesh, comp_rotation, list, {0, 0, 0}, {0, 0, 1},
                                                         90 / degrees_per_radian, 0, 1)));
  handled();
}

void edit_component(int comp) {
  pages.current_comp = comp;
  show_page(page_edit_component);
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
    gui_window(pages.windows[p], 0, 0, 0, 0, p == page_main, d.title);
    pages.windows[p].on_top = p == page_main;     // the menu stays in reach of every page
    pages.windows[p].fixed = p == page_browser;   // fills the screen above the menu, never dragged
    gui_set_rule(pages.windows[p], d.rule, screen_w, screen_h);
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
  build_edit_points();
  build_vc_config();
  build_edit_component();
  pages_frame();
}

void pages_frame() {
  lists_frame();
  clamp_lists();
  enable_element_boxes();
  show_current();
}
