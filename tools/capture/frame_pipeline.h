// Hands finished frames from the render thread to a worker thread that
// writes them out (to the encoder's pipe or to PNG files), so the next frame
// renders while the last one is written. A few buffers are recycled; the
// render thread waits only when every buffer is still being written.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace sgcapture {

struct Frame {
  int64_t index = 0;
  int width = 0;
  int height = 0;
  std::vector<uint8_t> bgra;  // bottom row first, as read back, 4 bytes a pixel
};

class FramePipeline {
 public:
  // sink returns false with a message to stop the capture.
  using Sink = std::function<bool(const Frame&, std::string& error)>;
  FramePipeline(Sink sink, int buffers = 3);
  ~FramePipeline();
  FramePipeline(const FramePipeline&) = delete;
  FramePipeline& operator=(const FramePipeline&) = delete;

  // A free buffer to fill (waits for one); false once the sink has failed.
  bool Acquire(Frame*& frame);
  void Submit(Frame* frame);
  // Waits until every submitted frame is written; false with the sink's error.
  bool Finish(std::string& error);

 private:
  void Work();

  Sink sink_;
  std::vector<Frame> frames_;
  std::deque<Frame*> free_;
  std::deque<Frame*> queued_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool stopping_ = false;
  bool failed_ = false;
  int busy_ = 0;
  std::string error_;
  std::thread worker_;
};

}  // namespace sgcapture
