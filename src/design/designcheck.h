// designcheck: an engineer's report on a design.
//
// Findings that an add-on author wants before flying: references that point
// nowhere, meshes and textures the installation lacks, animations that cannot
// run, thruster groups that push or turn when they should not, hover thrust
// below the weight, touchdown points that let the vessel tip over, names that
// cannot become files. Each finding has a severity, a fixed code, the element
// kind and index it is about, and a sentence. The per-group force and torque
// table serves the "Vessel data" page too.
//
// Builds on: kvvar (the record), vrkdll_format, maths, strval (number texts),
// instpath (installation lookup), mesh/grplib (group counts, texture names).
//
// Codes (severity):
//   error:   mesh-missing, mesh-unreadable, mesh-unsafe, thruster-tank,
//            thruster-isp, exhaust-thruster, comp-mesh, comp-groups-empty,
//            comp-group-range, empty-mass, vessel-name, module-name
//   warning: texture-missing, anim-no-components, anim-no-key, anim-key-shared,
//            group-force, group-torque, main-torque, hover-weight,
//            touchdown-tip, module-name-case, gear-animation, aero-animation
//   info:    hover-none
//
// Notes:
//   - kinds are the element arrays' names ("thrusters", "anim_seqs", ...),
//     "header" (index -1) or "thruster_groups" (index: the group id); a
//     component's finding names its animation and says which component
//   - findings are sorted by severity, code, kind and index, the rest in the
//     order the checks run, so the same design always gives the same report
//   - forces and torques are about the origin (the centre of mass) with every
//     thruster at full thrust along its direction
#pragma once
#include <array>
#include <string>
#include <vector>
#include "design/kvvar.h"

enum check_severity : int { check_error = 0, check_warning = 1, check_info = 2 };

struct check_finding {
  int severity = check_error;          // check_severity
  std::string code;                    // one of the codes above
  std::string kind;                    // element array, or "header"
  int index = -1;                      // element index; -1 for the header
  std::string text;                    // one sentence for the user
};

struct group_balance {                 // one thruster group at full thrust
  int thrusters = 0;                   // members
  double thrust = 0;                   // sum of their maximum thrusts, N
  vec3 force{0, 0, 0};                 // net force, N
  vec3 torque{0, 0, 0};                // net torque about the origin, N m
};

constexpr double standard_gravity = 9.81;   // m/s², the weight's 1 g

const char* severity_name(int severity);    // "error", "warning", "info"
std::array<group_balance, thruster_group_id_count> thruster_group_balance(const vessel_design& d);
double full_mass(const vessel_design& d);   // empty mass + every tank's mass, kg
// Every finding for d, with meshes, textures and modules looked up under root.
std::vector<check_finding> check_design(const vessel_design& d, const std::string& root);
