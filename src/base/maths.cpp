// maths: scalar helpers, vectors, matrices, line and sphere, random numbers.
#include "base/maths.h"

#include <cmath>

uint32_t random_seed = 0;

// --- Scalar helpers ------------------------------------------------------------

int flag_sign(uint8_t b) { return (b & 0x7F) * 2 - 1; }
double maxd(double a, double b) { return a > b ? a : b; }
double mind(double a, double b) { return a < b ? a : b; }
int maxi(int a, int b) { return a > b ? a : b; }
int mini(int a, int b) { return a < b ? a : b; }
double sign_of(double x) { return x >= 0 ? 1.0 : -1.0; }

double power(double b, double a) {
  return b > 0 ? std::exp2(a * std::log2(b)) : 1.0;
}

double angle_of(double x, double y) {
  if (x == 0 && y == 0) return 0;  // also for signed zeros, which atan2 maps to ±π
  return std::atan2(y, x);
}

// Degrees clockwise-from-west as the map views use them: west 0, +y 90, east 180, -y 270.
double compass_angle(double x1, double y1, double x2, double y2) {
  double dx = x2 - x1, dy = y2 - y1;
  if (dx == 0 && dy == 0) return 0;
  double deg = std::atan2(dy, -dx) * 180.0 / pi;
  if (deg < 0) deg += 360.0;
  return deg >= 360.0 ? 0.0 : deg;  // a tiny negative angle may round up to 360
}

bool point_in_rect(double x, double y, double x0, double y0, double x1, double y1) {
  return x0 <= x && x <= x1 && y0 <= y && y <= y1;
}

bool point_in_box(double x, double y, double left, double top, double width, double height) {
  return point_in_rect(x, y, left, top, left + width, top + height);
}

// --- Vector operations ------------------------------------------------------------

vec3 make_vec(double x, double y, double z) { return {x, y, z}; }
vec2 make_vec2(double x, double y) { return {x, y}; }
vec4 make_vec4(double x, double y, double z, double w) { return {x, y, z, w}; }
svec3 make_svec(float x, float y, float z) { return {x, y, z}; }
colquad make_colquad(float r, float g, float b, float a) { return {r, g, b, a}; }
svec3 to_svec(const vec3& v) { return {float(v.x), float(v.y), float(v.z)}; }
vec3 to_vec(const svec3& v) { return {v.x, v.y, v.z}; }

double length(const vec3& v) { return std::sqrt(squared_length(v)); }
double length(const vec2& v) { return std::sqrt(v.x * v.x + v.y * v.y); }
double length(const vec4& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z + v.w * v.w); }
double squared_length(const vec3& v) { return v.x * v.x + v.y * v.y + v.z * v.z; }

vec3 normalise(const vec3& v) {
  double l = length(v);
  return l >= norm_threshold ? scale(v, 1.0 / l) : v;
}

vec2 normalise(const vec2& v) {
  double l = length(v);
  return l >= norm_threshold ? vec2{v.x / l, v.y / l} : v;
}

double distance(const vec3& a, const vec3& b) { return length(sub(a, b)); }
vec3 midpoint(const vec3& a, const vec3& b) { return scale(add(a, b), 0.5); }
vec3 add(const vec3& a, const vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
svec3 add(const svec3& a, const svec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
vec3 sub(const vec3& a, const vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
vec3 scale(const vec3& v, double s) { return {v.x * s, v.y * s, v.z * s}; }
vec3 scale(const svec3& v, double s) { return {v.x * s, v.y * s, v.z * s}; }
double dot(const vec3& a, const vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double dot(const vec2& a, const vec2& b) { return a.x * b.x + a.y * b.y; }

vec3 cross(const vec3& a, const vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

vec3 unit_normal(const vec3& a, const vec3& b) { return normalise(cross(a, b)); }
vec3 swap_yz(const vec3& v) { return {v.x, v.z, v.y}; }

// The three planar rotations share one routine: (u, w) turns by theta in its plane.
// An angle of exactly 0 must leave the stored values bit-identical.
template <typename T>
static void turn(T& u, T& w, double theta) {
  if (theta == 0) return;
  double c = std::cos(theta), s = std::sin(theta);
  double nu = u * c - w * s, nw = u * s + w * c;
  u = T(nu);
  w = T(nw);
}

void rotate_z(vec3& v, double theta) { turn(v.x, v.y, theta); }
void rotate_y(vec3& v, double theta) { turn(v.z, v.x, theta); }  // (x c + z s, y, -x s + z c)
void rotate_x(vec3& v, double theta) { turn(v.y, v.z, theta); }
void rotate_z(svec3& v, double theta) { turn(v.x, v.y, theta); }
void rotate_y(svec3& v, double theta) { turn(v.z, v.x, theta); }
void rotate_x(svec3& v, double theta) { turn(v.y, v.z, theta); }

vec3 rotate_axis(const vec3& v, const vec3& n, double theta) {
  vec4 r = transform(vec4{v.x, v.y, v.z, 0}, axis_angle(n, theta));
  return {r.x, r.y, r.z};
}

// atan of a quotient whose divisor may be 0: the quotient then stands at ±1e100,
// signed like the dividend, so straight down gives -π/2 rather than +π/2.
static double atan_quotient(double num, double den) {
  if (den != 0) return std::atan(num / den);
  return std::atan(num < 0 ? -infinite_slope : infinite_slope);
}

void to_spherical(vec3& v, double radius) {
  double lat = atan_quotient(v.z, std::sqrt(v.x * v.x + v.y * v.y));
  double lon = atan_quotient(v.y, v.x);
  if (v.x < 0 && v.y > 0) lon += pi;
  if (v.x < 0 && v.y < 0) lon -= pi;
  double alt = length(v) - radius;
  v = {lat, lon, alt};
}

// --- Matrices ------------------------------------------------------------------

mat3 identity3() { return {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}; }

vec3 transform(const mat3& m, const vec3& v) {
  const double (*r)[3] = m.m;
  return {r[0][0] * v.x + r[0][1] * v.y + r[0][2] * v.z,
          r[1][0] * v.x + r[1][1] * v.y + r[1][2] * v.z,
          r[2][0] * v.x + r[2][1] * v.y + r[2][2] * v.z};
}

mat3 multiply(const mat3& a, const mat3& b) {
  mat3 r{};
  for (int i = 0; i < 3; i++)
    for (int j = 0; j < 3; j++)
      for (int k = 0; k < 3; k++) r.m[i][j] += a.m[i][k] * b.m[k][j];
  return r;
}

// Post-rotation changes each row in the plane of two of its columns.
static void post_rotate(mat3& m, int a, int b, double theta) {
  double c = std::cos(theta), s = std::sin(theta);
  for (auto& row : m.m) {
    double ra = row[a], rb = row[b];
    row[a] = ra * c - rb * s;
    row[b] = ra * s + rb * c;
  }
}

void post_rotate_x(mat3& m, double theta) { post_rotate(m, 1, 2, theta); }
void post_rotate_y(mat3& m, double theta) { post_rotate(m, 0, 2, theta); }

vec3 euler_angles(const mat3& m) {
  double s = m.m[0][2];
  s = s > 1 ? 1 : (s < -1 ? -1 : s);  // rounding may push it just past ±1, where asin fails
  return {angle_of(m.m[2][2], m.m[1][2]), -std::asin(s), angle_of(m.m[0][0], m.m[0][1])};
}

static mat3 from_columns(const vec3& p, const vec3& q, const vec3& r) {
  return {{{p.x, q.x, r.x}, {p.y, q.y, r.y}, {p.z, q.z, r.z}}};
}

mat3 frame_from_direction(const vec3& d) {
  vec3 p = normalise(normalise(cross(d, {1, 1, 1})));
  vec3 q = normalise(d);
  vec3 r = normalise(cross(p, q));
  return from_columns(p, q, r);
}

mat3 orientation_from_direction(const vec3& d) {
  vec3 s = swap_yz(normalise(d));
  to_spherical(s, 1);
  mat3 m = identity3();
  post_rotate_y(m, -(s.y + pi / 2));
  post_rotate_x(m, pi / 2 - s.x);
  return m;
}

mat3 rotation_between(const vec3& a, const vec3& b) {
  vec3 an = normalise(a), bn = normalise(b);
  double c = dot(an, bn), t = 1 - c;
  vec3 w = cross(an, bn), n = normalise(w);
  return {{{c + t * n.x * n.x, t * n.x * n.y - w.z, t * n.x * n.z + w.y},
           {t * n.x * n.y + w.z, c + t * n.y * n.y, t * n.y * n.z - w.x},
           {t * n.x * n.z - w.y, t * n.y * n.z + w.x, c + t * n.z * n.z}}};
}

mat4 axis_angle(const vec3& n, double theta) {
  double c = std::cos(theta), s = std::sin(theta), t = 1 - c;
  return {{{c + t * n.x * n.x, t * n.x * n.y - s * n.z, t * n.x * n.z + s * n.y, 0},
           {t * n.x * n.y + s * n.z, c + t * n.y * n.y, t * n.y * n.z - s * n.x, 0},
           {t * n.x * n.z - s * n.y, t * n.y * n.z + s * n.x, c + t * n.z * n.z, 0},
           {0, 0, 0, 1}}};
}

vec4 transform(const vec4& v, const mat4& m) {
  const double in[4] = {v.x, v.y, v.z, v.w};
  double out[4] = {};
  for (int i = 0; i < 4; i++)
    for (int k = 0; k < 4; k++) out[i] += in[k] * m.m[k][i];
  return {out[0], out[1], out[2], out[3]};
}

// --- Line and sphere ------------------------------------------------------------

double line_sphere(const vec3& p1, const vec3& p2, const vec3& centre, double r, vec3& hit) {
  vec3 d = sub(p2, p1);
  double a = squared_length(d);
  double b = 2 * dot(d, sub(p1, centre));
  double c = squared_length(centre) + squared_length(p1) - 2 * dot(centre, p1) - r * r;
  double disc = b * b - 4 * a * c;
  if (disc >= 0 && a > 0) {  // a = 0: p1 = p2 gives no line, so no hit points either
    double root = std::sqrt(disc);
    vec3 h1 = add(p1, scale(d, (-b + root) / (2 * a)));
    vec3 h2 = add(p1, scale(d, (-b - root) / (2 * a)));
    hit = midpoint(h1, h2);
  }
  return disc;
}

// --- Pseudo-random numbers -------------------------------------------------------

double random_next() {
  random_seed = random_seed * 1103515245u + 12345u;
  return random_seed / 4294967296.0;
}

int random_below(int n) {
  return int(std::nearbyint(random_next() * (n - 1)));  // default rounding: ties to even
}

void noise_permutation(uint32_t seed, int table[256]) {
  uint32_t saved = random_seed;
  random_seed = seed;
  for (int i = 0; i < 256; i++) table[i] = random_below(256);
  random_seed = saved;
}
