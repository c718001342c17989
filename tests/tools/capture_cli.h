// Running stormglass-capture and other commands from the capture tests, and
// reading what they wrote.
#pragma once

#include <functional>
#include <string>

#include "capture_outcome.h"

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

struct CaptureRun {
  bool ran = false;  // the child ended with an outcome (not killed, options parsed)
  sgcapture::Outcome outcome = sgcapture::Outcome::Written;
  int exitCode = -1;  // the tool's exit code for it
  std::string err;    // what it said
};
// A capture with these arguments (space-separated, progress off) run in a
// child of this process, after `prepare`: its typed outcome.
CaptureRun RunCaptureInChild(const std::string& arguments, const std::function<void()>& prepare = {});

}  // namespace sgtest
