#include "generate/launcher.h"

#include <gtest/gtest.h>
#include <chrono>
#include <thread>
#include <vector>
#include <unistd.h>
#include "base/asys.h"
#include "gen_test_util.h"

using namespace gentest;

namespace {

void write_script(const std::string& path, const std::string& body) {
  write_text(path, "#!/bin/sh\n" + body);
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

}  // namespace

TEST(launcher, runs_in_the_working_folder_and_returns_the_exit_code) {
  scratch_dir scratch;
  std::string root = scratch.path.string();
  write_script(root + "/prog.sh", "pwd > where.txt\necho \"$#:$1:$2\" > args.txt\nexit 7\n");
  std::string cwd_before = std::filesystem::current_path();
  EXPECT_EQ(run_and_wait("prog.sh \"two words\" plain", root, show_normal), 7);
  EXPECT_EQ(read_text(root + "/where.txt"), std::filesystem::canonical(root).string() + "\n");
  EXPECT_EQ(read_text(root + "/args.txt"), "2:two words:plain\n");
  EXPECT_EQ(std::filesystem::current_path().string(), cwd_before) << "the caller's folder changed";
}

TEST(launcher, unstartable_program_gives_minus_one_and_bad_folder_an_error) {
  scratch_dir scratch;
  std::string root = scratch.path.string();
  EXPECT_EQ(run_and_wait(simulator_command, root, show_normal), -1);
  EXPECT_EQ(run_and_wait("", root, show_normal), -1);
  write_text(root + "/not_executable", "data");
  EXPECT_EQ(run_and_wait("not_executable", root, show_normal), -1);
  EXPECT_THROW(run_and_wait(simulator_command, root + "/missing", show_normal), io_error);
  run_simulator(root + "/missing", nullptr);  // the thread body swallows the error
}

// A failed run names its code and last error line (cut, however long) or why it could not start.
std::vector<std::string> reports;
void collect(const std::string& sentence) { reports.push_back(sentence); }

TEST(launcher, a_failed_run_names_its_code_and_last_error_line) {
  scratch_dir scratch;
  std::string root = scratch.path.string();
  run_simulator(root, collect);                                   // no simulator in the root
  write_script(root + "/" + simulator_command, "echo a >&2\necho 'veltora: no scenario' >&2\necho ' ' >&2\nexit 3\n");
  run_simulator(root, collect);
  write_script(root + "/" + simulator_command, "echo chatter >&2\n");
  run_simulator(root, collect);                                   // a normal end says nothing
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0].rfind("Veltora could not be started: cannot start ", 0), 0u) << reports[0];
  EXPECT_EQ(reports[1], "Veltora ended with exit code 3: veltora: no scenario");
  std::string last;  // an endless line is cut
  write_script(root + "/long.sh", "head -c 300000 /dev/zero | tr '\\0' x >&2\nexit 1\n");
  EXPECT_EQ(run_and_wait("long.sh", root, show_normal, nullptr, &last), 1);
  EXPECT_EQ(last, std::string(error_line_limit, 'x'));
}

TEST(launcher, run_veltora_starts_the_simulator_from_the_root_in_the_background) {
  scratch_dir scratch;
  std::string root = scratch.path.string();
  // The stand-in waits for a go file, so it still runs when run_veltora has returned.
  write_script(root + "/" + simulator_command, "while [ ! -f go ]; do sleep 0.01; done\ntouch done\n");
  run_veltora(root, collect);
  EXPECT_FALSE(std::filesystem::exists(root + "/done"));
  write_text(root + "/go", "");
  for (int i = 0; i < 1000 && !std::filesystem::exists(root + "/done"); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(std::filesystem::exists(root + "/done"));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));  // let the thread collect the child
}
