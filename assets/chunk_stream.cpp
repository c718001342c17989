#include "assets/chunk_stream.h"

#include <cstdio>
#include <cstring>
#include <limits>

namespace {

// Chunk offsets are 32-bit, so nothing beyond 4 GiB could be addressed.
constexpr uint64_t kMaxFileBytes = std::numeric_limits<uint32_t>::max();

bool ReadWholeFile(std::FILE* file, std::vector<unsigned char>& bytes) {
  unsigned char block[64 * 1024];
  for (;;) {
    size_t got = std::fread(block, 1, sizeof block, file);
    if (got > 0) {
      if (bytes.size() + got > kMaxFileBytes) return false;
      bytes.insert(bytes.end(), block, block + got);
    }
    if (got < sizeof block) return std::ferror(file) == 0;
  }
}

}  // namespace

bool ChunkStream::Open(const char* path) {
  Close();
  if (path == nullptr) return false;
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  bool ok = ReadWholeFile(file, bytes_);
  std::fclose(file);
  if (!ok) {
    Close();
    return false;
  }
  open_ = true;
  return true;
}

void ChunkStream::OpenBytes(const unsigned char* data, size_t size) {
  Close();
  if (size > kMaxFileBytes) size = kMaxFileBytes;
  if (data != nullptr) bytes_.assign(data, data + size);
  open_ = true;
}

void ChunkStream::Close() {
  std::vector<unsigned char>().swap(bytes_);
  position_ = 0;
  open_ = false;
}

void ChunkStream::Seek(uint32_t offset) { position_ = offset < Size() ? offset : Size(); }

void ChunkStream::Skip(int64_t bytes) {
  int64_t target = static_cast<int64_t>(position_) + bytes;
  if (target < 0) target = 0;
  if (target > static_cast<int64_t>(Size())) target = Size();
  position_ = static_cast<uint32_t>(target);
}

bool ChunkStream::Read(void* out, size_t size) {
  if (size > Size() - position_) return false;
  if (size > 0) std::memcpy(out, bytes_.data() + position_, size);
  position_ += static_cast<uint32_t>(size);
  return true;
}
