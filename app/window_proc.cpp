// The demo window's procedure: quit, replay the sample, jump the music.
#include "app/shell.h"
#include "audio/bass.h"
#include "sequence/music.h"

const SeekKey kSeekKeys[kSeekKeyCount] = {
    {VK_F1, 6.8f}, {VK_F2, 17.6f}, {VK_F3, 59.5f},   {VK_F4, 62.0f},
    {VK_F5, 90.0f}, {VK_F6, 105.0f}, {VK_F7, 129.02f}, {VK_F8, 155.87f},
};

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
  if (key == VK_ESCAPE) {
    Quit();
    return;
  }
  if (key == VK_SPACE) {
    BASS_SampleStop(g_sample);
    BASS_SamplePlay(g_sample);
    return;
  }
  for (const SeekKey& seek : kSeekKeys) {
    if (seek.key == key) {
      SeekMusic(seek.seconds);
      return;
    }
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
