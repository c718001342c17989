// The stand-in pictures compiled into the program: one procedural drawing per
// bitmap id, drawn at the size the bitmap list gives it. Pure functions; every
// call draws afresh and returns an image the caller owns.
#pragma once

#include "bmp.h"

namespace sgcontent {

// Draws the stand-in for bitmap id at width x height; an empty image (0 x 0)
// when no drawing stands in for that id.
RgbImage DrawPicture(int id, int width, int height);

}  // namespace sgcontent
