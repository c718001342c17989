// What the portable Win32 code asks of the video back end. Main thread only.
#pragma once

namespace sgwin {

struct Window;

namespace video {

// Moves pending display events (keys, close requests) into the message queue.
void PumpEvents();
// The window is gone for the program: hide its surface, and free it once no
// GL context still needs it.
void OnWindowDestroyed(Window& window);

}  // namespace video
}  // namespace sgwin
