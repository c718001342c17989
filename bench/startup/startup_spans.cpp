#include "startup_spans.h"

#include <time.h>

#include <cstdint>

#include "audio/bass.h"
#include "opengl.h"
#include "win32.h"

class Model_3DS;
class GLTexture;

namespace benchstartup {

namespace {

std::vector<Span>& AllSpans() {
  static std::vector<Span> spans;
  return spans;
}

Span& Named(const char* name) {
  for (Span& span : AllSpans()) {
    if (span.name == name) return span;
  }
  AllSpans().push_back(Span{name, 0, 0.0});
  return AllSpans().back();
}

// Adds the lifetime of the object to the span (the reference is taken on
// exit: nested spans may have grown the list meanwhile).
class Timed {
 public:
  explicit Timed(const char* name) : name_(name), start_(MonotonicSeconds()) { Named(name_); }
  ~Timed() {
    Span& span = Named(name_);
    ++span.calls;
    span.seconds += MonotonicSeconds() - start_;
  }

 private:
  const char* name_;
  double start_;
};

}  // namespace

std::vector<Span> Spans() { return AllSpans(); }

double MonotonicSeconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

}  // namespace benchstartup

using benchstartup::Timed;

// The linker sends the program's calls to __wrap_<symbol>; __real_<symbol>
// is the original.
extern "C" {
INT_PTR __real__Z15DialogBoxParamAP11HINSTANCE__PKcP6HWND__PFlS4_jmlEl(HINSTANCE, LPCSTR, HWND, DLGPROC, LPARAM);
BOOL __real__Z16CreateDemoWindowPKciiii(const char*, int, int, int, int);
void __real__Z11InitContentv();
void __real__Z14InitFrameTimerv();
void __real__Z10InitScene1v();
void __real__Z10InitScene2v();
void __real__Z10InitScene3v();
void __real__Z10InitScene4v();
void __real__Z10InitScene5v();
void __real__Z14InitExtraScenev();
GLuint __real__Z17LoadBitmapTexturei(int);
void __real__Z18CreateStripTexturev();
void __real__ZN9Model_3DS12LoadFromFileEPc(Model_3DS*, char*);
void __real__ZN9GLTexture16CreateSolidColorEhhh(GLTexture*, unsigned char, unsigned char, unsigned char);
bool __real__Z10StartAudiov();
BOOL __real__Z9BASS_InitijjP6HWND__(int, DWORD, DWORD, HWND);
HSTREAM __real__Z21BASS_StreamCreateFileiPKvjjj(BOOL, const void*, DWORD, DWORD, DWORD);
HSAMPLE __real__Z15BASS_SampleLoadiPKvjjjj(BOOL, const void*, DWORD, DWORD, DWORD, DWORD);

INT_PTR __wrap__Z15DialogBoxParamAP11HINSTANCE__PKcP6HWND__PFlS4_jmlEl(HINSTANCE i, LPCSTR t, HWND w, DLGPROC p,
                                                                       LPARAM l) {
  Timed timed("setup dialog");
  return __real__Z15DialogBoxParamAP11HINSTANCE__PKcP6HWND__PFlS4_jmlEl(i, t, w, p, l);
}
BOOL __wrap__Z16CreateDemoWindowPKciiii(const char* title, int width, int height, int bits, int fullscreen) {
  Timed timed("window and OpenGL context");
  return __real__Z16CreateDemoWindowPKciiii(title, width, height, bits, fullscreen);
}
void __wrap__Z11InitContentv() {
  Timed timed("content setup");
  __real__Z11InitContentv();
}
void __wrap__Z14InitFrameTimerv() {
  Timed timed("frame timer");
  __real__Z14InitFrameTimerv();
}
void __wrap__Z10InitScene1v() {
  Timed timed("scene 1 init");
  __real__Z10InitScene1v();
}
void __wrap__Z14InitExtraScenev() {
  Timed timed("extra scene init");
  __real__Z14InitExtraScenev();
}
void __wrap__Z10InitScene4v() {
  Timed timed("scene 4 init");
  __real__Z10InitScene4v();
}
void __wrap__Z10InitScene5v() {
  Timed timed("scene 5 init");
  __real__Z10InitScene5v();
}
void __wrap__Z10InitScene3v() {
  Timed timed("scene 3 init");
  __real__Z10InitScene3v();
}
void __wrap__Z10InitScene2v() {
  Timed timed("scene 2 init");
  __real__Z10InitScene2v();
}
GLuint __wrap__Z17LoadBitmapTexturei(int id) {
  Timed timed("bitmap loads");
  return __real__Z17LoadBitmapTexturei(id);
}
void __wrap__Z18CreateStripTexturev() {
  Timed timed("strip texture");
  __real__Z18CreateStripTexturev();
}
void __wrap__ZN9Model_3DS12LoadFromFileEPc(Model_3DS* model, char* name) {
  Timed timed("model load");
  __real__ZN9Model_3DS12LoadFromFileEPc(model, name);
}
void __wrap__ZN9GLTexture16CreateSolidColorEhhh(GLTexture* texture, unsigned char r, unsigned char g, unsigned char b) {
  Timed timed("solid-colour textures");
  __real__ZN9GLTexture16CreateSolidColorEhhh(texture, r, g, b);
}
bool __wrap__Z10StartAudiov() {
  Timed timed("audio start");
  return __real__Z10StartAudiov();
}
BOOL __wrap__Z9BASS_InitijjP6HWND__(int device, DWORD rate, DWORD flags, HWND window) {
  Timed timed("audio output open");
  return __real__Z9BASS_InitijjP6HWND__(device, rate, flags, window);
}
HSTREAM __wrap__Z21BASS_StreamCreateFileiPKvjjj(BOOL mem, const void* file, DWORD offset, DWORD length, DWORD flags) {
  Timed timed("soundtrack open and decode");
  return __real__Z21BASS_StreamCreateFileiPKvjjj(mem, file, offset, length, flags);
}
HSAMPLE __wrap__Z15BASS_SampleLoadiPKvjjjj(BOOL mem, const void* file, DWORD offset, DWORD length, DWORD max,
                                           DWORD flags) {
  Timed timed("sample load");
  return __real__Z15BASS_SampleLoadiPKvjjjj(mem, file, offset, length, max, flags);
}
}
