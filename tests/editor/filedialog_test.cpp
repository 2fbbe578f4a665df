// The file dialog: listing, filters, paths, and the dialog driven through the
// toolkit's entry points as the window layer would, without a display.
#include <gtest/gtest.h>
#include <unistd.h>
#include <filesystem>
#include <string>
#include <vector>
#include "../common/scratch_dir.h"
#include "editor/filedialog.h"

namespace {

constexpr uint16_t left = 0x0200, wheel_back = 0x4000;
constexpr uint16_t enter = 13, escape = 27, down_arrow = 40;

std::vector<std::string> names(const std::vector<file_dialog_entry>& entries) {
  std::vector<std::string> out;
  for (const auto& e : entries) out.push_back(e.folder ? e.name + "/" : e.name);
  return out;
}

TEST(FileDialogParts, FiltersMatchByPatternIgnoringCase) {
  EXPECT_TRUE(filter_matches("*.vessdef", "Ship.VESSDEF"));
  EXPECT_FALSE(filter_matches("*.vessdef", "ship.vessdef.bak"));
  EXPECT_FALSE(filter_matches("*.vessdef", "vessdef"));
  EXPECT_TRUE(filter_matches("*.cpp; *.h", "unit.h"));        // ';'-separated, blanks around ignored
  EXPECT_FALSE(filter_matches("*.cpp; *.h", "unit.hpp"));
  EXPECT_TRUE(filter_matches("*.*", "README"));               // "*.*" is any file, dot or not
  EXPECT_TRUE(filter_matches("a?c*.msh", "abcdef.msh"));
  EXPECT_FALSE(filter_matches("a?c*.msh", "ac.msh"));
  EXPECT_TRUE(filter_matches("", "anything"));
}

TEST(FileDialogParts, PathsComposeFromTheFolderAndATypedName) {
  EXPECT_EQ(compose_path("/r/f", "ship.zip"), "/r/f/ship.zip");
  EXPECT_EQ(compose_path("/r/f", "sub\\x.dll"), "/r/f/sub/x.dll");   // either slash
  EXPECT_EQ(compose_path("/r/f", "../x.txt"), "/r/x.txt");
  EXPECT_EQ(compose_path("/r/f", "/abs/y"), "/abs/y");
  EXPECT_EQ(compose_path("/r/f", ".."), "/r");
  EXPECT_EQ(compose_path("/", ".."), "/");
  EXPECT_EQ(compose_path(".", ""), std::filesystem::current_path().string());
}

TEST(FileDialogParts, ListingHasTheParentFoldersThenMatchingFilesSortedIgnoringCase) {
  scratch_dir d;
  for (const char* f : {"b.vessdef", "a.vessdef", "C.vessdef", "A.vessdef", "notes.txt", "beta/x", "Alpha/y"})
    d.put(f, "x");
  std::string error;
  EXPECT_EQ(names(list_folder(d.path.string(), "*.vessdef", error)),
            (std::vector<std::string>{"../", "Alpha/", "beta/", "A.vessdef", "a.vessdef", "b.vessdef", "C.vessdef"}));
  EXPECT_EQ(error, "");
  std::vector<file_dialog_entry> top = list_folder("/", "*.none", error);
  EXPECT_TRUE(top.empty() || top.front().name != "..");   // no parent at the top
  EXPECT_EQ(names(list_folder(d.file("missing"), "*.*", error)), std::vector<std::string>{"../"});
  EXPECT_NE(error.find("Cannot read"), std::string::npos);
}

// --- The dialog itself ---

int underneath_clicks = 0;
void count_click(gg_btnrec&) { ++underneath_clicks; }

uint32_t fake_now = 0;
uint32_t fake_clock() { return fake_now; }

class Dialog : public ::testing::Test {
 protected:
  scratch_dir d;
  gg_wndtype page;
  std::string page_text = "page";
  std::vector<file_dialog_result> results;

  void SetUp() override {
    gui_init();
    gui.clipboard = {};
    screen = {800, 600};
    underneath_clicks = 0;
    fake_now = 1000;
    // A page under the dialog with a button and a focused text box.
    gui_window(page, 0, 20, 800, 580, true, "Page");
    gui_button(page, 0, 0, 800, 580, "Everything", 1, count_click);
    gui_textbox(page, 0, 0, 100, 16, bind_variable(page_text));
    gui_set_focus(0);
    file_dialog.clock = fake_clock;
    for (const char* f : {"ship.vessdef", "other.vessdef", "mod.dll", "Sub/inner.vessdef", "Meshes/a.msh"})
      d.put(f, "x");
  }
  void TearDown() override {
    gui_final();
    file_dialog = file_dialog_state{};
  }
  void open(int flags, const std::string& folder = "", const std::string& name = "") {
    file_dialog_request r;
    r.title = "Load";
    r.folder = folder.empty() ? d.path.string() : folder;
    r.file_name = name;
    r.filters = {{"Vessel definitions (*.vessdef)", "*.vessdef"}, {"Vessel modules (*.dll)", "*.dll"},
                 {"All file types", "*.*"}};
    r.flags = flags;
    file_dialog_open(r, [this](const file_dialog_result& res) { results.push_back(res); });
  }
  void click(int x, int y) {
    gui_mouse_down(left, x, y);
    gui_mouse_up(left, x, y);
  }
  void click_row(int row) {
    click(file_dialog_window.x + fd_list_x + 20, file_dialog_window.y + file_dialog_row_y(row) + 5);
  }
  void double_click_row(int row) {
    click_row(row);
    fake_now += 200;
    click_row(row);
  }
  void click_filter(int index) {
    click(file_dialog_window.x + fd_filter_x + 20, file_dialog_window.y + fd_filter_y + (index - 1) * fd_filter_pitch + 5);
  }
  void key(uint16_t k) {
    EXPECT_TRUE(gui_key_down(0, k));
    EXPECT_TRUE(gui_key_up(0, k));
  }
  // Lower-case letters, digits, '.' and '/' as the keys that type them.
  void type(const std::string& s) {
    for (char c : s) key(c == '.' ? 190 : c == '/' ? 191 : (c >= 'a' && c <= 'z') ? uint16_t(c - 32) : uint16_t(c));
  }
  int row_of(const std::string& name) {
    for (size_t i = 0; i < file_dialog.entries.size(); ++i)
      if (file_dialog.entries[i].name == name) return int(i) - file_dialog.top;
    ADD_FAILURE() << name << " is not listed";
    return 0;
  }
  std::string name_box() { return gui.textboxes[size_t(file_dialog.name_box)].text; }
};

TEST_F(Dialog, OpensModalOverEverythingAndTakesEveryEvent) {
  open(fd_None, "", "start.vessdef");
  EXPECT_TRUE(file_dialog_shown());
  EXPECT_EQ(file_dialog_window.title, "Load");
  EXPECT_EQ(name_box(), "start.vessdef");
  EXPECT_EQ(page_text, "page");                      // the page's focused box gave up the focus ...
  EXPECT_EQ(gui.focus, gui.textboxes[size_t(file_dialog.name_box)].id); // ... and the name box has the focus
  EXPECT_EQ(names(file_dialog.entries),
            (std::vector<std::string>{"../", "Meshes/", "Sub/", "other.vessdef", "ship.vessdef"}));
  // Outside the dialog: taken, and the page's button never clicks.
  EXPECT_TRUE(gui_mouse_down(left, 5, 590));
  EXPECT_TRUE(gui_mouse_up(left, 5, 590));
  EXPECT_EQ(underneath_clicks, 0);
  gui.mouse_x = 5;
  gui.mouse_y = 590;
  type("x");                                         // keys go to the name box wherever the mouse is
  EXPECT_EQ(name_box(), "start.vessdefx");
  EXPECT_EQ(page_text, "page");
  key(escape);
  ASSERT_EQ(results.size(), 1u);
  EXPECT_FALSE(results[0].ok);
  EXPECT_FALSE(file_dialog_shown());
  click(5, 590);                                     // the page has its events back
  EXPECT_EQ(underneath_clicks, 1);
}

TEST_F(Dialog, PressesPickAndDoublePressesOpenFoldersAndChooseFiles) {
  open(fd_FileMustExist | fd_PathMustExist);
  click_row(row_of("ship.vessdef"));
  EXPECT_EQ(name_box(), "ship.vessdef");
  fake_now += 2000;                                  // too slow for a double press: two single ones
  click_row(row_of("ship.vessdef"));
  EXPECT_TRUE(results.empty());
  double_click_row(row_of("Sub"));
  EXPECT_EQ(file_dialog.folder, d.file("Sub"));
  EXPECT_EQ(names(file_dialog.entries), (std::vector<std::string>{"../", "inner.vessdef"}));
  double_click_row(row_of(".."));
  EXPECT_EQ(file_dialog.folder, d.path.string());
  click_filter(2);                                   // the modules filter lists the .dll
  EXPECT_EQ(names(file_dialog.entries), (std::vector<std::string>{"../", "Meshes/", "Sub/", "mod.dll"}));
  double_click_row(row_of("mod.dll"));
  ASSERT_EQ(results.size(), 1u);
  EXPECT_TRUE(results[0].ok);
  EXPECT_EQ(results[0].path, d.file("mod.dll"));
  EXPECT_EQ(results[0].filter_index, 2);
  EXPECT_FALSE(file_dialog_shown());
}

TEST_F(Dialog, TypedNamesAndPathsAreCheckedAgainstWhatMustExist) {
  open(fd_FileMustExist | fd_PathMustExist, "", "missing.vessdef");
  key(enter);
  EXPECT_TRUE(file_dialog_shown());
  EXPECT_EQ(file_dialog.message, "File not found: " + d.file("missing.vessdef"));
  open(fd_FileMustExist | fd_PathMustExist, "", "nowhere/x.vessdef");   // a second open replaces the first
  ASSERT_EQ(results.size(), 1u);
  EXPECT_FALSE(results[0].ok);
  const gg_btnrec& ok = gui.buttons[size_t(file_dialog.ok_button)];
  click(file_dialog_window.x + ok.x + 5, file_dialog_window.y + ok.y + 5);
  EXPECT_EQ(file_dialog.message, "Folder not found: " + d.file("nowhere"));
  // A relative path typed over the name, in other capitals: the file on disk.
  for (int i = 0; i < 20; ++i) key(8);
  type("sub");
  key(enter);                                        // a folder name opens the folder
  EXPECT_EQ(file_dialog.folder, d.file("Sub"));
  type("../sub/inner.vessdef");
  key(enter);
  ASSERT_EQ(results.size(), 2u);
  EXPECT_TRUE(results[1].ok);
  EXPECT_EQ(results[1].path, d.file("Sub/inner.vessdef"));
  EXPECT_EQ(results[1].filter_index, 1);
  // A save dialog takes a new name in an existing folder, as typed.
  open(fd_PathMustExist | fd_Save, "", "New.zip");
  key(enter);
  ASSERT_EQ(results.size(), 3u);
  EXPECT_EQ(results[2].path, d.file("New.zip"));
  // A listed name is taken as it stands: its backslash is no separator.
  d.put("odd\\name.vessdef", "x");
  open(fd_FileMustExist);
  double_click_row(row_of("odd\\name.vessdef"));
  ASSERT_EQ(results.size(), 4u);
  EXPECT_EQ(results[3].path, d.file("odd\\name.vessdef"));
}

TEST_F(Dialog, LongListsScrollWithTheWheelAndTheArrowKeys) {
  for (int i = 0; i < 30; ++i) d.put("f" + std::to_string(100 + i) + ".txt", "x");
  open(fd_None);
  click_filter(3);
  ASSERT_EQ(file_dialog.entries.size(), 36u);        // "..", two folders, 33 files
  int x = file_dialog_window.x + 100, y = file_dialog_window.y + 100;
  gui_mouse_down(wheel_back, x, y);
  EXPECT_EQ(file_dialog.top, fd_wheel_rows);
  for (int i = 0; i < 10; ++i) gui_mouse_down(wheel_back, x, y);
  EXPECT_EQ(file_dialog.top, 36 - fd_rows);          // stops with the last entry on the last row
  file_dialog.top = 0;
  for (int i = 0; i < fd_rows + 2; ++i) key(down_arrow);
  EXPECT_EQ(file_dialog.selected, fd_rows + 1);
  EXPECT_EQ(file_dialog.top, 2);                     // the picked entry stays in view
  EXPECT_EQ(name_box(), file_dialog.entries[size_t(fd_rows + 1)].name);
  key(enter);
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].path, d.file(file_dialog.entries[size_t(fd_rows + 1)].name));
  EXPECT_EQ(results[0].filter_index, 3);
}

TEST_F(Dialog, RelativeFoldersStartFromTheRootIgnoringCase) {
  std::filesystem::path was = std::filesystem::current_path();
  std::filesystem::current_path(d.path);
  open(fd_None, "meshes");
  EXPECT_EQ(file_dialog.folder, d.file("Meshes"));
  key(escape);
  open(fd_None, "no-such-folder");
  EXPECT_EQ(file_dialog.folder, d.path.string());   // a missing folder falls back to the root
  std::filesystem::current_path(was);
}

}  // namespace
