#include "generate/launcher.h"

#include <cerrno>
#include <cstdlib>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include "base/asys.h"
#include "base/instpath.h"
#include "base/sys.h"

extern char** environ;

namespace {

// Blank-separated words; a double-quoted stretch keeps its blanks.
std::vector<std::string> split_command(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  bool quoted = false, have_word = false;
  for (char c : line) {
    if (c == '"') { quoted = !quoted; have_word = true; continue; }
    if (!quoted && (c == ' ' || c == '\t')) {
      if (have_word) words.push_back(word);
      word.clear();
      have_word = false;
      continue;
    }
    word += c;
    have_word = true;
  }
  if (have_word) words.push_back(word);
  return words;
}

// A bare program name is taken from the working folder when it is there.
std::string program_path(const std::string& program, const std::string& working_dir) {
  if (program.find('/') != std::string::npos) return program;
  std::string local = install_path(working_dir, program);
  return local.empty() ? program : local;
}

// The folder as an absolute path, so that the program path found in it stays
// right after the child has entered it. io_error when it cannot be entered.
std::string working_folder(const std::string& dir) {
  std::string full = enterable_folder(dir);
  if (full.empty()) throw io_error("Cannot enter the folder \"" + dir + "\".");
  return full;
}

int exit_code(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

}  // namespace

int run_and_wait(const std::string& command_line, const std::string& working_dir, uint16_t show_mode) {
  std::string folder = working_folder(working_dir);
  std::vector<std::string> words = split_command(command_line);
  if (words.empty()) return -1;
  words[0] = program_path(words[0], folder);
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  pid_t pid = 0;
  int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return -1;

  int status = 0;
  while (waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return -1;
  return exit_code(status);
}

void run_simulator(const std::string& root) {
  try {
    run_and_wait(simulator_command, root, show_normal);
  } catch (const std::exception&) {
    // Nothing is shown: the editor goes on whether or not the simulator ran.
  }
}

void run_veltora(const std::string& root) {
  std::thread(run_simulator, root).detach();
}
