// The editor pages and file commands, driven through the toolkit's entry points
// without a display: layout from the screen size, the buttons of every page,
// saving with its question, New, typing into bound boxes, the mesh browser,
// and the routing of the Export and Load dialogs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include "base/strval.h"
#include "common/scratch_dir.h"
#include "design/designfile.h"
#include "design/designtemplate.h"
#include "design/kvgen.h"
#include "design/veltools.h"
#include "editor/filecmds.h"
#include "editor/kvlists.h"
#include "editor/kvwindows.h"
#include "editor/selection.h"
#include "generate/module_writer.h"
#include "editor/pages_setup.h"

namespace {

constexpr uint16_t left = 0x0200;
constexpr uint16_t key_backspace = 8;

// The design block with the design time cleared: what a design holds, whenever it was saved.
std::vector<uint8_t> timeless_block(vessel_design d) {
  d.header.design_time = 0;
  return design_block_bytes(d);
}

std::vector<uint8_t> template_block() {
  vessel_design t;
  apply_template(t);
  return timeless_block(t);
}

class Pages : public ::testing::Test {
 protected:
  scratch_dir dir;
  void SetUp() override { build(1024, 768); }
  void TearDown() override {
    gui_final();
    design = vessel_design{};
  }
  void build(int w, int h) { start_pages(dir.path.string(), w, h); }
  void click(int x, int y) {
    gui_mouse_down(left, x, y);
    gui_mouse_up(left, x, y);
  }
  // A press on the button of a page that carries caption, at its centre.
  void press(page_id p, const std::string& caption) {
    for (const gg_btnrec& b : gui.buttons)
      if (b.window == &page(p) && b.caption == caption) {
        click(page(p).x + b.x + b.width / 2, page(p).y + b.y + b.height / 2);
        return;
      }
    FAIL() << "no button " << caption;
  }
  // Focus the text box at (x, y) of a page after its text, clear it and type text; Enter stores it.
  void type_into(page_id p, int x, int y, const std::string& text, bool enter = true) {
    int width = 0;
    for (const gg_txtboxrec& t : gui.textboxes)
      if (t.window == &page(p) && t.x == x && t.y == y) width = t.width;
    ASSERT_GT(width, 0) << "no text box at " << x << ", " << y;
    click(page(p).x + x + width - 2, page(p).y + y + 4);
    for (int i = 0; i < 40; ++i) gui_key_down(0, key_backspace);
    for (char c : text) gui_key_down(0, uint16_t(c == '.' ? 190 : c));
    if (enter) gui_key_up(0, 13);
  }
  std::string box_text(page_id p, int x, int y) {
    for (gg_txtboxrec& t : gui.textboxes)
      if (t.window == &page(p) && t.x == x && t.y == y) {
        textbox_load(t);
        return t.text;
      }
    return "no box";
  }
  std::vector<page_id> visible_pages() {
    std::vector<page_id> v;
    for (int p = 0; p < page_count; ++p)
      if (page(page_id(p)).visible) v.push_back(page_id(p));
    return v;
  }
  void only_main_menu() {
    for (int p = 1; p < page_count; ++p) hide_page(page_id(p));
  }
  std::string design_file() const { return dir.file("deltaglider_vrk.vessdef"); }

};

TEST_F(Pages, WindowsArePlacedFromTheScreenSizeWithOnlyTheMainMenuVisible) {
  const char* titles[] = {"Veltora Corvane", "General parameters", "Animations", "Meshes", "Beacons", "Docks",
                          "Thrusters", "Exhausts", "Touchdown points", "Aerodynamic elements", "Fuel tanks",
                          "Groups in animation component", "Edit thruster", "Edit airfoil", "Animation block (1)",
                          "VC config", "Vessel data", "3D controls", "Open/Close", "Mesh view", "Options", "Confirm?"};
  for (auto [w, h] : {std::pair{800, 600}, {1024, 768}, {1920, 1080}}) {
    build(w, h);
    for (int p = 0; p < 22; ++p) EXPECT_EQ(page(page_id(p)).title, titles[p]);
    const gg_wndtype& m = page(page_main);
    EXPECT_EQ(std::vector<int>({m.x, m.y, m.width, m.height}), std::vector<int>({w - 502, h - 154, 482, 134}));
    EXPECT_EQ(visible_pages(), std::vector<page_id>{page_main});
    const gg_wndtype& g = page(page_general);
    EXPECT_EQ(std::vector<int>({g.x, g.y}),    // in the corner where the menu would cover it there
              w == 1920 ? std::vector<int>({w / 2 - 250, h / 2 - 250}) : std::vector<int>({1, 15}));
    EXPECT_EQ(page(page_exhausts).y, h - 420);
    EXPECT_EQ(page(page_animation_block).width, w - 100);
    const gg_wndtype& b = page(page_browser);
    EXPECT_EQ(std::vector<int>({b.x, b.y, b.width, b.height}), std::vector<int>({20, 20, w - 40, h - 40}));
    EXPECT_TRUE(b.fixed);
  }
  EXPECT_EQ(gui.textboxes[0].text, "DeltaGlider_vrk");  // bound at once to the design
}

TEST_F(Pages, EveryMainMenuButtonOpensItsPage) {
  const std::pair<const char*, page_id> opens[] = {
    {"New", page_confirm}, {"Parameters", page_vessel_data}, {"Lights", page_beacons}, {"Panels", page_message},
    {"VC", page_vc_config}, {"Docks", page_docks}, {"Touchdown", page_touchdown}, {"Main data", page_general},
    {"Engines", page_thrusters}, {"Meshes", page_meshes}, {"Exhausts", page_exhausts},
    {"Animations", page_animations}, {"Airfoils", page_airfoils}, {"Options", page_options},
    {"Location", page_message}, {"3D controls", page_controls}, {"Help", page_help}};
  for (const auto& [caption, p] : opens) {
    only_main_menu();
    const bool is_list = p >= page_animations && p <= page_groups;
    if (is_list) pages.lists[p - page_animations].current = 1;  // opening a list starts it at the top
    press(page_main, caption);
    EXPECT_EQ(visible_pages(), (std::vector<page_id>{page_main, p})) << caption;
    if (is_list) EXPECT_EQ(pages.lists[p - page_animations].current, 0);
  }
  press(page_message, "OK");
  EXPECT_FALSE(page(page_message).visible);
  press(page_help, "Close");
  EXPECT_FALSE(page(page_help).visible);
}

TEST_F(Pages, SaveWritesAtOnceThenAsksBeforeOverwriting) {
  press(page_main, "Save");
  EXPECT_FALSE(page(page_confirm).visible);
  vessel_design read;
  ASSERT_EQ(read_design_file(read, design_file()).status, design_read_ok);
  EXPECT_EQ(timeless_block(read), template_block());

  const std::vector<uint8_t> saved = read_bytes(design_file());
  design.header.empty_mass = 123;
  press(page_main, "Save");
  ASSERT_TRUE(page(page_confirm).visible);
  EXPECT_EQ(pages.question, "Overwrite \"deltaglider_vrk.vessdef\"?");
  press(page_confirm, "No");
  EXPECT_FALSE(page(page_confirm).visible);
  EXPECT_EQ(read_bytes(design_file()), saved);
  press(page_main, "Save");
  press(page_confirm, "Yes");
  ASSERT_EQ(read_design_file(read, design_file()).status, design_read_ok);
  EXPECT_EQ(read.header.empty_mass, 123);
}

TEST_F(Pages, NewResetsToTheTemplateOnlyAfterYes) {
  add_beacon(design, editor_beacon());
  press(page_main, "New");
  EXPECT_EQ(pages.question, "Erase everything and reset the corvane?");
  press(page_confirm, "No");
  EXPECT_NE(timeless_block(design), template_block());
  press(page_main, "New");
  press(page_confirm, "Yes");
  EXPECT_EQ(timeless_block(design), template_block());
  add_beacon(design, editor_beacon());
  press(page_main, "New");
  press(page_confirm, "Blank");                   // the third answer: the blank design
  EXPECT_EQ(timeless_block(design), timeless_block(vessel_design{}));
  press(page_main, "Save");
  EXPECT_EQ(std::filesystem::file_size(dir.file("vessel.vessdef")), 928u);
  press(page_main, "Save");                       // other questions have no "Blank"
  EXPECT_FALSE(std::any_of(gui.buttons.begin(), gui.buttons.end(), [](auto& b) { return b.visible && b.caption == "Blank"; }));
}

TEST_F(Pages, EscapeClosesTheTopMostPageAndAShownPageComesToTheTop) {
  design.header.empty_mass = 5;
  press(page_main, "New");
  press(page_main, "Main data");
  press(page_main, "Help");
  press(page_main, "Main data");                  // shown again: on top of "Help" where they overlap
  const gg_wndtype& general = page(page_general);
  EXPECT_EQ(target_window(general.x + 10, general.y + 10), &general);
  ASSERT_TRUE(close_top_page());
  EXPECT_EQ(visible_pages(), (std::vector<page_id>{page_main, page_confirm, page_help}));
  ASSERT_TRUE(close_top_page());
  ASSERT_TRUE(close_top_page());                  // "No": the design stays
  EXPECT_EQ(design.header.empty_mass, 5);
  EXPECT_FALSE(close_top_page());                 // only the main menu: the caller ends the program
  EXPECT_EQ(visible_pages(), std::vector<page_id>{page_main});
}

TEST_F(Pages, TypedValuesReachTheDesignWhenTheBoxLosesTheFocus) {
  press(page_main, "Engines");
  const int thrusters = int(design.data.thrusters.size());
  type_into(page_thrusters, 8, 134, "12345", false);
  press(page_thrusters, "Add");                       // the press moves the focus away: the value is stored first
  ASSERT_EQ(int(design.data.thrusters.size()), thrusters + 1);
  EXPECT_EQ(design.data.thrusters.back().max_thrust, 12345);
  EXPECT_EQ(std::vector<int>({selection.object, selection.mesh, selection.group}),
            std::vector<int>({1, 1, 2 * thrusters}));

  only_main_menu();                                   // "Thrusters" lies over the main menu
  press(page_main, "Main data");
  type_into(page_general, 120, 60, "2500.5", false);
  EXPECT_EQ(design.header.empty_mass, 11000);        // still typing
  click(page(page_general).x + 300, page(page_general).y + 470);  // inside the page, off every box
  EXPECT_EQ(design.header.empty_mass, 2500.5);

  only_main_menu();
  press(page_main, "Touchdown");
  ASSERT_EQ(design.data.touchdown_sets.size(), 2u);
  press(page_touchdown, "Add");
  EXPECT_EQ(design.data.touchdown_sets.size(), 2u);
}

TEST_F(Pages, EditWindowsFollowTheCurrentElementAndStayUnboundWithoutOne) {
  press(page_main, "Engines");
  pages.lists[list_thrusters].current = 1;
  press(page_thrusters, "Edit");
  type_into(page_edit_thruster, 100, 20, "777");
  EXPECT_EQ(design.data.thrusters[1].max_thrust, 777);
  type_into(page_edit_thruster, 100, 60, "99");       // no such tank: 0 is stored and shown
  EXPECT_EQ(design.data.thrusters[1].tank, 0);
  EXPECT_EQ(box_text(page_edit_thruster, 100, 60), "0");
  const bool was_retro = thruster_in_group(design, 1, group_retro);
  click(page(page_edit_thruster).x + 88 + 4, page(page_edit_thruster).y + 140 + 4);  // "RETRO"
  EXPECT_NE(thruster_in_group(design, 1, group_retro), was_retro);

  while (!design.data.thrusters.empty()) delete_thruster(design, 0);
  pages_frame();
  for (gg_txtboxrec& t : gui.textboxes)
    if (t.window == &page(page_edit_thruster)) {
      textbox_load(t);
      EXPECT_EQ(t.text, "");
      EXPECT_FALSE(t.enabled);
    }
}

TEST_F(Pages, ListButtonsThePartLeavesOpenActThroughTheDesignOperations) {
  const int anims = int(design.data.anim_seqs.size());
  press(page_main, "Animations");
  press(page_animations, "Add");
  EXPECT_EQ(int(design.data.anim_seqs.size()), anims + 1);
  EXPECT_EQ(pages.lists[list_animations].current, anims);
  press(page_animations, "Editor");
  type_into(page_animation_block, page(page_animation_block).width - 150, 44, "37");
  EXPECT_EQ(design.data.anim_seqs.back().seq.key, 37);
  type_into(page_animation_block, page(page_animation_block).width - 150, 44, "D");   // a key by its letter
  EXPECT_EQ(design.data.anim_seqs.back().seq.key, 0x20);
  EXPECT_EQ(box_text(page_animation_block, page(page_animation_block).width - 150, 44), "32 D");   // with its name
  hide_page(page_animation_block);
  press(page_animations, "Delete");
  EXPECT_EQ(int(design.data.anim_seqs.size()), anims);

  press(page_main, "Meshes");
  press(page_meshes, "Edit");
  ASSERT_TRUE(page(page_edit_mesh).visible);
  click(page(page_edit_mesh).x + 10 + 4, page(page_edit_mesh).y + 40 + 4);  // "Cockpit"
  EXPECT_EQ(design.data.meshes[0].visibility & visibility_cockpit, visibility_cockpit);
  hide_page(page_edit_mesh);
  const int meshes = int(design.data.meshes.size());
  press(page_meshes, "Delete");
  press(page_confirm, "Yes");                         // the template's animations move it
  EXPECT_EQ(int(design.data.meshes.size()), meshes - 1);
  hide_page(page_meshes);

  press(page_main, "Lights");
  press(page_beacons, "Edit");
  type_into(page_edit_beacon, 100, 10, "0.75");
  EXPECT_EQ(design.data.beacons[0].size, 0.75);
  click(page(page_edit_beacon).x + 230 + 4, page(page_edit_beacon).y + 70 + 4);  // "Star"
  EXPECT_EQ(design.data.beacons[0].shape, uint32_t(beacon_star));
  const uint8_t was_on = design.data.beacons[0].active;
  click(page(page_edit_beacon).x + 230 + 4, page(page_edit_beacon).y + 100 + 4);  // "On"
  EXPECT_NE(design.data.beacons[0].active, was_on);
  type_into(page_edit_beacon, 100, 10, "ABC");        // "abc", not a number: the size stays
  EXPECT_EQ(design.data.beacons[0].size, 0.75);
  hide_page(page_edit_beacon);
  hide_page(page_beacons);

  const int exhausts = int(design.data.exhausts.size());
  press(page_main, "Engines");
  pages.lists[list_thrusters].current = 2;
  hide_page(page_thrusters);
  press(page_main, "Exhausts");
  press(page_exhausts, "Add");
  ASSERT_EQ(int(design.data.exhausts.size()), exhausts + 1);
  EXPECT_EQ(design.data.exhausts.back().thruster, 2);  // on the current thruster
  press(page_exhausts, "Edit");
  click(page(page_edit_exhaust).x + 10 + 4, page(page_edit_exhaust).y + 54 + 4);  // own position
  EXPECT_EQ(design.data.exhausts.back().mode, exhaust_free);
  type_into(page_edit_exhaust, 100, 10, "4");
  EXPECT_EQ(design.data.exhausts.back().length, 4);
  type_into(page_edit_exhaust, 290, 10, "1");         // onto thruster 1; no thruster 99 exists
  EXPECT_EQ(design.data.exhausts.back().thruster, 1);
  type_into(page_edit_exhaust, 290, 10, "99");
  EXPECT_EQ(design.data.exhausts.back().thruster, 1);
  press(page_edit_exhaust, "Set current");
  EXPECT_EQ(design.data.exhausts.back().thruster, 2);
  hide_page(page_edit_exhaust);
  press(page_exhausts, "Delete");
  EXPECT_EQ(int(design.data.exhausts.size()), exhausts);
}

TEST_F(Pages, GroupsOfAComponentComeFromThePickedVesselGroup) {
  const aointeger before = design.data.anim_seqs[0].group_lists[size_t(design.data.anim_seqs[0].comps[0].group_list)];
  only_main_menu();
  show_page(page_groups);
  selection = {1, 1, 0};                              // a marker, not a vessel group: the user is told why
  press(page_groups, "Add selected");
  EXPECT_TRUE(page(page_message).visible);
  EXPECT_EQ(design.data.anim_seqs[0].group_lists[size_t(design.data.anim_seqs[0].comps[0].group_list)], before);
  hide_page(page_message);
  selection = {0, 0, 99};
  press(page_groups, "Add selected");
  const aointeger& now = design.data.anim_seqs[0].group_lists[size_t(design.data.anim_seqs[0].comps[0].group_list)];
  ASSERT_EQ(now.size(), before.size() + 1);
  EXPECT_EQ(now.back(), 99);
  pages.lists[list_groups].current = int(now.size()) - 1;
  press(page_groups, "Remove");
  EXPECT_EQ(design.data.anim_seqs[0].group_lists[size_t(design.data.anim_seqs[0].comps[0].group_list)], before);
}

TEST_F(Pages, MeshBrowserPagesByColumnsAndSelectsWithTheSubPath) {
  for (int i = 0; i < 40; ++i) dir.put("Meshes/m" + std::to_string(100 + i) + ".msh", "");
  dir.put("Meshes/sub/pod.msh", "");
  only_main_menu();
  show_page(page_meshes);
  press(page_meshes, "Add");
  ASSERT_TRUE(page(page_browser).visible);
  ASSERT_EQ(browser.mesh_browse_dirs, 1);
  const gg_wndtype& w = page(page_browser);
  const browser_grid g = browser_geometry(w.width, w.height);
  ASSERT_GT(g.columns, 1);
  const int first_cell_x = w.x + 9 + 1, first_cell_y = w.y + 44 + 1;
  click(w.x + w.width - 61 + 8, w.y + w.height - 48 + 8);   // ">"
  EXPECT_EQ(files.browser_page, 1);
  click(first_cell_x, first_cell_y);
  EXPECT_EQ(files.pending_mesh, browser.mesh_browse_list[size_t(g.rows)]);
  EXPECT_TRUE(page(page_mesh_view).visible);
  press(page_mesh_view, "Cancel");
  EXPECT_EQ(files.pending_mesh, "");

  click(w.x + 5 + 8, w.y + w.height - 48 + 8);              // "<"
  const int count = int(browser.mesh_browse_list.size());
  const int empty = count;                                   // the first cell after the last entry
  if (empty < g.columns * g.rows) {
    click(w.x + 9 + (empty / g.rows) * g.pitch + 1, w.y + 44 + 21 * (empty % g.rows) + 1);
    EXPECT_EQ(files.pending_mesh, "");
    EXPECT_FALSE(page(page_mesh_view).visible);
  }
  click(first_cell_x, first_cell_y);                         // the folder "sub"
  EXPECT_EQ(browser.browse_rel, "sub/");
  click(first_cell_x, first_cell_y);                         // "pod"
  EXPECT_EQ(files.pending_mesh, "pod");
  const int meshes = int(design.data.meshes.size());
  press(page_mesh_view, "Select");
  ASSERT_EQ(int(design.data.meshes.size()), meshes + 1);
  EXPECT_STREQ(design.data.meshes.back().name, "sub/pod");
  EXPECT_FALSE(page(page_browser).visible);
}

TEST_F(Pages, ExportRoutesEachFilterAndShowsFailures) {
  for (int i = 0; i < 30; ++i) add_mesh(design, "part" + std::to_string(i), visibility_external);
  export_design(dir.file("plain"), 1);             // no mesh is in this folder: the message names them
  EXPECT_TRUE(page(page_message).visible);
  EXPECT_EQ(pages.message.rfind("The package was written without ", 0), 0u) << pages.message;
  EXPECT_NE(pages.message.find("Meshes/part0.msh, Meshes/part1.msh"), std::string::npos) << pages.message;
  EXPECT_NE(pages.message.find(" more."), std::string::npos) << pages.message;
  EXPECT_LE(pages.message.size(), message_line_chars * message_lines);
  hide_page(page_message);
  design.data.meshes.clear();                      // nothing named, nothing left out: no message
  export_design(dir.file("pkg"), 5);
  export_design(dir.file("mod.dll"), 2);
  export_design(dir.file("list.txt"), 3);
  export_design(dir.file("ignored.cpp"), 4);
  EXPECT_TRUE(file_exists(dir.file("plain")));
  EXPECT_TRUE(file_exists(dir.file("pkg.zip")));
  EXPECT_FALSE(file_exists(dir.file("pkg")));
  EXPECT_TRUE(file_exists(dir.file("list.txt")));
  EXPECT_FALSE(file_exists(dir.file("ignored.cpp")));
  EXPECT_TRUE(std::filesystem::is_directory(dir.file("Vessel_Design/deltaglider_vrk")));
  EXPECT_FALSE(page(page_message).visible);
  const std::vector<uint8_t> module = read_bytes(dir.file("mod.dll"));
  EXPECT_EQ(module, build_module(design));

  export_design(dir.file("no/such/folder/x.zip"), 1);
  EXPECT_TRUE(page(page_message).visible);
  EXPECT_NE(pages.message.find("x.zip"), std::string::npos) << pages.message;
}

TEST_F(Pages, LoadRestoresModulesImportsAndKeepsTheDesignOnDamage) {
  export_design(dir.file("mod.dll"), 2);
  const std::vector<uint8_t> generated = timeless_block(design);
  design.header.empty_mass = 1;
  add_beacon(design, editor_beacon());
  const std::vector<uint8_t> changed = timeless_block(design);

  std::vector<uint8_t> damaged = read_bytes(dir.file("mod.dll"));
  damaged[damaged.size() - 9] ^= 0xFF;                // inside the end marker's neighbourhood
  damaged.resize(damaged.size() - 3);
  write_bytes(dir.file("bad.vessdef"), damaged);
  load_design(dir.file("bad.vessdef"), 1);
  EXPECT_TRUE(page(page_message).visible);
  EXPECT_FALSE(pages.message.empty());
  EXPECT_EQ(timeless_block(design), changed);
  hide_page(page_message);
  load_design(dir.file("missing.vessdef"), 4);
  EXPECT_TRUE(page(page_message).visible);
  EXPECT_EQ(timeless_block(design), changed);

  load_design(dir.file("mod.dll"), 2);
  EXPECT_EQ(timeless_block(design), generated);

  dir.put("ship.ini", "[CONFIG]\nMESHNAME=ship\nFUEL_MASS=500\nMAIN_THRUST=1000\nISP=3000\n");
  load_design(dir.file("ship.ini"), 3);
  EXPECT_STREQ(design.header.dll_name, "new_vessel");
  EXPECT_EQ(design.header.thruster_count, 1);
}


TEST_F(Pages, RowsShowTheirElementsInTheirColoursWithTheCurrentRowHighlighted) {
  const thruster_def& t = design.data.thrusters[0];
  EXPECT_EQ(list_row_text(list_thrusters, 0), "#1, FT " + std::to_string(t.tank) + ", THR " +
                                                  quantity_to_text(t.max_thrust) + "N, ISP " + decimal_to_text(t.isp));
  EXPECT_EQ(list_row_text(list_tanks, 0), "#1, " + decimal_to_text(design.data.fuel_tanks[0].max_mass) + " Kg");
  EXPECT_EQ(list_row_text(list_meshes, 0), "#1 Name=" + std::string(design.data.meshes[0].name) + " [Vis=" +
                                               visibility_text(design.data.meshes[0].visibility) + "]");
  set_animation_key(design, 0, 34);
  set_duration(design, 0, 4);
  EXPECT_EQ(list_row_text(list_animations, 0), "#1 Key=G Dur=4s");
  EXPECT_EQ(list_row_text(list_docks, 0), "#1");
  int retro = -1;
  for (size_t i = 0; i < design.data.thrusters.size(); ++i)
    if (design.data.thrusters[i].groups[0] == group_retro) retro = int(i);
  ASSERT_GT(retro, 0);
  EXPECT_EQ(list_row_colour(list_thrusters, retro), pack_rgba(200, 200, 128, 255));
  pages.lists[list_thrusters].current = retro;
  EXPECT_EQ(list_row_colour(list_thrusters, retro), list_current_colour);
  add_aero_element(design, aero_control, control_elevator_trim);
  EXPECT_EQ(list_row_colour(list_airfoils, int(design.data.aero_elements.size()) - 1), pack_rgba(255, 128, 255, 255));
}

TEST_F(Pages, SummaryFollowsTheFormulasAndNamesWhatCannotBeComputed) {
  double mass = design.header.empty_mass, main = 0, isp = 0;
  int mains = 0;
  for (const fuel_tank& t : design.data.fuel_tanks) mass += t.max_mass;
  for (size_t i = 0; i < design.data.thrusters.size(); ++i)
    if (thruster_in_group(design, int(i), group_main)) {
      main += design.data.thrusters[i].max_thrust;
      isp += design.data.thrusters[i].isp;
      ++mains;
    }
  ASSERT_GT(mains, 0);
  const std::vector<std::string> lines = summary_lines(design);
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0], "Total mass: " + quantity_to_text(mass) + " Kg");
  EXPECT_EQ(lines[1], "Total main thrust: " + quantity_to_text(main) + "N");
  EXPECT_EQ(lines[4], "Mass ratio: " + decimal_to_text(mass / design.header.empty_mass));
  EXPECT_EQ(lines[5], "Main exhaust velocity (ISP): " + quantity_to_text(isp / mains) + "m/s");
  EXPECT_EQ(lines[6], "Main Delta-V: " + quantity_to_text(std::log(mass / design.header.empty_mass) * isp / mains) + "m/s");

  vessel_design retro_only;
  add_fuel_tank(retro_only, 100);
  add_thruster(retro_only, {}, make_vec(0, 0, -1), 0, {group_retro}, 5000, 3000);
  retro_only.header.empty_mass = 0;
  const std::vector<std::string> odd = summary_lines(retro_only);
  EXPECT_EQ(odd[1], "Total main thrust: 0N");
  EXPECT_EQ(odd[2], "Total retro thrust: 5kN");
  EXPECT_EQ(odd[4], "Mass ratio: inf");
  EXPECT_EQ(odd[5], "Main exhaust velocity (ISP): -m/s");
  EXPECT_EQ(odd[6], "Main Delta-V: -m/s");
  retro_only.data.fuel_tanks.clear();                 // 0 / 0
  EXPECT_EQ(summary_lines(retro_only)[4], "Mass ratio: -");
}

TEST_F(Pages, ListsScrollWithinTheirRowsAndAClickChoosesRelativeToTheFirstRow) {
  while (design.data.beacons.size() < 12) add_beacon(design, editor_beacon());
  while (design.data.beacons.size() > 12) delete_beacon(design, 0);
  only_main_menu();
  press(page_main, "Lights");
  for (int i = 0; i < 5; ++i) press(page_beacons, "v");
  EXPECT_EQ(pages.lists[list_beacons].first, 3);      // rows 4 to 12 shown
  const gg_wndtype& w = page(page_beacons);
  click(w.x + 200, w.y + 4 + 22 * 2 + 9);             // the third row shown: beacon 6
  EXPECT_EQ(pages.lists[list_beacons].current, 5);
  EXPECT_EQ(std::vector<int>({selection.object, selection.mesh, selection.group}), std::vector<int>({1, 0, 5}));
  for (int i = 0; i < 5; ++i) press(page_beacons, "^");
  EXPECT_EQ(pages.lists[list_beacons].first, 0);
}

TEST_F(Pages, SelectionDrivesTheCurrentRowAndTheCoordinatesBothWays) {
  selection = {1, point_thrusters, 2 * 3 + 1};        // thruster 4's direction
  pages_frame();
  EXPECT_EQ(pages.lists[list_thrusters].current, 3);
  const vec3 dir = design.data.thrusters[3].dir;
  EXPECT_EQ(std::vector<double>({pages.sel[0], pages.sel[1], pages.sel[2]}), std::vector<double>({dir.x, dir.y, dir.z}));
  only_main_menu();
  press(page_main, "3D controls");
  type_into(page_controls, 25, 50, "0.5");
  EXPECT_EQ(vec3(design.data.thrusters[3].dir).x, 0.5);
  EXPECT_EQ(vec3(design.data.thrusters[3].dir).y, dir.y);
}

TEST_F(Pages, AnimationEditorDragsEndsInOrderAndSetsThePositionOnTheRuler) {
  only_main_menu();
  show_page(page_animations);
  press(page_animations, "Editor");
  gg_wndtype& w = page(page_animation_block);
  const int c = w.width - 296;
  anim_entry& a = design.data.anim_seqs[0];
  set_component_range(design, 0, 0, 0.2, 0.5);
  const int start = 71 + int(std::lround(c * 0.2));
  gui_mouse_down(left, w.x + start + 1, w.y + 22 + 9);  // the first row's start handle
  gui_mouse_move(left, w.x + 71 + int(c * 0.9), w.y + 22 + 9);
  gui_mouse_up(left, w.x + 71 + int(c * 0.9), w.y + 22 + 9);
  EXPECT_EQ(a.comps[0].state0, a.comps[0].state1);
  EXPECT_EQ(a.comps[0].state1, 0.5);
  click(w.x + 71 + c / 4, w.y + 10);                    // the ruler
  EXPECT_NEAR(a.seq.position, 0.25, 1.0 / c);
  click(w.x + 20, w.y + 22 + 22 + 9);                   // the second row's "Grp"
  EXPECT_EQ(pages.current_comp, 1);
  EXPECT_TRUE(page(page_groups).visible);
}

}  // namespace

namespace {

TEST_F(Pages, PlusBuildsAComponentThatEditComponentShapesAndAMovedMeshGoesOnlyAfterAQuestion) {
  only_main_menu();
  const int anim = add_animation(design, 0, 1.0, 0.0);
  pages.lists[list_animations].current = anim;
  pages.lists[list_meshes].current = 1;
  show_page(page_animation_block);
  gg_wndtype& w = page(page_animation_block);
  click(w.x + 20, w.y + 22 + 9);                  // "+" in the first row
  ASSERT_EQ(design.data.anim_seqs[size_t(anim)].comps.size(), 1u);
  ASSERT_TRUE(page(page_edit_component).visible);
  const gg_wndtype& e = page(page_edit_component);
  type_into(page_edit_component, 100, 98, "45");   // angle, degrees
  type_into(page_edit_component, 280, 74, "1");    // the axis' Z... and its X
  type_into(page_edit_component, 100, 74, "1");
  type_into(page_edit_component, 100, 122, "0.25");
  type_into(page_edit_component, 280, 122, "0.75");
  click(e.x + 280 + 8, e.y + 6 + 8);              // "Translation"
  const anim_comp& c = design.data.anim_seqs[size_t(anim)].comps[0];
  EXPECT_EQ(c.mesh, 1);
  EXPECT_EQ(c.type, comp_translate);
  EXPECT_FLOAT_EQ(c.angle, float(M_PI / 4));
  EXPECT_EQ(std::vector<double>({c.axis.x, c.axis.z, c.state0, c.state1}), std::vector<double>({1, 1, 0.25, 0.75}));

  const size_t meshes = design.data.meshes.size();
  show_page(page_meshes);
  press(page_meshes, "Delete");                   // mesh 2 is moved: the question first
  EXPECT_EQ(pages.question, "Mesh 2 is moved by " + std::to_string(components_on_mesh(design, 1)) +
                                " animation components; delete it and them?");
  press(page_confirm, "No");
  EXPECT_EQ(design.data.meshes.size(), meshes);
  press(page_meshes, "Delete");
  press(page_confirm, "Yes");
  EXPECT_EQ(design.data.meshes.size(), meshes - 1);
  EXPECT_TRUE(design.data.anim_seqs[size_t(anim)].comps.empty());
}

TEST_F(Pages, DocksAndTouchdownPointsAreEditedOnTheirPagesAndAVanishedSelectionIsCleared) {
  press(page_main, "Docks");
  press(page_docks, "Add");
  press(page_docks, "Edit");
  type_into(page_edit_dock, 260, 44, "1");        // the direction's Z
  type_into(page_edit_dock, 100, 44, "0");        // and its X: the port faces forward
  const dock_def& d = design.data.docks.back();
  EXPECT_EQ(std::vector<double>({d.dir.x, d.dir.y, d.dir.z}), std::vector<double>({0, 0, 1}));
  press(page_main, "Touchdown");
  pages.lists[list_touchdown].current = 1;
  press(page_touchdown, "Edit");
  type_into(page_edit_touchdown, 180, 64, "7");   // the rear right point's Y
  EXPECT_EQ(design.data.touchdown_sets[1].pt3.y, 7);
  const auto controls_enabled = [] {
    int n = 0;
    for (const gg_txtboxrec& t : gui.textboxes) n += t.window == &page(page_controls) && t.enabled;
    return n;
  };
  selection = {1, point_touchdown, 3 * 1 + 2};
  pages_frame();
  EXPECT_EQ(pages.sel[1], 7);
  EXPECT_EQ(controls_enabled(), 3);
  press(page_touchdown, "Delete");                // the selected set goes: so do the selection and coordinates
  EXPECT_EQ(selection.object + selection.mesh + selection.group, 0);
  EXPECT_EQ(std::vector<double>(pages.sel, pages.sel + 3), std::vector<double>({0, 0, 0}));
  EXPECT_EQ(controls_enabled(), 0);               // and "3D controls" takes no typing
}

}  // namespace
