// The page's entry: the bitmaps unpacked into the resource table, then the
// program's WinMain, in real time, or frame-exact when the page's query asks
// for a deterministic run (the tests' harness does):
//   ?lockstep=FPS&size=WxH&keys=T:KEY,...&shots=T,T,...
// renders on the virtual clock with offline audio and hands the frame at or
// after each shot time to the page (Module.onFrame, window.sgFrames). A
// real-time run offers a touch screen the strip of the program's keys.
#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "app/shell.h"
#include "lockstep.h"
#include "sequence/music.h"
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

// The largest side WebGL can draw into here (viewport and renderbuffer),
// asked of a context of its own before the page's surface is made.
EM_JS(int, sgweb_largest_surface, (), {
  const gl = document.createElement('canvas').getContext('webgl2');
  if (!gl) return 4096;
  const viewport = gl.getParameter(gl.MAX_VIEWPORT_DIMS);
  const largest = Math.min(viewport[0], viewport[1], gl.getParameter(gl.MAX_RENDERBUFFER_SIZE));
  const lose = gl.getExtension('WEBGL_lose_context');
  if (lose) lose.loseContext();
  return largest;
});

// The music position as the program last read it, for the page's tests:
// Module.sgMusicSeconds().
EM_JS(void, sgweb_expose_music_position, (const float* seconds), {
  Module.sgMusicSeconds = () => HEAPF32[seconds >> 2];
});

constexpr size_t kMaxShots = 4096;

std::string Query(const char* name) {
  std::string value;
  return sgweb::QueryValue(name, value) ? value : "";
}

// "2,21.6,...": false on a time that is no number of seconds, or on too many.
bool ParseTimes(const std::string& text, std::vector<double>& times) {
  times.clear();
  std::istringstream items(text);
  std::string item;
  while (std::getline(items, item, ',')) {
    char* end = nullptr;
    double seconds = std::strtod(item.c_str(), &end);
    if (item.empty() || *end != '\0' || !(seconds >= 0.0) || times.size() == kMaxShots) return false;
    times.push_back(seconds);
  }
  return true;
}

// False with what was wrong in `error`.
bool InstallDeterministicRun(std::string& error) {
  std::string rate = Query("lockstep");
  if (rate.empty()) return true;
  sglockstep::Options options;
  if (!sglockstep::ParseFrameRate(rate, options.rate)) {
    error = "lockstep wants frames a second, for example 30 or 60000/1001";
    return false;
  }
  std::string size = Query("size");
  if (!size.empty() &&
      !sglockstep::ParseSurfaceSize(size, sgweb_largest_surface(), options.width, options.height, error))
    return false;
  std::string keys = Query("keys");
  if (!keys.empty() && !sglockstep::ParseKeySchedule(keys, options.keys, error)) return false;
  static std::vector<double> shots;
  if (!ParseTimes(Query("shots"), shots)) {
    error = "shots wants times in seconds, at most " + std::to_string(kMaxShots);
    return false;
  }
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

// One button a seek key, labelled with the time it jumps to; then the
// sample and the way out.
std::vector<sgweb::TouchButton> TouchButtons() {
  std::vector<sgweb::TouchButton> buttons;
  for (const SeekKey& seek : kSeekKeys) {
    char label[32];
    std::snprintf(label, sizeof label, "%g s", static_cast<double>(seek.seconds));
    buttons.push_back({label, static_cast<int>(seek.key)});
  }
  buttons.push_back({"Sample", VK_SPACE});
  buttons.push_back({"Leave", VK_ESCAPE});
  return buttons;
}

}  // namespace

int main() {
  sgweb::StartPage();
  if (!sgweb::UnpackBitmaps()) {
    std::fprintf(stderr, "stormglass: the pictures could not be loaded\n");
    sgweb::ReportExit(1);
    return 1;
  }
  std::string error;
  if (!InstallDeterministicRun(error)) {
    std::fprintf(stderr, "stormglass: bad lockstep, size, keys or shots in the page's address\n%s\n", error.c_str());
    sgweb::ReportExit(2);
    return 2;
  }
  if (Query("lockstep").empty()) sgweb::OfferTouchControls(TouchButtons());
  sgweb_expose_music_position(&g_musicSeconds);
  char commandLine[] = "";
  int code = WinMain(GetModuleHandleA(NULL), NULL, commandLine, SW_SHOW);
  sgweb::ReportExit(code);
  return code;
}
