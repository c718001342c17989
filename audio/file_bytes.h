// Reads a file, or a window of it, into memory so that the decoders only ever
// parse bytes. Caller's thread; the caller owns the bytes.
#pragma once

#include <cstdint>
#include <vector>

namespace sgaudio {

enum class FileStatus { Ok, CannotOpen, OffsetPastEnd, TooLarge };

// Files larger than this are refused rather than read (the decoded audio
// would not fit in memory anyway).
constexpr uint64_t kMaxFileBytes = 512ull << 20;

// length 0 reads to the end; a length past the end reads what is there.
FileStatus ReadFileWindow(const char* path, uint64_t offset, uint64_t length, std::vector<uint8_t>& bytes);

}  // namespace sgaudio
