#include "frame_pipeline.h"

namespace sgcapture {

FramePipeline::FramePipeline(Sink sink, int buffers) : sink_(std::move(sink)), frames_(static_cast<size_t>(buffers)) {
  for (Frame& frame : frames_) free_.push_back(&frame);
  worker_ = std::thread([this] { Work(); });
}

FramePipeline::~FramePipeline() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  worker_.join();
}

bool FramePipeline::Acquire(Frame*& frame) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return failed_ || !free_.empty(); });
  if (failed_) return false;
  frame = free_.front();
  free_.pop_front();
  return true;
}

void FramePipeline::Submit(Frame* frame) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queued_.push_back(frame);
  }
  changed_.notify_all();
}

bool FramePipeline::Finish(std::string& error) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return failed_ || (queued_.empty() && busy_ == 0); });
  error = error_;
  return !failed_;
}

void FramePipeline::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || !queued_.empty(); });
    if (queued_.empty()) return;
    Frame* frame = queued_.front();
    queued_.pop_front();
    ++busy_;
    bool ok = true;
    std::string error;
    if (!failed_) {
      lock.unlock();
      ok = sink_(*frame, error);
      lock.lock();
    }
    --busy_;
    if (!ok && !failed_) {
      failed_ = true;
      error_ = error;
    }
    free_.push_back(frame);
    changed_.notify_all();
  }
}

}  // namespace sgcapture
