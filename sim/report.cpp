// report: writing the flight record (see header).
#include "report.h"
#include <cstdio>

namespace {
FILE* out = nullptr;             // the open record; written only through report_line
}

bool report_open(const std::string& path) {
  out = fopen(path.c_str(), "w");
  return out != nullptr;
}

void report_close() {
  if (out) fclose(out);
  out = nullptr;
}

void report_line(const std::string& line) {
  if (!out) return;
  fprintf(out, "%s\n", line.c_str());
  fflush(out);
}

std::string num(double v) {
  char text[32];
  snprintf(text, sizeof text, "%.6g", v == 0 ? 0.0 : v);
  return text;
}

std::string vec(const vector3& v) { return "(" + num(v.x) + " " + num(v.y) + " " + num(v.z) + ")"; }

std::string quoted(const std::string& s) { return "\"" + s + "\""; }

std::string boolean(bool b) { return b ? "true" : "false"; }

extern "C" void sim_record(const char* line) { report_line(line); }
