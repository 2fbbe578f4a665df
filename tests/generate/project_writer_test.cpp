#include "generate/project_writer.h"

#include <gtest/gtest.h>
#include "base/asys.h"
#include "gen_test_util.h"

using namespace gentest;

namespace {

// Splits at CR LF; every line, the last one included, must end with it.
std::vector<std::string> crlf_lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0, end;
  while ((end = text.find("\r\n", start)) != std::string::npos) {
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  EXPECT_EQ(start, text.size()) << "text does not end with CR LF";
  for (const std::string& l : lines) EXPECT_EQ(l.find_first_of("\r\n"), std::string::npos) << l;
  return lines;
}

}  // namespace

TEST(project_writer, workspace_has_19_lines_without_empty_ones) {
  std::vector<std::string> lines = crlf_lines(project_workspace_text("mydll"));
  ASSERT_EQ(lines.size(), 19u);
  for (const std::string& l : lines) EXPECT_FALSE(l.empty());
  EXPECT_EQ(lines[0], "Microsoft Developer Studio Workspace File, Format Version 6.00");
  EXPECT_EQ(lines[3], "Project: \"mydll\"=.\\mydll.dsp - Package Owner=<4>");
  EXPECT_EQ(lines[15], "Package=<3>");
  EXPECT_EQ(lines[18], std::string(79, '#'));
}

TEST(project_writer, project_lines_keep_trailing_blanks_and_names) {
  std::vector<std::string> lines = crlf_lines(project_file_text("Glider"));
  ASSERT_EQ(lines.size(), 110u);
  auto line = [&](int n) { return lines[size_t(n - 1)]; };
  EXPECT_EQ(line(1), "# Microsoft Developer Studio Project File - Name=\"Glider\" - Package Owner=<4>");
  for (int n : {10, 12, 15, 17, 19, 22}) EXPECT_EQ(line(n), "!MESSAGE ") << "line " << n;
  EXPECT_EQ(line(87), "!ENDIF ");
  EXPECT_EQ(line(16), "!MESSAGE NMAKE /f \"Glider.mak\" CFG=\"Glider - Win32 Debug\"");
  EXPECT_EQ(line(32), "!IF  \"$(CFG)\" == \"Glider - Win32 Release\"");
  EXPECT_EQ(line(41), "# PROP Output_Dir \"..\\..\\Modules\"");
  EXPECT_EQ(line(49), "# ADD MTL /nologo /D \"NDEBUG\" /o \"NUL\" /win32");
  EXPECT_EQ(line(77), "# ADD MTL /nologo /D \"_DEBUG\" /mktyplib203 /o \"NUL\" /win32");
  EXPECT_NE(line(85).find("/out:\"..\\..\\Modules/Glider.dll\" /pdbtype:sept"), std::string::npos);
  EXPECT_EQ(line(95), "SOURCE=.\\Glider.cpp");
  EXPECT_EQ(line(107), "SOURCE=..\\..\\veltorasdk\\lib\\Veltorasdk.lib");
  EXPECT_EQ(line(110), "# End Project");
  int empty = 0;
  for (const std::string& l : lines) empty += l.empty();
  EXPECT_EQ(empty, 14);
}

TEST(project_writer, writes_both_files_into_the_design_folder_identically_twice) {
  scratch_dir scratch;
  std::string root = scratch.path.string();
  std::filesystem::create_directories(root + "/vessel_design");  // the installation's own capitalisation
  write_project(root, "Glider");
  std::string dsw = root + "/vessel_design/Glider/Glider.dsw";
  std::string dsp = root + "/vessel_design/Glider/Glider.dsp";
  std::string first_dsw = read_text(dsw), first_dsp = read_text(dsp);
  EXPECT_EQ(first_dsw, project_workspace_text("Glider"));
  EXPECT_EQ(first_dsp, project_file_text("Glider"));
  write_text(dsp, "edited by hand");
  write_project(root, "Glider");
  EXPECT_EQ(read_text(dsw), first_dsw);
  EXPECT_EQ(read_text(dsp), first_dsp);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(root + "/vessel_design/Glider"), {}), 2);
  EXPECT_EQ(project_folder("Glider"), ".\\Vessel_Design\\Glider");
}

TEST(project_writer, a_name_leaving_the_root_is_refused) {
  scratch_dir scratch;
  std::string root = scratch.path.string();
  std::string inside = root + "/inner";
  std::filesystem::create_directories(inside);
  for (const std::string& bad : {std::string("..\\..\\escape"), std::string("../../escape")})
    EXPECT_THROW(write_project(inside, bad), io_error) << bad;
  EXPECT_FALSE(std::filesystem::exists(root + "/escape"));
  EXPECT_FALSE(std::filesystem::exists(inside + "/Vessel_Design"));
}
