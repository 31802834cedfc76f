#pragma once
// Turns one call's worth of the host's audio into the sample arrays the effects read.

inline constexpr int kHostSampleCount = 576;  // per channel, as the player hands them over

// Copies host samples 10..350 of both channels, each three times in a row, into Samples:
// spectrum bytes times 10 (low 8 bits kept, so 26 and up wrap), waveform bytes (signed) plus
// 128. Index 1023 of both waveform arrays is set to 0; the spectrum arrays' is never written.
// Call only while the draw thread is not drawing (after taking FrameDoneEvent).
void CopyHostSamples(const unsigned char spectrum[2][kHostSampleCount],
                     const char waveform[2][kHostSampleCount]);
