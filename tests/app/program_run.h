// Runs the real program in a child process on frame-locked clocks and
// reports what happened as key=value lines.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "child_process.h"
#include "lockstep.h"

namespace sgtest {

struct FrameRecord {
  int index;
  float musicSeconds;
};

struct ProgramOptions {
  sglockstep::Options lockstep = DefaultLockstep();
  // Runs in the child after the hooks are installed and before WinMain.
  std::function<void()> prepare;
  // Runs in the child for every frame, after the record is taken.
  std::function<void(const host::FrameInfo&)> onFrame;
  // Runs in the child after WinMain returns; may print more key=value lines.
  std::function<void()> finish;
  // Folder to run in (its datas/ is the program's); empty: the build folder.
  std::string workingDirectory;

  static sglockstep::Options DefaultLockstep();
};

struct ProgramResult {
  ChildResult child;
  int exitCode = -1;                // WinMain's result
  int swaps = -1;                   // SwapBuffers calls
  std::vector<FrameRecord> frames;  // music position seen by each frame
  std::vector<std::string> boxes;   // "CAPTION|text|type|answer" per message box
  std::string Value(const std::string& key) const { return ReportValue(child.out, key); }
};

ProgramResult RunProgram(const ProgramOptions& options, int timeoutSeconds = 240);

// A folder holding datas/ with links to the build's content, minus `omit`.
std::string DataFolderWithout(const std::string& omit);

}  // namespace sgtest
