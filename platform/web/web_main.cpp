// The page's entry: the bitmaps unpacked into the resource table, then the
// program's WinMain, in real time, or frame-exact when the page's query asks
// for a deterministic run (the tests' harness does):
//   ?lockstep=FPS&size=WxH&keys=T:KEY,...&shots=T,T,...
// renders on the virtual clock with offline audio and hands the frame at or
// after each shot time to the page (Module.onFrame, window.sgFrames).
#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "lockstep.h"
#include "web/web_page.h"
#include "web/web_resources.h"
#include "win32.h"

namespace {

EM_JS(void, sgweb_hand_frame, (int index, double seconds, int width, int height, const unsigned char* rgb), {
  const frame = {index: index, seconds: seconds, width: width, height: height, at: performance.now(),
                 rgb: HEAPU8.slice(rgb, rgb + width * height * 3)};
  if (Module.onFrame) Module.onFrame(frame);
  if (window.sgFrames) window.sgFrames.push(frame);
});

std::string Query(const char* name) {
  std::vector<char> value(4096, '\0');
  if (!sgweb::QueryValue(name, value.data(), static_cast<int>(value.size()))) return "";
  return value.data();
}

std::vector<double> ParseTimes(const std::string& text) {
  std::vector<double> times;
  std::istringstream items(text);
  std::string item;
  while (std::getline(items, item, ',')) times.push_back(std::strtod(item.c_str(), nullptr));
  return times;
}

bool InstallDeterministicRun() {
  std::string rate = Query("lockstep");
  if (rate.empty()) return true;
  sglockstep::Options options;
  if (!sglockstep::ParseFrameRate(rate, options.rate)) return false;
  std::string size = Query("size");
  if (!size.empty() && std::sscanf(size.c_str(), "%dx%d", &options.width, &options.height) != 2) return false;
  std::string error;
  std::string keys = Query("keys");
  if (!keys.empty() && !sglockstep::ParseKeySchedule(keys, options.keys, error)) return false;
  static std::vector<double> shots;
  shots = ParseTimes(Query("shots"));
  options.onFrame = [](const host::FrameInfo& frame, double seconds) {
    static size_t next = 0;
    if (next >= shots.size() || seconds + 1e-9 < shots[next]) return;
    while (next < shots.size() && seconds + 1e-9 >= shots[next]) ++next;
    std::vector<unsigned char> rgb;
    int width = 0, height = 0;
    host::ReadBackBuffer(rgb, width, height);
    sgweb_hand_frame(frame.index, seconds, width, height, rgb.data());
  };
  sglockstep::Install(options);
  return true;
}

}  // namespace

int main() {
  sgweb::StartPage();
  if (!sgweb::UnpackBitmaps()) {
    std::fprintf(stderr, "stormglass: the pictures could not be loaded\n");
    sgweb::ReportExit(1);
    return 1;
  }
  if (!InstallDeterministicRun()) {
    std::fprintf(stderr, "stormglass: bad lockstep, size, keys or shots in the page's address\n");
    sgweb::ReportExit(2);
    return 2;
  }
  char commandLine[] = "";
  int code = WinMain(GetModuleHandleA(NULL), NULL, commandLine, SW_SHOW);
  sgweb::ReportExit(code);
  return code;
}
