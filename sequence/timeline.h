// The timeline: the music position picks the scene drawn in each frame.
// Main thread, context current.
#pragma once

// The music position at which the show ends.
constexpr float kShowEndSeconds = 74.0f;

void DrawFrame();
