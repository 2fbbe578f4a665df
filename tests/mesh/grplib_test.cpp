// The mesh file reader: keywords, carried-over headers, vertex line shapes,
// materials, textures, and damaged files.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "common/scratch_dir.h"
#include "mesh/grplib.h"
#include "mesh/texfile.h"
#include "mkdemo/imgwrite.h"

namespace {

namespace fs = std::filesystem;

typmsh read_text(const std::string& text, const std::string& texdir = "", bool textures = false) {
  typmsh m;
  EXPECT_TRUE(read_mesh_text(m, text, "test.msh", texdir, textures)) << text;
  return m;
}

std::string replace_all(std::string s, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = s.find(from, at)) != std::string::npos; at += to.size()) s.replace(at, from.size(), to);
  return s;
}

const char* const two_groups =
    "MSHX1\n"
    "GROUPS 2\n"
    "MATERIAL 2\n"
    "TEXTURE 1\n"
    "GEOM 3 1 ; first\n"
    "0 0 0 0 0 1 0 0\n"
    "2 0 0 0 0 1 1 0\n"
    "0 4 -6 0 0 1 0 1\n"
    "0 1 2\n"
    "LABEL second\n"
    "GEOM 3 1\n"
    "1 1 1 0 1 0\n"
    "-3 1 1 0 1 0\n"
    "1 1 2 0 1 0\n"
    "2 1 0\n"
    "MATERIALS 2\n"
    "hull\n"
    "glass\n"
    "MATERIAL hull\n"
    "0.5 0.5 0.5 1\n"
    "0.1 0.1 0.1 1\n"
    "0 0 0 1\n"
    "0 0 0 1\n"
    "MATERIAL glass\n"
    "1, 0.5, 0, 1\n"
    "0 0 0 1\n"
    "0.2\t0.4 \t 0.6 1 20\n"
    "0.1 0 0 1\n"
    "TEXTURES 1\n"
    "dg\\skin.dds D\n";

}  // namespace

TEST(Grplib, ZeroGroupsGiveALoadedEmptyMesh) {
  const typmsh m = read_text("GROUPS 0\n");
  EXPECT_TRUE(m.loaded);
  EXPECT_EQ(m.group_count, 0);
  EXPECT_TRUE(m.groups.empty());
  EXPECT_EQ(m.radius, 0);
}

TEST(Grplib, NoUsableGroupsLineLeavesTheMeshUnchanged) {
  typmsh m;
  m.file_name = "kept";
  m.radius = 7;
  for (const char* text : {"", "MSHX1\nGEOM 3 1\n", " GROUPS 1\n", "groups 1\n", "GROUPS 32769\n", "GROUPS 2000000000\n", "GROUPS -1\n"}) {
    EXPECT_FALSE(read_mesh_text(m, text, "x.msh", "")) << text;
    EXPECT_EQ(m.file_name, "kept");
    EXPECT_EQ(m.radius, 7);
    EXPECT_FALSE(m.loaded);
  }
  EXPECT_FALSE(read_mesh(m, "/nonexistent/none.msh", ""));
  EXPECT_EQ(m.file_name, "kept");
}

TEST(Grplib, MeshAndTextureReadersSayWhyTheyFailed) {
  const scratch_dir t;
  t.put("Meshes/notes.msh", "just some text\n");
  t.put("Textures/mesh.dds", "GROUPS 0\n");
  typmsh m;
  rgba_image img;
  const read_result missing = read_mesh(m, t.file("Meshes/none.msh"), "");
  EXPECT_EQ(missing.status, read_missing);
  EXPECT_NE(missing.message.find("none.msh: file not found"), std::string::npos) << missing.message;
  const read_result text = read_mesh(m, t.file("Meshes/notes.msh"), "");
  EXPECT_EQ(text.status, read_not_format);
  EXPECT_NE(text.message.find("notes.msh: not a mesh file"), std::string::npos) << text.message;
  EXPECT_EQ(decode_image(t.file("Textures/none.dds"), img).status, read_missing);
  const read_result image = decode_image(t.file("Textures/mesh.dds"), img);
  EXPECT_EQ(image.status, read_not_format);
  EXPECT_NE(image.message.find("mesh.dds: no image recognised"), std::string::npos) << image.message;
  EXPECT_TRUE(read_mesh(m, t.file("textures/MESH.dds"), ""));   // content decides, not the name
}

TEST(Grplib, GroupCountLimitIsInclusive) {
  const typmsh m = read_text("GROUPS 32768\n");
  EXPECT_EQ(m.group_count, max_mesh_groups);
  EXPECT_EQ(m.groups.size(), size_t(max_mesh_groups));
}

TEST(Grplib, ReadsGeometryMaterialsAndTextureReferences) {
  const typmsh m = read_text(two_groups);
  ASSERT_EQ(m.group_count, 2);
  const typmshgrp& a = m.groups[0];
  ASSERT_EQ(a.vertices.size(), 3u);
  EXPECT_EQ(a.indices, (aointeger{0, 1, 2}));
  EXPECT_FLOAT_EQ(a.vertices[1].position.x, 2);
  EXPECT_FLOAT_EQ(a.vertices[1].normal.z, 1);
  EXPECT_FLOAT_EQ(a.vertices[2].u, 0);
  EXPECT_FLOAT_EQ(a.vertices[2].v, 1);
  EXPECT_EQ(a.vertices[0].colour[0], 0);  // the reader leaves vertex colours at 0
  // Material 2: comma-separated diffuse, blank- and tab-separated specular with power.
  EXPECT_EQ(a.diffuse, pack_colour(255, 128, 0, 255));
  EXPECT_EQ(a.specular, pack_colour(51, 102, 153, 255));
  EXPECT_EQ(a.emissive, pack_colour(26, 0, 0, 255));
  EXPECT_FLOAT_EQ(a.specular_power, 20);
  // The second group has no MATERIAL or TEXTURE line: both carry over.
  const typmshgrp& b = m.groups[1];
  EXPECT_EQ(b.diffuse, a.diffuse);
  EXPECT_EQ(b.texture.index, 1);
  EXPECT_EQ(b.light_texture.index, -1);
  EXPECT_EQ(b.indices, (aointeger{2, 1, 0}));
  EXPECT_EQ(m.texture_names, (astr{"dg\\skin.dds"}));
  EXPECT_EQ(m.texture_count, 1);
}

TEST(Grplib, ExtentsCentreAndRadius) {
  const typmsh m = read_text(two_groups);
  const typmshgrp& a = m.groups[0];
  EXPECT_DOUBLE_EQ(a.min_corner.z, -6);
  EXPECT_DOUBLE_EQ(a.max_corner.x, 2);
  EXPECT_DOUBLE_EQ(a.max_corner.y, 4);
  EXPECT_DOUBLE_EQ(a.centre.x, 1);
  EXPECT_DOUBLE_EQ(a.centre.y, 2);
  EXPECT_DOUBLE_EQ(a.centre.z, -3);
  EXPECT_DOUBLE_EQ(m.groups[1].min_corner.x, -3);
  // Largest absolute values over the mesh: x 3 (group 2), y 4, z 6.
  EXPECT_DOUBLE_EQ(m.radius, std::sqrt(9.0 + 16.0 + 36.0));
}

TEST(Grplib, DefaultGreyForMissingZeroAndUnknownMaterials) {
  const std::string tail = "MATERIALS 1\nMATERIAL m\n0 0 1 1\n0 0 0 1\n0 0 0 1\n0 0 0 1\n";
  const typmsh m = read_text("GROUPS 4\nGEOM 0 0\nMATERIAL 1\nGEOM 0 0\nMATERIAL 0\nGEOM 0 0\n"
                             "MATERIAL 5\nGEOM 0 0\n" + tail);
  const packed_colour grey = pack_colour(128, 128, 128, 255);
  EXPECT_EQ(m.groups[0].diffuse, grey);                          // first group, no MATERIAL line
  EXPECT_EQ(m.groups[1].diffuse, pack_colour(0, 0, 255, 255));   // material 1
  EXPECT_EQ(m.groups[2].diffuse, grey);                          // material 0
  EXPECT_EQ(m.groups[3].diffuse, grey);                          // beyond the list
  EXPECT_EQ(m.groups[3].specular_power, 0);
}

TEST(Grplib, MaterialIndicesBeyondOneByteGiveGrey) {
  // Materials 1 to 254 can be named; 255 means none, and 257 must not wrap to 1.
  std::string text = "GROUPS 3\nMATERIAL 254\nGEOM 0 0\nMATERIAL 255\nGEOM 0 0\nMATERIAL 257\nGEOM 0 0\nMATERIALS 300\n";
  for (int i = 1; i <= 300; ++i) text += "MATERIAL m\n0 0 " + std::to_string(i % 2) + " 1\n0 0 0 1\n0 0 0 1\n0 0 0 1\n";
  const typmsh m = read_text(text);
  EXPECT_EQ(m.groups[0].diffuse, pack_colour(0, 0, 0, 255));
  EXPECT_EQ(m.groups[1].diffuse, pack_colour(128, 128, 128, 255));
  EXPECT_EQ(m.groups[2].diffuse, pack_colour(128, 128, 128, 255));
}

TEST(Grplib, FiveFieldLinesGetAccumulatedFaceNormals) {
  const std::string body = "GEOM 4 2\n0 0 0 0.1 0.2\n1 0 0 0.3 0.4\n0 1 0 0.5 0.6\n0 0 2 0.7 0.8\n0 1 2\n0 3 1\n";
  const typmsh with = read_text("GROUPS 1\nNONORMAL\n" + body);
  const typmsh without = read_text("GROUPS 1\n" + body);
  for (const typmsh* m : {&with, &without}) {
    const aopntyp& v = m->groups[0].vertices;
    // Triangle (0,1,2): (1,0,0) x (0,1,0) = (0,0,1). Triangle (0,3,1): (0,0,2) x (1,0,0) = (0,2,0).
    EXPECT_FLOAT_EQ(v[0].normal.y, 2);
    EXPECT_FLOAT_EQ(v[0].normal.z, 1);
    EXPECT_FLOAT_EQ(v[1].normal.y, 2);
    EXPECT_FLOAT_EQ(v[1].normal.z, 1);
    EXPECT_FLOAT_EQ(v[2].normal.z, 1);
    EXPECT_FLOAT_EQ(v[2].normal.y, 0);
    EXPECT_FLOAT_EQ(v[3].normal.y, 2);
    EXPECT_FLOAT_EQ(v[3].u, 0.7f);
    EXPECT_FLOAT_EQ(v[3].v, 0.8f);
  }
}

TEST(Grplib, NoNormalsDoesNotLeakIntoTheNextGroup) {
  const typmsh m = read_text("GROUPS 2\nNONORMAL\nGEOM 1 0\n1 2 3\nGEOM 1 0\n1 2 3 0 0 1 0.5 0.25\n");
  const pntyp& v = m.groups[1].vertices[0];
  EXPECT_FLOAT_EQ(v.normal.z, 1);
  EXPECT_FLOAT_EQ(v.u, 0.5f);
  EXPECT_FLOAT_EQ(v.v, 0.25f);
}

TEST(Grplib, SixFieldLinesKeepNormalsWithZeroTextureCoordinates) {
  const typmsh m = read_text("GROUPS 1\nGEOM 3 1\n0 0 0 0 0 -1\n1 0 0 0 0 -1\n0 1 0 0 0 -1\n0 1 2\n");
  for (const pntyp& v : m.groups[0].vertices) {
    EXPECT_FLOAT_EQ(v.normal.z, -1);  // as read, no face vector added
    EXPECT_EQ(v.u, 0);
    EXPECT_EQ(v.v, 0);
  }
}

TEST(Grplib, CommentsAfterSemicolonsOnKeywordLines) {
  const typmsh m = read_text(
      "GROUPS 1 ; one group\nMATERIAL 1;mat\nTEXTURE 2 ; tex\nLIGHTTEXTURE 1 ;l\nSPECTEXTURE 2;s\n"
      "GEOM 1 0 ; geometry\n5 0 0\nMATERIALS 1 ; list\nm\nMATERIAL m\n1 0 0 1\n0 0 0 1\n0 0 0 1\n0 0 0 1\n"
      "TEXTURES 2 ; textures\na.dds\nb.dds\n");
  ASSERT_EQ(m.group_count, 1);
  const typmshgrp& g = m.groups[0];
  EXPECT_EQ(g.vertices.size(), 1u);
  EXPECT_EQ(g.diffuse, pack_colour(255, 0, 0, 255));
  EXPECT_EQ(g.texture.index, 2);
  EXPECT_EQ(g.light_texture.index, 1);
  EXPECT_EQ(g.spec_texture.index, 2);
  EXPECT_EQ(m.texture_names, (astr{"a.dds", "b.dds"}));
}

TEST(Grplib, CarriageReturnsAreDroppedWherever) {
  const typmsh lf = read_text(two_groups);
  const typmsh crlf = read_text(replace_all(two_groups, "\n", "\r\n"));
  // A stray carriage return inside a number is dropped, not taken as a separator.
  const typmsh stray = read_text(replace_all(two_groups, "0 4 -6", "0 4 -\r6"));
  for (const typmsh* m : {&crlf, &stray}) {
    ASSERT_EQ(m->group_count, lf.group_count);
    EXPECT_EQ(m->texture_names, lf.texture_names);
    EXPECT_EQ(m->radius, lf.radius);
    for (size_t i = 0; i < lf.groups.size(); ++i) {
      const typmshgrp &a = lf.groups[i], &b = m->groups[i];
      ASSERT_EQ(a.vertices.size(), b.vertices.size());
      EXPECT_EQ(std::memcmp(a.vertices.data(), b.vertices.data(), a.vertices.size() * sizeof(pntyp)), 0);
      EXPECT_EQ(a.indices, b.indices);
      EXPECT_EQ(a.diffuse, b.diffuse);
      EXPECT_EQ(a.specular_power, b.specular_power);
    }
  }
}

TEST(Grplib, NumberFieldsReadTheirLeadingNumber) {
  const typmsh m = read_text("GROUPS 1\nGEOM 2 0\n+1.5 -2e1 3abc\n  nan inf x\n");
  const aopntyp& v = m.groups[0].vertices;
  EXPECT_FLOAT_EQ(v[0].position.x, 1.5f);
  EXPECT_FLOAT_EQ(v[0].position.y, -20);
  EXPECT_FLOAT_EQ(v[0].position.z, 3);
  EXPECT_EQ(v[1].position.x, 0);  // no digits: 0, never a NaN or an infinity
  EXPECT_EQ(v[1].position.y, 0);
  EXPECT_EQ(v[1].position.z, 0);
}

// Plain decimals take a quicker path than from_chars; the floats must be the
// same to the last bit, signs of zero and exact halfway cases included.
TEST(Grplib, DecimalsReadBitForBitAsFromChars) {
  std::vector<std::string> numbers = {"0.1", "-0", "-0.0", "123456789012345", "1234567890123456", "0.000000000000001",
                                      "3.14159265358979", "16777217", "-33554434", "0.30000001192092896", "1e-3",
                                      "2.5E2", "999999999999999", "7.", ".25", "-.75", "00000000000000001.5"};
  std::mt19937 rng(65774);
  for (int i = 0; i < 3000; ++i) {
    std::string digits = std::to_string(rng());
    digits = digits.substr(0, 1 + rng() % 15);
    digits.insert(rng() % (digits.size() + 1), ".");
    numbers.push_back((rng() % 2 ? "-" : "") + digits);
  }
  while (numbers.size() % 3) numbers.push_back("0");
  std::string text = "GROUPS 1\nGEOM " + std::to_string(numbers.size() / 3) + " 0\n";
  for (size_t i = 0; i < numbers.size(); i += 3) text += numbers[i] + " " + numbers[i + 1] + " " + numbers[i + 2] + "\n";
  const typmsh m = read_text(text);
  ASSERT_EQ(m.groups[0].vertices.size(), numbers.size() / 3);
  for (size_t i = 0; i < numbers.size(); ++i) {
    float want = 0;
    std::from_chars(numbers[i].data(), numbers[i].data() + numbers[i].size(), want);
    const svec3& p = m.groups[0].vertices[i / 3].position;
    const float got = i % 3 == 0 ? p.x : i % 3 == 1 ? p.y : p.z;
    EXPECT_EQ(std::bit_cast<uint32_t>(got), std::bit_cast<uint32_t>(want)) << numbers[i];
  }
}

TEST(Grplib, TexturesAreFoundEvenWithoutAMaterialList) {
  const typmsh m = read_text("GROUPS 1\nTEXTURE 1\nGEOM 0 0\nTEXTURES 1\nskin.dds\n");
  EXPECT_EQ(m.texture_names, (astr{"skin.dds"}));
  EXPECT_EQ(m.groups[0].texture.index, 1);
  EXPECT_EQ(m.groups[0].diffuse, pack_colour(128, 128, 128, 255));
}

TEST(Grplib, TextureIndicesOutsideTheListBecomeNone) {
  const typmsh m = read_text("GROUPS 3\nTEXTURE 3\nGEOM 0 0\nTEXTURE -2\nGEOM 0 0\nTEXTURE 0\nGEOM 0 0\nTEXTURES 2\na\nb\n");
  for (const typmshgrp& g : m.groups) EXPECT_EQ(g.texture.index, -1);
}

TEST(Grplib, DecodesTexturesWithDSuffixBackslashesAndAnyCase) {
  const scratch_dir scratch;
  const fs::path& root = scratch.path;
  fs::create_directories(root / "Textures" / "Sub");
  rgba_image img;
  img.width = 2;
  img.height = 1;
  img.pixels = {10, 20, 30, 255, 40, 50, 60, 255};
  write_file_bytes((root / "Textures" / "Sub" / "Skin.bmp").string(), encode_bmp(img));
  const std::string text = "GROUPS 2\nTEXTURE 1\nGEOM 0 0\nTEXTURE 2\nGEOM 0 0\nTEXTURES 2\nsub\\skin.bmp D\nmissing.dds\n";
  const typmsh m = read_text(text, (root / "textures").string() + "/", true);
  ASSERT_EQ(m.texture_names.size(), 2u);
  EXPECT_EQ(m.texture_names[0], "sub\\skin.bmp");
  const grptexture& t = m.groups[0].texture;
  EXPECT_EQ(t.index, 1);
  ASSERT_NE(t.pixels, nullptr);
  EXPECT_EQ(t.width, 2);
  EXPECT_EQ(*t.pixels, img.pixels);
  // A texture that cannot be found keeps its index but has no pixels.
  EXPECT_EQ(m.groups[1].texture.index, 2);
  EXPECT_EQ(m.groups[1].texture.pixels, nullptr);
}

TEST(Grplib, ReadsFilesWithAnyCaseInThePath) {
  const scratch_dir scratch;
  const fs::path& root = scratch.path;
  fs::create_directories(root / "Meshes");
  std::ofstream(root / "Meshes" / "Box.msh") << two_groups;
  typmsh m;
  ASSERT_TRUE(read_mesh(m, (root / "meshes" / "box.msh").string(), "", false));
  EXPECT_EQ(m.group_count, 2);
}

// --- Damaged files ---------------------------------------------------------------------

TEST(GrplibDamaged, HugeCountsAllocateOnlyWhatTheFileHolds) {
  const typmsh m = read_text("GROUPS 2\nGEOM 2000000000 2000000000\n1 2 3\n4 5 6\n0 1 1\n"
                             "MATERIALS 2000000000\nTEXTURES 2000000000\na\n");
  const typmshgrp& g = m.groups[0];
  EXPECT_LE(g.vertices.capacity(), 200u);
  EXPECT_LE(g.indices.capacity(), 600u);
  // The lines that follow are read as vertices: all of them, and nothing more.
  EXPECT_EQ(g.vertices.size(), 6u);
  EXPECT_TRUE(g.indices.empty());
  EXPECT_TRUE(m.groups[1].vertices.empty());
  EXPECT_TRUE(m.loaded);
}

TEST(GrplibDamaged, NegativeCountsReadNothing) {
  const typmsh m = read_text("GROUPS 1\nGEOM -5 -7\n1 2 3\nTEXTURES -3\na\n");
  EXPECT_TRUE(m.groups[0].vertices.empty());
  EXPECT_TRUE(m.groups[0].indices.empty());
  EXPECT_TRUE(m.texture_names.empty());
}

TEST(GrplibDamaged, TrianglesNamingVerticesOutsideTheGroupAreDropped) {
  const typmsh m = read_text("GROUPS 1\nNONORMAL\nGEOM 3 5\n0 0 0\n1 0 0\n0 1 0\n0 1 3\n-1 0 1\n0 1 2\n"
                             "2 1 99999999999\n2 1 5\n");
  const typmshgrp& g = m.groups[0];
  EXPECT_EQ(g.indices, (aointeger{0, 1, 2}));
  EXPECT_FLOAT_EQ(g.vertices[0].normal.z, 1);  // only the kept triangle adds its face vector
}

TEST(GrplibDamaged, TruncatedFilesLoadWhatIsThere) {
  const std::string full = two_groups;
  for (size_t cut = 0; cut < full.size(); ++cut) {
    typmsh m;
    const bool ok = read_mesh_text(m, std::string_view(full).substr(0, cut), "cut.msh", "", false);
    EXPECT_EQ(ok, cut >= full.find("GROUPS") + 6) << cut;
    if (!ok) continue;
    for (const typmshgrp& g : m.groups)
      for (int32_t i : g.indices) EXPECT_LT(size_t(i), g.vertices.size());
  }
}

TEST(GrplibDamaged, OverlongLinesAndManyFields) {
  std::string longline(10000, ' ');
  longline += "1 2 3 4 5 6 7 8 9 10 11 12";
  const typmsh m = read_text("GROUPS 1\nGEOM 1 1\n" + longline + "\n0 0 0 0 0 0 0 0 0 0\n");
  const pntyp& v = m.groups[0].vertices[0];
  EXPECT_FLOAT_EQ(v.position.x, 1);
  EXPECT_FLOAT_EQ(v.normal.z, 6);
  EXPECT_FLOAT_EQ(v.v, 8);
  EXPECT_EQ(m.groups[0].indices, (aointeger{0, 0, 0}));
}
