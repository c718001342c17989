#include "tools/content/music/instruments.h"

#include <algorithm>
#include <cmath>

namespace sgcontent {
namespace synth {

namespace {

constexpr double kTwoPi = 6.283185307179586;

// The samples a note covers, clipped to the buffer.
struct Span {
  size_t begin = 0;
  size_t end = 0;
};

Span SpanOf(const Buffer& out, double at, double seconds) {
  Span span;
  double first = std::max(0.0, std::round(at * kRate));
  double last = std::max(first, std::round((at + seconds) * kRate));
  span.begin = std::min(out.size(), static_cast<size_t>(first));
  span.end = std::min(out.size(), static_cast<size_t>(last));
  return span;
}

// Removes the step of a naive saw or square at its discontinuity, so the
// oscillators do not alias (polynomial band-limited step).
double PolyBlep(double phase, double step) {
  if (phase < step) {
    double t = phase / step;
    return t + t - t * t - 1.0;
  }
  if (phase > 1.0 - step) {
    double t = (phase - 1.0) / step;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}

double Saw(double phase, double step) { return 2.0 * phase - 1.0 - PolyBlep(phase, step); }

// Phases stay in [0, 1) and steps are far below 1.
double Wrap(double phase) { return phase >= 1.0 ? phase - 1.0 : phase; }

double Square(double phase, double step) {
  double value = phase < 0.5 ? 1.0 : -1.0;
  return value + PolyBlep(phase, step) - PolyBlep(Wrap(phase + 0.5), step);
}

// exp(−t/τ) advanced by one multiplication a sample.
class Decay {
 public:
  explicit Decay(double tau) : factor_(std::exp(-1.0 / (tau * kRate))) {}
  double Next() {
    double now = value_;
    value_ *= factor_;
    return now;
  }

 private:
  double factor_;
  double value_ = 1.0;
};

// One-pole low-pass coefficient for a cut-off in Hz.
double LowPassCoefficient(double cutoffHz) { return 1.0 - std::exp(-kTwoPi * cutoffHz / kRate); }

// Attack, then hold, then a linear release after `length`.
double NoteEnvelope(double t, double length, double attack, double release) {
  if (t < attack) return t / attack;
  if (t < length) return 1.0;
  return std::max(0.0, 1.0 - (t - length) / release);
}

}  // namespace

float Noise::Next() {
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return static_cast<float>(state_ >> 8) / 8388608.0f - 1.0f;
}

double NoteHz(int midiNote) { return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0); }

void AddKick(Buffer& out, double at, float gain) {
  const double kEndHz = 48.0, kStartHz = 160.0, kSweep = 0.03, kDecay = 0.11;
  Span span = SpanOf(out, at, 0.45);
  Decay sweep(kSweep), level(kDecay);
  for (size_t i = span.begin; i < span.end; ++i) {
    double t = static_cast<double>(i - span.begin) / kRate;
    // Phase of the exponential sweep, integrated in closed form.
    double phase = kEndHz * t + (kStartHz - kEndHz) * kSweep * (1.0 - sweep.Next());
    double body = std::sin(kTwoPi * phase) * level.Next();
    double click = t < 0.004 ? (1.0 - t / 0.004) * 0.3 : 0.0;
    out[i] += gain * static_cast<float>(body * std::min(1.0, t / 0.002) + click);
  }
}

void AddSnare(Buffer& out, double at, float gain, Noise& noise) {
  Span span = SpanOf(out, at, 0.3);
  double previous = 0.0;
  Decay toneLevel(0.05), hissLevel(0.09);
  for (size_t i = span.begin; i < span.end; ++i) {
    double t = static_cast<double>(i - span.begin) / kRate;
    double white = noise.Next();
    double bright = white - previous;  // first difference: the hiss without the rumble
    previous = white;
    double tone = std::sin(kTwoPi * 185.0 * t) * toneLevel.Next();
    out[i] += gain * static_cast<float>(0.55 * tone + 0.6 * bright * hissLevel.Next());
  }
}

void AddHat(Buffer& out, double at, float gain, bool open, Noise& noise) {
  double decay = open ? 0.16 : 0.025;
  Span span = SpanOf(out, at, decay * 5.0);
  double previous = 0.0, before = 0.0;
  Decay level(decay);
  for (size_t i = span.begin; i < span.end; ++i) {
    double white = noise.Next();
    double hiss = white - 2.0 * previous + before;  // second difference: only the top
    before = previous;
    previous = white;
    out[i] += gain * static_cast<float>(0.5 * hiss * level.Next());
  }
}

void AddCrash(Buffer& out, double at, float gain, Noise& noise) {
  Span span = SpanOf(out, at, 2.5);
  double previous = 0.0;
  Decay level(0.7);
  for (size_t i = span.begin; i < span.end; ++i) {
    double white = noise.Next();
    double hiss = white - previous;
    previous = white;
    out[i] += gain * static_cast<float>(0.5 * hiss * level.Next());
  }
}

void AddBass(Buffer& out, double at, double length, int midiNote, float gain) {
  const double release = 0.03;
  Span span = SpanOf(out, at, length + release);
  double step = NoteHz(midiNote) / kRate;
  double phase = 0.0, filtered = 0.0, coefficient = 0.0;
  Decay opening(0.06);
  for (size_t i = span.begin; i < span.end; ++i) {
    double t = static_cast<double>(i - span.begin) / kRate;
    // The filter closes after the attack: a pluck at the front, round after.
    // It moves slowly, so its coefficient is refreshed every 16 samples.
    double open = opening.Next();
    if ((i - span.begin) % 16 == 0) coefficient = LowPassCoefficient(300.0 + 1400.0 * open);
    filtered += coefficient * (Saw(phase, step) - filtered);
    phase = Wrap(phase + step);
    out[i] += gain * static_cast<float>(filtered * NoteEnvelope(t, length, 0.004, release));
  }
}

void AddPad(Buffer& out, double at, double length, int midiNote, float gain) {
  const double attack = 0.25, release = 0.6;
  Span span = SpanOf(out, at, length + release);
  double hz = NoteHz(midiNote);
  double stepA = hz * 1.003 / kRate, stepB = hz * 0.997 / kRate;
  double phaseA = 0.0, phaseB = 0.37, filtered = 0.0;
  double coefficient = LowPassCoefficient(1800.0);
  for (size_t i = span.begin; i < span.end; ++i) {
    double t = static_cast<double>(i - span.begin) / kRate;
    double raw = 0.5 * (Saw(phaseA, stepA) + Saw(phaseB, stepB));
    filtered += coefficient * (raw - filtered);
    phaseA = Wrap(phaseA + stepA);
    phaseB = Wrap(phaseB + stepB);
    out[i] += gain * static_cast<float>(filtered * NoteEnvelope(t, length, attack, release));
  }
}

void AddLead(Buffer& out, double at, double length, int midiNote, float gain) {
  const double release = 0.08;
  Span span = SpanOf(out, at, length + release);
  double hz = NoteHz(midiNote);
  double phase = 0.0, filtered = 0.0;
  double coefficient = LowPassCoefficient(2600.0);
  double step = hz / kRate;
  for (size_t i = span.begin; i < span.end; ++i) {
    double t = static_cast<double>(i - span.begin) / kRate;
    // Vibrato fades in, as a player would add it to a held note; it is slow,
    // so the pitch is refreshed every 32 samples.
    if ((i - span.begin) % 32 == 0) {
      step = hz * (1.0 + 0.004 * std::min(1.0, t / 0.4) * std::sin(kTwoPi * 5.5 * t)) / kRate;
    }
    filtered += coefficient * (Square(phase, step) - filtered);
    phase = Wrap(phase + step);
    out[i] += gain * static_cast<float>(filtered * NoteEnvelope(t, length, 0.01, release));
  }
}

void AddPluck(Buffer& out, double at, int midiNote, float gain, float brightness) {
  Span span = SpanOf(out, at, 0.25);
  double step = NoteHz(midiNote) / kRate;
  double phase = 0.0, filtered = 0.0;
  double coefficient = LowPassCoefficient(800.0 + 4000.0 * brightness);
  Decay level(0.07);
  for (size_t i = span.begin; i < span.end; ++i) {
    double t = static_cast<double>(i - span.begin) / kRate;
    double triangle = 1.0 - 4.0 * std::fabs(phase - 0.5);
    double raw = 0.6 * triangle + 0.4 * Saw(phase, step);
    filtered += coefficient * (raw - filtered);
    phase = Wrap(phase + step);
    out[i] += gain * static_cast<float>(filtered * std::min(1.0, t / 0.003) * level.Next());
  }
}

void AddBell(Buffer& out, double at, double length, int midiNote, float gain) {
  Span span = SpanOf(out, at, length);
  double hz = NoteHz(midiNote);
  for (size_t i = span.begin; i < span.end; ++i) {
    double t = static_cast<double>(i - span.begin) / kRate;
    // A non-integer ratio gives the inharmonic partials of struck metal; the
    // index falls faster than the level, so the strike is brighter than the ring.
    double index = 3.0 * std::exp(-t / 0.15);
    double modulator = std::sin(kTwoPi * hz * 1.4 * t);
    double value = std::sin(kTwoPi * hz * t + index * modulator);
    double fade = std::min(1.0, (length - t) / 0.05);
    out[i] += gain * static_cast<float>(value * std::min(1.0, t / 0.002) * std::exp(-t / 0.35) * fade);
  }
}

void AddEcho(Buffer& buffer, double delay, float feedback, float mix) {
  size_t lag = static_cast<size_t>(std::round(delay * kRate));
  if (lag == 0 || lag >= buffer.size()) return;
  Buffer echo(buffer.size(), 0.0f);
  for (size_t i = lag; i < buffer.size(); ++i) echo[i] = buffer[i - lag] + feedback * echo[i - lag];
  for (size_t i = 0; i < buffer.size(); ++i) buffer[i] += mix * echo[i];
}

}  // namespace synth
}  // namespace sgcontent
