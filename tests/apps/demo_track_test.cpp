#include "audio_in/demo_track.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "audio_in/slice_analyser.h"

namespace vevirur {
namespace {

// What the plug-in makes of one slice: the five bits per channel that reach the picture, from
// host bins 10..350 of the left spectrum (each tripled and x10 mod 256, seven bands, level x 124
// keeping the low 16 bits), and the waveform peak that drives the ring and the beats.
struct SliceLook {
  int rgb[3];
  int peak;
};

SliceLook Look(const HostSlice& slice) {
  unsigned char bytes[1024] = {};
  SliceLook look{};
  for (int i = 0; i <= 340; ++i)
    for (int j = 0; j < 3; ++j) {
      bytes[3 * i + j] = static_cast<unsigned char>(slice.spectrum[0][10 + i] * 10);
      look.peak =
          std::max(look.peak, int(static_cast<signed char>(slice.waveform[0][10 + i])) + 128);
    }
  int band[7];
  for (int b = 0; b < 7; ++b) {
    int sum = 0;
    for (int i = b * 146; i <= b * 146 + 146; ++i) sum += bytes[i];
    band[b] = std::max(0, int(sum / 147.0 - 1.0) * 16);
  }
  const int levels[3] = {std::max(band[0], band[1] / 2), std::max(band[2], band[3]),
                         std::max({band[4], band[5], band[6]})};
  for (int c = 0; c < 3; ++c) look.rgb[c] = (levels[c] * 124 & 0xFFFF) >> 11;
  return look;
}

// Mean channel brightness (0..31), mean and highest peak over [from, to) seconds.
struct Passage {
  double rgb[3] = {};
  double mean_peak = 0;
  int highest_peak = 0;
};

Passage Measure(const AudioClip& clip, double from, double to) {
  SliceAnalyser analyser;
  HostSlice slice{};
  Passage p;
  int count = 0;
  for (int64_t k = int64_t(from * 40); k < int64_t(to * 40); ++k, ++count) {
    analyser.Analyse(clip, k, slice);
    SliceLook look = Look(slice);
    for (int c = 0; c < 3; ++c) p.rgb[c] += look.rgb[c];
    p.mean_peak += look.peak;
    p.highest_peak = std::max(p.highest_peak, look.peak);
  }
  for (double& c : p.rgb) c /= count;
  p.mean_peak /= count;
  return p;
}

// Each passage of the demo shows the colour it is written for, brightly: a colour channel
// that wraps past full brightness turns dark, so "loud" alone would not do.
TEST(DemoTrack, PassagesShowTheirColours) {
  const AudioClip clip = SynthesizeDemoTrack();
  ASSERT_EQ(clip.frames(), int64_t(kDemoSeconds * 44100));
  struct Expect {
    double from, to;
    bool r, g, b;
  };
  const Expect passages[] = {
      {0.5, 3, true, false, false},   {3.5, 6, true, false, true},    {6.5, 12, true, true, false},
      {12.5, 18, false, true, false}, {18.5, 24, false, false, true}, {24.5, 32, true, true, true},
  };
  for (const Expect& e : passages) {
    Passage p = Measure(clip, e.from, e.to);
    const bool want[3] = {e.r, e.g, e.b};
    for (int c = 0; c < 3; ++c) {
      if (want[c])
        EXPECT_GT(p.rgb[c], 15) << e.from << " s, channel " << c;
      else
        EXPECT_LT(p.rgb[c], 6) << e.from << " s, channel " << c;
    }
  }
  // The opening is loud, so the ring is large.
  EXPECT_GT(Measure(clip, 0.5, 5).mean_peak, 160);
  // The break is quiet: no waveform byte leaves 128 by more than a fifth.
  EXPECT_LT(Measure(clip, 32.5, 38).highest_peak, 155);
}

}  // namespace
}  // namespace vevirur
