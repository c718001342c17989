#include "bitmap_list.h"

#include <set>
#include <sstream>

#include "bmp.h"

namespace sgcontent {
namespace {

bool ParseInt(const std::string& text, int low, int high, int& value) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  value = std::stoi(text);
  return value >= low && value <= high;
}

}  // namespace

bool ParseBitmapList(const std::string& text, std::vector<BitmapEntry>& entries, std::string& error) {
  entries.clear();
  std::set<int> ids;
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    const size_t hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
    std::istringstream fields(line);
    std::vector<std::string> words;
    for (std::string word; fields >> word;) words.push_back(word);
    if (words.empty()) continue;
    const std::string where = "line " + std::to_string(number) + ": ";
    BitmapEntry entry;
    if (words.size() != 4) {
      error = where + "expected \"id file width height\"";
      return false;
    }
    if (!ParseInt(words[0], 1, 65535, entry.id)) {
      error = where + "bad id \"" + words[0] + "\" (1 to 65535)";
      return false;
    }
    // Your own pictures are found by this name, and the resource script uses it.
    entry.file = words[1];
    const std::string expected = "bitmap_" + std::to_string(entry.id) + ".bmp";
    if (entry.file != expected) {
      error = where + "bitmap " + std::to_string(entry.id) + " must be named " + expected + ", not " + entry.file;
      return false;
    }
    if (!ParseInt(words[2], 1, 32768, entry.width) || !ParseInt(words[3], 1, 32768, entry.height)) {
      error = where + "bad size \"" + words[2] + " " + words[3] + "\"";
      return false;
    }
    if (!ids.insert(entry.id).second) {
      error = where + "id " + words[0] + " is listed twice";
      return false;
    }
    entries.push_back(entry);
  }
  if (entries.empty()) {
    error = "the list names no bitmaps";
    return false;
  }
  return true;
}

bool ReadBitmapList(const std::string& path, std::vector<BitmapEntry>& entries, std::string& error) {
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(path, bytes, error)) return false;
  if (ParseBitmapList(std::string(bytes.begin(), bytes.end()), entries, error)) return true;
  error = path + ": " + error;
  return false;
}

}  // namespace sgcontent
