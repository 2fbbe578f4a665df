// The lift surfaces' coefficient functions, with the simulator's drag terms
// replaced by recorders so that the arguments the module hands on are checked.
#include <gtest/gtest.h>
#include <cmath>
#include "vrkdll_aero.h"

namespace {
struct drag_call { double a, b, c, d, e; };
drag_call induced, wave;
constexpr double deg = 3.14159265358979323846 / 180.0;
}

double vapiGetInducedDrag(double cl, double aspect, double eff) {
  induced = {cl, aspect, eff, 0, 0};
  return 0.001;
}

double vapiGetWaveDrag(double mach, double m1, double m2, double m3, double cmax) {
  wave = {mach, m1, m2, m3, cmax};
  return 0.002;
}

namespace {

double lift(airfoil_table t, double degrees) {
  double cl, cm;
  airfoil_lift_moment(t, degrees * deg, &cl, &cm);
  return cl;
}

double moment(airfoil_table t, double degrees) {
  double cl, cm;
  airfoil_lift_moment(t, degrees * deg, &cl, &cm);
  return cm;
}

TEST(AirfoilTables, VerticalLiftAndMomentAtAndBetweenBreakpoints) {
  EXPECT_NEAR(lift(table_vertical, 17.5), 0.85, 1e-12);
  EXPECT_NEAR(moment(table_vertical, 17.5), -0.007, 1e-12);
  EXPECT_NEAR(lift(table_vertical, -30), -0.4, 1e-12);
  EXPECT_NEAR(lift(table_vertical, 20), 1.0, 1e-12);
  EXPECT_NEAR(lift(table_vertical, 6.5), 0.35, 1e-12);    // halfway from -2 to 15
  EXPECT_NEAR(moment(table_vertical, -16), (0.014 + 0.0039) / 2, 1e-12);
  EXPECT_NEAR(lift(table_vertical, -120), 0.0, 1e-12);
  EXPECT_NEAR(lift(table_vertical, 180), 0.0, 1e-12);
  EXPECT_NEAR(lift(table_vertical, 42.5), 0.4, 1e-12);
}

TEST(AirfoilTables, HorizontalLiftIsOddInSideslipAndHasNoMoment) {
  EXPECT_NEAR(lift(table_horizontal, 45), 0.3, 1e-12);
  EXPECT_NEAR(lift(table_horizontal, 0), 0.0, 1e-12);
  EXPECT_NEAR(lift(table_horizontal, 60), 0.2, 1e-12);
  EXPECT_NEAR(lift(table_horizontal, -157.5), 0.15, 1e-12);
  for (double a : {-170.0, -100.0, -20.0, 30.0, 120.0}) {
    EXPECT_NEAR(lift(table_horizontal, a), -lift(table_horizontal, -a), 1e-12) << a;
    EXPECT_EQ(moment(table_horizontal, a), 0.0) << a;
  }
}

TEST(AirfoilTables, DragAddsProfileInducedAndWaveDrag) {
  double cl, cm, cd;
  vertical_coeff(nullptr, 17.5 * deg, 0.8, 1e6, nullptr, &cl, &cm, &cd);
  double s = std::sin(17.5 * deg);
  EXPECT_NEAR(cd, 0.015 + 0.4 * s * s + 0.001 + 0.002, 1e-12);
  EXPECT_NEAR(induced.a, 0.85, 1e-12);
  EXPECT_EQ(induced.b, 1.5);
  EXPECT_EQ(induced.c, 0.7);
  EXPECT_EQ(wave.a, 0.8);
  EXPECT_EQ(wave.b, 0.75);
  EXPECT_EQ(wave.c, 1.0);
  EXPECT_EQ(wave.d, 1.1);
  EXPECT_EQ(wave.e, 0.04);

  horizontal_coeff(nullptr, 45 * deg, 1.2, 1e6, nullptr, &cl, &cm, &cd);
  EXPECT_NEAR(cd, 0.015 + 0.001 + 0.002, 1e-12);          // no sin² term sideways
  EXPECT_NEAR(induced.a, 0.3, 1e-12);
  EXPECT_EQ(induced.c, 0.6);
  EXPECT_EQ(wave.a, 1.2);
  EXPECT_EQ(cm, 0.0);
}

} // namespace
