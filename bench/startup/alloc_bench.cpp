// Heap allocations per frame after start-up, ours and the libraries'.
//
//   bench_allocations [seconds]     (default 16; run in the build folder)
//
// The real program runs headless on the real clock and the silent real-time
// output, visiting every scene through the seek keys and pressing Space. The
// malloc family is defined in this executable, so every allocation in the
// process (any thread, any library) comes through here while counting is on;
// each one is charged to the nearest caller outside the C and C++ runtime:
// our code when that caller lies in this executable (the program and our
// layers are linked in statically), a library (Mesa, SDL, libmpg123) when it
// lies in one. Counting starts one second after the first frame.
#include <dlfcn.h>
#include <execinfo.h>
#include <link.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/shell.h"
#include "audio/audio_host.h"
#include "host.h"

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* pointer);
}

namespace {

struct Range {
  uintptr_t begin = 0, end = 0;
  bool Holds(uintptr_t address) const { return address >= begin && address < end; }
};

constexpr int kMaxRuntimeRanges = 16;
constexpr int kMaxSites = 64;

Range g_executable;
Range g_runtime[kMaxRuntimeRanges];  // libc, libstdc++, libgcc_s, libm, the loader
int g_runtimeCount = 0;

std::atomic<bool> g_counting{false};
std::atomic<long> g_ours{0};
std::atomic<long> g_theirs{0};
std::atomic<long> g_unknown{0};
thread_local bool t_inside = false;

struct Site {
  std::atomic<uintptr_t> address{0};
  std::atomic<long> count{0};
};
Site g_sites[kMaxSites];

bool IsRuntimeLibrary(const char* path) {
  const char* names[] = {"/libc.so", "/libstdc++.so", "/libgcc_s.so", "/libm.so", "/ld-linux"};
  for (const char* name : names) {
    if (std::strstr(path, name) != nullptr) return true;
  }
  return false;
}

Range Extent(const dl_phdr_info* info) {
  Range range{UINTPTR_MAX, 0};
  for (int i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& segment = info->dlpi_phdr[i];
    if (segment.p_type != PT_LOAD) continue;
    uintptr_t begin = info->dlpi_addr + segment.p_vaddr;
    range.begin = std::min(range.begin, begin);
    range.end = std::max(range.end, begin + segment.p_memsz);
  }
  return range;
}

void FindRanges() {
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void*) {
        const char* path = info->dlpi_name;
        if (path == nullptr || path[0] == '\0') {
          if (g_executable.end == 0) g_executable = Extent(info);
        } else if (IsRuntimeLibrary(path) && g_runtimeCount < kMaxRuntimeRanges) {
          g_runtime[g_runtimeCount++] = Extent(info);
        }
        return 0;
      },
      nullptr);
}

bool InRuntime(uintptr_t address) {
  for (int i = 0; i < g_runtimeCount; ++i) {
    if (g_runtime[i].Holds(address)) return true;
  }
  return false;
}

void NoteSite(uintptr_t address) {
  for (Site& site : g_sites) {
    uintptr_t expected = 0;
    if (site.address.load() == address || site.address.compare_exchange_strong(expected, address) ||
        expected == address) {
      ++site.count;
      return;
    }
  }
}

// Frames 0 and 1 are this function and the allocator it serves.
__attribute__((noinline)) void Count() {
  if (!g_counting.load(std::memory_order_relaxed) || t_inside) return;
  t_inside = true;
  void* frames[32];
  int depth = backtrace(frames, 32);
  bool charged = false;
  for (int i = 2; i < depth && !charged; ++i) {
    uintptr_t address = reinterpret_cast<uintptr_t>(frames[i]);
    if (InRuntime(address)) continue;
    if (g_executable.Holds(address)) {
      ++g_ours;
      NoteSite(address - g_executable.begin);
    } else {
      ++g_theirs;
    }
    charged = true;
  }
  if (!charged) ++g_unknown;
  t_inside = false;
}

}  // namespace

extern "C" {
__attribute__((noinline)) void* malloc(size_t size) {
  Count();
  return __libc_malloc(size);
}
__attribute__((noinline)) void* calloc(size_t count, size_t size) {
  Count();
  return __libc_calloc(count, size);
}
__attribute__((noinline)) void* realloc(void* pointer, size_t size) {
  Count();
  return __libc_realloc(pointer, size);
}
__attribute__((noinline)) void* memalign(size_t alignment, size_t size) {
  Count();
  return __libc_memalign(alignment, size);
}
__attribute__((noinline)) void* aligned_alloc(size_t alignment, size_t size) {
  Count();
  return __libc_memalign(alignment, size);
}
__attribute__((noinline)) int posix_memalign(void** out, size_t alignment, size_t size) {
  Count();
  void* pointer = __libc_memalign(alignment, size);
  if (pointer == nullptr) return 12;  // ENOMEM
  *out = pointer;
  return 0;
}
void free(void* pointer) { __libc_free(pointer); }
}

namespace {

using Clock = std::chrono::steady_clock;

struct Script {
  double seconds;
  int key;
};

// Every scene: 1 from the start, 2 and 3 after F2, 4 and 5 after F3, 1 and 2
// again after F1; the sample twice.
const Script kKeys[] = {{1.5, VK_F2}, {2.5, VK_SPACE}, {7.0, VK_F3}, {9.0, VK_SPACE}, {12.0, VK_F1}};

Clock::time_point g_start;
double g_endSeconds = 16.0;
size_t g_nextKey = 0;
long g_framesCounted = 0;

void OnSwap() {
  static bool first = true;
  if (first) g_start = Clock::now();  // times count from the first frame
  first = false;
  double now = std::chrono::duration<double>(Clock::now() - g_start).count();
  if (g_counting) ++g_framesCounted;
  if (!g_counting && now >= 1.0 && now < g_endSeconds) g_counting = true;
  if (g_nextKey < sizeof kKeys / sizeof kKeys[0] && now >= kKeys[g_nextKey].seconds) {
    host::QueueKey(kKeys[g_nextKey++].key);
  }
  if (g_counting && now >= g_endSeconds) {
    g_counting = false;
    host::QueueKey(VK_ESCAPE);
  }
}

// Allocations made here, through the C++ runtime and through the C library,
// must be charged to us, or a zero proves nothing.
bool SelfTest() {
  g_counting = true;
  {
    volatile int* one = new int(1);
    std::string text(200, 'x');
    char* copy = strdup(text.c_str());
    free(copy);
    delete one;
  }
  g_counting = false;
  bool ok = g_ours.load() == 3 && g_theirs.load() == 0;
  g_ours = 0;
  g_theirs = 0;
  g_unknown = 0;
  for (Site& site : g_sites) {
    site.address = 0;
    site.count = 0;
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) g_endSeconds = std::max(14.0, std::atof(argv[1]));
  void* warm[4];
  backtrace(warm, 4);  // loads the unwinder now, not while counting
  host::SetDialogAnswer(host::DialogAnswer::Go);
  host::SetSurfaceSize(640, 360);
  audio_host::SelectOutput(audio_host::Output::Silent);
  FindRanges();
  if (!SelfTest()) {
    std::fprintf(stderr, "bench_allocations: the counter does not see this executable's allocations\n");
    return 1;
  }
  host::SetSwapHook([](const host::FrameInfo&) { OnSwap(); });
  int code = WinMain(GetModuleHandleA(NULL), NULL, const_cast<char*>(""), SW_SHOW);
  g_counting = false;
  if (code != 0 || g_framesCounted == 0) {
    std::fprintf(stderr, "bench_allocations: the program run failed (exit %d)\n", code);
    return 1;
  }
  const double frames = static_cast<double>(g_framesCounted);
  std::printf("frames %ld\nours %ld\ntheirs %ld\nunknown %ld\n", g_framesCounted, g_ours.load(), g_theirs.load(),
              g_unknown.load());
  std::printf("oursPerFrame %.3f\ntheirsPerFrame %.1f\n", g_ours.load() / frames, g_theirs.load() / frames);
  for (const Site& site : g_sites) {
    if (site.address.load() != 0)
      std::printf("site 0x%lx %ld\n", static_cast<unsigned long>(site.address.load()), site.count.load());
  }
  return 0;
}
