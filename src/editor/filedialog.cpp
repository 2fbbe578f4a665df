// filedialog: the listing, the dialog's window and widgets, its mouse and key
// handling and its drawing.
#include "editor/filedialog.h"
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string_view>
#include "base/instpath.h"
#include "base/strval.h"
#include "design/filef.h"

namespace fs = std::filesystem;

file_dialog_state file_dialog;
gg_wndtype file_dialog_window;

// --- Listing, filter matching, path composition -----------------------------------------------

namespace {

// Case ignored first; names equal that way keep a fixed order by their bytes.
bool listed_before(const file_dialog_entry& a, const file_dialog_entry& b) {
  bool less = std::lexicographical_compare(a.name.begin(), a.name.end(), b.name.begin(), b.name.end(),
                                           [](char x, char y) { return lower_ascii(x) < lower_ascii(y); });
  bool more = std::lexicographical_compare(b.name.begin(), b.name.end(), a.name.begin(), a.name.end(),
                                           [](char x, char y) { return lower_ascii(x) < lower_ascii(y); });
  return less || (!more && a.name < b.name);
}

// Absolute and normalised, without the trailing slash that ".." or "a/" leave.
std::string normal_text(const fs::path& p) {
  std::error_code ec;
  fs::path a = fs::absolute(p, ec);
  std::string s = (ec ? p : a).lexically_normal().string();
  if (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

}  // namespace

bool filter_matches(const std::string& patterns, const std::string& name) {
  if (trim(patterns).empty()) return true;
  size_t start = 0;
  while (start <= patterns.size()) {
    size_t end = std::min(patterns.find(';', start), patterns.size());
    const std::string p(trim(std::string_view(patterns).substr(start, end - start)));
    if (p == "*.*" || (!p.empty() && name_matches(name, p))) return true;
    start = end + 1;
  }
  return false;
}

std::string compose_path(const std::string& folder, const std::string& name) {
  fs::path n(to_slashes(name));
  return normal_text(n.is_absolute() ? n : fs::path(folder) / n);
}

std::vector<file_dialog_entry> list_folder(const std::string& folder, const std::string& patterns,
                                           std::string& error) {
  error.clear();
  std::vector<file_dialog_entry> folders, files;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code type_ec;
    std::string name = it->path().filename().string();
    if (it->is_directory(type_ec)) folders.push_back({name, true});
    else if (filter_matches(patterns, name)) files.push_back({name, false});
  }
  if (ec) error = "Cannot read " + folder + ": " + ec.message();
  std::sort(folders.begin(), folders.end(), listed_before);
  std::sort(files.begin(), files.end(), listed_before);
  std::vector<file_dialog_entry> out;
  if (fs::path(folder) != fs::path(folder).root_path()) out.push_back({"..", true});
  out.insert(out.end(), folders.begin(), folders.end());
  out.insert(out.end(), files.begin(), files.end());
  return out;
}

// --- The dialog ---------------------------------------------------------------------------------

namespace {

constexpr uint32_t list_fill = pack_rgba(32, 32, 48, 230);
constexpr uint32_t picked_fill = pack_rgba(0, 128, 255, 160);
constexpr uint32_t message_colour = pack_rgba(255, 255, 0, 255);
constexpr uint32_t thumb_fill = pack_rgba(200, 200, 200, 255);
constexpr uint32_t backing_fill = pack_rgba(128, 128, 128, 255);
constexpr int button_width = 80, button_height = 20;
constexpr int folder_x = 80;                           // the folder shown, after "Look in:"
constexpr int scroll_width = 8;                        // the list's scroll bar
constexpr uint16_t left_button = 0x0200, wheel_forward = 0x2000, wheel_backward = 0x4000;

struct list_key {
  uint16_t key;
  int step;                                            // rows the selection moves
};
constexpr list_key list_keys[] = {{38, -1}, {40, +1}, {33, -fd_rows}, {34, +fd_rows}};  // Up, Down, Page Up, Page Down
constexpr uint16_t key_enter = 13, key_escape = 27, key_f1 = 112, key_f24 = 135;

file_dialog_state& fd = file_dialog;

uint32_t steady_ms() {
  using namespace std::chrono;
  return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

int filter_count() { return int(fd.request.filters.size()); }
int message_y() { return fd_filter_y + filter_count() * fd_filter_pitch + 4; }

std::string current_patterns() {
  return fd.request.filters.empty() ? "" : fd.request.filters[size_t(fd.filter - 1)].patterns;
}

// The text cut to a number of characters: the head is kept, or the tail (for paths).
std::string fit(const std::string& s, int chars, bool keep_tail = false) {
  if (int(s.size()) <= chars) return s;
  size_t keep = size_t(std::max(chars - 3, 0));
  return keep_tail ? "..." + s.substr(s.size() - keep) : s.substr(0, keep) + "...";
}

// An existing path that the given one names with other capitals, else the path itself.
std::string matched_ignoring_case(const std::string& path) {
  std::error_code ec;
  if (fs::exists(path, ec) || path.size() < 2) return path;
  std::string found = install_path("/", path.substr(1));
  return found.empty() ? path : found;
}

bool is_folder(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(path, ec);
}

void show_folder(const std::string& folder) {
  fd.folder = folder;
  fd.entries = list_folder(folder, current_patterns(), fd.message);
  fd.top = 0;
  fd.selected = fd.last_pick = -1;
}

std::string initial_folder(const std::string& folder) {
  std::string root = compose_path(".", "");
  if (folder.empty()) return root;
  std::string f = matched_ignoring_case(compose_path(root, folder));
  return is_folder(f) ? f : root;
}

// Puts a name into the name box and gives the box the focus with the caret at
// its end; whatever the box held is committed first and then replaced.
void put_name(const std::string& name) {
  gui_set_focus(-1);
  fd.name = name;
  gui_set_focus(gui.textboxes[size_t(fd.name_box)].id);
  gg_txtboxrec& t = gui.textboxes[size_t(fd.name_box)];
  t.cursor = t.sel_start = t.sel_end = int32_t(t.text.size());
}

void close(bool ok, const std::string& path) {
  gui_set_modal(nullptr);
  file_dialog_window.visible = false;
  fd.shown = false;
  file_dialog_done done = std::move(fd.done);
  fd.done = nullptr;
  if (done) done({ok, path, fd.filter});
}

// An entry's path, its name taken as listed (a backslash in it is no separator).
std::string entry_path(int e) { return normal_text(fs::path(fd.folder) / fd.entries[size_t(e)].name); }

void open_folder_entry(int e) {
  show_folder(entry_path(e));
  put_name(fd.name);
}

// Why the chosen path cannot be taken, or "" when it can.
std::string refusal(const std::string& path) {
  int flags = fd.request.flags;
  std::string parent = fs::path(path).parent_path().string();
  std::error_code ec;
  if ((flags & (fd_FileMustExist | fd_PathMustExist)) && !is_folder(parent))
    return "Folder not found: " + parent;
  if ((flags & fd_FileMustExist) && !fs::exists(path, ec)) return "File not found: " + path;
  return "";
}

// A path that names a folder opens it; any other is chosen unless refused.
void take_path(const std::string& path) {
  if (is_folder(path)) {
    show_folder(path);
    put_name("");
    return;
  }
  fd.message = refusal(path);
  if (fd.message.empty()) close(true, path);
  else put_name(fd.name);
}

// OK: the typed name, or with none the picked folder.
void accept() {
  gui_set_focus(-1);
  std::string name(trim(fd.name));
  if (name.empty()) {
    if (fd.selected >= 0 && fd.entries[size_t(fd.selected)].folder) open_folder_entry(fd.selected);
    else put_name("");
    return;
  }
  std::string path = compose_path(fd.folder, name);
  take_path(fd.request.flags & fd_Save ? path : matched_ignoring_case(path));
}

void cancel() { close(false, ""); }

void ok_clicked(gg_btnrec&) { accept(); }
void cancel_clicked(gg_btnrec&) { cancel(); }

void scroll_by(int rows) {
  int last = std::max(int(fd.entries.size()) - fd_rows, 0);
  fd.top = std::clamp(fd.top + rows, 0, last);
}

// A single press picks an entry (a file's name goes to the name box); a second
// press on the same entry soon after opens the folder or chooses the file.
void pick(int e) {
  uint32_t now = fd.clock ? fd.clock() : steady_ms();
  bool twice = e == fd.last_pick && now - fd.last_pick_ms <= fd_double_click_ms;
  fd.last_pick = twice ? -1 : e;
  fd.last_pick_ms = now;
  fd.selected = e;
  const file_dialog_entry& entry = fd.entries[size_t(e)];
  if (entry.folder) {
    if (twice) open_folder_entry(e);
    else put_name(fd.name);
    return;
  }
  put_name(entry.name);
  if (twice) take_path(entry_path(e));
}

void move_selection(int step) {
  int n = int(fd.entries.size());
  if (n == 0) return;
  int from = fd.selected >= 0 ? fd.selected : (step > 0 ? -1 : n);
  fd.selected = std::clamp(from + step, 0, n - 1);
  fd.last_pick = -1;
  if (fd.selected < fd.top) fd.top = fd.selected;
  if (fd.selected >= fd.top + fd_rows) fd.top = fd.selected - fd_rows + 1;
  if (!fd.entries[size_t(fd.selected)].folder) put_name(fd.entries[size_t(fd.selected)].name);
}

void choose_filter(int f) {
  fd.filter = f;
  show_folder(fd.folder);
  put_name(fd.name);
}

// The list entry under a body-relative point, or -1.
int entry_at(int x, int y) {
  if (x < fd_list_x || x > fd_list_x + fd_list_width - scroll_width || y < file_dialog_row_y(0)) return -1;
  int row = (y - file_dialog_row_y(0)) / fd_row_height;
  int e = fd.top + row;
  return row < fd_rows && e < int(fd.entries.size()) ? e : -1;
}

// The 1-based filter row under a body-relative point, or 0.
int filter_at(int x, int y) {
  if (x < fd_filter_x - 4 || x > fd_width - 8 || y < fd_filter_y) return 0;
  int i = (y - fd_filter_y) / fd_filter_pitch;
  return i < filter_count() && y - fd_filter_y - i * fd_filter_pitch <= fd_row_height ? i + 1 : 0;
}

void dialog_mouse(gg_wndtype&, int kind, uint16_t shift, int x, int y) {
  if (kind != gg_down) return;
  if (shift & (wheel_forward | wheel_backward)) {
    scroll_by(shift & wheel_forward ? -fd_wheel_rows : fd_wheel_rows);
    return;
  }
  if (!(shift & left_button)) return;
  if (int e = entry_at(x, y); e >= 0) pick(e);
  else if (int f = filter_at(x, y); f > 0) choose_filter(f);
}

// Seen before the name box: the list keys, the function keys (which would
// type letters), and Enter and Escape, acted on at their release.
bool dialog_keys(int kind, uint16_t, uint16_t key) {
  for (const list_key& k : list_keys) {
    if (k.key != key) continue;
    if (kind == gg_key_down) move_selection(k.step);
    return true;
  }
  if (key >= key_f1 && key <= key_f24) return true;   // never typed into the name box
  if (key != key_enter && key != key_escape) return false;
  if (kind == gg_key_up) key == key_enter ? accept() : cancel();
  return true;
}

// --- Drawing ---

std::string entry_label(const file_dialog_entry& e) { return e.folder ? e.name + "/" : e.name; }

void draw_list(int x, int y) {
  int height = fd_rows * fd_row_height + 4, chars = (fd_list_width - scroll_width - 8) / gg_char_width;
  fill_rect(x, y, fd_list_width, height, list_fill, gg_outline);
  for (int row = 0; row < fd_rows && fd.top + row < int(fd.entries.size()); ++row) {
    int e = fd.top + row, ry = y - fd_list_y + file_dialog_row_y(row);
    if (e == fd.selected) fill_rect(x + 1, ry, fd_list_width - scroll_width - 2, fd_row_height, picked_fill, picked_fill);
    draw_text(fit(entry_label(fd.entries[size_t(e)]), chars), gg_text, x + 4, ry);
  }
  int n = int(fd.entries.size());
  if (n <= fd_rows) return;
  int track = height - 4, thumb = std::max(track * fd_rows / n, 6);
  int at = (track - thumb) * fd.top / std::max(n - fd_rows, 1);
  fill_rect(x + fd_list_width - scroll_width, y + 2 + at, scroll_width - 2, thumb, thumb_fill, thumb_fill);
}

void draw_filters(int x, int y) {
  int width = fd_width - 8 - fd_filter_x + 4, chars = (width - 8) / gg_char_width;
  for (int i = 0; i < filter_count(); ++i) {
    int ry = y + fd_filter_y + i * fd_filter_pitch;
    fill_rect(x + fd_filter_x - 4, ry, width, fd_row_height, i + 1 == fd.filter ? gg_pressed : gg_body, gg_outline);
    draw_text(fit(fd.request.filters[size_t(i)].description, chars), gg_text, x + fd_filter_x, ry);
  }
}

void draw_dialog(gg_wndtype& w) {
  int chars = (fd_width - folder_x - 8) / gg_char_width;
  draw_text(fit(fd.folder, chars, true), gg_text, w.x + folder_x, w.y + 6);
  draw_list(w.x + fd_list_x, w.y + fd_list_y);
  draw_filters(w.x, w.y);
  if (!fd.message.empty())
    draw_text(fit(fd.message, (fd_width - 16) / gg_char_width, true), message_colour, w.x + 8, w.y + message_y());
}

// --- Window ---

bool widgets_made() {
  return fd.name_box >= 0 &&
         std::find(gui.windows.begin(), gui.windows.end(), &file_dialog_window) != gui.windows.end();
}

void place_window() {
  gg_wndtype& w = file_dialog_window;
  w.title = fd.request.title;
  w.width = fd_width;
  w.height = file_dialog_buttons_y() + button_height + 8;
  w.x = std::max((screen.width - w.width) / 2, 0);
  w.y = std::max((screen.height - w.height) / 2, gg_title_height);
  for (int b : {fd.ok_button, fd.cancel_button}) gui.buttons[size_t(b)].y = file_dialog_buttons_y();
  fd.backing->height = w.height;
}

}  // namespace

int file_dialog_row_y(int row) { return fd_list_y + 2 + row * fd_row_height; }
int file_dialog_buttons_y() { return message_y() + 20; }

void file_dialog_build() {
  if (widgets_made()) return;
  gg_wndtype& w = file_dialog_window;
  gui_window(w, 0, 0, fd_width, 100, false, "", draw_dialog, dialog_mouse, nullptr);
  fd.backing = &gui_panel(w, false, 0, 0, fd_width, 100, backing_fill, backing_fill, false);
  gui_label(w, 8, 6, "Look in:");
  gui_label(w, 8, fd_name_y, "File name:");
  gui_label(w, 8, fd_filter_y, "Files of type:");
  fd.name_box = gui_textbox(w, fd_filter_x, fd_name_y, fd_width - 8 - fd_filter_x + 4, fd_row_height,
                            bind_variable(fd.name));
  fd.ok_button = gui_button(w, fd_width - 2 * (button_width + 8), 0, button_width, button_height, "OK", 0, ok_clicked);
  fd.cancel_button =
      gui_button(w, fd_width - (button_width + 8), 0, button_width, button_height, "Cancel", 0, cancel_clicked);
}

void file_dialog_open(const file_dialog_request& request, file_dialog_done done) {
  if (file_dialog_shown()) cancel();
  file_dialog_build();
  fd.request = request;
  fd.done = std::move(done);
  fd.filter = std::clamp(request.filter_index, 1, std::max(filter_count(), 1));
  show_folder(initial_folder(request.folder));
  place_window();
  file_dialog_window.visible = true;
  fd.shown = true;
  gui_set_modal(&file_dialog_window, dialog_keys);
  put_name(request.file_name);
}

bool file_dialog_shown() { return fd.shown && gui.modal == &file_dialog_window; }
