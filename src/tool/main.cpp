// corvane-tool: the command-line front end of the designer.
//
// corvane-tool COMMAND ARGS...; corvane-tool --help lists the commands and
// corvane-tool COMMAND --help explains one. Exit 0 on success, 1 with a
// one-line message on standard error otherwise.
#include <cstdio>
#include <exception>
#include "tool/commands.h"

static void print_overview() {
  std::printf("usage: corvane-tool COMMAND ARGS...\n\nCommands:\n");
  for (const tool_command& c : tool_commands()) std::printf("  %s %s\n", c.name, c.usage);
  std::printf("\nRun in the simulator's root folder. corvane-tool COMMAND --help explains one command.\n");
}

static void print_command_help(const tool_command& c) {
  std::printf("usage: corvane-tool %s %s\n\n%s\n", c.name, c.usage, c.help);
}

static bool wants_help(const astr& args) {
  for (const std::string& a : args)
    if (a == "--help" || a == "-h") return true;
  return false;
}

static int run(int argc, char** argv) {
  if (argc < 2) throw tool_error("usage: corvane-tool COMMAND ARGS...; corvane-tool --help lists the commands");
  const std::string name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") { print_overview(); return 0; }
  const tool_command& cmd = command_named(name);
  const astr args(argv + 2, argv + argc);
  if (wants_help(args)) { print_command_help(cmd); return 0; }
  return cmd.run(args);
}

int main(int argc, char** argv) {
  try {
    return run(argc, argv);
  } catch (const std::exception& e) {      // tool_error, io_error and anything unforeseen
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
