#include "effects/audio_samples.h"

SampleArrays Samples{};
