// fuzz-seeds: writes the harnesses' starting inputs into OUT/<harness>/ from
// what the program itself produces: blank, template and imported designs and
// a generated module; small textures in every format the loader accepts,
// encoded by the demo installation's encoders; the demo meshes; the
// Spacecraft3 samples of the import tests; settings and number texts; the
// box model of the import tests as OBJ and as binary glTF.
// Usage: fuzz-seeds OUT DEMO_ROOT
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "design/designfile.h"
#include "design/designtemplate.h"
#include "design/kvgen.h"
#include "design/sc3import.h"
#include "generate/module_writer.h"
#include "common/model_samples.h"
#include "mkdemo/imgwrite.h"

namespace fs = std::filesystem;

namespace {

const char* const sc3_samples[] = {
  "[CONFIG]\nMESHNAME=ship\nFUEL_MASS=0\nISP=3000\nMAIN_THRUST=100000\nATTITUDE_THRUST=50\n",
  "[CONFIG]\nMAIN_THRUST=100000\nRETRO_THRUST=0\nISP=3000\nFUEL_MASS=500\n"
  "[EX_RETRO_1]\nOFF=(0,0,5)\nLENGTH=3\n[EX_MAIN_1]\nOFF=(0,0,-5)\nDIR=(0,0,-1)\nLENGTH=10\nWIDTH=1\n",
  "[CONFIG]\nFUEL_MASS=10\nISP=2000\nATTITUDE_THRUST=300\nHOVER_THRUST=5\n",
  "[CONFIG]\nMESHNAME=ship\nFUEL_MASS=500\nISP=3000\nMAIN_THRUST=100000\n[ANIM_SEQ_2]\nKEY=G\n",
  "[CONFIG]\r\nMESHNAME=DG\\deltaglider\r\nEMPTY_MASS=5000\r\n"
  "[ANIM_SEQ_0]\r\nKEY=G\r\nDURATION=5\r\nINIT_POS=0.5\r\n",
};

const char* const settings_samples[] = {
  "author_name=Ann\r\n",
  "author_name=%authorname\r\n; comment\r\n{ brace\r\ncomment }\r\nPOS=1.5, -2 3e2 4 5 // tail\r\n",
};

const char* const number_samples[] = {"42", "-9223372036854775808", "1.25e-3", " +7.5 ", "1,2,3,4,5", "0.5 1 -2"};

void put(const fs::path& dir, const std::string& name, const std::vector<uint8_t>& bytes) {
  fs::create_directories(dir);
  write_file_bytes((dir / name).string(), bytes);
}

void put_text(const fs::path& dir, const std::string& name, const std::string& text) {
  put(dir, name, std::vector<uint8_t>(text.begin(), text.end()));
}

void write_designs(const fs::path& out) {
  vessel_design d;
  reset_design(d);
  put(out / "design", "blank.vessdef", design_block_bytes(d));
  apply_template(d);
  put(out / "design", "template.vessdef", design_block_bytes(d));
  put(out / "design", "template.dll", build_module(d));
  int n = 0;
  for (const char* text : sc3_samples) {
    const std::string name = "sample" + std::to_string(++n);
    import_sc3_text(d, text, sc3_default_name);
    put(out / "design", name + ".vessdef", design_block_bytes(d));
    put_text(out / "sc3", name + ".ini", text);
    put_text(out / "parser", name + ".ini", text);
  }
}

// A small picture with every kind of pixel: opaque, see-through and keyed.
rgba_image small_picture() {
  rgba_image img;
  img.width = 8;
  img.height = 6;
  for (int i = 0; i < img.width * img.height; ++i) {
    const uint8_t a = i % 5 == 0 ? 0 : 255;
    img.pixels.insert(img.pixels.end(), {uint8_t(i * 5), uint8_t(255 - i * 3), uint8_t(i % 3 ? 255 : 0), a});
  }
  return img;
}

void write_images(const fs::path& out) {
  const rgba_image img = small_picture();
  const fs::path dir = out / "image";
  put(dir, "24.bmp", encode_bmp(img, 24));
  put(dir, "32.bmp", encode_bmp(img, 32));
  put(dir, "rgba.png", encode_png(img));
  put(dir, "jfif.jpg", encode_jpeg(img));
  put(dir, "cube.gif", encode_gif(img));
  put(dir, "dxt1.dds", encode_dds(img, dxt1));
  put(dir, "dxt3.dds", encode_dds(img, dxt3));
  put(dir, "dxt5.dds", encode_dds(img, dxt5));
  put(dir, "a8r8g8b8.dds", encode_dds_uncompressed(img, 32));
  put(dir, "r5g6b5.dds", encode_dds_uncompressed(img, 16));
}

void copy_meshes(const fs::path& out, const fs::path& demo_root) {
  fs::create_directories(out / "mesh");
  for (const auto& e : fs::recursive_directory_iterator(demo_root / "Meshes"))
    if (e.is_regular_file() && e.path().extension() == ".msh")
      fs::copy_file(e.path(), out / "mesh" / e.path().filename(), fs::copy_options::overwrite_existing);
}

// Binary glTF: the JSON chunk (padded with blanks) and the buffer as the BIN chunk.
std::vector<uint8_t> box_glb() {
  std::vector<uint8_t> bin;
  nlohmann::json doc = nlohmann::json::parse(box_gltf(bin));
  doc["buffers"][0].erase("uri");
  doc.erase("images");  // no texture file beside the fuzzed input
  doc.erase("textures");
  doc["materials"][1]["pbrMetallicRoughness"].erase("baseColorTexture");
  std::string json = doc.dump();
  json.resize((json.size() + 3) & ~size_t(3), ' ');
  std::vector<uint8_t> out;
  auto put32 = [&out](size_t v) { for (int k = 0; k < 4; ++k) out.push_back(uint8_t(v >> (8 * k))); };
  out.insert(out.end(), {'g', 'l', 'T', 'F'});
  put32(2);
  put32(12 + 8 + json.size() + 8 + bin.size());
  put32(json.size());
  out.insert(out.end(), {'J', 'S', 'O', 'N'});
  out.insert(out.end(), json.begin(), json.end());
  put32(bin.size());
  out.insert(out.end(), {'B', 'I', 'N', 0});
  out.insert(out.end(), bin.begin(), bin.end());
  return out;
}

void write_models(const fs::path& out) {
  put_text(out / "obj", "box.obj", box_obj());
  put(out / "gltf", "box.glb", box_glb());
}

void write_texts(const fs::path& out) {
  int n = 0;
  for (const char* text : settings_samples) put_text(out / "parser", "settings" + std::to_string(++n) + ".cfg", text);
  n = 0;
  for (const char* text : number_samples) put_text(out / "numbers", "number" + std::to_string(++n), text);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: fuzz-seeds OUT DEMO_ROOT\n");
    return 2;
  }
  try {
    write_designs(argv[1]);
    write_images(argv[1]);
    copy_meshes(argv[1], argv[2]);
    write_texts(argv[1]);
    write_models(argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "fuzz-seeds: %s\n", e.what());
    return 1;
  }
  return 0;
}
