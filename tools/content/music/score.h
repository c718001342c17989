// The soundtrack's score and its rendering to a mono float buffer at 44.1 kHz
// (full scale ±1). Deterministic; caller's thread.
#pragma once

#include <vector>

namespace sgcontent {
namespace score {

constexpr double kBeatSeconds = 0.45;  // 133⅓ beats a minute
constexpr double kBarSeconds = 4 * kBeatSeconds;
constexpr int kBars = 100;
constexpr double kLengthSeconds = kBars * kBarSeconds + 2.0;  // a short tail to ring out

std::vector<float> RenderSoundtrack();
std::vector<float> RenderChime();

}  // namespace score
}  // namespace sgcontent
