// Runs independent command-line tools (the cbc and glpsol solvers) as test oracles: they read
// our files with their own readers and tell the optimum they find.
#pragma once

#include <optional>
#include <string>

namespace velorium::test {

struct ToolRun {
  int exit_code = -1;
  std::string output;  // standard output and standard error together
};

// True when `name` is an executable on the PATH.
bool toolAvailable(const std::string& name);

// Runs a shell command line and collects its output.
ToolRun runTool(const std::string& command_line);

// `text` quoted for the shell.
std::string shellQuoted(const std::string& text);

struct SolverOutcome {
  bool read_cleanly = false;  // the tool reported no error while reading the file
  std::string status;         // "Optimal", "Infeasible", ... as the tool words it
  std::optional<double> objective;
  std::string output;  // everything the tool printed, for failure messages
};

// Has cbc read and solve a model file (MPS or LP, by extension). cbc 2.10 ignores the
// OBJSENSE section of an MPS file: `maximize` asks it for the maximum explicitly.
SolverOutcome solveWithCbc(const std::string& model_path, bool maximize = false);

// Has glpsol read and solve a model file; `format_flag` is "--mps", "--freemps" or "--lp",
// `sense_flag` "--min" or "--max" (glpsol reads no OBJSENSE section).
SolverOutcome solveWithGlpsol(const std::string& model_path, const std::string& format_flag,
                              const std::string& sense_flag = "--min");

}  // namespace velorium::test
