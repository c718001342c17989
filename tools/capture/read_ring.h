// Frames read back through the host's ring of pixel buffers, a frame late:
// frame n is copied out while frame n + 1 renders. Frames still in flight
// are handed on by Drain, which the capture calls before the context goes
// (at the show's end, an interruption or a stall). Main thread only.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>

namespace sgcapture {

class ReadRing {
 public:
  // Pixels are BGRA, bottom row first, valid only during the call.
  using Consumer = std::function<void(int64_t frame, const uint8_t* bgra, int width, int height)>;
  explicit ReadRing(Consumer consumer, int slots = 2);

  // Starts reading the frame just drawn (context current), then hands on
  // the older frames the ring has no room left for; false if the read fails.
  bool Queue(int64_t frame);
  // Hands on every frame still in flight and frees the buffers.
  void Drain();

 private:
  struct InFlight {
    int64_t frame;
    int slot;
  };
  bool HandOnOldest();

  Consumer consumer_;
  int slots_;
  int nextSlot_ = 0;
  std::deque<InFlight> inFlight_;
};

}  // namespace sgcapture
