// Running stormglass-capture and other commands from the capture tests, and
// reading what they wrote.
#pragma once

#include <string>

namespace sgtest {

struct CommandResult {
  int exitCode = -1;
  std::string output;  // standard output and error together
};

// Runs a shell command line, collecting what it printed.
CommandResult RunCommand(const std::string& command);
// The capture tool's command line with these arguments (progress off).
std::string CaptureCommand(const std::string& arguments);
std::string ReadFile(const std::string& path);
// frame_NNNNNN.png in dir.
std::string FramePath(const std::string& dir, int index);

}  // namespace sgtest
