// checkspage: the "Checks" page and the thruster-group table of "Vessel data".
//
// "Checks" lists the design checks' findings, each with its severity, code
// and element and the sentence wrapped to the page, coloured by severity and
// scrolled with "^" and "v". "Vessel data" shows, under the summary, the net
// force and the net torque about the origin of every thruster group that has
// thrusters, all of them at full thrust.
//
// Builds on: designcheck (findings, group balance), kvwindows (pages), undo
// (the revision that says the design changed), filecmds (the root the meshes
// are looked up in), gl/glgr (text), base/strval (number texts).
//
// Notes:
//   - the findings are worked out again only when the design changed (a new
//     undo revision) or the page is opened, as the checks read mesh files
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "design/designcheck.h"
#include "editor/grpgui.h"

struct checks_page_state {         // written by the functions below
  bool fresh = false;              // lines hold the findings of revision
  uint64_t revision = 0;           // of the design the lines describe
  std::vector<std::string> lines;  // wrapped report lines
  std::vector<uint32_t> colours;   // one per line
  int first = 0;                   // first line shown
};
extern checks_page_state checks_page;

constexpr int checks_text_chars = 64;      // characters of a report line
constexpr int group_table_top = 160;       // first line of the group table in "Vessel data"

std::vector<std::string> finding_lines(const check_finding& f); // heading, then the sentence wrapped
std::vector<std::string> group_table_lines(const vessel_design& d); // heading, then one line per used group
void open_checks();                // shows "Checks" with fresh findings, from the top
void checks_scroll(int by);        // "v" +1, "^" -1
void checks_draw(gg_wndtype& w);   // "Checks"
void group_table_draw(gg_wndtype& w); // "Vessel data"
