// maths: the numeric toolbox of the whole program.
//
// Small value types (vectors, four-vectors, colour quads, matrices), free
// functions that combine them, angle and hit-test helpers, and the program's
// own pseudo-random generator.
//
// Builds on: nothing.
//
// Conventions:
//   - matrices are row-major: m[row][col]
//   - the two transforms multiply in opposite orders, as their argument order
//     shows: transform(mat3 M, v) is M·v with v a column; transform(v, mat4 M)
//     is v·M with v a row, so rotate_axis turns by R's transpose
//   - angles are in radians unless a name says degrees
//   - the vessel frame: +z forward (main thrust), +y up (hover), +x right
//   - normalising leaves vectors shorter than norm_threshold unchanged
//   - value types are plain aggregates; nothing here allocates except aoquat
#pragma once
#include <cstdint>
#include <vector>

// --- Value types -------------------------------------------------------------
struct vec3  { double x, y, z; };           // positions (m), directions, Euler angles
struct svec3 { float x, y, z; };            // single vector: mesh and GL data
struct vec2  { double x, y; };              // planar vector: screen and map coordinates
struct vec4  { double x, y, z, w; };        // quaternions, planes, homogeneous points
struct colquad { float r, g, b, a; };       // GL material and light colours
struct mat3  { double m[3][3]; };           // orientations, row-major
struct mat4  { double m[4][4]; };           // axis-angle rotations of four-vectors
using aoquat = std::vector<vec4>;           // dynamic array of four-vectors

constexpr double norm_threshold = 1e-5;     // below this length normalise does nothing
constexpr double infinite_slope = 1e100;    // stands for an infinite quotient in to_spherical
constexpr double pi = 3.14159265358979323846264338327950288;

// --- Scalar helpers ------------------------------------------------------------
int    flag_sign(uint8_t b);                               // (b & 0x7F)*2 - 1
double maxd(double a, double b);                           // larger of two doubles
double mind(double a, double b);                           // smaller of two doubles
int    maxi(int a, int b);                                 // larger of two integers
int    mini(int a, int b);                                 // smaller of two integers
double sign_of(double x);                                  // 1 when x >= 0, else -1
double power(double b, double a);                          // b^a for b > 0, else 1
double angle_of(double x, double y);                       // atan2(y, x); 0 for (0, 0)
double compass_angle(double x1, double y1, double x2, double y2); // degrees in [0, 360)
bool   point_in_rect(double x, double y, double x0, double y0, double x1, double y1); // edges inside
bool   point_in_box(double x, double y, double left, double top, double width, double height); // edges inside

// --- Vector operations ------------------------------------------------------------
vec3    make_vec(double x, double y, double z);            // vector from three numbers
vec2    make_vec2(double x, double y);                     // planar vector
vec4    make_vec4(double x, double y, double z, double w); // four-vector
svec3   make_svec(float x, float y, float z);              // single vector
colquad make_colquad(float r, float g, float b, float a);  // colour quad
svec3   to_svec(const vec3& v);                            // vector to single vector
vec3    to_vec(const svec3& v);                            // single vector to vector
double  length(const vec3& v);                             // |v|
double  length(const vec2& v);                             // planar |v|
double  length(const vec4& v);                             // four-vector |v|
double  squared_length(const vec3& v);                     // x² + y² + z²
vec3    normalise(const vec3& v);                          // v/|v|, unchanged when |v| < 1e-5
vec2    normalise(const vec2& v);                          // planar version
double  distance(const vec3& a, const vec3& b);            // |a - b|
vec3    midpoint(const vec3& a, const vec3& b);            // (a + b)/2
vec3    add(const vec3& a, const vec3& b);                 // a + b
svec3   add(const svec3& a, const svec3& b);               // single-vector a + b
vec3    sub(const vec3& a, const vec3& b);                 // a - b
vec3    scale(const vec3& v, double s);                    // s·v
vec3    scale(const svec3& v, double s);                   // single vector times s, as a vector
double  dot(const vec3& a, const vec3& b);                 // a·b
double  dot(const vec2& a, const vec2& b);                 // planar a·b
vec3    cross(const vec3& a, const vec3& b);               // a × b
vec3    unit_normal(const vec3& a, const vec3& b);         // normalise(a × b)
vec3    swap_yz(const vec3& v);                            // (x, z, y)
void    rotate_z(vec3& v, double theta);                   // in place; exactly 0 changes nothing
void    rotate_y(vec3& v, double theta);                   // in place; exactly 0 changes nothing
void    rotate_x(vec3& v, double theta);                   // in place; exactly 0 changes nothing
void    rotate_z(svec3& v, double theta);                  // single-vector versions
void    rotate_y(svec3& v, double theta);
void    rotate_x(svec3& v, double theta);
vec3    rotate_axis(const vec3& v, const vec3& n, double theta); // v·R(n, θ), v as (x, y, z, 0)
void    to_spherical(vec3& v, double radius);              // v becomes (latitude, longitude, altitude)

// --- Matrices ------------------------------------------------------------------
mat3 identity3();                                          // 3×3 identity
vec3 transform(const mat3& m, const vec3& v);              // M·v
mat3 multiply(const mat3& a, const mat3& b);               // A·B
void post_rotate_x(mat3& m, double theta);                 // rows (r0, r1c - r2s, r1s + r2c)
void post_rotate_y(mat3& m, double theta);                 // rows (r0c - r2s, r1, r0s + r2c)
vec3 euler_angles(const mat3& m);                          // (atan2(m12, m22), -asin(m02), atan2(m01, m00))
mat3 frame_from_direction(const vec3& d);                  // columns p, q, r
mat3 orientation_from_direction(const vec3& d);            // via latitude and longitude of d
mat3 rotation_between(const vec3& a, const vec3& b);       // turns direction a onto b
mat4 axis_angle(const vec3& n, double theta);              // 4×4 rotation about unit axis n
vec4 transform(const vec4& v, const mat4& m);              // row vector v times M

// --- Line and sphere ------------------------------------------------------------
// Intersects the line through p1 and p2 with the sphere (centre, r). Returns the
// discriminant; when it is >= 0, hit receives the midpoint of the two hit points,
// otherwise hit is left untouched.
double line_sphere(const vec3& p1, const vec3& p2, const vec3& centre, double r, vec3& hit);

// --- Pseudo-random numbers -------------------------------------------------------
// One 32-bit seed for the whole program; it starts at 0.
extern uint32_t random_seed;
double   random_next();                                    // seed = seed*1103515245 + 12345; seed / 2^32
int      random_below(int n);                              // round-half-even(random_next()*(n - 1))
void     noise_permutation(uint32_t seed, int table[256]); // 256 random_below(256) from seed; global seed kept
