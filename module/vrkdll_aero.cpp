// vrkdll_aero: coefficient tables of the vertical and horizontal lift surfaces.
#include "vrkdll_aero.h"
#include <cmath>

namespace {

struct coeff_table {
  int count;                     // breakpoints
  double angle[9];               // degrees, ascending
  double cl[9];                  // lift coefficient at each breakpoint
  double cm[9];                  // moment coefficient at each breakpoint
  double sin2_drag;              // profile drag per sin² of the angle
  double induced_eff;            // efficiency handed to the induced drag
};

const coeff_table tables[2] = {
  {9, {-180, -60, -30, -2, 15, 20, 25, 60, 180},
      {0, 0, -0.4, 0, 0.7, 1.0, 0.8, 0, 0},
      {0, 0, 0.014, 0.0039, -0.006, -0.008, -0.010, 0, 0}, 0.4, 0.7},
  {8, {-180, -135, -90, -45, 45, 90, 135, 180},
      {0, 0.3, 0, -0.3, 0.3, 0, -0.3, 0},
      {0, 0, 0, 0, 0, 0, 0, 0}, 0.0, 0.6},
};

constexpr double deg = 3.14159265358979323846 / 180.0;

void surface_coeff(airfoil_table t, double angle, double mach, double* cl, double* cm, double* cd) {
  const coeff_table& c = tables[t];
  airfoil_lift_moment(t, angle, cl, cm);
  double s = std::sin(angle);
  *cd = 0.015 + c.sin2_drag * s * s + vapiGetInducedDrag(*cl, 1.5, c.induced_eff) +
        vapiGetWaveDrag(mach, 0.75, 1.0, 1.1, 0.04);
}

} // namespace

void airfoil_lift_moment(airfoil_table t, double angle, double* cl, double* cm) {
  const coeff_table& c = tables[t];
  int i = 0;
  while (i < c.count - 2 && c.angle[i + 1] * deg < angle) i++;
  double a0 = c.angle[i] * deg, a1 = c.angle[i + 1] * deg;
  double f = (angle - a0) / (a1 - a0);
  *cl = c.cl[i] + f * (c.cl[i + 1] - c.cl[i]);
  *cm = c.cm[i] + f * (c.cm[i + 1] - c.cm[i]);
}

void vertical_coeff(VESSEL*, double aoa, double mach, double, void*, double* cl, double* cm, double* cd) {
  surface_coeff(table_vertical, aoa, mach, cl, cm, cd);
}

void horizontal_coeff(VESSEL*, double beta, double mach, double, void*, double* cl, double* cm, double* cd) {
  surface_coeff(table_horizontal, beta, mach, cl, cm, cd);
}
