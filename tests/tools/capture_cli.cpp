#include "capture_cli.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "capture_options.h"
#include "capture_run.h"
#include "child_process.h"
#include "test_audio.h"

namespace sgtest {

CommandResult RunCommand(const std::string& command) {
  std::string logPath = MakeTempDir("sg_capture_log_") + "/log.txt";
  int status = std::system((command + " > '" + logPath + "' 2>&1").c_str());
  CommandResult result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.output = ReadFile(logPath);
  return result;
}

std::string CaptureCommand(const std::string& arguments) {
  return std::string("'") + STORMGLASS_CAPTURE + "' --quiet " + arguments;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

std::string FramePath(const std::string& dir, int index) {
  char name[32];
  std::snprintf(name, sizeof(name), "/frame_%06d.png", index);
  return dir + name;
}

CaptureRun RunCaptureInChild(const std::string& arguments, const std::function<void()>& prepare) {
  constexpr int kBadOptions = 255;
  ChildResult child = RunInChild([&] {
    std::vector<std::string> args{"--quiet"};
    std::istringstream words(arguments);
    for (std::string word; words >> word;) args.push_back(word);
    sgcapture::CaptureOptions options;
    std::string error;
    if (!sgcapture::ParseCaptureOptions(args, options, error)) return kBadOptions;
    if (prepare) prepare();
    sgcapture::CaptureResult result = sgcapture::RunCapture(options);
    std::printf("exit=%d\n", result.exitCode);
    return static_cast<int>(result.outcome);
  });
  CaptureRun run;
  run.ran = child.exited && child.exitCode != kBadOptions;
  run.outcome = static_cast<sgcapture::Outcome>(child.exitCode);
  run.exitCode = std::atoi(ReportValue(child.out, "exit").c_str());
  run.err = child.err;
  return run;
}

}  // namespace sgtest
