#include "program_run.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <sstream>

#include "app/shell.h"
#include "sequence/music.h"
#include "test_audio.h"

namespace sgtest {

namespace {

void PrintBoxes() {
  for (const host::MessageBoxRecord& box : host::MessageBoxes()) {
    std::string text = box.text;
    for (char& c : text) {
      if (c == '\n') c = '~';
    }
    std::printf("box=%s|%s|%u|%d\n", box.caption.c_str(), text.c_str(), box.type, box.answer);
  }
}

int RunInThisProcess(const ProgramOptions& options) {
  if (!options.workingDirectory.empty() && chdir(options.workingDirectory.c_str()) != 0) return 99;
  sglockstep::Options lockstep = options.lockstep;
  lockstep.onFrame = [&options](const host::FrameInfo& frame, double) {
    std::printf("frame=%d %.9g\n", frame.index, static_cast<double>(g_musicSeconds));
    if (options.onFrame) options.onFrame(frame);
  };
  sglockstep::Install(lockstep);
  if (options.prepare) options.prepare();
  int code = WinMain(GetModuleHandleA(NULL), NULL, const_cast<char*>(""), SW_SHOW);
  std::printf("exit=%d\nswaps=%d\n", code, host::SwapCount());
  PrintBoxes();
  if (options.finish) options.finish();
  std::fflush(stdout);
  return code;
}

void ParseReport(ProgramResult& result) {
  std::istringstream lines(result.child.out);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind("frame=", 0) == 0) {
      FrameRecord record{};
      if (std::sscanf(line.c_str(), "frame=%d %f", &record.index, &record.musicSeconds) == 2) {
        result.frames.push_back(record);
      }
    } else if (line.rfind("box=", 0) == 0) {
      result.boxes.push_back(line.substr(4));
    }
  }
  std::string exit = result.Value("exit"), swaps = result.Value("swaps");
  if (!exit.empty()) result.exitCode = std::stoi(exit);
  if (!swaps.empty()) result.swaps = std::stoi(swaps);
}

}  // namespace

sglockstep::Options ProgramOptions::DefaultLockstep() {
  sglockstep::Options options;
  options.rate = {10, 1};
  options.width = 96;
  options.height = 54;
  return options;
}

ProgramResult RunProgram(const ProgramOptions& options, int timeoutSeconds) {
  ProgramResult result;
  result.child = RunInChild([&options] { return RunInThisProcess(options); }, timeoutSeconds);
  ParseReport(result);
  return result;
}

std::string DataFolderWithout(const std::string& omit) {
  char cwd[4096];
  if (!getcwd(cwd, sizeof(cwd))) return "";
  std::string folder = MakeTempDir("sg_datas_");
  std::string datas = folder + "/datas";
  if (mkdir(datas.c_str(), 0755) != 0) return "";
  for (const char* name : {"Brassvale.mp3", "s.pak", "qor_fist.3ds"}) {
    if (omit == name) continue;
    std::string target = std::string(cwd) + "/datas/" + name;
    if (symlink(target.c_str(), (datas + "/" + name).c_str()) != 0) return "";
  }
  return folder;
}

}  // namespace sgtest
