// A grid of thumbnails of the show, one every two seconds, each labelled
// with its time. Frames are offered in order; the sheet keeps the first
// frame, the first at or after each even second, and the last, so even a
// show shorter than the step has its beginning and its end.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sgcapture {

class ContactSheet {
 public:
  explicit ContactSheet(int thumbnailWidth = 256, int columns = 6, double interval = 2.0);

  // Every frame written, as read back (BGRA, bottom row first).
  void Offer(double seconds, int width, int height, const uint8_t* bgra);
  // Takes the last frame, if it is not taken yet, and writes the sheet.
  bool Write(const std::string& path, std::string& error);

 private:
  struct Thumbnail {
    double seconds;
    int width;
    int height;
    std::vector<uint8_t> rgb;
  };
  // The latest frame not taken: the last one, should the show end on it.
  struct Held {
    double seconds = 0.0;
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bgra;
    bool held = false;
  };

  void Take(double seconds, int width, int height, const uint8_t* bgra);
  int Count() const { return static_cast<int>(thumbnails_.size()); }

  int thumbnailWidth_;
  int columns_;
  double interval_;
  int nextMark_ = 0;  // the first frame is taken at mark 0, whenever it comes
  std::vector<Thumbnail> thumbnails_;
  Held latest_;
  std::vector<uint8_t> rgb_;
};

}  // namespace sgcapture
