// The frames the scene benchmark draws: each scene in turn for a number of
// frames at 60 frames a second of both clocks, starting inside its window,
// within the attribute bracket the timeline puts around it. Shared by the
// real-OpenGL run and the run with OpenGL calls made empty.
#pragma once

#include <string>

#include "sequence/show.h"

namespace benchscenes {

struct SceneRun {
  int scene;                // 1 to 5, in the show's table
  float firstMusicSeconds;  // inside the scene's window
  const char* Name() const { return SceneUnitFor(scene).name; }
};

extern const SceneRun kSceneRuns[5];

// The state content setup leaves, the virtual frame clock and the music
// (the soundtrack at soundtrackPath on the offline output, when it opens;
// otherwise no stream). Returns a note on what was set up.
std::string PrepareScenes(bool loadTextures, const std::string& soundtrackPath);
// Sets both clocks and the frame delta for frame `index` of run `run`, then
// draws that frame in its bracket, as the timeline does (scene 4 with the
// model). Does not wait for OpenGL.
void DrawSceneFrame(const SceneRun& run, int index);

}  // namespace benchscenes
