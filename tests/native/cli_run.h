// Runs one of the built native programs in a folder and collects how it
// ended and what it said, for the end-to-end tests.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "test_files.h"

namespace testing_files {

struct ProgramRun {
  int status = -1;  // the exit code; -1 when the program did not exit (a crash)
  std::string out;
  std::vector<std::string> err;  // standard error's lines
};

inline std::vector<std::string> Lines(const std::vector<uint8_t>& bytes) {
  std::vector<std::string> lines;
  std::istringstream in(std::string(bytes.begin(), bytes.end()));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// `program` with `args` (a shell's words) in folder `dir`, standard input
// from `input`; its output goes through files in the folder.
inline ProgramRun RunProgram(const std::string& dir, const std::string& program, const std::string& args,
                             const std::string& input = "") {
  WriteAll(dir + "/stdin", std::vector<uint8_t>(input.begin(), input.end()));
  const std::string command = "cd '" + dir + "' && '" + program + "' " + args + " <stdin >stdout 2>stderr";
  const int status = std::system(command.c_str());
  ProgramRun run;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  const std::vector<uint8_t> out = ReadAll(dir + "/stdout");
  run.out.assign(out.begin(), out.end());
  run.err = Lines(ReadAll(dir + "/stderr"));
  return run;
}

}  // namespace testing_files
