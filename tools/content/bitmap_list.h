// resources/bitmaps.list, the one description of the program's bitmaps: an
// id, a file name and a size per line. Read here only; the drawing, copying
// and embedding steps all take their entries from it. Pure functions.
#pragma once

#include <string>
#include <vector>

namespace sgcontent {

struct BitmapEntry {
  int id = 0;
  std::string file;  // bitmap_<id>.bmp, inside a bitmap folder
  int width = 0;
  int height = 0;
};

// Lines of "id file width height"; '#' starts a comment. Refuses bad numbers,
// duplicate ids and a file not named bitmap_<id>.bmp; error names the line.
bool ParseBitmapList(const std::string& text, std::vector<BitmapEntry>& entries, std::string& error);

// Reads and parses the list at path; error starts with the path.
bool ReadBitmapList(const std::string& path, std::vector<BitmapEntry>& entries, std::string& error);

}  // namespace sgcontent
