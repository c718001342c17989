#include "read_ring.h"

#include "host.h"

namespace sgcapture {

ReadRing::ReadRing(Consumer consumer, int slots) : consumer_(std::move(consumer)), slots_(slots < 2 ? 2 : slots) {}

bool ReadRing::Queue(int64_t frame) {
  // The newest read is queued before an older one is waited for, so the
  // driver copies it while the next frame renders.
  int slot = nextSlot_;
  nextSlot_ = (nextSlot_ + 1) % slots_;
  if (!host::QueueRead(slot)) return false;
  inFlight_.push_back({frame, slot});
  bool ok = true;
  while (static_cast<int>(inFlight_.size()) >= slots_) ok = HandOnOldest() && ok;
  return ok;
}

void ReadRing::Drain() {
  while (!inFlight_.empty()) HandOnOldest();
  host::FreeReads();
  nextSlot_ = 0;
}

bool ReadRing::HandOnOldest() {
  InFlight oldest = inFlight_.front();
  inFlight_.pop_front();
  int width = 0, height = 0;
  const uint8_t* pixels = host::MapRead(oldest.slot, width, height);
  if (!pixels) return false;
  consumer_(oldest.frame, pixels, width, height);
  host::UnmapRead(oldest.slot);
  return true;
}

}  // namespace sgcapture
