// The launcher on Windows: CreateProcess in the working folder, the exit code.
#include "generate/launcher.h"

#include <gtest/gtest.h>
#include <filesystem>
#include "base/asys.h"
#include "base/sys.h"
#include "gen_test_util.h"

using namespace gentest;

TEST(launcher_win32, runs_in_the_working_folder_with_its_arguments_and_returns_the_exit_code_and_last_error_line) {
  scratch_dir scratch;
  const std::string root = scratch.path.string();
  const auto cwd_before = std::filesystem::current_path();
  EXPECT_EQ(run_and_wait("cmd.exe /c \"cd > where.txt & echo %1 two words> args.txt & exit 7\"", root, show_normal), 7);
  const std::string where = read_text(root + "/where.txt");
  EXPECT_TRUE(same_file(where.substr(0, where.find('\r')), root)) << where;
  EXPECT_NE(read_text(root + "/args.txt").find("two words"), std::string::npos);
  EXPECT_EQ(std::filesystem::current_path(), cwd_before) << "the caller's folder changed";
  std::string last;  // the last line of its error output
  EXPECT_EQ(run_and_wait("cmd.exe /c \"echo a 1>&2 & echo No scenario 1>&2 & echo. 1>&2 & exit 3\"", root, show_normal, nullptr, &last), 3);
  EXPECT_EQ(last, "No scenario");
  std::string why;
  EXPECT_EQ(run_and_wait(simulator_command, root, show_normal, &why), -1);
  EXPECT_NE(why.find("cannot start"), std::string::npos) << why;
  write_text(root + "/veltora.exe", "not a program");
  EXPECT_EQ(run_and_wait(simulator_command, root, show_normal, &why), -1);
  EXPECT_THROW(run_and_wait(simulator_command, root + "/missing", show_normal), io_error);
}
