#pragma once
// The sample arrays: the player's audio as the effects read it. Filled on the host's thread by
// the sample copy, read on the draw thread; the two frame events order the accesses.

// Left and right spectrum, then left and right waveform, 1024 bytes each, one after the other.
struct SampleArrays {
  unsigned char SpectrumSamples[2][1024];
  unsigned char WaveSamples[2][1024];
};

extern SampleArrays Samples;
