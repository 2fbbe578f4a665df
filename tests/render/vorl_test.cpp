// The engine's parts that need no display: log lines and error escalation,
// the option keys and menu, the scene dump, the star field and the apparent
// size rules.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <string>

#include "common/scratch_dir.h"
#include "gl/glmesh.h"
#include "render/vorlaux.h"
#include "render/vorldraw.h"
#include "render/vorlmenu.h"
#include "render/vorlutil.h"

namespace {

// Runs the test inside a scratch folder, where the engine writes its files.
class InScratch : public ::testing::Test {
 protected:
  scratch_dir dir;
  std::string old;
  void SetUp() override {
    old = std::filesystem::current_path().string();
    std::filesystem::current_path(dir.path);
    vorl_log_file = vorl_log_state{};
  }
  void TearDown() override { std::filesystem::current_path(old); }
  std::string read(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
};

using VorlLog = InScratch;

TEST_F(VorlLog, LinesPadTheSourceAndAppendOneAtATime) {
  local_time t{2026, 12, 8, 21, 5, 9, 0};
  EXPECT_EQ(log_line("PLNT", "Loading", t), "2026-12-08 21:05:09|    PLNT| Loading");
  EXPECT_EQ(log_line("VORLSHDR", "x", t), "2026-12-08 21:05:09|VORLSHDR| x");
  EXPECT_EQ(log_line("LONGSOURCE9", "y", t), "2026-12-08 21:05:09|LONGSOURCE9| y");  // whole, unpadded
  vorl_log("VORL", "dropped before the log is opened");
  std::ofstream("vorl.log") << "earlier run\r\n";
  open_log();
  vorl_log("VORLDBG", "VORL 090917 Debug.");
  report_error("Graph", "Error in sky_render");
  const std::string log = read("vorl.log");
  EXPECT_EQ(log.rfind("earlier run\r\n", 0), 0u);                                    // appended
  EXPECT_NE(log.find("| VORLDBG| VORL 090917 Debug.\r\n"), std::string::npos);
  EXPECT_NE(log.find("|   Graph| Error: Error in sky_render\r\n"), std::string::npos);
  EXPECT_EQ(log.find("dropped"), std::string::npos);
  EXPECT_EQ(vorl_log_file.errors, 1);
  open_log("no-such-folder/vorl.log");                                                // logging off, nothing breaks
  EXPECT_FALSE(vorl_log_file.on);
  vorl_log("VORL", "nowhere");
}

TEST_F(VorlLog, TheTwentiethErrorIsLoggedAndTheTwentyFirstEndsTheProgramWithCodeOne) {
  open_log();
  for (int i = 1; i <= 20; ++i) report_error("Graph", "Error in Renderscn");
  EXPECT_EQ(vorl_log_file.errors, 20);
  EXPECT_EXIT(report_error("VORLAUX", "Error in setstars"), ::testing::ExitedWithCode(1),
              "Critical error in VORL.dll, terminating.*Error\\|Ошибка: \"Last Error\\|Последняя ошибка: "
              "VORLAUX: Error: Error in setstars\"");
  EXPECT_EQ(fatal_message("x"),
            "Critical error in VORL.dll, terminating. See vorl.log for details for developer."
            "Критическая ошибка в VORL.dll. Подробности для разработчика в vorl.log.Error|Ошибка: \"x\"");
}

using VorlMenu = InScratch;

TEST_F(VorlMenu, KeysOpenCloseAndActOnlyAsTheMenuSays) {
  vorlscene s;
  vorl_menu = vorl_menu_state{};
  EXPECT_FALSE(vorl_key(s, 122, 2));                  // Ctrl+F11 does not open it
  EXPECT_FALSE(s.menu_open);
  EXPECT_FALSE(vorl_key(s, 120, 0));                  // F9 alone takes no screenshot
  EXPECT_FALSE(vorl_menu.screenshot_due);
  EXPECT_FALSE(vorl_key(s, 120, 2));
  EXPECT_TRUE(vorl_menu.screenshot_due);
  EXPECT_FALSE(vorl_key(s, 'M', 0));                  // closed: menu keys do nothing
  EXPECT_FALSE(s.wireframe);
  EXPECT_FALSE(vorl_key(s, 122, 0));                  // F11 opens, and is not taken
  EXPECT_TRUE(s.menu_open);
  const vorlscene before = [] { vorlscene b; b.menu_open = true; return b; }();
  EXPECT_TRUE(vorl_key(s, 'Q', 0));                   // an unlisted key: taken, closes, nothing else
  EXPECT_FALSE(s.menu_open);
  EXPECT_EQ(s.wireframe || s.multilight || s.second_camera || !s.draw_sky || !s.camera_light, false);
  EXPECT_EQ(s.shadow_level, before.shadow_level);
  int levels[7] = {s.shadow_level};
  for (int i = 1; i < 7; ++i) {
    vorl_key(s, 122, 0);
    EXPECT_TRUE(vorl_key(s, '7', 0));
    levels[i] = s.shadow_level;
  }
  EXPECT_EQ(std::vector<int>(levels, levels + 7), (std::vector<int>{3, 4, 5, 0, 1, 2, 3}));
  vorl_key(s, 122, 0);
  vorl_key(s, 'L', 0);
  EXPECT_FALSE(s.camera_light);
  vorl_key(s, 122, 0);
  vorl_key(s, '3', 0);
  EXPECT_FALSE(glmesh.buffers_on);
  glmesh.buffers_on = true;
  std::vector<menu_line> lines = menu_lines(s);
  ASSERT_EQ(lines.size(), 14u);
  EXPECT_EQ(s.menu_key_name + lines[0].label, "F11-1 Second camera");
  EXPECT_EQ(lines[0].state, "Off");
  EXPECT_EQ(lines[3].state, "On ");                   // draw sky
  EXPECT_EQ(lines[6].state, "Medium");                // shadow level 3
  EXPECT_EQ(lines[12].state, "Off");                  // camera light, switched off above
  EXPECT_EQ(lines[13].state, "");                     // the save line
  EXPECT_FALSE(std::filesystem::exists("scn.vorlscn"));
  vorl_key(s, 122, 0);
  vorl_key(s, 'S', 0);
  EXPECT_TRUE(std::filesystem::exists("scn.vorlscn"));
}

TEST(VorlDump, FieldsInOrderAndTheSizeFollowsTheCounts) {
  vorlscene s;
  s.camera.position = {1, 2, 3};
  s.stars.push_back(std::make_unique<vorl_star>());
  s.stars[0]->name = "Sun";
  for (bool rich : {false, true}) {
    auto p = std::make_unique<drawplanetrec>();
    p->name = "Earth";
    p->atmosphere = p->rings = p->surface = rich;
    s.planets.push_back(std::move(p));
  }
  s.objects.push_back(std::make_unique<scene_object>());
  s.objects[0]->draw = std::make_unique<draw_rec>();
  s.objects.push_back(nullptr);                        // an empty slot
  std::vector<uint8_t> d = scene_dump(s);
  const size_t camera = 4 * 24 + 72, star = 4 + 8 + 24 + 4 + 65;
  const size_t plain_planet = 1 + 8 + 24 + 24 + 4 + 65 + 1 + 4;
  const size_t rich_planet = plain_planet + (8 + 8 + 8 + 16) + 16 + (16 + 8 + 8 + 8 + 8 + 8 + 1);
  const size_t object = 4 + 4 + 24 + 24 + 8 + 4 + 65;
  ASSERT_EQ(d.size(), 4 + camera + 4 + star + 4 + plain_planet + rich_planet + 4 + object + 4);
  EXPECT_EQ(std::vector<uint8_t>(d.begin(), d.begin() + 4), (std::vector<uint8_t>{1, 2, 3, 4}));
  double x;
  std::memcpy(&x, &d[4], 8);
  EXPECT_EQ(x, 1);
  EXPECT_EQ(d[4 + camera], 1);                          // star count
  EXPECT_EQ(d[4 + camera + 4 + 40], 3);                 // the star name's length byte
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&d[4 + camera + 4 + 41]), 3), "Sun");
  int32_t last;
  std::memcpy(&last, &d[d.size() - 4], 4);
  EXPECT_EQ(last, 0);                                   // the empty slot
  std::memcpy(&last, &d[d.size() - 4 - object], 4);
  EXPECT_EQ(last, 1221);
}

TEST(VorlBackdrop, StarFieldIsTheSameEveryStartAndLiesOnTheSphere) {
  vorlscene a, b;
  random_seed = star_seed;
  build_star_field(a);
  random_seed = star_seed;
  build_star_field(b);
  ASSERT_EQ(a.star_points.size(), size_t(star_count));
  ASSERT_EQ(a.star_indices.size(), size_t(star_count));
  EXPECT_EQ(std::memcmp(a.star_points.data(), b.star_points.data(), a.star_points.size() * sizeof(svec3)), 0);
  int north = 0;
  for (size_t i = 0; i < a.star_points.size(); ++i) {
    EXPECT_NEAR(length(to_vec(a.star_points[i])), 100, 1e-3);
    EXPECT_EQ(a.star_indices[i], i);
    EXPECT_EQ(a.star_colours[i], 0xFFFFFFFFu);
    north += a.star_points[i].y > 0;
  }
  EXPECT_NEAR(north, star_count / 2, 150);              // latitude uniform over both halves
}

TEST(VorlSizes, ApparentSizePointThresholdAndGlowAlpha) {
  const double h = std::tan(0.5235987755982989);
  EXPECT_DOUBLE_EQ(apparent_size(10, 110, 600, 0.5235987755982989), 10 * 600 * 0.5 / (h * 100));
  EXPECT_DOUBLE_EQ(apparent_size(10, 10.5, 600, 0.5235987755982989), 10 * 600 * 0.5 / h);  // max(D - r, 1)
  EXPECT_NEAR(apparent_size(sun_radius, 1.5e11, 600, 0.5235987755982989), 2.42, 0.01);
  EXPECT_EQ(glow_alpha(0.1), 255);
  EXPECT_EQ(glow_alpha(5), 255);
  EXPECT_EQ(glow_alpha(0.05), 128);                     // 127.5 rounds up
  EXPECT_EQ(glow_alpha(0.0), 0);
}

}  // namespace
