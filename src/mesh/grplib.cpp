#include "mesh/grplib.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>

#include "base/strval.h"
#include "mesh/texfile.h"

namespace {

// --- Lines and fields --------------------------------------------------------------

// Walks the file line by line. A line ends at a line feed; carriage returns
// anywhere in it are dropped (at the end cheaply, elsewhere through a copy).
struct line_cursor {
  const char* p;
  const char* end;
  std::string scratch;  // holds a line that had carriage returns inside it

  bool next(std::string_view& line) {
    if (p >= end) return false;
    const char* nl = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)));
    const char* stop = nl ? nl : end;
    line = std::string_view(p, size_t(stop - p));
    p = nl ? nl + 1 : end;
    while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.find('\r') != std::string_view::npos) {
      scratch.assign(line);
      std::erase(scratch, '\r');
      line = scratch;
    }
    return true;
  }
};

constexpr int max_fields = 8;  // vertex and triangle lines use no more

bool is_blank(char c) { return c == ' ' || c == '\t'; }

// Splits at runs of blanks and tabs; fields beyond max_fields are ignored.
int split_fields(std::string_view line, std::string_view f[max_fields]) {
  int n = 0;
  const char* p = line.data();
  const char* e = p + line.size();
  while (n < max_fields) {
    while (p < e && is_blank(*p)) ++p;
    if (p == e) break;
    const char* s = p;
    while (p < e && !is_blank(*p)) ++p;
    f[n++] = std::string_view(s, size_t(p - s));
  }
  return n;
}

// An optional sign and the leading digits; anything else reads as 0. Saturates
// at the limits of a 32-bit integer.
int32_t read_int(std::string_view s) {
  const char* p = s.data();
  const char* const e = p + s.size();
  const bool negative = p < e && *p == '-';
  if (p < e && (*p == '-' || *p == '+')) ++p;
  constexpr int64_t cap = int64_t(1) << 32;
  int64_t v = 0;
  for (; p < e && unsigned(*p - '0') < 10; ++p) v = std::min<int64_t>(v * 10 + (*p - '0'), cap);
  v = negative ? -v : v;
  return int32_t(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// The plain decimals that fill mesh files ("-12.345", at most 15 digits, no
// exponent) are read here: the digits make an exact integer and one division
// by an exact power of ten rounds it correctly, as from_chars would. For a
// float, a double that falls exactly halfway between two floats would be
// rounded twice, so those go to from_chars; so does everything else.
template <typename T>
bool plain_decimal(const char* p, const char* e, T& out) {
  static constexpr double tens[16] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                      1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  const bool negative = p < e && *p == '-';
  p += negative;
  uint64_t mantissa = 0;
  int digits = 0, decimals = 0;
  for (; p < e && unsigned(*p - '0') < 10 && digits <= 15; ++p, ++digits) mantissa = mantissa * 10 + unsigned(*p - '0');
  if (p < e && *p == '.')
    for (++p; p < e && unsigned(*p - '0') < 10 && digits <= 15; ++p, ++digits, ++decimals)
      mantissa = mantissa * 10 + unsigned(*p - '0');
  if (digits == 0 || digits > 15 || (p < e && (unsigned(*p - '0') < 10 || *p == 'e' || *p == 'E'))) return false;
  const double d = (negative ? -double(mantissa) : double(mantissa)) / tens[decimals];
  if constexpr (std::is_same_v<T, float>) {
    // Halfway between two floats (normal ones, as these all are): the 29
    // mantissa bits a float drops hold exactly 1 followed by zeros.
    if ((std::bit_cast<uint64_t>(d) & 0x1FFFFFFFu) == 0x10000000u) return false;
    out = float(d);
  } else {
    out = d;
  }
  return true;
}

// A decimal number at the start of the field; trailing text is ignored and a
// field without a number (including "inf" and "nan") reads as 0.
template <typename T>
T read_decimal(std::string_view s) {
  if (!s.empty() && s[0] == '+') s.remove_prefix(1);
  const size_t digit_at = !s.empty() && s[0] == '-' ? 1 : 0;
  if (s.size() <= digit_at || !(std::isdigit((unsigned char)s[digit_at]) || s[digit_at] == '.')) return 0;
  T v = 0;
  if (plain_decimal(s.data(), s.data() + s.size(), v)) return v;
  if (std::from_chars(s.data(), s.data() + s.size(), v).ec != std::errc{}) return 0;
  return v;
}

bool starts_with(std::string_view line, std::string_view key) { return line.substr(0, key.size()) == key; }

// The text after the keyword and one separator, cut at ";" and trimmed.
std::string_view keyword_value(std::string_view line, std::string_view key) {
  std::string_view v = line.substr(std::min(line.size(), key.size() + 1));
  return trim(v.substr(0, v.find(';')));
}

// Moves on to the first line starting with key; false at the end of the file.
bool find_line(line_cursor& c, std::string_view key, std::string_view& line) {
  while (c.next(line))
    if (starts_with(line, key)) return true;
  return false;
}

// --- Groups ------------------------------------------------------------------------

// Indices that carry over from one group header to the next.
struct header_state {
  int32_t material = 255;  // 255: none
  int32_t texture = 0;     // 0: none
  int32_t light = 0;
  int32_t specular = 0;
};

struct header_key {
  std::string_view prefix;
  int32_t header_state::*target;
};

const header_key header_keys[] = {
  {"MATERIAL", &header_state::material},
  {"TEXTURE", &header_state::texture},
  {"LIGHTTEXTURE", &header_state::light},
  {"SPECTEXTURE", &header_state::specular},
};

struct geom_counts {
  int64_t vertices = 0, triangles = 0;
  bool no_normals = false;
  std::string label;             // the LABEL line of this header
};

// Reads a group header up to and including its GEOM line.
geom_counts read_header(line_cursor& c, header_state& st) {
  geom_counts g;
  std::string_view line;
  while (c.next(line)) {
    if (starts_with(line, "GEOM")) {
      std::string_view f[max_fields];
      const int n = split_fields(keyword_value(line, "GEOM"), f);
      g.vertices = n > 0 ? std::max(0, read_int(f[0])) : 0;
      g.triangles = n > 1 ? std::max(0, read_int(f[1])) : 0;
      return g;
    }
    for (const header_key& k : header_keys)
      if (starts_with(line, k.prefix)) st.*k.target = read_int(keyword_value(line, k.prefix));
    if (starts_with(line, "NONORMAL")) g.no_normals = true;
    if (starts_with(line, "LABEL")) g.label = keyword_value(line, "LABEL");  // this group's only
  }
  return g;
}

// Lines still to come can be no more than the bytes left (plus a last empty one),
// so no count read from the file reserves more than the file could fill.
size_t reservable(const line_cursor& c, int64_t count) {
  return size_t(std::min<int64_t>(count, int64_t(c.end - c.p) + 1));
}

void read_vertices(line_cursor& c, int64_t count, msh_group& g, geom_counts& gc) {
  g.vertices.reserve(reservable(c, count));
  std::string_view line, f[max_fields];
  for (int64_t i = 0; i < count && c.next(line); ++i) {
    const int n = split_fields(line, f);
    for (int k = n; k < max_fields; ++k) f[k] = {};
    if (n < 6) gc.no_normals = true;
    pntyp v{};
    v.position = {read_decimal<float>(f[0]), read_decimal<float>(f[1]), read_decimal<float>(f[2])};
    const int uv = gc.no_normals ? 3 : 6;
    if (!gc.no_normals) v.normal = {read_decimal<float>(f[3]), read_decimal<float>(f[4]), read_decimal<float>(f[5])};
    v.u = read_decimal<float>(f[uv]);
    v.v = f[uv].empty() ? 0 : read_decimal<float>(f[uv + 1]);
    g.vertices.push_back(v);
  }
}

// Adds the face vector (B - A) x (C - A) to each corner; the sums keep their
// length, which follows the triangles' areas.
void add_face_normal(aopntyp& v, const int32_t t[3]) {
  const vec3 a = to_vec(v[t[0]].position), b = to_vec(v[t[1]].position), c = to_vec(v[t[2]].position);
  const svec3 n = to_svec(cross(sub(b, a), sub(c, a)));
  for (int k = 0; k < 3; ++k) v[t[k]].normal = add(v[t[k]].normal, n);
}

void read_triangles(line_cursor& c, int64_t count, msh_group& g, bool no_normals) {
  g.indices.reserve(3 * reservable(c, count));
  const int64_t nv = int64_t(g.vertices.size());
  std::string_view line, f[max_fields];
  for (int64_t i = 0; i < count && c.next(line); ++i) {
    const int n = split_fields(line, f);
    int32_t t[3];
    bool inside = true;
    for (int k = 0; k < 3; ++k) {
      t[k] = k < n ? read_int(f[k]) : 0;
      inside = inside && t[k] >= 0 && t[k] < nv;
    }
    if (!inside) continue;  // a corner outside the group: the triangle is dropped
    g.indices.insert(g.indices.end(), t, t + 3);
    if (no_normals) add_face_normal(g.vertices, t);
  }
}

// --- Materials and textures --------------------------------------------------------

// Numbers separated by commas when the line holds one, otherwise by blanks.
void read_colour_line(std::string_view line, double* out, int count) {
  const bool commas = line.find(',') != std::string_view::npos;
  std::string_view rest = trim(line);
  for (int k = 0; k < count && !rest.empty(); ++k) {
    const size_t cut = commas ? rest.find(',') : std::min(rest.find(' '), rest.find('\t'));
    out[k] = read_decimal<double>(trim(rest.substr(0, cut)));
    rest = cut == std::string_view::npos ? std::string_view{} : trim(rest.substr(cut + 1));
  }
}

// Without a MATERIALS line the cursor stays put: the texture list may still follow.
std::vector<msh_material> read_materials(line_cursor& c) {
  std::vector<msh_material> list;
  std::string_view line;
  const line_cursor start = c;
  if (!find_line(c, "MATERIALS", line)) {
    c = start;
    return list;
  }
  const int32_t count = read_int(keyword_value(line, "MATERIALS"));
  for (int32_t i = 0; i < count && find_line(c, "MATERIAL ", line); ++i) {
    // values a short line leaves out read as 0
    msh_material m{std::string(trim(line.substr(9))), {}, {}, {}, 0, {}};
    double specular[5] = {};
    double* targets[4] = {m.diffuse, m.ambient, specular, m.emissive};
    for (int k = 0; k < 4 && c.next(line); ++k) read_colour_line(line, targets[k], k == 2 ? 5 : 4);
    std::copy_n(specular, 4, m.specular);
    m.power = specular[4];
    list.push_back(m);
  }
  return list;
}

astr read_texture_names(line_cursor& c) {
  astr list;
  std::string_view line;
  if (!find_line(c, "TEXTURES", line)) return list;
  const int32_t count = read_int(keyword_value(line, "TEXTURES"));
  for (int32_t i = 0; i < count && c.next(line); ++i)
    list.emplace_back(line.ends_with(" D") ? line.substr(0, line.size() - 2) : line);
  return list;
}

// References beyond the lists become 0, "none".
void clean_references(msh_document& d) {
  auto texture = [&d](int32_t& t) { t = t >= 1 && size_t(t) <= d.textures.size() ? t : 0; };
  for (msh_group& g : d.groups) {
    if (!valid_material(d, g.material)) g.material = 0;
    texture(g.texture);
    texture(g.light_texture);
    texture(g.spec_texture);
  }
}

// --- The drawable mesh -------------------------------------------------------------

struct texture_entry {
  texture_pixels pixels;
  int32_t width = 0, height = 0;
};

std::vector<texture_entry> decode_textures(const typmsh& m, bool load) {
  std::vector<texture_entry> list(m.texture_names.size());
  for (size_t i = 0; load && i < list.size(); ++i) {
    rgba_image img;
    if (decode_image(m.texture_dir + m.texture_names[i], img))
      list[i] = {std::make_shared<const std::vector<uint8_t>>(std::move(img.pixels)), img.width, img.height};
  }
  return list;
}

void resolve_texture(grptexture& t, int32_t index, const std::vector<texture_entry>& list) {
  t.index = index ? index : -1;
  if (!index) return;
  const texture_entry& e = list[size_t(index - 1)];
  t.pixels = e.pixels;
  t.width = e.width;
  t.height = e.height;
}

// A material the file does not define gives the default grey.
void resolve_material(typmshgrp& g, int32_t index, const msh_document& d) {
  if (!index) {
    g.diffuse = pack_colour(128, 128, 128, 255);
    return;
  }
  const msh_material& m = d.materials[size_t(index - 1)];
  auto pack = [](const double* c) { return pack_float_colour(c[0], c[1], c[2], c[3]); };
  g.diffuse = pack(m.diffuse);
  g.specular = pack(m.specular);
  g.emissive = pack(m.emissive);
  g.specular_power = float(m.power);
}

// Moves a group's geometry into the drawable group and records its extents.
void take_geometry(typmshgrp& g, msh_group& src, double abs_max[3]) {
  double lo[3] = {1e100, 1e100, 1e100}, hi[3] = {-1e100, -1e100, -1e100};
  for (const pntyp& v : src.vertices) {
    const float xyz[3] = {v.position.x, v.position.y, v.position.z};
    for (int k = 0; k < 3; ++k) {
      lo[k] = std::min(lo[k], double(xyz[k]));
      hi[k] = std::max(hi[k], double(xyz[k]));
      abs_max[k] = std::max(abs_max[k], std::fabs(double(xyz[k])));
    }
  }
  g.min_corner = {lo[0], lo[1], lo[2]};
  g.max_corner = {hi[0], hi[1], hi[2]};
  g.centre = add(g.min_corner, scale(sub(g.max_corner, g.min_corner), 0.5));
  g.label = std::move(src.label);
  g.vertices = std::move(src.vertices);
  g.indices = std::move(src.indices);
}

}  // namespace

bool read_mesh_document(msh_document& doc, std::string_view text) {
  line_cursor c{text.data(), text.data() + text.size(), {}};
  std::string_view line;
  if (!find_line(c, "GROUPS", line)) return false;
  const int32_t count = read_int(keyword_value(line, "GROUPS"));
  if (count < 0 || count > max_mesh_groups) return false;

  msh_document d;
  d.groups.resize(size_t(count));
  header_state st;
  for (msh_group& g : d.groups) {
    geom_counts gc = read_header(c, st);
    g.material = st.material;
    g.texture = st.texture;
    g.light_texture = st.light;
    g.spec_texture = st.specular;
    g.label = std::move(gc.label);
    read_vertices(c, gc.vertices, g, gc);
    read_triangles(c, gc.triangles, g, gc.no_normals);
  }
  d.materials = read_materials(c);
  d.textures = read_texture_names(c);
  clean_references(d);
  doc = std::move(d);
  return true;
}

bool read_mesh_text(typmsh& mesh, std::string_view text, const std::string& path,
                    const std::string& texture_dir, bool load_textures) {
  msh_document d;
  if (!read_mesh_document(d, text)) return false;
  typmsh m;
  m.file_name = path;
  m.texture_dir = texture_dir;
  m.group_count = int32_t(d.groups.size());
  m.groups.resize(d.groups.size());
  m.texture_names = d.textures;
  m.texture_count = int32_t(d.textures.size());
  const std::vector<texture_entry> textures = decode_textures(m, load_textures);
  double abs_max[3] = {0, 0, 0};
  for (size_t i = 0; i < d.groups.size(); ++i) {
    typmshgrp& g = m.groups[i];
    msh_group& src = d.groups[i];
    take_geometry(g, src, abs_max);
    resolve_texture(g.texture, src.texture, textures);
    resolve_texture(g.light_texture, src.light_texture, textures);
    resolve_texture(g.spec_texture, src.spec_texture, textures);
    resolve_material(g, src.material, d);
  }
  m.radius = std::sqrt(abs_max[0] * abs_max[0] + abs_max[1] * abs_max[1] + abs_max[2] * abs_max[2]);
  m.loaded = true;
  mesh = std::move(m);
  return true;
}

read_result read_mesh(typmsh& mesh, const std::string& path, const std::string& texture_dir, bool load_textures) {
  const std::string found = locate_file(path);
  if (found.empty()) return read_failure(read_missing, path + ": file not found");
  mapped_file data;
  try {
    file_map(data, found);
  } catch (const io_error& e) {
    return read_failure(read_unreadable, e.what());
  }
  const std::string_view text(reinterpret_cast<const char*>(data.data), data.size);
  if (!read_mesh_text(mesh, text, path, texture_dir, load_textures))
    return read_failure(read_not_format, path + ": not a mesh file (no GROUPS line, or a group count out of range)");
  return {};
}
