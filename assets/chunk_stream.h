// A seekable, read-only view of a whole model file held in memory. Reads
// that would pass the end read nothing and fail, so no chunk length or count
// can take the reader outside the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class ChunkStream {
 public:
  // Reads the whole file; false (and an empty stream) when it cannot.
  bool Open(const char* path);
  void OpenBytes(const unsigned char* data, size_t size);
  void Close();
  bool IsOpen() const { return open_; }

  uint32_t Size() const { return static_cast<uint32_t>(bytes_.size()); }
  uint32_t Tell() const { return position_; }
  // Absolute; positions past the end are clamped to the end.
  void Seek(uint32_t offset);
  // Relative to the current position, clamped to the file.
  void Skip(int64_t bytes);
  // Copies size bytes and advances, or reads nothing and returns false.
  bool Read(void* out, size_t size);

 private:
  std::vector<unsigned char> bytes_;
  uint32_t position_ = 0;
  bool open_ = false;
};
