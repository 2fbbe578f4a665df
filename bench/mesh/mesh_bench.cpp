// The mesh reader against tinyobjloader: a height field of 1000 x 1000
// vertices (normals and texture coordinates) and 1,996,002 triangles,
// written once as a mesh file and as an OBJ file, each read whole from its
// file per iteration. Rates are vertices per second.
// And the OBJ import of the same file against tinyobjloader's parse alone,
// with the same settings: the import's cost beyond the parse (vertices
// merged, frame changed, groups built). Rates are triangles per second.
#include <tiny_obj_loader.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "mesh/grplib.h"
#include "mesh/meshimport.h"
#include "peer_ratio.h"

namespace {

constexpr int side = 1000;
constexpr int vertex_count = side * side;
constexpr int triangle_count = (side - 1) * (side - 1) * 2;

struct vertex_data {
  float p[3], n[3], t[2];
};

vertex_data grid_vertex(int i, int j) {
  const float x = i * 0.01f, z = j * 0.01f;
  const float y = 0.3f * std::sin(x * 3) * std::cos(z * 2);
  const float nx = -0.9f * std::cos(x * 3) * std::cos(z * 2), nz = 0.6f * std::sin(x * 3) * std::sin(z * 2);
  const float len = std::sqrt(nx * nx + 1 + nz * nz);
  return {{x, y, z}, {nx / len, 1 / len, nz / len}, {i / float(side - 1), j / float(side - 1)}};
}

void put(std::string& out, float v) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 5);
  out.append(buf, r.ptr);
}

void put(std::string& out, int v) {
  char buf[16];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr);
}

// Calls f(a, b, c) with the zero-based corners of every triangle.
template <typename F>
void each_triangle(F f) {
  for (int i = 0; i + 1 < side; ++i)
    for (int j = 0; j + 1 < side; ++j) {
      const int a = i * side + j, b = a + 1, c = a + side, d = c + 1;
      f(a, c, b);
      f(b, c, d);
    }
}

std::string mesh_file_text() {
  std::string out = "MSHX1\nGROUPS 1\nGEOM " + std::to_string(vertex_count) + " " + std::to_string(triangle_count) + "\n";
  for (int i = 0; i < side; ++i)
    for (int j = 0; j < side; ++j) {
      const vertex_data v = grid_vertex(i, j);
      for (float f : {v.p[0], v.p[1], v.p[2], v.n[0], v.n[1], v.n[2], v.t[0], v.t[1]}) put(out, f), out += ' ';
      out.back() = '\n';
    }
  each_triangle([&](int a, int b, int c) {
    put(out, a), out += ' ', put(out, b), out += ' ', put(out, c), out += '\n';
  });
  return out;
}

std::string obj_file_text() {
  std::string out;
  static const char* const keys[] = {"v ", "vn ", "vt "};
  for (int k = 0; k < 3; ++k)
    for (int i = 0; i < side; ++i)
      for (int j = 0; j < side; ++j) {
        const vertex_data v = grid_vertex(i, j);
        const float* values[] = {v.p, v.n, v.t};
        out += keys[k];
        for (int c = 0; c < (k == 2 ? 2 : 3); ++c) put(out, values[k][c]), out += ' ';
        out.back() = '\n';
      }
  each_triangle([&](int a, int b, int c) {
    out += 'f';
    for (int i : {a + 1, b + 1, c + 1}) out += ' ', put(out, i), out += '/', put(out, i), out += '/', put(out, i);
    out += '\n';
  });
  return out;
}

struct bench_files {
  std::filesystem::path dir;
  std::string mesh, obj;
  bench_files() {
    std::string pattern = (std::filesystem::temp_directory_path() / "bench-mesh-XXXXXX").string();
    dir = mkdtemp(pattern.data());
    mesh = (dir / "grid.msh").string();
    obj = (dir / "grid.obj").string();
    std::ofstream(mesh, std::ios::binary) << mesh_file_text();
    std::ofstream(obj, std::ios::binary) << obj_file_text();
  }
  ~bench_files() { std::filesystem::remove_all(dir); }
};

const bench_files& files() {
  static const bench_files f;
  return f;
}

void ours(benchmark::State& state) {
  const std::string& path = files().mesh;
  for (auto _ : state) {
    typmsh m;
    if (!read_mesh(m, path, "", false) || m.groups[0].vertices.size() != size_t(vertex_count))
      state.SkipWithError("mesh not read");
    benchmark::DoNotOptimize(m.groups.data());
  }
}

void tinyobjloader(benchmark::State& state) {
  const std::string& path = files().obj;
  for (auto _ : state) {
    tinyobj::attrib_t attrib;
    std::vector<tinyobj::shape_t> shapes;
    std::vector<tinyobj::material_t> materials;
    std::string warn, err;
    if (!tinyobj::LoadObj(&attrib, &shapes, &materials, &warn, &err, path.c_str(), nullptr, false) ||
        attrib.vertices.size() != size_t(vertex_count) * 3)
      state.SkipWithError("obj not read");
    benchmark::DoNotOptimize(attrib.vertices.data());
  }
}

void import_ours(benchmark::State& state) {
  for (auto _ : state) {
    const imported_model m = import_model(files().obj, {});
    if (m.mesh.groups.size() != 1 || m.mesh.groups[0].indices.size() != size_t(triangle_count) * 3)
      state.SkipWithError("obj not imported");
    benchmark::DoNotOptimize(m.mesh.groups.data());
  }
}

void import_parse(benchmark::State& state) {
  tinyobj::ObjReaderConfig config;  // as the import reads
  config.triangulate = false;
  config.vertex_color = false;
  for (auto _ : state) {
    tinyobj::ObjReader reader;
    if (!reader.ParseFromFile(files().obj, config)) state.SkipWithError("obj not read");
    benchmark::DoNotOptimize(reader.GetAttrib().vertices.data());
  }
}

}  // namespace

BENCHMARK(import_ours)->Name("import/ours")->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(import_parse)->Name("import/tinyobjloader")->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(ours)->Name("mesh/ours")->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(tinyobjloader)->Name("mesh/tinyobjloader")->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv) {
  files();  // written before any timing
  return run_with_peers(argc, argv, {{"mesh", "tinyobjloader", double(vertex_count), "Mvertices/s", 1e6},
                                     {"import", "tinyobjloader", double(triangle_count), "Mtriangles/s", 1e6}});
}
