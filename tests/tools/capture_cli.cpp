#include "capture_cli.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

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

}  // namespace sgtest
