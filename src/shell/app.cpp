// app: the program's start-up, frame, input routing and progress screen.
#include "shell/app.h"
#include <algorithm>
#include <exception>
#include <cstdio>
#include <cstdlib>
#include "base/sys.h"
#include "data/assets.h"
#include "design/designtemplate.h"
#include "design/kvgen.h"
#include "design/kvvar.h"
#include "editor/autosave.h"
#include "editor/filecmds.h"
#include "editor/gallery.h"
#include "gl/glgr.h"
#include "editor/grpgui.h"
#include "editor/kvwindows.h"
#include "editor/meshview.h"
#include "editor/selection.h"
#include "editor/statusline.h"
#include "editor/undo.h"
#include "images/picture.h"
#include "render/kvvorl.h"
#include "render/vorlaux.h"
#include "render/vorlcalc.h"
#include "render/vorldraw.h"
#include "render/vorlmenu.h"
#include "render/vorlutil.h"
#include "shell/camera.h"
#include "shell/tim.h"

app_state app;

namespace {

constexpr uint32_t white = 0xFFFFFFFFu;
constexpr uint32_t panel_fill = pack_rgba(128, 128, 128, 210);
constexpr int overlay_line_y = 90, fine_line_y = 110;

// --- Memory figures --------------------------------------------------------------------

long long heap_megabytes() { return memory_in_use().heap_bytes >> 20; }

long long available_megabytes() { return memory_in_use().available_bytes >> 20; }

// --- Frame ---------------------------------------------------------------------------------

void draw_overlay() {
  mode_2d(app.win.width, app.win.height);
  begin_2d_batch();                 // the overlay, the windows and the cursor in a few draws
  draw_engine_overlay(vorl_scene);
  int half = app.win.width / 2;
  draw_text_centred(vorl_scene.camera.mode == camera_free ? "Free flight (0 toggle)" : "Target mode (0 toggle)",
                    overlay_red, half, overlay_line_y);
  if (view.fine) draw_text_centred("Fine camera controls", overlay_red, half, fine_line_y);
  status_draw(app.time, app.win.height, page(page_main).x - 12);   // left of the main menu
  gui_draw_all();
  draw_textured(app.cursor_texture, false, white, app.mouse_x - cursor_size / 2, app.mouse_y - cursor_size / 2,
                cursor_size, cursor_size);
  end_2d_batch();
}

void screenshot_if_due() {
  if (!app.screenshot_due) return;
  app.screenshot_due = false;
  try {
    std::printf("screenshot: %s\n", take_screenshot(app.win.width, app.win.height).c_str());
  } catch (const io_error& e) {
    std::fprintf(stderr, "%s\n", e.what());
  }
  std::fflush(stdout);
}

// --- Input -----------------------------------------------------------------------------------

// The engine's option keys; its screenshot is taken at the end of the next frame.
bool engine_key(uint16_t key, int ctrl) {
  bool taken = vorl_key(vorl_scene, key, ctrl);
  if (vorl_menu.screenshot_due) app.screenshot_due = true;
  vorl_menu.screenshot_due = false;
  return taken;
}

void key_down(uint16_t shift, uint16_t key) {
  if (engine_key(key, (shift & shift_Ctrl) ? 2 : 0)) return;
  if (gui.modal) {                  // a modal window takes Escape too: it cancels the window
    gui_key_down(shift, key);
    return;
  }
  // Escape closes the top-most page first; with none open it ends the program, as Alt+F4 does:
  // in order, the settings are not written.
  if ((key == vk_escape && !close_top_page()) || (key == vk_f4 && (shift & shift_Alt))) {
    post_quit(0);
    return;
  }
  if (key == vk_escape) return;
  if (undo_key(shift, key) || gui_key_down(shift, key)) return;
  camera_key(vorl_scene, key);
}

// The close button and "Exit": the settings, then the orderly end (the autosave on the way out).
void close_program() {
  try {
    write_user_settings(settings);
  } catch (const io_error& e) {
    std::fprintf(stderr, "%s\n", e.what());
  }
  post_quit(0);
}

// "Exit": the closing screen, then as the close button; nothing is saved or asked.
void exit_program() {
  progress_screen("Closing", program_title, false);
  close_program();
}

// The last words of every ending: the design into the autosave.
void final_autosave() { autosave_final(); }

// An exception that escaped the loop ends the program; the design is kept first.
int stopped_by(const std::string& what) {
  const bool kept = autosave_final();
  show_error("Veltora Corvane stopped: " + what +
             (kept ? " Unsaved changes are kept in " + autosave.file + "." : " The autosave failed too."));
  return 1;
}

int run_loop() {
  try {
    return message_loop();
  } catch (const std::exception& e) {
    return stopped_by(e.what());
  } catch (...) {
    return stopped_by("an unknown failure.");
  }
}

// Anything that ends in std::terminate (an exception thrown where none may be) still tries the autosave.
[[noreturn]] void terminated() {
  static bool once = false;
  if (!once) {
    once = true;
    std::fprintf(stderr, "Veltora Corvane stopped by an unexpected failure.\n");
    autosave_final();
  }
  std::fflush(nullptr);
  std::abort();
}

void file_progress(const std::string& line) { progress_screen(line, program_title, false); }

void remember_mouse(int x, int y) {
  app.mouse_x = x;
  app.mouse_y = y;
}

// --- Start-up ----------------------------------------------------------------------------------

void make_cursor() {
  std::vector<uint8_t> rgba;
  if (decode_cursor(rgba))
    app.cursor_texture = texture_from_pixels(cursor_size, cursor_size, rgba.data(), texture_None);
}

void make_render_textures() {
  app.render_colour = empty_texture(render_texture_size, render_texture_size, texture_Linear);
  app.render_depth = depth_texture(render_texture_size, false);
}

// The designer's scene on the engine, and the one record of calls that the
// design, the pages, the camera and the file commands make to it and to the shell.
void start_preview() {
  start_scene(vorl_scene);
  preview = scene_preview_calls();
  preview.shown = &design;
  preview.camera_offset = live_offset;
  preview.vc_camera_place = place_at_offset;
  preview.vc_camera_switch = view_second;
  preview.progress = file_progress;
  preview.exit_program = exit_program;
  preview.wake = wake_loop;
}

}  // namespace

std::string memory_line() {
  return "Memory: " + std::to_string(heap_megabytes()) + "Mb/" + std::to_string(available_megabytes()) + "Mb";
}

bool decode_cursor(std::vector<uint8_t>& rgba) {
  rgba_image img;
  if (!decode_picture(byte_span(cursor_png, cursor_png_size), no_colour_key, img)) return false;
  if (img.width != cursor_size || img.height != cursor_size) return false;
  rgba = std::move(img.pixels);
  return true;
}

designer_options parse_options(int argc, const char* const* argv) {
  designer_options o;
  for (int i = 1; i < argc && o.error.empty(); ++i) {
    const std::string a = argv[i];
    if (a == "--no-frame-cap") o.no_frame_cap = true;
    else if (a == "--help" || a == "-h") o.help = true;
    else o.error = "unknown option " + a;
  }
  return o;
}

std::string usage_text() {
  return "usage: corvane [--no-frame-cap] [--help]\n"
         "Runs the vessel designer in the current folder, the simulator's root.\n"
         "  --no-frame-cap  draw every frame as fast as the machine can, without vertical sync,\n"
         "                  even when nothing changes (for measuring the frame rate)\n"
         "  --help          print this text and end\n";
}

int32_t next_frame_in(uint32_t now) {
  const auto& playing = design.anim_playing;
  if (std::find(playing.begin(), playing.end(), 1) != playing.end() || page(page_mesh_view).visible) return 0;
  const double to_autosave = autosave.last + autosave_period - app.time;   // seconds; the write checks for changes
  int32_t next = int32_t(std::clamp(to_autosave, 0.0, autosave_period) * 1000) + 1;
  if (selection_pulsing(vorl_scene))
    next = std::min(next, now - app.last_input < uint32_t(pulse_idle_after) ? 0 : pulse_idle_interval);
  return next;
}

void frame(double dt, double t) {
  app.time = t;
  vorl_scene.frame_time = t;
  camera_frame(vorl_scene);         // the live camera into its slot; the target from the pan
  vorl_scene.picked_object = selection.object;
  vorl_scene.picked_mesh = selection.mesh;
  vorl_scene.picked_group = selection.group;
  vorl_scene.width = app.win.width;
  vorl_scene.height = app.win.height;
  planets_frame(vorl_scene);
  render_preview(vorl_scene, design); // animations moved first
  // Design time, crew airlock from dock 0 and the playing animations.
  update_design_frame(design, dt);
  pages_frame();
  autosave_tick(t);
  show_run_reports();
  draw_overlay();
  screenshot_if_due();
  present(app.win);
  app.win.next_frame_in = next_frame_in(tick_count());
}

void input(int kind, int x, int y, uint16_t shift, uint16_t key) {
  app.last_input = tick_count();
  switch (kind) {
    case input_close: close_program(); break;
    case input_key_up: gui_key_up(shift, key); break;
    case input_key_down: key_down(shift, key); break;
    case input_mouse_move:          // camera turn, GUI, handle picking, drag, pan
      camera_mouse_move(shift, x, y);
      remember_mouse(x, y);
      break;
    case input_button_up:           // the drag ends, then the GUI
      camera_mouse_up(shift, x, y);
      remember_mouse(x, y);
      break;
    case input_button_down:         // wheel zoom, GUI, selection and handle picking
      camera_mouse_down(shift, x, y);
      remember_mouse(x, y);
      break;
    case input_resize:              // the preview follows in the window layer; the pages here
      gui_screen_resized(x, y);
      break;
    default: break;
  }
  if (kind == input_button_up) undo_commit();  // a release ends any drag, wherever it happens
  else undo_checkpoint();           // whatever the event changed is one step
  if (app.camera_reports && (kind == input_key_down || kind == input_button_up || kind == input_button_down)) {
    std::printf("%s\n", camera_report().c_str());
    std::fflush(stdout);
  }
}

void draw_progress_screen(const std::string& main_line, const std::string& second_line, bool loading) {
  int hw = app.win.width / 2, hh = app.win.height / 2;
  mode_2d(app.win.width, app.win.height);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glClearColor(0, 0, 0.5f, 1);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  draw_panel(hw - 200, hh - 90, 400, 200, 4, panel_fill, white);
  draw_text_centred(loading ? "Loading " : second_line, overlay_red, hw, hh - 15);
  draw_text_centred(main_line, overlay_red, hw, hh);
  draw_text_centred(memory_line(), overlay_red, hw, hh + 15);
}

void progress_screen(const std::string& main_line, const std::string& second_line, bool loading) {
  draw_progress_screen(main_line, second_line, loading);
  present(app.win);
  pump_single_message();
}

bool start_designer(bool gallery, const designer_options& options) {
  read_user_settings(settings);
  catch_end_signals();
  if (!create_window(app.win, window_width, window_height, program_title, frame, input, false)) return false;
  app.win.no_frame_cap = options.no_frame_cap;
  probe_capabilities();
  build_font();
  progress_screen("Starting up", program_title, false);
  start_engine(vorl_scene, app.win.width, app.win.height, progress_screen);
  vorl_switches.vsync = !options.no_frame_cap && set_swap_interval(1);   // the display's pace where offered
  if (!vorl_switches.vsync) set_swap_interval(0);
  start_preview();                  // the camera 20 m behind the vessel above the Earth
  if (gallery) vorl_scene.camera.angles = {-0.9, 0, 0};   // the planet below, until the mouse turns the view
  apply_template(design);
  camera_start(vorl_scene, design.header.vc_camera);  // target mode; the second slot at the VC camera
  clear_selection();
  make_cursor();
  if (gallery) build_gallery();
  app.camera_reports = gallery;
  file_commands_init(current_folder());
  pages_build(app.win.width, app.win.height);
  undo_start();
  autosave_init(files.root, 0);
  autosave_offer();
  make_render_textures();
  mesh_view_start(app.render_colour, app.render_depth, &app.time);  // no thumbnail mesh loaded
  std::set_terminate(terminated);
  vorl_log_file.before_end = final_autosave;
  dogl.before_quick_end = final_autosave;
  return true;
}

void stop_designer() {
  mesh_view_final();
  for (GLuint* t : {&app.cursor_texture, &app.render_colour, &app.render_depth}) release_texture(*t);
  stop_scene(vorl_scene);
  stop_engine(vorl_scene);
}

int run_designer(bool gallery, const designer_options& options) {
  if (!start_designer(gallery, options)) return 1;
  int code = run_loop();
  autosave_final();                 // every orderly ending leaves the loop
  stop_designer();
  return code;
}
