#include "progress.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace sgcapture {

namespace {

std::string Clock(double seconds) {
  int whole = static_cast<int>(seconds + 0.5);
  char text[32];
  std::snprintf(text, sizeof(text), "%d:%02d", whole / 60, whole % 60);
  return text;
}

}  // namespace

Progress::Progress(int64_t totalFrames, bool quiet)
    : total_(std::max<int64_t>(1, totalFrames)),
      quiet_(quiet),
      terminal_(isatty(STDERR_FILENO) != 0),
      start_(std::chrono::steady_clock::now()),
      lastPrint_(start_) {}

void Progress::SetTotal(int64_t totalFrames) { total_ = std::max<int64_t>(1, totalFrames); }

void Progress::Update(int64_t framesDone) {
  if (quiet_) return;
  auto now = std::chrono::steady_clock::now();
  auto interval = terminal_ ? std::chrono::milliseconds(200) : std::chrono::milliseconds(5000);
  if (now - lastPrint_ < interval) return;
  lastPrint_ = now;
  Print(framesDone, false);
}

void Progress::Done(int64_t framesDone) {
  if (!quiet_) Print(framesDone, true);
}

void Progress::Print(int64_t framesDone, bool final) {
  double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  double fps = elapsed > 0 ? framesDone / elapsed : 0.0;
  int64_t shown = std::min(framesDone, total_);
  int percent = static_cast<int>(100 * shown / total_);
  double left = fps > 0 ? (total_ - shown) / fps : 0.0;
  char line[160];
  if (terminal_) {
    const int width = 30;
    std::string bar(static_cast<size_t>(width * shown / total_), '#');
    bar.resize(width, '.');
    std::snprintf(line, sizeof(line), "\r[%s] %lld/%lld frames %3d%% %5.1f fps, %s left ", bar.c_str(),
                  static_cast<long long>(shown), static_cast<long long>(total_), percent, fps, Clock(left).c_str());
    std::fputs(line, stderr);
    if (final) std::fputs("\n", stderr);
  } else {
    std::snprintf(line, sizeof(line), "%lld/%lld frames %d%% %.1f fps, %s left\n", static_cast<long long>(shown),
                  static_cast<long long>(total_), percent, fps, Clock(left).c_str());
    std::fputs(line, stderr);
  }
  std::fflush(stderr);
}

}  // namespace sgcapture
