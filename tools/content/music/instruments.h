// The soundtrack's instruments: each adds one note or hit into a mono float
// buffer at 44.1 kHz (full scale ±1), clipped to the buffer's end.
// Deterministic; the caller owns the buffer and the noise source.
#pragma once

#include <cstdint>
#include <vector>

namespace sgcontent {
namespace synth {

constexpr int kRate = 44100;

using Buffer = std::vector<float>;

// xorshift32: the same noise on every platform.
class Noise {
 public:
  explicit Noise(uint32_t seed) : state_(seed ? seed : 1u) {}
  float Next();  // uniform in [-1, 1)

 private:
  uint32_t state_;
};

double NoteHz(int midiNote);

// A sine swept from 160 Hz down to 48 Hz in a few tens of milliseconds and
// held there while it decays: the weight sits in the lowest bands.
void AddKick(Buffer& out, double at, float gain);
void AddSnare(Buffer& out, double at, float gain, Noise& noise);
void AddHat(Buffer& out, double at, float gain, bool open, Noise& noise);
void AddCrash(Buffer& out, double at, float gain, Noise& noise);
// Filtered saw; `length` in seconds before a short release.
void AddBass(Buffer& out, double at, double length, int midiNote, float gain);
// Two detuned saws, slow attack and release.
void AddPad(Buffer& out, double at, double length, int midiNote, float gain);
// Soft square with vibrato.
void AddLead(Buffer& out, double at, double length, int midiNote, float gain);
// Short plucked triangle for arpeggios; `brightness` 0..1 opens its filter.
void AddPluck(Buffer& out, double at, int midiNote, float gain, float brightness);
// Frequency-modulated bell.
void AddBell(Buffer& out, double at, double length, int midiNote, float gain);

// Feedback delay in place (an echo of `delay` seconds).
void AddEcho(Buffer& buffer, double delay, float feedback, float mix);

}  // namespace synth
}  // namespace sgcontent
