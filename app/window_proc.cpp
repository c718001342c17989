// The demo window's procedure: quit, replay the sample, jump the music.
#include "app/shell.h"
#include "audio/bass.h"
#include "sequence/music.h"
#include "sequence/show_course.h"

namespace {

void SeekMusic(float seconds) {
  QWORD position = BASS_ChannelSeconds2Bytes(g_music, seconds);
  BASS_ChannelSetPosition(g_music, position);
}

void Quit() {
  g_running = 0;
  PostQuitMessage(0);
}

void OnKeyDown(WPARAM key) {
  KeyEffect effect = EffectOfKey(key);
  switch (effect.action) {
    case KeyAction::Quit:  // Esc
      Quit();
      break;
    case KeyAction::ReplaySample:  // Space: from its beginning
      BASS_SampleStop(g_sample);
      BASS_SamplePlay(g_sample);
      break;
    case KeyAction::Seek:  // F1 to F8
      SeekMusic(effect.seekSeconds);
      break;
    case KeyAction::Nothing:
      break;
  }
}

}  // namespace

LRESULT CALLBACK DemoWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  switch (uMsg) {
    case WM_CREATE:
      g_frameTime = 0.0f;
      break;
    case WM_CLOSE:
      Quit();
      break;
    case WM_KEYDOWN:
      OnKeyDown(wParam);
      break;
    default:
      break;
  }
  return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}
