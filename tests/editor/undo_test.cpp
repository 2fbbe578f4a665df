// Undo and redo through the pages, autosave, the pages' Copy and Mirror, and
// the checks page, driven through the toolkit's entry points without a display.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include "base/input_codes.h"
#include "common/scratch_dir.h"
#include "design/designfile.h"
#include "design/designtemplate.h"
#include "design/meshstore.h"
#include "design/vrkdll_block.h"
#include "editor/autosave.h"
#include "editor/checkspage.h"
#include "editor/filecmds.h"
#include "editor/kvwindows.h"
#include "editor/selection.h"
#include "editor/undo.h"
#include "editor/pages_setup.h"
#include "render/kvvorl.h"

namespace {

constexpr uint16_t left = 0x0200;

class Undo : public ::testing::Test {
 protected:
  scratch_dir dir;
  void SetUp() override {
    start_pages(dir.path.string(), 1024, 768);
    undo_start();
    autosave_init(dir.path.string(), 0);
  }
  void TearDown() override {
    gui_final();
    design = vessel_design{};
  }
  void press(page_id p, const std::string& caption) {
    for (const gg_btnrec& b : gui.buttons)
      if (b.window == &page(p) && b.caption == caption) {
        const int x = page(p).x + b.x + b.width / 2, y = page(p).y + b.y + b.height / 2;
        gui_mouse_down(left, x, y);
        gui_mouse_up(left, x, y);
        return;
      }
    FAIL() << "no button " << caption;
  }
  void click(int x, int y) {
    gui_mouse_down(left, x, y);
    gui_mouse_up(left, x, y);
    undo_checkpoint();                   // as the window does after each event
  }
  // Types text into the text box of page p at (x, y), after its text; the next click elsewhere stores it.
  void type_into(page_id p, int x, int y, const std::string& text) {
    int width = 0;
    for (const gg_txtboxrec& t : gui.textboxes)
      if (t.window == &page(p) && t.x == x && t.y == y) width = t.width;
    ASSERT_GT(width, 0) << "no text box at " << x << ", " << y;
    click(page(p).x + x + width - 2, page(p).y + y + 4);
    for (int i = 0; i < 40; ++i) gui_key_down(0, vk_back);
    for (char c : text) gui_key_down(0, uint16_t(c == '.' ? 190 : c));
  }
  std::vector<uint8_t> now() const { return design_snapshot(design); }
};

TEST_F(Undo, FourStepsGoBackByteForByteAndComeAgainWithListsAndSelection) {
  const std::vector<uint8_t> before = now();
  show_page(page_general);
  type_into(page_general, 120, 60, "12345");
  press(page_main, "Engines");           // stores the mass: a step before the page opens
  ASSERT_EQ(design.header.empty_mass, 12345.0);
  press(page_thrusters, "Add");
  const int added = int(design.data.thrusters.size()) - 1;
  const selection_state picked = selection;
  EXPECT_EQ(picked.group, 2 * added);
  undo_begin();                          // a handle drag: many moves, one step
  for (int i = 1; i <= 5; ++i) {
    set_element_point(design, point_thrusters, 2 * added, i, 0, 0);
    undo_checkpoint();                   // the window's checkpoint after each mouse move
  }
  undo_commit();
  press(page_thrusters, "Propellant");
  pages.lists[list_tanks].current = 1;
  undo_checkpoint();                     // as the window does after the row's click
  press(page_tanks, "Delete");
  ASSERT_EQ(design.data.fuel_tanks.size(), 1u);
  const std::vector<uint8_t> after = now();
  ASSERT_EQ(history.done.size(), 5u);

  ASSERT_TRUE(undo_step());
  EXPECT_EQ(design.data.fuel_tanks.size(), 2u);
  EXPECT_EQ(pages.lists[list_tanks].current, 1);
  ASSERT_TRUE(undo_step());
  EXPECT_EQ(design.data.thrusters[size_t(added)].pos.x, 0.0);
  EXPECT_EQ(selection.group, picked.group);
  ASSERT_TRUE(undo_step());
  EXPECT_EQ(design.data.thrusters.size(), size_t(added));
  ASSERT_TRUE(undo_step());
  EXPECT_FALSE(undo_step());             // nothing older
  EXPECT_EQ(now(), before);
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(redo_step());
  EXPECT_FALSE(redo_step());
  EXPECT_EQ(now(), after);

  undo_step();
  press(page_main, "Undo");
  press(page_main, "Redo");              // the buttons do what the keys do
  EXPECT_EQ(design.data.thrusters[size_t(added)].pos.x, 5.0);
  set_design_flag(design, flag_transponder, !design_flag_set(design, flag_transponder));
  undo_checkpoint();                     // a new change drops what could be redone
  EXPECT_FALSE(redo_step());
}

TEST_F(Undo, KeysTypingAndPlaybackAreNotStepsOfTheirOwn) {
  const std::vector<uint8_t> before = now();
  update_design_frame(design, 5.0);      // design time and the airlock are no change
  undo_checkpoint();
  EXPECT_EQ(history.done.size(), 1u);
  show_page(page_general);
  gui_mouse_down(left, page(page_general).x + 122, page(page_general).y + 64);
  gui_mouse_up(left, page(page_general).x + 122, page(page_general).y + 64);
  gui_key_down(0, '7');                  // typed, not yet stored: Ctrl+Z stores it, then takes it back
  EXPECT_TRUE(undo_key(shift_Ctrl, 'Z'));
  EXPECT_EQ(now(), before);
  EXPECT_TRUE(undo_key(uint16_t(shift_Ctrl | shift_Shift), 'Z'));
  EXPECT_NE(now(), before);
  EXPECT_TRUE(undo_key(shift_Ctrl, 'Z'));
  EXPECT_TRUE(undo_key(shift_Ctrl, 'Y'));
  EXPECT_NE(now(), before);
  EXPECT_FALSE(undo_key(0, 'Z'));
  EXPECT_FALSE(undo_key(shift_Ctrl, 'X'));
}

TEST_F(Undo, ALoadIsOneStepAndTheHistoryKeepsItsLimit) {
  vessel_design other;
  add_fuel_tank(other, 10);
  write_design_file(other, dir.file("other.vessdef"));
  const std::vector<uint8_t> before = now();
  load_design(dir.file("other.vessdef"), 1);
  undo_checkpoint();                     // as the window does after the dialog's OK
  ASSERT_EQ(design.data.meshes.size(), 0u);
  ASSERT_TRUE(undo_step());
  EXPECT_EQ(now(), before);
  EXPECT_GT(design.data.meshes.size(), 0u);
  ASSERT_TRUE(redo_step());
  EXPECT_EQ(design.data.fuel_tanks.size(), 1u);

  for (int i = 0; i < int(undo_step_limit) + 20; ++i) {
    set_header_value(design, &design_header::empty_mass, 1000.0 + i);
    undo_checkpoint();
  }
  EXPECT_EQ(history.done.size(), undo_step_limit + 1);
  size_t bytes = 0;
  for (const undo_entry& e : history.done) bytes += e.block.size();
  EXPECT_EQ(history.bytes, bytes);
  while (undo_step()) {}
  EXPECT_EQ(design.header.empty_mass, 1019.0);  // the oldest steps went first
}

TEST_F(Undo, AutosaveWritesChangesOnlyAndSaysOnceWhenItCannot) {
  const std::string file = dir.file(autosave.file);
  design.header.design_time = 50;               // time alone, before any change, is no change
  EXPECT_TRUE(autosave_final());
  EXPECT_FALSE(std::filesystem::exists(file));  // nothing changed: an older autosave stays
  set_header_value(design, &design_header::empty_mass, 777.0);
  autosave_tick(59);
  EXPECT_FALSE(std::filesystem::exists(file));
  undo_checkpoint();
  autosave_tick(60);
  vessel_design read;
  ASSERT_EQ(read_design_file(read, file).status, design_read_ok);
  EXPECT_EQ(read.header.empty_mass, 777.0);
  design.header.design_time = 110;              // once changed, the time spent is kept every minute
  autosave_tick(120);
  ASSERT_EQ(read_design_file(read, file).status, design_read_ok);
  EXPECT_EQ(read.header.design_time, 110.0);

  // A file where the folder should be: the write fails, as in a read-only folder, even for root.
  std::filesystem::rename(dir.file("Vessel_Design"), dir.file("kept"));
  dir.put("Vessel_Design", "");
  set_header_value(design, &design_header::empty_mass, 888.0);
  undo_checkpoint();
  autosave_tick(180);
  EXPECT_TRUE(page(page_message).visible);
  EXPECT_NE(pages.message.find("Autosave"), std::string::npos);
  hide_page(page_message);
  set_header_value(design, &design_header::empty_mass, 889.0);
  undo_checkpoint();
  autosave_tick(240);
  EXPECT_FALSE(page(page_message).visible);     // one message, not one a minute
  EXPECT_FALSE(autosave_final());
  std::filesystem::remove(dir.file("Vessel_Design"));
  std::filesystem::rename(dir.file("kept"), dir.file("Vessel_Design"));
  EXPECT_TRUE(autosave_final());
  ASSERT_EQ(read_design_file(read, file).status, design_read_ok);
  EXPECT_EQ(read.header.empty_mass, 889.0);
}

TEST_F(Undo, EachSessionKeepsAFileOfItsOwnAndUnsavedWorkIsOfferedAtTheStart) {
  vessel_design earlier;                         // the work of a session that ended without Save
  earlier.header.empty_mass = 4321;
  std::filesystem::create_directories(dir.file("Vessel_Design"));
  for (int i = 0; i < 11; ++i)                   // eleven older sessions, the newest holding that work
    write_design_file(earlier, dir.file("Vessel_Design/autosave-200101-0000" + std::to_string(10 + i) + ".vessdef"));
  autosave_offer();
  ASSERT_TRUE(page(page_confirm).visible);
  EXPECT_EQ(pages.question, "Unsaved work from 2020-01-01 00:00:20 was kept. Load it?");
  const size_t steps = history.done.size();
  press(page_confirm, "Yes");
  EXPECT_EQ(design.header.empty_mass, 4321.0);
  EXPECT_EQ(history.done.size(), steps + 1);     // one step: Ctrl+Z gives the start-up design back
  ASSERT_TRUE(autosave_final());                 // this session's file joins: the oldest two go
  const astr files = autosave_files(dir.path.string());
  ASSERT_EQ(files.size(), autosave_kept);
  EXPECT_EQ(files.front(), "Vessel_Design/autosave-200101-000012.vessdef");
  EXPECT_EQ(files.back(), autosave.file);

  write_design_file(earlier, dir.file("Vessel_Design/saved.vessdef"));   // the work is saved somewhere now
  design = vessel_design{};
  autosave_init(dir.path.string(), 0);           // the next session: nothing to offer
  hide_page(page_confirm);
  autosave_offer();
  EXPECT_FALSE(page(page_confirm).visible);
}

TEST_F(Undo, CopyAndMirrorButtonsMakeTheNewElementCurrentAndSelected) {
  press(page_main, "Lights");
  press(page_beacons, "Add");
  const int b = int(design.data.beacons.size());
  design.data.beacons.back().pos = make_vec(2, 1, -3);
  press(page_beacons, "Mirror");
  ASSERT_EQ(int(design.data.beacons.size()), b + 1);
  EXPECT_EQ(design.data.beacons.back().pos.x, -2.0);
  EXPECT_EQ(pages.lists[list_beacons].current, b);
  EXPECT_EQ(std::vector<int>({selection.object, selection.mesh, selection.group}), std::vector<int>({1, 0, b}));
  const size_t n = design.data.thrusters.size();
  press(page_main, "Engines");
  press(page_thrusters, "Edit");
  press(page_edit_thruster, "Copy");
  ASSERT_EQ(design.data.thrusters.size(), n + 1);
  EXPECT_EQ(pages.lists[list_thrusters].current, int(n));
  EXPECT_EQ(selection.group, 2 * int(n));
  ASSERT_TRUE(undo_step());
  EXPECT_EQ(design.data.thrusters.size(), n);
}

TEST_F(Undo, ChecksPageAndGroupTableReportTheDesign) {
  press(page_main, "Checks");
  EXPECT_TRUE(page(page_checks).visible);
  set_header_value(design, &design_header::empty_mass, 0.0);
  undo_checkpoint();
  checks_draw(page(page_checks));        // no display: only the lines are made
  bool empty_mass = false;
  for (const std::string& l : checks_page.lines) empty_mass |= l.rfind("error empty-mass", 0) == 0;
  EXPECT_TRUE(empty_mass);
  const check_finding f{check_warning, "group-torque", "thruster_groups", 3, std::string(100, 'x') + " turns"};
  const std::vector<std::string> lines = finding_lines(f);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[2], "  " + std::string(38, 'x') + " turns");
  EXPECT_EQ(lines[0], "warning group-torque, thruster_groups[3]");
  for (const std::string& l : lines) EXPECT_LE(l.size(), size_t(checks_text_chars));

  vessel_design d;
  add_fuel_tank(d, 100);
  add_thruster(d, make_vec(2, 0, 0), make_vec(0, 0, 1), 0, {0}, 1000, 3000);
  add_thruster(d, make_vec(0, 0, -3.21), make_vec(0, 1, 0), 0, {2}, 28634, 3000);
  const std::vector<std::string> table = group_table_lines(d);
  ASSERT_EQ(table.size(), 3u);
  EXPECT_EQ(table[1], "MAIN            0      0     1k       0    -2k      0");
  EXPECT_EQ(table[2], "HOVER           0  28.6k      0   91.9k      0      0");
}

}  // namespace

// --- One way to change the design ---------------------------------------------------------

namespace {

// The preview's scene, wired as the program wires it.
struct wired_scene {
  wired_scene() {
    start_scene(vorl_scene);
    preview = scene_preview_calls();
    preview.shown = &design;
  }
  ~wired_scene() {
    preview = {};
    stop_scene(vorl_scene);
  }
  static double marker_x(int kind, int group) {
    return vorl_scene.objects[marker_object]->draw->meshes[size_t(kind)].groups.at(size_t(group)).centre.x;
  }
};

// The design as it is in memory, live animation positions and design time included.
std::vector<uint8_t> live_bytes() {
  std::vector<uint8_t> out;
  append_block(out, design.header, design.data);
  return out;
}

}  // namespace

TEST_F(Undo, MarkersFollowWhatIsTypedForExhaustsThrustersDocksAndBeacons) {
  wired_scene scene;
  press(page_main, "Exhausts");
  set_exhaust_mode(design, 0, exhaust_free);
  press(page_exhausts, "Edit");
  type_into(page_edit_exhaust, 100, 80, "42");           // "Pos X"
  gui_key_up(0, vk_return);
  EXPECT_EQ(design.data.exhausts[0].pos.x, 42.0);
  EXPECT_EQ(scene.marker_x(point_exhausts, 0), 42.0);
  hide_page(page_edit_exhaust);
  press(page_main, "3D controls");
  const std::pair<const char*, page_id> lists[] = {{"Engines", page_thrusters}, {"Docks", page_docks}, {"Lights", page_beacons}};
  for (const auto& [opener, list] : lists) {
    press(page_main, opener);
    press(list, "Add");                                  // the new element's position is selected
    pages_frame();
    type_into(page_controls, 25, 50, "42");              // "X="
    gui_key_up(0, vk_return);
    EXPECT_EQ(scene.marker_x(selection.mesh, selection.group), 42.0) << opener;
    hide_page(list);
  }
}

TEST_F(Undo, VisitingEveryTextBoxStoresNothingAndRecordsNoStep) {
  set_header_value(design, &design_header::size, 13.897179718087456);   // shown rounded
  set_element_value(design, 0, &thruster_def::isp, 1234.56789);
  set_element_axis(design, 0, &exhaust_def::pos, 0, 0.123456789);
  undo_start();
  const std::vector<uint8_t> before = live_bytes();
  for (size_t i = 0; i < gui.textboxes.size(); ++i) {
    gg_wndtype& w = *gui.textboxes[i].window;
    w.visible = true;
    pages_frame();
    const gg_txtboxrec& t = gui.textboxes[i];
    if (t.enabled) {
      click(w.x + t.x + 2, w.y + t.y + 4);               // in
      EXPECT_EQ(gui.focus, t.id);
      click(w.x + 2, w.y - 5);                           // out, on the title bar
    }
    w.visible = false;                                   // and the page closed
    undo_checkpoint();
  }
  EXPECT_EQ(live_bytes(), before);
  EXPECT_EQ(history.done.size(), 1u);
}

TEST_F(Undo, OneUndoBringsBackAMassTypedBeforeVisitingTheNextBox) {
  const double mass = design.header.empty_mass;
  show_page(page_general);
  type_into(page_general, 120, 60, "12345");
  click(page(page_general).x + 122, page(page_general).y + 84);   // into "Size, m"
  press(page_general, "Close&Save");
  ASSERT_EQ(design.header.empty_mass, 12345.0);
  EXPECT_TRUE(undo_key(shift_Ctrl, 'Z'));
  EXPECT_EQ(design.header.empty_mass, mass);
}

TEST_F(Undo, SaveGenerateAndAutosaveLeaveTheDesignAsItIsAndToolAndEditorPackAlike) {
  namespace fs = std::filesystem;
  for (const char* f : {"Meshes", "Textures"}) fs::create_directory_symlink(fs::path(CORVANE_DEMO_ROOT) / f, dir.path / f);
  headless_meshes = mesh_store{};
  headless_meshes.root = dir.path.string();
  preview = mesh_store_calls();                          // the meshes raise the size, as in the designer
  preview.shown = &design;
  apply_template(design);
  set_header_value(design, &design_header::empty_mass, 5000.0);
  undo_checkpoint();
  play_animation(design, 0);
  for (int i = 0; i < 3; ++i) update_design_frame(design, 0.3);
  const std::vector<uint8_t> live = live_bytes();
  save_design_now();
  export_design(dir.file("editor.zip"), 1);
  EXPECT_TRUE(autosave_final());
  EXPECT_EQ(live_bytes(), live);
  preview = {};

  const std::string tool = CORVANE_BINARY_DIR "/corvane-tool";
  const std::string saved = name_of(design.header.dll_name, sizeof design.header.dll_name) + ".vessdef";
  ASSERT_EQ(std::system(("cd '" + dir.path.string() + "' && '" + tool + "' generate '" + saved + "' -o tool.zip").c_str()), 0);
  // Entry names and contents; the readme's line with the time stamp aside.
  const std::string list =
      "python3 -c \"import sys, zipfile, zlib\nfor i in zipfile.ZipFile(sys.argv[1]).infolist():\n"
      " d = b'\\n'.join(l for l in zipfile.ZipFile(sys.argv[1]).read(i).split(b'\\n') if b' addon from ' not in l)\n"
      " print(i.filename, zlib.crc32(d))\" ";
  auto listing = [&](const std::string& zip) {
    std::string out;
    FILE* p = popen((list + "'" + zip + "'").c_str(), "r");
    for (char buf[256]; p && std::fgets(buf, sizeof buf, p);) out += buf;
    if (p) pclose(p);
    return out;
  };
  const std::string editor_zip = listing(dir.file("editor.zip"));
  EXPECT_NE(editor_zip.find("meshes\\dg\\deltaglider.msh"), std::string::npos);
  EXPECT_EQ(listing(dir.file("tool.zip")), editor_zip);
}
