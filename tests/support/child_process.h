// Runs a function in a forked child process with its own copy of every
// global, capturing what it writes. Program runs (WinMain) keep static state
// for the whole process, so each one gets a fresh process this way.
#pragma once

#include <functional>
#include <string>

namespace sgtest {

struct ChildResult {
  bool exited = false;    // ended through exit/return (else signalled or timed out)
  int exitCode = -1;
  int signal = 0;         // the signal that ended it, when it did not exit
  bool timedOut = false;  // killed after the time limit
  std::string out;        // everything written to standard output
  std::string err;        // everything written to standard error
};

// fn's return value becomes the child's exit code. The child is killed after
// timeoutSeconds.
ChildResult RunInChild(const std::function<int()>& fn, int timeoutSeconds = 120);

// The value of a "key=value" line in text, or "" when absent.
std::string ReportValue(const std::string& text, const std::string& key);

}  // namespace sgtest
