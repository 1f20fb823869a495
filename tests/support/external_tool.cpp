#include "support/external_tool.hpp"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <regex>

#include "support/scratch_dir.hpp"

namespace velorium::test {

bool toolAvailable(const std::string& name) {
  return runTool("command -v " + shellQuoted(name) + " >/dev/null 2>&1").exit_code == 0;
}

ToolRun runTool(const std::string& command_line) {
  ToolRun run;
  std::FILE* pipe = ::popen((command_line + " 2>&1").c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, got);
  int status = ::pclose(pipe);
  run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

std::string shellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

SolverOutcome solveWithCbc(const std::string& model_path, bool maximize) {
  ScratchDir dir;
  std::string solution = dir.file("cbc.sol");
  ToolRun run = runTool("cbc " + shellQuoted(model_path) + (maximize ? " max" : "") + " solve solu " + shellQuoted(solution));
  SolverOutcome outcome;
  outcome.output = run.output;
  std::smatch match;
  // "Coin0008I <name> read with 0 errors" for MPS; the LP reader prints errors as "### ERROR".
  static const std::regex read_errors(R"(read with (\d+) errors)");
  bool counted = std::regex_search(run.output, match, read_errors);
  outcome.read_cleanly = run.exit_code == 0 && (!counted || match[1] == "0") &&
                         run.output.find("ERROR") == std::string::npos &&
                         run.output.find("not valid") == std::string::npos;
  // The solution file's first line: "<status> - objective value <value>".
  std::string first_line = readFileBytes(solution);
  first_line = first_line.substr(0, first_line.find('\n'));
  static const std::regex summary(R"(^(.*?) - objective value (\S+))");
  if (std::regex_search(first_line, match, summary)) {
    outcome.status = match[1];
    outcome.objective = std::strtod(match[2].str().c_str(), nullptr);
  }
  return outcome;
}

SolverOutcome solveWithGlpsol(const std::string& model_path, const std::string& format_flag,
                              const std::string& sense_flag) {
  // "-o /dev/stdout" adds the solution report, whose "Objective:" line holds the optimum.
  ToolRun run = runTool("glpsol " + format_flag + " " + sense_flag + " " + shellQuoted(model_path) + " -o /dev/stdout");
  SolverOutcome outcome;
  outcome.output = run.output;
  outcome.read_cleanly = run.exit_code == 0;
  std::smatch match;
  static const std::regex optimal(R"(Status:\s+(INTEGER )?OPTIMAL\s)");
  if (std::regex_search(run.output, optimal)) outcome.status = "Optimal";
  static const std::regex objective_line(R"(Objective:\s+\S+ = (\S+))");
  if (std::regex_search(run.output, match, objective_line)) {
    outcome.objective = std::strtod(match[1].str().c_str(), nullptr);
  }
  return outcome;
}

}  // namespace velorium::test
