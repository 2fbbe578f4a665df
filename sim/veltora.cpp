// veltora: the stand-in simulator. Flies a scenario headless and reports every call.
//
//   veltora.exe [SCENARIO] [--steps N] [--dt S] [--key STEP:KEYCODE[:alt]]... [--report FILE]
//
// Run in the simulator's root. For every ship of the scenario it finds the
// class configuration and its module, loads each module once (InitModule),
// creates the vessel (ovcInit, clbkSetClassCaps, clbkLoadStateEx with the
// ship's state lines, secInit of the class's editor module), flies N steps of
// clbkPreStep / clbkPostStep delivering the given key presses to the focus
// ship, then calls clbkDrawHUD, clbkLoadVC for every view reachable from view
// 0 and clbkSaveState, and deletes the vessels. Without a scenario it flies the
// newest one below "Scenarios"; without --steps it flies 10 simulated seconds.
// The report (default "veltora.log" in the current folder) holds one line per
// call and the saved state lines, and ends by naming each ship it skipped (its
// class unknown here or without a module) and each whose module made no
// vessel, with why. Exit status 0 when every ship whose class has a module was
// created, 1 otherwise (and for a bad command line); --help lists the options
// and key codes.
//
// Builds on: scenario, report, simstate, vesselapi, base/instpath.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>
#include "base/dynlib.h"
#include "report.h"
#include "scenario.h"
#include "simstate.h"

namespace {

struct key_press {
  int step;                      // delivered before this step's callbacks
  unsigned int code;             // scan code
  bool alt;                      // left Alt held
};

struct options {
  std::string scenario;          // "" = the newest one
  double dt = 0.1;               // seconds per step
  int steps = -1;                // -1 = 10 simulated seconds
  std::vector<key_press> keys;
  std::string report = "veltora.log";
};

struct loaded_module {           // a module the simulator loaded, once per name
  std::string name;
  void* lib = nullptr;           // null when it could not be loaded
  ovc_init_fn ovc_init = nullptr;
  ovc_exit_fn ovc_exit = nullptr;
  sec_init_fn sec_init = nullptr;
  bool initialised = false;      // InitModule was called
};

struct flight {                  // the state of one run; owned by main
  std::map<std::string, std::unique_ptr<loaded_module>> modules;
  std::vector<std::unique_ptr<sim_vessel>> vessels;   // created vessels
  std::vector<loaded_module*> vessel_module;         // the module of each created vessel
  std::vector<std::string> skipped;                 // "[ship] class \"X\": why" of classes unknown here or without a module
  std::vector<std::string> not_created;             // the same of ships whose module made no vessel
};

const char* const usage = "usage: veltora.exe [SCENARIO] [--steps N] [--dt S] "
                          "[--key STEP:KEYCODE[:alt]]... [--report FILE]\n";
const char* const help =
    "\nFlies SCENARIO (default: the newest one below Scenarios) headless in the current folder, which\n"
    "must be the simulator's root, and writes every call the vessels make to the report.\n\n"
    "  SCENARIO            a scenario file, or its name below Scenarios\n"
    "  --steps N           time steps to fly, 0 to 1000000 (default: 10 simulated seconds)\n"
    "  --dt S              seconds per step, above 0 (default 0.1)\n"
    "  --key STEP:KEYCODE[:alt]\n"
    "                      before step STEP, press key KEYCODE (0 to 255), with Alt held when \":alt\"\n"
    "                      follows; may be given many times\n"
    "  --report FILE       the report (default veltora.log)\n"
    "  --help              this text\n\n"
    "Key codes are the simulator's keyboard scan codes: 2 to 11 the digits 1 to 9 and 0, 16 to 25\n"
    "Q W E R T Y U I O P, 30 to 38 A S D F G H J K L, 44 to 50 Z X C V B N M. Designed vessels move their\n"
    "animations with 34 G, 37 K, 36 J, 2 (1), 3 (2) and 4 (3), and eject a crew member with Alt and a\n"
    "digit.\n\n"
    "Ships whose class has no configuration or no module here are skipped. Exit status 0 when every\n"
    "other ship was created, 1 when one was not or the command line is wrong; the report's last lines\n"
    "name each ship skipped or not created and why.\n";

constexpr long max_steps = 1000000;  // more is a slip of the command line, not a flight

// The whole of text as a decimal integer from lo to hi.
bool whole_number(const std::string& text, long lo, long hi, long& out) {
  char* end = nullptr;
  errno = 0;
  long v = strtol(text.c_str(), &end, 10);
  if (text.empty() || *end || errno || v < lo || v > hi) return false;
  out = v;
  return true;
}

// "STEP:KEYCODE" or "STEP:KEYCODE:alt".
bool parse_key(const std::string& text, key_press& k) {
  size_t c1 = text.find(':'), c2 = c1 == std::string::npos ? c1 : text.find(':', c1 + 1);
  long step, code;
  k.alt = c2 != std::string::npos && text.substr(c2 + 1) == "alt";
  if (c1 == std::string::npos || (c2 != std::string::npos && !k.alt)) return false;
  if (!whole_number(text.substr(0, c1), 0, max_steps, step) ||
      !whole_number(text.substr(c1 + 1, c2 - c1 - 1), 0, 255, code))
    return false;
  k.step = static_cast<int>(step);
  k.code = static_cast<unsigned int>(code);
  return true;
}

// Reads the command line into o; returns what is wrong with it, or "".
std::string parse_options(int argc, char** argv, options& o) {
  for (int i = 1; i < argc; i++) {
    std::string a = argv[i], value = i + 1 < argc ? argv[i + 1] : "";
    bool takes_value = a == "--steps" || a == "--dt" || a == "--report" || a == "--key";
    if (takes_value && i + 1 >= argc) return a + " wants a value";
    if (takes_value) i++;
    long steps;
    char* end = nullptr;
    key_press k{};
    if (a == "--steps") {
      if (!whole_number(value, 0, max_steps, steps)) return "--steps wants a whole number from 0 to 1000000";
      o.steps = static_cast<int>(steps);
    } else if (a == "--dt") {
      o.dt = strtod(value.c_str(), &end);
      if (value.empty() || *end || !std::isfinite(o.dt) || o.dt <= 0) return "--dt wants a number of seconds above 0";
    } else if (a == "--report") {
      o.report = value;
    } else if (a == "--key") {
      if (!parse_key(value, k)) return "--key wants STEP:KEYCODE or STEP:KEYCODE:alt, a key code from 0 to 255";
      o.keys.push_back(k);
    } else if (a.rfind("--", 0) != 0 && o.scenario.empty()) {
      o.scenario = a;
    } else {
      return "unknown or repeated argument " + quoted(a);
    }
  }
  if (o.steps < 0) {                                 // ten simulated seconds
    double steps = std::round(10.0 / o.dt);
    if (steps > max_steps) return "--dt is too small for ten seconds in at most 1000000 steps";
    o.steps = static_cast<int>(steps);
  }
  return "";
}

loaded_module* load_module(flight& f, const std::string& name) {
  std::unique_ptr<loaded_module>& m = f.modules[name];
  if (m) return m.get();
  m = std::make_unique<loaded_module>();
  m->name = name;
  std::string path = module_path(".", name);
  if (path.empty()) {
    report_line("module " + quoted(name) + " missing");
    return m.get();
  }
  m->lib = dynlib_open(path);
  if (!m->lib) {
    report_line("module " + quoted(name) + " cannot be loaded: " + dynlib_error());
    return m.get();
  }
  auto init = reinterpret_cast<init_module_fn>(dynlib_symbol(m->lib, "InitModule"));
  auto version = reinterpret_cast<module_version_fn>(dynlib_symbol(m->lib, "GetModuleVersion"));
  m->ovc_init = reinterpret_cast<ovc_init_fn>(dynlib_symbol(m->lib, "ovcInit"));
  m->ovc_exit = reinterpret_cast<ovc_exit_fn>(dynlib_symbol(m->lib, "ovcExit"));
  m->sec_init = reinterpret_cast<sec_init_fn>(dynlib_symbol(m->lib, "secInit"));
  int v = version ? version() : 0;
  report_line("module " + quoted(name) + " loaded from " + quoted(path) + " version " + std::to_string(v) +
              (m->sec_init ? " with secInit" : ""));
  if (v != kit_version) {
    report_line("module " + quoted(name) + " is not built for kit version " + std::to_string(kit_version));
    m->ovc_init = nullptr;
    m->sec_init = nullptr;
  } else if (init) {
    report_line("InitModule " + quoted(name));
    init(reinterpret_cast<module_handle>(m.get()));
    m->initialised = true;
  }
  return m.get();
}

void call_editor(flight& f, sim_vessel* v, const std::string& editor_module) {
  loaded_module* m = load_module(f, editor_module);
  if (!m->sec_init) {
    say(v, "secInit missing in " + quoted(editor_module));
    return;
  }
  sim_editor editor{0};
  say(v, "secInit " + quoted(editor_module));
  m->sec_init(&editor, v);
}

// Creates one ship; false (with the reason in f.not_created) when its class has a
// module but no vessel came of it. A class without one is skipped (f.skipped).
bool create_vessel(flight& f, const ship_rec& ship) {
  class_config cfg = read_class_config(".", ship.class_name);
  std::string what = "[" + ship.name + "] class " + quoted(ship.class_name);
  if (cfg.path.empty() || cfg.module.empty()) {
    const std::string why = cfg.path.empty() ? "no configuration" : "no module";
    report_line(what + " skipped: " + why);
    f.skipped.push_back(what + ": " + why);
    return true;
  }
  loaded_module* m = load_module(f, cfg.module);
  auto v = std::make_unique<sim_vessel>();
  v->name = ship.name;
  v->class_name = ship.class_name;
  sim_current() = v.get();
  say(v.get(), "ovcInit");
  // Modules of this kit version make VESSEL2 vessels; older ones are not loaded.
  v->vessel = m->ovc_init ? static_cast<VESSEL2*>(m->ovc_init(v.get(), 1)) : nullptr;
  if (!v->vessel) {
    say(v.get(), "no vessel created by module " + quoted(cfg.module));
    f.not_created.push_back(what + ": no vessel from module " + quoted(cfg.module));
    sim_current() = nullptr;
    return false;
  }
  say(v.get(), "clbkSetClassCaps");
  v->vessel->clbkSetClassCaps(nullptr);
  probe_airfoils(v.get());
  sim_scenario scn{&ship.state, 0, {}, {}};
  say(v.get(), "clbkLoadStateEx " + std::to_string(ship.state.size()) + " lines");
  v->vessel->clbkLoadStateEx(&scn, nullptr);
  if (!cfg.editor_module.empty()) call_editor(f, v.get(), cfg.editor_module);
  sim_current() = nullptr;
  f.vessels.push_back(std::move(v));
  f.vessel_module.push_back(m);
  return true;
}

void deliver_key(sim_vessel* v, const key_press& k) {
  char kstate[256] = {};
  if (k.alt) kstate[key_lalt] = static_cast<char>(0x80);
  kstate[k.code] = static_cast<char>(0x80);
  for (bool down : {true, false}) {
    if (!down) kstate[k.code] = 0;
    int consumed = v->vessel->clbkConsumeBufferedKey(k.code, down, kstate);
    say(v, "clbkConsumeBufferedKey " + std::to_string(k.code) + (k.alt ? " alt" : "") +
               (down ? " down" : " up") + " -> " + std::to_string(consumed));
  }
}

sim_vessel* focus_vessel(const flight& f, const std::string& focus) {
  for (const auto& v : f.vessels)
    if (v->name == focus) return v.get();
  return f.vessels.empty() ? nullptr : f.vessels.front().get();
}

void fly(flight& f, const options& o, const std::string& focus) {
  sim_vessel* target = focus_vessel(f, focus);
  const double mjd0 = 51982.5;
  double simt = 0;
  for (int step = 0; step < o.steps; step++) {
    for (const key_press& k : o.keys)
      if (k.step == step && target) {
        sim_current() = target;
        deliver_key(target, k);
      }
    for (auto& v : f.vessels) {
      sim_current() = v.get();
      say(v.get(), "clbkPreStep " + num(simt) + " " + num(o.dt));
      v->vessel->clbkPreStep(simt, o.dt, mjd0 + simt / 86400);
    }
    simt += o.dt;
    for (auto& v : f.vessels) {
      sim_current() = v.get();
      say(v.get(), "clbkPostStep " + num(simt) + " " + num(o.dt));
      v->vessel->clbkPostStep(simt, o.dt, mjd0 + simt / 86400);
    }
  }
  sim_current() = nullptr;
}

// Loads view 0, then every view its neighbours lead to, each once.
void load_views(sim_vessel* v) {
  std::vector<int> queue{0};
  std::set<int> seen{0};
  for (size_t i = 0; i < queue.size(); i++) {
    std::fill(v->vc_neighbours, v->vc_neighbours + 4, -1);
    bool ok = v->vessel->clbkLoadVC(queue[i]);
    say(v, "clbkLoadVC " + std::to_string(queue[i]) + " -> " + boolean(ok));
    for (int n : v->vc_neighbours)
      if (ok && n >= 0 && seen.insert(n).second) queue.push_back(n);
  }
}

void finish(flight& f) {
  for (size_t i = 0; i < f.vessels.size(); i++) {
    sim_vessel* v = f.vessels[i].get();
    sim_current() = v;
    hud_surface surface{v};
    say(v, "clbkDrawHUD -> " + boolean(v->vessel->clbkDrawHUD(1, &surface)));
    load_views(v);
    sim_scenario scn{nullptr, 0, {}, {}};
    say(v, "clbkSaveState");
    v->vessel->clbkSaveState(&scn);
    report_lights_and_drag(v);
    say(v, "ovcExit");
    if (f.vessel_module[i]->ovc_exit) f.vessel_module[i]->ovc_exit(v->vessel);
    v->vessel = nullptr;
  }
  sim_current() = nullptr;
  for (auto& [name, m] : f.modules) {
    if (!m->lib) continue;
    auto exit_module = reinterpret_cast<exit_module_fn>(dynlib_symbol(m->lib, "ExitModule"));
    if (m->initialised && exit_module) {
      report_line("ExitModule " + quoted(name));
      exit_module(reinterpret_cast<module_handle>(m.get()));
    }
    dynlib_close(m->lib);
  }
  release_meshes();
}

} // namespace

// "label: a; b; ..." as a report line, when there is anything to list.
void report_list(const char* label, const std::vector<std::string>& items) {
  if (items.empty()) return;
  std::string line = label;
  for (const std::string& n : items) line += (&n == &items.front() ? ": " : "; ") + n;
  report_line(line);
}

// The report's last lines: the ships skipped and those not created, each with
// why, then the verdict.
void report_outcome(const flight& f) {
  report_list("skipped", f.skipped);
  report_list("not created", f.not_created);
  if (!f.not_created.empty()) report_line("some vessels were not created");
  else report_line(f.skipped.empty() ? "every vessel created" : "every vessel with a module created");
}

int main(int argc, char** argv) {
  options o;
  for (int i = 1; i < argc; i++)
    if (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h") {
      printf("%s%s", usage, help);
      return 0;
    }
  if (std::string wrong = parse_options(argc, argv, o); !wrong.empty()) {
    fprintf(stderr, "veltora: %s\n%s", wrong.c_str(), usage);
    return 1;
  }
  std::string path = o.scenario.empty() ? newest_scenario(".") : find_scenario(".", o.scenario);
  scenario_rec scn;
  if (path.empty() || !read_scenario(path, scn)) {
    fprintf(stderr, "veltora: no scenario %s\n", o.scenario.empty() ? "below Scenarios" : o.scenario.c_str());
    return 1;
  }
  if (!report_open(o.report)) {
    fprintf(stderr, "veltora: cannot write the report %s\n", o.report.c_str());
    return 1;
  }
  report_line("scenario " + quoted(path) + " steps " + std::to_string(o.steps) + " dt " + num(o.dt));
  flight f;
  for (const ship_rec& ship : scn.ships) create_vessel(f, ship);
  fly(f, o, scn.focus);
  finish(f);
  report_outcome(f);
  report_close();
  return f.not_created.empty() ? 0 : 1;
}
