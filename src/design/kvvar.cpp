// kvvar: the design record, blank values and the user settings file.
#include "design/kvvar.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include "base/parser.h"
#include "base/strval.h"
#include "base/sys.h"

vessel_design design;
user_settings settings;

design_header blank_header() {
  design_header h{};
  h.magic = design_magic;
  set_name(h.vessel_name, sizeof h.vessel_name, "The vessel");
  set_name(h.dll_name, sizeof h.dll_name, "vessel");
  h.size = 1.0;
  h.empty_mass = 1000.0;
  h.roll_friction = 0.07;
  h.side_friction = 0.3;
  h.cw_z_pos = 0.09;
  h.cw_z_neg = 0.09;
  h.cw_x = 2.0;
  h.cw_y = 1.4;
  h.pitch_moment_scale = 0.00001;
  h.bank_moment_scale = 0.00002;
  h.transponder = 1;
  h.nav_radios = 4;
  h.payload_manager = 1;
  h.albedo = pack_colour(1, 1, 1, 1);
  h.max_wheelbrake = 200000.0;
  h.vis_limit = 0.00075;
  h.spot_limit = 0.0015;
  h.crew_count = 1;
  return h;
}

void set_name(char* field, size_t field_size, const std::string& value) {
  std::memset(field, 0, field_size);                 // one byte always stays for the NUL
  std::memcpy(field, value.data(), std::min(value.size(), field_size - 1));
}

std::string name_of(const char* field, size_t field_size) {
  return std::string(field, strnlen(field, field_size));
}

uint32_t pack_colour(double r, double g, double b, double a) {
  auto byte = [](double v) { return uint32_t(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
  return byte(r) | byte(g) << 8 | byte(b) << 16 | byte(a) << 24;
}

void sync_counts(vessel_design& d) {
#define SYNC_COUNT(member, element, count, label, blank) d.header.count = int32_t(d.data.member.size());
  VRKDLL_ARRAYS(SYNC_COUNT)
#undef SYNC_COUNT
  for (anim_entry& e : d.data.anim_seqs) {
    e.seq.group_list_count = int32_t(e.group_lists.size());
    e.seq.comp_count = int32_t(e.comps.size());
  }
  for (vc_view_entry& v : d.data.vc_views) v.view.mfd_count = int32_t(v.mfds.size());
}

// --- User settings --------------------------------------------------------------------

void read_user_settings(user_settings& s, const std::string& root) {
  const std::string name = root + "/" + settings_file;
  if (!file_exists(name)) return;
  preca records;
  parse_file(name, true, '=', records);
  for (const parserectyp& r : records)
    if (lower_case(trim(r.key)) == "author_name") s.author_name = r.value;  // the last such line wins
}

void write_user_settings(const user_settings& s, const std::string& root) {
  const std::string name = root + "/" + settings_file;
  make_folders(name.substr(0, name.find_last_of('/')));  // a failure shows as the write's error
  const std::string line = "author_name=" + s.author_name + "\r\n";
  replace_file(name, line.data(), line.size());
}
