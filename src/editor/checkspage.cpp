// checkspage: the findings page and the thruster-group table.
#include "editor/checkspage.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include "base/strval.h"
#include "editor/filecmds.h"
#include "editor/kvwindows.h"
#include "editor/undo.h"

checks_page_state checks_page;

namespace {

constexpr int line_height = 18;
constexpr int table_line_height = 13;      // fifteen groups fit between the summary and "Close"
const uint32_t severity_colours[] = {pack_rgba(255, 96, 96, 255), pack_rgba(255, 230, 96, 255), gg_text};

// Words of text in lines of at most width characters; a longer word is cut.
std::vector<std::string> wrapped(const std::string& text, size_t width) {
  std::vector<std::string> lines;
  std::string line;
  size_t at = 0;
  while (at < text.size()) {
    const size_t end = std::min(text.find(' ', at), text.size());
    std::string word = text.substr(at, end - at);
    at = end + 1;
    for (; word.size() > width; word.erase(0, width)) lines.push_back(word.substr(0, width));
    if (!line.empty() && line.size() + 1 + word.size() > width) lines.push_back(std::exchange(line, ""));
    line += (line.empty() ? "" : " ") + word;
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

void refresh() {
  checks_page = checks_page_state{true, history.revision, {}, {}, checks_page.first};
  const std::vector<check_finding> found = check_design(design, files.root);
  int counts[3] = {0, 0, 0};
  for (const check_finding& f : found) ++counts[std::clamp(f.severity, 0, 2)];
  checks_page.lines.push_back(found.empty() ? "No findings." :
      int_to_text(counts[0]) + " errors, " + int_to_text(counts[1]) + " warnings, " + int_to_text(counts[2]) + " notes");
  checks_page.colours.push_back(gg_text);
  for (const check_finding& f : found)
    for (const std::string& l : finding_lines(f)) {
      checks_page.lines.push_back(l);
      checks_page.colours.push_back(severity_colours[std::clamp(f.severity, 0, 2)]);
    }
}

int shown_rows(const gg_wndtype& w) { return std::max((w.height - 8) / line_height, 1); }

// A number of the table in at most 6 characters: three significant digits with k, M, G or T;
// sums that only rounding keeps from zero show as 0. Right-aligned in 7 characters.
std::string column(double v, double scale) {
  static const char* const units[] = {"", "k", "M", "G", "T"};
  if (std::fabs(v) <= 1e-9 * scale) v = 0;
  int u = 0;
  for (; std::fabs(v) >= 999.5 && u < 4; ++u) v /= 1000;
  const double step = std::fabs(v) < 9.995 ? 100 : std::fabs(v) < 99.95 ? 10 : 1;
  const std::string t = decimal_to_text(std::round(v * step) / step) + units[u];
  return std::string(t.size() < 7 ? 7 - t.size() : 1, ' ') + t;
}

}  // namespace

std::vector<std::string> finding_lines(const check_finding& f) {
  std::string where = f.index >= 0 ? f.kind + "[" + int_to_text(f.index) + "]" : f.kind;
  std::vector<std::string> lines = {std::string(severity_name(f.severity)) + " " + f.code + ", " + where};
  for (const std::string& l : wrapped(f.text, checks_text_chars - 2)) lines.push_back("  " + l);
  return lines;
}

std::vector<std::string> group_table_lines(const vessel_design& d) {
  std::vector<std::string> lines = {"Group        Force, N              Torque, N m"};
  const auto balance = thruster_group_balance(d);
  for (int g = 0; g < thruster_group_id_count; ++g) {
    const group_balance& b = balance[size_t(g)];
    if (b.thrusters == 0) continue;
    std::string l = thruster_group_names[g];
    l.resize(10, ' ');
    for (double v : {b.force.x, b.force.y, b.force.z}) l += column(v, b.thrust);
    l += " ";
    for (double v : {b.torque.x, b.torque.y, b.torque.z}) l += column(v, b.thrust);
    lines.push_back(l);
  }
  if (lines.size() == 1) lines.push_back("No thruster is in a group.");
  return lines;
}

void open_checks() {
  checks_page.fresh = false;
  checks_page.first = 0;
  show_page(page_checks);
}

void checks_scroll(int by) {
  const int last = std::max(int(checks_page.lines.size()) - shown_rows(page(page_checks)), 0);
  checks_page.first = std::clamp(checks_page.first + by, 0, last);
}

void checks_draw(gg_wndtype& w) {
  if (!checks_page.fresh || checks_page.revision != history.revision) refresh();
  checks_scroll(0);
  const int end = std::min(int(checks_page.lines.size()), checks_page.first + shown_rows(w));
  for (int i = checks_page.first; i < end; ++i)
    draw_text(checks_page.lines[size_t(i)], checks_page.colours[size_t(i)], w.x + 4,
              w.y + 4 + line_height * (i - checks_page.first));
}

void group_table_draw(gg_wndtype& w) {
  const std::vector<std::string> lines = group_table_lines(design);
  for (size_t i = 0; i < lines.size(); ++i)
    draw_text(lines[i], gg_text, w.x + 2, w.y + group_table_top + table_line_height * int(i));
}
