#pragma once
// The audio the stand-in hands to Render: the player's 576 spectrum levels and 576 signed
// waveform samples per channel, made up from a few plain signals.
#include <cstdint>
#include <string>

struct winampVisModule;

namespace standin {

enum class Signal { kSilence, kTone, kBeats };

// Which signal plays at elapsedMs of a render phase of durationMs; "mix" plays the three in
// thirds: silence, tone, beats.
Signal SignalAt(const std::string& name, uint32_t elapsedMs, uint32_t durationMs);
const char* SignalName(Signal signal);

// Fills both channels of the module's spectrumData and waveformData for the slice of audio
// that starts at elapsedMs.
void FillAudio(winampVisModule& module, Signal signal, uint32_t elapsedMs);

}  // namespace standin
