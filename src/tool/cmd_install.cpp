// cmd_install: install (an add-on package unpacked into the simulator's root),
// the same installing as the designer's answer to Generate's question.
#include <cstdio>
#include "generate/addon_install.h"
#include "tool/commands.h"

namespace {

// The files that would change, as many as fit a message, then how many more.
std::string named_files(const astr& files) {
  constexpr size_t shown = 5;
  std::string text;
  for (size_t i = 0; i < files.size() && i < shown; ++i) text += (i ? ", " : "") + files[i];
  if (files.size() > shown) text += " and " + std::to_string(files.size() - shown) + " more";
  return text;
}

}  // namespace

int cmd_install(const astr& args) {
  const command_args a = parse_command_args(args, command_named("install"), 1, 1, {"--root"}, {"--force"});
  const auto root = a.options.find("--root");
  const install_plan plan = plan_install(a.positional[0], root == a.options.end() ? "." : root->second);
  print_notes("refused", plan.refused);
  const astr differing = differing_files(plan);
  if (!differing.empty() && !a.has("--force"))
    throw tool_error(std::to_string(differing.size()) + " files of the installation differ from the package (" +
                     named_files(differing) + "); give --force to replace them");
  const install_report report = install_package(plan);
  for (const install_file& f : plan.files) note_written(f.target);
  std::printf("installed %zu files, %llu bytes\n", report.files, static_cast<unsigned long long>(report.bytes));
  return plan.refused.empty() ? 0 : exit_failure_code;
}
