// The timeline: the music position picks the scene drawn in each frame.
// Main thread, context current.
#pragma once

void DrawFrame();
