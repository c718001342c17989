// Progress of a capture on standard error: a bar redrawn in place on a
// terminal, plain lines every few seconds otherwise.
#pragma once

#include <chrono>
#include <cstdint>

namespace sgcapture {

class Progress {
 public:
  Progress(int64_t totalFrames, bool quiet);
  // Once the show's length is known better (its soundtrack open).
  void SetTotal(int64_t totalFrames);
  void Update(int64_t framesDone);
  void Done(int64_t framesDone);

 private:
  void Print(int64_t framesDone, bool final);

  int64_t total_;
  bool quiet_;
  bool terminal_;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point lastPrint_;
};

}  // namespace sgcapture
