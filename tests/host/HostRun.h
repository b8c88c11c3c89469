// Runs vantorine-host as a user would, from a shell, and collects its exit code and output.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace hostrun {

struct HostRun {
  int exitCode;  // 128 + the signal when the host was killed.
  std::string out;
  std::string err;
};

inline std::string slurp(const std::string& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// Arguments are single-quoted for the shell; none of the ones used contains a quote. Output goes through
// files in `folder`. `environment` holds assignments the program runs with ("NAME='value' ...").
inline HostRun runHost(const std::string& program, const std::vector<std::string>& args,
                       const std::string& folder, const std::string& environment = {}) {
  const std::string outPath = folder + "host_run_out.txt";
  const std::string errPath = folder + "host_run_err.txt";
  std::string command = environment + " '" + program + "'";
  for (const std::string& arg : args) command += " '" + arg + "'";
  command += " >'" + outPath + "' 2>'" + errPath + "'";
  const int status = std::system(command.c_str());
  HostRun run{WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), slurp(outPath),
              slurp(errPath)};
  std::remove(outPath.c_str());
  std::remove(errPath.c_str());
  return run;
}

}  // namespace hostrun
