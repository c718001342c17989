// Builds the stand-in 3D Studio model: a raised fist of named mesh objects
// (wrist, band, palm, four fingers, thumb) plus a lamp and a camera, with
// materials, mapping coordinates, face material groups and a keyframer block.
// A pure function: the same bytes on every call.
#pragma once

#include <cstdint>
#include <vector>

namespace sgcontent {

// The whole file, little-endian 3DS chunks. The fist stands along +Z, its
// fingers facing -Y; triangles wind counter-clockwise seen from outside.
std::vector<uint8_t> BuildFistModel();

}  // namespace sgcontent
