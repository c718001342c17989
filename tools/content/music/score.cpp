#include "tools/content/music/score.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "tools/content/music/instruments.h"

namespace sgcontent {
namespace score {

namespace {

using synth::Buffer;

constexpr double kSixteenth = kBeatSeconds / 4;

struct Chord {
  int pad[3];
  int lowBass;   // the root in the bottom octave
  int highBass;  // a note of the chord above 100 Hz, for sections where the kick owns the lows
  int arp[4];
};

// A minor: Am F C G for most of the piece, Dm F Am E for the bridge.
const Chord kMain[4] = {
    {{57, 60, 64}, 33, 45, {69, 72, 76, 81}},
    {{57, 60, 65}, 29, 45, {65, 69, 72, 77}},
    {{55, 60, 64}, 36, 48, {67, 72, 76, 79}},
    {{55, 59, 62}, 31, 47, {67, 71, 74, 79}},
};
const Chord kBridge[4] = {
    {{57, 62, 65}, 38, 50, {69, 74, 77, 81}},
    {{57, 60, 65}, 29, 45, {65, 69, 72, 77}},
    {{57, 60, 64}, 33, 45, {69, 72, 76, 81}},
    {{56, 59, 64}, 40, 52, {68, 71, 76, 80}},
};

struct Note {
  int start;   // sixteenths from the phrase's start
  int length;  // sixteenths
  int pitch;   // MIDI note
};

// Four-bar lead phrases.
const std::vector<Note> kPhraseA = {
    {0, 4, 76},  {4, 2, 74},  {6, 2, 72},  {8, 4, 74},  {12, 4, 76}, {16, 6, 77}, {22, 2, 76}, {24, 8, 72},
    {32, 4, 79}, {36, 4, 76}, {40, 4, 72}, {44, 4, 76}, {48, 6, 74}, {54, 2, 71}, {56, 8, 67},
};
const std::vector<Note> kPhraseB = {
    {0, 6, 81},  {6, 2, 79},  {8, 4, 76},  {12, 4, 72}, {16, 4, 72}, {20, 4, 74}, {24, 4, 77}, {28, 4, 81},
    {32, 6, 79}, {38, 2, 76}, {40, 4, 79}, {44, 4, 84}, {48, 8, 83}, {56, 4, 79}, {60, 4, 74},
};
const std::vector<Note> kPhraseC = {
    {0, 8, 74},  {8, 4, 77},  {12, 4, 76}, {16, 8, 72}, {24, 8, 69},
    {32, 4, 76}, {36, 4, 81}, {40, 4, 79}, {44, 4, 76}, {48, 12, 80}, {60, 4, 76},
};

enum class Kick { None, Half, Four };
enum class Bass { None, Low, High, Held };

struct Section {
  int firstBar;
  int endBar;
  const Chord* chords;
  Kick kick;
  bool snare;
  bool snareRoll;  // a build: the snare doubles its rate every bar
  int hats;        // 0 none, 8 eighths, 16 sixteenths
  bool openHats;
  Bass bass;
  const char* leadPlan;  // one phrase letter (or '-') per four bars, repeating
  int leadShift;         // semitones
  float arpFrom;         // arpeggio brightness at the first and last bar; 0 = none
  float arpTo;
  bool crash;
};

// Scene windows of the show: 0–10.8 s, 10.8–21.6, 21.6–29 (the kick drives
// the picture: four on the floor, bass kept above the lowest bands), 29–63.5,
// 63.5–74; the rest is music for its own sake.
const Section kSections[] = {
    {0, 4, kMain, Kick::None, false, false, 0, false, Bass::None, "-", 0, 0.2f, 0.35f, false},
    {4, 6, kMain, Kick::Half, false, false, 8, false, Bass::None, "-", 0, 0.4f, 0.5f, false},
    {6, 12, kMain, Kick::Half, true, false, 8, false, Bass::Low, "AB", 0, 0.5f, 0.5f, true},
    {12, 17, kMain, Kick::Four, true, false, 16, true, Bass::High, "B", 0, 0.7f, 0.7f, true},
    {17, 35, kMain, Kick::Four, true, false, 8, true, Bass::Low, "AB", 0, 0.6f, 0.6f, true},
    {35, 41, kMain, Kick::Four, true, false, 16, true, Bass::Low, "B", 12, 0.8f, 0.8f, true},
    {41, 49, kMain, Kick::None, false, false, 0, false, Bass::Held, "A-", 0, 0.3f, 0.3f, false},
    {49, 53, kMain, Kick::Four, false, true, 16, false, Bass::None, "-", 0, 0.3f, 1.0f, false},
    {53, 69, kMain, Kick::Four, true, false, 8, true, Bass::Low, "BA", 0, 0.7f, 0.7f, true},
    {69, 77, kBridge, Kick::Half, true, false, 8, false, Bass::Low, "C", 0, 0.5f, 0.5f, true},
    {77, 93, kMain, Kick::Four, true, false, 16, true, Bass::Low, "AB", 0, 0.8f, 0.8f, true},
    {93, 100, kMain, Kick::Half, false, false, 8, false, Bass::Held, "-", 0, 0.4f, 0.2f, true},
};

double At(int bar, double sixteenth) { return bar * kBarSeconds + sixteenth * kSixteenth; }

struct Buses {
  Buffer main;
  Buffer lead;  // gets an echo before it joins the main bus
  synth::Noise noise{0x5eed1234u};
};

void AddDrums(Buses& buses, const Section& section, int bar) {
  Buffer& out = buses.main;
  int barInSection = bar - section.firstBar;
  if (section.crash && barInSection == 0) synth::AddCrash(out, At(bar, 0), 0.12f, buses.noise);
  for (int beat = 0; beat < 4; ++beat) {
    bool kick = section.kick == Kick::Four || (section.kick == Kick::Half && beat % 2 == 0);
    if (kick) synth::AddKick(out, At(bar, beat * 4), 0.75f);
    if (section.snare && beat % 2 == 1) synth::AddSnare(out, At(bar, beat * 4), 0.28f, buses.noise);
  }
  if (section.snareRoll) {
    int hits = 4 << std::min(barInSection, 2);
    float level = 0.12f + 0.05f * static_cast<float>(barInSection);
    for (int i = 0; i < hits; ++i) synth::AddSnare(out, At(bar, 16.0 * i / hits), level, buses.noise);
  }
  if (section.hats == 0) return;
  int step = 16 / section.hats;
  for (int s = 0; s < 16; s += step) {
    bool offbeat = s % 4 == 2;
    if (section.openHats && offbeat) {
      synth::AddHat(out, At(bar, s), 0.08f, true, buses.noise);
    } else {
      float accent = s % 4 == 0 ? 0.11f : 0.07f;
      synth::AddHat(out, At(bar, s), accent, false, buses.noise);
    }
  }
}

void AddBassLine(Buffer& out, const Section& section, const Chord& chord, int bar) {
  switch (section.bass) {
    case Bass::None:
      return;
    case Bass::Held:
      synth::AddBass(out, At(bar, 0), kBarSeconds - 0.1, chord.lowBass + 12, 0.16f);
      return;
    case Bass::High:  // off-beat stabs between the kicks
      for (int s = 2; s < 16; s += 4) synth::AddBass(out, At(bar, s), 0.14, chord.highBass, 0.22f);
      return;
    case Bass::Low:
      for (int s = 0; s < 16; s += 2) {
        int pitch = chord.lowBass + (s == 6 || s == 14 ? 12 : 0);
        synth::AddBass(out, At(bar, s), 0.2, pitch, 0.22f);
      }
      return;
  }
}

const std::vector<Note>* Phrase(char letter) {
  switch (letter) {
    case 'A':
      return &kPhraseA;
    case 'B':
      return &kPhraseB;
    case 'C':
      return &kPhraseC;
    default:
      return nullptr;
  }
}

void AddLeadLine(Buffer& out, const Section& section, int bar) {
  int barInSection = bar - section.firstBar;
  size_t planLength = std::char_traits<char>::length(section.leadPlan);
  const std::vector<Note>* phrase = Phrase(section.leadPlan[static_cast<size_t>(barInSection / 4) % planLength]);
  if (!phrase) return;
  int phraseStartBar = bar - barInSection % 4;
  for (const Note& note : *phrase) {
    if (note.start / 16 != barInSection % 4) continue;
    synth::AddLead(out, At(phraseStartBar, note.start), note.length * kSixteenth * 0.9,
                   note.pitch + section.leadShift, 0.12f);
  }
}

void AddHarmony(Buffer& out, const Section& section, const Chord& chord, int bar) {
  for (int pitch : chord.pad) synth::AddPad(out, At(bar, 0), kBarSeconds - 0.05, pitch, 0.07f);
  if (section.arpFrom <= 0.0f) return;
  int bars = section.endBar - section.firstBar;
  float progress = bars > 1 ? static_cast<float>(bar - section.firstBar) / static_cast<float>(bars - 1) : 0.0f;
  float brightness = section.arpFrom + (section.arpTo - section.arpFrom) * progress;
  static const int kPattern[16] = {0, 1, 2, 3, 1, 2, 3, 2, 0, 1, 2, 3, 2, 3, 1, 2};
  for (int s = 0; s < 16; ++s) synth::AddPluck(out, At(bar, s), chord.arp[kPattern[s]], 0.07f, brightness);
}

// The last bars fade out, so the piece ends rather than stops.
void FadeOut(Buffer& out) {
  const double fadeStart = 95 * kBarSeconds, fadeEnd = kBars * kBarSeconds + 1.0;
  for (size_t i = 0; i < out.size(); ++i) {
    double t = static_cast<double>(i) / synth::kRate;
    if (t > fadeStart) out[i] *= static_cast<float>(std::max(0.0, (fadeEnd - t) / (fadeEnd - fadeStart)));
  }
}

// Scales down, never up, so the loudest moment sits just under full scale.
void Normalise(Buffer& out) {
  float peak = 0.0f;
  for (float v : out) peak = std::max(peak, std::fabs(v));
  const float kCeiling = 0.89f;
  if (peak <= kCeiling) return;
  float scale = kCeiling / peak;
  for (float& v : out) v *= scale;
}

}  // namespace

std::vector<float> RenderSoundtrack() {
  Buses buses;
  size_t samples = static_cast<size_t>(kLengthSeconds * synth::kRate);
  buses.main.assign(samples, 0.0f);
  buses.lead.assign(samples, 0.0f);
  for (const Section& section : kSections) {
    for (int bar = section.firstBar; bar < section.endBar; ++bar) {
      const Chord& chord = section.chords[bar % 4];
      AddDrums(buses, section, bar);
      AddBassLine(buses.main, section, chord, bar);
      AddHarmony(buses.main, section, chord, bar);
      AddLeadLine(buses.lead, section, bar);
    }
  }
  synth::AddEcho(buses.lead, 3 * kSixteenth, 0.35f, 0.3f);
  for (size_t i = 0; i < samples; ++i) buses.main[i] += buses.lead[i];
  FadeOut(buses.main);
  Normalise(buses.main);
  return std::move(buses.main);
}

std::vector<float> RenderChime() {
  std::vector<float> out(static_cast<size_t>(1.2 * synth::kRate), 0.0f);
  synth::AddBell(out, 0.0, 1.2, 81, 0.45f);
  synth::AddBell(out, 0.06, 1.14, 88, 0.3f);
  Normalise(out);
  return out;
}

}  // namespace score
}  // namespace sgcontent
