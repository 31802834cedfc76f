#include "standin/synthetic_audio.h"

#include <cmath>

#include "bridge/player_protocol.h"

namespace standin {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr int kSamples = 576;
constexpr double kSampleRate = 44100.0;
constexpr uint32_t kBeatPeriodMs = 500;  // 120 beats a minute
constexpr uint32_t kBeatLengthMs = 120;

// A fixed noise source, so that two runs hand over the same audio.
uint32_t NextNoise(uint32_t& state) {
  state = state * 1103515245u + 12345u;
  return (state >> 16) & 0x7fff;
}

void FillTone(winampVisModule& module, uint32_t elapsedMs) {
  const double hz = 440.0;
  double start = elapsedMs * kSampleRate / 1000.0;
  // 576 bins span 0 to half the sample rate; the tone's peak sits in the bins around it.
  double peakBin = hz / (kSampleRate / 2.0) * kSamples;
  for (int i = 0; i < kSamples; ++i) {
    double phase = 2.0 * kPi * hz * (start + i) / kSampleRate;
    char sample = static_cast<char>(std::lround(100.0 * std::sin(phase)));
    double distance = std::fabs(i - peakBin);
    int level = distance < 4.0 ? static_cast<int>(220 - distance * 40) : 3;
    for (int ch = 0; ch < 2; ++ch) {
      module.waveformData[ch][i] = sample;
      module.spectrumData[ch][i] = static_cast<unsigned char>(level);
    }
  }
}

void FillBeats(winampVisModule& module, uint32_t elapsedMs) {
  uint32_t intoBeat = elapsedMs % kBeatPeriodMs;
  double strength = intoBeat < kBeatLengthMs ? 1.0 - double(intoBeat) / kBeatLengthMs : 0.0;
  uint32_t noise = elapsedMs * 2654435761u + 1;
  for (int i = 0; i < kSamples; ++i) {
    // A decaying low thump plus a little hiss between the beats.
    double thump = strength * 120.0 * std::sin(2.0 * kPi * 60.0 * i / kSampleRate * 8.0);
    double hiss = (int(NextNoise(noise) % 21) - 10) * (0.2 + strength);
    long sample = std::lround(thump + hiss);
    if (sample > 127) sample = 127;
    if (sample < -128) sample = -128;
    int level = i < 48 ? int(40 + 200 * strength) - i : int(NextNoise(noise) % 8 + 20 * strength);
    if (level < 0) level = 0;
    if (level > 255) level = 255;
    for (int ch = 0; ch < 2; ++ch) {
      module.waveformData[ch][i] = static_cast<char>(sample);
      module.spectrumData[ch][i] = static_cast<unsigned char>(level);
    }
  }
}

}  // namespace

Signal SignalAt(const std::string& name, uint32_t elapsedMs, uint32_t durationMs) {
  if (name == "silence") return Signal::kSilence;
  if (name == "tone") return Signal::kTone;
  if (name == "beats") return Signal::kBeats;
  uint32_t third = durationMs / 3 ? durationMs / 3 : 1;
  uint32_t part = elapsedMs / third;
  return part == 0 ? Signal::kSilence : part == 1 ? Signal::kTone : Signal::kBeats;
}

const char* SignalName(Signal signal) {
  switch (signal) {
    case Signal::kSilence:
      return "silence";
    case Signal::kTone:
      return "tone";
    case Signal::kBeats:
      return "beats";
  }
  return "?";
}

void FillAudio(winampVisModule& module, Signal signal, uint32_t elapsedMs) {
  switch (signal) {
    case Signal::kSilence:
      for (int ch = 0; ch < 2; ++ch) {
        for (int i = 0; i < kSamples; ++i) {
          module.spectrumData[ch][i] = 0;
          module.waveformData[ch][i] = 0;
        }
      }
      break;
    case Signal::kTone:
      FillTone(module, elapsedMs);
      break;
    case Signal::kBeats:
      FillBeats(module, elapsedMs);
      break;
  }
}

}  // namespace standin
