#include "demo_track.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace vevirur {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kBeat = 0.5;  // seconds, 120 beats a minute

double NoteHz(int midi) {
  return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

// Bar-by-bar chord roots (A minor, F, C, G) and a pentatonic melody in eighth notes.
constexpr int kRoots[4] = {45, 41, 48, 43};
constexpr int kMelody[16] = {69, 72, 76, 74, 72, 69, 67, 69, 72, 74, 76, 79, 76, 74, 72, 67};

struct Section {
  double end;  // seconds
  double pad, kick, bass, melody, hats;
};
// The quiet opening, the groove, the loud passage, the quiet break, the loud ending.
constexpr Section kSections[] = {
    {8, 0.10, 0.00, 0.00, 0.06, 0.00},   {20, 0.06, 0.55, 0.22, 0.12, 0.00},
    {32, 0.08, 0.90, 0.35, 0.22, 0.10},  {38, 0.08, 0.00, 0.00, 0.04, 0.00},
    {1e9, 0.08, 1.00, 0.40, 0.25, 0.12},
};

const Section& SectionAt(double t) {
  for (const Section& s : kSections)
    if (t < s.end) return s;
  return kSections[4];
}

// A few odd harmonics: a soft square wave.
double Soft(double phase) {
  return std::sin(phase) + std::sin(3 * phase) / 5 + std::sin(5 * phase) / 12;
}

// A bright saw-like tone: eight harmonics, so the melody reaches the treble bands.
double Bright(double phase) {
  double sum = 0;
  for (int k = 1; k <= 8; ++k) sum += std::sin(k * phase) / k;
  return sum / 1.6;
}

}  // namespace

AudioClip SynthesizeDemoTrack(int sample_rate, double seconds) {
  AudioClip clip;
  clip.sample_rate = sample_rate;
  int64_t frames = int64_t(seconds * sample_rate);
  clip.left.resize(size_t(frames));
  clip.right.resize(size_t(frames));
  uint32_t noise = 0x2545F491u;
  double last_noise = 0;
  for (int64_t n = 0; n < frames; ++n) {
    double t = double(n) / sample_rate;
    const Section& s = SectionAt(t);
    int beat = int(t / kBeat);
    double in_beat = t - beat * kBeat;
    int bar = beat / 4;
    int root = kRoots[bar % 4];

    // Pad: the chord's root, third and fifth, slowly swelling within each bar.
    double bar_phase = (t - bar * 4 * kBeat) / (4 * kBeat);
    double swell = 0.6 + 0.4 * std::sin(kPi * bar_phase);
    double pad = 0;
    int third = (root == 45) ? 3 : 4;
    for (int interval : {12, 12 + third, 19})
      pad += std::sin(2 * kPi * NoteHz(root + interval) * t);
    pad *= s.pad * swell / 3;

    // Kick: a falling sine on every beat.
    double kick = 0;
    if (s.kick > 0) {
      // Pitch falls from 155 Hz to 45 Hz; the phase is the integral of that frequency.
      double phase = 2 * kPi * (45 * in_beat + 110 * (1 - std::exp(-in_beat * 30)) / 30);
      kick = s.kick * std::sin(phase) * std::exp(-in_beat * 9);
    }

    // Bass: the root in eighth notes, plucked.
    double eighth = std::fmod(t, kBeat / 2);
    double bass = s.bass * Soft(2 * kPi * NoteHz(root) * t) * std::exp(-eighth * 8) / 1.3;

    // Melody: one note per eighth from the pentatonic line, with a short attack.
    int step = int(t / (kBeat / 2));
    double note = NoteHz(kMelody[step % 16]);
    double env = std::min(1.0, eighth * 200) * std::exp(-eighth * 5);
    double melody = s.melody * env * Bright(2 * kPi * note * t);

    // Hi-hats: high-passed integer noise on every sixteenth note, accented on the off-beat.
    noise = noise * 1664525u + 1013904223u;
    double white = (int32_t(noise >> 8) - (1 << 23)) / double(1 << 23);
    double high = white - last_noise;
    last_noise = white;
    double sixteenth = std::fmod(t, kBeat / 4);
    double accent = (in_beat >= kBeat / 2 && in_beat < kBeat * 3 / 4) ? 1.0 : 0.45;
    double hats = s.hats * accent * high * std::exp(-sixteenth * 25);

    // Sparkle: the melody two octaves up, quiet, so the treble bands light up with the tune.
    double sparkle = s.hats * 0.5 * env * Bright(2 * kPi * note * 4 * t);

    double centre = pad + kick + bass;
    double l = centre + 0.8 * melody + 0.4 * hats + 0.6 * sparkle;
    double r = centre + 0.5 * melody + 0.7 * hats + 0.4 * sparkle;
    clip.left[size_t(n)] = float(std::tanh(l));
    clip.right[size_t(n)] = float(std::tanh(r));
  }
  return clip;
}

}  // namespace vevirur
