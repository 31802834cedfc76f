#pragma once
// What the frame loop asks of the effect scene engine. Everything here runs on the draw thread.

// Drawing modes that reach DrawScene.
enum : int {
  kModePetalRing = 2,
  kModeScatterClouds = 21,
  kModeEmitterSwarmCentre = 22,  // also the three-emitter overlay in an overlay pass
  kModeClusterBloom = 23,
  kModeEmitterSwarmAnywhere = 24,
  kModeStarburst = 119,  // overlay pass only
};

extern int DrawingMode;  // 2 at load
extern int OverlayPass;  // set while an overlay pass runs DrawScene

// Per-effect flags the frame loop reads.
extern int emitterOverlay;
extern int sparkFanEnabled;
extern int particleBurstActive;
extern int starburstActive;

// The scene set-up for a picture of width x height, run on start and on every change of picture
// size: the picture size, then InitDirectionTable, FillRandomTables, ResetEffectState and
// InitEmitters in this order.
void SetUpScene(int width, int height);

// The picture size the scene is set up for (the first step of SetUpScene).
void SetScenePictureSize(int width, int height);

// The steps of SetUpScene.
void InitDirectionTable();
void FillRandomTables();
void ResetEffectState();
void InitEmitters();

// Per frame.
void AnalyseAudioFrame();
void DrawScene();
void DrawSparkFan();
void DrawParticleBurst();

// Between frames, when a new effect is due.
void ChooseNewEffect();

// Puts every value of the scene engine back to what it is when the library loads (the draw
// thread's generator excepted), for a fresh start of the engine.
void ResetSceneToLoadState();
