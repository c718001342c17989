#include "sequence/show_course.h"

const SeekKey kSeekKeys[kSeekKeyCount] = {
    {VK_F1, 6.8f}, {VK_F2, 17.6f}, {VK_F3, 59.5f},   {VK_F4, 62.0f},
    {VK_F5, 90.0f}, {VK_F6, 105.0f}, {VK_F7, 129.02f}, {VK_F8, 155.87f},
};

KeyEffect EffectOfKey(WPARAM key) {
  if (key == VK_ESCAPE) return {KeyAction::Quit, 0.0f};
  if (key == VK_SPACE) return {KeyAction::ReplaySample, 0.0f};
  for (const SeekKey& seek : kSeekKeys) {
    if (seek.key == key) return {KeyAction::Seek, seek.seconds};
  }
  return {KeyAction::Nothing, 0.0f};
}

ShowCourse CourseAfterKey(ShowCourse course, WPARAM key, double musicLengthSeconds) {
  if (course.quit) return course;
  KeyEffect effect = EffectOfKey(key);
  if (effect.action == KeyAction::Quit) course.quit = true;
  if (effect.action == KeyAction::Seek && effect.seekSeconds < musicLengthSeconds) {
    course.musicSeconds = effect.seekSeconds;
  }
  return course;
}

bool ShowEndsAt(float musicSeconds) { return musicSeconds >= kShowEndSeconds; }
