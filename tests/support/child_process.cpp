#include "child_process.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace sgtest {

namespace {

bool DrainInto(int fd, std::string& into) {
  char buffer[4096];
  ssize_t n = read(fd, buffer, sizeof(buffer));
  if (n > 0) {
    into.append(buffer, static_cast<size_t>(n));
    return true;
  }
  return false;
}

void CollectUntilClosed(int outFd, int errFd, pid_t pid, int timeoutSeconds, ChildResult& result) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  bool outOpen = true, errOpen = true;
  while (outOpen || errOpen) {
    pollfd fds[2] = {{outOpen ? outFd : -1, POLLIN, 0}, {errOpen ? errFd : -1, POLLIN, 0}};
    int ready = poll(fds, 2, 200);
    if (ready > 0) {
      if (fds[0].revents) outOpen = DrainInto(outFd, result.out);
      if (fds[1].revents) errOpen = DrainInto(errFd, result.err);
    }
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      result.timedOut = true;
      break;
    }
  }
}

}  // namespace

ChildResult RunInChild(const std::function<int()>& fn, int timeoutSeconds) {
  ChildResult result;
  int outPipe[2], errPipe[2];
  if (pipe(outPipe) != 0 || pipe(errPipe) != 0) return result;
  std::fflush(nullptr);
  pid_t pid = fork();
  if (pid == 0) {
    dup2(outPipe[1], STDOUT_FILENO);
    dup2(errPipe[1], STDERR_FILENO);
    close(outPipe[0]);
    close(errPipe[0]);
    int code = fn();
    std::fflush(nullptr);
    std::_Exit(code);
  }
  close(outPipe[1]);
  close(errPipe[1]);
  CollectUntilClosed(outPipe[0], errPipe[0], pid, timeoutSeconds, result);
  close(outPipe[0]);
  close(errPipe[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status)) {
    result.exited = true;
    result.exitCode = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    result.signal = WTERMSIG(status);
  }
  return result;
}

std::string ReportValue(const std::string& text, const std::string& key) {
  std::istringstream lines(text);
  std::string line;
  std::string prefix = key + "=";
  std::string found;
  while (std::getline(lines, line)) {
    if (line.compare(0, prefix.size(), prefix) == 0) found = line.substr(prefix.size());
  }
  return found;
}

}  // namespace sgtest
