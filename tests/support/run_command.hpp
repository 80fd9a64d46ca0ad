// The velmora command run as a process, as an engineer or a script runs it.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace velmora::testing {

struct CommandRun {
  int status;       // the exit status, -1 when the command did not exit normally
  std::string out;  // what it wrote to standard output
};

// Runs the built command with `args` (shell words), standard error to the file `errFile`.
inline CommandRun runVelmora(const std::string& args, const std::string& errFile = "/dev/null") {
  const std::string command = std::string(VELMORA_CLI) + " " + args + " 2>" + errFile;
  CommandRun run{-1, {}};
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  std::size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  const int raw = pclose(pipe);
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return run;
}

}  // namespace velmora::testing
