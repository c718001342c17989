// The silent output: no device, a thread that mixes exactly as much audio as
// real time has produced, so positions and syncs behave as with sound.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/output.h"

namespace sgaudio {

namespace {

constexpr auto kTick = std::chrono::milliseconds(4);
constexpr size_t kChunkFrames = 4096;

class SilentOutput : public Output {
 public:
  explicit SilentOutput(Mixer& mixer) : mixer_(mixer), scratch_(kChunkFrames * Mixer::kOutputChannels) {}
  ~SilentOutput() override { Stop(); }

  void Start() override {
    if (thread_.joinable()) return;
    stopping_ = false;
    thread_ = std::thread([this] { Run(); });
  }

  void Stop() override {
    if (!thread_.joinable()) return;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }

 private:
  void Run() {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    uint64_t produced = 0;
    for (;;) {
      {
        std::unique_lock<std::mutex> lock(mutex_);
        if (wake_.wait_for(lock, kTick, [this] { return stopping_; })) return;
      }
      Clock::time_point now = Clock::now();
      double elapsed = std::chrono::duration<double>(now - start).count();
      uint64_t due = static_cast<uint64_t>(elapsed * mixer_.OutputRate());
      while (produced < due) {
        size_t frames = static_cast<size_t>(std::min<uint64_t>(due - produced, kChunkFrames));
        mixer_.Render(scratch_.data(), frames, now);
        produced += frames;
      }
    }
  }

  Mixer& mixer_;
  std::vector<int16_t> scratch_;
  std::thread thread_;
  std::mutex mutex_;  // guards stopping_ only; never held while rendering
  std::condition_variable wake_;
  bool stopping_ = false;
};

}  // namespace

std::unique_ptr<Output> OpenSilentOutput(Mixer& mixer) { return std::make_unique<SilentOutput>(mixer); }

}  // namespace sgaudio
