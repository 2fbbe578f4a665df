// The engine in a real GL context: start-up in a folder of its own (log,
// shader override, textures), frames of the backdrop looked at from where
// the designer starts and towards the sun, daylight hiding the stars, a sun
// too small to see drawn as a point, the frame-buffer paths (a render
// target, the post effect and its fallbacks), and release at the end.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "common/gl_window.h"
#include "engine_folder.h"
#include "common/scratch_dir.h"
#include "render/vorlaux.h"
#include "render/vorldraw.h"
#include "render/vorlshdr.h"
#include "render/vorlutil.h"

namespace {

const auto* const env = ::testing::AddGlobalTestEnvironment(new gl_window);

std::vector<uint8_t> frame_pixels() {
  std::vector<uint8_t> px(size_t(gl_window::size) * gl_window::size * 4);
  glFinish();
  glReadPixels(0, 0, gl_window::size, gl_window::size, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
  return px;
}

int brightness(const std::vector<uint8_t>& px, int x, int y) {
  if (x < 0 || y < 0 || x >= gl_window::size || y >= gl_window::size) return 0;
  const uint8_t* p = &px[(size_t(y) * gl_window::size + x) * 4];
  return std::max({p[0], p[1], p[2]});
}

// Small bright spots on a dark sky, as a smoothed point of size 1 leaves them:
// a bright pixel whose left and upper neighbours are dark and whose 4 x 4
// box holds at most four bright pixels.
int isolated_points(const std::vector<uint8_t>& px) {
  auto bright = [&](int x, int y) { return brightness(px, x, y) > 100; };
  int n = 0;
  for (int y = 0; y < gl_window::size; ++y)
    for (int x = 0; x < gl_window::size; ++x) {
      if (!bright(x, y) || bright(x - 1, y) || bright(x, y - 1) || bright(x - 1, y - 1)) continue;
      int box = 0;
      for (int j = -1; j <= 2; ++j)
        for (int i = -1; i <= 2; ++i) box += bright(x + i, y + j);
      n += box <= 4;
    }
  return n;
}

std::vector<uint8_t> texture_pixels(GLuint texture, int edge) {
  std::vector<uint8_t> px(size_t(edge) * edge * 4);
  bind_texture(texture);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
  bind_texture(0);
  return px;
}

packed_colour day_sky = 0x80402010u;                                // alpha 128: daylight

bool is_sky(const uint8_t* p) {
  return p[0] == (day_sky & 0xFF) && p[1] == (day_sky >> 8 & 0xFF) && p[2] == (day_sky >> 16 & 0xFF);
}

class VorlFrame : public engine_folder {
 protected:
  void prepare() override {
    std::filesystem::copy_file(CORVANE_DEMO_ROOT "/Textures/Exhaust.dds", dir.file("Textures/Exhaust.dds"));
    std::ofstream(dir.file("ves.vert")) << "this is not a shader";
  }
  // A day sky of a known colour (it hides the stars), looking at the sun.
  void day_sky_facing_the_sun() {
    vorl_scene.planets.push_back(std::make_unique<drawplanetrec>());
    day_sky = 0x80402010u;
    planet_code.sky_colour = [](const drawplanetrec&) { return day_sky; };
    vorl_scene.camera.position = {0, 0, -1.5e11};
  }
  std::vector<uint8_t> draw(const vec3& eye) {
    vorl_scene.camera.position = eye;
    render_scene(vorl_scene);
    return frame_pixels();
  }
};

TEST_F(VorlFrame, StartLogsItsVersionAndEveryShaderAndTakesTheWorkingFoldersSource) {
  std::ifstream in("vorl.log");
  std::vector<std::string> lines;
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(lines[0].find("| VORLDBG| VORL 090917 Debug."), std::string::npos);
  int shader_lines = 0;
  for (const std::string& l : lines) shader_lines += l.find("|VORLSHDR| ") != std::string::npos;
  EXPECT_EQ(shader_lines, 2 * prog_count);
  ASSERT_TRUE(gl_caps.shaders);
  EXPECT_EQ(vorl_shaders.program[prog_vessel].handle, 0u);          // the broken ves.vert of the folder
  for (int p = prog_planet; p < prog_count; ++p) EXPECT_NE(vorl_shaders.program[p].handle, 0u) << p;
  EXPECT_NE(uniform_of(prog_planet, "FogColor"), -1);
  EXPECT_NE(vorl_res.default_exhaust, 0u);
  EXPECT_EQ(vorl_res.cloud, 0u);                                    // no cloud1.dds here
  EXPECT_NE(vorl_res.noise, 0u);
  ASSERT_EQ(vorl_scene.stars.size(), 1u);
  EXPECT_EQ(vorl_scene.stars[0]->name, "Sun");
  const GLuint noise = vorl_res.noise, sprite = vorl_res.sprites[tex_sun_core];
  stop_engine(vorl_scene);
  EXPECT_FALSE(glIsTexture(noise));
  EXPECT_FALSE(glIsTexture(sprite));
  start_engine(vorl_scene, gl_window::size, gl_window::size, nullptr);  // TearDown stops it again
}

TEST_F(VorlFrame, StarFieldOnTheSkyAndTheSunWithItsGlowWhereItLies) {
  const vec3 vessel{1.5e11, 12000000, 0};
  std::vector<uint8_t> stars = draw({vessel.x, vessel.y, vessel.z - 20});
  EXPECT_GT(isolated_points(stars), 40);
  EXPECT_LT(brightness(stars, 3, 3) + brightness(stars, 250, 250), 200);
  std::vector<uint8_t> sun = draw({0, 0, -1.5e11});                // looking along +z at the origin
  EXPECT_GT(brightness(sun, 128, 128), 240);                        // the core
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));   // the sprites' exception ends with them: objects show no back faces
  for (auto [dx, dy] : {std::pair{10, 0}, {-10, 0}, {0, 10}, {0, -10}}) {   // the glow, fading outwards
    EXPECT_GT(brightness(sun, 128 + dx, 128 + dy), 20) << dx << "," << dy;
    EXPECT_LT(brightness(sun, 128 + dx, 128 + dy), 200) << dx << "," << dy;
    EXPECT_GT(brightness(sun, 128 + dx / 2, 128 + dy / 2), brightness(sun, 128 + dx, 128 + dy));
  }
}

TEST_F(VorlFrame, DaylightHidesTheStarsAndATinySunIsOnePoint) {
  vorl_scene.planets.push_back(std::make_unique<drawplanetrec>());
  planet_code.sky_colour = [](const drawplanetrec&) { return packed_colour(0x80402010u); };  // alpha 128
  std::vector<uint8_t> day = draw({1.5e11, 12000000, -20});
  EXPECT_EQ(isolated_points(day), 0);
  const uint8_t* corner = &day[0];
  EXPECT_EQ(corner[0], 0x10);                                       // the clear colour is the sky's
  EXPECT_EQ(corner[1], 0x20);
  EXPECT_EQ(corner[2], 0x40);
  vorl_scene.planets.clear();
  vorl_scene.draw_sky = false;
  vorl_scene.stars[0]->radius = 1;                                  // far below 0.01 pixels
  std::vector<uint8_t> point = draw({0, 0, -1.5e11});
  int lit = 0;
  for (int y = 0; y < gl_window::size; ++y)
    for (int x = 0; x < gl_window::size; ++x) lit += brightness(point, x, y) > 60;
  EXPECT_GE(lit, 1);
  EXPECT_LE(lit, 4);
  EXPECT_GT(std::max({brightness(point, 127, 127), brightness(point, 128, 128), brightness(point, 127, 128),
                      brightness(point, 128, 127)}), 60);
}

TEST_F(VorlFrame, ARenderTargetReceivesTheSquareFrame) {
  constexpr int edge = 64;
  GLuint target = empty_texture(edge, edge, texture_Linear);
  day_sky_facing_the_sun();
  vorl_scene.target_texture = target;
  vorl_scene.target_size = edge;
  render_scene(vorl_scene);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  const std::vector<uint8_t> px = texture_pixels(target, edge);
  EXPECT_TRUE(is_sky(&px[0]));
  EXPECT_TRUE(is_sky(&px[(size_t(edge) * edge - 1) * 4]));
  const uint8_t* centre = &px[(size_t(edge / 2) * edge + edge / 2) * 4];
  EXPECT_GT(std::max({centre[0], centre[1], centre[2]}), 160);    // the sun in the middle of the target
  vorl_scene.target_texture = 0;
  release_texture(target);
}

// The post effect draws the frame through the screen frame buffer; without
// frame buffers, or with one that is not complete, the frame goes straight
// to the window. Either way the window shows the whole frame.
TEST_F(VorlFrame, PostEffectsReachTheWindowThroughTheFrameBufferOrWithoutIt) {
  ASSERT_TRUE(gl_caps.framebuffers);
  day_sky_facing_the_sun();
  vorl_scene.post_effects = true;
  const gl_capabilities probed = gl_caps;
  GLuint incomplete = 0;
  gl_ext.glGenFramebuffersEXT(1, &incomplete);                     // nothing attached
  const GLuint complete = vorl_scene.render[rt_frame_target];
  packed_colour sky = 0x80402010u;
  for (const char* path : {"frame buffer", "no frame buffers", "incomplete frame buffer"}) {
    const std::string p = path;
    if (p == "no frame buffers") gl_caps.framebuffers = false;
    if (p == "incomplete frame buffer") vorl_scene.render[rt_frame_target] = incomplete;
    day_sky = sky += 0x00101010u;                                   // each frame its own sky
    render_scene(vorl_scene);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << path;
    EXPECT_TRUE(is_sky(pixel_at(2, 2).data())) << path;
    EXPECT_GT(brightness(frame_pixels(), 128, 128), 160) << path;   // the sun
    if (p == "frame buffer") EXPECT_TRUE(is_sky(&texture_pixels(vorl_scene.render[rt_colour], gl_window::size)[0]));
    gl_caps = probed;
    vorl_scene.render[rt_frame_target] = complete;
  }
  gl_ext.glDeleteFramebuffersEXT(1, &incomplete);
}

}  // namespace
