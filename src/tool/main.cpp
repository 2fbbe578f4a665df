// corvane-tool: the command-line front end of the designer.
//
// corvane-tool COMMAND ARGS...; corvane-tool --help lists the commands,
// corvane-tool help COMMAND and corvane-tool COMMAND --help explain one.
// Exit 0 on success, 1 when the command failed, 2 when the command line is
// wrong, each failure with a message on standard error. Every file written is
// named with its size unless --quiet is given; standard output is checked, so
// output that cannot be written is a failure too.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include "base/sys.h"
#include "generate/addon_files.h"
#include "tool/commands.h"

namespace {

void print_overview() {
  std::printf("usage: corvane-tool COMMAND ARGS... [--quiet]\n\nCommands:\n");
  for (const tool_command& c : tool_commands()) std::printf("  %s %s\n", c.name, c.usage);
  std::printf("\nRun it in the simulator's root folder: meshes are read from Meshes/ and Textures/, modules\n"
              "go to Modules/, projects to Vessel_Design/. corvane-tool help COMMAND explains one command.\n"
              "Every file written is named with its size (not by the commands that print JSON);\n"
              "--quiet leaves that out.\n"
              "corvane-tool --version prints the version.\n\n"
              "Exit codes: 0 success, 1 the command failed, 2 the command line is wrong.\n");
}

void print_command_help(const tool_command& c) {
  std::printf("usage: corvane-tool %s %s\n\n%s\n\nExample:\n  %s\n", c.name, c.usage, c.help, c.example);
}

bool is_help(const std::string& a) { return a == "--help" || a == "-h"; }

// Removes --quiet and -q wherever they stand; true when one was there.
bool take_quiet(astr& args) {
  const size_t before = args.size();
  std::erase_if(args, [](const std::string& a) { return a == "--quiet" || a == "-q"; });
  return args.size() != before;
}

void print_written() {
  for (const std::string& f : files_written()) {
    binfile h;
    const uint64_t size = file_open(h, f, binfile_read) ? file_size(h) : 0;
    std::printf("%s: %llu bytes\n", f.c_str(), static_cast<unsigned long long>(size));
  }
}

int run(astr args) {
  const bool quiet = take_quiet(args);
  if (args.empty()) throw usage_error("usage: corvane-tool COMMAND ARGS...; corvane-tool --help lists the commands");
  const std::string name = args[0];
  if (is_help(name) || (name == "help" && args.size() == 1)) { print_overview(); return 0; }
  if (name == "--version") { std::printf("corvane-tool %s\n", corvane_version); return 0; }
  if (name == "help") { print_command_help(command_named(args[1])); return 0; }
  const tool_command& cmd = command_named(name);
  const astr rest(args.begin() + 1, args.end());
  for (const std::string& a : rest)
    if (is_help(a)) { print_command_help(cmd); return 0; }
  const int code = cmd.run(rest);
  if (!quiet && !cmd.prints_json) print_written();  // JSON output stays whole
  return code;
}

// Output that did not reach its file is a failure, whatever the command said.
void check_standard_output() {
  if (std::fflush(stdout) != 0 || std::ferror(stdout) || std::fclose(stdout) != 0)
    throw io_error(std::string("cannot write standard output: ") + std::strerror(errno ? errno : EIO));
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const int code = run(astr(argv + 1, argv + argc));
    check_standard_output();
    return code;
  } catch (const usage_error& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return exit_usage_code;
  } catch (const std::exception& e) {      // tool_error, io_error and anything unforeseen
    std::fprintf(stderr, "%s\n", e.what());
    return exit_failure_code;
  }
}
