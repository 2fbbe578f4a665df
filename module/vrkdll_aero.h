// vrkdll_aero: the coefficient functions of the vessel's lift surfaces.
//
// The vertical surface is tabulated over the angle of attack, the horizontal
// one over the sideslip angle. Lift and moment coefficients are interpolated
// linearly inside the first segment whose upper breakpoint is not below the
// angle; the drag is the profile drag plus the simulator's induced drag and
// wave drag.
//
// Builds on: veltorasdk (vapiGetInducedDrag, vapiGetWaveDrag, the function type).
//
// Notes: angles in radians; the tables' breakpoints are in degrees.
#pragma once
#include "veltorasdk.h"

enum airfoil_table { table_vertical = 0, table_horizontal = 1 };

void airfoil_lift_moment(airfoil_table t, double angle, double* cl, double* cm); // interpolated
void vertical_coeff(VESSEL* v, double aoa, double mach, double reynolds, void* context,
                    double* cl, double* cm, double* cd);   // the vertical surface's function
void horizontal_coeff(VESSEL* v, double beta, double mach, double reynolds, void* context,
                      double* cl, double* cm, double* cd); // the horizontal surface's function
