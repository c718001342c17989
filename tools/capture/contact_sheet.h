// A grid of thumbnails of the show, one every two seconds, each labelled
// with its time. Frames are offered in order; the sheet keeps the first frame
// at or after each even second.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sgcapture {

class ContactSheet {
 public:
  explicit ContactSheet(int thumbnailWidth = 256, int columns = 6, double interval = 2.0);

  // rgb: top row first. Takes a thumbnail when seconds reaches the next mark.
  void Offer(double seconds, int width, int height, const uint8_t* rgb);
  // Whether a frame at this time would be taken (so only those are converted).
  bool Wants(double seconds) const { return seconds + 1e-9 >= nextMark_ * interval_; }
  int Count() const { return static_cast<int>(thumbnails_.size()); }
  bool Write(const std::string& path, std::string& error) const;

 private:
  struct Thumbnail {
    double seconds;
    int width;
    int height;
    std::vector<uint8_t> rgb;
  };

  int thumbnailWidth_;
  int columns_;
  double interval_;
  int nextMark_ = 1;
  std::vector<Thumbnail> thumbnails_;
};

}  // namespace sgcapture
