// The page's side of the back end, in JavaScript. Event handlers only queue
// what happened: the program takes it at its next yield, never while it is
// suspended in one.
#include "web/web_page.h"

#include <emscripten.h>

#include <vector>

namespace sgweb {

namespace {

// Keys the browser would act on itself (F5 reloads, Space scrolls, Tab
// leaves the page) are kept for the program.
EM_JS(void, sgweb_start_page, (), {
  if (Module.sgPage) return;
  const page = {events: [], canvas: document.getElementById('canvas')};
  Module.sgPage = page;
  const kept = new Set([8, 9, 13, 27, 32, 33, 34, 35, 36, 37, 38, 39, 40]);
  const keep = (e) => { if (kept.has(e.keyCode) || (e.keyCode >= 112 && e.keyCode <= 123)) e.preventDefault(); };
  window.addEventListener('keydown', (e) => { keep(e); page.events.push([1, e.keyCode, e.shiftKey ? 1 : 0]); });
  window.addEventListener('keyup', (e) => { keep(e); page.events.push([2, e.keyCode, e.shiftKey ? 1 : 0]); });
  window.addEventListener('pagehide', () => page.events.push([3, 0, 0]));
  const dialog = document.getElementById('dialog');
  if (dialog) {
    const at = (e) => {
      const r = dialog.getBoundingClientRect();
      return [Math.floor((e.clientX - r.left) * dialog.width / r.width),
              Math.floor((e.clientY - r.top) * dialog.height / r.height)];
    };
    // Pointer events: a mouse, a pen or a finger alike. A touch taken here
    // brings no emulated mouse events after it, nor a scroll or a zoom.
    dialog.style.touchAction = 'none';
    dialog.addEventListener('pointerdown', (e) => {
      if (e.button !== 0) return;
      e.preventDefault();
      dialog.setPointerCapture(e.pointerId);
      page.events.push([4, ...at(e)]);
    });
    dialog.addEventListener('pointerup', (e) => { if (e.button === 0) page.events.push([5, ...at(e)]); });
    dialog.addEventListener('pointermove', (e) => page.events.push([6, ...at(e)]));
  }
});

EM_JS(int, sgweb_take_event, (int* a, int* b), {
  const e = Module.sgPage ? Module.sgPage.events.shift() : undefined;
  if (!e) return 0;
  HEAP32[a >> 2] = e[1];
  HEAP32[b >> 2] = e[2];
  return e[0];
});

// The strip's buttons, each typing its key as the keyboard does. One acts
// only for a press that began on it, and its tap makes no click: the strip
// comes up where GO! was, "Play again" where "Leave" was, and the click a
// browser makes after a tap lands on whatever is there by then. They take
// no focus, so a keyboard's Space never presses one.
EM_JS(void, sgweb_add_strip_buttons, (const char* labels, const int* keys, int count), {
  const page = Module.sgPage;
  const strip = document.getElementById('strip');
  if (!strip) return;
  const names = UTF8ToString(labels).split('\n');
  let pressed = null;
  for (let i = 0; i < count; ++i) {
    const key = HEAP32[(keys >> 2) + i];
    const button = document.createElement('button');
    button.type = 'button';
    button.tabIndex = -1;
    button.textContent = names[i];
    button.addEventListener('pointerdown', (e) => { e.preventDefault(); pressed = button; });
    button.addEventListener('pointercancel', () => { pressed = null; });
    button.addEventListener('pointerup', () => {
      if (pressed === button) page.events.push([1, key, 0], [2, key, 0]);
      pressed = null;
    });
    strip.appendChild(button);
  }
  strip.addEventListener('touchend', (e) => e.preventDefault());
});

// The strip shows while the show plays on a device known to have a touch
// screen: a coarse pointer, or a touch already seen. A touch on the strip
// keeps it up; one elsewhere brings it up or puts it away.
EM_JS(void, sgweb_start_strip, (), {
  const page = Module.sgPage;
  const strip = document.getElementById('strip');
  if (!strip) return;
  const hideAfterMilliseconds = 3000;
  let touchScreen = matchMedia('(pointer: coarse)').matches, playing = false, timer = 0;
  const show = (visible) => {
    clearTimeout(timer);
    strip.hidden = !visible;
    if (visible) timer = setTimeout(() => show(false), hideAfterMilliseconds);
  };
  page.strip = {playing: (now) => { playing = now; show(playing && touchScreen); }};
  window.addEventListener('pointerdown', (e) => {
    if (e.pointerType !== 'touch') return;
    touchScreen = true;
    if (playing) show(strip.contains(e.target) || strip.hidden);
  }, true);
});

EM_JS(void, sgweb_set_canvas_size, (int width, int height), {
  const canvas = document.getElementById('canvas');
  canvas.width = width;
  canvas.height = height;
});

EM_JS(void, sgweb_show_canvas, (int show), {
  document.getElementById('canvas').style.visibility = show ? 'visible' : 'hidden';
  if (Module.sgPage && Module.sgPage.strip) Module.sgPage.strip.playing(!!show);
});

EM_JS(void, sgweb_show_cursor, (int visible), {
  document.getElementById('canvas').style.cursor = visible ? 'auto' : 'none';
});

EM_JS(void, sgweb_request_fullscreen, (int fullscreen), {
  const page = document.documentElement;
  try {
    if (fullscreen && !document.fullscreenElement && page.requestFullscreen) {
      page.requestFullscreen().catch(() => {});
    } else if (!fullscreen && document.fullscreenElement) {
      document.exitFullscreen().catch(() => {});
    }
  } catch (e) {
  }
});

EM_ASYNC_JS(void, sgweb_next_frame, (), { await new Promise((wake) => requestAnimationFrame(() => wake())); });

// The bytes the value takes with its terminator (0 when absent); copied
// only when `capacity` holds them all.
EM_JS(int, sgweb_query_value, (const char* name, char* value, int capacity), {
  const found = new URLSearchParams(location.search).get(UTF8ToString(name));
  if (found === null) return 0;
  const bytes = lengthBytesUTF8(found) + 1;
  if (bytes <= capacity) stringToUTF8(found, value, capacity);
  return bytes;
});

EM_JS(void, sgweb_report_exit, (int code), {
  if (Module.sgPage && Module.sgPage.strip) Module.sgPage.strip.playing(false);
  if (Module.onProgramExit) Module.onProgramExit(code);
});

}  // namespace

void StartPage() { sgweb_start_page(); }

PageEvent TakeEvent() {
  PageEvent event;
  int kind = sgweb_take_event(&event.a, &event.b);
  event.kind = static_cast<PageEvent::Kind>(kind);
  return event;
}

void OfferTouchControls(const std::vector<TouchButton>& buttons) {
  std::string labels;  // one a line
  std::vector<int> keys;
  for (const TouchButton& button : buttons) {
    if (!keys.empty()) labels += '\n';
    labels += button.label;
    keys.push_back(button.key);
  }
  sgweb_add_strip_buttons(labels.c_str(), keys.data(), static_cast<int>(keys.size()));
  sgweb_start_strip();
}

void SetCanvasSize(int width, int height) { sgweb_set_canvas_size(width, height); }
void ShowCanvas(bool show) { sgweb_show_canvas(show ? 1 : 0); }
void ShowCursor(bool visible) { sgweb_show_cursor(visible ? 1 : 0); }
void RequestFullscreen(bool fullscreen) { sgweb_request_fullscreen(fullscreen ? 1 : 0); }

void YieldToBrowser(bool untilNextFrame) {
  if (untilNextFrame) {
    sgweb_next_frame();
  } else {
    emscripten_sleep(0);
  }
}

double NowMilliseconds() { return emscripten_get_now(); }

bool QueryValue(const char* name, std::string& value) {
  int bytes = sgweb_query_value(name, nullptr, 0);
  if (bytes == 0) return false;
  std::vector<char> text(static_cast<size_t>(bytes), '\0');
  sgweb_query_value(name, text.data(), bytes);
  value = text.data();
  return true;
}

void ReportExit(int code) { sgweb_report_exit(code); }

}  // namespace sgweb
