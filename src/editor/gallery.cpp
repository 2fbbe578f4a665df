// gallery: one widget of every kind, reporting its events on standard output.
#include "editor/gallery.h"
#include <cstdio>
#include "editor/filedialog.h"
#include "render/vorlutil.h"

gallery_values gallery;
gg_wndtype gallery_window;

namespace {

void report(const std::string& line) {
  std::printf("gallery: %s\n", line.c_str());
  std::fflush(stdout);
}

void clicked(gg_btnrec& b) {
  ++gallery.clicks;
  report("button " + std::to_string(b.tag) + " clicked");
}

// A binding that reports each stored text as that of text box `number`.
gg_binding reported(gg_binding b, int number) {
  b.set = [set = b.set, number](const std::string& text) {
    set(text);
    report("text box " + std::to_string(number) + " = " + text);
  };
  return b;
}

void toggled(gg_inprec& c) { report("checkbox " + std::to_string(c.tag) + (c.checked ? " on" : " off")); }

void slid(int slider, int kind) {
  report("slider " + std::to_string(slider) + (kind ? " dragged " : " released ") +
         std::to_string(gui.sliders[size_t(slider)]->value));
}

// The load dialog's choices, so that a test can walk the file dialog.
void open_file(gg_btnrec&) {
  file_dialog_request r;
  r.title = "Load";
  r.filters = {{"Vessel definitions (*.vessdef)", "*.vessdef"}, {"Vessel modules (*.dll)", "*.dll"},
               {"Spacecraft3 vessels (*.ini)", "*.ini"}, {"All file types", "*.*"}};
  r.flags = fd_FileMustExist | fd_PathMustExist;
  file_dialog_open(r, [](const file_dialog_result& res) {
    report(res.ok ? "file dialog ok " + res.path + " filter " + std::to_string(res.filter_index)
                  : "file dialog cancelled");
  });
}

// Enough engine errors to take the engine's fatal path, as a failing pass would.
void engine_failure(gg_btnrec&) {
  report("engine failure");
  for (int i = 0; i < fatal_error_count; ++i) report_error("Gallery", "Error in a forced failure");
}

void key(gg_wndtype&, int kind, uint16_t shift, uint16_t code) {
  if (kind == gg_key_down) report("key " + std::to_string(code) + " shift " + std::to_string(shift));
}

}  // namespace

void build_gallery() {
  gg_wndtype& w = gallery_window;
  gui_window(w, gallery_x, gallery_y, 360, 250, true, "Widget gallery", nullptr, nullptr, key);
  gui_panel(w, false, 4, 4, 352, 60, gg_outline, pack_rgba(0, 0, 64, 255), false);
  gui_label(w, 10, 8, "Name");
  gui_textbox(w, 70, 8, 130, 16, reported(bind_chars(gallery.name, sizeof gallery.name), 1), sizeof gallery.name);
  gui_label(w, 10, 28, "Note");
  gui_textbox(w, 70, 28, 130, 16, reported(bind_variable(gallery.note), 2));
  gui_label(w, 210, 8, "Amount");
  gui_textbox(w, 275, 8, 70, 16, reported(bind_variable(gallery.amount), 3));
  gui_label(w, 210, 28, "Ratio");
  gui_textbox(w, 275, 28, 70, 16, reported(bind_variable(gallery.ratio), 4));
  gui_label(w, 10, 48, "Count");
  gui_textbox(w, 70, 48, 70, 16, reported(bind_variable(gallery.count), 5));
  gui_button(w, 10, 80, 100, 20, "Press", 1, clicked);
  gui_checkbox(w, 130, 80, 16, 16, false, 2, toggled);
  gui_label(w, 152, 80, "Check");
  gui_button(w, 250, 80, 100, 20, "Open file", 3, open_file);
  gui_slider(w, 10, 120, 200, 20, 0, 0.25, slid);
  gui_slider(w, 10, 150, 200, 20, 1, 0.0, slid);
  gui_panel(w, false, 240, 110, 100, 60, gg_outline, pack_rgba(200, 40, 40, 255), false);
  gui_panel(w, false, 260, 130, 60, 20, gg_outline, pack_rgba(40, 40, 200, 255), true);
  gui_label(w, 10, 190, "Label in CP437: \x10 \x11 \xdb");
  gui_button(w, 230, 224, 120, 20, "Engine failure", 4, engine_failure);
}
