// The bitmaps on the web: the resource table's pixel rows arrive compressed
// ("bitmaps.bin.gz", the same bytes the desktop builds embed) and are
// unpacked by the browser's DecompressionStream before the program starts.
#pragma once

namespace sgweb {

// False when the file is missing, damaged or of the wrong size.
bool UnpackBitmaps();

}  // namespace sgweb
