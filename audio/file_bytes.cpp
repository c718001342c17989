#include "audio/file_bytes.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace sgaudio {

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// Size by seeking to the end: portable, and the only way the C library offers.
bool FileSize(std::FILE* file, uint64_t& size) {
  if (std::fseek(file, 0, SEEK_END) != 0) return false;
  long end = std::ftell(file);
  if (end < 0 || std::fseek(file, 0, SEEK_SET) != 0) return false;
  size = static_cast<uint64_t>(end);
  return true;
}

}  // namespace

FileStatus ReadFileWindow(const char* path, uint64_t offset, uint64_t length, std::vector<uint8_t>& bytes) {
  bytes.clear();
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "rb"));
  uint64_t size = 0;
  if (!file || !FileSize(file.get(), size)) return FileStatus::CannotOpen;
  if (offset > size) return FileStatus::OffsetPastEnd;
  uint64_t available = size - offset;
  uint64_t wanted = (length == 0 || length > available) ? available : length;
  if (std::fseek(file.get(), static_cast<long>(offset), SEEK_SET) != 0) return FileStatus::CannotOpen;
  // What reads decides, not the size: a folder opens and reports a size on
  // some systems, but its first read fails.
  const size_t kChunk = 1 << 16;
  while (bytes.size() < wanted) {
    size_t at = bytes.size();
    size_t ask = static_cast<size_t>(std::min<uint64_t>(kChunk, wanted - at));
    bytes.resize(at + ask);
    size_t got = std::fread(bytes.data() + at, 1, ask, file.get());
    bytes.resize(at + got);
    if (std::ferror(file.get())) {
      bytes.clear();
      return FileStatus::CannotOpen;
    }
    if (wanted > kMaxFileBytes) {
      bytes.clear();
      return FileStatus::TooLarge;
    }
    if (got < ask) break;  // the file ended sooner than its size said
  }
  return FileStatus::Ok;
}

}  // namespace sgaudio
