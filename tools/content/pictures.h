// The stand-in pictures compiled into the program: one procedural drawing per
// bitmap id, each at the size the program expects. Pure functions; every call
// draws afresh and returns an image the caller owns.
#pragma once

#include <vector>

#include "bmp.h"

namespace sgcontent {

struct PictureInfo {
  int id;
  int width;
  int height;
  const char* subject;  // what the picture shows, for listings
};

// All pictures, by ascending id.
const std::vector<PictureInfo>& PictureTable();
// Null when no picture has that id.
const PictureInfo* FindPicture(int id);
// Draws picture id at its table size; an empty image (0 x 0) for an unknown id.
RgbImage DrawPicture(int id);

}  // namespace sgcontent
