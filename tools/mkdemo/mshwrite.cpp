#include "mkdemo/mshwrite.h"

#include <cmath>

namespace {

// Four decimals, without a negative zero.
double round4(double v) { return std::round(v * 1e4) / 1e4 + 0.0; }

void round_colour(double* c) {
  for (int k = 0; k < 4; ++k) c[k] = round4(c[k]);
}

msh_group file_group(const demo_group& d) {
  msh_group g{d.label, d.g.vertices, d.g.indices, d.material, d.texture};
  for (pntyp& v : g.vertices) {
    for (float* f : {&v.position.x, &v.position.y, &v.position.z, &v.normal.x, &v.normal.y, &v.normal.z, &v.u, &v.v})
      *f = float(round4(*f));
  }
  return g;
}

}  // namespace

std::string mesh_text(const demo_mesh& m) {
  msh_document d;
  for (const demo_group& g : m.groups) d.groups.push_back(file_group(g));
  d.materials = m.materials;
  for (msh_material& mat : d.materials) {
    for (double* c : {mat.diffuse, mat.ambient, mat.specular, mat.emissive}) round_colour(c);
    mat.power = round4(mat.power);
  }
  d.textures = m.textures;
  return mesh_text(d);
}
