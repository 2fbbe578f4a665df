// ummustandin: the stand-in crew library ("UMmu.dll").
//
// Keeps each vessel's crew list and records every call in the simulator's
// report, prefixed "crew". Time steps are counted and reported once, when the
// vessel is deleted, to keep the report short.
//
// Builds on: ummu_crew.h (the calls), report.h (sim_record, exported by the simulator).
#include <string>
#include <vector>
#include "report.h"
#include "ummu_crew.h"

struct crew_member {
  std::string name;
  int numbers[3];
  std::string description;
};

struct crew_rec {                                // one vessel's crew
  VESSEL* vessel;
  int max_crew = 0;
  int steps = 0;
  std::vector<crew_member> members;
};

namespace {
void record(const crew_rec* c, const std::string& text) {
  std::string line = "[" + std::string(c->vessel->GetName()) + "] crew " + text;
  sim_record(line.c_str());
}
} // namespace

extern "C" {

crew_handle crew_init(VESSEL* vessel) {
  crew_rec* c = new crew_rec{vessel, 0, 0, {}};
  record(c, "crew_init");
  return c;
}

void crew_exit(crew_handle c) {
  record(c, "crew_exit after " + std::to_string(c->steps) + " steps");
  delete c;
}

void crew_define_airlock(crew_handle c, const vector3* pos, const vector3* rot, const vector3* lo,
                         const vector3* hi) {
  record(c, "crew_define_airlock pos " + vec(*pos) + " rot " + vec(*rot) + " box " + vec(*lo) + " " + vec(*hi));
}

void crew_set_max(crew_handle c, int max_crew) {
  c->max_crew = max_crew;
  record(c, "crew_set_max " + std::to_string(max_crew));
}

bool crew_add_member(crew_handle c, const char* name, const int numbers[3], const char* description) {
  bool room = static_cast<int>(c->members.size()) < c->max_crew;
  if (room) c->members.push_back({name, {numbers[0], numbers[1], numbers[2]}, description});
  record(c, "crew_add_member \"" + std::string(name) + "\" " + std::to_string(numbers[0]) + " " +
                std::to_string(numbers[1]) + " " + std::to_string(numbers[2]) + " \"" + description + "\" -> " +
                boolean(room));
  return room;
}

void crew_step(crew_handle c, double) { c->steps++; }

bool crew_eject(crew_handle c, int member) {
  bool there = member >= 0 && member < static_cast<int>(c->members.size());
  record(c, "crew_eject " + std::to_string(member) + " -> " + (there ? c->members[member].name : "nobody"));
  if (there) c->members.erase(c->members.begin() + member);
  return there;
}

int crew_max(crew_handle c) { return c->max_crew; }

int crew_count(crew_handle c) { return static_cast<int>(c->members.size()); }

const char* crew_member_name(crew_handle c, int member) {
  return member >= 0 && member < static_cast<int>(c->members.size()) ? c->members[member].name.c_str() : "";
}

} // extern "C"
