#include "generate/launcher.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>
#include "base/asys.h"
#include "base/instpath.h"
#include "base/sys.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

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
  if (program.find_first_of(path_separators) != std::string::npos) return program;
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

// -1 after putting the reason into why, when the caller asked for it.
int not_started(std::string* why, const std::string& reason) {
  if (why) *why = reason;
  return -1;
}

// The last non-empty line of a stream that arrives in pieces, cut at error_line_limit.
struct last_line_keeper {
  std::string line, last;
  void feed(const char* bytes, size_t n) {
    for (size_t i = 0; i < n; ++i) {
      if (bytes[i] == '\n') {
        if (line.find_first_not_of(" \t\r") != std::string::npos) last = line;
        line.clear();
      } else if (line.size() < error_line_limit) {
        line += bytes[i];
      }
    }
  }
  std::string last_line() {
    if (line.find_first_not_of(" \t\r") != std::string::npos) last = line;
    while (!last.empty() && (last.back() == '\r' || last.back() == ' ')) last.pop_back();
    return last;
  }
};

#ifdef _WIN32
// The command line the child receives: the program found, quoted, then the rest as given.
std::string child_command_line(const std::string& program, const std::string& line) {
  size_t start = line.find_first_not_of(" \t");
  bool quoted = false;
  size_t end = start;
  for (; end < line.size() && (quoted || (line[end] != ' ' && line[end] != '\t')); ++end)
    if (line[end] == '"') quoted = !quoted;
  return "\"" + program + "\"" + line.substr(end);
}

// Copies the child's error output to ours while it runs and keeps its last non-empty line.
void follow_errors(HANDLE from, std::string* last_error) {
  const HANDLE ours = GetStdHandle(STD_ERROR_HANDLE);
  last_line_keeper keeper;
  char buffer[4096];
  DWORD n = 0;
  while (ReadFile(from, buffer, sizeof buffer, &n, nullptr) && n > 0) {   // ends when every writer has closed
    DWORD passed = 0;
    if (ours && ours != INVALID_HANDLE_VALUE) WriteFile(ours, buffer, n, &passed, nullptr);   // a courtesy
    keeper.feed(buffer, n);
  }
  if (last_error) *last_error = keeper.last_line();
}

// Starts the program in folder and waits for it; its exit code, or -1 with the reason.
int spawn_and_wait(std::vector<std::string>& words, const std::string& line, const std::string& folder,
                   uint16_t show_mode, std::string* why, std::string* last_error) {
  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE errors_read = nullptr, errors_write = nullptr;   // the child's error output; only its end is inherited
  if (!CreatePipe(&errors_read, &errors_write, &inherited, 0) || !SetHandleInformation(errors_read, HANDLE_FLAG_INHERIT, 0))
    return not_started(why, "cannot make a pipe: " + system_error_text(int(GetLastError())));
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  startup.wShowWindow = show_mode;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = errors_write;
  PROCESS_INFORMATION process{};
  std::string command = child_command_line(words[0], line);
  // A program not found in the folder is left to the system's search.
  const bool found = words[0].find_first_of(path_separators) != std::string::npos;
  const bool started = CreateProcessA(found ? words[0].c_str() : nullptr, command.data(), nullptr, nullptr, TRUE, 0,
                                      nullptr, folder.c_str(), &startup, &process);
  const DWORD start_err = GetLastError();
  CloseHandle(errors_write);
  if (started) follow_errors(errors_read, last_error);   // until the child and its children close it
  CloseHandle(errors_read);
  if (!started) return not_started(why, "cannot start " + words[0] + ": " + system_error_text(int(start_err)));
  CloseHandle(process.hThread);
  DWORD code = 0;
  const bool waited = WaitForSingleObject(process.hProcess, INFINITE) == WAIT_OBJECT_0 &&
                      GetExitCodeProcess(process.hProcess, &code);
  const DWORD err = GetLastError();
  CloseHandle(process.hProcess);
  if (!waited) return not_started(why, "cannot wait for " + words[0] + ": " + system_error_text(int(err)));
  return int(code);
}
#else
// Copies the child's error output to ours while it runs and keeps its last non-empty line.
void follow_errors(int fd, std::string* last_error) {
  last_line_keeper keeper;
  char buffer[4096];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) != 0) {
    if (n < 0) {
      if (errno == EINTR) continue;
      break;
    }
    const ssize_t passed = write(STDERR_FILENO, buffer, size_t(n));   // a courtesy: its failure changes nothing
    (void)passed;
    keeper.feed(buffer, size_t(n));
  }
  if (last_error) *last_error = keeper.last_line();
}

int exit_code(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

int spawn_and_wait(std::vector<std::string>& words, const std::string&, const std::string& folder, uint16_t,
                   std::string* why, std::string* last_error) {
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);

  int errors[2];                         // the child's error output; close-on-exec for every other child
  if (pipe2(errors, O_CLOEXEC) != 0) return not_started(why, std::string("cannot make a pipe: ") + std::strerror(errno));
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  posix_spawn_file_actions_adddup2(&actions, errors[1], STDERR_FILENO);
  pid_t pid = 0;
  int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(errors[1]);
  if (rc == 0) follow_errors(errors[0], last_error);   // until the child and its children close it
  close(errors[0]);
  if (rc != 0) return not_started(why, "cannot start " + words[0] + ": " + std::strerror(rc));

  int status = 0;
  while (waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return not_started(why, "cannot wait for " + words[0] + ": " + std::strerror(errno));
  return exit_code(status);
}

#endif

}  // namespace

int run_and_wait(const std::string& command_line, const std::string& working_dir, uint16_t show_mode,
                 std::string* why, std::string* last_error) {
  std::string folder = working_folder(working_dir);
  std::vector<std::string> words = split_command(command_line);
  if (words.empty()) return not_started(why, "the command line is empty");
  words[0] = program_path(words[0], folder);
  return spawn_and_wait(words, command_line, folder, show_mode, why, last_error);
}

std::string run_sentence(int code, const std::string& why, const std::string& last_error) {
  if (code == 0) return "";
  if (code < 0) return "Veltora could not be started: " + why;
  return "Veltora ended with exit code " + std::to_string(code) + (last_error.empty() ? "." : ": " + last_error);
}

void run_simulator(const std::string& root, run_report report) {
  std::string why, last_error;
  int code = -1;
  try {
    code = run_and_wait(simulator_command, root, show_normal, &why, &last_error);
  } catch (const std::exception& e) {
    why = e.what();
  }
  const std::string sentence = run_sentence(code, why, last_error);
  if (!sentence.empty() && report) report(sentence);   // the editor goes on either way
}

void run_veltora(const std::string& root, run_report report) {
  std::thread(run_simulator, root, report).detach();
}
