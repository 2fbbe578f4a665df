// autosave: the session's file, its timed and final writes, and the start-up offer.
#include "editor/autosave.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <vector>
#include "base/sys.h"
#include "design/designfile.h"
#include "design/filef.h"
#include "editor/filecmds.h"
#include "editor/kvwindows.h"
#include "editor/undo.h"

autosave_state autosave;

namespace {

constexpr const char* name_prefix = "autosave-";
constexpr size_t stamp_length = 13;                  // "YYMMDD-HHMMSS"

std::string in_root(const std::string& rel) { return autosave.root + "/" + rel; }

// "autosave-" + "YYMMDD-HHMMSS" + ".vessdef", nothing else.
bool is_session_file(const std::string& name) {
  const std::string prefix = name_prefix, ext = design_extension;
  if (name.size() != prefix.size() + stamp_length + ext.size()) return false;
  if (name.compare(0, prefix.size(), prefix) != 0 || name.compare(name.size() - ext.size(), ext.size(), ext) != 0)
    return false;
  for (size_t i = 0; i < stamp_length; ++i) {
    const char c = name[prefix.size() + i];
    if (i == 6 ? c != '-' : !std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

// "2026-12-09 05:45:11" from a session file's name.
std::string started_text(const std::string& rel) {
  const std::string s = rel.substr(rel.size() - std::string(design_extension).size() - stamp_length, stamp_length);
  return "20" + s.substr(0, 2) + "-" + s.substr(2, 2) + "-" + s.substr(4, 2) + " " + s.substr(7, 2) + ":" +
         s.substr(9, 2) + ":" + s.substr(11, 2);
}

bool changed_since_written() {
  if (history.revision == autosave.started) return false;
  return history.revision != autosave.written || design.header.design_time != autosave.written_time;
}

// The oldest files beyond the ten newest go; this session's never does.
void remove_old_files() {
  astr files = autosave_files(autosave.root);
  for (size_t i = 0; i + autosave_kept < files.size(); ++i)
    if (files[i] != autosave.file) std::remove(in_root(files[i]).c_str());
}

// Writes when the design changed since the last write; io_error as the writer raises it.
void write_if_changed() {
  if (!changed_since_written()) return;
  make_folders(in_root(autosave_folder));          // a failure shows as the write's error
  write_design_file(design, in_root(autosave.file));
  autosave.written = history.revision;
  autosave.written_time = design.header.design_time;
  autosave.failing = false;
  remove_old_files();
}

// The design in a file as undo compares designs (the design time aside); empty when it cannot be read.
std::vector<uint8_t> stored_design(const std::string& path) {
  vessel_design d;
  try {
    if (read_design_file(d, path).status != design_read_ok) return {};
  } catch (const io_error&) {
    return {};
  }
  return design_snapshot(d);
}

// Whether some design file in the root or in the folder, or the design as it stands, holds it.
bool kept_elsewhere(const std::vector<uint8_t>& work) {
  if (work == design_snapshot(design)) return true;
  for (const std::string folder : {autosave.root, in_root(autosave_folder)})
    for (const std::string& name : list_directory(folder + "/*" + design_extension, attr_archive))
      if (!is_session_file(name) && stored_design(folder + "/" + name) == work) return true;
  return false;
}

}  // namespace

std::string autosave_name(const local_time& t) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%02d%02d%02d-%02d%02d%02d", t.year % 100, t.month, t.day, t.hour, t.minute,
                t.second);
  return std::string(autosave_folder) + "/" + name_prefix + stamp + design_extension;
}

astr autosave_files(const std::string& root) {
  astr files;
  for (const std::string& name : folder_entries(root + "/" + autosave_folder))
    if (is_session_file(name)) files.push_back(std::string(autosave_folder) + "/" + name);
  std::sort(files.begin(), files.end());           // the names sort by time within a century
  return files;
}

void autosave_init(const std::string& root, double now) {
  autosave = autosave_state{root, "", "", history.revision, history.revision, design.header.design_time, now, false};
  const local_time t = now_local();
  std::tm when{};
  when.tm_year = t.year - 1900;
  when.tm_mon = t.month - 1;
  when.tm_mday = t.day;
  when.tm_hour = t.hour;
  when.tm_min = t.minute;
  when.tm_sec = t.second;
  when.tm_isdst = -1;
  autosave.file = autosave_name(t);
  for (int tries = 0; tries < 60 && kind_of_path(in_root(autosave.file)) != path_missing; ++tries) {
    ++when.tm_sec;                                 // another session started in this second
    std::mktime(&when);                            // carries into the minutes, hours, ...
    autosave.file = autosave_name({when.tm_year + 1900, when.tm_mon + 1, when.tm_mday, when.tm_hour, when.tm_min,
                                   when.tm_sec, 0});
  }
}

void autosave_offer() {
  const astr files = autosave_files(autosave.root);
  if (files.empty() || files.back() == autosave.file) return;
  const std::vector<uint8_t> work = stored_design(in_root(files.back()));
  if (work.empty() || kept_elsewhere(work)) return;
  autosave.offered = files.back();
  ask(confirm_restore, "Unsaved work from " + started_text(files.back()) + " was kept. Load it?");
}

void autosave_restore() {
  if (!autosave.offered.empty()) load_design(in_root(autosave.offered), 1);
}

void autosave_tick(double now) {
  if (now - autosave.last < autosave_period) return;
  autosave.last = now;
  try {
    write_if_changed();
  } catch (const io_error& e) {
    if (!autosave.failing) show_message(std::string("Autosave failed: ") + e.what());
    autosave.failing = true;
  }
}

bool autosave_final() {
  undo_checkpoint();
  try {
    write_if_changed();
    return true;
  } catch (const io_error& e) {
    std::fprintf(stderr, "Autosave failed: %s\n", e.what());
    return false;
  }
}
