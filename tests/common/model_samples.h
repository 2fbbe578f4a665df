// Models written by the tests from known geometry, as 3D tools save them: a
// box of 2 x 3 x 4 with its corner at the origin, two materials (the second
// textured with an 8 x 8 picture), as OBJ with MTL and as glTF with a .bin
// buffer. Shared by the import tests, the tool tests and the fuzzing seeds.
#pragma once
#include <cstring>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "images/picture.h"

// The box's faces: quads in counter-clockwise order seen from outside; the
// first three faces use material 1, the others material 2.
inline std::vector<std::array<std::array<float, 3>, 4>> box_faces() {
  const float x = 2, y = 3, z = 4;
  return {{{{0, 0, 0}, {0, y, 0}, {x, y, 0}, {x, 0, 0}}}, {{{0, 0, z}, {x, 0, z}, {x, y, z}, {0, y, z}}},
          {{{0, 0, 0}, {0, 0, z}, {0, y, z}, {0, y, 0}}}, {{{x, 0, 0}, {x, y, 0}, {x, y, z}, {x, 0, z}}},
          {{{0, 0, 0}, {x, 0, 0}, {x, 0, z}, {0, 0, z}}}, {{{0, y, 0}, {0, y, z}, {x, y, z}, {x, y, 0}}}};
}

// Each 4 x 4 block's colours lie on a line, which DXT holds well; the block
// rows differ, so that rows turned upside down would show.
inline rgba_image box_picture() {
  rgba_image img;
  img.width = img.height = 8;
  for (int i = 0; i < 64; ++i) img.pixels.insert(img.pixels.end(), {uint8_t(i % 8 * 10), uint8_t(200 - i / 32 * 60), 40, 255});
  return img;
}

inline std::string box_mtl() {
  return "newmtl red\nKd 1 0 0\nKa 0.5 0 0\nKs 0.2 0.2 0.2\nNs 20\n\n"
         "newmtl skin\nKd 1 1 1\nd 0.5\nKe 0.1 0.2 0.3\nmap_Kd box.png\n";
}

// Quads without normals; texture coordinates (0,0) (0,1) (1,1) (1,0) on every face.
inline std::string box_obj() {
  std::string s = "mtllib box.mtl\no box\nvt 0 0\nvt 0 1\nvt 1 1\nvt 1 0\n";
  int n = 0;
  for (const auto& f : box_faces()) {
    for (const auto& p : f) s += "v " + std::to_string(p[0]) + " " + std::to_string(p[1]) + " " + std::to_string(p[2]) + "\n";
    s += (n == 0 ? "usemtl red\n" : n == 3 ? "usemtl skin\n" : "");
    s += "f";
    for (int k = 1; k <= 4; ++k) s += " " + std::to_string(4 * n + k) + "/" + std::to_string(k);
    s += "\n";
    ++n;
  }
  return s;
}

// Two primitives of 12 vertices each; bin receives the buffer. extra_nodes
// replace the single node "box" when given.
inline std::string box_gltf(std::vector<uint8_t>& bin, nlohmann::json nodes = nullptr) {
  using nlohmann::json;
  json views = json::array(), accessors = json::array(), prims = json::array();
  auto add = [&](const std::vector<float>& v, const char* type, int n) {
    views.push_back({{"buffer", 0}, {"byteOffset", bin.size()}, {"byteLength", v.size() * 4}});
    bin.resize(bin.size() + v.size() * 4);
    std::memcpy(bin.data() + bin.size() - v.size() * 4, v.data(), v.size() * 4);
    accessors.push_back({{"bufferView", views.size() - 1}, {"componentType", 5126}, {"count", v.size() / n}, {"type", type}});
    return accessors.size() - 1;
  };
  const auto faces = box_faces();
  for (int half = 0; half < 2; ++half) {
    std::vector<float> pos, uv, idx;
    for (int f = 3 * half; f < 3 * half + 3; ++f) {
      for (int k = 0; k < 4; ++k) {
        pos.insert(pos.end(), faces[f][k].begin(), faces[f][k].end());
        uv.insert(uv.end(), {float(k >= 2), float(k == 1 || k == 2)});
      }
      const float b = float(4 * (f - 3 * half));
      idx.insert(idx.end(), {b, b + 1, b + 2, b, b + 2, b + 3});
    }
    const size_t p = add(pos, "VEC3", 3), t = add(uv, "VEC2", 2);
    std::vector<uint16_t> i16(idx.begin(), idx.end());
    views.push_back({{"buffer", 0}, {"byteOffset", bin.size()}, {"byteLength", i16.size() * 2}});
    bin.insert(bin.end(), reinterpret_cast<uint8_t*>(i16.data()), reinterpret_cast<uint8_t*>(i16.data() + i16.size()));
    bin.resize((bin.size() + 3) & ~size_t(3));
    accessors.push_back({{"bufferView", views.size() - 1}, {"componentType", 5123}, {"count", i16.size()}, {"type", "SCALAR"}});
    prims.push_back({{"attributes", {{"POSITION", p}, {"TEXCOORD_0", t}}}, {"indices", accessors.size() - 1}, {"material", half}});
  }
  if (nodes.is_null()) nodes = json::array({{{"name", "box"}, {"mesh", 0}}});
  json roots = json::array();
  for (size_t i = 0; i < nodes.size(); ++i)
    if (nodes[i].value("root", true)) roots.push_back(i);
  for (json& n : nodes) n.erase("root");
  const json doc = {
    {"asset", {{"version", "2.0"}}}, {"scene", 0}, {"scenes", {{{"nodes", roots}}}}, {"nodes", nodes},
    {"meshes", {{{"name", "boxmesh"}, {"primitives", prims}}}},
    {"materials", {{{"name", "red"}, {"pbrMetallicRoughness", {{"baseColorFactor", {1, 0, 0, 1}}, {"roughnessFactor", 0.5}}}},
                   {{"name", "skin"}, {"pbrMetallicRoughness", {{"baseColorTexture", {{"index", 0}}}}}}}},
    {"textures", {{{"source", 0}}}}, {"images", {{{"uri", "box.png"}}}},
    {"buffers", {{{"uri", "box.bin"}, {"byteLength", bin.size()}}}}, {"bufferViews", views}, {"accessors", accessors}};
  return doc.dump(1);
}
