// Placeholder scene engine until the effects land: draws nothing, so the frame loop can run.
#include "effects/audio_samples.h"
#include "effects/scene.h"

SampleArrays Samples{};
int DrawingMode = kModePetalRing;
int OverlayPass = 0;
int emitterOverlay = 0;
int sparkFanEnabled = 0;
int particleBurstActive = 0;
int starburstActive = 0;

void SetScenePictureSize(int, int) {}
void InitDirectionTable() {}
void FillRandomTables() {}
void ResetEffectState() {}
void InitEmitters() {}
void AnalyseAudioFrame() {}
void DrawScene() {}
void DrawSparkFan() {}
void DrawParticleBurst() {}
void ChooseNewEffect() {}
