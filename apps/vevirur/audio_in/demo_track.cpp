#include "audio_in/demo_track.h"

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

// Levels of every voice in one passage. The plug-in colours its strokes from the left
// spectrum: red from roughly 0.4-4 kHz (pad, melody), green from 4-8 kHz (the shaker), blue
// from 8-13 kHz (the shimmer). Its colour channels wrap around, so each wash sits at a level
// that lands near full brightness rather than simply as loud as possible.
struct Section {
  double end;  // seconds
  double pad, kick, bass, melody, shaker, shimmer;
};
// clang-format off
constexpr Section kSections[] = {
    // The opening: kick and bass pulse the ring; the pad's red turns magenta with the shimmer.
    {3,   0.30, 1.00, 0.30, 0.08, 0.00, 0.00},
    {6,   0.30, 1.00, 0.30, 0.08, 0.00, 0.12},
    // The groove: the melody's red and the shaker's green make yellow.
    {12,  0.06, 0.80, 0.30, 0.14, 0.22, 0.00},
    // Green: the shaker alone over kick and bass.
    {18,  0.00, 0.90, 0.30, 0.00, 0.22, 0.00},
    // Blue: the shimmer alone over kick and bass.
    {24,  0.00, 0.90, 0.30, 0.00, 0.00, 0.12},
    // The loud passage: everything, near white, starbursts on the kicks.
    {32,  0.08, 1.00, 0.40, 0.18, 0.22, 0.12},
    // The quiet break: no drums, a soft cyan from shaker and shimmer.
    {38,  0.05, 0.00, 0.00, 0.00, 0.18, 0.10},
    // The loud ending.
    {1e9, 0.08, 1.00, 0.40, 0.18, 0.22, 0.12},
};
// clang-format on

const Section& SectionAt(double t) {
  for (const Section& s : kSections)
    if (t < s.end) return s;
  return kSections[std::size(kSections) - 1];
}

// A few odd harmonics: a soft square wave.
double Soft(double phase) {
  return std::sin(phase) + std::sin(3 * phase) / 5 + std::sin(5 * phase) / 12;
}

// A bright saw-like tone: eight harmonics.
double Bright(double phase) {
  double sum = 0;
  for (int k = 1; k <= 8; ++k) sum += std::sin(k * phase) / k;
  return sum / 1.6;
}

// A band-pass biquad (constant peak gain 1) run twice, for steeper sides: the washes must stay
// inside their own part of the spectrum.
class BandPass {
 public:
  BandPass(double centre_hz, double q, int sample_rate) {
    double w = 2 * kPi * centre_hz / sample_rate;
    double alpha = std::sin(w) / (2 * q);
    double a0 = 1 + alpha;
    b0_ = alpha / a0;
    a1_ = -2 * std::cos(w) / a0;
    a2_ = (1 - alpha) / a0;
  }
  double operator()(double x) { return Stage(Stage(x, s_[0]), s_[1]); }

 private:
  struct State {
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  };
  double Stage(double x, State& s) const {
    double y = b0_ * (x - s.x2) - a1_ * s.y1 - a2_ * s.y2;
    s.x2 = s.x1;
    s.x1 = x;
    s.y2 = s.y1;
    s.y1 = y;
    return y;
  }
  double b0_, a1_, a2_;
  State s_[2];
};

// Integer white noise in -1..1: the same on every machine.
class Noise {
 public:
  explicit Noise(uint32_t seed) : state_(seed) {}
  double operator()() {
    state_ = state_ * 1664525u + 1013904223u;
    return (int32_t(state_ >> 8) - (1 << 23)) / double(1 << 23);
  }

 private:
  uint32_t state_;
};

}  // namespace

AudioClip SynthesizeDemoTrack(int sample_rate, double seconds) {
  AudioClip clip;
  clip.sample_rate = sample_rate;
  int64_t frames = int64_t(seconds * sample_rate);
  clip.left.resize(size_t(frames));
  clip.right.resize(size_t(frames));
  Noise noise(0x2545F491u);
  BandPass shaker_band[2] = {{5800, 1.4, sample_rate}, {5800, 1.4, sample_rate}};
  BandPass shimmer_band[2] = {{10600, 1.8, sample_rate}, {10600, 1.8, sample_rate}};
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
    for (int interval : {12, 12 + third, 19}) pad += Soft(2 * kPi * NoteHz(root + interval) * t);
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
    double bass = s.bass * std::sin(2 * kPi * NoteHz(root) * t) * std::exp(-eighth * 8);

    // Melody: one note per eighth from the pentatonic line, with a short attack.
    int step = int(t / (kBeat / 2));
    double note = NoteHz(kMelody[step % 16]);
    double env = std::min(1.0, eighth * 200) * std::exp(-eighth * 5);
    double melody = s.melody * env * Bright(2 * kPi * note * t);

    // Shaker: band noise around 6 kHz on every sixteenth, accented on the off-beat.
    double sixteenth = std::fmod(t, kBeat / 4);
    double accent = (in_beat >= kBeat / 2 && in_beat < kBeat * 3 / 4) ? 1.0 : 0.7;
    double shake_env = s.shaker * accent * (0.6 + 0.4 * std::exp(-sixteenth * 30));
    // Shimmer: band noise around 10.6 kHz swelling with each bar.
    double shimmer_env = s.shimmer * swell;
    double shake[2], shimmer[2];
    for (int c = 0; c < 2; ++c) {
      shake[c] = shake_env * shaker_band[c](noise());
      shimmer[c] = shimmer_env * shimmer_band[c](noise());
    }

    double centre = pad + kick + bass;
    double l = centre + 0.8 * melody + shake[0] + shimmer[0];
    double r = centre + 0.5 * melody + shake[1] + shimmer[1];
    clip.left[size_t(n)] = float(std::tanh(l));
    clip.right[size_t(n)] = float(std::tanh(r));
  }
  return clip;
}

}  // namespace vevirur
